#include "config/SettingsLoading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "util/Error.h"
#include "util/TempFolder.h"

namespace tamsel {
namespace {

using test::TempDir;

const DateTime kWhen{2026, 12, 6, 9, 15, 0};

TEST(LoadSettings, FirstStartWritesBothDefaultFilesInTheParentFolder) {
    TempDir kit;
    std::filesystem::create_directory(kit / "Updater");
    CConfiguration local, global;
    ASSERT_TRUE(LoadSettings(kit / "Updater", local, global, kWhen));
    EXPECT_TRUE(std::filesystem::exists(kit / "localtamselupdater.ini"));
    EXPECT_TRUE(std::filesystem::exists(kit / "globaltamselupdater.ini"));
    EXPECT_FALSE(std::filesystem::exists(kit / "Updater/localtamselupdater.ini"));
    EXPECT_EQ(local.getValue("autoupdate"), "Weekly");
    EXPECT_EQ(global.getPrimaryCatalogue(), "Tam-Sel Main Catalogue.ini");
    EXPECT_EQ(local.Path(), kit / "localtamselupdater.ini");
}

TEST(LoadSettings, ParentFolderWinsOverTheProgramFolder) {
    TempDir kit;
    kit.write("Updater/globaltamselupdater.ini", "remote=\"http://beside\"\r\n");
    kit.write("Updater/localtamselupdater.ini", "username=\"beside\"\r\n");
    kit.write("globaltamselupdater.ini", "remote=\"http://parent\"\r\n");
    CConfiguration local, global;
    ASSERT_TRUE(LoadSettings(kit / "Updater", local, global, kWhen));
    EXPECT_EQ(global.getRemote(), "http://parent");
    // No local file in the parent folder: the one beside the program is read.
    EXPECT_EQ(local.getValue("username"), "beside");
    EXPECT_EQ(local.Path(), kit / "Updater/localtamselupdater.ini");
}

TEST(LoadSettings, AnExistingFileThatCannotBeReadStopsTheRunAndIsKept) {
    namespace fs = std::filesystem;
    test::TempFolder kit;
    fs::create_directory(kit / "Updater");
    // Defaults could be written here: only the new rule keeps the file.
    fs::permissions(kit.path(), fs::perms::all);
    kit.write("globaltamselupdater.ini", "remote=\"http://kits\"\r\n");
    const auto path = kit.write("localtamselupdater.ini", "username=\"J Smith\"\r\n");
    fs::permissions(path, fs::perms::owner_write);
    EXPECT_TRUE(test::RunUnprivileged([&] {
        CConfiguration local, global;
        try {
            LoadSettings(kit / "Updater", local, global, kWhen);
        } catch (const TamselError& error) {
            return error.Description() == "Unable to read settings file '" + path + "'";
        }
        return false;
    }));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(kit.read("localtamselupdater.ini"), "username=\"J Smith\"\r\n");
}

TEST(LoadSettings, EmptyProgramFolderChangesNothing) {
    CConfiguration local, global;
    EXPECT_FALSE(LoadSettings("", local, global, kWhen));
    EXPECT_TRUE(local.asCollection().empty());
    EXPECT_TRUE(global.asCollection().empty());
}

TEST(MigrateOldSettings, SplitsTheOldFileAndKeepsEveryHistoricalLine) {
    TempDir kit;
    kit.write("Updater/tamselupdater.ini",
              "'old file\r\n"
              "username=\"dropped\"\r\n"
              "remote=\"http://kits.example\"\r\n"
              "primary_catalogue=\"Main.ini\"\r\n"
              "historical=\"Sales\"\r\n"
              "office=\"9.0\"\r\n"
              "historical=\"Marketing\"\r\n"
              "local=\"/home/u/Kit\"\r\n"
              "lastupdated=\"1/2/2006\"\r\n");
    CConfiguration local, global;
    ASSERT_TRUE(LoadSettings(kit / "Updater", local, global, kWhen));
    EXPECT_FALSE(std::filesystem::exists(kit / "Updater/tamselupdater.ini"));

    EXPECT_EQ(kit.read("Updater/globaltamselupdater.ini"),
              "primary_catalogue=\"Main.ini\"\r\nsecondary_catalogue=\"\"\r\n"
              "remote=\"http://kits.example\"\r\n");
    EXPECT_EQ(kit.read("Updater/localtamselupdater.ini"),
              "historical=\"Sales\"\r\noffice=\"9.0\"\r\nhistorical=\"Marketing\"\r\n"
              "local=\"/home/u/Kit\"\r\nlastupdated=\"1/2/2006\"\r\n");
    // The migrated files lie beside the program, so they are the ones read.
    EXPECT_EQ(global.getRemote(), "http://kits.example");
    EXPECT_EQ(local.getValue("office"), "9.0");
}

TEST(MigrateOldSettings, AnExistingGlobalFileIsKeptAndExtendedNotReplaced) {
    TempDir kit;
    kit.write("tamselupdater.ini", "remote=\"http://old\"\r\nhistorical=\"Sales\"\r\n");
    kit.write("globaltamselupdater.ini", "'mine\r\nremote=\"http://current\"\r\n");
    MigrateOldSettings(kit / "tamselupdater.ini");
    EXPECT_EQ(kit.read("globaltamselupdater.ini"), "'mine\r\nremote=\"http://current\"\r\n");
    EXPECT_EQ(kit.read("localtamselupdater.ini"), "historical=\"Sales\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(kit / "tamselupdater.ini"));
}

TEST(MigrateOldSettings, TheOldFileStaysUntilBothNewFilesAreWritten) {
    TempDir kit;
    kit.write("tamselupdater.ini", "remote=\"http://old\"\r\n");
    std::filesystem::create_directory(kit / "localtamselupdater.ini");  // cannot be written
    MigrateOldSettings(kit / "tamselupdater.ini");
    EXPECT_EQ(kit.read("tamselupdater.ini"), "remote=\"http://old\"\r\n");
}

}  // namespace
}  // namespace tamsel
