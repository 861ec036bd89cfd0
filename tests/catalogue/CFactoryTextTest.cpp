#include <gtest/gtest.h>

#include <random>

#include "catalogue/CFactory.h"
#include "support/CatalogueText.h"
#include "util/Error.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::CatalogueText;

std::string Fixture(const std::string& name) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(std::string(TAMSEL_TEST_DATA) + "/catalogues/" + name, content));
    return content;
}

std::shared_ptr<CCatalogue> Parse(const std::string& text, const std::string& prefix = "",
                                  const std::string& remote = "http://kit.example.com") {
    CFactory factory;
    return factory.createCatalogueFromText(text, prefix, remote);
}

std::string Urls(const CFiles& files) {
    std::string urls;
    for (const auto& file : files.asCollection())
        urls += (urls.empty() ? "" : ",") + file->fullURL();
    return urls;
}

TEST(CatalogueText, WhichLinesBecomeFiles) {
    EXPECT_EQ(Parse(""), nullptr);
    const struct {
        const char* name;
        std::string text;
        std::string expectedUrls;
    } cases[] = {
        {"junk", "junk\r\n\r\n' comment", ""},
        {"no header",
         CatalogueText({R"(url="/a" date="d" size="1")", R"(url="/b" date="d" size="2")"}),
         "/a,/b"},
        {"date or size missing",
         CatalogueText(
             {R"(url="/a" date="d")", R"(url="/c" size="1")", R"(url="/b" date="" size="")"}),
         "/b"},
        {"last line without CR LF",
         CatalogueText({R"(url="/a" date="d" size="1")"}) + R"(url="/b" date="d" size="1")", "/a"},
        {"LF alone ends a line too",
         "url=\"/a\" date=\"d\" size=\"1\"\nurl=\"/b\" date=\"d\" size=\"1\"\r\n", "/a,/b"},
        {"CR alone does not end a line", "url=\"/a\" date=\"d\" size=\"1\"\r[EXCLUDE]\r\n", ""},
        {"spaces around the line", CatalogueText({R"(   url="/a" date="d" size="1"   )"}), "/a"},
        {"comment after spaces", CatalogueText({R"(  'url="/a" date="d" size="1")"}), ""},
        {"after another section", CatalogueText({"[EXCLUDE]", R"(url="/a" date="d" size="1")"}),
         ""},
        {"back in common",
         CatalogueText({"[EXCLUDE]", "[Common]", R"(url="/a" date="d" size="1")"}), "/a"},
    };
    for (const auto& c : cases) {
        const auto catalogue = Parse(c.text);
        ASSERT_NE(catalogue, nullptr) << c.name;
        EXPECT_EQ(Urls(catalogue->Files()), c.expectedUrls) << c.name;
    }
}

TEST(CatalogueText, PrefixAndTheAbsoluteSetting) {
    const std::string file = R"(url="/a.pot" date="d" size="1")";
    EXPECT_EQ(Urls(Parse(CatalogueText({file}), "/Sales")->Files()), "/Sales/PowerPoint/a.pot");
    EXPECT_EQ(Urls(Parse(CatalogueText({file}), "")->Files()), "/a.pot");

    const auto text = CatalogueText({file, "[SETTINGS]", R"(absolute="tRuE")", "[COMMON]", file,
                                     "[SETTINGS]", R"(absolute="yes")", "[COMMON]", file});
    EXPECT_EQ(Urls(Parse(text, "/Sales")->Files()),
              "/Sales/PowerPoint/a.pot,/Sales/a.pot,/Sales/PowerPoint/a.pot");
    // The flag belongs to one parse only.
    EXPECT_EQ(Urls(Parse(CatalogueText({file}), "/Sales")->Files()), "/Sales/PowerPoint/a.pot");
}

TEST(CatalogueText, SectionHeaders) {
    const auto catalogue = Parse(CatalogueText({
        "junk [menu] Packages",
        R"(choice="A" home="/a")",
        R"(url="[Exclude]" date="d" size="1")",
        R"(url="/x")",
        "[SPECIAL] and [MENU]",
        R"(caption="second")",
        "[menu]",
    }));
    ASSERT_EQ(catalogue->Menus().Size(), 3);
    EXPECT_EQ(catalogue->Menus().asCollection()[0]->asCollection().size(), 1u);
    EXPECT_EQ(catalogue->Files().Size(), 0) << "a marker in a value makes a header";
    EXPECT_EQ(Urls(catalogue->Excluded()), "/x");
    EXPECT_EQ(catalogue->Menus().asCollection()[1]->Caption(), "second") << "[MENU] wins";
    EXPECT_TRUE(catalogue->Menus().asCollection()[2]->asCollection().empty());
}

