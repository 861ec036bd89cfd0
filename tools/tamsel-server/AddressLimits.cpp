#include "AddressLimits.h"

namespace tamsel::server {

namespace {

constexpr std::chrono::minutes kWindow{1};
// Past this many addresses, those whose minute is over are forgotten.
constexpr std::size_t kForgetAbove = 10000;

}  // namespace

bool ConnectionsPerAddress::enter(const std::string& address) {
    std::lock_guard lock(mutex_);
    auto& held = held_[address];
    if (held >= limit_) {
        return false;
    }
    ++held;
    return true;
}

void ConnectionsPerAddress::leave(const std::string& address) {
    std::lock_guard lock(mutex_);
    const auto found = held_.find(address);
    if (found != held_.end() && --found->second == 0) {
        held_.erase(found);
    }
}

bool UploadsPerMinute::allow(const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (windows_.size() > kForgetAbove) {
        std::erase_if(windows_,
                      [now](const auto& entry) { return now - entry.second.start >= kWindow; });
    }
    auto& window = windows_[address];
    if (window.uploads == 0 || now - window.start >= kWindow) {
        window = {now, 0};
    }
    if (window.uploads >= limit_) {
        return false;
    }
    ++window.uploads;
    return true;
}

}  // namespace tamsel::server
