#pragma once

#include <string>

#include "config/CConfiguration.h"
#include "util/DateTime.h"

namespace tamsel {

inline constexpr const char* kLocalSettingsFile = "localtamselupdater.ini";
inline constexpr const char* kGlobalSettingsFile = "globaltamselupdater.ini";
inline constexpr const char* kOldSettingsFile = "tamselupdater.ini";

// Loads the two settings files for a program living in appPath. An old single settings file
// beside the program (or else in its parent folder) is first split into the two current files.
// Each file is looked for in the parent folder first, then beside the program; a missing one is
// replaced by its defaults, written in the parent folder. A file that exists but cannot be read is
// never replaced: TamselError "Unable to read settings file '<path>'". False, changing nothing,
// when appPath is empty.
bool LoadSettings(const std::string& appPath, CConfiguration& local, CConfiguration& global,
                  const DateTime& now = Now());

// Splits an old single settings file into the local and global files of its own folder, then
// deletes it once both are written. A global file there that exists but cannot be read stops the
// migration; an old file that cannot be read throws as LoadSettings does.
void MigrateOldSettings(const std::string& oldFile);

}  // namespace tamsel
