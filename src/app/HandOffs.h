#pragma once

#include <string>

#include "engine/UpdateRun.h"

namespace tamsel {

// The installer's hand-offs: "/INSTALL" registers and "/REMOVE" unregisters the kit's add-in
// named on the command line (already upper-cased).
void InstallHandOff(UpdateRun& run, const std::string& commandLine);
void RemoveHandOff(UpdateRun& run, const std::string& commandLine);

}  // namespace tamsel
