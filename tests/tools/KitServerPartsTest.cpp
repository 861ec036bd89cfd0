#include "KitFiles.h"
#include "NameDirectory.h"
#include "PostedLogDecoder.h"
#include "Uploads.h"
#include "engine/CHTTP.h"
#include "ui/NameServer.h"
#include "util/Text.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tamsel::server {
namespace {

namespace fs = std::filesystem;

TEST(UploadDecodingTest, DecodesOnlyTheFourEscapesWhereverTheBodyIsCut) {
    const std::string text = "a & b = 50%\r\n\"quoted\" \xE9\r\n";
    EXPECT_EQ(UploadedLog("data=" + EscapePostData(text)), text);
    // Only the four escapes are decoded.
    EXPECT_EQ(UnescapePostData("%41%2B%0d%0a%26%25"), "%41%2B\r\n&%25");
    // Ambiguous by design of the escaping: a "+" of the log reads back as a blank.
    EXPECT_EQ(UnescapePostData(EscapePostData("1+1")), "1 1");
    EXPECT_EQ(UploadedLog("user=x&data=a+b&more=1"), "a b");
    EXPECT_EQ(UploadedLog("data="), "");
    EXPECT_FALSE(UploadedLog("log=a+b").has_value());
    EXPECT_FALSE(UploadedLog("").has_value());

    // The same wherever the body is cut into pieces.
    for (const std::string body : {"user=x&data=a%26b%0D%0a+c%%26%2x%0&more=1", "data=50%25%",
                                   "data=%0", "dat=x&data=%%0A%"}) {
        const auto whole = UploadedLog(body);
        ASSERT_TRUE(whole.has_value());
        for (std::size_t cut = 0; cut <= body.size(); ++cut) {
            SCOPED_TRACE(body + " cut at " + std::to_string(cut));
            PostedLogDecoder decoder;
            std::string log;
            decoder.feed(std::string_view(body).substr(0, cut), log);
            decoder.feed(std::string_view(body).substr(cut), log);
            decoder.finish(log);
            EXPECT_EQ(log, *whole);
        }
    }
    EXPECT_EQ(UploadedLog("data=a%%26%2x%0"), "a%&%2x%0");
}

// The served answer for a known and an unknown number is checked whole by KitServerTest.
TEST(NameDirectoryTest, QuotedAndPaddedFieldsStillAnswerTheNumber) {
    const auto names = NameDirectory::Parse(
        "ein,name,surname,email,country,ouc\r\n"
        "1001,Jane,Surname-Smith,jane@example.com,UK,\"Sales, North\"\r\n"
        " 1002 , Ann , Lee ,ann@example.com,FR,MKT\n");
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(NameServerField(names.answer("1001", "OK", "BAD"), "ouc"), "Sales  North")
        << "commas would end the value early";
    EXPECT_EQ(NameServerField(names.answer(" 1002", "OK", "BAD"), "name"), "Ann");
    EXPECT_EQ(NameDirectory().answer("1001", "V", "I"), "V,I");
}

class ResolveKitFileTest : public testing::Test {
  protected:
    void SetUp() override {
        root.write("kit/Templates/Blue.pot", "b");
        root.write("kit/.hidden", "h");
        root.write("secret.txt", "s");
        fs::create_symlink(root / "secret.txt", root / "kit/link.txt");
    }
    std::optional<fs::path> resolve(std::string_view path) const {
        return ResolveKitFile(root / "kit", path, names);
    }

    test::TempDir root;
    mutable FolderNameCache names;
};

TEST_F(ResolveKitFileTest, RemembersAFolderOnlyUntilItChanges) {
    // Folder times an hour old: the remembered names are trusted until the folder changes.
    const auto settled = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(root / "kit/Templates", settled);
    EXPECT_FALSE(resolve("/templates/red.pot").has_value());
    root.write("kit/Templates/Red.pot", "r");
    EXPECT_EQ(resolve("/templates/red.pot"), fs::path(root / "kit/Templates/Red.pot"));

    fs::last_write_time(root / "kit/Templates", settled);
    EXPECT_TRUE(resolve("/templates/RED.POT").has_value());
    fs::rename(root / "kit/Templates/Red.pot", root / "kit/Templates/Green.pot");
    EXPECT_FALSE(resolve("/templates/RED.POT").has_value());
    EXPECT_TRUE(resolve("/templates/GREEN.POT").has_value());
}

TEST_F(ResolveKitFileTest, FindsFilesInAnyCaseAndRefusesAnythingButFilesInsideTheRoot) {
    for (const char* path :
         {"/Templates/Blue.pot", "//templates/BLUE.POT", "/./Templates/Blue.pot"})
        EXPECT_EQ(resolve(path), fs::path(root / "kit/Templates/Blue.pot")) << path;
    for (const char* path : {"/Templates", "/", "", "Templates/Blue.pot", "/../secret.txt",
                             "/Templates/../../secret.txt", "/link.txt", "/.hidden",
                             "/Templates/Missing.pot", "/Templates/Blue.pot/x"}) {
        EXPECT_FALSE(resolve(path).has_value()) << path;
    }
}

TEST(KitFilesTest, PercentDecodingLeavesBrokenEscapes) {
    EXPECT_EQ(PercentDecode("/Tam-Sel%20Main%20Catalogue.ini"), "/Tam-Sel Main Catalogue.ini");
    EXPECT_EQ(PercentDecode("/a+b%2e%2E%zz%4"), "/a+b..%zz%4");
}

}  // namespace
}  // namespace tamsel::server
