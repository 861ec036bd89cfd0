#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tamsel::test {

// An ELF file at dir/name whose only content is the block in the section our build embeds it
// in: what an older or newer copy of the updater looks like to the version reader. Made by
// objcopy; empty text when it could not be made.
inline std::string ElfWithVersionBlock(const TempDir& dir, const std::string& name,
                                       const std::vector<std::uint8_t>& block) {
    const std::string raw = dir.write(name + ".block", std::string(block.begin(), block.end()));
    const std::string elf = dir / name;
    const std::string command =
        "objcopy -I binary -O elf64-little --rename-section "
        ".data=.tamsel_version '" +
        raw + "' '" + elf + "'";
    return std::system(command.c_str()) == 0 && std::remove(raw.c_str()) == 0 ? elf : "";
}

}  // namespace tamsel::test
