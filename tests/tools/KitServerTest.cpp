#include "KitServer.h"
#include "catalogue/CFactory.h"
#include "engine/CHTTP.h"
#include "util/Text.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

namespace tamsel::server {
namespace {

namespace fs = std::filesystem;

constexpr HttpTimeouts kShortTimeouts{std::chrono::milliseconds(2000), std::chrono::seconds(5)};

// The sample kit served in-process on a free port; the log is read once the server has stopped.
class KitServerTest : public testing::Test {
  protected:
    void SetUp() override {
        names = work.write("names.csv",
                           "ein,name,surname,email,country,ouc\n"
                           "1001,Jane,Smith,jane@example.com,UK,SALES\n");
        KitServerOptions options;
        options.port = 0;
        options.kitRoot = TAMSEL_SAMPLE_KIT;
        options.reportsFolder = work / "reports";
        options.namesFile = names;
        server = std::make_unique<KitServer>(options, log);
        ASSERT_TRUE(server->bind());
        serving = std::thread([this] {
            server->run();
            finished = true;
        });
        remote = "http://127.0.0.1:" + std::to_string(server->port());
    }

    void TearDown() override { stopServer(); }

    void stopServer() {
        // A kept-alive client connection would hold a server thread until it times out.
        client.reset();
        if (serving.joinable()) {
            // stop() is ignored until the accept loop runs; wait for it unless serving failed.
            while (!server->running() && !finished) {
                std::this_thread::yield();
            }
            server->stop();
            serving.join();
        }
    }

    // Every file a catalogue lists, fetched from where the updater looks for it.
    void expectEveryFileServed(const CCatalogue& catalogue) {
        for (const auto& file : catalogue.Files().asCollection()) {
            SCOPED_TRACE(file->fullURL());
            ASSERT_TRUE(client->Fetch(remote + file->fullURL(), false));
            ASSERT_TRUE(client->commit(kit / ("." + file->URL())));
            EXPECT_EQ(std::to_string(fs::file_size(kit / ("." + file->URL()))), file->Size());
            EXPECT_EQ(file->Time().size(), 10u);
        }
    }

    std::shared_ptr<CCatalogue> fetchCatalogue(const std::string& url, const std::string& home) {
        if (!client->Fetch(url, false)) {
            return nullptr;
        }
        return factory.createCatalogueFromText("'\r\n" + client->getBody() + "\r\n", home, remote);
    }

    test::TempDir work;
    test::TempDir kit;
    std::string names;
    std::ostringstream log;
    std::unique_ptr<KitServer> server;
    std::thread serving;
    std::atomic<bool> finished{false};
    std::string remote;
    std::optional<CHTTP> client{std::in_place, MakeCurlHttpTransport(kShortTimeouts, work.path())};
    CFactory factory;
};

TEST_F(KitServerTest, ServesTheWholeSampleKitAsTheUpdaterFetchesIt) {
    const auto master = fetchCatalogue(remote + "/Tam-Sel Main Catalogue.ini", "");
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->FullLog(), remote + "/tamsel_reports/upload.asp");
    EXPECT_EQ(master->EinConfirmation(), remote + "/ein?number=%ein%");
    EXPECT_EQ(master->Log().rfind(remote + "/", 0), 0u);
    EXPECT_GE(master->Excluded().Size(), 1);
    expectEveryFileServed(*master);

    ASSERT_EQ(master->Menus().asCollection().size(), 1u);
    const auto& choices = master->Menus().asCollection().front()->asCollection();
    ASSERT_GE(choices.size(), 2u);
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice->Choice());
        const auto package =
            fetchCatalogue(remote + choice->Home() + "/catalogue.ini", choice->Home());
        ASSERT_NE(package, nullptr);
        EXPECT_GE(package->Files().Size(), 1);
        expectEveryFileServed(*package);
    }
}

TEST_F(KitServerTest, StoresAPostedLogAndAnswersSuccess) {
    const std::string report = "Tamsel Updater log\r\nUser: J & K Smith\r\nSize = 50%\r\n";
    EXPECT_EQ(client->POST(remote + "/tamsel_reports/upload.asp", "data=" + report), "SUCCESS");
    EXPECT_EQ(client->POST(remote + "/elsewhere.asp", "data=x"), "");

    std::vector<fs::path> stored;
    for (const auto& entry : fs::directory_iterator(work / "reports")) {
        stored.push_back(entry.path());
    }
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(work.read("reports/" + stored.front().filename().string()), report);
}

TEST_F(KitServerTest, AnswersNameQueries) {
    const std::string known = client->Query(remote + "/ein?number=1001", false);
    EXPECT_EQ(known,
              "TAMSEL-EIN-OK,name=Jane,surname=Smith,email=jane@example.com,country=UK,"
              "ouc=SALES");
    const std::string unknown = client->Query(remote + "/ein?number=12 34", false);
    EXPECT_NE(unknown.find("TAMSEL-EIN-OK"), std::string::npos);
    EXPECT_NE(unknown.find("UNKNOWN-NUMBER"), std::string::npos);
}

TEST_F(KitServerTest, MissingPathsAnswerAnHtmlPageAndNoticesAreLogged) {
    httplib::Client raw("127.0.0.1", server->port());
    for (const char* path :
         {"/missing.pot", "/Sales", "/../tools/tamsel-server/main.cpp", "/%2e%2e/README.md",
          "/tamsel_reports/notice.asp?name=J%20Smith&status=done"}) {
        const auto answer = raw.Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 404) << path;
        EXPECT_NE(ToUpper(answer->body).find("<HTML>"), std::string::npos) << path;
    }
    stopServer();
    const std::string text = log.str();
    EXPECT_NE(text.find("notice: /tamsel_reports/notice.asp?name=J Smith&status=done"),
              std::string::npos);
    EXPECT_NE(text.find("\"GET /missing.pot HTTP/1.1\" 404"), std::string::npos);
}

TEST(KitServerSetupTest, RefusesAMissingKitRootOrNamesFile) {
    std::ostringstream log;
    KitServerOptions options;
    options.kitRoot = "/nonexistent/kit";
    EXPECT_THROW(KitServer(options, log), std::runtime_error);
    options.kitRoot = TAMSEL_SAMPLE_KIT;
    options.namesFile = "/nonexistent/names.csv";
    EXPECT_THROW(KitServer(options, log), std::runtime_error);
}

}  // namespace
}  // namespace tamsel::server
