#include <gtest/gtest.h>

#include <filesystem>

#include "engine/UpdateRun.h"
#include "forms/HeadlessToolkit.h"
#include "support/CatalogueText.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

using test::HttpTestServer;
using test::TempDir;
using namespace std::string_literals;

// A run whose server publishes catalogue texts by path and whose kit folder is a temporary one.
class Retrieval : public ::testing::Test {
  protected:
    void SetUp() override {
        server.server().Get(R"(/(.*))",
                            [this](const httplib::Request& req, httplib::Response& res) {
                                const auto found = published.find(req.path);
                                if (found == published.end()) {
                                    res.status = 404;
                                    res.set_content("Not Found", "text/plain");
                                } else {
                                    res.set_content(found->second, "text/plain");
                                }
                            });
        ASSERT_TRUE(server.start());
        run.globalConfiguration.putValue("remote", server.hostUrl(""));
        run.globalConfiguration.putValue("primary_catalogue", "Tam-Sel Main Catalogue.ini");
        run.localConfiguration.putValue("local", kit / "Kit");
        std::filesystem::create_directories(kit / "Kit");
    }

    // A local kit file whose date and size read back as the given texts.
    void localFile(const std::string& url, const std::string& content, const std::string& date) {
        const auto path = kit.write("Kit" + url, content);
        ASSERT_TRUE(SetFileTimeFromText(path, date + " 06:00"));
    }

    std::vector<std::string> marks() {
        std::vector<std::string> lines;
        for (const auto& entry : metrics().CompleteCatalogue()->Files().asCollection()) {
            lines.push_back(entry->URL() + " " + std::to_string(entry->myType()) + "/" +
                            std::to_string(entry->Reason()));
        }
        return lines;
    }

    CMetrics& metrics() { return run.g_objMetrics; }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    HttpTestServer server;
    std::map<std::string, std::string> published;
    TempDir kit;
    UpdateRun run{toolkit, kit / "Kit/Updater"};
};

// A catalogue that reads as nothing would empty the kit: it is a failed retrieval. The remote
// catalogue keeps its last line and its exclusions.
TEST_F(Retrieval, OnlyATextYieldingSomeEntryIsACatalogue) {
    const struct {
        std::string body;
        bool catalogue;
    } cases[] = {
        {"<html><body>Oops</body></html>", false},
        {" \r\n\t<html lang=\"en\"><body>Down for maintenance</body></html>", false},
        {"", false},
        {"' nothing but a comment\r\n[COMMON]\r\n", false},
        {"url=\"/a.pot\" date=\"01/02/2006\" size=\"3\r\n", false},
        {"url=\"/a.pot\" date=\"01/02/2006\" size=\"3\"\nurl=\"/b.pot\" date=\"01/02/2006\" "
         "size=\"3\"\n",
         true},
        {"[SETTINGS]\nlog=\"\"\n", true},
    };
    for (const auto& c : cases) {
        published["/c.ini"] = c.body;
        EXPECT_EQ(metrics().getCatalogue(server.hostUrl("/c.ini"), "") != nullptr, c.catalogue)
            << c.body;
    }
    EXPECT_EQ(metrics().getCatalogue(server.hostUrl("/missing.ini"), ""), nullptr);
    EXPECT_FALSE(metrics().getRemoteCatalogue());

    // The last line has no line end of its own: the reader adds one.
    published["/Tam-Sel Main Catalogue.ini"] =
        "url=\"/a.pot\" date=\"01/02/2006\" size=\"3\"\r\n[EXCLUDE]\r\nurl=\"/Personal\"";
    ASSERT_TRUE(metrics().getRemoteCatalogue());
    ASSERT_EQ(metrics().RemoteCatalogue()->Files().Size(), 1);
    EXPECT_EQ(metrics().ExcludedFiles().Size(), 1);
}

TEST_F(Retrieval, EntriesNamingNoFileOfTheKitAreDropped) {
    std::string& text = published["/c.ini"];
    for (const std::string& url : {"/../outside.txt"s, "/ok/../../x"s, ""s, "/a\rb.txt"s,
                                   "/a\0b.txt"s, "/Templates/"s, "\\..\\a"s, "/a..b/..c"s}) {
        text += test::FileLine(url, "01/02/2006", "3");
    }
    text += "[SPECIAL]\r\n" + test::FileLine("/../../etc/passwd", "01/02/2006", "3");
    const auto catalogue = metrics().getCatalogue(server.hostUrl("/c.ini"), "");
    ASSERT_NE(catalogue, nullptr);
    ASSERT_EQ(catalogue->Files().Size(), 1);
    EXPECT_EQ(catalogue->Files().asCollection()[0]->URL(), "/a..b/..c");
    EXPECT_EQ(catalogue->Special().Size(), 0);
}

