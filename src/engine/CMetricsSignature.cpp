#include "engine/CMetrics.h"

#include "engine/CatalogueTrust.h"

namespace tamsel {

namespace {

constexpr std::uintmax_t kLargestSignature = 64 * 1024;

// The catalogue's address below the kit's remote root ("/Sales/catalogue.ini").
std::string AddressBelow(const std::string& remote, const std::string& url) {
    return !remote.empty() && url.starts_with(remote) ? url.substr(remote.size()) : url;
}

}  // namespace

bool CMetrics::checkSignature(const std::string& url, const std::string& text,
                              long long& signedAt) {
    signedAt = -1;
    std::vector<std::string> unusable;
    const auto keys = KitPublicKeys(globalSettings_, unusable);
    for (const auto& line : unusable) {
        Trace("CMetric::checkSignature() public_key \"" + line + "\" is not a public key");
    }
    if (keys.empty() && unusable.empty()) {
        Trace(
            "CMetric::checkSignature() the kit is not signed (no public_key in the global "
            "settings): " +
            url + " is taken unchecked");
        return true;
    }
    if (keys.empty()) {
        failureCause_ = "no public_key of the global settings is a public key";
        return false;
    }
    const std::string signatureUrl = url + ".minisig";
    CHTTP& http = Http();
    if (!http.Fetch(signatureUrl, false)) {
        failureCause_ = "the catalogue's signature cannot be fetched: " + http.FailureCause();
        return false;
    }
    // A signature file is a few hundred bytes; a server answering more is not read.
    if (http.bodySize() > kLargestSignature) {
        failureCause_ = "the signature file is malformed (" + std::to_string(http.bodySize()) +
                        " bytes) (" + ApplyUrlRule(signatureUrl) + ")";
        return false;
    }
    const std::string address = AddressBelow(globalSettings_.getRemote(), url);
    const std::string fault =
        SignedCatalogueFault(keys, text, http.getBody(), url.substr(url.rfind('/') + 1),
                             LastAcceptedSignature(localSettings_, address), signedAt);
    if (!fault.empty()) {
        failureCause_ = fault + " (" + ApplyUrlRule(signatureUrl) + ")";
        return false;
    }
    return true;
}

void CMetrics::acceptSignature(const std::string& url, long long signedAt) {
    if (signedAt < 0) {
        return;
    }
    Trace("CMetric::acceptSignature() " + url + " signed at " + std::to_string(signedAt));
    // Kept at once, so that a run ending badly later still refuses an older catalogue.
    if (RecordAcceptedSignature(localSettings_, AddressBelow(globalSettings_.getRemote(), url),
                                signedAt)) {
        localSettings_.commit();
    }
}

}  // namespace tamsel
