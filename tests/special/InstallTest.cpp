#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "reporting/VersionBlockWriter.h"
#include "special/OfficeFixture.h"
#include "special/modInstall.h"
#include "special/removeOlderVersions.h"
#include "support/ElfWithVersion.h"
#include "util/Error.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

class Install : public ::testing::Test, protected test::OfficeFixture {
  protected:
    Install() { InstallPowerPoint("11.0"); }
    std::size_t AddInCount() {
        return run.registry
            ->subkeys(RegistryRoot::CurrentUser,
                      "Software\\Microsoft\\Office\\11.0\\PowerPoint\\AddIns")
            .value_or(std::vector<std::string>{})
            .size();
    }
};

// The command line arrives upper-cased: the key takes the upper-cased name, Path the file's own.
TEST_F(Install, InstallRegistersTheFileBesideTheUpdaterByItsRealPath) {
    const std::string file = appFolder.write("Add-ins/Tamsel Tools.ppa", "add-in");
    installFromCommandLine(run, "/SILENT /INSTALL ADD-INS/TAMSEL TOOLS.PPA ");
    const auto path = run.registry->readValue(RegistryRoot::CurrentUser,
                                              AddInKey("11.0", "TAMSEL TOOLS"), "Path");
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, RegistryText(file));

    removeFromCommandLine(run, "/REMOVE ADD-INS/TAMSEL TOOLS.PPA");
    EXPECT_EQ(AddInCount(), 0u);
}

TEST_F(Install, NothingHappensWithoutAFileBesideTheUpdater) {
    for (const char* commandLine : {"/INSTALL", "/INSTALL ", "/INSTALL MISSING.PPA", "/REMOVE"}) {
        SCOPED_TRACE(commandLine);
        installFromCommandLine(run, commandLine);
        removeFromCommandLine(run, commandLine);
        EXPECT_EQ(AddInCount(), 0u);
    }
}

// Copies of the updater in its folder, each with the version information a build gives it.
class OlderVersions : public ::testing::Test {
  protected:
    std::string Copy(const std::string& name, std::uint16_t major, std::uint16_t minor,
                     std::uint16_t build, std::uint16_t revision, bool executable = true,
                     const std::string& product = "Tamsel Updater",
                     const std::string& productVersion = "") {
        VersionBlockContent content;
        content.fileVersion = {major, minor, build, revision};
        content.productVersion = content.fileVersion;
        const std::string version = std::to_string(major) + "." + std::to_string(minor) + "." +
                                    std::to_string(build) + "." + std::to_string(revision);
        content.strings = {{"ProductName", product},
                           {"ProductVersion", productVersion.empty() ? version : productVersion}};
        const std::string path =
            folder.write(name, test::ElfWithVersionBlock(WriteVersionBlock(content)));
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    }
    bool Exists(const std::string& name) { return FileExists(folder / name); }

    test::TempDir folder;
};

TEST_F(OlderVersions, OnlyOlderCopiesOfTheUpdaterAreRemoved) {
    const std::string running = Copy("tamsel-updater", 1, 4, 0, 16);                 // 14016
    Copy("Updater127.EXE", 1, 2, 7, 0, false);                                       // 1270
    Copy("tamsel-updater-1.3", 1, 3, 0, 9);                                          // 1309
    Copy("tamsel-updater-2.0", 2, 0, 0, 0, true, "Tamsel Updater", "2.0");           // 20
    Copy("tamsel-updater-1.10", 1, 10, 0, 0, true, "Tamsel Updater", "1.10.0.0.0");  // 110000
    Copy("notes.txt", 1, 0, 0, 0, false);  // neither .exe nor executable
    Copy("other.exe", 1, 0, 0, 0, true, "Other Product");
    folder.write("script.exe", "#!/bin/sh\n");
    removeOlderVersions(folder.path(), running);
    EXPECT_TRUE(Exists("tamsel-updater"));
    EXPECT_FALSE(Exists("Updater127.EXE"));
    EXPECT_FALSE(Exists("tamsel-updater-1.3"));
    EXPECT_FALSE(Exists("tamsel-updater-2.0"));
    EXPECT_TRUE(Exists("tamsel-updater-1.10"));
    EXPECT_TRUE(Exists("notes.txt"));
    EXPECT_TRUE(Exists("other.exe"));
    EXPECT_TRUE(Exists("script.exe"));
}

TEST_F(OlderVersions, AVersionThatIsNoNumberStopsBeforeAnythingIsRemoved) {
    const std::string running = Copy("tamsel-updater", 1, 4, 0, 1);
    Copy("old.exe", 1, 0, 0, 0);
    Copy("odd.exe", 1, 0, 0, 0, true, "TAMSEL", "1.0 beta");
    try {
        removeOlderVersions(folder.path(), running);
        FAIL() << "no error";
    } catch (const TamselError& error) {
        EXPECT_EQ(error.Number(), err::TypeMismatch);
    }
    EXPECT_TRUE(Exists("old.exe"));
}

// The test program carries the build's version block, as the updater does.
TEST_F(OlderVersions, TheRunningProgramReadsItsOwnVersion) {
    Copy("old.exe", 1, 4, 0, 0);  // 1400, below the build's 1401
    Copy("same.exe", 1, 4, 0, 1);
    removeOlderVersions(folder.path(), std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_FALSE(Exists("old.exe"));
    EXPECT_TRUE(Exists("same.exe"));
}

}  // namespace
}  // namespace tamsel
