#include "WholeRun.h"
#include "util/Text.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::WholeRun;

TEST_F(WholeRun, FilesReachedThroughALinkOutOfTheKitAreNeverRemoved) {
    home.write("shared/report.pot", "shared");
    fs::create_directory_symlink(home / "shared", user / "Kit/Files/Shared");
    fs::create_symlink(home / "shared/report.pot", user / "Kit/Files/report.pot");
    chooseInNextMenu({});
    chooseInNextMenu({});
    EXPECT_EQ(run().State(), 100);
    EXPECT_EQ(home.read("shared/report.pot"), "shared");
}

// A cut would lose what followed it: the user's exclusions, the package's other files.
TEST_F(WholeRun, ACatalogueCutInsideALineFailsTheRunAndChangesNothing) {
    const std::string master = test::kMaster;
    const struct {
        std::string path, text, line;  // the line counts the comment put before every catalogue
    } cases[] = {
        {"Logos/catalogue.ini",
         "url=\"/Logos/Logo.txt\" date=\"01/01/2024\" size=\"4\"\r\nurl=\"/Lo", "3"},
        {"Tam-Sel Main Catalogue.ini", master.substr(0, master.find("Logos\" home")), "10"},
    };
    user.write("Kit/Files/Personal/mine.txt", "mine");
    user.write("Kit/Files/Logos/Second.txt", "second");
    for (const auto& c : cases) {
        publish(c.path, c.text);
        chooseInNextMenu({});
        chooseInNextMenu({"Logos"});
        continueReview();
        EXPECT_EQ(run().State(), 99) << c.path;
        EXPECT_TRUE(paneHas("  cause: the answer from " + remote_ + "/" + c.path +
                            " is not a catalogue: line " + c.line +
                            " ends inside a quoted value (the text is cut short)"));
        EXPECT_TRUE(fs::exists(kitFile("/Personal/mine.txt")) && fs::exists(kitFile("/Logos")));
        EXPECT_EQ(user.read("Kit/localtamselupdater.ini").find("historical"), std::string::npos);
        app_.reset();
    }
}

TEST_F(WholeRun, AForgedNameServerAnswerNeverAddsASetting) {
    std::string master = test::kMaster;
    master.insert(master.find('\n') + 1,
                  "ein_confirmation=\"%server%/names.txt\"\nein_confirmation_response=\"OK\"\n"
                  "ein_confirmation_response_fail=\"BAD\"\n");
    publish("Tam-Sel Main Catalogue.ini", master);
    publish("names.txt", "OK name=Eve\"\r\nlocal=\"/home\"\r\n,surname=Doe,email=e@example.com");
    chooseInNextMenu({});
    chooseInNextMenu({});
    EXPECT_EQ(run().State(), 100);
    CConfiguration saved;
    ASSERT_TRUE(saved.readFile(user / "Kit/localtamselupdater.ini"));
    EXPECT_EQ(saved.getLocal(), user / "Kit/Files");
    EXPECT_EQ(saved.getValue("username"), "Evelocal=/home Doe");
}

// The history follows the menus only once the user goes on with what that changes; a line whose
// closing quote was lost still names its package and stays as it was written.
TEST_F(WholeRun, CancellingTheReviewKeepsThePackageHistory) {
    const std::string history = "\r\nhistorical=\"Logos\r\n";
    user.write("Kit/localtamselupdater.ini",
               user.read("Kit/localtamselupdater.ini") + history.substr(2));
    user.write("Kit/Files/Logos/Logo.txt", "logo");
    const std::pair<std::vector<std::string>, const char*> rounds[] = {{{}, "cmdCancel"},
                                                                       {{"Logos"}, "cmdContinue"}};
    for (const auto& [packages, review] : rounds) {
        chooseInNextMenu({});
        chooseInNextMenu(packages);
        toolkit.WhenShown("frmWarning", [](Form& form) { user::PressEnter(form); });
        toolkit.WhenShown("frmUpdate",
                          [review](Form& form) { user::Click(form.Get<CommandButton>(review)); });
        run();
        EXPECT_NE(user.read("Kit/localtamselupdater.ini").find(history), std::string::npos);
        app_.reset();
    }
}

TEST_F(WholeRun, AKitFolderNotThereYetIsMadeBeforeAnythingElse) {
    const std::string settings = user.read("Kit/localtamselupdater.ini");
    for (const std::string& kit : {user / "Kit/New/Files", user / "Kit/tamsel.ini/Files"}) {
        user.write("Kit/localtamselupdater.ini", ReplaceAll(settings, user / "Kit/Files", kit));
        chooseInNextMenu({});
        chooseInNextMenu({});
        const bool made = run().State() == 100;
        EXPECT_EQ(fs::is_directory(kit), made);
        EXPECT_EQ(paneHas("  cause: Cannot create folder " + user / "Kit/tamsel.ini/: File exists"),
                  !made);
        EXPECT_EQ(wasSaid("Retrieving master catalogue from server..."), made);
        app_.reset();
        said.clear();
    }
}

}  // namespace
}  // namespace tamsel
