#include <gtest/gtest.h>

#include <filesystem>

#include "FixedEnvironment.h"
#include "forms/HeadlessToolkit.h"
#include "reporting/LogSender.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::HttpTestServer;
using test::TempDir;

// A run whose master catalogue names this server's upload address (and a second copy by its
// confirmation setting), with a kit at Kit/Files so that the log folder is Kit/.
class LogSender : public ::testing::Test {
  protected:
    void SetUp() override {
        server.server().Get("/master.ini", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content("[SETTINGS]\r\nfull_log=\"" + fullLog + "\"\r\nfull_confirmation=\"" +
                                confirmation +
                                "\"\r\n[COMMON]\r\n"
                                "url=\"/a.txt\" date=\"01/01/2024\" size=\"1\"\r\n",
                            "text/plain");
        });
        server.server().Post(".*", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(answer, "text/plain");
        });
        ASSERT_TRUE(server.start());
        fullLog = server.url("/upload");
        run.globalConfiguration.putValue("remote", server.hostUrl(""));
        run.globalConfiguration.putValue("primary_catalogue", "master.ini");
        run.globalConfiguration.putValue("reports_server", server.url("/"));
        run.localConfiguration.putValue("local", kit / "Kit/Files");
        run.localConfiguration.putValue("username", "J Smith");
        fs::create_directories(kit / "Kit/Files");
        run.g_objMetrics.OnStatusLine = [this](const std::string& line, bool) {
            status.push_back(line);
        };
    }

    // Fetches the master catalogue and sends the log.
    void send() {
        ASSERT_TRUE(run.g_objMetrics.getRemoteCatalogue());
        status.clear();
        sendLog(run, nullptr, false, environment);
    }
    std::vector<std::string> posted() const {
        std::vector<std::string> paths;
        for (const auto& request : server.requests()) {
            if (request.method == "POST") {
                paths.push_back(request.path);
            }
        }
        return paths;
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    HttpTestServer server;
    TempDir kit;
    UpdateRun run{toolkit, kit / "Kit/Updater"};
    test::FixedEnvironment environment;
    std::string fullLog;
    std::string confirmation;
    std::string answer = "SUCCESS";
    std::vector<std::string> status;
};

TEST_F(LogSender, TheLogGoesOutAsOneEscapedFieldAndOnlyAReceivedOneDeletesTheMenuUsageFile) {
    run.localConfiguration.putValue("department", "a & b = c");
    const struct {
        std::string answer;  // empty: the catalogue names no upload address
        std::vector<std::string> told;
        bool kept;
    } cases[] = {
        {"<p>SUCCESS</p>", {"- sending log data", "- log data received"}, false},
        {"success", {"- sending log data", "- log data not received"}, true},
        {"", {"- sending not enabled"}, true},
    };
    for (const auto& c : cases) {
        answer = c.answer;
        fullLog = c.answer.empty() ? "" : server.url("/upload");
        kit.write("Kit/tamsel.log", "Sales.pot\r\n");
        send();
        EXPECT_EQ(status, c.told) << c.answer;
        EXPECT_EQ(fs::exists(kit / "Kit/tamsel.log"), c.kept) << c.answer;
        // The usage file's lines went into the log either way.
        EXPECT_NE(kit.read("Kit/tamsel_updater_log.txt").find("$BEGIN Menu"), std::string::npos);
    }
    ASSERT_EQ(posted().size(), 2u);
    const auto requests = server.requests();
    const auto& upload = requests[1];
    EXPECT_EQ(upload.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(upload.body.rfind("data=$BEGIN+Header%0D%0A'+this+sections", 0), 0u);
    EXPECT_NE(upload.body.find("%0D%0Adepartment=\"a+%26+b+=+c\"%0D%0A"), std::string::npos);
    EXPECT_TRUE(upload.body.ends_with("$END+Menu%0D%0A")) << upload.body;
}

TEST_F(LogSender, TheConfirmationSettingSendsASecondCopy) {
    const std::string copy = server.url("/copy");
    const struct {
        std::string setting;
        std::vector<std::string> posts;
    } cases[] = {
        {"yes", {"/upload", "/tamsel_reports/upload.asp"}},
        {copy, {"/upload", "/copy"}},
        {"No", {"/upload"}},
        {"ftp://elsewhere", {"/upload"}},
    };
    std::size_t before = 0;
    for (const auto& c : cases) {
        confirmation = c.setting;
        send();
        const auto all = posted();
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()),
                  c.posts)
            << c.setting;
        before = all.size();
    }
}

TEST_F(LogSender, ALogThatCannotBeWrittenIsToldAndNotSent) {
    run.localConfiguration.putValue("local", kit / "Gone/Files");
    send();
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].rfind("- log file not written: ", 0), 0u) << status[0];
    EXPECT_TRUE(posted().empty());
}

TEST(LogFolder, IsTheKitFoldersParentUnlessLocalEndsWithASlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/Kit/Files", "/home/u/Kit/"},
        {"/home/u/Kit/", "/home/u/Kit/"},
        {"Files", ""},
    };
    for (const auto& [local, folder] : cases) {
        CConfiguration settings;
        settings.putValue("local", local);
        EXPECT_EQ(LogFolder(settings), folder) << local;
    }
}

}  // namespace
}  // namespace tamsel
