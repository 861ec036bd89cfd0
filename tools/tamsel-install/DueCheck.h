#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "util/DateTime.h"

namespace tamsel::desktop {

// Starts a program with its arguments; the result is the exit status the due check ends with.
using StartProgram =
    std::function<int(const std::string& program, const std::vector<std::string>& arguments)>;

// The background run's due check for the kit in kitFolder. It reads the kit's local settings for
// the schedule and the "RunAtDate=" line (d/m/yyyy) of the kit's "tamsel.ini", then starts
// "Updater/tamsel-updater /SILENT" when that date has come, when the line is missing or holds no
// date. The schedule "Never" starts nothing whatever the date says. Returns 0 when nothing was
// due, the started program's status, or 1 with a message on err when a file is missing or
// unreadable.
int RunDueCheck(const std::string& kitFolder, const DateTime& today, const StartProgram& start,
                std::ostream& out, std::ostream& err);

// Replaces this process with the program (the lock the updater holds then belongs to the run
// the timer started); returns only when that fails, with 127. On Windows the program starts on
// its own instead (with ".exe" added to its name) and 0 comes back.
int ExecProgram(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tamsel::desktop
