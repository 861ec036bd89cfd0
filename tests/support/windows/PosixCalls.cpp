// The POSIX calls the tests use that the C library of Windows lacks.
#include <windows.h>

#include <tlhelp32.h>

#include "support/windows/sys/mman.h"

namespace {

DWORD PageProtection(int protection) {
    if ((protection & PROT_WRITE) != 0) {
        return PAGE_READWRITE;
    }
    return (protection & PROT_READ) != 0 ? PAGE_READONLY : PAGE_NOACCESS;
}

}  // namespace

void* mmap(void* address, std::size_t size, int protection, int flags, int fd, long offset) {
    if ((flags & MAP_ANONYMOUS) == 0 || fd != -1 || offset != 0) {
        return MAP_FAILED;
    }
    void* pages =
        ::VirtualAlloc(address, size, MEM_COMMIT | MEM_RESERVE, PageProtection(protection));
    return pages != nullptr ? pages : MAP_FAILED;
}

int mprotect(void* address, std::size_t size, int protection) {
    DWORD previous = 0;
    return ::VirtualProtect(address, size, PageProtection(protection), &previous) ? 0 : -1;
}

int munmap(void* address, std::size_t) {
    return ::VirtualFree(address, 0, MEM_RELEASE) ? 0 : -1;
}

long sysconf(int name) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return name == _SC_PAGESIZE ? static_cast<long>(system.dwPageSize) : -1;
}

// The process that started this one, from the system's process list; 0 when it is not listed.
int getppid() {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) {
            parent = entry.th32ParentProcessID;
        }
    }
    ::CloseHandle(snapshot);
    return static_cast<int>(parent);
}
