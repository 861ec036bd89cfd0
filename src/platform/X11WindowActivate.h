#pragma once

namespace tamsel {

// Asks the window manager to activate (raise, restore and focus) the topmost window of the
// process, with _NET_ACTIVE_WINDOW as a pager or task bar would. False when no display could be
// reached or the process shows no window.
bool RequestWindowActivation(int pid);

}  // namespace tamsel
