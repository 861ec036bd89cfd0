#pragma once

#include <string>

namespace tamsel {

// Appends one code point to a UTF-8 text.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace tamsel
