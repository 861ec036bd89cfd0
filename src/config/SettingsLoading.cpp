#include "config/SettingsLoading.h"

#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

void MigrateOldSettings(const std::string& oldFile) {
    CConfiguration old;
    old.readFile(oldFile);

    const std::string folder = AddTrailingBackslash(FolderWithBackslash(oldFile));
    CConfiguration local;
    local.Path(folder + kLocalSettingsFile);

    CConfiguration global;
    const std::string globalPath = folder + kGlobalSettingsFile;
    if (FileExists(globalPath)) {
        if (!global.readFile(globalPath)) {
            return;
        }
    } else {
        global.Path(globalPath);
        for (const char* key : {"primary_catalogue", "secondary_catalogue", "remote"}) {
            global.putValue(key, old.getValue(key));
        }
    }

    for (const auto& line : old.asCollection()) {
        if (line->myType() != CSetting::SettingLine) {
            continue;
        }
        const std::string key = line->Key();
        if (key == "lastupdated" || key == "office") {
            local.putValue(key, line->Value());
        } else if (key == "historical" || key == "local") {
            local.add(CConfiguration::Setting(key, line->Value()));
        }
    }

    global.Dirty();
    local.Dirty();
    global.commit();
    local.commit();
    SafeDeleteFile(oldFile);
}

namespace {

// Reads the file from the parent folder when it is there, else from beside the program.
bool ReadFromEitherFolder(CConfiguration& config, const std::string& appPath,
                          const std::string& parent, const std::string& name) {
    const std::string inParent = parent + "/" + name;
    return config.readFile(FileExists(inParent) ? inParent : appPath + "/" + name);
}

}  // namespace

bool LoadSettings(const std::string& appPath, CConfiguration& local, CConfiguration& global,
                  const DateTime& now) {
    if (appPath.empty()) {
        return false;
    }
    const std::string parent = ParentFolder(appPath);

    if (FileExists(appPath + "/" + kOldSettingsFile)) {
        MigrateOldSettings(appPath + "/" + kOldSettingsFile);
    } else if (FileExists(parent + "/" + kOldSettingsFile)) {
        MigrateOldSettings(parent + "/" + kOldSettingsFile);
    }

    if (!ReadFromEitherFolder(global, appPath, parent, kGlobalSettingsFile)) {
        global.Default2(parent + "/" + kGlobalSettingsFile, now);
    }
    if (!ReadFromEitherFolder(local, appPath, parent, kLocalSettingsFile)) {
        local.Default1(parent + "/" + kLocalSettingsFile, now);
    }
    return true;
}

}  // namespace tamsel
