#pragma once

#include "AddressLimits.h"

#include <httplib.h>
#include <openssl/ssl.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace tamsel::server {

// How long and how many peers may hold the server.
struct ConnectionLimits {
    // The request line and headers must all arrive within this time.
    std::chrono::milliseconds headerTimeout{5000};
    // A kept-alive connection is closed when no next request starts within this time.
    std::chrono::milliseconds idleTimeout{5000};
    // Longest wait for the next piece of a body, or for the peer to take more of an answer.
    std::chrono::milliseconds readTimeout{10000};
    std::chrono::milliseconds writeTimeout{10000};
    // Connections served at once; one more is answered 503 at once.
    std::size_t workers = 64;
    // Connections one client address may hold at once; one more is answered 503 at once.
    std::size_t perAddress = 16;
    std::size_t requestsPerConnection = 100000;
};

// An HTTP server that stays responsive with slow or idle peers on the network: each connection
// gets deadlines for its request heads and its idle time, a connection that finds every worker
// busy is answered 503, and a request that carries a body ends its connection, so a body left
// unread can never be taken for the next request. No client address holds more than its share
// of the connections. Given a TLS context it serves HTTPS. The library's handling of "Range"
// headers is switched off: handlers answer ranges themselves (req.ranges is always empty).
class GuardedHttpServer : public httplib::Server {
  public:
    explicit GuardedHttpServer(ConnectionLimits limits, SSL_CTX* tls = nullptr);
    ~GuardedHttpServer() override;

    // Binds as bind_to_port/bind_to_any_port do (port 0: any), with a listen queue long enough for
    // bursts of connections; the port, or -1.
    int bindListening(const std::string& address, int port);

  private:
    bool process_and_close_socket(socket_t sock) override;
    // Serves requests until the connection ends; true when a body may have been left unread.
    bool serveConnection(socket_t sock, SSL* tls);
    bool serveTls(socket_t sock);

    ConnectionLimits limits_;
    SSL_CTX* tls_;
    ConnectionsPerAddress perAddress_;
};

}  // namespace tamsel::server
