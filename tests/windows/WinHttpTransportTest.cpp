// The WinHTTP transport against a loopback server of canned answers.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/HttpTransport.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

// Answers the requests of one connection after another with the given texts, in order; an
// answer (each closing its connection) is sent once the request's head (and a body as long as its
// Content-Length) has come. What each request sent is kept. The connections stay open until the
// server goes.
class CannedServer {
  public:
    explicit CannedServer(std::vector<std::string> answers) : answers_(std::move(answers)) {
        WSADATA data{};
        ::WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ::ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~CannedServer() {
        ::closesocket(listener_);
        for (SOCKET client : clients_) {
            ::closesocket(client);
        }
        thread_.join();
        ::WSACleanup();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> requests;

  private:
    void serve() {
        for (const std::string& answer : answers_) {
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                return;
            }
            clients_.push_back(client);
            std::string request;
            char buffer[4096];
            for (int n = 0; !Complete(request) && (n = ::recv(client, buffer, 4096, 0)) > 0;) {
                request.append(buffer, static_cast<std::size_t>(n));
            }
            requests.push_back(request);
            ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
        }
    }
    static bool Complete(const std::string& request) {
        const auto head = request.find("\r\n\r\n");
        const auto length = request.find("Content-Length: ");
        return head != std::string::npos &&
               (length == std::string::npos ||
                request.size() - head - 4 >= std::stoul(request.substr(length + 16)));
    }

    std::vector<std::string> answers_;
    SOCKET listener_;
    int port_ = 0;
    std::thread thread_;
    std::vector<SOCKET> clients_;
};

constexpr HttpTimeouts kShortTimeouts{std::chrono::milliseconds(2000), std::chrono::seconds(1)};

TEST(WinHttpTransport, StatusesBodiesStallsAndPostsAsEveryTransportGivesThem) {
    CannedServer server({"HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 5\r\n\r\nhello",
                         "HTTP/1.1 404 Not Found\r\nConnection: close\r\nContent-Length: 0\r\n\r\n",
                         "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 10\r\n\r\nab",
                         "HTTP/1.1 201 Created\r\nConnection: close\r\nContent-Length: 0\r\n\r\n"});
    test::TempDir spool;
    auto transport = MakeHttpTransport(kShortTimeouts, spool.path());

    ASSERT_TRUE(transport->startGet(server.url("/a b.pot")));
    EXPECT_EQ(transport->finish(), HttpProgress::Done);
    EXPECT_TRUE(transport->succeeded());
    EXPECT_EQ(transport->bodyText(), "hello");
    EXPECT_TRUE(transport->commitBody(spool / "a.pot"));
    EXPECT_EQ(spool.read("a.pot"), "hello");
    EXPECT_TRUE(server.requests[0].starts_with("GET /a%20b.pot HTTP/1.1\r\n"));

    transport->startGet(server.url("/missing"));
    transport->finish();
    EXPECT_FALSE(transport->succeeded());
    EXPECT_EQ(transport->status(), 404);
    EXPECT_EQ(transport->errorText(), "HTTP 404 Not Found");

    // Half a body and then nothing: the stall limit ends it, and nothing is committed.
    transport->startGet(server.url("/stalls"));
    transport->finish();
    EXPECT_FALSE(transport->succeeded());
    EXPECT_FALSE(transport->errorText().empty());
    EXPECT_FALSE(transport->commitBody(spool / "stalled.pot"));

    transport->startPost(server.url("/upload.asp"), "text/plain", "log=1");
    transport->finish();
    EXPECT_EQ(transport->status(), 201);
    EXPECT_NE(server.requests[3].find("Content-Type: text/plain\r\n"), std::string::npos);
    EXPECT_TRUE(server.requests[3].ends_with("\r\n\r\nlog=1"));

    EXPECT_FALSE(transport->startGet("ftp://127.0.0.1/file"));
    EXPECT_EQ(transport->progress(), HttpProgress::Done);
}

TEST(WinHttpTransport, HashesTheBodyAndKeepsTheBoundsOfSizeAndTime) {
    const std::string hello =
        "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 5\r\n\r\nhello";
    CannedServer server({hello, hello, "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nhalf"});
    test::TempDir spool;
    auto transport = MakeHttpTransport({std::chrono::milliseconds(2000), std::chrono::seconds(30)},
                                       spool.path());

    ASSERT_TRUE(transport->startGet(server.url("/a")));
    transport->hashBody();
    transport->finish();
    EXPECT_EQ(transport->bytesReceived(), 5U);
    EXPECT_EQ(transport->bodySha256(),
              "2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824");

    // An answer past the size bound fails; one that stops coming fails at the time bound, long
    // before the stall limit.
    transport->limit({3, std::chrono::milliseconds(300)});
    transport->startGet(server.url("/b"));
    transport->finish();
    EXPECT_FALSE(transport->succeeded());
    EXPECT_EQ(transport->errorText(), "an answer of more than 3 bytes");
    EXPECT_EQ(transport->bodySha256(), "");

    transport->limit({0, std::chrono::milliseconds(300)});
    const auto started = std::chrono::steady_clock::now();
    transport->startGet(server.url("/c"));
    transport->finish();
    EXPECT_FALSE(transport->succeeded());
    EXPECT_EQ(transport->errorText(), "the request took longer than 300 ms");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

}  // namespace
}  // namespace tamsel
