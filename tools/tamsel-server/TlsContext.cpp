#include "TlsContext.h"

#include <openssl/err.h>

#include <stdexcept>
#include <string>

namespace tamsel::server {

SSL_CTX* LoadTlsContext(const std::filesystem::path& certificate,
                        const std::filesystem::path& key) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr) {
        throw std::runtime_error("TLS cannot start");
    }
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    if (SSL_CTX_use_certificate_chain_file(context, certificate.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, key.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context) != 1) {
        char why[256] = "";
        ERR_error_string_n(ERR_get_error(), why, sizeof why);
        SSL_CTX_free(context);
        throw std::runtime_error("cannot use the certificate " + certificate.string() +
                                 " with the key " + key.string() + ": " + why);
    }
    return context;
}

}  // namespace tamsel::server
