#include <clocale>
#include <iostream>

#include "app/Unattended.h"
#include "app/UpdaterApp.h"
#include "platform/FileRegistryStore.h"
#include "util/Text.h"
#include "win32/Win32Application.h"

// The updater on Windows desktops: the same run as everywhere, its dialogs in native windows.
int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const std::string appPath = tamsel::ProgramFolder();
    const std::string commandLine = tamsel::JoinArguments(argc, argv);
    // A run nobody watches needs no window.
    if (tamsel::ToUpper(commandLine).find("/UNATTENDED") != std::string::npos) {
        return tamsel::RunUnattended(appPath, commandLine, std::cout);
    }
    tamsel::UpdaterApp* running = nullptr;
    return tamsel::RunWin32Application(
        [&](tamsel::Toolkit& toolkit, tamsel::EventLoop&) -> tamsel::KeepAlive {
            auto app = std::make_shared<tamsel::UpdaterApp>(toolkit, appPath, commandLine);
            app->Run().registry = std::make_shared<tamsel::FileRegistryStore>();
            running = app.get();
            app->Start();
            return app;
        },
        [&running] { return running->ExitStatus(std::cerr); });
}
