#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "KitServer.h"
#include "app/UpdaterApp.h"
#include "forms/HeadlessToolkit.h"
#include "forms/User.h"
#include "support/TempDir.h"
#include "ui/frmMenu.h"
#include "ui/frmUpdate.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Served with LF line ends, as a catalogue saved on a system other than Windows.
constexpr const char* kMaster =
    "[SETTINGS]\nfull_log=\"%server%/tamsel_reports/upload.asp\"\n"
    "[MENU]\ncaption=\"Templates\"\n"
    "choice=\"Sales\" home=\"/Sales\"\n"
    "choice=\"Finance\" home=\"/Finance\"\n"
    "[MENU]\ncaption=\"Extras\"\n"
    "choice=\"Logos\" home=\"/Logos\"\n"
    "[EXCLUDE]\nurl=\"/Personal\"\n";

// A kit published by an in-process kit server, and a user's kit laid out as Kit/Updater with
// settings that name the server and the user.
class WholeRun : public ::testing::Test {
  protected:
    void SetUp() override {
        publish("Tam-Sel Main Catalogue.ini", kMaster);
        publish("Sales/catalogue.ini",
                "url=\"/Templates/Sales.pot\" date=\"03/04/2024\" size=\"5\"\r\n"
                "url=\"/Sales/Readme.txt\" date=\"04/04/2024\" size=\"3\"\r\n");
        publish("Sales/PowerPoint/Templates/Sales.pot", "sales");
        publish("Sales/PowerPoint/Sales/Readme.txt", "abc");
        publish("Finance/catalogue.ini",
                "[SETTINGS]\r\nabsolute=\"true\"\r\n"
                "[COMMON]\r\nurl=\"/Templates/Finance.pot\" date=\"05/06/2024\" size=\"7\"\r\n");
        publish("Finance/Templates/Finance.pot", "finance");
        publish("Logos/catalogue.ini",
                "url=\"/Logos/Logo.txt\" date=\"01/01/2024\" size=\"4\"\r\n");
        publish("Logos/PowerPoint/Logos/Logo.txt", "logo");

        server::KitServerOptions options;
        options.port = 0;
        options.kitRoot = site.path();
        options.reportsFolder = site / "reports";
        server_ = std::make_unique<server::KitServer>(options, serverLog_);
        ASSERT_TRUE(server_->bind());
        serving_ = std::thread([this] { server_->run(); });
        remote_ = "http://127.0.0.1:" + std::to_string(server_->port());

        user.write("Kit/Updater/.keep", "");
        user.write("Kit/globaltamselupdater.ini",
                   "remote=\"" + remote_ +
                       "\"\r\nprimary_catalogue=\"Tam-Sel Main Catalogue.ini\"\r\n"
                       "secondary_catalogue=\"catalogue.ini\"\r\n");
        user.write("Kit/localtamselupdater.ini",
                   "username=\"J Smith\"\r\ndepartment=\"Sales\"\r\nemail=\"js@example.com\"\r\n"
                   "autoupdate=\"Weekly\"\r\nlastupdated=\"\"\r\nlocal=\"" +
                       user / "Kit/Files" + "\"\r\n");
        user.write("Kit/tamsel.ini", "[Schedule]\r\nRunAtDate=1/1/2000\r\n");
        fs::create_directories(user / "Kit/Files");
    }

    void TearDown() override {
        app_.reset();  // its kept-alive connection would hold a server thread
        if (serving_.joinable()) {
            while (!server_->running()) {
                std::this_thread::yield();
            }
            server_->stop();
            serving_.join();
        }
    }

    void publish(const std::string& path, const std::string& content) { site.write(path, content); }

