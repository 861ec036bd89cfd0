#include "platform/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include <filesystem>

namespace tamsel {

std::string SingleInstanceLock::DefaultPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        return std::string(runtime) + "/tamsel-updater.lock";
    }
    return (std::filesystem::temp_directory_path() /
            ("tamsel-updater-" + std::to_string(::getuid()) + ".lock"))
        .string();
}

SingleInstanceLock::SingleInstanceLock(std::string lockPath)
    : path_(lockPath.empty() ? DefaultPath() : std::move(lockPath)) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        return;  // no lock file possible: behave as the only copy
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        previous_ = errno == EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

}  // namespace tamsel
