#include <windows.h>

#include <iostream>

#include "DueCheck.h"
#include "util/Text.h"
#include "util/windows/WideText.h"

namespace tamsel::desktop {

// Windows has no exec: the program starts on its own and the due check ends at once. The path
// is a program's path written the Windows way, with ".exe".
int ExecProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring path = Widen(NativePath(program));
    if (path.size() < 4 || _wcsicmp(path.c_str() + path.size() - 4, L".exe") != 0) {
        path += L".exe";
    }
    std::wstring commandLine = L"\"" + path + L"\"";
    for (const std::string& argument : arguments) {
        commandLine += L" \"" + Widen(argument) + L"\"";
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
