// The environment texts of Windows, and our version reader beside the system's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "reporting/CFileVersionInfo.h"
#include "reporting/Environment.h"
#include "reporting/windows/WindowsVersionName.h"
#include "util/windows/WideText.h"

namespace tamsel {
namespace {

TEST(Win32Environment, VersionNamesOfEveryRelease) {
    const std::pair<WindowsVersionRecord, std::string> rows[] = {
        {{5, 1, 2600, 1, "Service Pack 2"},
         "Microsoft Windows XP Workstation Version 5.1 Service Pack 2 (Build 2600)"},
        {{6, 1, 7601, 1, "Service Pack 1"},
         "Microsoft Windows 7 Workstation Version 6.1 Service Pack 1 (Build 7601)"},
        {{6, 2, 9200, 1, ""}, "Microsoft Windows 8 Workstation Version 6.2  (Build 9200)"},
        {{6, 3, 9600, 1, ""}, "Microsoft Windows 8.1 Workstation Version 6.3  (Build 9600)"},
        {{6, 3, 9600, 3, ""}, "Microsoft Windows Server 2012 R2 Server Version 6.3  (Build 9600)"},
        {{10, 0, 19045, 1, ""}, "Microsoft Windows 10 Workstation Version 10.0  (Build 19045)"},
        {{10, 0, 22631, 1, ""}, "Microsoft Windows 11 Workstation Version 10.0  (Build 22631)"},
        {{10, 0, 17763, 2, ""},
         "Microsoft Windows Server 2019 Domain Controller Version 10.0  (Build 17763)"},
        {{10, 0, 20348, 3, ""}, "Microsoft Windows Server 2022 Server Version 10.0  (Build 20348)"},
        {{7, 0, 1, 1, ""}, "unknown Workstation Version 7.0  (Build 1)"},
    };
    for (const auto& [record, text] : rows) {
        EXPECT_EQ(WindowsVersionName(record), text);
    }
    EXPECT_TRUE(WindowsVersion().starts_with("Microsoft Windows "));
    EXPECT_EQ(InternetVersion(), "Microsoft Internet Explorer 6 WININET.DLL (version 2)");
}

// A string of the file's version resource as the system reads it; empty when there is none.
std::string SystemVersionString(const std::string& path, const wchar_t* name) {
    const std::wstring file = WidePath(path);
    DWORD ignored = 0;
    std::vector<unsigned char> block(::GetFileVersionInfoSizeW(file.c_str(), &ignored));
    if (block.empty() ||
        !::GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
        return {};
    }
    WORD* translation = nullptr;
    UINT size = 0;
    ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translation), &size);
    wchar_t query[64];
    ::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    wchar_t* value = nullptr;
    return ::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &size) && size
               ? Narrow(std::wstring_view(value, size - 1))
               : std::string();
}

TEST(Win32VersionInfo, OurReaderAgreesWithTheSystemsOnOurProgramAndASystemLibrary) {
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    // (Wine's kernel32 carries its resource in many languages, where the system picks the user's.)
    for (const std::string& path : {NarrowPath(own), NarrowPath(system) + "/winhttp.dll",
                                    NarrowPath(system) + "/version.dll"}) {
        CFileVersionInfo info;
        info.FullPathName(path);
        ASSERT_TRUE(info.Available()) << path;
        EXPECT_EQ(info.CompanyName(), SystemVersionString(path, L"CompanyName")) << path;
        EXPECT_EQ(info.FileVersion(), SystemVersionString(path, L"FileVersion")) << path;
        EXPECT_EQ(info.ProductName(), SystemVersionString(path, L"ProductName")) << path;
        EXPECT_EQ(info.ProductVersion(), SystemVersionString(path, L"ProductVersion")) << path;
        EXPECT_FALSE(info.ProductName().empty()) << path;
    }
}

}  // namespace
}  // namespace tamsel
