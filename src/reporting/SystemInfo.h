#pragma once

#include <string>
#include <string_view>
#include <vector>

// The facts about this machine that the environment texts are made from, read from the system's
// own sources: /etc/os-release, uname, the zone settings, the mount table, the network adapters,
// the account database and the locale.
namespace tamsel {

// One network adapter: its hardware address as "00-0C-29-3A-4B-5C" and its first IPv4 address.
struct clsNetwork {
    std::string MacAddress;
    std::string IpAddress;
};

// A mounted disk file system and the space its user may still write.
struct DiskSpace {
    std::string mountPoint;
    double availableBytes = 0;
};

// PRETTY_NAME of an os-release text, unquoted; empty when it has none.
std::string PrettyName(std::string_view osRelease);
// The system's name: PRETTY_NAME of /etc/os-release, else the kernel's name; empty when unknown.
std::string SystemName();
// The kernel release ("6.1.0-18-amd64"); empty when unknown.
std::string KernelRelease();
// The zone's name ("Europe/London") from $TZ, /etc/timezone or the /etc/localtime link; empty
// when it cannot be known.
std::string ZoneName();
// The country of the user's locale ("United Kingdom"); empty for the C locale.
std::string LocaleCountry();

// The local disk file systems of a mount table (/proc/self/mounts format): block devices only,
// so pseudo and network file systems are left out, and neither removable devices nor read-only
// images, nor users' media mounted below /media/USER or /run/media/USER (whoever the user); each
// device once, at its first mount point. isRemovable answers for a device path.
std::vector<std::string> LocalDiskMounts(std::string_view mountTable,
                                         bool (*isRemovable)(const std::string& device));
// The local disks of this machine with their free space.
std::vector<DiskSpace> LocalDisks();

// The adapters with a hardware address, loopback left out, ordered by interface name.
std::vector<clsNetwork> AdapterList();
// The login name of the account running the program; empty when it cannot be known.
std::string LoginName();

}  // namespace tamsel
