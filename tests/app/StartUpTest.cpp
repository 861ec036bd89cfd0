#include <gtest/gtest.h>

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
}

TEST_F(StartUp, SwitchesAreFoundAnywhereInAnyCase) {
    auto app = start("/silently/debug");
    EXPECT_TRUE(app->Run().g_objMetrics.Silent());
    EXPECT_TRUE(app->Run().g_objMetrics.Debugging());
    EXPECT_TRUE(handOffs.empty());
}

TEST_F(StartUp, TheMainWindowShowsItsNoticeAndStatusPane) {
    auto app = start("");
    frmMain& main = app->Main();
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.Caption(), "Tamsel Updater");
    EXPECT_EQ(main.lblLegend.Caption(), "Connection status:");
    const std::string legal = main.lblLegal.Caption();
    EXPECT_NE(legal.find("\r\n"), std::string::npos);
    EXPECT_EQ(legal.substr(legal.size() - 9), " (1.41.6)");
    EXPECT_FALSE(main.lblLegal.UseMnemonic());
    EXPECT_FALSE(main.cmdCancel.Visible());
    EXPECT_EQ(app->Run().g_objMetrics.Pane(), &main.InfoPane);
    EXPECT_TRUE(main.Timer1.Running());
}

TEST_F(StartUp, FirstTicksLoadTheSettingsAndWriteTheTrace) {
    auto app = start("/DEBUG");
    // States 0 and 1 only compute: they run on the first tick, which stops before the dialog.
    loop.Advance(std::chrono::milliseconds(200));
    EXPECT_EQ(app->Main().State(), 2);
    EXPECT_TRUE(std::filesystem::exists(kit / "Kit/localtamselupdater.ini"));
    EXPECT_TRUE(std::filesystem::exists(kit / "Kit/globaltamselupdater.ini"));
    // A new local file schedules weekly; an empty schedule would be made daily.
    EXPECT_EQ(app->Run().localConfiguration.getValue("autoupdate"), "Weekly");
    const std::string trace = kit.read("Kit/Updater/debug.log");
    EXPECT_NE(trace.find("] Main::State [0]\r\n"), std::string::npos);
    EXPECT_NE(trace.find("] Main::State [1]\r\n"), std::string::npos);
}

// The Office detection fills an empty "office" setting with the newest version found.
TEST_F(StartUp, AnEmptyOfficeSettingTakesTheNewestInstalledVersion) {
    auto app = start("");
    for (const char* version : {"11.0", "9.0"}) {
        const std::string key = std::string("Software\\Microsoft\\Office\\") + version;
        app->Run().registry->createKey(RegistryRoot::CurrentUser, key);
        app->Run().registry->createKey(RegistryRoot::LocalMachine, key + "\\PowerPoint");
    }
    loop.Advance(std::chrono::milliseconds(400));
    EXPECT_EQ(app->Run().localConfiguration.getValue("office"), "11.0");
}

TEST_F(StartUp, LabelOneStartingWithEinSwitchesEinModeOnAndAnEmptyScheduleBecomesDaily) {
    kit.write("Kit/globaltamselupdater.ini", "label1=\"ein number\"\r\n");
    kit.write("Kit/localtamselupdater.ini", "autoupdate=\"\"\r\n");
    auto app = start("");
    loop.Advance(std::chrono::milliseconds(400));
    EXPECT_TRUE(app->Run().einMode);
    EXPECT_EQ(app->Run().localConfiguration.getValue("autoupdate"), "daily");
}

TEST_F(StartUp, ASecondCopyEndsOnItsFirstTick) {
    auto first = start("");
    auto second = start("");
    EXPECT_FALSE(second->Finished());
    loop.Advance(std::chrono::milliseconds(200));
    EXPECT_TRUE(second->Finished());
    EXPECT_FALSE(first->Finished());
    first.reset();
    auto third = start("");
    loop.Advance(std::chrono::milliseconds(200));
    EXPECT_FALSE(third->Finished());
}

TEST_F(StartUp, CancelMovesOnFromTheWaitingStatesAndEndsTheRunElsewhere) {
    auto app = start("");
    app->Main().Timer1.SetEnabled(false);
    app->Main().SetState(55);
    app->Main().cmdCancel.PerformClick();
    EXPECT_EQ(app->Main().State(), 56);
    app->Main().SetState(82);
    app->Main().cmdCancel.PerformClick();
    EXPECT_EQ(app->Main().State(), 84);
    EXPECT_FALSE(app->Finished());
    app->Main().SetState(100);
    app->Main().cmdCancel.PerformClick();
    EXPECT_TRUE(app->Finished());

    auto other = start("");
    other->Main().SetState(12);
    other->Main().cmdCancel.PerformClick();
    EXPECT_TRUE(other->Finished());
}

}  // namespace
}  // namespace tamsel
