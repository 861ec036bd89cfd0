#include <clocale>
#include <iostream>

#include "app/Unattended.h"
#include "app/UpdaterApp.h"
#include "platform/DisplayCheck.h"
#include "platform/FileRegistryStore.h"
#include "qt/QtApplication.h"
#include "util/Text.h"

int main(int argc, char** argv) {
    // Dates, times and sizes follow the user's locale, with or without a window.
    std::setlocale(LC_ALL, "");
    const std::string appPath = tamsel::ProgramFolder();
    const std::string commandLine = tamsel::JoinArguments(argc, argv);
    // A run nobody watches needs no display.
    if (tamsel::ToUpper(commandLine).find("/UNATTENDED") != std::string::npos) {
        return tamsel::RunUnattended(appPath, commandLine, std::cout);
    }
    // Without a display the toolkit would abort the process; say so, having changed nothing.
    if (!tamsel::DisplayAvailable()) {
        std::cerr << "The Tamsel Updater cannot start: no display is available." << std::endl;
        return 1;
    }
    tamsel::UpdaterApp* running = nullptr;
    return tamsel::RunQtApplication(
        argc, argv,
        [&](tamsel::Toolkit& toolkit, tamsel::EventLoop&) -> tamsel::KeepAlive {
            auto app = std::make_shared<tamsel::UpdaterApp>(toolkit, appPath, commandLine);
            app->Run().registry = std::make_shared<tamsel::FileRegistryStore>();
            running = app.get();
            app->Start();
            return app;
        },
        [&running] {
            running->ShowRunningCopy();
            return running->ExitStatus(std::cerr);
        });
}
