#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A minimal 64-bit little-endian ELF file whose only contents are the given version block in
// the section our build embeds it in: what an older or newer copy of the updater looks like to
// the version reader.
namespace tamsel::test {

inline std::string ElfWithVersionBlock(const std::vector<std::uint8_t>& block) {
    std::string file(64, '\0');
    auto put = [&file](std::size_t at, std::uint64_t value, int size) {
        if (file.size() < at + size) {
            file.resize(at + size, '\0');
        }
        for (int i = 0; i < size; ++i) {
            file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    const std::string names = std::string("\0.tamsel_version\0.shstrtab\0", 27);
    const std::size_t blockAt = 64;
    const std::size_t namesAt = blockAt + block.size();
    const std::size_t headersAt = (namesAt + names.size() + 7) & ~std::size_t{7};
    file.replace(0, 4,
                 "\x7F"
                 "ELF");
    put(4, 2, 1);  // 64-bit
    put(5, 1, 1);  // little-endian
    put(6, 1, 1);
    put(16, 2, 2);     // executable
    put(18, 0x3E, 2);  // x86-64
    put(0x28, headersAt, 8);
    put(0x34, 64, 2);
    put(0x3A, 64, 2);
    put(0x3C, 3, 2);
    put(0x3E, 2, 2);
    file.resize(headersAt + 3 * 64, '\0');
    file.replace(blockAt, block.size(), std::string(block.begin(), block.end()));
    file.replace(namesAt, names.size(), names);
    auto section = [&](int index, std::uint32_t name, std::uint32_t type, std::size_t offset,
                       std::size_t size) {
        const std::size_t at = headersAt + 64 * index;
        put(at, name, 4);
        put(at + 4, type, 4);
        put(at + 0x18, offset, 8);
        put(at + 0x20, size, 8);
    };
    section(1, 1, 1, blockAt, block.size());   // PROGBITS
    section(2, 17, 3, namesAt, names.size());  // STRTAB
    return file;
}

}  // namespace tamsel::test
