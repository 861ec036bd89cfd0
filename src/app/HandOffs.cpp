#include "app/HandOffs.h"

namespace tamsel {

void InstallHandOff(UpdateRun& run, const std::string& commandLine) {
    run.g_objMetrics.Trace("Main::InstallHandOff(" + commandLine + ") not available");
}

void RemoveHandOff(UpdateRun& run, const std::string& commandLine) {
    run.g_objMetrics.Trace("Main::RemoveHandOff(" + commandLine + ") not available");
}

}  // namespace tamsel
