#pragma once

#include <string>

#include "config/CConfiguration.h"
#include "util/DateTime.h"

namespace tamsel {

// The next automatic run date for an "autoupdate" value (any letter case): "Daily", "2 Days" to
// "5 Days", "Weekly", "Monthly" (calendar month), "Never" (a year on); anything else gives the
// zero date, 30/12/1899.
DateTime NextRunDate(const std::string& autoupdate, const DateTime& now);

// The kit's schedule file "tamsel.ini", in the parent folder of the local kit folder.
std::string ScheduleFilePath(const CConfiguration& local);

// Rewrites every "RunAtDate" line of the kit's schedule file "tamsel.ini", which lies in the
// parent folder of the local kit folder, as "RunAtDate=" + the next run date (d/m/yyyy). The file
// must already exist; no line is added.
bool ScheduleNextRun(const CConfiguration& local, const DateTime& now = Now());

}  // namespace tamsel
