#include "WholeRun.h"
#include "util/Text.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::WholeRun;

TEST_F(WholeRun, FilesReachedThroughALinkOutOfTheKitAreNeverRemoved) {
    home.write("shared/report.pot", "shared");
    home.write("notes.txt", "notes");
    fs::create_directory_symlink(home / "shared", user / "Kit/Files/Shared");
    fs::create_symlink(home / "notes.txt", user / "Kit/Files/notes.txt");
    user.write("Kit/Files/Old/old.pot", "old");
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    toolkit.WhenShown("frmUpdate", [](Form& form) {
        auto& list = form.Get<ListBox>("List");
        ASSERT_EQ(list.ListCount(), 2);
        EXPECT_EQ(list.List(1), "Remove: 3b  /Old/old.pot");
        user::Click(form.Get<CommandButton>("cmdContinue"));
    });
    EXPECT_EQ(run().State(), 100);
    EXPECT_EQ(home.read("shared/report.pot"), "shared");
    EXPECT_EQ(home.read("notes.txt"), "notes");
    EXPECT_FALSE(fs::exists(kitFile("/Old/old.pot")));
}

// A catalogue cut inside a line would lose what followed the cut: the user's exclusions, the
// package's other files.
TEST_F(WholeRun, ACatalogueCutInsideALineFailsTheRunAndChangesNothing) {
    const std::string master = test::kMaster;
    const struct {
        std::string path, text;
        const char* line;  // counted after the comment line put in front of every catalogue
    } cases[] = {
        {"Logos/catalogue.ini",
         "url=\"/Logos/Logo.txt\" date=\"01/01/2024\" size=\"4\"\r\nurl=\"/Logos/Sec", "3"},
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
                            " ends inside a quoted value (the text is cut short)"))
            << c.path;
        EXPECT_EQ(user.read("Kit/Files/Personal/mine.txt"), "mine");
        EXPECT_EQ(user.read("Kit/Files/Logos/Second.txt"), "second");
        EXPECT_EQ(user.read("Kit/localtamselupdater.ini").find("historical"), std::string::npos);
        app_.reset();
    }
}

TEST_F(WholeRun, AForgedNameServerAnswerNeverAddsASetting) {
    std::string master = test::kMaster;
    master.insert(master.find('\n') + 1,
                  "ein_confirmation=\"%server%/names.txt\"\nein_confirmation_response=\"VALID\"\n"
                  "ein_confirmation_response_fail=\"INCORRECT\"\n");
    publish("Tam-Sel Main Catalogue.ini", master);
    publish("names.txt", "VALID name=Eve\"\r\nlocal=\"" + home.path() +
                             "\"\r\n,surname=Doe,email=eve@example.com");
    chooseInNextMenu({});
    chooseInNextMenu({});
    EXPECT_EQ(run().State(), 100);
    CConfiguration saved;
    ASSERT_TRUE(saved.readFile(user / "Kit/localtamselupdater.ini"));
    EXPECT_EQ(saved.getLocal(), user / "Kit/Files");
    EXPECT_EQ(saved.getValue("username"), "Evelocal=" + home.path() + " Doe");
}

// The history changes only when the user goes on with the changes it makes; a line whose closing
// quote was lost by hand still names its package and is kept as it was written.
TEST_F(WholeRun, CancellingTheReviewKeepsThePackageHistory) {
    const std::string kHistory = "\r\nhistorical=\"Logos\r\n";
    user.write("Kit/localtamselupdater.ini",
               user.read("Kit/localtamselupdater.ini") + kHistory.substr(2));
    user.write("Kit/Files/Logos/Logo.txt", "logo");
    chooseInNextMenu({});
    chooseInNextMenu({});
    toolkit.WhenShown("frmWarning", [](Form& form) { user::PressEnter(form); });
    toolkit.WhenShown("frmUpdate", [](Form& form) {
        EXPECT_EQ(form.Get<ListBox>("List").List(0), "Remove: 4b  /Logos/Logo.txt");
        user::Click(form.Get<CommandButton>("cmdCancel"));
    });
    run();
    EXPECT_NE(user.read("Kit/localtamselupdater.ini").find(kHistory), std::string::npos);
    EXPECT_EQ(user.read("Kit/Files/Logos/Logo.txt"), "logo");

    app_.reset();
    chooseInNextMenu({});
    chooseInNextMenu({"Logos"});
    continueReview();
    EXPECT_EQ(run().State(), 100);
    EXPECT_NE(user.read("Kit/localtamselupdater.ini").find(kHistory), std::string::npos);
}

TEST_F(WholeRun, AKitFolderNotThereYetIsCreatedWhenTheRunStarts) {
    const struct {
        std::string kit;
        int state;
        std::string cause;  // empty: none
    } cases[] = {
        {user / "Kit/New/Files", 100, ""},
        {user / "Kit/tamsel.ini/Files", 99, user / "Kit/tamsel.ini/: File exists"},
    };
    const std::string settings = user.read("Kit/localtamselupdater.ini");
    for (const auto& c : cases) {
        user.write("Kit/localtamselupdater.ini", ReplaceAll(settings, user / "Kit/Files", c.kit));
        chooseInNextMenu({});
        chooseInNextMenu({});
        EXPECT_EQ(run().State(), c.state) << c.kit;
        EXPECT_EQ(fs::is_directory(c.kit), c.cause.empty());
        if (!c.cause.empty()) {
            EXPECT_TRUE(paneHas("Cannot create the kit folder '" + c.kit + "'"));
            EXPECT_TRUE(paneHas("  cause: Cannot create folder " + c.cause));
            // Nothing was done for the kit before.
            EXPECT_FALSE(wasSaid("Retrieving master catalogue from server..."));
        }
        app_.reset();
        said.clear();
    }
}

}  // namespace
}  // namespace tamsel
