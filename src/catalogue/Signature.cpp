#include "catalogue/Signature.h"

#include "util/Sha256.h"

#include <sodium.h>

#include <cstdint>
#include <cstring>

namespace tamsel {

namespace {

constexpr std::string_view kUntrusted = "untrusted comment: ";
constexpr std::string_view kTrusted = "trusted comment: ";
constexpr char kEd25519[2] = {'E', 'd'};  // the message itself is signed
constexpr char kHashed[2] = {'E', 'D'};   // its BLAKE2b-512 hash is signed
constexpr char kBlake2b[2] = {'B', '2'};
constexpr char kScrypt[2] = {'S', 'c'};

// Offsets in a secret key: algorithms, scrypt salt and limits, then key id, key and checksum.
constexpr std::size_t kSaltAt = 6;
constexpr std::size_t kOpsLimitAt = kSaltAt + 32;
constexpr std::size_t kMemLimitAt = kOpsLimitAt + 8;
constexpr std::size_t kKeyIdAt = kMemLimitAt + 8;
constexpr std::size_t kKeyAt = kKeyIdAt + 8;
constexpr std::size_t kChecksumAt = kKeyAt + 64;
constexpr std::size_t kSecretKeyBytes = kChecksumAt + 32;
constexpr std::size_t kSignatureBytes = 2 + 8 + crypto_sign_BYTES;

using Bytes = std::vector<unsigned char>;

void Append(Bytes& bytes, const void* data, std::size_t size) {
    const auto* first = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), first, first + size);
}

std::string Base64(const unsigned char* data, std::size_t size) {
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), data, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::optional<Bytes> FromBase64(std::string_view text, std::size_t expected) {
    Bytes bytes(expected, 0);
    std::size_t size = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &size,
                          &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        size != expected || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The text's lines without their line ends.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

std::array<unsigned char, crypto_generichash_BYTES_MAX> Blake2b512(std::string_view message) {
    std::array<unsigned char, crypto_generichash_BYTES_MAX> hash{};
    crypto_generichash(hash.data(), hash.size(),
                       reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                       nullptr, 0);
    return hash;
}

// BLAKE2b-256 of the algorithm, key id and key of a secret key.
std::array<unsigned char, 32> SecretKeyChecksum(const Bytes& secret) {
    std::array<unsigned char, 32> checksum{};
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, checksum.size());
    crypto_generichash_update(&state, secret.data(), 2);
    crypto_generichash_update(&state, secret.data() + kKeyIdAt, 8 + 64);
    crypto_generichash_final(&state, checksum.data(), checksum.size());
    return checksum;
}

std::uint64_t LittleEndian64(const unsigned char* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// "timestamp:" and "file:" of a trusted comment, fields separated by tabs.
void ReadTrustedComment(std::string_view comment, SignatureCheck& check) {
    while (!comment.empty()) {
        const auto end = comment.find('\t');
        const std::string_view field = comment.substr(0, end);
        if (field.starts_with("timestamp:")) {
            const std::string_view digits = field.substr(10);
            if (!digits.empty() && digits.size() <= 18 &&
                digits.find_first_not_of("0123456789") == std::string_view::npos) {
                check.timestamp = std::stoll(std::string(digits));
            }
        } else if (field.starts_with("file:")) {
            check.file = std::string(field.substr(5));
        }
        comment = end == std::string_view::npos ? std::string_view() : comment.substr(end + 1);
    }
}

}  // namespace

std::optional<PublicKey> ParsePublicKey(std::string_view text) {
    EnsureSodium();
    const auto lines = Lines(Trimmed(text));
    if (lines.empty()) {
        return std::nullopt;
    }
    const auto bytes = FromBase64(Trimmed(lines.back()), 2 + 8 + 32);
    if (!bytes || std::memcmp(bytes->data(), kEd25519, 2) != 0) {
        return std::nullopt;
    }
    PublicKey key;
    std::memcpy(key.id.data(), bytes->data() + 2, key.id.size());
    std::memcpy(key.key.data(), bytes->data() + 10, key.key.size());
    return key;
}

