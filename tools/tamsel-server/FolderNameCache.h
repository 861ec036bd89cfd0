#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tamsel::server {

// Remembers each folder's entry names by their lower-cased form until the folder changes, so that
// looking a name up ignoring letter case does not read a large folder every time. A folder counts
// as changed when its modification or status-change time or its identity differs from when it was
// read; a folder read within a moment of its last change is read again next time, since a change
// in the same clock tick would leave its times as they were.
class FolderNameCache {
  public:
    // The entry of `folder` whose name equals `name` ignoring letter case (the first one read
    // when several do), or nothing.
    std::optional<std::filesystem::path> find(const std::filesystem::path& folder,
                                              std::string_view name);

  private:
    struct Listing;

    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const Listing>> listings_;
};

}  // namespace tamsel::server
