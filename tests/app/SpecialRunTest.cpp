// Whole runs of kits whose master catalogue has a special section.
#include "WholeRun.h"
#include "platform/ExecutableName.h"
#include "platform/FileRegistryStore.h"
#include "special/SpecialProcessing.h"
#include "support/ScriptedTransport.h"
#include "ui/frmSilentUpdate.h"
#include "util/DateTime.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::WholeRun;

// The system's processes, with PowerPoint among them when the test says so.
class ProcessesWithPowerPoint : public ProcessControl {
  public:
    std::vector<RunningProcess> processes() override {
        auto all = SystemProcessControl().processes();
        if (powerPointRuns) {
            all.push_back({999999, "", "C:\\Program Files\\Microsoft Office\\POWERPNT.EXE"});
        }
        return all;
    }
    void requestClose(int pid) override { SystemProcessControl().requestClose(pid); }

    bool powerPointRuns = false;
};

class SpecialRun : public WholeRun {
  protected:
    void SetUp() override {
        WholeRun::SetUp();
        publish("Special/Tools.ppa", kAddIn);
        fs::create_directories(appData(""));
        beforeStart = [this](UpdateRun& run) {
            run.registry = std::make_shared<FileRegistryStore>();
            run.special =
                std::make_unique<SpecialProcessing>(run, ExecutableName(), processes, launcher);
        };
    }

    // The master catalogue with these lines as its special section.
    void publishSpecial(const std::string& lines) {
        publish("Tam-Sel Main Catalogue.ini", std::string(test::kMaster) + "[SPECIAL]\r\n" + lines);
    }
    // The add-in as the catalogue lists it, with the script lines after it.
    static std::string addInEntry(const std::string& extra = {}) {
        return "url=\"/Special/Tools.ppa\" date=\"01/06/2024\" size=\"5\"" + extra + "\r\n";
    }
    // The user's copy of the add-in, as a run that fetched it left it.
    void haveCurrentAddIn() {
        const std::string path = user.write("Kit/Special/Tools.ppa", kAddIn);
        ASSERT_TRUE(SetFileTimeFromText(path, "01/06/2024 06:00"));
    }
    std::string appData(const std::string& relative) const { return home / ("data/" + relative); }
    std::string registry() const { return home.read("registry/HKEY_CURRENT_USER.reg"); }

    // An interactive run that takes no package: only the special section has work.
    frmMain& runWithoutPackages() {
        chooseInNextMenu({});
        chooseInNextMenu({});
        return run();
    }
    // A background run of a user whose history holds the Logos package (one file to fetch).
    frmMain& runSilently() {
        user.write("Kit/localtamselupdater.ini",
                   "username=\"J Smith\"\r\nhistorical=\"Logos\"\r\n"
                   "local=\"" +
                       user / "Kit/Files" + "\"\r\n");
        return run("/SILENT");
    }
    // An interactive run whose special processing fails, continued after it and finished; its exit
    // status.
    int runPastSpecialFailure() {
        frmMain& main = run("", [this] { return app_->Main().State() == 82; });
        EXPECT_EQ(main.State(), 82);
        chooseInNextMenu({});
        chooseInNextMenu({});
        main.cmdCancel.PerformClick();
        loop.RunUntil([this] { return !app_->Main().Timer1.Running(); });
        main.cmdCancel.PerformClick();
        return exitStatus();
    }
    // While the background notice is open, calls step every tick until it returns true.
    void whileNoticeOpen(std::function<bool(frmSilentUpdate&)> step) {
        toolkit.WhenShown("frmSilentUpdate", [this, step](Form& form) {
            auto& notice = dynamic_cast<frmSilentUpdate&>(form);
            EXPECT_TRUE(notice.TopMost());
            noticeShown = true;
            auto timer = std::make_shared<EventLoop::TimerId>();
            *timer = loop.StartTimer(std::chrono::milliseconds(100), [this, &notice, step, timer] {
                if (!notice.IsLoaded() || step(notice)) {
                    loop.StopTimer(*timer);
                }
            });
        });
    }
    // Presses Update once the notice offers it, after checking what it says.
    static bool updateWhenOffered(frmSilentUpdate& notice) {
        if (notice.State() != 42) {
            return false;
        }
        EXPECT_EQ(notice.InfoPane.Items().back().text, "1 file need to be updated");
        EXPECT_TRUE(user::Click(notice.cmdUpdate));
        return true;
    }

