#include "reporting/Environment.h"

#include <filesystem>
#include <iostream>

#include "reporting/Crc.h"
#include "util/Format.h"
#include "util/Text.h"

namespace tamsel {

namespace fs = std::filesystem;

namespace {

// The leading decimal digits of the text, "0" when there are none.
std::string LeadingDigits(std::string_view text) {
    const auto end = text.find_first_not_of("0123456789");
    const std::string digits(text.substr(0, end));
    return digits.empty() ? "0" : digits;
}

}  // namespace

std::string WindowsVersionText(const std::string& systemName, std::string_view kernelRelease) {
    if (kernelRelease.empty()) {
        return "Microsoft Windows (Unknown)";
    }
    // major.minor.patch followed by anything ("6.1.0-18-amd64").
    std::string numbers[3];
    std::string_view rest = kernelRelease;
    for (auto& number : numbers) {
        number = LeadingDigits(rest);
        const auto dot = rest.find('.');
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    }
    const std::string servicePack;  // none on this system; its blank stays
    return systemName + " Version " + numbers[0] + "." + numbers[1] + " " + servicePack +
           " (Build " + numbers[2] + ")";
}

std::string CountryName(const RegistryReader& registry) {
    const std::string stored =
        registry.Value("HKEY_CURRENT_USER", "Control Panel\\International", "sCountry");
    return stored.empty() ? LocaleCountry() : stored;
}

std::string TimeZoneName() {
    try {
        const std::string zone = TrimSpaces(ZoneName());
        return zone.empty() ? "Unavailable" : zone;
    } catch (const std::exception&) {
        return {};
    }
}

std::string DiskListText(const std::vector<DiskSpace>& disks) {
    std::string text;
    for (const auto& disk : disks) {
        if (!text.empty()) {
            text += ", ";
        }
        text += disk.mountPoint + ": (free space: " + FormatSize(disk.availableBytes) + ")";
    }
    return text;
}

std::string DiskList() {
    try {
        return DiskListText(LocalDisks());
    } catch (const std::exception&) {
        return {};
    }
}

std::string PowerPointVersions(const OfficeInstallations& office) {
    try {
        std::string text = "PowerPoint";
        text += office.has97() ? " 97" : "";
        text += office.has2000() ? " 2000" : "";
        text += office.hasXP() ? " XP" : "";
        text += office.has2003() ? " 2003" : "";
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

std::string OfficeVersionNumber(const OfficeInstallations& office) {
    try {
        std::string number;
        number = office.has97() ? "8.0" : number;
        number = office.has2000() ? "9.0" : number;
        number = office.hasXP() ? "10.0" : number;
        number = office.has2003() ? "11.0" : number;
        return number;
    } catch (const std::exception&) {
        return {};
    }
}

std::string ObjectInfo(const RegistryReader& registry, const std::string& className) {
    const std::string wanted = ToUpper(className);
    for (const auto& id : registry.SubKeys("HKEY_CLASSES_ROOT", "CLSID")) {
        const std::string progId =
            registry.Value("HKEY_CLASSES_ROOT", "CLSID\\" + id + "\\ProgID", "");
        if (!progId.empty() && ToUpper(progId).find(wanted) != std::string::npos) {
            return progId + " (" +
                   TrimSpaces(registry.Value("HKEY_CLASSES_ROOT",
                                             "CLSID\\" + id + "\\InProcServer32", "")) +
                   ")";
        }
    }
    // No registration: the component that does the class's work here.
    return StandInObjectInfo(className);
}

std::string InstallationNumberText(const std::vector<clsNetwork>& adapters,
                                   const std::string& loginName) {
    if (adapters.empty()) {
        return "000000000000";
    }
    // The login name's buffer held 24 characters and its NUL; a longer name read as none.
    const std::string name = loginName.size() < 25 ? loginName : "";
    return ReplaceAll(adapters.front().MacAddress, "-", "") + CrcText(name, false);
}

std::string InstallationNumber() {
    return InstallationNumberText(AdapterList(), LoginName());
}

}  // namespace tamsel
