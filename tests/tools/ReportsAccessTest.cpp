#include "KitServer.h"
#include "ReportUsers.h"

#include "support/KitSite.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tamsel::server {
namespace {

const std::string kLog = "data=$BEGIN+Header%0D%0Aname=\"Ann\"";

// A connection from a source address of 127.0.0.0/8 of the test's choice.
int Connect(int port, const char* from) {
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &address.sin_addr);
    ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return sock;
}

// The answer's status line and body, for one request sent from `from`.
std::string Ask(int port, const char* from, const std::string& head, const std::string& body = "") {
    const int sock = Connect(port, from);
    const std::string request =
        head + "\r\nHost: " + (head.find("Host:") == std::string::npos ? "kit\r\n" : "") +
        "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    ::send(sock, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    char buffer[4096];
    pollfd entry{sock, POLLIN, 0};
    for (ssize_t got = 1; got > 0 && ::poll(&entry, 1, 5000) > 0;) {
        got = ::recv(sock, buffer, sizeof buffer, 0);
        answer.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    ::close(sock);
    const auto bodyAt = answer.find("\r\n\r\n");
    return answer.substr(9, 3) + " " +
           (bodyAt == std::string::npos ? "" : answer.substr(bodyAt + 4));
}

TEST(ReportsAccessTest, LoginsGuardThePagesOverHttpsWhileUploadsStayOpen) {
    test::TempDir work;
    const std::string users = work / "users";
    std::string why;
    for (const auto& [name, password] : {std::pair{"ann", "old"}, {"ann", "pw"}, {"bob", "x:y"}}) {
        ASSERT_TRUE(AddReportUser(users, name, password, why)) << why;
    }
    EXPECT_FALSE(AddReportUser(users, "a:b", "pw", why));
    ASSERT_EQ(std::system(("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                           "-nodes -subj /CN=127.0.0.1 -days 1 -keyout " +
                           work / "key.pem" + " -out " + work / "cert.pem" + " 2>/dev/null")
                              .c_str()),
              0);
    auto options = test::KitServing(work.path(), work / "reports");
    options.usersFile = users;
    options.tlsCertificate = work / "cert.pem";
    options.tlsKey = work / "key.pem";
    options.refusalDelay = std::chrono::milliseconds(1);
    test::RunningKitServer server(options);
    ASSERT_TRUE(server.bound());
    httplib::SSLClient client("127.0.0.1", server.port());
    client.enable_server_certificate_verification(false);

    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"", "", "/tamsel_reports/", 401},
        {"ann", "old", "/tamsel_reports/", 401},
        {"anne", "pw", "/tamsel_reports/", 401},
        {"ann", "pw", "/tamsel_reports/", 200},
        {"bob", "x:y", "/tamsel_reports/desktops", 200},
        {"", "", "/tamsel_reports/desktops", 401},
        {"", "", "/tamsel_reports/reports.csv", 401}};
    for (const auto& [name, password, path, status] : cases) {
        SCOPED_TRACE(std::string(name) + " " + path);
        httplib::Headers headers;
        if (*name != '\0') {
            headers.insert(httplib::make_basic_authentication_header(name, password));
        }
        const auto answer = client.Get(path, headers);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, status);
        EXPECT_EQ(answer->get_header_value("WWW-Authenticate").find("Basic realm="),
                  status == 401 ? 0u : std::string::npos);
    }
    const auto upload = client.Post("/tamsel_reports/upload.asp", kLog, "text/plain");
    EXPECT_EQ(upload ? upload->body : "none", "SUCCESS");
    EXPECT_FALSE(httplib::Client("127.0.0.1", server.port()).Get("/tamsel_reports/"));
}

TEST(ReportsAccessTest, PagesOnTheNetworkNeedUsersAndNoAddressCanFloodTheServer) {
    test::TempDir work;
    work.write("kit/c.ini", "remote=%server%");
    auto options = test::KitServing(work / "kit", work / "reports");
    options.bindAddress = "0.0.0.0";
    options.connections.perAddress = 2;
    options.uploadsPerMinute = 2;
    options.uploads.maxLogs = 2;
    test::RunningKitServer server(options);
    ASSERT_TRUE(server.bound());
    const int port = server.port();
    const std::string reports = Ask(port, "127.0.0.9", "GET /tamsel_reports/ HTTP/1.1");
    EXPECT_EQ(reports.rfind("403 ", 0), 0u);
    EXPECT_NE(reports.find("add-user"), std::string::npos);

    const int held[] = {Connect(port, "127.0.0.2"), Connect(port, "127.0.0.2")};
    EXPECT_EQ(Ask(port, "127.0.0.2", "GET /c.ini HTTP/1.1").substr(0, 3), "503");
    const std::string local = "127.0.0.1:" + std::to_string(port);
    const std::pair<std::string, std::string> hosts[] = {
        {"kit.example:81", "200 remote=http://kit.example:81"},
        {"a\"b", "200 remote=http://0.0.0.0:" + std::to_string(port)},
        {"[::1]:80", "200 remote=http://[::1]:80"},
        {"k\rx", "200 remote=http://0.0.0.0:" + std::to_string(port)}};
    for (const auto& [host, answer] : hosts) {
        EXPECT_EQ(Ask(port, "127.0.0.3", "GET /c.ini HTTP/1.1\r\nHost: " + host), answer) << host;
    }
    for (const int sock : held) {
        ::close(sock);
    }

    const std::tuple<const char*, std::string, std::string> uploads[] = {
        {"127.0.0.4", "data=", "400 FAILED"},
        {"127.0.0.4", kLog, "200 SUCCESS"},
        {"127.0.0.4", kLog, "429 FAILED"},
        {"127.0.0.5", kLog, "200 SUCCESS"},
        {"127.0.0.5", kLog, "507 FAILED"}};
    for (const auto& [from, body, answer] : uploads) {
        EXPECT_EQ(Ask(port, from, "POST /tamsel_reports/upload.asp HTTP/1.1", body), answer);
    }
    Ask(port, "127.0.0.6", "GET /notice.asp?name=a%0Areport%20stored:%20x HTTP/1.1");
    server.stop();
    EXPECT_EQ(server.log().find("\nreport stored: x"), std::string::npos);
    EXPECT_NE(server.log().find("name=a\\x0Areport stored: x"), std::string::npos);
}

}  // namespace
}  // namespace tamsel::server
