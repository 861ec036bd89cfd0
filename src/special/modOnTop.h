#pragma once

#include "forms/Form.h"

namespace tamsel {

// Places the window above all windows that are not topmost (on) or back among them, without
// moving or resizing it. The toolkit that shows the form keeps it there.
void setTopMost(Form& form, bool on);

}  // namespace tamsel
