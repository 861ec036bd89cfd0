#pragma once

#include <cstdint>
#include <string>

namespace tamsel {

// The English display name of a Windows language identifier, from ICU's locale data:
// 0x0409 gives "English (United States)", 0x0000 "Language Neutral". Empty for an identifier
// that names no known language.
std::string LanguageName(std::uint16_t languageId);

}  // namespace tamsel
