#include "Installer.h"

#include <cstdlib>

#include "FileActions.h"

namespace tamsel::desktop {

namespace {

// An XDG variable counts only when it holds an absolute path.
std::string BaseFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        Fail(std::string("neither ") + variable + " nor HOME names a folder");
    }
    return std::string(home) + underHome;
}

}  // namespace

DesktopPaths PathsFromEnvironment() {
    return {BaseFolder("XDG_CONFIG_HOME", "/.config"),
            BaseFolder("XDG_DATA_HOME", "/.local/share")};
}

void InstallKit(const InstallRequest& request, const DesktopPaths& paths, std::ostream& out) {
    CheckKitFolder(request.kitFolder);
    CheckSettingsValues(request);
    CheckDesktopFiles(request.kitFolder, request.systemdTimer, paths);
    LayOutKit(request, out);
    IntegrateKit(request.kitFolder, request.systemdTimer, paths, out);
}

}  // namespace tamsel::desktop