    // Starts the updater and runs it until its main timer stops or its window unloads.
    frmMain& run(const std::string& commandLine = "") {
        if (commandLine.empty()) {
            connectInSetup();
        }
        app_ = std::make_unique<UpdaterApp>(toolkit, user / "Kit/Updater", commandLine,
                                            HttpTransportFactory{}, user / "updater.lock");
        app_->Start();
        loop.RunUntil([this] { return app_->Finished() || !app_->Main().Timer1.Running(); });
        return app_->Main();
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        for (const auto& item : app_->Main().InfoPane.Items()) {
            result.push_back(item.text);
        }
        return result;
    }
    bool paneHas(const std::string& line) const {
        const auto all = lines();
        return std::find(all.begin(), all.end(), line) != all.end();
    }
    std::string kitFile(const std::string& url) const { return user / ("Kit/Files" + url); }
    // The ended program's exit status; what it wrote on standard error goes to errors.
    int exitStatus() {
        EXPECT_TRUE(app_->Finished());
        return app_->ExitStatus(errors);
    }
    // The update log the run left in the log folder, which it also uploaded to the server.
    std::string uploadedLog() const {
        const std::string log = user.read("Kit/tamsel_updater_log.txt");
        EXPECT_TRUE(paneHas("- log data received"));
        std::vector<fs::path> reports;
        for (const auto& entry : fs::directory_iterator(site / "reports")) {
            reports.push_back(entry.path());
        }
        EXPECT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports.empty() ? "" : site.read("reports/" + reports[0].filename().string()),
                  log);
        return log;
    }

    // The user ticks the named packages of the next menu and continues.
    void chooseInNextMenu(std::vector<std::string> packages) {
        toolkit.WhenShown("frmMenu", [packages](Form& form) {
            auto& list = form.Get<ListBox>("List");
            for (int i = 0; i < list.ListCount(); ++i) {
                const bool wanted =
                    std::find(packages.begin(), packages.end(), list.List(i)) != packages.end();
                if (list.Checked(i) != wanted) {
                    user::Tick(list, i, wanted);
                }
            }
            user::Click(form.Get<CommandButton>("cmdContinue"));
        });
    }
    // The user checks the details the setup dialog shows and presses Connect once it is enabled.
    void connectInSetup() {
        toolkit.WhenShown("frmLogin", [this](Form& form) {
            loop.PostAfter(std::chrono::milliseconds(400), [&form] {
                EXPECT_TRUE(user::Click(form.Get<CommandButton>("cmdConnect")));
            });
        });
    }
    void continueReview() {
        toolkit.WhenShown("frmUpdate",
                          [](Form& form) { user::Click(form.Get<CommandButton>("cmdContinue")); });
    }

    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    TempDir site;
    TempDir user;
    std::ostringstream serverLog_;
    std::unique_ptr<server::KitServer> server_;
    std::thread serving_;
    std::string remote_;
    std::unique_ptr<UpdaterApp> app_;
    std::ostringstream errors;
};

