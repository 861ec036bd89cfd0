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

TEST_F(LogSender, TheLogGoesOnTheWireAsOneFormFieldWithFourEscapes) {
    run.localConfiguration.putValue("department", "a & b = c");
    send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.back().method, "POST");
    const std::string& body = requests.back().body;
    EXPECT_EQ(requests.back().contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(body.rfind("data=$BEGIN+Header%0D%0A'+this+sections", 0), 0u) << body;
    EXPECT_NE(body.find("%0D%0Adepartment=\"a+%26+b+=+c\"%0D%0A"), std::string::npos) << body;
    EXPECT_TRUE(body.ends_with("$END+Environment%0D%0A")) << body;
}

TEST_F(LogSender, OnlyAnAnswerHoldingSuccessDeletesTheMenuUsageFile) {
    const struct {
        std::string answer;
        const char* told;
        bool kept;
    } cases[] = {
        {"<p>SUCCESS</p>", "- log data received", false},
        {"success", "- log data not received", true},
        {"FAILED", "- log data not received", true},
    };
    for (const auto& c : cases) {
        answer = c.answer;
        kit.write("Kit/tamsel.log", "Sales.pot\r\n");
        send();
        EXPECT_EQ(status, (std::vector<std::string>{"- sending log data", c.told})) << c.answer;
        EXPECT_EQ(fs::exists(kit / "Kit/tamsel.log"), c.kept) << c.answer;
        // The usage file's lines went into the log either way.
        EXPECT_NE(kit.read("Kit/tamsel_updater_log.txt").find("$BEGIN Menu"), std::string::npos);
    }
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

TEST_F(LogSender, WithoutAnUploadAddressTheLogIsOnlyWritten) {
    fullLog.clear();
    kit.write("Kit/tamsel.log", "Sales.pot\r\n");
    send();
    EXPECT_EQ(status, std::vector<std::string>{"- sending not enabled"});
    EXPECT_TRUE(fs::exists(kit / "Kit/tamsel_updater_log.txt"));
    EXPECT_TRUE(fs::exists(kit / "Kit/tamsel.log"));
    EXPECT_TRUE(posted().empty());
}

TEST_F(LogSender, ALogThatCannotBeWrittenIsToldAndNotSent) {
    run.localConfiguration.putValue("local", kit / "Gone/Files");
    send();
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].rfind("- log file not written: ", 0), 0u) << status[0];
    EXPECT_TRUE(posted().empty());
}

TEST_F(LogSender, WithoutARemoteCatalogueNothingIsWritten) {
    sendLog(run, nullptr, true, environment);
    EXPECT_FALSE(fs::exists(kit / "Kit/tamsel_updater_log.txt"));
    EXPECT_TRUE(status.empty());
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
