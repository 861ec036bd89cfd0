#include "app/HandOffs.h"

#include "special/modInstall.h"

namespace tamsel {

void InstallHandOff(UpdateRun& run, const std::string& commandLine) {
    installFromCommandLine(run, commandLine);
}

void RemoveHandOff(UpdateRun& run, const std::string& commandLine) {
    removeFromCommandLine(run, commandLine);
}

}  // namespace tamsel
