#pragma once

#include <httplib.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include <openssl/ssl.h>

namespace tamsel::server {

// One accepted connection as the HTTP library reads and writes it. Every read waits at most the
// read timeout for data, and while a request's head is being read also no later than the head's
// deadline, so a peer that trickles its headers cannot hold the connection for long. With a TLS
// session the data goes through it.
class ConnectionStream final : public httplib::Stream {
  public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(int socket, std::chrono::milliseconds readTimeout,
                     std::chrono::milliseconds writeTimeout, SSL* tls = nullptr);

    // Waits up to `limit` for the next request's first byte; false when none came, the peer
    // closed the connection, or `stopping` became true.
    bool waitForRequest(std::chrono::milliseconds limit, const std::function<bool()>& stopping);
    void setHeadDeadline(Clock::time_point deadline) { headDeadline_ = deadline; }
    void clearHeadDeadline() { headDeadline_.reset(); }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

  private:
    // How long a read may still wait: the read timeout, cut short by the head's deadline.
    std::chrono::milliseconds readWait() const;
    bool buffered() const { return bufferStart_ < bufferEnd_ || (tls_ && SSL_pending(tls_) > 0); }

    int socket_;
    SSL* tls_;
    std::chrono::milliseconds readTimeout_;
    std::chrono::milliseconds writeTimeout_;
    std::optional<Clock::time_point> headDeadline_;
    std::array<char, 4096> buffer_{};
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
};

}  // namespace tamsel::server
