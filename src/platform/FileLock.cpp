#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace tamsel {

FileLock::FileLock(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644)) {
    while (fd_ >= 0 && !held_) {
        held_ = ::flock(fd_, LOCK_EX) == 0;
        if (!held_ && errno != EINTR) {
            ::close(fd_);
            fd_ = -1;
        }
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

}  // namespace tamsel
