#include "platform/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

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

int SingleInstanceLock::HolderPid() const {
    struct stat file {};
    if (::stat(path_.c_str(), &file) != 0) {
        return 0;
    }
    // "1: FLOCK  ADVISORY  WRITE 4242 08:01:131090 0 EOF": the device in hexadecimal, the inode
    // in decimal. Waiters are listed with "->" and hold nothing.
    std::ostringstream id;
    id << std::hex << std::setfill('0') << std::setw(2) << major(file.st_dev) << ':' << std::setw(2)
       << minor(file.st_dev) << ':' << std::dec << file.st_ino;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        int pid = 0;
        if (fields >> number >> kind >> mode >> access >> pid >> where && kind == "FLOCK" &&
            where == id.str()) {
            return pid;
        }
    }
    return 0;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

}  // namespace tamsel
