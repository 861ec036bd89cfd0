#pragma once

#include <openssl/ssl.h>

#include <filesystem>

namespace tamsel::server {

// A server TLS context from a PEM certificate chain and its private key; throws
// std::runtime_error when they cannot be read or do not belong together.
SSL_CTX* LoadTlsContext(const std::filesystem::path& certificate, const std::filesystem::path& key);

}  // namespace tamsel::server
