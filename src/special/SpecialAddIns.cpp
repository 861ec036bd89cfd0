// The Office side of the commands: PowerPoint add-ins and older copies of the updater, in the
// run's registry and program folder.
#include "special/SpecialProcessing.h"
#include "special/modPowerPoint.h"
#include "special/removeOlderVersions.h"

namespace tamsel {

bool SpecialProcessing::pptHavePlugIn(const std::string& name) {
    return tamsel::pptHavePlugIn(run_, name);
}

bool SpecialProcessing::pptAddPlugIn(const std::string& path) {
    return tamsel::pptAddPlugIn(run_, path);
}

bool SpecialProcessing::pptDeletePlugIn(const std::string& name) {
    return tamsel::pptDeletePlugIn(run_, name);
}

void SpecialProcessing::removeOlderVersions() {
    tamsel::removeOlderVersions(run_);
}

}  // namespace tamsel
