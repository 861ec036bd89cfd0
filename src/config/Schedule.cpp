#include "config/Schedule.h"

#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

DateTime NextRunDate(const std::string& autoupdate, const DateTime& now) {
    const std::string key = ToUpper(autoupdate);
    if (key == "DAILY")
        return AddDays(now, 1);
    if (key == "2 DAYS")
        return AddDays(now, 2);
    if (key == "3 DAYS")
        return AddDays(now, 3);
    if (key == "4 DAYS")
        return AddDays(now, 4);
    if (key == "5 DAYS")
        return AddDays(now, 5);
    if (key == "WEEKLY")
        return AddDays(now, 7);
    if (key == "MONTHLY")
        return AddMonths(now, 1);
    if (key == "NEVER")
        return AddMonths(now, 12);
    return DateTime{};
}

std::string ScheduleFilePath(const CConfiguration& local) {
    return ParentFolder(local.getLocal()) + "/tamsel.ini";
}

bool ScheduleNextRun(const CConfiguration& local, const DateTime& now) {
    const DateTime next = NextRunDate(local.getValue("autoupdate"), now);
    return ReplaceLinesInFile(ScheduleFilePath(local), "RunAtDate", "RunAtDate=" + DateToDmy(next));
}

}  // namespace tamsel
