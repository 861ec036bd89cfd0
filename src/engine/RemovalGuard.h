#pragma once

#include <filesystem>
#include <string>

namespace tamsel {

// Decides which local files that no catalogue lists may be removed as redundant. A file reached
// through a link that leads outside the kit folder belongs to someone else (a shared folder
// linked into the kit), and with the kit in the program's own folder, the files directly in that
// folder are the ones that ship beside the program (the due check, whatever the installer laid
// there): neither is ever removed.
class RemovalGuard {
  public:
    RemovalGuard(const std::string& kitFolder, const std::string& programFolder);

    // Why the file at url below the kit folder must stay; empty when it may be removed.
    std::string whyKept(const std::string& url) const;

  private:
    std::string kitFolder_;
    std::filesystem::path realKit_;
    bool kitIsProgramFolder_ = false;
};

}  // namespace tamsel
