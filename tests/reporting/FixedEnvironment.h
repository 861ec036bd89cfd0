#pragma once

#include "reporting/Environment.h"

namespace tamsel::test {

// The machine of the golden logs: fixed texts and 05/12/2006 09:07:03.
class FixedEnvironment : public Environment {
  public:
    DateTime Now() const override { return {2006, 12, 5, 9, 7, 3}; }
    std::string WindowsVersion() const override {
        return "Debian GNU/Linux 12 (bookworm) Version 6.1  (Build 0)";
    }
    std::string CountryName() const override { return "United Kingdom"; }
    std::string TimeZoneName() const override { return "Europe/London"; }
    std::string DiskList() const override { return "/: (free space: 12.3gb)"; }
    std::string FolderList() const override {
        return "Windows Folder (/usr), System Folder (/usr/lib), Temp Folder (/tmp)";
    }
    std::string InternetVersion() const override {
        return "libcurl 7.88.1 (/usr/lib/x86_64-linux-gnu/libcurl.so.4)";
    }
    std::string PowerPointVersions() const override { return "PowerPoint 2003"; }
    std::string ObjectInfo(const std::string& className) const override {
        return className + " (/fixed)";
    }
    std::string InstallationNumber() const override { return "000C293A4B5C1234"; }
};

}  // namespace tamsel::test
