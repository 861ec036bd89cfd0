#include "engine/CHTTP.h"

#include "support/HttpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::HttpTestServer;

constexpr std::string_view kCatalogueText = "url=\"/a.pot\" date=\"01/02/2003\" size=\"3\"\r\n";
constexpr HttpTimeouts kShortTimeouts{std::chrono::milliseconds(2000), std::chrono::seconds(1)};

void Serve(httplib::Server& server, const std::string& path, int status, std::string body,
           const std::string& type = "text/plain") {
    server.Get(path, [=](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_content(body, type);
    });
}

// A kit server with the usual answers; a fresh client with short timeouts per test.
class CHTTPTest : public testing::Test {
  protected:
    void SetUp() override {
        auto& server = http.server();
        Serve(server, "/Tam-Sel Main Catalogue.ini", 200, std::string(kCatalogueText));
        Serve(server, "/a.pot", 200, "new");
        Serve(server, "/empty.pot", 200, "");
        Serve(server, "/html404.pot", 404, "<HTML><BODY>404 Not Found</BODY></HTML>", "text/html");
        Serve(server, "/plain404.ini", 404, "Not Found");
        Serve(server, "/error500", 500, "SUCCESS");
        // A redirection without an address to go on to: the final answer is a 3xx.
        Serve(server, "/moved-nowhere.pot", 302, "moved");
        server.Get("/moved.ini", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/Tam-Sel Main Catalogue.ini");
        });
        server.Get("/moved-away.pot", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/html404.pot");
        });
        server.Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
            http.stall();
            res.set_content("too late", "text/plain");
        });
        server.Get("/ein", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("OK,name=" + req.get_param_value("number"), "text/plain");
        });
        server.Post("/upload.asp", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("SUCCESS", "text/plain");
        });
        ASSERT_TRUE(http.start());
    }
    // Polls an asynchronous request as the timers do.
    void pollToCompletion() {
        for (int polls = 0; !client.Complete() && polls < 600; ++polls) {
            client.WaitForActivity(std::chrono::milliseconds(100));
        }
        ASSERT_TRUE(client.Complete());
    }

    HttpTestServer http;
    test::TempDir spool;
    test::TempDir kit;
    CHTTP client{MakeHttpTransport(kShortTimeouts, spool.path())};
};

TEST(CHTTPRulesTest, UrlRuleAddsTheSchemeUnlessExactlyPresent) {
    EXPECT_EQ(ApplyUrlRule("server/kit"), "http://server/kit");
    EXPECT_EQ(ApplyUrlRule("http://server/kit"), "http://server/kit");
    EXPECT_EQ(ApplyUrlRule("HTTP://server/kit"), "http://HTTP://server/kit");
    EXPECT_EQ(ApplyUrlRule("https://server/kit"), "https://server/kit");
}

// Nothing is fetched or committed without a usable address and path.
TEST_F(CHTTPTest, SynchronousFetchOfACatalogueWithBlanksInItsNameOrRedirected) {
    EXPECT_FALSE(client.commit(kit / "a.pot")) << "no request made yet";
    EXPECT_FALSE(client.Fetch("", false));
    EXPECT_FALSE(client.Fetch("", true));
    ASSERT_TRUE(client.Fetch(http.hostUrl("/Tam-Sel Main Catalogue.ini"), false));
    EXPECT_EQ(client.getBody(), kCatalogueText);
    EXPECT_EQ(http.requests().back().target, "/Tam-Sel%20Main%20Catalogue.ini");

    ASSERT_TRUE(client.Fetch(http.url("/moved.ini"), false));
    EXPECT_EQ(client.getBody(), kCatalogueText);
    EXPECT_FALSE(client.commit(""));
}

// Every failed or empty download must leave the user's existing file exactly as it was.
class CHTTPFailedDownloadTest : public CHTTPTest,
                                public testing::WithParamInterface<const char*> {};

TEST_P(CHTTPFailedDownloadTest, NothingIsWritten) {
    kit.write("kit/a.pot", "keep me");
    // Only an empty answer counts as received.
    EXPECT_EQ(client.Fetch(http.url(GetParam()), false), GetParam() == std::string("/empty.pot"));
    EXPECT_TRUE(client.Complete());
    EXPECT_EQ(client.getBody(), "");
    EXPECT_FALSE(client.commit(kit / "kit/a.pot"));
    EXPECT_FALSE(client.commit(kit / "kit/b.pot"));
    EXPECT_EQ(kit.read("kit/a.pot"), "keep me");
    EXPECT_FALSE(fs::exists(kit / "kit/b.pot"));
}

INSTANTIATE_TEST_SUITE_P(Answers, CHTTPFailedDownloadTest,
                         testing::Values("/html404.pot", "/plain404.ini", "/moved-away.pot",
                                         "/moved-nowhere.pot", "/error500", "/hang",
                                         "/missing%20file.pot", "/empty.pot"));

TEST_F(CHTTPTest, PostAndQuerySendEscapedTextAndAnswerNothingOnFailure) {
    EXPECT_EQ(client.POST(http.hostUrl("/upload.asp"), "data=a & b = c\r\n100% \"done\"\r\n"),
              "SUCCESS");
    const auto seen = http.requests().back();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen.body, "data=a+%26+b+=+c%0D%0A100%+\"done\"%0D%0A");
    EXPECT_EQ(client.POST(http.url("/nowhere.asp"), "data=x"), "");
    EXPECT_EQ(client.POST("", "data=x"), "");

    // A query returns the answer, or True, and nothing when it fails.
    EXPECT_EQ(client.Query(http.url("/ein?number=123"), false), "OK,name=123");
    EXPECT_EQ(client.Query(http.url("/ein?number=45 6"), true), "True");
    EXPECT_TRUE(client.Complete());
    EXPECT_EQ(client.getBody(), "OK,name=45 6");
    EXPECT_EQ(http.requests().back().target, "/ein?number=45%206");
    EXPECT_EQ(client.Query(http.url("/plain404.ini"), false), "");
    EXPECT_EQ(client.Query(http.url("/plain404.ini"), true), "");
    EXPECT_EQ(client.Query("127.0.0.1:1/ein", true), "");
}

TEST_F(CHTTPTest, AllRequestsOfOneClientShareOneConnection) {
    ASSERT_TRUE(client.Fetch(http.url("/a.pot"), false));
    ASSERT_TRUE(client.Fetch(http.url("/Tam-Sel Main Catalogue.ini"), true));
    pollToCompletion();
    EXPECT_EQ(client.POST(http.url("/upload.asp"), "data=x"), "SUCCESS");
    EXPECT_NE(client.Query(http.url("/ein?number=1"), false), "");
    EXPECT_EQ(http.requests().size(), 4u);
    EXPECT_EQ(http.connectionCount(), 1u);
}

}  // namespace
}  // namespace tamsel
