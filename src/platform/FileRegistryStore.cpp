#include "platform/FileRegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/RegistryExport.h"
#include "util/FileSystem.h"

namespace tamsel {

namespace {

// The root's keys as the file holds them: empty for a missing file, nothing for a file that
// cannot be read or parsed.
std::optional<RegistryKey> LoadRoot(const std::string& path, RegistryRoot root) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        return RegistryKey();
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return std::nullopt;
    }
    return ParseRegistryExport(bytes, root);
}

// An exclusive advisory lock on a file beside the root's file, held while it lives. The root's
// file itself is replaced by renaming, so it cannot carry the lock. The lock file is opened for
// reading only, so that everyone who may change the root can lock it, whoever made it.
class RootLock {
  public:
    explicit RootLock(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644)) {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
            }
        }
    }
    ~RootLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    RootLock(const RootLock&) = delete;
    RootLock& operator=(const RootLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_;
};

}  // namespace

FileRegistryStore::FileRegistryStore(std::string folder) : folder_(std::move(folder)) {}

std::string FileRegistryStore::DefaultFolder() {
    if (const char* folder = std::getenv("TAMSEL_REGISTRY"); folder && *folder) {
        return folder;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::string(config) + "/tamsel/registry";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/tamsel/registry";
}

std::string FileRegistryStore::filePath(RegistryRoot root) const {
    return folder_ + "/" + RegistryRootName(root) + ".reg";
}

bool FileRegistryStore::view(RegistryRoot root,
                             const std::function<void(const RegistryKey&)>& look) {
    const auto top = LoadRoot(filePath(root), root);
    if (top) {
        look(*top);
    }
    return top.has_value();
}

bool FileRegistryStore::update(RegistryRoot root, const std::function<bool(RegistryKey&)>& change) {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    const std::string path = filePath(root);
    const RootLock lock(path + ".lock");
    if (!lock.held()) {
        return false;
    }
    auto top = LoadRoot(path, root);
    return top && change(*top) && WriteFileAtomically(path, FormatRegistryExport(*top, root));
}

std::shared_ptr<RegistryStore> MakeUserRegistryStore() {
    return std::make_shared<FileRegistryStore>();
}

RegistryStore& SystemRegistryStore() {
    static FileRegistryStore store;
    return store;
}

}  // namespace tamsel
