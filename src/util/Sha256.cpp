#include "util/Sha256.h"

#include <array>
#include <fstream>

namespace tamsel {

bool EnsureSodium() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

Sha256::Sha256() {
    EnsureSodium();
    crypto_hash_sha256_init(&state_);
}

void Sha256::update(const void* data, std::size_t size) {
    crypto_hash_sha256_update(&state_, static_cast<const unsigned char*>(data), size);
}

std::string Sha256::hexDigest() {
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
    crypto_hash_sha256_final(&state_, digest.data());
    std::array<char, crypto_hash_sha256_BYTES * 2 + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
    return std::string(hex.data(), digest.size() * 2);
}

std::string Sha256OfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    Sha256 hash;
    std::array<char, 64 * 1024> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        hash.update(buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    return in.bad() ? std::string() : hash.hexDigest();
}

bool IsSha256Text(const std::string& text) {
    return text.size() == crypto_hash_sha256_BYTES * 2 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace tamsel
