#pragma once

#include <sodium.h>

#include <cstddef>
#include <string>

namespace tamsel {

// SHA-256 of a stream of bytes, fed as they arrive.
class Sha256 {
  public:
    Sha256();
    void update(const void* data, std::size_t size);
    // The digest as 64 lower-case hex digits; the object cannot be fed afterwards.
    std::string hexDigest();

  private:
    crypto_hash_sha256_state state_{};
};

// The SHA-256 of a file's content as 64 lower-case hex digits; empty when it cannot be read.
std::string Sha256OfFile(const std::string& path);

// Whether the text is a SHA-256 digest written as 64 hex digits (either case).
bool IsSha256Text(const std::string& text);

// Readies the cryptography library; false when it cannot be used. Safe to call often.
bool EnsureSodium();

}  // namespace tamsel
