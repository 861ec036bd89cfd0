#pragma once

#include <chrono>
#include <string>

namespace tamsel {

struct ShellRequest {
    std::string verb;  // empty or "open"
    std::string file;
    std::string parameters;
    std::string folder;  // the working folder; empty for the current one
    int showState = 1;
};

// Opens a file, folder or address the way the desktop does. The result is numbered as the shell
// numbers it: above 32 success; otherwise 2 file not found, 3 path not found, 5 access denied,
// 8 out of memory, 11 not a valid program, 31 no program for the file's type, 1 anything else.
class ShellLauncher {
  public:
    virtual ~ShellLauncher() = default;
    virtual int open(const ShellRequest& request) = 0;
};

// Starts an executable (ELF image or "#!" script with execute permission) detached in its own
// session; opens anything else with the desktop's opener, xdg-open. Leaves no child unreaped.
class LinuxShellLauncher : public ShellLauncher {
  public:
    // opener: the program that opens documents; openerWait: how long to wait for its verdict
    // before taking a still running opener as a success.
    explicit LinuxShellLauncher(std::string opener = "xdg-open",
                                std::chrono::milliseconds openerWait = std::chrono::seconds(5))
        : opener_(std::move(opener)), openerWait_(openerWait) {}
    int open(const ShellRequest& request) override;

  private:
    std::string opener_;
    std::chrono::milliseconds openerWait_;
};

// The one system launcher, for callers that are not handed another.
ShellLauncher& SystemShellLauncher();

}  // namespace tamsel
