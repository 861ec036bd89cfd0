#pragma once

#include <string>

#include "engine/SpecialWork.h"
#include "forms/Toolkit.h"

namespace tamsel {

// After the user said PowerPoint is closed: while it still runs, and fewer than four warnings were
// shown, shows one more (a critical message box titled with the window's caption) and answers
// true; otherwise answers false and the special work goes on.
bool WarnPowerPointStillOpen(Toolkit& toolkit, SpecialWork& special, int warningsShown,
                             const std::string& caption);

}  // namespace tamsel
