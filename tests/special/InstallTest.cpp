#include <gtest/gtest.h>
#include <sys/stat.h>

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

// Installing and removing a file beside the updater is run from the command line by
// install-hand-off.sh.
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
    std::string Copy(const std::string& name, const std::string& productVersion,
                     bool executable = true, const std::string& product = "Tamsel Updater") {
        VersionBlockContent content;
        content.strings = {{"ProductName", product}, {"ProductVersion", productVersion}};
        const std::string path =
            test::ElfWithVersionBlock(folder, name, WriteVersionBlock(content));
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    }
    bool Exists(const std::string& name) { return FileExists(folder / name); }

    test::TempDir folder;
};

// Version numbers are the digits joined: 1.10.0.0 (11000) is newer than 1.4.0.1 (1401), 2.0 (20)
// older.
TEST_F(OlderVersions, OnlyOlderCopiesOfTheUpdaterAreRemoved) {
    const std::string running = Copy("tamsel-updater", "1.4.0.1");
    Copy("Updater127.EXE", "1.2.7.0", false);
    Copy("tamsel-updater-1.3", "1.3.0.9");
    Copy("tamsel-updater-2.0", "2.0");
    Copy("tamsel-updater-1.10", "1.10.0.0");
    Copy("notes.txt", "1.0", false);  // neither ".exe" nor executable
    Copy("other.exe", "1.0", true, "Other Product");
    // Listed right after an older copy, and with no version information of its own.
    folder.write("tamsel-updater-1.3.exe", "#!/bin/sh\n");
    removeOlderVersions(folder.path(), running);
    for (const char* kept : {"tamsel-updater", "tamsel-updater-1.10", "notes.txt", "other.exe",
                             "tamsel-updater-1.3.exe"}) {
        EXPECT_TRUE(Exists(kept)) << kept;
    }
    for (const char* removed : {"Updater127.EXE", "tamsel-updater-1.3", "tamsel-updater-2.0"}) {
        EXPECT_FALSE(Exists(removed)) << removed;
    }
}

TEST_F(OlderVersions, AVersionThatIsNoNumberStopsBeforeAnythingIsRemoved) {
    const std::string running = Copy("tamsel-updater", "1.4.0.1");
    Copy("old.exe", "1.0");
    Copy("odd.exe", "1.0 beta", true, "TAMSEL");
    try {
        removeOlderVersions(folder.path(), running);
        FAIL() << "no error";
    } catch (const TamselError& error) {
        EXPECT_EQ(error.Number(), err::TypeMismatch);
    }
    EXPECT_TRUE(Exists("old.exe"));
}

}  // namespace
}  // namespace tamsel
