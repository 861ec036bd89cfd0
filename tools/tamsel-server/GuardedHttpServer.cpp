#include "GuardedHttpServer.h"

#include "ConnectionStream.h"
#include "WorkerPool.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace tamsel::server {

namespace {

constexpr int kListenQueue = 128;

const char* const kBusyAnswer =
    "HTTP/1.1 503 Service Unavailable\r\n"
    "Content-Type: text/plain\r\n"
    "Content-Length: 5\r\n"
    "Retry-After: 1\r\n"
    "Connection: close\r\n"
    "\r\n"
    "BUSY\n";

bool CarriesBody(const httplib::Request& req) {
    const std::string length = req.get_header_value("Content-Length");
    return (!length.empty() && length != "0") || req.has_header("Transfer-Encoding");
}

// The busy answer, without waiting on the peer: what it already sent is discarded so that closing
// does not reset the connection before the answer is read.
void AnswerBusy(int sock) {
    const std::string_view answer = kBusyAnswer;
    [[maybe_unused]] const auto sent =
        ::send(sock, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(sock, SHUT_WR);
    char discard[4096];
    while (::recv(sock, discard, sizeof discard, MSG_DONTWAIT) > 0) {
    }
}

// Reads and discards what the peer still sends, for a little while, after the answer to a request
// whose body may have been left unread: closing at once would reset the connection and could
// destroy the answer before the peer has read it.
void DrainBeforeClosing(int sock) {
    constexpr std::chrono::milliseconds kLinger{2000};
    ::shutdown(sock, SHUT_WR);
    const auto end = std::chrono::steady_clock::now() + kLinger;
    char discard[16384];
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
        pollfd entry{sock, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        if (::poll(&entry, 1, static_cast<int>(left.count()) + 1) <= 0 ||
            ::recv(sock, discard, sizeof discard, 0) <= 0) {
            return;
        }
    }
}

std::string PeerAddress(int sock) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    char host[NI_MAXHOST] = "";
    if (::getpeername(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        ::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host,
                      nullptr, 0, NI_NUMERICHOST);
    }
    return host;
}

void SetSocketTimeouts(int sock, std::chrono::milliseconds wait) {
    timeval time{};
    time.tv_sec = static_cast<time_t>(wait.count() / 1000);
    time.tv_usec = static_cast<suseconds_t>(wait.count() % 1000 * 1000);
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &time, sizeof time);
    ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &time, sizeof time);
}

}  // namespace

GuardedHttpServer::GuardedHttpServer(ConnectionLimits limits, SSL_CTX* tls)
    : limits_(limits), tls_(tls), perAddress_(limits.perAddress) {
    if (tls_) {
        // TLS writes to the socket without MSG_NOSIGNAL: a peer gone must not end the process.
        std::signal(SIGPIPE, SIG_IGN);
    }
    new_task_queue = [this] { return new WorkerPool(limits_.workers); };
    // Only for the "Keep-Alive" answer header: the connection loop below enforces both.
    set_keep_alive_timeout(std::chrono::ceil<std::chrono::seconds>(limits_.idleTimeout).count());
    set_keep_alive_max_count(limits_.requestsPerConnection);
}

int GuardedHttpServer::bindListening(const std::string& address, int port) {
    const int bound =
        port == 0 ? bind_to_any_port(address) : (bind_to_port(address, port) ? port : -1);
    if (bound > 0) {
        ::listen(svr_sock_, kListenQueue);
    }
    return bound > 0 ? bound : -1;
}

GuardedHttpServer::~GuardedHttpServer() {
    SSL_CTX_free(tls_);
}

bool GuardedHttpServer::process_and_close_socket(socket_t sock) {
    const std::string peer = PeerAddress(sock);
    if (WorkerPool::Refusing() || !perAddress_.enter(peer)) {
        // Over TLS the plain answer cannot be read, but the connection still ends at once.
        AnswerBusy(sock);
    } else {
        if (tls_ ? serveTls(sock) : serveConnection(sock, nullptr)) {
            DrainBeforeClosing(sock);
        }
        perAddress_.leave(peer);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return true;
}

bool GuardedHttpServer::serveTls(socket_t sock) {
    std::unique_ptr<SSL, decltype(&SSL_free)> session(SSL_new(tls_), &SSL_free);
    // The handshake is bounded like a request's head; every later read or write like a body's.
    SetSocketTimeouts(sock, limits_.headerTimeout);
    if (!session || SSL_set_fd(session.get(), sock) != 1 || SSL_accept(session.get()) != 1) {
        return false;
    }
    SetSocketTimeouts(sock, std::max(limits_.readTimeout, limits_.writeTimeout));
    const bool drain = serveConnection(sock, session.get());
    SSL_shutdown(session.get());
    return drain;
}

bool GuardedHttpServer::serveConnection(socket_t sock, SSL* tls) {
    using Clock = ConnectionStream::Clock;
    ConnectionStream stream(sock, limits_.readTimeout, limits_.writeTimeout, tls);
    const auto stopping = [this] { return svr_sock_ == INVALID_SOCKET; };
    // The first request's head is due within the header time of the connection's arrival.
    auto headDeadline = Clock::now() + limits_.headerTimeout;
    for (std::size_t served = 0; served < limits_.requestsPerConnection; ++served) {
        const auto wait = served == 0 ? limits_.headerTimeout : limits_.idleTimeout;
        if (!stream.waitForRequest(wait, stopping)) {
            return false;
        }
        if (served > 0) {
            headDeadline = Clock::now() + limits_.headerTimeout;
        }
        stream.setHeadDeadline(headDeadline);
        bool headRead = false;
        bool peerCloses = false;
        bool lastRequest = served + 1 == limits_.requestsPerConnection || stopping();
        bool carriedBody = false;
        const bool answered =
            process_request(stream, lastRequest, peerCloses, [&](httplib::Request& req) {
                headRead = true;
                stream.clearHeadDeadline();
                req.ranges.clear();
                if (CarriesBody(req)) {
                    carriedBody = true;
                    lastRequest = true;
                    req.headers.erase("Connection");
                    req.headers.emplace("Connection", "close");
                }
            });
        // A head that was refused leaves the connection's reading position unknown.
        if (!answered || !headRead || peerCloses || lastRequest) {
            return carriedBody;
        }
    }
    return false;
}

}  // namespace tamsel::server
