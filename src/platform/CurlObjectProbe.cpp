#include "platform/CurlHandles.h"
#include "platform/ObjectProbe.h"

namespace tamsel {

bool HttpTransportUsable() {
    if (!EnsureCurlInitialised()) {
        return false;
    }
    CurlMulti multi(curl_multi_init());
    CurlEasy easy(curl_easy_init());
    return multi && easy;
}

}  // namespace tamsel
