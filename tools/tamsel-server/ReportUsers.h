#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace tamsel::server {

// The people who may see the reports pages: a file of lines "NAME:HASH", each hash an Argon2id
// hash of the password with its own salt and costs.
class ReportUsers {
  public:
    // Throws std::runtime_error when the file cannot be read or holds no user.
    static ReportUsers Load(const std::filesystem::path& file);

    ReportUsers() = default;
    ReportUsers(ReportUsers&& other) noexcept : hashes_(std::move(other.hashes_)) {}
    ReportUsers& operator=(ReportUsers&& other) noexcept {
        hashes_ = std::move(other.hashes_);
        return *this;
    }

    bool empty() const { return hashes_.empty(); }
    // Whether an "Authorization: Basic ..." value names a user with their password. Hashing is
    // slow by design: checks run one at a time, and a pair once found good is remembered.
    bool admits(std::string_view authorization);

  private:
    std::map<std::string, std::string, std::less<>> hashes_;
    std::mutex mutex_;
    std::set<std::string> admitted_;  // digests of name and password pairs found good
};

// Writes NAME's line with a fresh hash of the password to the file, in place of any line it had;
// false with the reason when the name or password is unusable or the file cannot be written.
bool AddReportUser(const std::filesystem::path& file, const std::string& name,
                   const std::string& password, std::string& why);

}  // namespace tamsel::server
