#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tamsel::desktop {

// The "RW..." texts of public keys given as such or as public key files. Throws TamselError for
// one that is neither.
std::vector<std::string> PublicKeyTexts(const std::vector<std::string>& given);

// Makes the keys the public_key lines of the kit's global settings, in place of those there;
// prints "wrote" or "unchanged" and the path. Throws TamselError when it cannot.
void WritePublicKeys(const std::string& kitFolder, const std::vector<std::string>& keys,
                     std::ostream& out);

}  // namespace tamsel::desktop
