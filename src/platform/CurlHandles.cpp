#include "platform/CurlHandles.h"

namespace tamsel {

bool EnsureCurlInitialised() {
    // Never cleaned up: other handles may live until the process ends.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

}  // namespace tamsel
