#pragma once

#include <string_view>

namespace tamsel {

// Reads a whole text, spaces around it allowed, as a decimal number in the user's numeric locale
// ("1500", " 2.5 ", "-3", "1e3"). False for empty text, trailing characters, hexadecimal,
// infinity or not-a-number.
bool ReadNumber(std::string_view text, double& value);

}  // namespace tamsel
