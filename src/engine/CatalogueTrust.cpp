#include "engine/CatalogueTrust.h"

#include "util/Text.h"

namespace tamsel {

namespace {

constexpr const char* kPublicKey = "public_key";
constexpr const char* kTimestamp = "signature_timestamp";

// The address as it can stand in a settings value: no quote or line end.
std::string SettingText(const std::string& address) {
    std::string text = ReplaceAll(address, "%", "%25");
    text = ReplaceAll(text, "\"", "%22");
    text = ReplaceAll(text, "\r", "%0D");
    return ReplaceAll(text, "\n", "%0A");
}

// The signature_timestamp line of the address, or null.
std::shared_ptr<CSetting> TimestampLine(const CConfiguration& local, const std::string& address) {
    const std::string wanted = SettingText(address);
    for (const auto& line : local.asCollection()) {
        const std::string value = line->Key() == kTimestamp ? line->Value() : std::string();
        const auto space = value.find(' ');
        if (space != std::string::npos && value.substr(space + 1) == wanted) {
            return line;
        }
    }
    return nullptr;
}

}  // namespace

std::vector<PublicKey> KitPublicKeys(const CConfiguration& global,
                                     std::vector<std::string>& unusable) {
    std::vector<PublicKey> keys;
    for (const auto& line : global.asCollection()) {
        if (line->Key() != kPublicKey) {
            continue;
        }
        if (const auto key = ParsePublicKey(line->Value())) {
            keys.push_back(*key);
        } else {
            unusable.push_back(line->Value());
        }
    }
    return keys;
}

long long LastAcceptedSignature(const CConfiguration& local, const std::string& address) {
    const auto line = TimestampLine(local, address);
    if (!line) {
        return -1;
    }
    const std::string digits = line->Value().substr(0, line->Value().find(' '));
    if (digits.empty() || digits.size() > 18 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::stoll(digits);
}

bool RecordAcceptedSignature(CConfiguration& local, const std::string& address,
                             long long timestamp) {
    if (LastAcceptedSignature(local, address) == timestamp) {
        return false;
    }
    const std::string value = std::to_string(timestamp) + " " + SettingText(address);
    if (const auto line = TimestampLine(local, address)) {
        line->Value(value);
    } else {
        local.add(CConfiguration::Setting(kTimestamp, value));
    }
    local.Dirty();
    return true;
}

std::string SignedCatalogueFault(const std::vector<PublicKey>& keys, std::string_view text,
                                 std::string_view signatureFile, const std::string& name,
                                 long long lastAccepted, long long& timestamp) {
    const SignatureCheck check = VerifySignature(keys, text, signatureFile);
    timestamp = check.timestamp;
    if (!check.valid) {
        return check.cause;
    }
    // Kits come from servers that ignore letter case in names.
    if (ToLower(check.file) != ToLower(name)) {
        return "the signature is for '" + check.file + "', not for '" + name + "'";
    }
    if (check.timestamp < 0) {
        return "the signature carries no timestamp";
    }
    if (check.timestamp < lastAccepted) {
        return "the catalogue was signed at " + std::to_string(check.timestamp) +
               ", before the one accepted last (signed at " + std::to_string(lastAccepted) +
               "): an old catalogue is never taken back";
    }
    return {};
}

}  // namespace tamsel
