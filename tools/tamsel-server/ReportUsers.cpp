#include "ReportUsers.h"

#include "util/FileSystem.h"
#include "util/Text.h"

#include <sodium.h>

#include <sstream>
#include <stdexcept>

namespace tamsel::server {

namespace {

void InitSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium cannot start");
    }
}

std::string DecodeBase64(std::string_view text) {
    std::string out(text.size(), '\0');
    std::size_t length = 0;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(out.data()), out.size(), text.data(),
                          text.size(), nullptr, &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0) {
        return {};
    }
    out.resize(length);
    return out;
}

std::string Digest(std::string_view pair) {
    unsigned char digest[crypto_generichash_BYTES];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(pair.data()),
                       pair.size(), nullptr, 0);
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

}  // namespace

ReportUsers ReportUsers::Load(const std::filesystem::path& file) {
    InitSodium();
    std::string text;
    if (!ReadWholeFile(file.string(), text)) {
        throw std::runtime_error("cannot read the users file " + file.string());
    }
    ReportUsers users;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (colon != std::string::npos && colon > 0) {
            users.hashes_[line.substr(0, colon)] = TrimSpaces(line.substr(colon + 1));
        }
    }
    if (users.empty()) {
        throw std::runtime_error("no user in " + file.string() + "; add one with add-user");
    }
    return users;
}

bool ReportUsers::admits(std::string_view authorization) {
    constexpr std::string_view kBasic = "Basic ";
    if (!authorization.starts_with(kBasic)) {
        return false;
    }
    const std::string pair = DecodeBase64(TrimSpaces(authorization.substr(kBasic.size())));
    const auto colon = pair.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    const auto hash = hashes_.find(std::string_view(pair).substr(0, colon));
    if (hash == hashes_.end()) {
        return false;
    }
    const std::string digest = Digest(pair);
    std::lock_guard lock(mutex_);
    if (admitted_.contains(digest)) {
        return true;
    }
    const std::string password = pair.substr(colon + 1);
    if (crypto_pwhash_str_verify(hash->second.c_str(), password.data(), password.size()) != 0) {
        return false;
    }
    admitted_.insert(digest);
    return true;
}

bool AddReportUser(const std::filesystem::path& file, const std::string& name,
                   const std::string& password, std::string& why) {
    InitSodium();
    if (name.empty() || name.find(':') != std::string::npos || HasControlCharacter(name)) {
        why = "a user name must not be empty nor hold a colon or control characters";
        return false;
    }
    if (password.empty()) {
        why = "the password is empty";
        return false;
    }
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        why = "out of memory while hashing";
        return false;
    }
    std::string text;
    std::string kept;
    const bool existed = ReadWholeFile(file.string(), text);
    if (existed) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && !line.starts_with(name + ":")) {
                kept += line + "\n";
            }
        }
    }
    if (!WriteFileAtomically(file.string(), kept + name + ":" + hash + "\n")) {
        why = "cannot write " + file.string();
        return false;
    }
    if (!existed) {
        std::error_code ignored;
        std::filesystem::permissions(
            file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
            ignored);
    }
    return true;
}

}  // namespace tamsel::server
