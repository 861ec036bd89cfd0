// The process list from a Toolhelp snapshot; a close request is the close message posted to the
// process's visible top-level windows that have no parent or owner. Nothing is ever terminated.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>

#include "platform/ProcessControl.h"
#include "util/windows/WideText.h"

namespace tamsel {

namespace {

class Win32ProcessControl : public ProcessControl {
  public:
    std::vector<RunningProcess> processes() override;
    void requestClose(int pid) override;
};

std::string ImagePath(DWORD pid) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return {};
    }
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    const bool read = ::QueryFullProcessImageNameW(process, 0, path.data(), &size) != 0;
    ::CloseHandle(process);
    return read ? NarrowPath(std::wstring_view(path.data(), size)) : std::string();
}

struct CloseSearch {
    DWORD pid;
};

BOOL CALLBACK CloseTopLevelWindow(HWND window, LPARAM param) {
    const auto* search = reinterpret_cast<const CloseSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid && ::GetParent(window) == nullptr &&
        ::GetWindow(window, GW_OWNER) == nullptr && ::IsWindowVisible(window)) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

std::vector<RunningProcess> Win32ProcessControl::processes() {
    std::vector<RunningProcess> list;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return list;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == 0) {
            continue;  // the idle process
        }
        const std::string path = ImagePath(entry.th32ProcessID);
        // A program is found by its full path; the name alone when the path cannot be read.
        list.push_back({static_cast<int>(entry.th32ProcessID), path,
                        path.empty() ? Narrow(entry.szExeFile) : path});
    }
    ::CloseHandle(snapshot);
    std::sort(list.begin(), list.end(),
              [](const RunningProcess& a, const RunningProcess& b) { return a.pid < b.pid; });
    return list;
}

void Win32ProcessControl::requestClose(int pid) {
    CloseSearch search{static_cast<DWORD>(pid)};
    ::EnumWindows(CloseTopLevelWindow, reinterpret_cast<LPARAM>(&search));
}

}  // namespace

ProcessControl& SystemProcessControl() {
    static Win32ProcessControl control;
    return control;
}

}  // namespace tamsel
