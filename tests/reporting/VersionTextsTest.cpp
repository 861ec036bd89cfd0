#include <gtest/gtest.h>

#include "reporting/CFileVersionInfo.h"
#include "reporting/VersionBlockWriter.h"
#include "support/ElfWithVersion.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

class VersionTexts : public ::testing::Test {
  protected:
    // Reads a copy of the updater that carries the given version block.
    void Read(const VersionBlockContent& content) {
        info.FullPathName(dir.write("copy", test::ElfWithVersionBlock(WriteVersionBlock(content))));
        ASSERT_TRUE(info.Available());
    }
    static VersionBlockContent Fixed(std::uint32_t flags, std::uint32_t os, std::uint32_t type,
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
    test::TempDir dir;
    CFileVersionInfo info;
};

TEST_F(VersionTexts, FixedRecordTexts) {
    struct Case {
        VersionBlockContent content;
        const char *flags, *os, *type, *subtype;
    };
    const Case cases[] = {
        {Fixed(0x3F, 0x10004, 4, 3), "Debug PreRel Patched Private Info Special", "DOS-Win32",
         "Font", "TrueType Font"},
        // A subtype outside the list and a type without subtypes leave the subtype text as it was.
        {Fixed(0x40, 0x20002, 3, 11), "", "OS/2-16 PM-16", "Driver", "TrueType Font"},
        {Fixed(0, 0x30003, 6, 1), "", "OS/2-16 PM-32", "Unknown", "TrueType Font"},
        {Fixed(0, 0x10001, 3, 0), "", "DOS-Win16", "Driver", "Unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.os);
        Read(c.content);
        EXPECT_EQ(info.VerFile(), "1.04.0001");
        EXPECT_EQ(info.VerProduct(), "-1.-32768.0100");
        EXPECT_EQ(info.FileFlags(), c.flags);
        EXPECT_EQ(info.FileOS(), c.os);
        EXPECT_EQ(info.FileType(), c.type);
        EXPECT_EQ(info.FileSubType(), c.subtype);
    }
}

// Strings under neither the translation's language nor US English read as empty; the fixed texts
// and the language still come from the new file.
TEST_F(VersionTexts, StringsFiledUnderAnotherLanguageReadEmpty) {
    VersionBlockContent content = Fixed(0, 4, 1, 0);
    content.strings = {{"CompanyName", "Tam-Sel Ltd."}, {"ProductName", "Tamsel Updater"}};
    Read(content);
    content.language = 0x040C;
    content.stringLanguage = 0x0407;
    Read(content);
    EXPECT_EQ(info.Language(), "French (France)");
    EXPECT_EQ(info.CompanyName(), "");
    EXPECT_EQ(info.ProductName(), "");
    EXPECT_EQ(info.PredefinedName(13), "LegalTrademarks1");
    EXPECT_EQ(info.PredefinedName(15), "");
}

}  // namespace
}  // namespace tamsel
