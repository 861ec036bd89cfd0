#include "KitServer.h"
#include "engine/CHTTP.h"
#include "util/FileSystem.h"
#include "util/Text.h"

#include "support/KitSite.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <sstream>

namespace tamsel::server {
namespace {

namespace fs = std::filesystem;

// The sample kit served in-process on a free port, with one known number in its names file.
class KitServerTest : public testing::Test {
  protected:
    KitServerOptions options() {
        KitServerOptions options;
        options.kitRoot = TAMSEL_SAMPLE_KIT;
        options.reportsFolder = work / "reports";
        options.namesFile = work.write("names.csv",
                                       "ein,name,surname,email,country,ouc\n"
                                       "1001,Jane,Smith,jane@example.com,UK,SALES\n");
        return options;
    }
    void SetUp() override { ASSERT_TRUE(server.bound()); }
    std::string get(const std::string& path) {
        const auto answer = client.Get(path);
        return answer ? std::to_string(answer->status) + " " + answer->body : "no answer";
    }

    test::TempDir work;
    test::RunningKitServer server{options()};
    httplib::Client client{"127.0.0.1", server.port()};
};

TEST_F(KitServerTest, ServesCataloguesNamingItselfAndAnswersNameQueries) {
    std::string master;
    ASSERT_TRUE(ReadWholeFile(TAMSEL_SAMPLE_KIT "/Tam-Sel Main Catalogue.ini", master));
    EXPECT_EQ(get("/Tam-Sel%20Main%20Catalogue.ini"),
              "200 " + ReplaceAll(master, "%server%", server.remote()));
    EXPECT_EQ(get("/ein?number=1001"),
              "200 TAMSEL-EIN-OK,name=Jane,surname=Smith,email=jane@example.com,country=UK,"
              "ouc=SALES");
    const std::string unknown = get("/ein?number=12%2034");
    EXPECT_NE(unknown.find("TAMSEL-EIN-OK"), std::string::npos);
    EXPECT_NE(unknown.find("UNKNOWN-NUMBER"), std::string::npos);
}

TEST_F(KitServerTest, MissingPathsAnswerAnHtmlPageAndNoticesAreLogged) {
    for (const char* path :
         {"/missing.pot", "/Sales", "/../tools/tamsel-server/main.cpp", "/%2e%2e/README.md",
          "/tamsel_reports/notice.asp?name=J%20Smith&status=done"}) {
        const std::string answer = get(path);
        EXPECT_EQ(answer.rfind("404 ", 0), 0u) << path;
        EXPECT_NE(ToUpper(answer).find("<HTML>"), std::string::npos) << path;
    }
    client.stop();
    server.stop();
    const std::string text = server.log();
    EXPECT_NE(text.find("notice: /tamsel_reports/notice.asp?name=J Smith&status=done"),
              std::string::npos);
    EXPECT_NE(text.find("\"GET /missing.pot HTTP/1.1\" 404"), std::string::npos);
}

}  // namespace
}  // namespace tamsel::server
