#include "config/CConfiguration.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace tamsel {
namespace {

using test::TempDir;

std::vector<long> Types(const CConfiguration& config) {
    std::vector<long> types;
    for (const auto& line : config.asCollection())
        types.push_back(line->myType());
    return types;
}

TEST(CConfiguration, ReadClassifiesLinesAndWritesUnchangedLinesAsRead) {
    TempDir dir;
    const std::string junk("\x01\xFF bin\0ary", 10);
    const auto path = dir.write("settings.ini",
                                "' a comment = \"x\"\r\n"
                                "\r\n"
                                "[SETTINGS]\r\n"
                                "  username =   \"  J Smith \"   trailing\r\n"
                                "local=  C:\\Kit \n"
                                "   ' not a comment=\"v\"\r\n" +
                                    junk + "\r\n" + "department=\"Sales\r\n");
    CConfiguration config;
    config.putValue("remote", "first");  // reading appends to what is already there
    ASSERT_TRUE(config.readFile(path));
    EXPECT_EQ(Types(config), (std::vector<long>{2, 1, 0, 0, 2, 2, 2, 0, 2}));
    EXPECT_EQ(config.getRemote(), "first");
    EXPECT_EQ(config.getValue("username"), "  J Smith ");
    // Without a pair of quotes the value is the text after "=", trimmed.
    EXPECT_EQ(config.getValue("local"), "C:\\Kit");
    // A value whose closing quote was lost is the text after its opening quote.
    EXPECT_EQ(config.getValue("department"), "Sales");
    EXPECT_EQ(config.getValue("' not a comment"), "v");
    EXPECT_EQ(config.Path(), path);

    // Lines the program did not change are written back byte for byte; changed ones in the
    // key="value" form.
    // A value from outside never breaks its line or its quotes.
    config.putValue("username", "Jo\"\r\nlocal=\"/home/jo\"\n");
    config.putValue("ein", "7\rlocal=\"/\"");
    ASSERT_TRUE(config.writeFile(path));
    EXPECT_EQ(dir.read("settings.ini"),
              "remote=\"first\"\r\n"
              "' a comment = \"x\"\r\n"
              "\r\n"
              "[SETTINGS]\r\n"
              "username=\"Jolocal=/home/jo\"\r\n"
              "local=  C:\\Kit \r\n"
              "   ' not a comment=\"v\"\r\n" +
                  junk + "\r\n" + "department=\"Sales\r\n" + "ein=\"7local=/\"\r\n");
}

TEST(CConfiguration, KeysAreExactAndTheFirstLineWins) {
    CConfiguration config;
    config.add(*CConfiguration::Setting("historical", "Sales"));
    config.add(*CConfiguration::Setting("historical", "Marketing"));
    config.add(*CConfiguration::Setting("Username", "x"));
    EXPECT_EQ(config.getValue("username"), "");
    EXPECT_EQ(config.getValue("historical"), "Sales");
    EXPECT_TRUE(config.setValue("historical", "Legal"));
    EXPECT_EQ(config.asCollection()[0]->Value(), "Legal");
    EXPECT_EQ(config.asCollection()[1]->Value(), "Marketing");
    config.RemoveAll("historical");
    ASSERT_EQ(config.asCollection().size(), 1u);
    EXPECT_EQ(config.asCollection()[0]->Key(), "Username");
}

TEST(CConfiguration, NewKeyDoesNotDirtySoCommitWritesNothingUntilDirty) {
    TempDir dir;
    CConfiguration config;
    config.Path(dir / "local.ini");
    EXPECT_FALSE(config.setValue("username", "J Smith"));
    EXPECT_FALSE(config.isDirty());
    EXPECT_TRUE(config.commit());
    EXPECT_FALSE(std::filesystem::exists(dir / "local.ini"));
    // Setting a present key dirties, even to the same value.
    EXPECT_TRUE(config.setValue("username", "J Smith"));
    EXPECT_TRUE(config.isDirty());
    EXPECT_TRUE(config.commit());
    EXPECT_EQ(dir.read("local.ini"), "username=\"J Smith\"\r\n");

    // Dirty stays set: a second commit writes again.
    std::filesystem::remove(dir / "local.ini");
    EXPECT_TRUE(config.commit());
    EXPECT_TRUE(std::filesystem::exists(dir / "local.ini"));
}

TEST(CConfiguration, FailedReadKeepsThePreviousPath) {
    TempDir dir;
    CConfiguration config;
    EXPECT_FALSE(config.readFile(dir / "missing.ini"));
    EXPECT_FALSE(config.readFile(""));
    EXPECT_EQ(config.Path(), "");
    config.putValue("x", "1");
    config.Dirty();
    EXPECT_FALSE(config.commit());  // no path to write to
}

TEST(CConfiguration, DefaultsReplaceEverythingAndAreWrittenAtOnce) {
    TempDir dir;
    const DateTime when{2026, 12, 6, 14, 7, 0};
    CConfiguration local;
    local.putValue("historical", "Sales");
    local.Default1(dir / "localtamselupdater.ini", when);
    const std::string expectedComment =
        "'Default configuration file created on " + DefaultDateTimeText(when);
    EXPECT_EQ(dir.read("localtamselupdater.ini"),
              expectedComment +
                  "\r\n\r\nusername=\"\"\r\npassword=\"\"\r\ndepartment=\"\"\r\n\r\n"
                  "office=\"\"\r\nautoupdate=\"Weekly\"\r\nlastupdated=\"\"\r\nlocal=\"\"\r\n");
    EXPECT_EQ(local.getValue("historical"), "");

    CConfiguration global;
    global.Default2(dir / "globaltamselupdater.ini", when);
    EXPECT_EQ(dir.read("globaltamselupdater.ini"),
              expectedComment +
                  "\r\n\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n"
                  "secondary_catalogue=\"catalogue.ini\"\r\nremote=\"\"\r\n");
}

}  // namespace
}  // namespace tamsel
