#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reporting/OfficeInstallations.h"
#include "reporting/RegistryReader.h"
#include "reporting/SystemInfo.h"
#include "util/DateTime.h"

// The texts that describe the machine in the update log. Each is worked out afresh on every call
// from this system's nearest equivalent of the facility the log's readers know, in the format
// they know.
namespace tamsel {

// "<system> Version <major>.<minor>  (Build <patch>)" from the kernel release: the blank before
// "(Build" stands for the service-pack text, which this system does not have. "Microsoft Windows
// (Unknown)" when the release is unknown.
std::string WindowsVersionText(const std::string& systemName, std::string_view kernelRelease);
std::string WindowsVersion();
// The country setting of the registry store; the country of the user's locale when the store
// has none.
std::string CountryName(const RegistryReader& registry);
// The zone's name; "Unavailable" when it cannot be known.
std::string TimeZoneName();
// "/: (free space: 12.3gb), /home: (free space: 512mb)"; empty without a local disk.
std::string DiskListText(const std::vector<DiskSpace>& disks);
std::string DiskList();
// The folders that stand for the Windows, system and temporary folders: "Windows Folder (/usr),
// System Folder (/usr/lib), Temp Folder (/tmp)".
std::string FolderList();
// The HTTP library and its version, with the file it was loaded from: "libcurl 7.88.1
// (/usr/lib/x86_64-linux-gnu/libcurl.so.4)"; "Unavailable" when it cannot be asked.
std::string InternetVersion();
// "PowerPoint" followed by " 97", " 2000", " XP" and " 2003" for each version installed.
std::string PowerPointVersions(const OfficeInstallations& office);
// The number of the newest installed version ("8.0" to "11.0"); empty with none.
std::string OfficeVersionNumber(const OfficeInstallations& office);
// Where a class is registered in the registry store: its ProgID value and its in-process server
// in parentheses. When the store has no registration for it, the component of this program that
// stands in for the class, in the same form; empty for any other class.
std::string ObjectInfo(const RegistryReader& registry, const std::string& className);
// The component of this program that stands in for an unregistered class, as ObjectInfo gives it.
std::string StandInObjectInfo(const std::string& className);
// The first adapter's hardware address without "-" followed by the CRC-16 of the login name;
// "000000000000" without an adapter.
std::string InstallationNumberText(const std::vector<clsNetwork>& adapters,
                                   const std::string& loginName);
std::string InstallationNumber();

// Where the update log takes its machine-dependent texts from. The registry store and the
// installed Office versions are handed in; without them the stand-ins find nothing. Tests replace
// the texts.
class Environment {
  public:
    explicit Environment(
        std::shared_ptr<const RegistryReader> registry = std::make_shared<RegistryReader>(),
        std::shared_ptr<const OfficeInstallations> office = std::make_shared<OfficeInstallations>())
        : registry_(std::move(registry)), office_(std::move(office)) {}
    virtual ~Environment() = default;

    virtual DateTime Now() const { return tamsel::Now(); }
    virtual std::string WindowsVersion() const { return tamsel::WindowsVersion(); }
    virtual std::string CountryName() const { return tamsel::CountryName(*registry_); }
    virtual std::string TimeZoneName() const { return tamsel::TimeZoneName(); }
    virtual std::string DiskList() const { return tamsel::DiskList(); }
    virtual std::string FolderList() const { return tamsel::FolderList(); }
    virtual std::string InternetVersion() const { return tamsel::InternetVersion(); }
    virtual std::string PowerPointVersions() const { return tamsel::PowerPointVersions(*office_); }
    virtual std::string ObjectInfo(const std::string& className) const {
        return tamsel::ObjectInfo(*registry_, className);
    }
    virtual std::string InstallationNumber() const { return tamsel::InstallationNumber(); }

  private:
    std::shared_ptr<const RegistryReader> registry_;
    std::shared_ptr<const OfficeInstallations> office_;
};

}  // namespace tamsel
