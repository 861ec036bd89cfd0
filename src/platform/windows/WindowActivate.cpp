// Brings a running copy to the front: its visible top-level window is restored when minimised and
// made the foreground window.
#include <windows.h>

#include "platform/X11WindowActivate.h"

namespace tamsel {

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTopLevelWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid || !::IsWindowVisible(window) ||
        ::GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

bool RequestWindowActivation(int pid) {
    if (pid <= 0) {
        return false;
    }
    Search search{static_cast<DWORD>(pid), nullptr};
    // Windows come in z-order, topmost first: the first match is the one the user saw last.
    ::EnumWindows(FindTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return false;
    }
    if (::IsIconic(search.found)) {
        ::ShowWindow(search.found, SW_RESTORE);
    }
    return ::SetForegroundWindow(search.found) != 0;
}

}  // namespace tamsel
