#pragma once

#include <string>

#include "engine/UpdateRun.h"

// The installer's hand-offs, given the whole command line upper-cased.
namespace tamsel {

// "/INSTALL NAME": registers the file NAME beside the updater (found ignoring case) as a
// PowerPoint add-in named after its upper-cased base name, with the file's real path. No name,
// or no such file: nothing happens.
void installFromCommandLine(UpdateRun& run, const std::string& commandLine);
// "/REMOVE NAME": unregisters the add-in NAME stands for.
void removeFromCommandLine(UpdateRun& run, const std::string& commandLine);

}  // namespace tamsel
