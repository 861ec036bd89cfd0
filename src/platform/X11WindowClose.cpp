#include "platform/X11WindowClose.h"

namespace tamsel {

int RequestWindowClose(int /*pid*/) {
    return -1;
}

}  // namespace tamsel