    static constexpr const char* kAddIn = "addin";
    bool noticeShown = false;
    ProcessesWithPowerPoint processes;
    // Opens documents and addresses with a program that accepts them and does nothing.
    LinuxShellLauncher launcher{"true"};
};

TEST_F(SpecialRun, AFailedRetrievalSkipsScriptsUntilALaterMissingFileArrives) {
    user.write("Kit/Special/Gone.ppa", "old");
    publishSpecial(
        "url=\"/Special/Gone.ppa\" date=\"01/06/2024\" size=\"4\"\r\n"
        "script=\"CONFIG ^/skipped.ini\"\r\n" +
        addInEntry() + "script=\"CONFIG ^/after.ini\"\r\n");
    frmMain& main = runWithoutPackages();
    EXPECT_EQ(main.State(), 100);
    EXPECT_TRUE(wasSaid("Unable to retrieve '" + remote_ + "/Special/Gone.ppa'"));
    EXPECT_FALSE(fs::exists(appData("skipped.ini")));
    // The outdated copy stays until a new one has arrived.
    EXPECT_EQ(user.read("Kit/Special/Gone.ppa"), "old");
    EXPECT_EQ(home.read("data/after.ini"), "root=\"" + user / "Kit/Files" + "\"\r\n");
    EXPECT_EQ(user.read("Kit/Special/Tools.ppa"), kAddIn);
    EXPECT_FALSE(wasSaid("Unable to complete special file processing."));
    // The kit update went on, and the run ends as a failure all the same.
    main.cmdCancel.PerformClick();
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_EQ(app_->Run().g_objMetrics.FinalStatus(),
              "ERROR Unable to complete special file processing.");
}

TEST_F(SpecialRun, ScriptsRegisterDeferAndUnregister) {
    publishSpecial(addInEntry(" action=\"CLOSEPP\"") +
                   "script=\"LOAD @/Special/Tools.ppa\"\r\n"
                   "script=\"!CONFIG ^/Deferred.ini\"\r\n");
    frmMain& main = runWithoutPackages();
    ASSERT_EQ(main.State(), 100);
    EXPECT_TRUE(wasSaid("loading 'Tools'"));
    const std::string reg = registry();
    EXPECT_NE(reg.find("\\PowerPoint\\AddIns\\Tools]"), std::string::npos) << reg;
    for (const auto& entry : app_->Run().g_objMetrics.RemoteCatalogue()->Special().asCollection()) {
        EXPECT_TRUE(entry->Hot()) << entry->asString();
    }
    // The deferred command waits for the end of the run, and runs once.
    EXPECT_FALSE(fs::exists(appData("Deferred.ini")));
    main.cmdCancel.PerformClick();
    EXPECT_TRUE(app_->Finished());
    EXPECT_TRUE(fs::exists(appData("Deferred.ini")));

    // A new version of the add-in comes with the script that unregisters the old one.
    app_.reset();
    publish("Special/Tools.ppa", "addin2");
    publishSpecial(
        "url=\"/Special/Tools.ppa\" date=\"02/06/2024\" size=\"6\"\r\n"
        "script=\"REMOVE Tools.ppa\"\r\n");
    runWithoutPackages();
    EXPECT_TRUE(wasSaid("unloading 'Tools.ppa'"));
    EXPECT_EQ(registry().find("AddIns\\Tools]"), std::string::npos) << registry();
    EXPECT_EQ(user.read("Kit/Special/Tools.ppa"), "addin2");
}

// A command that fails on its own fails the run; a program that cannot be started does not end it.
TEST_F(SpecialRun, AFailedCommandFailsTheRun) {
    publishSpecial(addInEntry() + "script=\"LAUNCH ^/Missing.sh\"\r\n");
    EXPECT_EQ(runPastSpecialFailure(), 1);
    EXPECT_TRUE(wasSaid("launching 'Missing'...failed"));
}

