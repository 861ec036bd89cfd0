#include <filesystem>
#include <vector>

#include "DesktopFiles.h"
#include "FileActions.h"
#include "Installer.h"
#include "util/FileSystem.h"

namespace tamsel::desktop {

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kTextMode =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

struct MarkedFile {
    std::string path;
    std::string (*text)(const std::string& kitFolder);
};

std::string UnitFolder(const DesktopPaths& paths) {
    return paths.configHome + "/systemd/user";
}
std::string TimerLink(const DesktopPaths& paths) {
    return UnitFolder(paths) + "/timers.target.wants/" + kTimerName;
}
std::string IconPath(const DesktopPaths& paths) {
    return paths.dataHome + "/icons/hicolor/scalable/apps/" + kIconName + ".svg";
}
MarkedFile Menu(const DesktopPaths& paths) {
    return {paths.dataHome + "/applications/" + kMenuEntryName, MenuEntry};
}
std::vector<MarkedFile> TimerFiles(const DesktopPaths& paths) {
    return {{UnitFolder(paths) + "/" + kServiceName, ServiceUnit},
            {UnitFolder(paths) + "/" + kTimerName, TimerUnit}};
}
std::vector<MarkedFile> LoginFiles(const DesktopPaths& paths) {
    return {{paths.configHome + "/autostart/" + kAutostartEntryName, AutostartEntry}};
}

// Whose file this is: a marker names its kit; an unmarked file is someone else's.
enum class Owner { Nobody, ThisKit, OtherKit, Unmarked };
Owner OwnerOf(const std::string& path, const std::string& kitFolder, std::string& otherKit) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        return Owner::Nobody;
    }
    otherKit = KitOfText(ReadIfPresent(path));
    if (otherKit.empty()) {
        return Owner::Unmarked;
    }
    return otherKit == kitFolder ? Owner::ThisKit : Owner::OtherKit;
}

// Removes the files that belong to this kit; says why it leaves the others.
bool RemoveMarked(const std::vector<MarkedFile>& files, const std::string& kitFolder,
                  std::ostream& out) {
    bool removed = false;
    for (const MarkedFile& file : files) {
        std::string other;
        switch (OwnerOf(file.path, kitFolder, other)) {
            case Owner::ThisKit:
                if (!fs::remove(file.path)) {
                    Fail("cannot remove " + file.path);
                }
                out << "removed " << file.path << "\n";
                removed = true;
                break;
            case Owner::OtherKit:
                out << "left " << file.path << ": it belongs to the kit in " << other << "\n";
                break;
            case Owner::Unmarked:
                out << "left " << file.path << ": it was not written for a kit\n";
                break;
            case Owner::Nobody:
                break;
        }
    }
    return removed;
}

void WriteMarked(const std::vector<MarkedFile>& files, const std::string& kitFolder,
                 std::ostream& out) {
    for (const MarkedFile& file : files) {
        std::string other;
        if (OwnerOf(file.path, kitFolder, other) == Owner::OtherKit) {
            out << "replacing the integration of the kit in " << other << "\n";
        }
        PutFile(file.path, file.text(kitFolder), kTextMode, out);
    }
}

void CheckMarked(const std::vector<MarkedFile>& files, const std::string& kitFolder) {
    for (const MarkedFile& file : files) {
        std::string other;
        if (OwnerOf(file.path, kitFolder, other) == Owner::Unmarked) {
            Fail(file.path + " was not written for a kit: move it away first");
        }
    }
}

// What enabling the timer links: timers.target then wants it at every login.
void LinkTimer(const DesktopPaths& paths, std::ostream& out) {
    const std::string link = TimerLink(paths);
    const fs::path target = UnitFolder(paths) + "/" + kTimerName;
    std::error_code error;
    if (fs::is_symlink(link, error) && fs::read_symlink(link, error) == target) {
        out << "unchanged " << link << "\n";
        return;
    }
    fs::remove(link, error);
    fs::create_directories(fs::path(link).parent_path(), error);
    fs::create_symlink(target, link, error);
    if (error) {
        Fail("cannot link " + link + ": " + error.message());
    }
    out << "linked " << link << "\n";
}

void UnlinkTimer(const DesktopPaths& paths, std::ostream& out) {
    std::error_code error;
    if (fs::is_symlink(TimerLink(paths), error) && fs::remove(TimerLink(paths), error)) {
        out << "removed " << TimerLink(paths) << "\n";
    }
}

}  // namespace

void CheckDesktopFiles(const std::string& kitFolder, bool systemdTimer, const DesktopPaths& paths) {
    CheckMarked({Menu(paths)}, kitFolder);
    CheckMarked(systemdTimer ? TimerFiles(paths) : LoginFiles(paths), kitFolder);
}

void IntegrateKit(const std::string& kitFolder, bool systemdTimer, const DesktopPaths& paths,
                  std::ostream& out) {
    const std::vector<MarkedFile> runs = systemdTimer ? TimerFiles(paths) : LoginFiles(paths);

    PutFile(IconPath(paths), kIconSvg, kTextMode, out);
    WriteMarked({Menu(paths)}, kitFolder, out);
    WriteMarked(runs, kitFolder, out);
    // Only one of the two ways starts the background runs.
    if (systemdTimer) {
        LinkTimer(paths, out);
        RemoveMarked(LoginFiles(paths), kitFolder, out);
    } else if (RemoveMarked(TimerFiles(paths), kitFolder, out)) {
        UnlinkTimer(paths, out);
    }
}

void UninstallKit(const std::string& kitFolder, const DesktopPaths& paths, std::ostream& out) {
    CheckKitFolder(kitFolder);
    if (RemoveMarked({Menu(paths)}, kitFolder, out)) {
        std::error_code error;
        if (fs::remove(IconPath(paths), error)) {
            out << "removed " << IconPath(paths) << "\n";
        }
    }
    if (RemoveMarked(TimerFiles(paths), kitFolder, out)) {
        UnlinkTimer(paths, out);
    }
    RemoveMarked(LoginFiles(paths), kitFolder, out);
    out << "the kit's own files in " << kitFolder << " are left as they are\n";
}

}  // namespace tamsel::desktop
