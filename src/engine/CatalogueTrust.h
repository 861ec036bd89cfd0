#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Signature.h"
#include "config/CConfiguration.h"

namespace tamsel {

// The public keys a signed kit's catalogues are checked against: one per public_key line of the
// global settings (several while a key is being replaced). Lines that hold no key are listed in
// unusable.
std::vector<PublicKey> KitPublicKeys(const CConfiguration& global,
                                     std::vector<std::string>& unusable);

// The signing time of the catalogue at the address (its path below the kit's remote root) last
// accepted, from the local settings' signature_timestamp lines; -1 when there is none.
long long LastAcceptedSignature(const CConfiguration& local, const std::string& address);
// Records the signing time of the catalogue just accepted; true when the settings changed.
bool RecordAcceptedSignature(CConfiguration& local, const std::string& address,
                             long long timestamp);

// Why a fetched catalogue named name (the last part of its address) must not be used, given its
// signature file and the signing time last accepted for it; empty when it may. timestamp is set
// to its signing time.
std::string SignedCatalogueFault(const std::vector<PublicKey>& keys, std::string_view text,
                                 std::string_view signatureFile, const std::string& name,
                                 long long lastAccepted, long long& timestamp);

}  // namespace tamsel
