#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "app/frmMain.h"
#include "engine/UpdateRun.h"
#include "platform/SingleInstanceLock.h"

namespace tamsel {

// One start of the program on any toolkit: the single-instance lock, the run object and the main
// window. Start loads the main window; the program ends when it unloads.
class UpdaterApp {
  public:
    UpdaterApp(Toolkit& toolkit, const std::string& appPath, std::string commandLine,
               HttpTransportFactory makeTransport = {}, std::string lockPath = {});

    void Start();
    bool Finished() const { return !main_.IsLoaded(); }
    // The process exit status once the program has ended: 0 when the run got to its end, 1
    // otherwise. A copy that gave way to a running one says so on errors.
    int ExitStatus(std::ostream& errors) const;
    // A copy that gave way asks the window manager to bring the running copy's window to the
    // front, so a second start from the menu shows the updater the user is looking for.
    void ShowRunningCopy() const;

    UpdateRun& Run() { return run_; }
    frmMain& Main() { return main_; }

  private:
    SingleInstanceLock lock_;
    UpdateRun run_;
    frmMain main_;
    // The registry the update log reads (country, class registrations).
};

// The folder holding the running executable.
std::string ProgramFolder();

// The program's arguments joined by spaces, as one command line.
std::string JoinArguments(int argc, char** argv);

}  // namespace tamsel