TEST_F(Retrieval, AnalysisMarksEveryCase) {
    for (const char* url : {"/same.pot", "/size.pot", "/date.pot", "/blank.pot"}) {
        localFile(url, "abc", "01/02/2006");
    }
    // The exclusion is a substring test ignoring case.
    localFile("/PERSONAL/notes.txt", "n", "01/02/2006");
    localFile("/docs/personal-notes.txt", "n", "01/02/2006");
    localFile("/old.pot", "o", "01/02/2006");
    localFile("/Templates/CASE.pot", "abc", "01/02/2006");
    // A partial download of an updater killed long ago.
    const auto stale = kit.write("Kit/Templates/.tamsel-99999999-1-0.part", "partial");
    published["/Sales/catalogue.ini"] =
        "url=\"/same.pot\" date=\"01/02/2006\" size=\"3\"\r\n"
        "url=\"/size.pot\" date=\"01/02/2006\" size=\"4\"\r\n"
        "url=\"/date.pot\" date=\"1/2/2006\" size=\"3\"\r\n"
        "url=\"/blank.pot\" date=\"01/02/2006\" size=\"3 \"\r\n"
        "url=\"/templates/case.pot\" date=\"01/02/2006\" size=\"3\"\r\n"
        "url=\"/new.pot\" date=\"01/02/2006\" size=\"9\"\r\n"
        "[EXCLUDE]\r\nurl=\"/Personal\"\r\n";
    const auto secondary = metrics().getCatalogue(server.hostUrl("/Sales/catalogue.ini"), "/Sales");
    ASSERT_NE(secondary, nullptr);
    metrics().CompleteCatalogue()->Append(*secondary);
    ASSERT_TRUE(metrics().getLocalCatalogue());
    EXPECT_FALSE(std::filesystem::exists(stale));
    metrics().analyseCatalogue();
    EXPECT_EQ(marks(), (std::vector<std::string>{"/same.pot 4/0", "/size.pot 1/1", "/date.pot 1/2",
                                                 "/blank.pot 1/1", "/templates/case.pot 4/0",
                                                 "/new.pot 2/4", "/old.pot 3/3"}));

    metrics().pruneCatalogue();
    EXPECT_EQ(metrics().CompleteCatalogue()->Files().Size(), 5);
    metrics().CompleteCatalogue()->Files().setTags();
    metrics().calculateSize();
    EXPECT_EQ(metrics().Size(), 4 + 3 + 3 + 9);
}

TEST_F(Retrieval, TheUpdatersOwnFilesAreNeitherRemovedNorReplaced) {
    // The kit folder is the program's folder, as the settings default it.
    run.localConfiguration.putValue("local", kit / "Kit/Updater");
    localFile("/Updater/tamsel-updater", "program", "01/02/2006");
    localFile("/Updater/debug.log", "trace", "01/02/2006");
    localFile("/Updater/localtamselupdater.ini", "settings", "01/02/2006");
    // What ships beside the program stays; the kit's folders below it are tidied.
    localFile("/Updater/tamsel-due-check", "check", "01/02/2006");
    localFile("/Updater/Old/old.pot", "o", "01/02/2006");
    metrics().AddOwnFile(kit / "Kit/Updater/tamsel-updater");
    published["/p/catalogue.ini"] = "url=\"/Tamsel-Updater\" date=\"01/02/2006\" size=\"9\"\r\n";
    metrics().CompleteCatalogue()->Append(
        *metrics().getCatalogue(server.hostUrl("/p/catalogue.ini"), "/p"));
    ASSERT_TRUE(metrics().getLocalCatalogue());
    metrics().analyseCatalogue();
    EXPECT_EQ(marks(), (std::vector<std::string>{"/Tamsel-Updater 4/0", "/Old/old.pot 3/3"}));
}

TEST_F(Retrieval, FailuresTellTheirCause) {
    published["/page.ini"] = "<html><body>Oops</body></html>";
    EXPECT_EQ(metrics().getCatalogue(server.hostUrl("/page.ini"), ""), nullptr);
    EXPECT_EQ(metrics().FailureCause(),
              "the answer from " + server.url("/page.ini") + " is not a catalogue");
    run.localConfiguration.putValue("local", kit / "NoSuchKit");
    EXPECT_FALSE(metrics().getLocalCatalogue());
    EXPECT_NE(metrics().FailureCause().find(kit / "NoSuchKit"), std::string::npos);
    run.localConfiguration.putValue("local", "");
    EXPECT_FALSE(metrics().getLocalCatalogue());
}

}  // namespace
}  // namespace tamsel
