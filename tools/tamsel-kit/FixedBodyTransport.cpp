#include "FixedBodyTransport.h"

namespace tamsel::kit {

bool FixedBodyTransport::startGet(const std::string& /*url*/) {
    progress_ = HttpProgress::Done;
    return true;
}

bool FixedBodyTransport::startPost(const std::string& /*url*/, const std::string& /*contentType*/,
                                   const std::string& /*body*/) {
    progress_ = HttpProgress::Idle;
    return false;
}

bool FixedBodyTransport::commitBody(const std::string& /*path*/) {
    return false;
}

}  // namespace tamsel::kit
