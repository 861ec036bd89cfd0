#pragma once

#include <cstdint>
#include <string>

namespace tamsel {

// What the system says of its version: the fields of its extended version record.
struct WindowsVersionRecord {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint8_t productType = 1;  // 1 workstation, 2 domain controller, 3 server
    std::string servicePack;
};

// "Microsoft Windows XP Workstation Version 5.1 Service Pack 2 (Build 2600)": the name by
// version, later versions named as their releases (7, 8, 8.1, 10 and 11, and the Server
// releases, told apart by product type and build), the product type, and the numbers.
std::string WindowsVersionName(const WindowsVersionRecord& record);

}  // namespace tamsel
