#pragma once

#include <string>

namespace tamsel {

// An exclusive advisory lock on a file, created when missing, held while this object lives; the
// constructor waits for it. The file is opened for reading only, so that everyone who may change
// what it guards can lock it, whoever made it.
class FileLock {
  public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return held_; }

  private:
    void* handle_ = nullptr;  // the system's handle of the open file
    int fd_ = -1;
    bool held_ = false;
};

}  // namespace tamsel
