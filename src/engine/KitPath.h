#pragma once

#include <string>

namespace tamsel {

// The local path of a catalogue URL below the kit folder. Kits are authored on a file system that
// ignores letter case, so each segment resolves to the existing file or folder of any case (the
// first in listing order when several differ only in case); only what does not exist yet takes
// the catalogue's case.
std::string ResolveKitPath(const std::string& kitFolder, const std::string& url);

// The same for a file known not to exist under any case (the analysis found none): its folders
// resolve, its name is taken as written. No folder listing for the name, so writing many new files
// into one folder costs the same for each.
std::string ResolveNewKitPath(const std::string& kitFolder, const std::string& url);

}  // namespace tamsel
