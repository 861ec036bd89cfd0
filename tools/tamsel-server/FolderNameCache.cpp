#include "FolderNameCache.h"

#include "util/Text.h"

#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <system_error>

namespace tamsel::server {

namespace fs = std::filesystem;

namespace {

// What changes whenever entries are added to, removed from or renamed in a folder.
struct FolderStamp {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FolderStamp& other) const {
        return device == other.device && inode == other.inode &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

std::optional<FolderStamp> StampOf(const fs::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FolderStamp{status.st_dev, status.st_ino, status.st_mtim, status.st_ctim};
}

// Whether the folder's entries changed so shortly before `readAt` that a further change could
// still share its time stamps.
bool ChangedJustBefore(const FolderStamp& stamp, std::time_t readAt) {
    constexpr std::time_t kSettleSeconds = 2;
    return readAt - stamp.modified.tv_sec < kSettleSeconds;
}

}  // namespace

struct FolderNameCache::Listing {
    FolderStamp stamp;
    bool settled = false;
    std::unordered_map<std::string, std::string> namesByLowerCase;
};

std::optional<fs::path> FolderNameCache::find(const fs::path& folder, std::string_view name) {
    const auto stamp = StampOf(folder);
    if (!stamp) {
        return std::nullopt;
    }
    const std::string key = folder.string();
    std::shared_ptr<const Listing> listing;
    {
        std::lock_guard lock(mutex_);
        const auto it = listings_.find(key);
        if (it != listings_.end() && it->second->settled && it->second->stamp == *stamp) {
            listing = it->second;
        }
    }
    if (!listing) {
        auto fresh = std::make_shared<Listing>();
        fresh->stamp = *stamp;
        fresh->settled = !ChangedJustBefore(*stamp, std::time(nullptr));
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::string entry = it->path().filename().string();
            fresh->namesByLowerCase.emplace(ToLower(entry), entry);
        }
        listing = fresh;
        std::lock_guard lock(mutex_);
        listings_[key] = listing;
    }
    const auto found = listing->namesByLowerCase.find(ToLower(name));
    if (found == listing->namesByLowerCase.end()) {
        return std::nullopt;
    }
    return folder / found->second;
}

}  // namespace tamsel::server
