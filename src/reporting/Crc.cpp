#include "reporting/Crc.h"

#include <cstdint>
#include <cstdio>

namespace tamsel {

std::string CrcText(std::string_view text, bool longForm) {
    const std::uint32_t polynomial = longForm ? 0xEDB88320u : 0xA001u;
    std::uint32_t value = longForm ? 0xFFFFFFFFu : 0xFFFFu;
    for (const char c : text) {
        value ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) != 0 ? (value >> 1) ^ polynomial : value >> 1;
        }
    }
    char digits[9];
    if (longForm) {
        std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(~value));
    } else {
        std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(value));
    }
    return digits;
}

}  // namespace tamsel
