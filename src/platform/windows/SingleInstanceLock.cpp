// One copy per user on Windows: a named mutex in the logon session's "Local\" namespace. The
// system releases it with the process, so a crashed copy never blocks the next one.
#include "platform/SingleInstanceLock.h"

#include <windows.h>

#include "util/windows/WideText.h"

namespace tamsel {

std::string SingleInstanceLock::DefaultPath() {
    return "Local\\tamsel-updater";
}

SingleInstanceLock::SingleInstanceLock(std::string lockPath)
    : path_(lockPath.empty() ? DefaultPath() : std::move(lockPath)) {
    // A name other than the default (a test's own) becomes a name of the same namespace; "\" is
    // the one character a mutex name cannot hold.
    std::wstring name = Widen(path_);
    if (path_ != DefaultPath()) {
        for (wchar_t& c : name) {
            c = c == L'\\' ? L'/' : c;
        }
        name = L"Local\\" + name;
    }
    const HANDLE mutex = ::CreateMutexW(nullptr, TRUE, name.c_str());
    if (mutex == nullptr) {
        return;  // no mutex possible: behave as the only copy
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        previous_ = true;
        ::CloseHandle(mutex);
        return;
    }
    mutex_ = mutex;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (mutex_ != nullptr) {
        ::ReleaseMutex(static_cast<HANDLE>(mutex_));
        ::CloseHandle(static_cast<HANDLE>(mutex_));
    }
}

}  // namespace tamsel
