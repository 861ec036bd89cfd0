#include <algorithm>
#include <string_view>

#include "reporting/VersionContainers.h"

// The version block our build places in an ELF section of its own executables. Little-endian
// ELF files of either class; the section is found by name through the section-name table.
namespace tamsel {
namespace {

constexpr std::uint32_t kNoBits = 8;

struct SectionHeader {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

struct Layout {
    bool wide = false;
    std::uint64_t tableOffset = 0;
    std::uint16_t entrySize = 0;
    std::uint16_t count = 0;
    std::uint16_t namesIndex = 0;
};

bool ReadWord(Bytes file, std::uint64_t offset, bool wide, std::uint64_t& out) {
    if (wide) {
        return ReadU64(file, offset, out);
    }
    std::uint32_t narrow = 0;
    if (!ReadU32(file, offset, narrow)) {
        return false;
    }
    out = narrow;
    return true;
}

std::optional<SectionHeader> ReadSection(Bytes file, const Layout& layout, std::uint16_t index) {
    const std::uint64_t at =
        layout.tableOffset + static_cast<std::uint64_t>(index) * layout.entrySize;
    SectionHeader header;
    const std::uint64_t offsetField = layout.wide ? 0x18 : 0x10;
    const std::uint64_t sizeField = layout.wide ? 0x20 : 0x14;
    if (!ReadU32(file, at, header.name) || !ReadU32(file, at + 4, header.type) ||
        !ReadWord(file, at + offsetField, layout.wide, header.offset) ||
        !ReadWord(file, at + sizeField, layout.wide, header.size)) {
        return std::nullopt;
    }
    return header;
}

// Whether the name at the given offset of the name table is the one sought, NUL included. Only
// the bytes of that name are read: a table without a NUL costs no more than a short one.
bool SectionNameIs(Bytes file, const SectionHeader& names, std::uint32_t offset,
                   std::string_view sought) {
    if (offset >= names.size || sought.size() + 1 > names.size - offset) {
        return false;
    }
    const auto name = file.subspan(names.offset + offset, sought.size() + 1);
    return std::equal(sought.begin(), sought.end(), name.begin(),
                      [](char want, std::uint8_t have) {
                          return static_cast<std::uint8_t>(want) == have;
                      }) &&
           name.back() == 0;
}

}  // namespace

std::optional<Bytes> FindElfVersionBlock(Bytes file) {
    if (!InBounds(file, 0, 0x34) || file[0] != 0x7F || file[1] != 'E' || file[2] != 'L' ||
        file[3] != 'F' || file[5] != 1 || (file[4] != 1 && file[4] != 2)) {
        return std::nullopt;
    }
    Layout layout;
    layout.wide = file[4] == 2;
    const std::uint64_t fields = layout.wide ? 0x3A : 0x2E;
    if (!ReadWord(file, layout.wide ? 0x28 : 0x20, layout.wide, layout.tableOffset) ||
        !ReadU16(file, fields, layout.entrySize) || !ReadU16(file, fields + 2, layout.count) ||
        !ReadU16(file, fields + 4, layout.namesIndex) ||
        layout.entrySize < (layout.wide ? 0x28 : 0x18) || layout.namesIndex >= layout.count) {
        return std::nullopt;
    }
    const auto names = ReadSection(file, layout, layout.namesIndex);
    if (!names || !InBounds(file, names->offset, names->size)) {
        return std::nullopt;
    }
    for (std::uint16_t i = 0; i < layout.count; ++i) {
        const auto section = ReadSection(file, layout, i);
        if (!section) {
            return std::nullopt;
        }
        if (section->type == kNoBits ||
            !SectionNameIs(file, *names, section->name, kVersionSectionName)) {
            continue;
        }
        if (!InBounds(file, section->offset, section->size)) {
            return std::nullopt;
        }
        return file.subspan(section->offset, section->size);
    }
    return std::nullopt;
}

}  // namespace tamsel
