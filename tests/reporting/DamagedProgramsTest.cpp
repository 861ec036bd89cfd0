// Damaged programs beside the updater: the version readers take what lies inside the file and
// refuse the rest, one byte either side of every limit, and stop at once on any damage.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "reporting/VersionBlockWriter.h"
#include "reporting/VersionContainers.h"
#include "reporting/VersionResource.h"
#include "support/ElfWithVersion.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using File = std::string;

std::uint64_t Get(const File& f, std::size_t at, int bytes = 4) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | static_cast<std::uint8_t>(f.at(at + i));
    }
    return value;
}

void Put(File& f, std::size_t at, std::uint64_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i, value >>= 8) {
        f.at(at + i) = static_cast<char>(value & 0xFF);
    }
}

Bytes View(const File& f) {
    return {reinterpret_cast<const std::uint8_t*>(f.data()), f.size()};
}

// Where a good file keeps what the readers look at.
struct Layout {
    std::size_t header = 0;     // PE: the PE header; ELF: 0
    std::size_t table = 0;      // the section table
    std::size_t count = 0;      // its number of sections
    std::size_t section = 0;    // the header of the section holding the version block
    std::size_t directory = 0;  // PE: the resource type directory
    std::size_t entry = 0;      // PE: the version data's entry
    std::size_t data = 0;       // the block's file offset
    std::size_t size = 0;       // the block's size
};

Layout LocatePe(const File& f) {
    Layout l;
    l.header = Get(f, 0x3C);
    l.count = Get(f, l.header + 6, 2);
    const std::size_t optional = l.header + 24;
    const std::size_t directories = optional + (Get(f, optional, 2) == 0x10B ? 92 : 108);
    const std::uint64_t rva = Get(f, directories + 20);
    l.table = optional + Get(f, l.header + 20, 2);
    for (std::size_t i = 0; i < l.count; ++i) {
        const std::size_t at = l.table + 40 * i;
        if (rva >= Get(f, at + 12) && rva - Get(f, at + 12) < Get(f, at + 16)) {
            l.section = at;
        }
    }
    const auto offsetOf = [&](std::uint64_t address) {
        return Get(f, l.section + 20) + address - Get(f, l.section + 12);
    };
    l.directory = offsetOf(rva);
    std::size_t at = l.directory;
    for (int level = 0; level < 3; ++level) {
        std::size_t entry = at + 16;
        while (level == 0 && Get(f, entry) != 16) {
            entry += 8;
        }
        at = l.directory + (Get(f, entry + 4) & 0x7FFFFFFF);
    }
    l.entry = at;
    l.data = offsetOf(Get(f, at));
    l.size = Get(f, at + 4);
    return l;
}

// A 64-bit ELF file as objcopy lays it out: the section table last, the name table its last entry.
Layout LocateElf(const File& f) {
    Layout l;
    l.table = Get(f, 0x28, 8);
    l.count = Get(f, 0x3C, 2);
    const std::size_t names = l.table + 64 * Get(f, 0x3E, 2);
    for (std::size_t i = 0; i < l.count; ++i) {
        const std::size_t at = l.table + 64 * i;
        if (std::string(f.c_str() + Get(f, names + 0x18, 8) + Get(f, at)) == kVersionSectionName) {
            l.section = at;
        }
    }
    l.data = Get(f, l.section + 0x18, 8);
    l.size = Get(f, l.section + 0x20, 8);
    return l;
}

File Read(const std::string& path) {
    File content;
    EXPECT_TRUE(ReadWholeFile(path, content)) << path;
    return content;
}

File GoodElf(const test::TempDir& dir) {
    VersionBlockContent content;
    content.fileVersion = {1, 4, 0, 1};
    content.strings = {{"CompanyName", "Tam-Sel Ltd."}};
    return Read(test::ElfWithVersionBlock(dir, "copy", WriteVersionBlock(content)));
}

// The block every reader finds in the file, or nothing when one of them refuses it.
std::optional<std::vector<std::uint8_t>> Found(const File& f) {
    const auto pe = FindPeVersionBlock(View(f));
    const auto elf = FindElfVersionBlock(View(f));
    const auto any = FindVersionBlock(View(f));
    const auto block = pe ? pe : elf;
    if (!block || !any || !VersionResource::Parse(*block)) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(block->begin(), block->end());
}

struct Damage {
    const char* what;
    std::function<void(File&, const Layout&)> damage;
    bool readable;
};

void ExpectVerdicts(const File& good, const Layout& layout, const std::vector<Damage>& damages) {
    ASSERT_TRUE(Found(good));
    for (const auto& [what, damage, readable] : damages) {
        File bad = good;
        damage(bad, layout);
        EXPECT_EQ(Found(bad).has_value(), readable) << what;
    }
}

