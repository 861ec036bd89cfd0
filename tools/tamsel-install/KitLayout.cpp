#include <filesystem>

#include "FileActions.h"
#include "Installer.h"
#include "config/CConfiguration.h"
#include "config/Schedule.h"
#include "config/SettingsLoading.h"
#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel::desktop {

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kProgramMode = fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec;

// Files only a kit holds: an existing folder with one of them is a kit.
constexpr const char* kKitMarks[] = {kLocalSettingsFile, kGlobalSettingsFile, kOldSettingsFile,
                                     "Updater/tamsel-updater"};

void CopyProgram(const std::string& from, const std::string& to, std::ostream& out) {
    std::string content;
    if (!ReadWholeFile(from, content)) {
        Fail("cannot read the program " + from);
    }
    PutFile(to, content, kProgramMode, out);
}

// Reads a settings file, or starts it from its defaults when there is none. An existing file
// that cannot be read is never replaced.
CConfiguration OpenSettings(const std::string& path, bool local) {
    CConfiguration settings;
    if (!fs::exists(path)) {
        local ? settings.Default1(path) : settings.Default2(path);
    } else if (!settings.readFile(path)) {
        Fail("cannot read the settings file " + path);
    }
    return settings;
}

void SetValue(CConfiguration& settings, const std::string& key, const std::string& value) {
    if (settings.Find(key) && settings.getValue(key) == value) {
        return;
    }
    settings.setValue(key, value);
    settings.Dirty();
}

void SaveSettings(CConfiguration& settings, bool created, std::ostream& out) {
    if (!settings.commit()) {
        Fail("cannot write the settings file " + settings.Path());
    }
    out << (created || settings.isDirty() ? "wrote " : "unchanged ") << settings.Path() << "\n";
}

}  // namespace

void CheckKitFolder(const std::string& kitFolder) {
    if (kitFolder.find('"') != std::string::npos) {
        Fail(kitFolder + ": a settings file cannot hold a path with a double quote");
    }
    std::error_code error;
    const fs::file_status status = fs::status(kitFolder, error);
    if (!fs::exists(status)) {
        return;
    }
    if (!fs::is_directory(status)) {
        Fail(kitFolder + " is not a folder");
    }
    for (const char* mark : kKitMarks) {
        if (fs::exists(kitFolder + "/" + mark, error)) {
            return;
        }
    }
    if (!fs::is_empty(kitFolder, error) || error) {
        Fail(kitFolder + " holds other files and no kit: choose an empty folder or a kit");
    }
}

void CheckSettingsValues(const InstallRequest& request) {
    const std::pair<const char*, const std::string*> values[] = {
        {"--remote", &request.remote},
        {"--user", &request.user},
        {"--department", &request.department},
        {"--email", &request.email}};
    for (const auto& [option, value] : values) {
        if (value->find_first_of("\r\n\"") != std::string::npos) {
            Fail(std::string(option) +
                 ": a settings value cannot hold a line break or a double quote");
        }
    }
}

void LayOutKit(const InstallRequest& request, std::ostream& out) {
    const std::string& kit = request.kitFolder;
    CopyProgram(request.updaterProgram, kit + "/Updater/tamsel-updater", out);
    CopyProgram(request.dueCheckProgram, kit + "/Updater/tamsel-due-check", out);
    WriteKitSettings(request, out);
}

void WriteKitSettings(const InstallRequest& request, std::ostream& out) {
    // A line break would start a setting of its own, a double quote end a quoted value.
    for (const std::string* value : {&request.remote, &request.user, &request.department,
                                     &request.email, &request.publicKey}) {
        if (value->find_first_of("\r\n\"") != std::string::npos) {
            Fail("a setting cannot hold a line break or a double quote: " + *value);
        }
    }
    const std::string& kit = request.kitFolder;
    if (!fs::is_directory(kit) && !CreateFolderPath(kit + "/")) {
        Fail("cannot create the kit folder " + kit);
    }
    const std::string globalPath = kit + "/" + kGlobalSettingsFile;
    const bool newGlobal = !fs::exists(globalPath);
    CConfiguration global = OpenSettings(globalPath, false);
    SetValue(global, "remote", request.remote);
    if (!request.publicKey.empty()) {
        SetValue(global, "public_key", request.publicKey);
    }
    SaveSettings(global, newGlobal, out);

    const std::string localPath = kit + "/" + kLocalSettingsFile;
    const bool newLocal = !fs::exists(localPath);
    CConfiguration local = OpenSettings(localPath, true);
    if (local.getLocal().empty()) {
        // The kit folder as the system writes paths: a Windows user reads "\" there.
        SetValue(local, "local", NativePath(kit + "/Files"));
    }
    const std::pair<const char*, const std::string*> details[] = {
        {"username", &request.user},
        {"department", &request.department},
        {"email", &request.email}};
    for (const auto& [key, value] : details) {
        if (!value->empty()) {
            SetValue(local, key, *value);
        }
    }
    SaveSettings(local, newLocal, out);
    if (!fs::exists(local.getLocal())) {
        CreateFolderPath(local.getLocal() + "/");
        out << "created " << local.getLocal() << "\n";
    }

    // The updater only rewrites the schedule's line, so the file must be there with one.
    const std::string schedule = ScheduleFilePath(local);
    if (!fs::exists(schedule)) {
        PutFile(schedule, "[Tamsel]\r\nRunAtDate=\r\n",
                fs::perms::owner_read | fs::perms::owner_write, out);
    }
}

}  // namespace tamsel::desktop
