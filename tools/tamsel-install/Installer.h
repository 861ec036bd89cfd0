#pragma once

#include <ostream>
#include <string>

// Lays out a working kit for the current user and makes it feel installed: the menu entry, and
// background runs started by a daily timer (or, without systemd, at login). Each step prints
// what it did; running it again changes nothing. Problems throw TamselError with a message.
namespace tamsel::desktop {

// Where the user's desktop files live.
struct DesktopPaths {
    std::string configHome;  // $XDG_CONFIG_HOME, else $HOME/.config
    std::string dataHome;    // $XDG_DATA_HOME, else $HOME/.local/share
};
DesktopPaths PathsFromEnvironment();

struct InstallRequest {
    std::string kitFolder;  // absolute, without a trailing "/"
    std::string remote;
    // Written into the local settings when not empty.
    std::string user;
    std::string department;
    std::string email;
    std::string updaterProgram;   // copied to Updater/tamsel-updater
    std::string dueCheckProgram;  // copied to Updater/tamsel-due-check
    bool systemdTimer = true;     // false: the login entry starts the due check instead
    std::string publicKey;        // written into the global settings when not empty
};

// Refuses a folder that exists and holds something, but no kit.
void CheckKitFolder(const std::string& kitFolder);
// Refuses a server address or user detail that would break its line of the settings file.
void CheckSettingsValues(const InstallRequest& request);
// Refuses when a desktop file in the way was not written for a kit (someone made it by hand).
void CheckDesktopFiles(const std::string& kitFolder, bool systemdTimer, const DesktopPaths& paths);

void InstallKit(const InstallRequest& request, const DesktopPaths& paths, std::ostream& out);
// Removes this kit's desktop integration, never the kit's own files.
void UninstallKit(const std::string& kitFolder, const DesktopPaths& paths, std::ostream& out);

// The two halves of InstallKit.
void LayOutKit(const InstallRequest& request, std::ostream& out);
// The settings part of LayOutKit: the global and local settings and the schedule file. A value
// holding a line break or a double quote is refused.
void WriteKitSettings(const InstallRequest& request, std::ostream& out);
void IntegrateKit(const std::string& kitFolder, bool systemdTimer, const DesktopPaths& paths,
                  std::ostream& out);

}  // namespace tamsel::desktop