std::string PublicKeyText(const PublicKey& key) {
    Bytes bytes(kEd25519, kEd25519 + 2);
    Append(bytes, key.id.data(), key.id.size());
    Append(bytes, key.key.data(), key.key.size());
    return Base64(bytes.data(), bytes.size());
}

std::string KeyIdText(const KeyId& id) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::uint64_t value = LittleEndian64(id.data());
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i) {
        text[static_cast<std::size_t>(15 - i)] = kHex[(value >> (4 * i)) & 0xF];
    }
    return text;
}

std::string PublicKeyFileText(const PublicKey& key) {
    return std::string(kUntrusted) + "minisign public key " + KeyIdText(key.id) + "\n" +
           PublicKeyText(key) + "\n";
}

std::pair<SecretKey, PublicKey> GenerateKeyPair() {
    EnsureSodium();
    SecretKey secret;
    PublicKey pub;
    crypto_sign_keypair(pub.key.data(), secret.key.data());
    randombytes_buf(secret.id.data(), secret.id.size());
    pub.id = secret.id;
    return {secret, pub};
}

std::string SecretKeyFileText(const SecretKey& key) {
    Bytes bytes(kSecretKeyBytes, 0);
    std::memcpy(bytes.data(), kEd25519, 2);
    std::memcpy(bytes.data() + 4, kBlake2b, 2);
    std::memcpy(bytes.data() + kKeyIdAt, key.id.data(), key.id.size());
    std::memcpy(bytes.data() + kKeyAt, key.key.data(), key.key.size());
    const auto checksum = SecretKeyChecksum(bytes);
    std::memcpy(bytes.data() + kChecksumAt, checksum.data(), checksum.size());
    std::string text = std::string(kUntrusted) + "minisign secret key, no password\n" +
                       Base64(bytes.data(), bytes.size()) + "\n";
    sodium_memzero(bytes.data(), bytes.size());
    return text;
}

bool SecretKeyNeedsPassword(std::string_view text) {
    const auto lines = Lines(Trimmed(text));
    const auto bytes =
        lines.empty() ? std::nullopt : FromBase64(Trimmed(lines.back()), kSecretKeyBytes);
    return bytes && std::memcmp(bytes->data() + 2, kScrypt, 2) == 0;
}

std::optional<SecretKey> ParseSecretKey(std::string_view text, const std::string& password,
                                        std::string& error) {
    EnsureSodium();
    const auto lines = Lines(Trimmed(text));
    auto bytes = lines.empty() ? std::nullopt : FromBase64(Trimmed(lines.back()), kSecretKeyBytes);
    if (!bytes || std::memcmp(bytes->data(), kEd25519, 2) != 0 ||
        std::memcmp(bytes->data() + 4, kBlake2b, 2) != 0) {
        error = "not a secret key file";
        return std::nullopt;
    }
    const bool encrypted = std::memcmp(bytes->data() + 2, kScrypt, 2) == 0;
    if (encrypted) {
        // The key id, key and checksum are XORed with a stream derived from the password.
        constexpr std::size_t kStreamBytes = kSecretKeyBytes - kKeyIdAt;
        std::array<unsigned char, kStreamBytes> stream{};
        if (crypto_pwhash_scryptsalsa208sha256(
                stream.data(), stream.size(), password.data(), password.size(),
                bytes->data() + kSaltAt, LittleEndian64(bytes->data() + kOpsLimitAt),
                static_cast<std::size_t>(LittleEndian64(bytes->data() + kMemLimitAt))) != 0) {
            error = "cannot derive the key from the password (out of memory?)";
            return std::nullopt;
        }
        for (std::size_t i = 0; i < kStreamBytes; ++i) {
            (*bytes)[kKeyIdAt + i] ^= stream[i];
        }
        sodium_memzero(stream.data(), stream.size());
    } else if (bytes->at(2) != 0 || bytes->at(3) != 0) {
        error = "the secret key is protected in a way this tool does not know";
        return std::nullopt;
    }
    const auto checksum = SecretKeyChecksum(*bytes);
    const bool unset = !encrypted && sodium_is_zero(bytes->data() + kChecksumAt, 32) == 1;
    if (!unset && sodium_memcmp(checksum.data(), bytes->data() + kChecksumAt, 32) != 0) {
        error = encrypted ? "wrong password for the secret key" : "the secret key is damaged";
        sodium_memzero(bytes->data(), bytes->size());
        return std::nullopt;
    }
    SecretKey key;
    std::memcpy(key.id.data(), bytes->data() + kKeyIdAt, key.id.size());
    std::memcpy(key.key.data(), bytes->data() + kKeyAt, key.key.size());
    sodium_memzero(bytes->data(), bytes->size());
    return key;
}

