#pragma once

#include "forms/Label.h"

namespace tamsel {

// Fills a dialog's legal notice label: the notice with its line break and the version suffix.
// An "&" in the notice shows as it is.
void ShowLegalNotice(Label& lblLegal);

}  // namespace tamsel
