// The updater on Windows desktops: the same run as everywhere, its dialogs in native windows. The
// command line arrives in UTF-16 and is taken on as UTF-8.
#include <windows.h>

#include <shellapi.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/Unattended.h"
#include "app/UpdaterApp.h"
#include "platform/RegistryStore.h"
#include "util/Text.h"
#include "util/windows/WideText.h"
#include "win32/Win32Application.h"

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
    const std::string appPath = tamsel::ProgramFolder();
    const std::string commandLine =
        tamsel::JoinArguments(static_cast<int>(argv.size()), argv.data());
    // A run nobody watches needs no window.
    if (tamsel::ToUpper(commandLine).find("/UNATTENDED") != std::string::npos) {
        return tamsel::RunUnattended(appPath, commandLine, std::cout);
    }
    tamsel::UpdaterApp* running = nullptr;
    return tamsel::RunWin32Application(
        [&](tamsel::Toolkit& toolkit, tamsel::EventLoop&) -> tamsel::KeepAlive {
            auto app = std::make_shared<tamsel::UpdaterApp>(toolkit, appPath, commandLine);
            app->Run().registry = tamsel::MakeUserRegistryStore();
            running = app.get();
            app->Start();
            return app;
        },
        [&running] { return running->ExitStatus(std::cerr); });
}
