// One copy per user on Windows: a named mutex in the logon session's "Local\" namespace. The
// system releases it with the process, so a crashed copy never blocks the next one.
#include "platform/SingleInstanceLock.h"

#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <vector>

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

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The user account a process runs as; empty when it cannot be read (another user's process).
std::vector<char> ProcessUser(HANDLE process) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) {
        return {};
    }
    const UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(raw, TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    if (size == 0 || !::GetTokenInformation(raw, TokenUser, user.data(), size, &size)) {
        return {};
    }
    return user;
}

bool SameUser(const std::vector<char>& a, const std::vector<char>& b) {
    return !a.empty() && !b.empty() &&
           ::EqualSid(reinterpret_cast<const TOKEN_USER*>(a.data())->User.Sid,
                      reinterpret_cast<const TOKEN_USER*>(b.data())->User.Sid);
}

std::wstring ImagePath(HANDLE process) {
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process, 0, path.data(), &size)) {
        return {};
    }
    path.resize(size);
    return path;
}

}  // namespace

// The mutex does not name its holder: the holder is taken to be another process of this user
// running the same program file. 0 when there is none.
int SingleInstanceLock::HolderPid() const {
    // Read as the other processes' paths are, so that both are written alike.
    const std::wstring own = ImagePath(::GetCurrentProcess());
    const std::vector<char> user = ProcessUser(::GetCurrentProcess());
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (own.empty() || snapshot.get() == INVALID_HANDLE_VALUE) {
        return 0;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) {
            continue;
        }
        const UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (process && ::_wcsicmp(ImagePath(process.get()).c_str(), own.c_str()) == 0 &&
            SameUser(ProcessUser(process.get()), user)) {
            return static_cast<int>(entry.th32ProcessID);
        }
    }
    return 0;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (mutex_ != nullptr) {
        ::ReleaseMutex(static_cast<HANDLE>(mutex_));
        ::CloseHandle(static_cast<HANDLE>(mutex_));
    }
}

}  // namespace tamsel
