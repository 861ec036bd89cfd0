#pragma once

#include <functional>
#include <memory>

namespace tamsel {

class EventLoop;
class Toolkit;

// What start hands back: whatever must stay alive while the program runs (the run object that
// owns the main form, say). It is released after the last form unloads, before the toolkit.
using KeepAlive = std::shared_ptr<void>;

// Runs the program on native windows: makes the process aware of each monitor's DPI, creates the
// event loop and toolkit, calls start (which loads and shows the first form, modeless), then
// pumps messages until no form is loaded any more or the loop is asked to quit. Returns the
// process exit code: what exitStatus answers once the loop has ended (0 without it).
int RunWin32Application(const std::function<KeepAlive(Toolkit& toolkit, EventLoop& loop)>& start,
                        const std::function<int()>& exitStatus = {});

}  // namespace tamsel
