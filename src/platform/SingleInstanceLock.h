#pragma once

#include <string>

namespace tamsel {

// Tells whether another copy of the program is running for this user: the first copy holds an
// exclusive lock on a file in the user's runtime folder for as long as it lives. The lock goes
// with the process, so a crashed copy never blocks the next one.
class SingleInstanceLock {
  public:
    // Tries to take the lock on the file; lockPath empty means the default file.
    explicit SingleInstanceLock(std::string lockPath = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Another copy holds the lock.
    bool PreviousInstance() const { return previous_; }
    const std::string& Path() const { return path_; }
    // The process that holds the lock (from the kernel's table of locks); 0 when unknown.
    int HolderPid() const;

    // "$XDG_RUNTIME_DIR/tamsel-updater.lock", or a per-user file in the temporary folder.
    static std::string DefaultPath();

  private:
    std::string path_;
    int fd_ = -1;
    void* mutex_ = nullptr;  // the named mutex that stands for the lock on Windows
    bool previous_ = false;
};

}  // namespace tamsel
