#pragma once

namespace tamsel {

// Sends the window manager's close request (WM_DELETE_WINDOW) to every top-level X11 window
// whose _NET_WM_PID is pid and that takes part in that protocol. Returns how many windows were
// asked, or -1 when no X display could be reached. Does not wait for the windows to close.
int RequestWindowClose(int pid);

}  // namespace tamsel
