#pragma once

#include <string>

#include "forms/Form.h"
#include "win32/Win32Toolkit.h"

namespace tamsel::testing {

// Shows the form, lets its windows paint, writes a PNG of it into TAMSEL_FORM_PNG_DIR and checks
// that every control lies inside the window (or wholly outside it, as a focus sink is placed) and
// that every visible one with something to show has drawn something.
void RenderAndCheck(Win32Toolkit& toolkit, Form& form);

// Handles every message waiting in the queue (paints included).
void PumpMessages();

}  // namespace tamsel::testing