std::string SignatureFileText(const SecretKey& key, std::string_view message,
                              const std::string& fileName, long long timestamp) {
    EnsureSodium();
    const auto hash = Blake2b512(message);
    Bytes signature(kHashed, kHashed + 2);
    Append(signature, key.id.data(), key.id.size());
    signature.resize(kSignatureBytes);
    crypto_sign_detached(signature.data() + 10, nullptr, hash.data(), hash.size(), key.key.data());
    const std::string comment =
        "timestamp:" + std::to_string(timestamp) + "\tfile:" + fileName + "\thashed";
    Bytes signedComment(signature.begin() + 10, signature.end());
    Append(signedComment, comment.data(), comment.size());
    std::array<unsigned char, crypto_sign_BYTES> global{};
    crypto_sign_detached(global.data(), nullptr, signedComment.data(), signedComment.size(),
                         key.key.data());
    return std::string(kUntrusted) + "signature from tamsel-kit secret key\n" +
           Base64(signature.data(), signature.size()) + "\n" + std::string(kTrusted) + comment +
           "\n" + Base64(global.data(), global.size()) + "\n";
}

SignatureCheck VerifySignature(const std::vector<PublicKey>& keys, std::string_view message,
                               std::string_view signatureFile) {
    EnsureSodium();
    SignatureCheck check;
    const auto lines = Lines(signatureFile);
    if (lines.size() < 4 || !lines[0].starts_with(kUntrusted) || !lines[2].starts_with(kTrusted)) {
        check.cause = "the signature file is not complete";
        return check;
    }
    const auto signature = FromBase64(Trimmed(lines[1]), kSignatureBytes);
    const auto global = FromBase64(Trimmed(lines[3]), crypto_sign_BYTES);
    if (!signature || !global) {
        check.cause = "the signature file is malformed";
        return check;
    }
    const bool hashed = std::memcmp(signature->data(), kHashed, 2) == 0;
    if (!hashed && std::memcmp(signature->data(), kEd25519, 2) != 0) {
        check.cause = "the signature uses an unknown algorithm";
        return check;
    }
    KeyId id{};
    std::memcpy(id.data(), signature->data() + 2, id.size());
    const PublicKey* key = nullptr;
    for (const auto& candidate : keys) {
        if (candidate.id == id) {
            key = &candidate;
            break;
        }
    }
    if (key == nullptr) {
        check.cause = "the signature was made with another key (key id " + KeyIdText(id) + ")";
        return check;
    }
    const unsigned char* sig = signature->data() + 10;
    const auto hash = Blake2b512(message);
    const bool matches =
        hashed ? crypto_sign_verify_detached(sig, hash.data(), hash.size(), key->key.data()) == 0
               : crypto_sign_verify_detached(sig,
                                             reinterpret_cast<const unsigned char*>(message.data()),
                                             message.size(), key->key.data()) == 0;
    if (!matches) {
        check.cause = "the signature does not match the content";
        return check;
    }
    const std::string_view comment = lines[2].substr(kTrusted.size());
    Bytes signedComment(sig, sig + crypto_sign_BYTES);
    Append(signedComment, comment.data(), comment.size());
    if (crypto_sign_verify_detached(global->data(), signedComment.data(), signedComment.size(),
                                    key->key.data()) != 0) {
        check.cause = "the signature's trusted comment has been altered";
        return check;
    }
    ReadTrustedComment(comment, check);
    check.valid = true;
    return check;
}

}  // namespace tamsel
