#pragma once

#include <string>
#include <string_view>

namespace tamsel {

// The CRC of the text's bytes, least significant bit first, in upper-case hexadecimal padded with
// "0": the short form is CRC-16/MODBUS (4 digits), the long form CRC-32 (8 digits). "abc" gives
// 5749 and 352441C2.
std::string CrcText(std::string_view text, bool longForm);

}  // namespace tamsel
