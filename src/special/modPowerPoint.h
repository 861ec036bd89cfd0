#pragma once

#include <string>

#include "engine/UpdateRun.h"

// PowerPoint add-ins for the script commands and the installer's hand-offs. Each works on the
// version in use (the metrics object's PowerPoint), which checkPowerPointVersion settles first.
namespace tamsel {

// Makes sure the version in use is known: a silent run takes the "office" setting; when it is
// still empty, the installed versions are counted, a single one is chosen by itself and several
// are offered in the chooser (also in a silent run); then the "office" setting is taken.
void checkPowerPointVersion(UpdateRun& run);
// False for an empty name; otherwise whether the add-in is registered.
bool pptHavePlugIn(UpdateRun& run, const std::string& name);
// False for an empty path; otherwise registers the file as the add-in of its base name.
bool pptAddPlugIn(UpdateRun& run, const std::string& path);
// False for an empty name; otherwise true when the add-in was registered and is no longer.
bool pptDeletePlugIn(UpdateRun& run, const std::string& name);

// Lets the run's metrics object create its Office detection on the run's registry.
void AttachOffice(UpdateRun& run);

}  // namespace tamsel
