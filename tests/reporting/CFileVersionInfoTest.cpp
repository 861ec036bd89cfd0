#include "reporting/CFileVersionInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "reporting/VersionContainers.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

std::string Fixture(const std::string& name) {
    return std::string(TAMSEL_TEST_DATA) + "/version/" + name;
}

std::string ReadFixture(const std::string& name) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(Fixture(name), content));
    return content;
}

struct FixtureCase {
    const char* file;
    const char* verFile;
    const char* verProduct;
    const char* flags;
    const char* os;
    const char* type;
    const char* subtype;
    const char* language;
    const char* company;
    const char* product;
    long extraIndex;  // one more predefined value to look at
    const char* extraValue;
};

// The two fixtures were built by mingw-w64's windres (scripts/make-pe-fixtures.sh).
TEST(CFileVersionInfo, ReadsTheVersionResourceOfPeFiles) {
    const FixtureCase cases[] = {
        {"app32.exe", "2.05.0307", "1.04.0016", "Debug PreRel", "NT-Win32", "Application", "",
         "English (United Kingdom)", "Tam-Sel Ltd.", "Tamsel Updater", 1, "PE32"},
        // A word above 32767 reads negative; strings filed under 0409 while the translation
        // names German are found through the US English fallback.
        {"lib64.dll", "1.-25536.0005", "3.00.1234", "Patched Special", "Unknown", "Driver",
         "Display drv", "German (Germany)", "Other Company", "Something Else", 12, "lib64"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CFileVersionInfo info;
        info.FullPathName(Fixture(c.file));
        EXPECT_TRUE(info.Available());
        EXPECT_EQ(info.VerFile(), c.verFile);
        EXPECT_EQ(info.VerProduct(), c.verProduct);
        EXPECT_EQ(info.VerStructure(), "1.0");
        EXPECT_EQ(info.FileFlags(), c.flags);
        EXPECT_EQ(info.FileOS(), c.os);
        EXPECT_EQ(info.FileType(), c.type);
        EXPECT_EQ(info.FileSubType(), c.subtype);
        EXPECT_EQ(info.Language(), c.language);
        EXPECT_EQ(info.CompanyName(), c.company);
        EXPECT_EQ(info.ProductName(), c.product);
        EXPECT_EQ(info.PredefinedValue(c.extraIndex), c.extraValue);
    }
}

TEST(CFileVersionInfo, FileWithoutVersionKeepsTheEarlierTexts) {
    CFileVersionInfo info;
    info.FullPathName(Fixture("app32.exe"));
    info.FullPathName(Fixture("plain64.exe"));
    EXPECT_FALSE(info.Available());
    EXPECT_EQ(info.FullPathName(), Fixture("plain64.exe"));
    EXPECT_EQ(info.VerFile(), "2.05.0307");
    EXPECT_EQ(info.ProductVersion(), "1.4.0.16");
}

// Our build embeds the program's version block in this test program as in the updater.
TEST(CFileVersionInfo, ReadsTheVersionOurBuildEmbeds) {
    CFileVersionInfo info;
    info.FullPathName(std::filesystem::read_symlink("/proc/self/exe").string());
    ASSERT_TRUE(info.Available());
    EXPECT_EQ(info.VerFile(), "1.04.0001");
    EXPECT_EQ(info.FileOS(), "Unknown");
    EXPECT_EQ(info.FileType(), "Application");
    EXPECT_EQ(info.ProductName(), "Tamsel Updater");
    EXPECT_EQ(info.ProductVersion(), "1.4.0.1");
    EXPECT_EQ(info.Language(), "English (United States)");
}

std::size_t ResourceRoot(const std::string& pe) {
    const auto at = pe.find(".rsrc");
    std::uint32_t rawOffset = 0;
    std::memcpy(&rawOffset, pe.data() + at + 20, 4);
    return rawOffset;
}

// Damaged copies of a good file: each is answered "not available", never read outside the file.
TEST(CFileVersionInfo, CorruptPeFilesAreNotAvailable) {
    const std::string good = ReadFixture("app32.exe");
    const std::size_t root = ResourceRoot(good);
    struct Damage {
        const char* what;
        std::function<void(std::string&)> apply;
    };
    const Damage damages[] = {
        {"truncated inside the headers", [](std::string& f) { f.resize(200); }},
        {"truncated inside the version block", [](std::string& f) { f.resize(f.size() - 300); }},
        {"PE header offset past the end",
         [](std::string& f) { f.replace(0x3C, 4, "\xF0\xFF\xFF\x7F"); }},
        {"type directory points at itself",
         [root](std::string& f) { f.replace(root + 20, 4, std::string("\0\0\0\x80", 4)); }},
        {"no version type among more entries than the section holds",
         [root](std::string& f) {
             f.replace(root + 14, 2, "\xFF\xFF");
             f[root + 16] = 17;
         }},
        {"version data at an address outside the image",
         [root](std::string& f) { f.replace(root + 0x48, 4, "\xF0\xFF\xFF\xFF"); }},
        {"block length larger than the data",
         [&good](std::string& f) { f[good.find(std::string("V\0S\0_\0V", 7)) - 5] = '\x7F'; }},
    };
    test::TempDir dir;
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::string bad = good;
        damage.apply(bad);
        CFileVersionInfo info;
        info.FullPathName(dir.write("bad.exe", bad));
        EXPECT_FALSE(info.Available());
    }
}

#ifdef PERES_PROGRAM
// pev's resource tool extracts the version resource by its own walk of the resource tree; ours
// must find the same bytes.
TEST(CFileVersionInfo, FindsTheSameVersionResourceAsPeres) {
    for (const char* name : {"app32.exe", "lib64.dll"}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const std::string command = "cd '" + dir.path() + "' && " PERES_PROGRAM " -x '" +
                                    Fixture(name) + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string theirs = dir.read("resources/versions/1.rc");
        const std::string file = ReadFixture(name);
        const auto ours = FindPeVersionBlock(
            Bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
        ASSERT_TRUE(ours.has_value());
        EXPECT_FALSE(theirs.empty());
        EXPECT_EQ(std::string(ours->begin(), ours->end()), theirs);
    }
}
#endif

}  // namespace
}  // namespace tamsel
