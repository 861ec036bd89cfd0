#pragma once

#include <string>

namespace tamsel {

// Whether a catalogue URL stays inside the kit folder once joined to it: no ".." segment.
bool StaysInsideKit(const std::string& url);

// The local path of a catalogue URL below the kit folder. Kits are authored on a file system that
// ignores letter case, so each segment resolves to the existing file or folder of any case (the
// first in listing order when several differ only in case); only what does not exist yet takes
// the catalogue's case.
std::string ResolveKitPath(const std::string& kitFolder, const std::string& url);

}  // namespace tamsel
