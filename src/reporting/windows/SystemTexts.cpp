// The environment texts that ask Windows itself: the version record, the system's folders and
// the Internet library.
#include <windows.h>

#include <wininet.h>

#include <array>

#include "platform/ExecutableName.h"
#include "reporting/Environment.h"
#include "reporting/windows/WindowsVersionName.h"
#include "util/Text.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

// The full path of a loaded system library; its name alone when the system does not say.
std::string LibraryPath(const wchar_t* name) {
    std::array<wchar_t, MAX_PATH + 1> path{};
    const HMODULE module = ::GetModuleHandleW(name);
    const DWORD n = module == nullptr ? 0 : ::GetModuleFileNameW(module, path.data(), MAX_PATH);
    return n > 0 ? Narrow(std::wstring_view(path.data(), n)) : Narrow(name);
}

using GetVersionCall = LONG(WINAPI*)(OSVERSIONINFOEXW*);

}  // namespace

std::string WindowsVersion() {
    try {
        // The version as the system is, not as a compatibility setting presents it to us.
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = sizeof info;
        const auto getVersion = reinterpret_cast<GetVersionCall>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
        if (getVersion == nullptr || getVersion(&info) != 0) {
            return "Microsoft Windows (Unknown)";
        }
        return WindowsVersionName({info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                                   info.wProductType, Narrow(info.szCSDVersion)});
    } catch (const std::exception&) {
        return {};
    }
}

std::string FolderList() {
    try {
        std::array<wchar_t, MAX_PATH + 1> windows{};
        std::array<wchar_t, MAX_PATH + 1> system{};
        std::array<wchar_t, MAX_PATH + 2> temp{};
        ::GetWindowsDirectoryW(windows.data(), MAX_PATH);
        ::GetSystemDirectoryW(system.data(), MAX_PATH);
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp.data());
        // The temporary folder comes with a closing "\", the others without.
        std::wstring tempFolder(temp.data(), n);
        if (tempFolder.size() > 3 && tempFolder.back() == L'\\') {
            tempFolder.pop_back();
        }
        return "Windows Folder (" + Narrow(windows.data()) + "), System Folder (" +
               Narrow(system.data()) + "), Temp Folder (" + Narrow(tempFolder) + ")";
    } catch (const std::exception&) {
        return {};
    }
}

std::string InternetVersion() {
    INTERNET_VERSION_INFO version{};
    DWORD size = sizeof version;
    if (!::InternetQueryOptionW(nullptr, INTERNET_OPTION_VERSION, &version, &size)) {
        return "Unavailable";
    }
    if (version.dwMajorVersion != 1) {
        return "Unknown";
    }
    std::string text = "Microsoft Internet Explorer ";
    switch (version.dwMinorVersion) {
        case 0:
            text += "3";
            break;
        case 1:
            text += "4";
            break;
        case 2:
            text += "6";
            break;
        default:
            text += " (unknown)";
            break;
    }
    return text + " WININET.DLL (version " + std::to_string(version.dwMinorVersion) + ")";
}

std::string StandInObjectInfo(const std::string& className) {
    if (EqualsNoCase(className, "Microsoft.XMLHTTP") ||
        EqualsNoCase(className, "msxml2.ServerXMLHTTP")) {
        return "WinHTTP (" + LibraryPath(L"winhttp.dll") + ")";
    }
    if (EqualsNoCase(className, "Scripting.filesystemobject")) {
        return "std::filesystem (" + ExecutablePath() + ")";
    }
    if (EqualsNoCase(className, "ADODB.Stream")) {
        return "SpoolFile (" + ExecutablePath() + ")";
    }
    return {};
}

}  // namespace tamsel
