#include "reporting/CFileVersionInfo.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "reporting/VersionBlockWriter.h"
#include "reporting/VersionContainers.h"
#include "support/ElfWithVersion.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

std::string Fixture(const std::string& name) {
    return std::string(TAMSEL_TEST_DATA) + "/version/" + name;
}

// Every text but the string entries missing from all the files here, joined by "|".
std::string Texts(const CFileVersionInfo& info) {
    std::string texts = info.VerFile() + "|" + info.VerProduct() + "|" + info.VerStructure() + "|" +
                        info.FileFlags() + "|" + info.FileOS() + "|" + info.FileType() + "|" +
                        info.FileSubType();
    for (long index : {0, 1, 2, 9, 10, 12}) {
        texts += "|" + info.PredefinedValue(index);
    }
    return texts;
}

// A copy of the updater as our build makes it, with the given version block.
std::string Copy(const test::TempDir& dir, const VersionBlockContent& content) {
    return test::ElfWithVersionBlock(dir, "copy", WriteVersionBlock(content));
}

VersionBlockContent Fixed(std::uint32_t flags, std::uint32_t os, std::uint32_t type,
                          std::uint32_t subtype) {
    VersionBlockContent content;
    content.fileVersion = {1, 4, 0, 1};
    content.productVersion = {65535, 32768, 1, 0};
    content.fileFlags = flags;
    content.fileOS = os;
    content.fileType = type;
    content.fileSubtype = subtype;
    return content;
}

// The PE fixtures were built by mingw-w64's windres (scripts/make-pe-fixtures.sh); lib64.dll has
// a word above 32767 (read negative) and its strings under 0409 while its translation names
// German (found through the US English fallback). The test program itself carries the block our
// build embeds in the updater.
TEST(CFileVersionInfo, ReadsPeResourcesAndOurOwnSection) {
    const std::pair<std::string, std::string> cases[] = {
        {Fixture("app32.exe"),
         "2.05.0307|1.04.0016|1.0|Debug PreRel|NT-Win32|Application||English (United Kingdom)|PE32|"
         "Tam-Sel Ltd.|Tamsel Updater|1.4.0.16|"},
        {Fixture("lib64.dll"),
         "1.-25536.0005|3.00.1234|1.0|Patched Special|Unknown|Driver|Display drv|German (Germany)"
         "||Other Company|Something Else|3.0.12.34|lib64"},
        {std::filesystem::read_symlink("/proc/self/exe").string(),
         "1.04.0001|1.04.0001|1.0||Unknown|Application||English (United States)||Tam-Sel Ltd.|"
         "Tamsel Updater|1.4.0.1|"},
    };
    for (const auto& [path, texts] : cases) {
        CFileVersionInfo info;
        info.FullPathName(path);
        EXPECT_TRUE(info.Available()) << path;
        EXPECT_EQ(Texts(info), texts);
    }
}

// Types and subtypes, flags, systems; a subtype outside its list, or a type without subtypes,
// keeps the subtype text of the file before. Strings under neither the translation's language
// nor US English read as empty, and a file without version information keeps every text of the
// one before.
TEST(CFileVersionInfo, FixedRecordTextsFollowOneAnotherAndAMissingResourceKeepsTheTexts) {
    const std::pair<VersionBlockContent, std::string> cases[] = {
        {Fixed(0x3F, 0x10004, 4, 3),
         "Debug PreRel Patched Private Info Special|DOS-Win32|Font|TrueType Font"},
        {Fixed(0x40, 0x20002, 3, 11), "|OS/2-16 PM-16|Driver|TrueType Font"},
        {Fixed(0, 0x30003, 6, 1), "|OS/2-16 PM-32|Unknown|TrueType Font"},
        {Fixed(0, 0x10001, 3, 0), "|DOS-Win16|Driver|Unknown"},
    };
    test::TempDir dir;
    CFileVersionInfo info;
    for (const auto& [content, texts] : cases) {
        info.FullPathName(Copy(dir, content));
        EXPECT_EQ(info.VerProduct(), "-1.-32768.0100");
        EXPECT_EQ(info.FileFlags() + "|" + info.FileOS() + "|" + info.FileType() + "|" +
                      info.FileSubType(),
                  texts);
    }
    info = CFileVersionInfo();  // no subtype text carried over
    info.FullPathName(Fixture("app32.exe"));
    VersionBlockContent content = Fixed(0, 4, 1, 0);
    content.language = 0x040C;
    content.stringLanguage = 0x0407;
    content.strings = {{"CompanyName", "Tam-Sel Ltd."}, {"ProductName", "Tamsel Updater"}};
    info.FullPathName(Copy(dir, content));
    EXPECT_EQ(Texts(info),
              "1.04.0001|-1.-32768.0100|1.0||Unknown|Application||French (France)|||||");
    info.FullPathName(Fixture("app32.exe"));
    info.FullPathName(Fixture("plain64.exe"));
    EXPECT_FALSE(info.Available());
    EXPECT_EQ(info.FullPathName(), Fixture("plain64.exe"));
    EXPECT_EQ(info.ProductVersion(), "1.4.0.16");
}

// Section names are read only over the bytes of the name sought: here every section is named at
// the start of a table of that name repeated with no NUL, whose last page cannot be read at all.
TEST(ElfVersionSection, ANameTableWithoutAnEndIsNeverScannedForIt) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    auto* bytes = static_cast<std::uint8_t*>(
        ::mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(bytes, MAP_FAILED);
    // Little-endian fields, as on the host.
    const auto put = [bytes](std::size_t at, std::uint64_t value) {
        std::memcpy(bytes + at, &value, sizeof value);
    };
    put(0, 0x0000'0102'464C'457F);  // "\x7F" "ELF", 64-bit, little-endian
    put(0x28, 0x40);                // section headers at 0x40,
    put(0x3A, 0x0014'0040);         // 64 bytes each, 20 of them, the first the name table
    put(0x44, 3);
    put(0x58, page);
    put(0x60, 2 * page);
    for (std::size_t i = 1; i < 20; ++i) {
        put(0x40 + 64 * i + 4, 1);  // data named at the table's start
    }
    const std::string_view name = kVersionSectionName;
    std::memset(bytes + page, '.', page);
    for (std::size_t at = page; at + name.size() <= 2 * page; at += name.size()) {
        std::memcpy(bytes + at, name.data(), name.size());
    }
    ASSERT_EQ(::mprotect(bytes + 2 * page, page, PROT_NONE), 0);
    EXPECT_FALSE(FindElfVersionBlock(Bytes(bytes, 3 * page)));
    ::munmap(bytes, 3 * page);
}

}  // namespace
}  // namespace tamsel
