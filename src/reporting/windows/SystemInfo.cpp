// The facts about this machine from Win32: version, zone, locale, fixed drives, adapters and the
// login name.
#include "reporting/SystemInfo.h"

#include <windows.h>
#include <winsock2.h>

#include <iphlpapi.h>

#include <array>
#include <cstdio>
#include <vector>

#include "util/windows/WideText.h"

namespace tamsel {

std::string SystemName() {
    return "Microsoft Windows";
}

std::string KernelRelease() {
    const DWORD version = ::GetVersion();
    return std::to_string(LOBYTE(LOWORD(version))) + "." + std::to_string(HIBYTE(LOWORD(version))) +
           "." + std::to_string(version < 0x80000000 ? HIWORD(version) : 0);
}

std::string ZoneName() {
    TIME_ZONE_INFORMATION zone{};
    // Unknown is also what the system says of a zone without daylight-saving rules.
    if (::GetTimeZoneInformation(&zone) == TIME_ZONE_ID_UNKNOWN) {
        return {};
    }
    return Narrow(zone.StandardName);
}

std::string LocaleCountry() {
    std::array<wchar_t, 128> name{};
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SENGLISHCOUNTRYNAME,
                                    name.data(), static_cast<int>(name.size()));
    return n > 1 ? Narrow(std::wstring_view(name.data(), static_cast<std::size_t>(n - 1)))
                 : std::string();
}

std::vector<DiskSpace> LocalDisks() {
    std::vector<DiskSpace> disks;
    const DWORD drives = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((drives & (1u << letter)) == 0) {
            continue;
        }
        const std::wstring root = {static_cast<wchar_t>(L'A' + letter), L':', L'\\'};
        ULARGE_INTEGER available{};
        if (::GetDriveTypeW(root.c_str()) == DRIVE_FIXED &&
            ::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr)) {
            disks.push_back({std::string(1, static_cast<char>('A' + letter)),
                             static_cast<double>(available.QuadPart)});
        }
    }
    return disks;
}

std::vector<clsNetwork> AdapterList() {
    ULONG size = 0;
    if (::GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) {
        return {};
    }
    std::vector<unsigned char> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (::GetAdaptersInfo(first, &size) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<clsNetwork> adapters;
    for (const IP_ADAPTER_INFO* adapter = first; adapter != nullptr; adapter = adapter->Next) {
        if (adapter->Type == MIB_IF_TYPE_LOOPBACK) {
            continue;
        }
        std::string mac;
        for (int i = 0; i < 6; ++i) {
            char digits[4];
            std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : "-%02X", adapter->Address[i]);
            mac += digits;
        }
        adapters.push_back({mac, adapter->IpAddressList.IpAddress.String});
    }
    return adapters;
}

std::string LoginName() {
    std::array<wchar_t, 257> name{};
    DWORD size = static_cast<DWORD>(name.size());
    return ::GetUserNameW(name.data(), &size) && size > 0
               ? Narrow(std::wstring_view(name.data(), size - 1))
               : std::string();
}

}  // namespace tamsel
