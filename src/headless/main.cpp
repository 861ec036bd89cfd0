// The updater's entry point where no window front end is built: every run goes the unattended
// road, its status lines on standard output. The command line arrives in UTF-16 and is taken
// on as UTF-8.
#include <windows.h>

#include <shellapi.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/Unattended.h"
#include "app/UpdaterApp.h"
#include "util/windows/WideText.h"

int main() {
    std::setlocale(LC_ALL, "");
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(tamsel::Narrow(wide[i]));
    }
    ::LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    const std::string commandLine =
        tamsel::JoinArguments(static_cast<int>(argv.size()), argv.data());
    return tamsel::RunUnattended(tamsel::ProgramFolder(), commandLine, std::cout);
}
