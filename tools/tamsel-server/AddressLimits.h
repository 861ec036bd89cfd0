#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tamsel::server {

// How many connections each client address holds at once, so that one address cannot take every
// worker.
class ConnectionsPerAddress {
  public:
    explicit ConnectionsPerAddress(std::size_t limit) : limit_(limit) {}
    // Takes a place for the address; false when it holds the limit already.
    bool enter(const std::string& address);
    void leave(const std::string& address);

  private:
    std::size_t limit_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::size_t> held_;
};

// How many uploads each client address may make per minute.
class UploadsPerMinute {
  public:
    using Clock = std::chrono::steady_clock;
    explicit UploadsPerMinute(std::size_t limit) : limit_(limit) {}
    // Counts an upload of the address; false when its minute's allowance is spent.
    bool allow(const std::string& address, Clock::time_point now = Clock::now());

  private:
    struct Window {
        Clock::time_point start;
        std::size_t uploads = 0;
    };
    std::size_t limit_;
    std::mutex mutex_;
    std::unordered_map<std::string, Window> windows_;
};

}  // namespace tamsel::server
