#include "special/modInstall.h"

#include "engine/KitPath.h"
#include "special/CPowerpoint.h"
#include "special/modPowerPoint.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {
namespace {

// The trimmed text after the switch and one separator; empty without the switch.
std::string SwitchArgument(const std::string& commandLine, const std::string& flag) {
    const auto at = commandLine.find(flag);
    if (at == std::string::npos || at + flag.size() + 1 > commandLine.size()) {
        return {};
    }
    return TrimSpaces(commandLine.substr(at + flag.size() + 1));
}

}  // namespace

void installFromCommandLine(UpdateRun& run, const std::string& commandLine) {
    const std::string name = SwitchArgument(commandLine, "/INSTALL");
    if (name.empty() || AddInBaseName(name).empty()) {
        return;
    }
    // The command line arrives upper-cased, the file keeps its own case on disk.
    const std::string path = ResolveKitPath(run.g_objMetrics.AppPath(), name);
    if (!FileExists(path)) {
        return;
    }
    checkPowerPointVersion(run);
    CPowerpoint(*run.registry, run.GetToolkit(), run.g_objMetrics.PowerPoint())
        .addPlugIn(AddInBaseName(name), path);
}

void removeFromCommandLine(UpdateRun& run, const std::string& commandLine) {
    const std::string name = SwitchArgument(commandLine, "/REMOVE");
    if (!name.empty()) {
        pptDeletePlugIn(run, name);
    }
}

}  // namespace tamsel