// Writes and deletions, of commands and of special files, aimed outside the kit, through a last
// link and at the updater's own files are refused, one line each, and fail the run; a web address
// is opened; a special file named with a leading "." is dated, and current on the next run.
TEST_F(SpecialRun, AHostileSpecialSectionIsRefusedAndFailsTheRun) {
    test::TempDir outside;
    const std::string victim = outside.write("victim.txt", "victim");
    fs::create_directories(user / "Kit/Special");
    fs::create_symlink(victim, user / "Kit/Special/Link.txt");
    user.write("Kit/Updater/tamsel-due-check", "due");
    const std::string settings = user.read("Kit/localtamselupdater.ini");
    publish("Special/.Tools.ini", "dot");
    publish("Special/Link.txt", "forged");
    publish("localtamselupdater.ini", "forged");
    // The kit server never publishes hidden files: the site is read directly.
    transport = [this] {
        return std::make_unique<test::ScriptedTransport>([this](const std::string& url) {
            std::string body;
            const bool found = ReadWholeFile(site / url.substr(remote_.size() + 1), body);
            return test::ScriptedAnswer{found ? 200 : 404, body};
        });
    };
    const std::string dotEntry = "url=\"/Special/.Tools.ini\" date=\"02/06/2024\" size=\"3\"\r\n";
    const std::string away = "#/../../../" + fs::path(outside.path()).filename().string();
    publishSpecial(addInEntry() + dotEntry +
                   "script=\"SHELL https://example.com/kit?from=a@b\"\r\n" + "script=\"!DELETE " +
                   victim + "\"\r\n" +
                   "script=\"!COPY @/Special/Tools.ppa TO @/Special/Link.txt\"\r\n" +
                   "script=\"!DELETE @/Updater/tamsel-due-check\"\r\n" +
                   "script=\"COPY @/Special/Tools.ppa TO " + away + "/new.txt\"\r\n" +
                   "url=\"/Special/Link.txt\" date=\"01/06/2024\" size=\"6\"\r\n" +
                   "url=\"/localtamselupdater.ini\" date=\"01/06/2024\" size=\"6\"\r\n" +
                   "url=\"/Special/Gone.ppa\" date=\"01/06/2024\" size=\"4\"\r\n");
    EXPECT_EQ(runPastSpecialFailure(), 1);
    EXPECT_TRUE(wasSaid("Unable to retrieve '" + remote_ + "/Special/Gone.ppa'"));
    EXPECT_EQ(std::count_if(said.begin(), said.end(),
                            [](const std::string& line) { return line.starts_with("refused '"); }),
              6);
    EXPECT_TRUE(wasSaid("launching 'example'"));
    EXPECT_EQ(outside.read("victim.txt"), "victim");
    EXPECT_FALSE(fs::exists(outside / "new.txt"));
    EXPECT_EQ(user.read("Kit/Updater/tamsel-due-check"), "due");
    EXPECT_EQ(user.read("Kit/localtamselupdater.ini").substr(0, 30), settings.substr(0, 30));
    EXPECT_EQ(GetFileDate(user / "Kit/Special/.Tools.ini"), "02/06/2024");

    app_.reset();
    said.clear();
    publishSpecial(addInEntry() + dotEntry + "script=\"CONFIG ^/ran.ini\"\r\n");
    runWithoutPackages().cmdCancel.PerformClick();
    EXPECT_FALSE(wasSaid("Processing special files"));
    EXPECT_FALSE(fs::exists(appData("ran.ini")));
    EXPECT_EQ(exitStatus(), 0);
}

// The main window asks for PowerPoint to be closed at most four times, then goes on; a special
// file that cannot be fetched then needs one Continue before the update goes on.
TEST_F(SpecialRun, AnInteractiveRunWarnsAboutPowerPointAndWaitsOnceAfterAFailure) {
    publishSpecial(
        "url=\"/Special/Gone.ppa\" date=\"01/06/2024\" size=\"4\" action=\"CLOSEPP\"\r\n");
    processes.powerPointRuns = true;
    chooseInNextMenu({});
    chooseInNextMenu({});
    frmMain& main = run("", [this] { return app_->Main().State() == 55; });
    EXPECT_EQ(toolkit.Beeps(), 1);
    EXPECT_EQ(main.InfoPane.ForeColor(), kColourRed);
    for (int click = 1; click <= 5; ++click) {
        ASSERT_EQ(main.State(), 55);
        main.cmdCancel.PerformClick();
        loop.RunUntil([&main] { return main.State() == 55 || main.State() == 82; });
    }
    EXPECT_EQ(toolkit.MessageBoxes().size(), 4u);
    EXPECT_EQ(main.State(), 82);
    EXPECT_TRUE(wasSaid("Unable to complete special file processing."));
    main.cmdCancel.PerformClick();
    loop.RunUntil([this] { return !app_->Main().Timer1.Running(); });
    EXPECT_EQ(main.State(), 100);
}

