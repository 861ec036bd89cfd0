#include "platform/HttpTransport.h"

#include "support/HttpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

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

class CurlHttpTransportTest : public testing::Test {
  protected:
    std::unique_ptr<HttpTransport> makeTransport() {
        return MakeCurlHttpTransport(kShortTimeouts, spool.path());
    }
    std::size_t spoolFiles() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(spool.path()), fs::directory_iterator()));
    }

    test::TempDir spool;
    test::TempDir kit;
    HttpTestServer http;
};

TEST_F(CurlHttpTransportTest, LargeBodyIsSpooledAndCommittedIntact) {
    std::string payload(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<char>(i * 7 % 251);
    }
    http.server().Get("/big.bin", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(payload, "application/octet-stream");
    });
    ASSERT_TRUE(http.start());
    auto transport = makeTransport();

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
}

TEST_F(CurlHttpTransportTest, ReplacedAndAbandonedResponsesLeaveNoSpoolFiles) {
    http.server().Get("/a", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("A", "text/plain");
    });
    ASSERT_TRUE(http.start());
    {
        auto transport = makeTransport();
        ASSERT_TRUE(transport->startGet(http.url("/a")));
        transport->finish();
        ASSERT_TRUE(transport->startGet(http.url("/a")));
        transport->finish();
        EXPECT_EQ(transport->bodyText(), "A");
        EXPECT_EQ(spoolFiles(), 1u);
    }
    EXPECT_EQ(spoolFiles(), 0u);
}

TEST_F(CurlHttpTransportTest, OneConnectionServesSuccessiveRequests) {
    http.server().Get("/a", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("A", "text/plain");
    });
    http.server().Post("/p", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("P", "text/plain");
    });
    ASSERT_TRUE(http.start());
    auto transport = makeTransport();

    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(transport->startGet(http.url("/a")));
        transport->finish();
    }
    ASSERT_TRUE(transport->startPost(http.url("/p"), "text/plain", "x"));
    transport->finish();
    ASSERT_TRUE(transport->startGet(http.url("/a")));
    PollUntilDone(*transport);

    EXPECT_TRUE(transport->succeeded());
    EXPECT_EQ(http.requests().size(), 4u);
    EXPECT_EQ(http.connectionCount(), 1u);
}

TEST_F(CurlHttpTransportTest, AsynchronousRequestAdvancesOnlyWhenPolled) {
    http.server().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        http.stall();
        res.set_content("late", "text/plain");
    });
    ASSERT_TRUE(http.start());
    auto transport = makeTransport();

    ASSERT_TRUE(transport->startGet(http.url("/slow")));
    EXPECT_EQ(transport->progress(), HttpProgress::Sent);
    EXPECT_NE(transport->poll(), HttpProgress::Done) << "poll must return while the server waits";
    EXPECT_EQ(transport->bodyText(), "");

    http.releaseStalls();
    ASSERT_EQ(PollUntilDone(*transport), HttpProgress::Done);
    EXPECT_TRUE(transport->succeeded());
    EXPECT_EQ(transport->bodyText(), "late");
}

TEST_F(CurlHttpTransportTest, TransferThatStopsMidBodyFailsAfterTheStallTimeout) {
    http.server().Get("/stuck", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(1000, "application/octet-stream",
                                 [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset == 0) {
                                         // Mid-body, with too little data to keep the
                                         // average speed above the limit for long.
                                         sink.write("x", 1);
                                         return true;
                                     }
                                     http.stall();
                                     return false;
                                 });
    });
    ASSERT_TRUE(http.start());
    auto transport = makeTransport();

    ASSERT_TRUE(transport->startGet(http.url("/stuck")));
    ASSERT_EQ(transport->finish(), HttpProgress::Done);
    EXPECT_FALSE(transport->succeeded());
    EXPECT_FALSE(transport->errorText().empty());
    EXPECT_FALSE(transport->commitBody(kit / "stuck.bin"));
    EXPECT_FALSE(fs::exists(kit / "stuck.bin"));
}

TEST_F(CurlHttpTransportTest, DroppedConnectionFails) {
    http.server().Get("/cut", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(1000, "application/octet-stream",
                                 [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     if (offset > 0) {
                                         return false;  // closes the connection
                                     }
                                     const std::string half(500, 'x');
                                     sink.write(half.data(), half.size());
                                     return true;
                                 });
    });
    ASSERT_TRUE(http.start());
    auto transport = makeTransport();

    ASSERT_TRUE(transport->startGet(http.url("/cut")));
    ASSERT_EQ(transport->finish(), HttpProgress::Done);
    EXPECT_FALSE(transport->succeeded());
    EXPECT_FALSE(transport->commitBody(kit / "cut.bin"));
}

TEST_F(CurlHttpTransportTest, RefusedConnectionFailsWithoutStatus) {
    int freePort = 0;
    {
        HttpTestServer closed;
        ASSERT_TRUE(closed.start());
        freePort = closed.port();
    }
    auto transport = makeTransport();
    ASSERT_TRUE(transport->startGet("http://127.0.0.1:" + std::to_string(freePort) + "/"));
    EXPECT_EQ(transport->finish(), HttpProgress::Done);
    EXPECT_FALSE(transport->succeeded());
    EXPECT_EQ(transport->status(), 0);
}

TEST_F(CurlHttpTransportTest, UnusableUrlsAreNotStarted) {
    auto transport = makeTransport();
    for (const char* url : {"http://", "ftp://127.0.0.1/a", "file:///etc/passwd", "no scheme"}) {
        EXPECT_FALSE(transport->startGet(url)) << url;
        EXPECT_FALSE(transport->succeeded()) << url;
    }
}

TEST_F(CurlHttpTransportTest, NoRoomForTheBodyMeansNoRequest) {
    auto transport = MakeCurlHttpTransport(kShortTimeouts, spool / "missing");
    EXPECT_FALSE(transport->startGet("http://127.0.0.1:1/"));
    EXPECT_FALSE(transport->errorText().empty());
}

}  // namespace
}  // namespace tamsel
