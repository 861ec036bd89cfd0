#include "app/UpdaterApp.h"
#include "qt/QtApplication.h"

int main(int argc, char** argv) {
    const std::string appPath = tamsel::ProgramFolder();
    const std::string commandLine = tamsel::JoinArguments(argc, argv);
    return tamsel::RunQtApplication(
        argc, argv, [&](tamsel::Toolkit& toolkit, tamsel::EventLoop&) -> tamsel::KeepAlive {
            auto app = std::make_shared<tamsel::UpdaterApp>(toolkit, appPath, commandLine);
            app->Start();
            return app;
        });
}
