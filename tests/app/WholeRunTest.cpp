#include "WholeRun.h"

#include <sys/stat.h>

#include "ui/frmMenu.h"
#include "ui/frmUpdate.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::WholeRun;

TEST_F(WholeRun, AFirstRunDownloadsTheChosenPackagesAndRecordsTheRunASecondHasNothingToDo) {
    chooseInNextMenu({"Sales", "Finance"});
    chooseInNextMenu({});
    continueReview();
    frmMain& main = run();

    EXPECT_EQ(main.State(), 100);
    EXPECT_EQ(user.read("Kit/Files/Templates/Sales.pot"), "sales");
    EXPECT_EQ(user.read("Kit/Files/Sales/Readme.txt"), "abc");
    EXPECT_EQ(user.read("Kit/Files/Templates/Finance.pot"), "finance");
    EXPECT_FALSE(fs::exists(kitFile("/Logos/Logo.txt")));

    // Each file carries its catalogue date at 06:00.
    struct stat info {};
    ASSERT_EQ(::stat(kitFile("/Templates/Sales.pot").c_str(), &info), 0);
    const DateTime stamped = FromTimeT(info.st_mtime);
    EXPECT_EQ(DateText(stamped) + " " + TimeText(stamped), "03/04/2024 06:00:00");

    EXPECT_TRUE(paneHas("3 files has been updated with a total size of 15b"));
    EXPECT_TRUE(paneHas("Please quit and re-launch PowerPoint"));
    const std::string log = uploadedLog();
    EXPECT_NE(
        log.find("Final_status_message=\"3 files has been updated with a total size of 15b\""),
        std::string::npos);
    EXPECT_NE(log.find("$BEGIN Packages\r\nChoice=\"Sales\" Home=\"/Sales\"\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("Critical Objects"), std::string::npos);

    const std::string local = user.read("Kit/localtamselupdater.ini");
    EXPECT_NE(local.find("lastupdated=\"" + DateToDmy(Now()) + "\""), std::string::npos);
    EXPECT_NE(local.find("historical=\"Sales\"\r\nhistorical=\"Finance\"\r\n"), std::string::npos);
    EXPECT_EQ(user.read("Kit/tamsel.ini"),
              "[Schedule]\r\nRunAtDate=" + DateToDmy(AddDays(Now(), 7)) + "\r\n");

    main.cmdCancel.PerformClick();
    EXPECT_TRUE(app_->Finished());
    EXPECT_EQ(exitStatus(), 0);

    // A second run finds nothing to do.
    app_.reset();
    chooseInNextMenu({"Sales", "Finance"});
    chooseInNextMenu({});
    EXPECT_EQ(run().State(), 100);
    EXPECT_TRUE(paneHas("Local files are already up-to-date."));
    EXPECT_EQ(toolkit.ShowLog().end()[-1], "frmMain");
}

TEST_F(WholeRun, RedundantFilesAreRemovedAndTheirEmptyFoldersPruned) {
    // The completion notice, with a name typed in the setup dialog.
    std::string master = test::kMaster;
    master.insert(master.find('\n') + 1, "log=\"%server%/notice?n=%name%&o=%office%\"\n");
    publish("Tam-Sel Main Catalogue.ini", master);
    user.write("Kit/localtamselupdater.ini",
               user.read("Kit/localtamselupdater.ini") + "office=\"11.0\"\r\n");
    inSetup = [](Form& form) { form.Get<TextBox>("txtUser").SetText("J \"Q\" Smith"); };
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
    app_.reset();
    server.stop();
    // The name typed loses its quotes on the way into the settings.
    EXPECT_NE(server.log().find("\"GET /notice?n=J%20Q%20Smith&o=11.0 HTTP/1.1\" 404"),
              std::string::npos)
        << server.log();
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
