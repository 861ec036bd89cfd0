#include "special/modOnTop.h"

namespace tamsel {

void setTopMost(Form& form, bool on) {
    form.SetTopMost(on);
}

}  // namespace tamsel
