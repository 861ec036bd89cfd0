#include "DueCheck.h"

#include <iostream>
#include <optional>
#include <sstream>

#include "config/CConfiguration.h"
#include "config/Schedule.h"
#include "config/SettingsLoading.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel::desktop {

namespace {

// The text after "=" of the first line holding "RunAtDate" in any case; nothing when no line does.
std::optional<std::string> RunAtDateValue(const std::string& scheduleText) {
    std::istringstream lines(scheduleText);
    std::string line;
    while (std::getline(lines, line)) {
        if (ToUpper(line).find("RUNATDATE") == std::string::npos) {
            continue;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto equals = line.find('=');
        return TrimSpaces(equals == std::string::npos ? "" : line.substr(equals + 1));
    }
    return std::nullopt;
}

bool OnOrBefore(const DateTime& date, const DateTime& today) {
    if (date.year != today.year) {
        return date.year < today.year;
    }
    if (date.month != today.month) {
        return date.month < today.month;
    }
    return date.day <= today.day;
}

}  // namespace

int RunDueCheck(const std::string& kitFolder, const DateTime& today, const StartProgram& start,
                std::ostream& out, std::ostream& err) {
    const std::string settingsPath = kitFolder + "/" + kLocalSettingsFile;
    CConfiguration local;
    if (!local.readFile(settingsPath)) {
        err << "cannot read the kit's settings " << settingsPath << "\n";
        return 1;
    }
    if (ToUpper(local.getValue("autoupdate")) == "NEVER") {
        out << "the schedule is \"Never\": no background run\n";
        return 0;
    }
    // A kit whose folder was never chosen keeps its schedule beside the settings.
    const std::string schedulePath =
        local.getLocal().empty() ? kitFolder + "/tamsel.ini" : ScheduleFilePath(local);
    std::string scheduleText;
    if (!ReadWholeFile(schedulePath, scheduleText)) {
        err << "cannot read the kit's schedule " << schedulePath << "\n";
        return 1;
    }
    const std::optional<std::string> value = RunAtDateValue(scheduleText);
    DateTime due;
    if (value && ParseDateTimeText(*value, due) && !OnOrBefore(due, today)) {
        out << "next background run on " << *value << "\n";
        return 0;
    }
    if (!value) {
        out << "no RunAtDate line in " << schedulePath << ": running now\n";
    } else {
        out << "background run due (RunAtDate=" << *value << ")\n";
    }
    return start(kitFolder + "/Updater/tamsel-updater", {"/SILENT"});
}

}  // namespace tamsel::desktop
