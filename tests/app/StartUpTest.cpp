#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "app/UpdaterApp.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

using test::TempDir;

// A kit laid out as publishers ship it: the program in Kit/Updater, its settings in Kit.
class StartUp : public ::testing::Test {
  protected:
    std::unique_ptr<UpdaterApp> start(const std::string& commandLine) {
        auto app = std::make_unique<UpdaterApp>(toolkit, kit / "Kit/Updater", commandLine,
                                                HttpTransportFactory{}, kit / "updater.lock");
        app->Main().installHandOff = [this](const std::string& line) {
            handOffs.push_back("install " + line);
        };
        app->Main().removeHandOff = [this](const std::string& line) {
            handOffs.push_back("remove " + line);
        };
        app->Start();
        return app;
    }

    void SetUp() override { std::filesystem::create_directories(kit / "Kit/Updater"); }

    TempDir kit;
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    std::vector<std::string> handOffs;
};

TEST_F(StartUp, InstallIsTestedFirstAndEndsTheRunWithoutReadingOtherSwitches) {
    auto app = start("setup.exe /remove /install /silent");
    EXPECT_EQ(handOffs, (std::vector<std::string>{"install SETUP.EXE /REMOVE /INSTALL /SILENT"}));
    EXPECT_TRUE(app->Finished());
    EXPECT_FALSE(app->Run().g_objMetrics.Silent());

    auto remove = start("/Remove");
    EXPECT_EQ(handOffs.back(), "remove /REMOVE");
    EXPECT_TRUE(remove->Finished());

    // Other switches are found anywhere in any case.
    handOffs.clear();
    auto silent = start("/silently/debug");
    EXPECT_TRUE(silent->Run().g_objMetrics.Silent());
    EXPECT_TRUE(silent->Run().g_objMetrics.Debugging());
    EXPECT_TRUE(handOffs.empty());
}

// The Office detection fills an empty "office" setting with the newest version found; a label one
// starting with "ein" switches EIN mode on; an empty schedule becomes daily.
TEST_F(StartUp, EmptySettingsAndTheEinLabelAreFilledInAtStart) {
    kit.write("Kit/globaltamselupdater.ini", "label1=\"ein number\"\r\n");
    kit.write("Kit/localtamselupdater.ini", "autoupdate=\"\"\r\n");
    auto app = start("");
    for (const char* version : {"11.0", "9.0"}) {
        const std::string key = std::string("Software\\Microsoft\\Office\\") + version;
        app->Run().registry->createKey(RegistryRoot::CurrentUser, key);
        app->Run().registry->createKey(RegistryRoot::LocalMachine, key + "\\PowerPoint");
    }
    loop.Advance(std::chrono::milliseconds(400));
    EXPECT_EQ(app->Run().localConfiguration.getValue("office"), "11.0");
    EXPECT_TRUE(app->Run().einMode);
    EXPECT_EQ(app->Run().localConfiguration.getValue("autoupdate"), "daily");
}

#ifdef TAMSEL_UPDATER
// An interactive or background start says so in one line and ends with 1, having written
// nothing: no settings beside the program, no lock in the runtime folder.
TEST(StartUpWithoutDisplay, AStartThatNeedsAWindowSaysSoAndChangesNothing) {
    for (const char* switches : {"", "/SILENT"}) {
        test::TempDir dir;
        const std::string program = dir / "Kit/Updater/tamsel-updater";
        std::filesystem::create_directories(dir / "Kit/Updater");
        std::filesystem::copy_file(TAMSEL_UPDATER, program);
        const int status = std::system(("env -i XDG_RUNTIME_DIR='" + dir.path() + "' '" + program +
                                        "' " + switches + " 2>'" + (dir / "err") + "'")
                                           .c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << switches << status;
        EXPECT_EQ(dir.read("err"), "The Tamsel Updater cannot start: no display is available.\n");
        std::filesystem::remove(dir / "err");
        const std::filesystem::recursive_directory_iterator all(dir.path());
        EXPECT_EQ(std::distance(begin(all), end(all)), 3) << switches;  // Kit, Updater, program
    }
}
#endif

}  // namespace
}  // namespace tamsel
