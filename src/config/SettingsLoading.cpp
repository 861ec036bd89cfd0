#include "config/SettingsLoading.h"

#include <filesystem>

#include "util/Error.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(PathFromUtf8(path), error);
}

[[noreturn]] void Unreadable(const std::string& path) {
    throw TamselError(err::PermissionDenied, "LoadSettings",
                      "Unable to read settings file '" + path + "'");
}

}  // namespace

void MigrateOldSettings(const std::string& oldFile) {
    CConfiguration old;
    if (!old.readFile(oldFile)) {
        Unreadable(oldFile);
    }

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
    // The old file is the only copy of these settings until both new files are written.
    if (global.commit() && local.commit()) {
        SafeDeleteFile(oldFile);
    }
}

namespace {

// Reads the file from the parent folder when it is there, else from beside the program. False
// when there is no such file; an existing file that cannot be read stops the run rather than
// being replaced by defaults.
bool ReadFromEitherFolder(CConfiguration& config, const std::string& appPath,
                          const std::string& parent, const std::string& name) {
    const std::string inParent = parent + "/" + name;
    const std::string path = Exists(inParent) ? inParent : appPath + "/" + name;
    if (config.readFile(path)) {
        return true;
    }
    if (Exists(path)) {
        Unreadable(path);
    }
    return false;
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
