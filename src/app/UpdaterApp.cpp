#include "app/UpdaterApp.h"

#include <filesystem>

#include "app/OfficeInstallationsOfRun.h"
#include "app/RegistryReading.h"
#include "platform/ExecutableName.h"
#include "platform/X11WindowActivate.h"
#include "special/modPowerPoint.h"
#include "util/Text.h"

namespace tamsel {

UpdaterApp::UpdaterApp(Toolkit& toolkit, const std::string& appPath, std::string commandLine,
                       HttpTransportFactory makeTransport, std::string lockPath)
    : lock_(std::move(lockPath)),
      run_(toolkit, appPath, std::move(makeTransport)),
      main_(run_, std::move(commandLine), lock_.PreviousInstance()) {
    AttachOffice(run_);
    main_.environment =
        std::make_unique<Environment>(std::make_shared<RegistryWrapperReader>(run_.registry),
                                      std::make_shared<OfficeInstallationsOfRun>(run_));
    run_.g_objMetrics.AddOwnFile(lock_.Path());
}

void UpdaterApp::Start() {
    main_.Load();
    // A background run works without showing its window until there is something to say.
    if (main_.IsLoaded() && !run_.g_objMetrics.Silent()) {
        main_.Show();
    }
}

int UpdaterApp::ExitStatus(std::ostream& errors) const {
    if (main_.GaveWay()) {
        errors << "The Tamsel Updater is already running." << std::endl;
    }
    return main_.EndedFinished() ? 0 : 1;
}

void UpdaterApp::ShowRunningCopy() const {
    if (main_.GaveWay()) {
        RequestWindowActivation(lock_.HolderPid());
    }
}

std::string ProgramFolder() {
    const std::string exe = ExecutablePath();
    if (exe.empty()) {
        std::error_code error;
        return std::filesystem::current_path(error).string();
    }
    return ParentFolder(exe);
}

std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (!line.empty()) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

}  // namespace tamsel
