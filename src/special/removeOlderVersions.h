#pragma once

#include <string>

#include "engine/UpdateRun.h"

namespace tamsel {

// Deletes the older copies of the updater from the program's folder: the regular files whose
// names end ".exe" (any case) or that are executable, whose version information names a product
// with "TAMSEL" in it, and whose version number is below the running program's. A version number
// is the product version with its dots removed, read as a number (1.4.0.16 gives 14016). An empty
// or non-numeric product version (own, or of a copy) throws TamselError 13 before anything is
// deleted.
void removeOlderVersions(const std::string& folder, const std::string& runningProgram);
// The run's program folder and the running executable.
void removeOlderVersions(UpdateRun& run);

}  // namespace tamsel
