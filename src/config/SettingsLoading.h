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
// Each file is looked for in the parent folder first, then beside the program; one that cannot
// be read is replaced by its defaults, written in the parent folder. False, changing nothing,
// when appPath is empty.
bool LoadSettings(const std::string& appPath, CConfiguration& local, CConfiguration& global,
                  const DateTime& now = Now());

// Splits an old single settings file into the local and global files of its own folder, then
// deletes it. A global file there that exists but cannot be read stops the migration.
void MigrateOldSettings(const std::string& oldFile);

}  // namespace tamsel
