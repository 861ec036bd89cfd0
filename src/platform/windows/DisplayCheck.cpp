// A Windows desktop session always has a display to show windows on.
#include "platform/DisplayCheck.h"

namespace tamsel {

bool DisplayAvailable() {
    return true;
}

}  // namespace tamsel
