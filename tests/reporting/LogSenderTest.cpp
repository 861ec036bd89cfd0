#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "FixedEnvironment.h"
#include "forms/HeadlessToolkit.h"
#include "reporting/LogSender.h"
#include "support/ScriptedTransport.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr const char* kRemote = "http://kits.example";

// A run whose master catalogue names the upload address (and a second copy by its
// confirmation setting), with a kit at Kit/Files so that the log folder is Kit/.
class LogSender : public ::testing::Test {
  protected:
    void SetUp() override {
        run.globalConfiguration.putValue("remote", kRemote);
        run.globalConfiguration.putValue("primary_catalogue", "master.ini");
        run.globalConfiguration.putValue("reports_server", std::string(kRemote) + "/");
        run.localConfiguration.putValue("local", kit / "Kit/Files");
        run.localConfiguration.putValue("username", "J Smith");
        fs::create_directories(kit / "Kit/Files");
        run.g_objMetrics.OnStatusLine = [this](const std::string& line, bool) {
            status.push_back(line);
        };
    }
    test::ScriptedAnswer answer(const std::string& url) const {
        if (url != std::string(kRemote) + "/master.ini") {
            return {200, postAnswer};
        }
        return {200, "[SETTINGS]\r\nfull_log=\"" + fullLog + "\"\r\nfull_confirmation=\"" +
                         confirmation +
                         "\"\r\n[COMMON]\r\nurl=\"/a.txt\" date=\"01/01/2024\" size=\"1\"\r\n"};
    }

    // Fetches the master catalogue and sends the log.
    void send() {
        ASSERT_TRUE(run.g_objMetrics.getRemoteCatalogue());
        status.clear();
        sendLog(run, nullptr, false, environment);
    }
    // The path and body of every POST, or the paths only.
    std::vector<std::string> posted(bool withBody = false) const {
        std::vector<std::string> posts;
        for (const auto& request : requests) {
            if (request.starts_with("POST ")) {
                const auto path = request.substr(5 + std::string(kRemote).size());
                posts.push_back(withBody ? path : path.substr(0, path.find(' ')));
            }
        }
        return posts;
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    TempDir kit;
    std::vector<std::string> requests;
    UpdateRun run{toolkit, kit / "Kit/Updater", [this] {
                      return std::make_unique<test::ScriptedTransport>(
                          [this](const std::string& url) { return answer(url); }, &requests);
                  }};
    test::FixedEnvironment environment;
    std::string fullLog = std::string(kRemote) + "/upload";
    std::string confirmation;
    std::string postAnswer = "SUCCESS";
    std::vector<std::string> status;
};

TEST_F(LogSender, TheLogGoesOutAsOneEscapedFieldAndOnlyAReceivedOneDeletesTheMenuUsageFile) {
    run.localConfiguration.putValue("department", "a & b = c");
    // The upload's answer (empty: the catalogue names no upload address), the status lines told,
    // and whether the menu usage file is kept.
    const std::tuple<std::string, std::vector<std::string>, bool> cases[] = {
        {"<p>SUCCESS</p>", {"- sending log data", "- log data received"}, false},
        {"success", {"- sending log data", "- log data not received"}, true},
        // Past the 64 KiB read of the answer.
        {"SUCCESS" + std::string(64 * 1024, ' '),
         {"- sending log data", "- log data not received"},
         true},
        {"", {"- sending not enabled"}, true},
    };
    for (const auto& [answer, told, kept] : cases) {
        postAnswer = answer;
        fullLog = answer.empty() ? "" : std::string(kRemote) + "/upload";
        kit.write("Kit/tamsel.log", "Sales.pot\r\n");
        send();
        EXPECT_EQ(status, told) << answer.size();
        EXPECT_EQ(fs::exists(kit / "Kit/tamsel.log"), kept) << answer.size();
        // The usage file's lines went into the log either way.
        EXPECT_NE(kit.read("Kit/tamsel_updater_log.txt").find("$BEGIN Menu"), std::string::npos);
    }
    ASSERT_EQ(posted().size(), 3u);
    const std::string upload = posted(true)[1];
    EXPECT_EQ(upload.rfind("/upload data=$BEGIN+Header%0D%0A'+this+sections", 0), 0u);
    EXPECT_NE(upload.find("%0D%0Adepartment=\"a+%26+b+=+c\"%0D%0A"), std::string::npos);
    EXPECT_TRUE(upload.ends_with("$END+Menu%0D%0A")) << upload;
}

TEST_F(LogSender, TheConfirmationSettingSendsASecondCopyAndAnUnwrittenLogIsNotSent) {
    const std::string copy = std::string(kRemote) + "/copy";
    for (const char* setting : {"yes", copy.c_str(), "No", "ftp://elsewhere"}) {
        confirmation = setting;
        send();
    }
    // With no reports server set, and none built in, "yes" sends no second copy anywhere.
    run.globalConfiguration.putValue("reports_server", "");
    confirmation = "YES";
    send();
    EXPECT_EQ(posted(),
              (std::vector<std::string>{"/upload", "/tamsel_reports/upload.asp", "/upload", "/copy",
                                        "/upload", "/upload", "/upload"}));

    // A log that cannot be written is told and not sent.
    run.localConfiguration.putValue("local", kit / "Gone/Files");
    send();
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].rfind("- log file not written: ", 0), 0u) << status[0];
    EXPECT_EQ(posted().size(), 7u);
}

}  // namespace
}  // namespace tamsel
