#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "reporting/Crc.h"
#include "reporting/Environment.h"
#include "reporting/SystemInfo.h"

namespace tamsel {
namespace {

TEST(CrcText, ShortAndLongFormsOfKnownTexts) {
    EXPECT_EQ(CrcText("abc", false), "5749");
    EXPECT_EQ(CrcText("abc", true), "352441C2");
    EXPECT_EQ(CrcText("", false), "FFFF");
    EXPECT_EQ(CrcText("", true), "00000000");
}

TEST(InstallationNumber, AdapterAddressAndTheLoginNamesCrc) {
    const std::vector<clsNetwork> adapters = {{"00-0C-29-3A-4B-5C", "10.0.0.2"},
                                              {"AA-BB-CC-DD-EE-FF", ""}};
    EXPECT_EQ(InstallationNumberText(adapters, "abc"), "000C293A4B5C5749");
    EXPECT_EQ(InstallationNumberText({}, "abc"), "000000000000");
    // The name's buffer held 24 characters: a longer name reads as none.
    EXPECT_EQ(InstallationNumberText(adapters, std::string(25, 'x')), "000C293A4B5CFFFF");
}

TEST(WindowsVersion, KernelReleaseInTheVersionFormat) {
    EXPECT_EQ(WindowsVersionText("Debian GNU/Linux 12 (bookworm)", "6.1.0-18-amd64"),
              "Debian GNU/Linux 12 (bookworm) Version 6.1  (Build 0)");
    EXPECT_EQ(WindowsVersionText("Linux", ""), "Microsoft Windows (Unknown)");
    EXPECT_EQ(PrettyName("NAME=Debian\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
}

// The installed versions by their numbers: "8", "9", "X" (XP) and "B" (2003).
class Installed : public OfficeInstallations {
  public:
    explicit Installed(std::string v) : v_(std::move(v)) {}
    bool has97() const override { return v_.find('8') != std::string::npos; }
    bool has2000() const override { return v_.find('9') != std::string::npos; }
    bool hasXP() const override { return v_.find('X') != std::string::npos; }
    bool has2003() const override { return v_.find('B') != std::string::npos; }

  private:
    std::string v_;
};

TEST(PowerPointVersions, EveryInstalledVersionAndTheNewestNumber) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "PowerPoint", ""},
        {"9X", "PowerPoint 2000 XP", "10.0"},
        {"89XB", "PowerPoint 97 2000 XP 2003", "11.0"},
    };
    for (const auto& [installed, versions, number] : cases) {
        EXPECT_EQ(PowerPointVersions(Installed(installed)), versions) << installed;
        EXPECT_EQ(OfficeVersionNumber(Installed(installed)), number) << installed;
    }
}

// Removable devices and users' media mounts are left out, whoever the user.
TEST(LocalDiskMounts, TheMachinesOwnDisksOnly) {
    const char* table =
        "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/bob/USB\\040STICK vfat rw 0 0\n"
        "/dev/sdc1 /run/media/alice/Data ext4 rw 0 0\n/dev/sdd1 /media/data ext4 rw 0 0\n"
        "/dev/sde1 /mnt/card vfat rw 0 0\n";
    EXPECT_EQ(LocalDiskMounts(table, [](const std::string& dev) { return dev == "/dev/sde1"; }),
              (std::vector<std::string>{"/", "/media/data"}));
}

}  // namespace
}  // namespace tamsel
