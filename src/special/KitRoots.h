#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tamsel {

// Where the special script commands may write and remove: below one of the kit's roots (the kit
// folder, the folder above it, the user's application data folder), never one of the updater's
// own files nor anything directly in the program's own folder. A path is judged where the system
// would reach it: ".", ".." and links resolved, a last part that is a link followed to where it
// leads.
class KitRoots {
  public:
    // programFolder: the program's own folder; empty when files may be written into it.
    KitRoots(const std::vector<std::string>& roots, const std::vector<std::string>& ownFiles,
             const std::string& programFolder);

    // Why a command may not write or remove the path, in plain words; empty when it may.
    std::string Refusal(const std::string& path) const;

  private:
    std::vector<std::filesystem::path> roots_;
    std::vector<std::filesystem::path> ownFiles_;
    std::filesystem::path programFolder_;
};

// The absolute path the system reaches for path, every link on the way followed, also one that
// leads to nothing yet; empty when it cannot be told (a loop of links).
std::filesystem::path ResolvedPath(const std::string& path);

}  // namespace tamsel
