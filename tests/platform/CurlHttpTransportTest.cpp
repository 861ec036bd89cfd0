#include "platform/HttpTransport.h"

#include "support/HttpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::HttpTestServer;

constexpr HttpTimeouts kShortTimeouts{std::chrono::milliseconds(2000), std::chrono::seconds(1)};

// Drives the transfer through waitForActivity only, as an event loop would.
HttpProgress PollUntilDone(HttpTransport& transport) {
    for (int i = 0; i < 600 && transport.poll() != HttpProgress::Done; ++i) {
        transport.waitForActivity(std::chrono::milliseconds(100));
    }
    return transport.progress();
}

// A server with a large binary body, a small text, a POST target, an answer that waits, and two
// bodies that break off part way; a transport spooling into its own folder.
class CurlHttpTransportTest : public testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t i = 0; i < payload.size(); ++i) {
            payload[i] = static_cast<char>(i * 7 % 251);
        }
        auto& server = http.server();
        server.Get("/big.bin", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(payload, "application/octet-stream");
        });
        server.Get("/a", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("A", "text/plain");
        });
        server.Post("/p", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("P", "text/plain");
        });
        server.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            http.stall();
            res.set_content("late", "text/plain");
        });
        // Mid-body, with too little data to keep the average speed above the limit for long.
        server.Get("/stuck", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                1000, "application/octet-stream",
                [this](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset == 0) {
                        return sink.write("x", 1);
                    }
                    http.stall();
                    return false;
                });
        });
        // Half the body, then the connection is closed.
        server.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "application/octet-stream",
                                     [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                         return offset == 0 &&
                                                sink.write(std::string(500, 'x').data(), 500);
                                     });
        });
        // A byte every 50 ms: never stalled, done only after ten seconds.
        server.Get("/trickle", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(200, "text/plain", [](auto, auto, httplib::DataSink& sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return sink.write("S", 1);
            });
        });
        ASSERT_TRUE(http.start());
    }
    std::size_t spoolFiles() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(spool.path()), fs::directory_iterator()));
    }

    test::TempDir spool;
    test::TempDir kit;
    HttpTestServer http;
    std::string payload = std::string(3 * 1024 * 1024 + 17, '\0');
    std::unique_ptr<HttpTransport> transport = MakeHttpTransport(kShortTimeouts, spool.path());
};

TEST_F(CurlHttpTransportTest, BodiesAreSpooledCommittedIntactAndPolledAsynchronously) {
    ASSERT_TRUE(transport->startGet(http.url("/big.bin")));
    ASSERT_EQ(transport->finish(), HttpProgress::Done);
    EXPECT_TRUE(transport->succeeded());
    EXPECT_EQ(transport->status(), 200);
    EXPECT_EQ(transport->bodySize(), payload.size());
    EXPECT_EQ(spoolFiles(), 1u);

    ASSERT_TRUE(transport->commitBody(kit / "big.bin"));
    EXPECT_EQ(kit.read("big.bin"), payload);
    EXPECT_EQ(spoolFiles(), 0u) << "the spooled body was moved, not copied";
    EXPECT_FALSE(transport->commitBody(kit / "again.bin")) << "the body was handed over";

    // An asynchronous request advances only when polled.
    ASSERT_TRUE(transport->startGet(http.url("/slow")));
    EXPECT_EQ(transport->progress(), HttpProgress::Sent);
    EXPECT_NE(transport->poll(), HttpProgress::Done) << "poll must return while the server waits";
    EXPECT_EQ(transport->bodyText(), "");

    http.releaseStalls();
    ASSERT_EQ(PollUntilDone(*transport), HttpProgress::Done);
    EXPECT_TRUE(transport->succeeded());
    EXPECT_EQ(transport->bodyText(), "late");

    // That requests share one connection is checked through the client that owns the transport;
    // successive requests leave no spool files behind.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(transport->startGet(http.url("/a")));
        transport->finish();
    }
    EXPECT_EQ(transport->bodyText(), "A");
    EXPECT_EQ(spoolFiles(), 1u) << "the replaced response left its spool file";
    ASSERT_TRUE(transport->startPost(http.url("/p"), "text/plain", "x"));
    transport->finish();
    ASSERT_TRUE(transport->startGet(http.url("/a")));
    PollUntilDone(*transport);
    EXPECT_TRUE(transport->succeeded());
    transport.reset();
    EXPECT_EQ(spoolFiles(), 0u) << "the abandoned response left its spool file";
}

// A transfer stalled mid-body fails after the stall timeout; a dropped connection fails at once;
// a bounded one fails past its bound of answer (keeping no more of it) or of time.
TEST_F(CurlHttpTransportTest, BrokenTransfersFailAndCannotBeCommitted) {
    const std::pair<const char*, HttpLimits> cases[] = {
        {"/stuck", {}},
        {"/cut", {}},
        {"/big.bin", {64 * 1024, {}}},
        {"/trickle", {0, std::chrono::milliseconds(300)}},
    };
    for (const auto& [path, limits] : cases) {
        SCOPED_TRACE(path);
        transport->limit(limits);
        ASSERT_TRUE(transport->startGet(http.url(path)));
        transport->limit({});
        ASSERT_EQ(transport->finish(), HttpProgress::Done);
        EXPECT_FALSE(transport->succeeded());
        EXPECT_LE(transport->bytesReceived(), 64u * 1024);
        EXPECT_FALSE(transport->errorText().empty());
        EXPECT_FALSE(transport->commitBody(kit / "broken.bin"));
        EXPECT_FALSE(fs::exists(kit / "broken.bin"));
    }
}

// A refused connection fails without a status; unusable addresses and no room for the body mean
// no request at all.
TEST_F(CurlHttpTransportTest, RefusedConnectionUnusableUrlsAndNoRoomForTheBodyFail) {
    int freePort = 0;
    {
        HttpTestServer closed;
        ASSERT_TRUE(closed.start());
        freePort = closed.port();
    }
    ASSERT_TRUE(transport->startGet("http://127.0.0.1:" + std::to_string(freePort) + "/"));
    EXPECT_EQ(transport->finish(), HttpProgress::Done);
    EXPECT_FALSE(transport->succeeded());
    EXPECT_EQ(transport->status(), 0);
    for (const char* url : {"http://", "file:///etc/passwd", "no scheme"}) {
        EXPECT_FALSE(transport->startGet(url)) << url;
        EXPECT_FALSE(transport->succeeded()) << url;
    }
    auto roomless = MakeHttpTransport(kShortTimeouts, spool / "missing");
    EXPECT_FALSE(roomless->startGet(http.url("/a")));
    EXPECT_FALSE(roomless->errorText().empty());
}

}  // namespace
}  // namespace tamsel