TEST(DamagedPrograms, PeLimitsHoldToTheByte) {
    const File good = Read(std::string(TAMSEL_TEST_DATA) + "/version/app32.exe");
    const std::vector<Damage> damages = {
        {"section ending where the data ends",
         [](File& f, const Layout& l) {
             Put(f, l.section + 16, l.data + l.size - Get(f, l.section + 20));
         },
         true},
        {"section ending one byte short of it",
         [](File& f, const Layout& l) {
             Put(f, l.section + 16, l.data + l.size - Get(f, l.section + 20) - 1);
         },
         false},
        {"file cut where the data ends",
         [](File& f, const Layout& l) { f.resize(l.data + l.size); }, true},
        {"file cut one byte into the data",
         [](File& f, const Layout& l) { f.resize(l.data + l.size - 1); }, false},
        {"section count one short",
         [](File& f, const Layout& l) { Put(f, l.header + 6, (l.section - l.table) / 40, 2); },
         false},
        {"section table past the end of the file",
         [](File& f, const Layout& l) { Put(f, l.header + 20, f.size() - l.header - 24 - 20, 2); },
         false},
        {"directory count one short of the resources",
         [](File& f, const Layout& l) { Put(f, l.header + 24 + 92, 2); }, false},
        {"directory count just enough",
         [](File& f, const Layout& l) { Put(f, l.header + 24 + 92, 3); }, true},
        {"type directory entry count one short",
         [](File& f, const Layout& l) {
             Put(f, l.directory + 14, Get(f, l.directory + 14, 2) - 1, 2);
         },
         false},
        {"type directory pointing at itself",
         [](File& f, const Layout& l) { Put(f, l.directory + 20, 0x80000000u); }, false},
        {"block longer than its data", [](File& f, const Layout& l) { f[l.data + 1] = '\x7F'; },
         false},
        {"name directory past the end of the file",
         [](File& f, const Layout& l) {
             Put(f, l.directory + 20, 0x80000000u | (f.size() - 15 - l.directory));
         },
         false},
    };
    ExpectVerdicts(good, LocatePe(good), damages);
}

TEST(DamagedPrograms, ElfLimitsHoldToTheByte) {
    test::TempDir dir;
    const File good = GoodElf(dir);
    const std::vector<Damage> damages = {
        {"section up to the end of the file",
         [](File& f, const Layout& l) { Put(f, l.section + 0x20, f.size() - l.data, 8); }, true},
        {"section one byte past the end",
         [](File& f, const Layout& l) { Put(f, l.section + 0x20, f.size() - l.data + 1, 8); },
         false},
        {"file cut after the last field read",
         [](File& f, const Layout& l) { f.resize(l.table + 64 * l.count - 24); }, true},
        {"file cut one byte into it",
         [](File& f, const Layout& l) { f.resize(l.table + 64 * l.count - 25); }, false},
        {"section count leaves out the name table",
         [](File& f, const Layout& l) { Put(f, 0x3C, l.count - 1, 2); }, false},
        {"name table one byte past the end",
         [](File& f, const Layout& l) {
             const std::size_t names = l.table + 64 * (l.count - 1);
             Put(f, names + 0x20, f.size() - Get(f, names + 0x18, 8) + 1, 8);
         },
         false},
        {"section entries shorter than a section header",
         [](File& f, const Layout&) { Put(f, 0x3A, 0x3F, 2); }, false},
    };
    ExpectVerdicts(good, LocateElf(good), damages);
}

// Every cut of a good file is read in full or refused: short of the block's end nothing is found,
// from there on the very block. Header fields pointed anywhere else, and counts raised to their
// largest, are refused; none of it may read outside the file or take long.
TEST(DamagedPrograms, ACorpusOfCutsBadOffsetsAndHugeCountsIsRefused) {
    test::TempDir dir;
    std::vector<std::pair<File, Layout>> goods;
    for (const char* name : {"app32.exe", "lib64.dll"}) {
        const File f = Read(std::string(TAMSEL_TEST_DATA) + "/version/" + name);
        goods.emplace_back(f, LocatePe(f));
    }
    const File elf = GoodElf(dir);
    goods.emplace_back(elf, LocateElf(elf));

    for (const auto& [good, l] : goods) {
        const auto block = Found(good);
        ASSERT_TRUE(block);
        const std::size_t needed = good[0] == 'M' ? l.data + l.size : l.table + 64 * l.count - 24;
        for (std::size_t cut = 0; cut < good.size(); cut += cut + 64 < needed ? 61 : 1) {
            EXPECT_EQ(Found(good.substr(0, cut)), cut < needed ? std::nullopt : block) << cut;
        }
        // The fields that lead to the block, each pointed past the end, just short of it and at
        // the far end of its range.
        std::vector<std::pair<std::size_t, int>> fields;
        if (good[0] == 'M') {
            fields = {{0x3C, 4},           {l.header + 20, 2},    {l.section + 12, 4},
                      {l.section + 20, 4}, {l.directory + 20, 4}, {l.entry, 4},
                      {l.entry + 4, 4}};
        } else {
            fields = {{0x28, 8},
                      {0x3E, 2},
                      {l.section + 0x18, 8},
                      {l.table + 64 * (l.count - 1) + 0x18, 8}};
        }
        for (const auto& [at, width] : fields) {
            for (const std::uint64_t value :
                 {std::uint64_t{good.size()}, std::uint64_t{good.size() - 1},
                  (std::uint64_t{1} << (8 * width - 1)) - 1, ~std::uint64_t{0}}) {
                File bad = good;
                Put(bad, at, value, width);
                EXPECT_FALSE(Found(bad)) << "field at " << at << " = " << value;
            }
        }
    }
    // Counts at their largest over a file that does not hold the tables.
    const auto& [pe, peLayout] = goods[0];
    File manySections = pe;
    Put(manySections, peLayout.header + 6, 0xFFFF, 2);
    Put(manySections, peLayout.section + 12, 0x7FFFFFF0);
    File manyEntries = pe;
    Put(manyEntries, peLayout.directory + 12, 0xFFFF, 2);
    Put(manyEntries, peLayout.directory + 14, 0xFFFF, 2);
    Put(manyEntries, peLayout.directory + 16, 17);
    File manyElfSections = elf;
    Put(manyElfSections, 0x3C, 0xFFFF, 2);
    Put(manyElfSections, LocateElf(elf).section, 0);
    for (const File* bad : {&manySections, &manyEntries, &manyElfSections}) {
        EXPECT_FALSE(Found(*bad));
    }
}

}  // namespace
}  // namespace tamsel
