#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Writes a version resource block, laid out as a Windows resource compiler lays it out. The build
// uses it to embed the updater's own version; tests use it for blocks no real toolchain makes.
namespace tamsel {

struct VersionBlockContent {
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 4;
    std::uint32_t fileType = 1;
    std::uint32_t fileSubtype = 0;
    // The translation table's single entry.
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 0x04B0;
    // The language under which the string entries are filed; usually the translation's.
    std::uint16_t stringLanguage = 0x0409;
    std::vector<std::pair<std::string, std::string>> strings;  // ASCII keys and values
};

std::vector<std::uint8_t> WriteVersionBlock(const VersionBlockContent& content);

}  // namespace tamsel
