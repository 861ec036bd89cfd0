#include "platform/FileLock.h"

#include <windows.h>

#include "util/windows/WideText.h"

namespace tamsel {

FileLock::FileLock(const std::string& path) {
    const HANDLE file = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    handle_ = file;
    OVERLAPPED whole{};
    held_ = ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;
}

FileLock::~FileLock() {
    if (handle_ != nullptr) {
        // Closing the file releases the lock.
        ::CloseHandle(static_cast<HANDLE>(handle_));
    }
}

}  // namespace tamsel
