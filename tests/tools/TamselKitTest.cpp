#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "KitProcess.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::Kit;
using test::Quote;
using test::TempDir;

const std::string kCatalogues = std::string(TAMSEL_TEST_DATA) + "/catalogues/";

TEST(TamselKit, HelpForEveryCommandAndUsageErrorsForWrongArguments) {
    for (const std::string command : {"", "build ", "show ", "lint ", "compare "}) {
        const auto run = Kit(command + "--help");
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find("Usage: tamsel-kit " + command), std::string::npos) << run.out;
    }
    for (const std::string arguments :
         {"", "frobnicate", "lint a b", "show --prefix", "compare a"}) {
        const auto run = Kit(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
}

TEST(TamselKit, BuildWritesTheCatalogueOfAFolderByTheLoginNameAndRefusesAMissingFolder) {
    TempDir kit;
    SetFileTimeFromText(kit.write("Templates/Corporate.pot", "12345"), "05/01/2007 10:00");
    SetFileTimeFromText(kit.write("a b.ppa", "x"), "28/02/2008 23:59");
    kit.write(".hidden", "h");

    const auto run = Kit("build " + Quote(kit.path()) + " --user 'Jo Bloggs'", "LC_ALL=C");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string firstLine = "'Default catalogue file created on ";
    ASSERT_EQ(run.out.compare(0, firstLine.size(), firstLine), 0) << run.out;
    EXPECT_NE(
        run.out.find(" by Jo Bloggs\r\n'\r\nurl=\"/a b.ppa\" date=\"28/02/2008\" size=\"1\"\r\n"),
        std::string::npos)
        << run.out;

    // What build writes, lint finds clean.
    const std::string written = kit.write("catalogue.ini", run.out);
    EXPECT_EQ(Kit("lint " + Quote(written)).status, 0);

    const auto byLogin = Kit("build " + Quote(kit.path()), "USER=publisher");
    ASSERT_EQ(byLogin.status, 0) << byLogin.err;
    const auto by = byLogin.out.find(" by ");
    ASSERT_NE(by, std::string::npos);
    EXPECT_NE(byLogin.out[by + 4], '\r') << "a login name is written";

    const auto missing = Kit("build " + Quote(kit / "missing"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("missing"), std::string::npos);
}

// Show reads a last line without line end and single-byte text, and names the line of a parse
// error.
TEST(TamselKit, ShowPrintsTheCatalogueAsJson) {
    const auto run = Kit("show " + Quote(kCatalogues + "master.ini") +
                         " --prefix /Sales --remote http://kit.example.com");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["files"].size(), 2u);
    EXPECT_EQ(json["files"][0]["fullURL"], "/Sales/PowerPoint/Templates/Corporate.pot");
    EXPECT_EQ(json["files"][1]["action"], "addin");
    EXPECT_EQ(json["excluded"], nlohmann::json::parse(R"([{"url":"/Personal"}])"));
    EXPECT_EQ(json["special"][1]["fullURL"], "http://kit.example.com/Setup/install.exe");
    EXPECT_EQ(json["menus"][0]["force"], 1);
    EXPECT_EQ(json["menus"][0]["choices"][0],
              nlohmann::json::parse(R"({"choice":"Sales","home":"/sales","active":true})"));
    EXPECT_EQ(json["menus"][0]["choices"][1]["active"], false);
    EXPECT_EQ(json["settings"]["full_log"], "yes");

    TempDir scratch;
    const auto path = scratch.write("latin1.ini", "url=\"/caf\xe9.pot\" date=\"d\" size=\"1\"");
    const auto latin1 = Kit("show " + Quote(path));
    ASSERT_EQ(latin1.status, 0) << latin1.err;
    const auto files = nlohmann::json::parse(latin1.out)["files"];
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0]["url"], "/caf\xc3\xa9.pot");

    const auto broken = Kit("show " + Quote(kCatalogues + "broken_force_overflow.ini"));
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.out.empty());
    EXPECT_NE(broken.err.find("broken_force_overflow.ini:3: Overflow"), std::string::npos)
        << broken.err;
    EXPECT_EQ(broken.err.find('\n'), broken.err.size() - 1) << "one line: " << broken.err;
}

// Lint warns once per problem with its line, passes clean files, and names the urls the updater
// drops.
TEST(TamselKit, LintWarnsOncePerProblemWithItsLine) {
    const auto run = Kit("lint " + Quote(kCatalogues + "lint_problems.ini"));
    EXPECT_EQ(run.status, 1);
    const std::string prefix = kCatalogues + "lint_problems.ini:";
    const std::string expected[] = {
        "3: date \"5/1/2007\"",
        "4: size \"1,5kb\"",
        "5: file line lacks size",
        "6: duplicate url \"/OK.pot\" (first on line 2)",
        "7: url \"/../outside.pot\" leads outside",
        "8: section marker inside a value",
        "9: unbalanced quotes",
    };
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), std::ssize(expected)) << run.out;
    for (const auto& warning : expected) {
        EXPECT_NE(run.out.find(prefix + warning), std::string::npos) << warning << "\n" << run.out;
    }

    const auto clean = Kit("lint " + Quote(kCatalogues + "clean.ini"));
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "");
    EXPECT_EQ(Kit("lint " + Quote(kCatalogues + "lf_line_ends.ini")).status, 0);

    TempDir scratch;
    const auto path = scratch.write("odd.ini",
                                    "url=\"a.pot\" date=\"31/02/2007\" size=\"1\"\r\n"
                                    "url=\"/a/../b.pot\" date=\"01/01/2007\" size=\"1\"\r\n"
                                    "[MENU]\r\nforce=\"40000\"\r\nforce=\"many\"\r\n"
                                    "[SPECIAL]\r\nurl=\"/s/../../x\"\r\n");
    const auto odd = Kit("lint " + Quote(path));
    EXPECT_EQ(odd.status, 1);
    // The updater drops the same urls that lint names (one rule for both).
    for (const std::string warning :
         {":1: url \"a.pot\" does not begin with \"/\"", ":1: date \"31/02/2007\"",
          ":2: url \"/a/../b.pot\" leads outside the kit", ":4: force \"40000\"",
          ":5: force \"many\"", ":7: url \"/s/../../x\" leads outside the kit"}) {
        EXPECT_NE(odd.out.find(warning), std::string::npos) << warning << "\n" << odd.out;
    }
}

}  // namespace
}  // namespace tamsel
