#pragma once

#include <string>

#include "catalogue/CMenu.h"
#include "config/CConfiguration.h"
#include "engine/UpdateRun.h"
#include "reporting/Environment.h"

namespace tamsel {

// The folder of the update log and the menu usage file: the local setting "local" cut before its
// last "/", with a "/" after it. Empty when "local" names no folder.
std::string LogFolder(const CConfiguration& local);

// Writes the update log of a run that reached its server into the log folder and uploads it when
// the remote catalogue names a log address; a received upload deletes the menu usage file.
// critical: the run failed. flattenedMenu: the packages offered in this run, or null. Reports
// each step in the status pane and never throws: a log that cannot be written or sent is told
// and the run goes on.
void sendLog(UpdateRun& run, const CMenu* flattenedMenu, bool critical,
             const Environment& environment);

}  // namespace tamsel
