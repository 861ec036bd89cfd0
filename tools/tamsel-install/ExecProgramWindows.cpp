#include <windows.h>

#include <iostream>

#include "DueCheck.h"

namespace tamsel::desktop {

namespace {

std::wstring Wide(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

// Windows has no exec: the program starts on its own and the due check ends at once. The path
// is a program's path written the Windows way, with ".exe".
int ExecProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring path = Wide(program);
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    if (path.size() < 4 || _wcsicmp(path.c_str() + path.size() - 4, L".exe") != 0) {
        path += L".exe";
    }
    std::wstring commandLine = L"\"" + path + L"\"";
    for (const std::string& argument : arguments) {
        commandLine += L" \"" + Wide(argument) + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::cerr << "cannot start " << program << ": error " << GetLastError() << "\n";
        return 127;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace tamsel::desktop
