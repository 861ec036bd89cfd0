#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Keys and detached signatures in minisign's published formats, so that a publisher may sign
// with either tool: Ed25519 over the BLAKE2b-512 hash of the file, an untrusted comment line and a
// trusted comment ("timestamp:SECONDS<tab>file:NAME") signed together with the signature.
namespace tamsel {

using KeyId = std::array<unsigned char, 8>;

struct PublicKey {
    KeyId id{};
    std::array<unsigned char, 32> key{};
};

struct SecretKey {
    KeyId id{};
    std::array<unsigned char, 64> key{};
};

// A public key from its "RW..." text, or from a whole public key file (the text's last line).
std::optional<PublicKey> ParsePublicKey(std::string_view text);
// The "RW..." text of the key.
std::string PublicKeyText(const PublicKey& key);
// The key id as minisign prints it: 16 upper-case hex digits.
std::string KeyIdText(const KeyId& id);
// A public key file: an untrusted comment line naming the key id, then the key text.
std::string PublicKeyFileText(const PublicKey& key);

// A new random key pair.
std::pair<SecretKey, PublicKey> GenerateKeyPair();
// A secret key file, not protected by a password (keep it private).
std::string SecretKeyFileText(const SecretKey& key);
// Reads a secret key file. A key protected by a password needs that password; error says why
// the key cannot be used.
std::optional<SecretKey> ParseSecretKey(std::string_view text, const std::string& password,
                                        std::string& error);
// Whether a secret key file is protected by a password.
bool SecretKeyNeedsPassword(std::string_view text);

// The signature file of a message: the trusted comment says when it was signed and the file's
// name.
std::string SignatureFileText(const SecretKey& key, std::string_view message,
                              const std::string& fileName, long long timestamp);

struct SignatureCheck {
    bool valid = false;
    // Why the signature does not hold, in plain words; empty when valid.
    std::string cause;
    // From the trusted comment: "timestamp:" (-1 when absent or not a number) and "file:".
    long long timestamp = -1;
    std::string file;
};

// Checks a signature file for the message against any of the keys (the one whose id it names).
SignatureCheck VerifySignature(const std::vector<PublicKey>& keys, std::string_view message,
                               std::string_view signatureFile);

}  // namespace tamsel
