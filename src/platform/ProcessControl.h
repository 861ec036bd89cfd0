#pragma once

#include <string>
#include <vector>

namespace tamsel {

struct RunningProcess {
    int pid = 0;
    std::string executable;     // the program file's path; empty when it cannot be read
    std::string firstArgument;  // the path it was started with, as a loader passes it on
};

// The running processes and a polite way to ask one to close.
class ProcessControl {
  public:
    virtual ~ProcessControl() = default;
    // Every process of this user that can be read, in ascending id order; the others are left
    // out.
    virtual std::vector<RunningProcess> processes() = 0;
    // Asks the process's own top-level windows to close; a process without one is left running.
    // Does not wait, and never signals.
    virtual void requestClose(int pid) = 0;
};

// The system's processes: read from /proc, those whose owner is this process's user; a close
// request goes to the process's X11 windows through the window manager's delete protocol.
class LinuxProcessControl : public ProcessControl {
  public:
    std::vector<RunningProcess> processes() override;
    void requestClose(int pid) override;
};

// The one system process control, for callers that are not handed another.
ProcessControl& SystemProcessControl();

}  // namespace tamsel
