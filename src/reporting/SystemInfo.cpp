#include "reporting/SystemInfo.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <langinfo.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "util/FileSystem.h"
#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

namespace {

bool DeviceIsRemovable(const std::string& device) {
    std::error_code error;
    const fs::path resolved = fs::canonical(device, error);
    if (error) {
        return false;
    }
    // A partition's own folder has no "removable" flag; its disk's folder above it has.
    fs::path block = fs::canonical(fs::path("/sys/class/block") / resolved.filename(), error);
    for (int up = 0; up < 2 && !error; ++up, block = block.parent_path()) {
        std::string flag;
        if (ReadWholeFile((block / "removable").string(), flag)) {
            return flag.starts_with("1");
        }
    }
    return false;
}

std::string HexByte(unsigned char byte) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", byte);
    return digits;
}

}  // namespace

std::string SystemName() {
    std::string osRelease;
    if (ReadWholeFile("/etc/os-release", osRelease) ||
        ReadWholeFile("/usr/lib/os-release", osRelease)) {
        if (std::string name = PrettyName(osRelease); !name.empty()) {
            return name;
        }
    }
    utsname system{};
    return ::uname(&system) == 0 ? system.sysname : "";
}

std::string KernelRelease() {
    utsname system{};
    return ::uname(&system) == 0 ? system.release : "";
}

std::string ZoneName() {
    if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
        std::string zone = tz[0] == ':' ? tz + 1 : tz;
        const auto cut = zone.find("zoneinfo/");
        return cut == std::string::npos ? zone : zone.substr(cut + 9);
    }
    std::string zone;
    if (ReadWholeFile("/etc/timezone", zone) && !TrimSpaces(zone).empty()) {
        zone = zone.substr(0, zone.find('\n'));
        return TrimSpaces(zone);
    }
    std::error_code error;
    const std::string target = fs::read_symlink("/etc/localtime", error).string();
    const auto cut = target.find("zoneinfo/");
    return error || cut == std::string::npos ? "" : target.substr(cut + 9);
}

std::string LocaleCountry() {
    const locale_t user = ::newlocale(LC_ADDRESS_MASK, "", nullptr);
    if (user == nullptr) {
        return {};
    }
    std::string country = ::nl_langinfo_l(_NL_ADDRESS_COUNTRY_NAME, user);
    ::freelocale(user);
    return country;
}

std::vector<DiskSpace> LocalDisks() {
    std::string table;
    if (!ReadWholeFile("/proc/self/mounts", table)) {
        return {};
    }
    std::vector<DiskSpace> disks;
    for (const auto& mountPoint : LocalDiskMounts(table, DeviceIsRemovable)) {
        struct statvfs space {};
        if (::statvfs(mountPoint.c_str(), &space) == 0) {
            disks.push_back({mountPoint, static_cast<double>(space.f_bavail) *
                                             static_cast<double>(space.f_frsize)});
        }
    }
    return disks;
}

std::vector<clsNetwork> AdapterList() {
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) {
        return {};
    }
    std::map<std::string, clsNetwork> byName;
    for (const ifaddrs* entry = all; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const int family = entry->ifa_addr->sa_family;
        if (family == AF_PACKET) {
            sockaddr_ll link{};
            std::copy_n(reinterpret_cast<const char*>(entry->ifa_addr), sizeof link,
                        reinterpret_cast<char*>(&link));
            const bool allZero = std::all_of(link.sll_addr, link.sll_addr + 6,
                                             [](unsigned char b) { return b == 0; });
            if (link.sll_halen != 6 || allZero) {
                continue;
            }
            std::string mac;
            for (int i = 0; i < 6; ++i) {
                mac += (i > 0 ? "-" : "") + HexByte(link.sll_addr[i]);
            }
            byName[entry->ifa_name].MacAddress = mac;
        } else if (family == AF_INET && byName[entry->ifa_name].IpAddress.empty()) {
            sockaddr_in address{};
            std::copy_n(reinterpret_cast<const char*>(entry->ifa_addr), sizeof address,
                        reinterpret_cast<char*>(&address));
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
            byName[entry->ifa_name].IpAddress = text;
        }
    }
    ::freeifaddrs(all);
    std::vector<clsNetwork> adapters;
    for (const auto& [name, adapter] : byName) {
        if (!adapter.MacAddress.empty()) {
            adapters.push_back(adapter);
        }
    }
    return adapters;
}

std::string LoginName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return found->pw_name;
    }
    const char* user = std::getenv("USER");
    return user != nullptr ? user : "";
}

}  // namespace tamsel
