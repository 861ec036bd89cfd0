#include "engine/Version.h"

#include "util/Text.h"

namespace tamsel {

std::string LegalCaption() {
    return ExpandLineBreaks(kLegalNotice) + " (" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + std::to_string(kVersionRevision) + ".6)";
}

std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

}  // namespace tamsel
