#include "reporting/windows/WindowsVersionName.h"

namespace tamsel {

namespace {

std::string ServerName(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    if (major == 6) {
        switch (minor) {
            case 0:
                return "Microsoft Windows Server 2008";
            case 1:
                return "Microsoft Windows Server 2008 R2";
            case 2:
                return "Microsoft Windows Server 2012";
            case 3:
                return "Microsoft Windows Server 2012 R2";
            default:
                return "unknown";
        }
    }
    if (build < 17763) {
        return "Microsoft Windows Server 2016";
    }
    if (build < 20348) {
        return "Microsoft Windows Server 2019";
    }
    return build < 26100 ? "Microsoft Windows Server 2022" : "Microsoft Windows Server 2025";
}

std::string DesktopName(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    if (major == 6) {
        switch (minor) {
            case 0:
                return "Microsoft Windows Vista";
            case 1:
                return "Microsoft Windows 7";
            case 2:
                return "Microsoft Windows 8";
            case 3:
                return "Microsoft Windows 8.1";
            default:
                return "unknown";
        }
    }
    // Windows 11 kept the version number 10.0; its builds start at 22000.
    return build < 22000 ? "Microsoft Windows 10" : "Microsoft Windows 11";
}

std::string NameOf(const WindowsVersionRecord& record) {
    switch (record.major) {
        case 3:
        case 4:
            return "Microsoft Windows NT";
        case 5:
            switch (record.minor) {
                case 0:
                    return "Microsoft Windows 2000";
                case 1:
                    return "Microsoft Windows XP";
                case 2:
                    return "Microsoft Windows 2003";
                default:
                    return "";
            }
        case 6:
        case 10:
            return record.productType == 1 ? DesktopName(record.major, record.minor, record.build)
                                           : ServerName(record.major, record.minor, record.build);
        default:
            return "unknown";
    }
}

}  // namespace

std::string WindowsVersionName(const WindowsVersionRecord& record) {
    std::string name = NameOf(record);
    switch (record.productType) {
        case 1:
            name += " Workstation";
            break;
        case 2:
            name += " Domain Controller";
            break;
        case 3:
            name += " Server";
            break;
        default:
            break;
    }
    return name + " Version " + std::to_string(record.major) + "." + std::to_string(record.minor) +
           " " + record.servicePack + " (Build " + std::to_string(record.build) + ")";
}

}  // namespace tamsel