// A special list whose files are all current runs none of its scripts; the background notice
// offers the update, or ends the run when closed by its frame.
TEST_F(SpecialRun, TheBackgroundNoticeOffersTheUpdateWhenNoSpecialFileIsOutOfDate) {
    haveCurrentAddIn();
    publishSpecial(addInEntry(" action=\"CLOSEPP\"") + "script=\"CONFIG ^/ran.ini\"\r\n");
    // Closing the notice through its window frame answers it as Cancel.
    whileNoticeOpen(
        [](frmSilentUpdate& notice) { return notice.State() == 42 && user::CloseByFrame(notice); });
    runSilently();
    EXPECT_TRUE(noticeShown);
    EXPECT_TRUE(app_->Finished());
    EXPECT_FALSE(fs::exists(kitFile("/Logos/Logo.txt")));

    app_.reset();
    noticeShown = false;
    whileNoticeOpen([](frmSilentUpdate& notice) { return updateWhenOffered(notice); });
    frmMain& main = runSilently();
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(main.State(), 100);
    EXPECT_EQ(user.read("Kit/Files/Logos/Logo.txt"), "logo");
    EXPECT_FALSE(wasSaid("Processing special files."));
    EXPECT_FALSE(fs::exists(appData("ran.ini")));
    EXPECT_EQ(app_->Run().g_objMetrics.Pane(), &main.InfoPane);
    // The settings file had no "lastupdated" yet.
    EXPECT_NE(user.read("Kit/localtamselupdater.ini").find("lastupdated=\"" + DateToDmy(Now())),
              std::string::npos);

    // Nothing left to do: a background run ends quietly without showing a window.
    app_.reset();
    const auto shown = toolkit.ShowLog().size();
    frmMain& again = run("/SILENT");
    EXPECT_TRUE(app_->Finished());
    EXPECT_EQ(again.State(), 200);
    EXPECT_EQ(exitStatus(), 0);
    for (auto name = toolkit.ShowLog().begin() + shown; name != toolkit.ShowLog().end(); ++name) {
        EXPECT_EQ(*name, "frmProcess");
    }
}

// A background run whose download failed is a failure: the critical log goes to the server, the
// exit status is 1 and the schedule stays as it was, so the next start tries again.
TEST_F(SpecialRun, ABackgroundRunWhoseDownloadFailedEndsAsAFailure) {
    publish("Logos/PowerPoint/Logos/Logo.txt", "logo, longer than the catalogue says");
    whileNoticeOpen([](frmSilentUpdate& notice) { return updateWhenOffered(notice); });
    runSilently();
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_FALSE(fs::exists(kitFile("/Logos/Logo.txt")));
    EXPECT_NE(uploadedLog().find("\r\n$BEGIN Critical Objects\r\n"), std::string::npos);
    EXPECT_EQ(user.read("Kit/tamsel.ini"), "[Schedule]\r\nRunAtDate=1/1/2000\r\n");
}

// Special processing fails before the notice (the add-in is not published yet); the notice
// brings the add-in in once it is. With PowerPoint open it warns at most four times when the
// add-in needs PowerPoint closed, and not at all when it does not (message boxes and beeps count
// from the first run).
TEST_F(SpecialRun, TheBackgroundNoticeProcessesSpecialFilesWarningOnlyForClosePP) {
    for (const bool closePP : {false, true}) {
        SCOPED_TRACE(closePP);
        app_.reset();
        fs::remove(site / "Special/Tools.ppa");
        fs::remove(user / "Kit/Special/Tools.ppa");
        fs::remove(kitFile("/Logos/Logo.txt"));
        processes.powerPointRuns = false;
        said.clear();
        publishSpecial(addInEntry(closePP ? " action=\"CLOSEPP\"" : ""));
        int presses = 0;
        whileNoticeOpen([&](frmSilentUpdate& notice) {
            if (notice.State() == 0) {
                publish("Special/Tools.ppa", kAddIn);
                processes.powerPointRuns = true;
            }
            if (notice.State() == 13) {
                EXPECT_FALSE(notice.TopMost());
                EXPECT_EQ(static_cast<int>(toolkit.MessageBoxes().size()), std::min(presses, 4));
                ++presses;
                EXPECT_TRUE(user::Click(notice.cmdUpdate));
            }
            return updateWhenOffered(notice);
        });
        frmMain& main = runSilently();
        EXPECT_TRUE(wasSaid("Unable to complete special file processing."));
        EXPECT_EQ(presses, closePP ? 5 : 0);
        ASSERT_EQ(toolkit.MessageBoxes().size(), closePP ? 4u : 0u);
        EXPECT_EQ(toolkit.Beeps(), closePP ? 1 : 0);
        EXPECT_EQ(main.State(), 100);
        EXPECT_EQ(user.read("Kit/Special/Tools.ppa"), kAddIn);
    }
}

}  // namespace
}  // namespace tamsel