TEST(CatalogueText, MenuLines) {
    const auto catalogue = Parse(CatalogueText({
        "[MENU]",
        R"(caption="Regions" choice="ignored" home="/x")",
        R"(force="2.5")",
        R"(choice="Sales" home="/sales" selected="no")",
        R"(choice="Empty" home="/e" selected="")",
        R"(choice="NoHome")",
        R"(home="/h")",
        "[MENU]",
        R"(force="3.5")",
        R"(force="lots")",
        "[MENU]",
        R"(force="-32768")",
    }));
    ASSERT_EQ(catalogue->Menus().Size(), 3);
    const auto& first = *catalogue->Menus().asCollection()[0];
    EXPECT_EQ(first.Caption(), "Regions");
    EXPECT_EQ(first.Force(), 2) << "halves round to even";
    ASSERT_EQ(first.asCollection().size(), 2u);
    EXPECT_EQ(first.asCollection()[0]->toString(), "Home='/sales' choice='Sales'");
    EXPECT_TRUE(first.asCollection()[0]->Active()) << "any selected text selects";
    EXPECT_FALSE(first.asCollection()[1]->Active());
    EXPECT_EQ(catalogue->Menus().asCollection()[1]->Force(), 4);
    EXPECT_EQ(catalogue->Menus().asCollection()[2]->Force(), -32768);
}

TEST(CatalogueText, SettingsTakeTheFirstKeyOfTheList) {
    const auto catalogue = Parse(CatalogueText({
        "[SETTINGS]",
        R"(full_log="F" log="L")",
        R"(ein_confirmation_response_fail="fail")",
        R"(ein_confirmation_response="resp" full_confirmation="fc")",
        R"(ein_confirmation="ein")",
    }));
    // log, full_log, full_confirmation, ein_confirmation, its response and its failure text
    const CCatalogue& c = *catalogue;
    EXPECT_EQ(c.Log() + "|" + c.FullLog() + "|" + c.FullConfirmation() + "|" + c.EinConfirmation() +
                  "|" + c.EinConfirmationResponse() + "|" + c.EinConfirmationResponseFail(),
              "|F|fc|ein||fail");
}

TEST(CatalogueText, SpecialEntries) {
    const auto catalogue = Parse(CatalogueText({
                                     "[SPECIAL]",
                                     R"(script="close PowerPoint" url="/ignored")",
                                     R"(url="/Setup/install.exe" action="run")",
                                     R"(action="orphan")",
                                 }),
                                 "/Sales", "http://kit");
    ASSERT_EQ(catalogue->Special().Size(), 2);
    const auto& script = *catalogue->Special().asCollection()[0];
    EXPECT_EQ(script.Script(), "close PowerPoint");
    EXPECT_EQ(script.URL(), "");
    const auto& file = *catalogue->Special().asCollection()[1];
    EXPECT_EQ(file.fullURL(), "http://kit/Setup/install.exe");
    EXPECT_EQ(file.Action(), "run");
}

TEST(CatalogueText, BrokenFixturesFailWithTheLineAtFault) {
    const struct {
        const char* fixture;
        long number, line;
    } cases[] = {
        {"broken_unbalanced_quote.ini", err::InvalidArgument, 2},
        {"broken_force_overflow.ini", err::Overflow, 3},
    };
    for (const auto& c : cases) {
        CFactory factory;
        try {
            factory.createCatalogueFromText(Fixture(c.fixture), "", "");
            ADD_FAILURE() << c.fixture;
        } catch (const TamselError& error) {
            EXPECT_EQ(error.Number(), c.number) << c.fixture;
            EXPECT_EQ(factory.lastLineRead(), c.line) << c.fixture;
        }
    }
}

TEST(CatalogueText, EndsOnAnyInput) {
    // Texts made of the characters that steer the parser; every one must finish with a
    // catalogue or one of our errors.
    const std::string alphabet = "\"=  urldatesizeforce[MENU][SETTINGS]'\r\n\r\n";
    std::mt19937 random(2007);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 120);
    int parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = length(random); i > 0; --i)
            text += alphabet[pick(random)];
        try {
            Parse(text);
            ++parsed;
        } catch (const TamselError& error) {
            EXPECT_TRUE(error.Number() == err::InvalidArgument || error.Number() == err::Overflow);
        }
    }
    EXPECT_GT(parsed, 0);
}

}  // namespace
}  // namespace tamsel
