#include "ConnectionStream.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tamsel::server {

namespace {

// Waits for `events` on the socket; true when they came within `wait`.
bool PollFor(int socket, short events, std::chrono::milliseconds wait) {
    pollfd entry{socket, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(std::max<long long>(wait.count(), 0)));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void AddressOf(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host,
                      service, sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

}  // namespace

ConnectionStream::ConnectionStream(int socket, std::chrono::milliseconds readTimeout,
                                   std::chrono::milliseconds writeTimeout, SSL* tls)
    : socket_(socket), tls_(tls), readTimeout_(readTimeout), writeTimeout_(writeTimeout) {}

bool ConnectionStream::waitForRequest(std::chrono::milliseconds limit,
                                      const std::function<bool()>& stopping) {
    if (buffered()) {
        return true;
    }
    // In short slices, so that stopping the server does not wait for idle peers.
    constexpr std::chrono::milliseconds kSlice{50};
    const auto end = Clock::now() + limit;
    while (!stopping()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        if (PollFor(socket_, POLLIN, std::min(left, kSlice))) {
            char byte = 0;
            return ::recv(socket_, &byte, 1, MSG_PEEK) == 1;
        }
    }
    return false;
}

std::chrono::milliseconds ConnectionStream::readWait() const {
    if (!headDeadline_) {
        return readTimeout_;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(*headDeadline_ - Clock::now());
    return std::min(readTimeout_, left);
}

bool ConnectionStream::is_readable() const {
    return buffered() || PollFor(socket_, POLLIN, readWait());
}

bool ConnectionStream::is_writable() const {
    return PollFor(socket_, POLLOUT, writeTimeout_);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (bufferStart_ == bufferEnd_) {
        const auto wait = readWait();
        if (!buffered() && (wait.count() <= 0 || !PollFor(socket_, POLLIN, wait))) {
            return -1;
        }
        ssize_t got = 0;
        if (tls_) {
            got = SSL_read(tls_, buffer_.data(), static_cast<int>(buffer_.size()));
            if (got <= 0) {
                return SSL_get_error(tls_, static_cast<int>(got)) == SSL_ERROR_ZERO_RETURN ? 0 : -1;
            }
        }
        while (!tls_ && (got = ::recv(socket_, buffer_.data(), buffer_.size(), 0)) < 0 &&
               errno == EINTR) {
        }
        if (got <= 0) {
            return got;
        }
        bufferStart_ = 0;
        bufferEnd_ = static_cast<std::size_t>(got);
    }
    const std::size_t count = std::min(size, bufferEnd_ - bufferStart_);
    std::memcpy(ptr, buffer_.data() + bufferStart_, count);
    bufferStart_ += count;
    return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!is_writable()) {
        return -1;
    }
    if (tls_) {
        const int sent = SSL_write(tls_, ptr, static_cast<int>(size));
        return sent > 0 ? sent : -1;
    }
    ssize_t sent = 0;
    do {
        sent = ::send(socket_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, length, ip, port);
    }
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, length, ip, port);
    }
}

}  // namespace tamsel::server
