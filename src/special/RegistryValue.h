#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tamsel {

// A tagged registry value: nothing (empty), text, a 16-bit or 32-bit integer, or bytes.
using RegistryValue = std::variant<std::monostate, std::string, std::int16_t, std::int32_t,
                                   std::vector<std::uint8_t>>;

// The value as text: integers in decimal, bytes as the characters they hold, empty as "".
std::string RegistryValueText(const RegistryValue& value);

}  // namespace tamsel