TEST_F(WholeRun, InteractiveFirstRunDownloadsTheChosenPackagesAndRecordsTheRun) {
    chooseInNextMenu({"Sales", "Finance"});
    chooseInNextMenu({});
    continueReview();
    frmMain& main = run();

    EXPECT_EQ(main.State(), 100);
    EXPECT_EQ(toolkit.PendingScripts(), 0u);
    EXPECT_EQ(main.cmdCancel.Caption(), "&Finish");
    EXPECT_TRUE(main.cmdCancel.Visible());
    EXPECT_EQ(user.read("Kit/Files/Templates/Sales.pot"), "sales");
    EXPECT_EQ(user.read("Kit/Files/Sales/Readme.txt"), "abc");
    EXPECT_EQ(user.read("Kit/Files/Templates/Finance.pot"), "finance");
    EXPECT_FALSE(fs::exists(kitFile("/Logos/Logo.txt")));

    // Each file carries its catalogue date at 06:00.
    struct stat info {};
    ASSERT_EQ(::stat(kitFile("/Templates/Sales.pot").c_str(), &info), 0);
    const DateTime stamped = FromTimeT(info.st_mtime);
    EXPECT_EQ(DateText(stamped), "03/04/2024");
    EXPECT_EQ(stamped.hour, 6);
    EXPECT_EQ(stamped.minute, 0);

    EXPECT_TRUE(paneHas("3 files has been updated with a total size of 15b"));
    EXPECT_EQ(app_->Run().g_objMetrics.FinalStatus(),
              "3 files has been updated with a total size of 15b");
    EXPECT_TRUE(paneHas("Please quit and re-launch PowerPoint"));
    const std::string log = uploadedLog();
    EXPECT_NE(
        log.find("Final_status_message=\"3 files has been updated with a total size of 15b\""),
        std::string::npos);
    EXPECT_NE(log.find("$BEGIN Packages\r\nChoice=\"Sales\" Home=\"/Sales\"\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("Critical Objects"), std::string::npos);
    // The publisher sees the run on the reports page.
    httplib::Client reports("127.0.0.1", server_->port());
    const auto page = reports.Get("/tamsel_reports/");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<td>J Smith</td><td>Sales</td><td>3 files has been updated"),
              std::string::npos);

    const std::string local = user.read("Kit/localtamselupdater.ini");
    EXPECT_NE(local.find("lastupdated=\"" + DateToDmy(Now()) + "\""), std::string::npos);
    EXPECT_NE(local.find("historical=\"Sales\"\r\nhistorical=\"Finance\"\r\n"), std::string::npos);
    EXPECT_EQ(user.read("Kit/tamsel.ini"),
              "[Schedule]\r\nRunAtDate=" + DateToDmy(AddDays(Now(), 7)) + "\r\n");

    // The completion notice reached nobody: this catalogue names no address for it.
    main.cmdCancel.PerformClick();
    EXPECT_TRUE(app_->Finished());
    EXPECT_EQ(exitStatus(), 0);
}

TEST_F(WholeRun, ASecondRunFindsNothingToDo) {
    chooseInNextMenu({"Sales"});
    chooseInNextMenu({});
    continueReview();
    run();
    app_.reset();

    chooseInNextMenu({"Sales"});
    chooseInNextMenu({});
    frmMain& main = run();
    EXPECT_EQ(main.State(), 100);
    EXPECT_TRUE(paneHas("Local files are already up-to-date."));
    EXPECT_EQ(toolkit.ShowLog().end()[-1], "frmMain");
}

// The background notice that would ask the user first does not exist yet: the run goes on as if
// it had been answered Update. Special processing finds nothing to do in these runs either.
TEST_F(WholeRun, SilentRunUsesTheSavedHistoryWithoutAnyDialog) {
    user.write(
        "Kit/localtamselupdater.ini",
        "username=\"J Smith\"\r\nhistorical=\"Logos\"\r\nlocal=\"" + user / "Kit/Files" + "\"\r\n");
    frmMain& main = run("/SILENT");
    EXPECT_EQ(main.State(), 100);
    EXPECT_EQ(user.read("Kit/Files/Logos/Logo.txt"), "logo");
    for (const auto& shown : toolkit.ShowLog()) {
        EXPECT_TRUE(shown == "frmProcess" || shown == "frmMain") << shown;
    }

    // Nothing left to do: a background run ends quietly without showing its window.
    app_.reset();
    frmMain& again = run("/SILENT");
    EXPECT_TRUE(app_->Finished());
    EXPECT_EQ(again.State(), 200);
    EXPECT_EQ(exitStatus(), 0);
}

TEST_F(WholeRun, RedundantFilesAreRemovedAndTheirEmptyFoldersPruned) {
    user.write("Kit/Files/Old/Deep/old.pot", "old");
    // Excluded as "/Personal": kit paths ignore letter case.
    user.write("Kit/Files/personal/mine.txt", "mine");
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    toolkit.WhenShown("frmUpdate", [](Form& form) {
        auto& list = form.Get<ListBox>("List");
        ASSERT_EQ(list.ListCount(), 2);
        EXPECT_EQ(list.List(0), "New: 4b  /Logos/Logo.txt");
        EXPECT_EQ(list.List(1), "Remove: 3b  /Old/Deep/old.pot");
        EXPECT_EQ(form.Get<Label>("lblStatus").Caption(),
                  "1 file to update (4b)   1 file to delete (3b)");
        user::Click(form.Get<CommandButton>("cmdContinue"));
    });
    frmMain& main = run();
    EXPECT_EQ(main.State(), 100);
    EXPECT_FALSE(fs::exists(user / "Kit/Files/Old"));
    EXPECT_EQ(user.read("Kit/Files/personal/mine.txt"), "mine");
}

// A catalogue answer that reads as nothing fails the run; it never empties the kit.
TEST_F(WholeRun, AnEmptyCatalogueAnswerRemovesNothing) {
    user.write("Kit/Files/Templates/Old.pot", "old");
    publish("Tam-Sel Main Catalogue.ini", "");
    EXPECT_EQ(run().State(), 99);
    EXPECT_EQ(user.read("Kit/Files/Templates/Old.pot"), "old");
}

// The settings leave the kit folder empty, so it is the program's own folder.
TEST_F(WholeRun, WithTheKitInTheProgramsFolderNothingOfTheProgramsOwnIsRemoved) {
    const std::string settings = user.read("Kit/localtamselupdater.ini");
    user.write("Kit/localtamselupdater.ini",
               settings.substr(0, settings.find("local=")) + "local=\"\"\r\n");
    user.write("Kit/Updater/globaltamselupdater.ini", "remote=\"\"\r\n");
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    toolkit.WhenShown("frmUpdate", [](Form& form) {
        auto& list = form.Get<ListBox>("List");
        ASSERT_EQ(list.ListCount(), 1);
        EXPECT_EQ(list.List(0), "New: 4b  /Logos/Logo.txt");
        user::Click(form.Get<CommandButton>("cmdContinue"));
    });
    connectInSetup();
    EXPECT_EQ(run("/DEBUG").State(), 100);
    EXPECT_EQ(user.read("Kit/Updater/Logos/Logo.txt"), "logo");
}

TEST_F(WholeRun, AnUnreachableMasterCatalogueEndsInTheFailureState) {
    fs::remove(site / "Tam-Sel Main Catalogue.ini");
    frmMain& main = run();
    EXPECT_EQ(main.State(), 99);
    EXPECT_TRUE(paneHas("failed"));
    EXPECT_TRUE(
        paneHas("  cause: HTTP 404 Not Found from " + remote_ + "/Tam-Sel Main Catalogue.ini"));
    EXPECT_EQ(lines().back(), "Unable to continue. Please try again in a few minutes.");
    main.cmdCancel.PerformClick();
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_TRUE(main.cmdCancel.Visible());
    EXPECT_FALSE(main.Timer1.Running());
    // Without a catalogue there is nothing to report.
    EXPECT_FALSE(fs::exists(user / "Kit/tamsel_updater_log.txt"));
}

TEST_F(WholeRun, AFileThatCannotBeWrittenEndsInErrorWithoutTouchingWhatIsThere) {
    // A file stands where the package needs a folder.
    user.write("Kit/Files/Logos", "mine");
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    toolkit.WhenShown("frmUpdate", [](Form& form) {
        auto& list = form.Get<ListBox>("List");
        ASSERT_EQ(list.List(1), "Remove: 4b  /Logos");
        user::Tick(list, 1, false);
        user::Click(form.Get<CommandButton>("cmdContinue"));
    });
    frmMain& main = run();
    EXPECT_EQ(main.State(), 99);
    EXPECT_EQ(app_->Run().g_objMetrics.FinalStatus(), "ERROR");
    EXPECT_TRUE(paneHas("Unable to write file '" + kitFile("/Logos/Logo.txt") + "'"));
    EXPECT_EQ(user.read("Kit/Files/Logos"), "mine");
}

TEST_F(WholeRun, CancellingAMenuEndsTheRunWithoutWritingAnything) {
    toolkit.WhenShown("frmMenu",
                      [](Form& form) { user::Click(form.Get<CommandButton>("cmdCancel")); });
    run();
    EXPECT_TRUE(app_->Finished());
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_EQ(user.read("Kit/localtamselupdater.ini").find("historical"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(user / "Kit/Files"));
}

TEST_F(WholeRun, ClosingTheProcessingDialogByItsFrameCancelsTheRun) {
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    continueReview();
    toolkit.WhenShown("frmProcess",
                      [](Form& form) { form.RequestUnload(UnloadMode::FormControlMenu); });
    frmMain& main = run();
    EXPECT_EQ(main.State(), 100);
    EXPECT_FALSE(paneHas("Downloading files completed."));
    EXPECT_TRUE(paneHas("Downloading files canceled."));
    EXPECT_TRUE(paneHas("CANCELED No files have been updated"));
    EXPECT_EQ(app_->Run().g_objMetrics.FinalStatus(), "CANCELED No files have been updated");
    main.cmdCancel.PerformClick();
    EXPECT_EQ(exitStatus(), 1);
}

TEST_F(WholeRun, ASecondCopyGivesWayAndSaysSo) {
    SingleInstanceLock first(user / "updater.lock");
    run("/SILENT");
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_EQ(errors.str(), "The Tamsel Updater is already running.\n");
}

TEST_F(WholeRun, ACatalogueSizeThatIsNotANumberFailsTheRunInOrder) {
    publish("Logos/catalogue.ini", "url=\"/Logos/Logo.txt\" date=\"01/01/2024\" size=\"four\"\r\n");
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    continueReview();
    frmMain& main = run();
    EXPECT_EQ(main.State(), 99);
    EXPECT_FALSE(fs::exists(kitFile("/Logos/Logo.txt")));
    EXPECT_NE(uploadedLog().find("\r\n$BEGIN Critical Objects\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tamsel

namespace tamsel {
namespace {

// Special work that is always due and needs PowerPoint closed, with PowerPoint open for a number
// of looks.
class PowerPointInTheWay : public SpecialWork {
  public:
    explicit PowerPointInTheWay(int looksWhileOpen) : looksWhileOpen_(looksWhileOpen) {}
    long checkSpecial(const std::string&, const CFiles&) override { return 1; }
    bool checkAction(const std::string&, const CFiles&) override { return true; }
    bool isPowerPointRunning() override { return looks_++ < looksWhileOpen_; }
    bool processSpecial(const std::string& folder, CFiles&) override {
        processedIn = folder;
        return processed;
    }

    std::string processedIn;
    bool processed = true;

  private:
    int looksWhileOpen_;
    int looks_ = 0;
};

class SpecialRun : public WholeRun {
  protected:
    void SetUp() override {
        WholeRun::SetUp();
        publish("Tam-Sel Main Catalogue.ini",
                std::string(kMaster) + "[SPECIAL]\r\nscript=\"RUN /Tools/setup.exe\"\r\n");
    }

    // Starts the run with the given special work and steps it until it waits for the button.
    frmMain& start(std::unique_ptr<PowerPointInTheWay> work) {
        special = work.get();
        connectInSetup();
        app_ = std::make_unique<UpdaterApp>(toolkit, user / "Kit/Updater", "",
                                            HttpTransportFactory{}, user / "updater.lock");
        app_->Run().special = std::move(work);
        app_->Start();
        loop.RunUntil([this] { return app_->Main().State() == 55; });
        return app_->Main();
    }

    PowerPointInTheWay* special = nullptr;
};

TEST_F(SpecialRun, PowerPointIsAskedToCloseAtMostFourTimesBeforeSpecialWorkGoesOn) {
    frmMain& main = start(std::make_unique<PowerPointInTheWay>(100));
    EXPECT_EQ(toolkit.Beeps(), 1);
    EXPECT_EQ(main.cmdCancel.Caption(), "&Continue");
    EXPECT_TRUE(main.cmdCancel.Visible());
    EXPECT_EQ(main.InfoPane.ForeColor(), kColourRed);
    for (int click = 1; click <= 4; ++click) {
        main.cmdCancel.PerformClick();
        loop.RunUntil([&main] { return main.State() == 55 || main.State() >= 70; });
        ASSERT_EQ(main.State(), 55);
        ASSERT_EQ(toolkit.MessageBoxes().size(), static_cast<std::size_t>(click));
    }
    EXPECT_EQ(toolkit.MessageBoxes()[0].title, "Tamsel Updater");
    EXPECT_EQ(toolkit.MessageBoxes()[0].style, msgbox::kCritical);
    EXPECT_NE(toolkit.MessageBoxes()[0].prompt.find("still have PowerPoint open.\r\nTo safely"),
              std::string::npos);

    // The fifth Continue goes on with PowerPoint still open, then the update runs as usual.
    std::string captionAtTheMenus;
    toolkit.WhenShown("frmMenu", [&](Form& form) {
        captionAtTheMenus = main.cmdCancel.Caption();
        user::Click(form.Get<CommandButton>("cmdContinue"));
    });
    chooseInNextMenu({});
    main.cmdCancel.PerformClick();
    loop.RunUntil([this] { return app_->Finished() || !app_->Main().Timer1.Running(); });
    EXPECT_EQ(captionAtTheMenus, "&Cancel") << "past the warning the button cancels";
    EXPECT_EQ(toolkit.MessageBoxes().size(), 4u);
    EXPECT_EQ(special->processedIn, user / "Kit");

    EXPECT_EQ(main.State(), 100);
    EXPECT_TRUE(paneHas("- log data received"));
}

TEST_F(SpecialRun, FailedSpecialWorkNeedsOneContinueAndTheUpdateGoesOn) {
    auto work = std::make_unique<PowerPointInTheWay>(1);
    work->processed = false;
    frmMain& main = start(std::move(work));
    main.cmdCancel.PerformClick();  // PowerPoint has closed meanwhile
    loop.RunUntil([&main] { return main.State() == 82; });
    EXPECT_TRUE(paneHas("Unable to complete special file processing."));
    EXPECT_EQ(main.cmdCancel.Caption(), "&Continue");
    chooseInNextMenu({});
    chooseInNextMenu({});
    main.cmdCancel.PerformClick();
    loop.RunUntil([this] { return app_->Finished() || !app_->Main().Timer1.Running(); });
    EXPECT_EQ(main.State(), 100);
    EXPECT_EQ(main.cmdCancel.Caption(), "&Finish");
}

}  // namespace
}  // namespace tamsel
