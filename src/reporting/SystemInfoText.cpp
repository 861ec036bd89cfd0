// The texts of the system's own files that the environment facts are read from.
#include "reporting/SystemInfo.h"

#include <set>
#include <sstream>

#include "util/Text.h"

namespace tamsel {

namespace {

// Mount table fields write blanks, tabs, newlines and backslashes as octal escapes.
std::string DecodeMountField(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string octal(field.substr(i + 1, 3));
            if (octal.find_first_not_of("01234567") == std::string::npos) {
                text += static_cast<char>(std::stoi(octal, nullptr, 8));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

// Where desktops mount a user's removable media: /media/USER/NAME or /run/media/USER/NAME. Such a
// disk is never one of the machine's own, and its path names a user.
bool IsUsersMediaMount(std::string_view mountPoint) {
    for (std::string_view root : {"/media/", "/run/media/"}) {
        if (mountPoint.starts_with(root)) {
            const auto user = mountPoint.substr(root.size());
            const auto slash = user.find('/');
            return slash != std::string_view::npos && slash > 0 && slash + 1 < user.size();
        }
    }
    return false;
}

}  // namespace

std::string PrettyName(std::string_view osRelease) {
    std::istringstream lines{std::string(osRelease)};
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with("PRETTY_NAME=")) {
            continue;
        }
        std::string value = TrimSpaces(line.substr(12));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return value;
    }
    return {};
}

std::vector<std::string> LocalDiskMounts(std::string_view mountTable,
                                         bool (*isRemovable)(const std::string& device)) {
    static const std::set<std::string> kImageTypes = {"squashfs", "iso9660", "udf", "erofs"};
    std::vector<std::string> mounts;
    std::set<std::string> devices;
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string type;
        if (!(fields >> device >> mountPoint >> type) || !device.starts_with("/dev/") ||
            kImageTypes.contains(type)) {
            continue;
        }
        device = DecodeMountField(device);
        if (devices.contains(device) || isRemovable(device)) {
            continue;
        }
        mountPoint = DecodeMountField(mountPoint);
        if (IsUsersMediaMount(mountPoint)) {
            continue;
        }
        devices.insert(device);
        mounts.push_back(mountPoint);
    }
    return mounts;
}

}  // namespace tamsel
