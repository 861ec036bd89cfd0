#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "DesktopFiles.h"
#include "Installer.h"
#include "config/CConfiguration.h"
#include "support/TempDir.h"
#include "util/Error.h"

namespace tamsel::desktop {
namespace {

namespace fs = std::filesystem;

// A home of its own with a fake updater and due check to copy; the kit's name needs quoting
// everywhere it is written.
class InstallerTest : public ::testing::Test {
  protected:
    InstallerTest() {
        paths_ = {home_ / ".config", home_ / ".local/share"};
        for (const char* program : {"updater", "due-check"}) {
            fs::permissions(home_.write(program, "#!/bin/sh\nexit 0\n"), fs::perms::owner_all);
        }
        request_ = {home_ / "Kit %h $HOME `x`",
                    "http://kits.example/tamsel",
                    "J Smith",
                    "",
                    "j@example.com",
                    home_ / "updater",
                    home_ / "due-check",
                    true,
                    ""};
    }

    std::string install(bool systemd = true) {
        request_.systemdTimer = systemd;
        std::ostringstream out;
        InstallKit(request_, paths_, out);
        return out.str();
    }
    std::string config(const std::string& relative) const { return paths_.configHome + relative; }
    std::string data(const std::string& relative) const { return paths_.dataHome + relative; }
    std::string kit(const std::string& relative) const { return request_.kitFolder + relative; }

    // The command's status, or -1 when the program is not installed here.
    static int RunTool(const std::string& tool, const std::string& arguments,
                       const std::string& environment = "") {
        if (std::system(("command -v " + tool + " >/dev/null").c_str()) != 0) {
            return -1;
        }
        return WEXITSTATUS(std::system((environment + " " + tool + " " + arguments).c_str()));
    }
    static std::string Quoted(const std::string& path) { return "'" + path + "'"; }

    test::TempDir home_;
    DesktopPaths paths_;
    InstallRequest request_;
};

TEST_F(InstallerTest, LaysOutTheKitAndItsDesktopFiles) {
    install();

    CConfiguration global, local;
    ASSERT_TRUE(global.readFile(kit("/globaltamselupdater.ini")));
    ASSERT_TRUE(local.readFile(kit("/localtamselupdater.ini")));
    EXPECT_EQ(global.getRemote(), "http://kits.example/tamsel");
    EXPECT_EQ(global.getPrimaryCatalogue(), "Tam-Sel Main Catalogue.ini");
    EXPECT_EQ(local.getLocal(), kit("/Files"));
    EXPECT_EQ(local.getValue("username"), "J Smith");
    EXPECT_EQ(local.getValue("email"), "j@example.com");
    EXPECT_EQ(home_.read(kit("/tamsel.ini").substr(home_.path().size() + 1)),
              "[Tamsel]\r\nRunAtDate=\r\n");
    EXPECT_TRUE(fs::is_directory(kit("/Files")));
    EXPECT_EQ(fs::status(kit("/Updater/tamsel-due-check")).permissions() & fs::perms::owner_exec,
              fs::perms::owner_exec);

    const std::string timer = config("/systemd/user/tamsel-updater.timer");
    EXPECT_EQ(fs::read_symlink(config("/systemd/user/timers.target.wants/tamsel-updater.timer")),
              timer);
    EXPECT_TRUE(fs::exists(data("/icons/hicolor/scalable/apps/tamsel-updater.svg")));
    EXPECT_FALSE(fs::exists(config("/autostart/tamsel-updater-due-check.desktop")));

    // The generated files are checked by the desktop's own tools where they are installed.
    const std::string units =
        Quoted(config("/systemd/user/tamsel-updater.service")) + " " + Quoted(timer) + " >&2";
    const int verified =
        RunTool("systemd-analyze", "--user verify " + units, "XDG_RUNTIME_DIR=" + home_.path());
    const int validated = RunTool("desktop-file-validate",
                                  Quoted(data("/applications/tamsel-updater.desktop")) + " >&2");
    if (verified == -1 || validated == -1) {
        GTEST_SKIP() << "systemd-analyze or desktop-file-validate is not installed";
    }
    EXPECT_EQ(verified, 0);
    EXPECT_EQ(validated, 0);
}

TEST_F(InstallerTest, WithoutSystemdTheLoginEntryRunsTheDueCheck) {
    install(false);
    const std::string entry = config("/autostart/tamsel-updater-due-check.desktop");
    EXPECT_TRUE(fs::exists(entry));
    EXPECT_FALSE(fs::exists(config("/systemd/user/tamsel-updater.timer")));
    if (RunTool("desktop-file-validate", Quoted(entry) + " >&2") > 0) {
        ADD_FAILURE() << "the login entry does not validate";
    }

    // Installed again where systemd runs, the timer takes over from the login entry.
    install(true);
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_TRUE(fs::exists(config("/systemd/user/tamsel-updater.timer")));
}

// A second install without the user's details keeps the kit folder and the details the user
// has since changed.
TEST_F(InstallerTest, SecondInstallChangesNothingAndUninstallLeavesTheKit) {
    install();
    CConfiguration edited;
    ASSERT_TRUE(edited.readFile(kit("/localtamselupdater.ini")));
    edited.setValue("local", kit("/Elsewhere"));
    edited.setValue("username", "Jane Doe");
    ASSERT_TRUE(edited.writeFile(kit("/localtamselupdater.ini")));
    const std::string schedule = "[Tamsel]\r\nRunAtDate=1/1/2030\r\n";
    home_.write(kit("/tamsel.ini").substr(home_.path().size() + 1), schedule);
    request_.user.clear();
    request_.email.clear();
    const std::string again = install();
    EXPECT_EQ(again.find("wrote"), std::string::npos) << again;
    EXPECT_EQ(again.find("linked"), std::string::npos) << again;
    CConfiguration local;
    ASSERT_TRUE(local.readFile(kit("/localtamselupdater.ini")));
    EXPECT_EQ(local.getLocal(), kit("/Elsewhere"));
    EXPECT_EQ(local.getValue("username"), "Jane Doe");
    EXPECT_EQ(local.getValue("email"), "j@example.com");
    EXPECT_EQ(home_.read(kit("/tamsel.ini").substr(home_.path().size() + 1)), schedule);

    // Uninstalling another kit leaves this kit's integration.
    std::ostringstream out;
    UninstallKit(home_ / "Other", paths_, out);
    EXPECT_TRUE(fs::exists(config("/systemd/user/tamsel-updater.timer")));
    EXPECT_TRUE(fs::exists(data("/applications/tamsel-updater.desktop")));
    EXPECT_NE(out.str().find("belongs to the kit in " + request_.kitFolder), std::string::npos);

    UninstallKit(request_.kitFolder, paths_, out);
    for (const char* gone :
         {"/systemd/user/tamsel-updater.service", "/systemd/user/tamsel-updater.timer",
          "/systemd/user/timers.target.wants/tamsel-updater.timer"}) {
        EXPECT_FALSE(fs::exists(fs::symlink_status(config(gone)))) << gone;
    }
    EXPECT_FALSE(fs::exists(data("/applications/tamsel-updater.desktop")));
    for (const char* kept : {"/Updater/tamsel-updater", "/localtamselupdater.ini",
                             "/globaltamselupdater.ini", "/tamsel.ini", "/Files"}) {
        EXPECT_TRUE(fs::exists(kit(kept))) << kept;
    }
}

// Values from an installer's pages or command line never carry a line break or a double quote
// into a settings file; a public key given is written.
TEST_F(InstallerTest, SettingsRefuseLineBreaksAndQuotesAndTakeThePublicKey) {
    const std::pair<std::string InstallRequest::*, const char*> cases[] = {
        {&InstallRequest::remote, "http://a\nremote=http://elsewhere"},
        {&InstallRequest::user, "J \"Smith"},
        {&InstallRequest::email, "j@example.com\r"},
        {&InstallRequest::publicKey, "RWQ\nx"}};
    for (const auto& [field, value] : cases) {
        InstallRequest request = request_;
        request.*field = value;
        std::ostringstream out;
        EXPECT_THROW(WriteKitSettings(request, out), TamselError) << value;
    }
    EXPECT_FALSE(fs::exists(kit("/globaltamselupdater.ini")));

    request_.publicKey = "RWQf6LRCGA9i53mlYecO4IzT51TGPpvWucNSCh1CBM0QTaLn73Y7GFO3";
    std::ostringstream out;
    WriteKitSettings(request_, out);
    CConfiguration global;
    ASSERT_TRUE(global.readFile(kit("/globaltamselupdater.ini")));
    EXPECT_EQ(global.getValue("public_key"), request_.publicKey);
}

TEST(KitFolder, OnlyEmptyFoldersAndKitsAreAccepted) {
    // The folder, a file written inside it (empty: the folder is left empty), and the verdict.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Empty", "", true},
        {"Kit", "globaltamselupdater.ini", true},
        {"Documents", "Letters/note.txt", false},
        {"HiddenOnly", ".git/HEAD", false},
        {"Quote \"1\"", "", false},  // the settings file cannot hold a double quote in a path
    };
    test::TempDir parent;
    for (const auto& [folder, file, accepted] : cases) {
        fs::create_directories(parent / folder);
        if (*file != '\0') {
            parent.write(std::string(folder) + "/" + file, "x");
        }
        if (accepted) {
            EXPECT_NO_THROW(CheckKitFolder(parent / folder)) << folder;
        } else {
            EXPECT_THROW(CheckKitFolder(parent / folder), TamselError) << folder;
        }
    }
}

// A folder of other files, or a hand-made menu entry, is refused before anything is written.
TEST_F(InstallerTest, RefusesAFolderOfOtherFilesAndNeverOverwritesAHandMadeMenuEntry) {
    for (const char* file :
         {"Kit %h $HOME `x`/report.odt", ".local/share/applications/tamsel-updater.desktop"}) {
        home_.write(file, "[Desktop Entry]\n");
        EXPECT_THROW(install(), TamselError) << file;
        EXPECT_EQ(home_.read(file), "[Desktop Entry]\n");
        EXPECT_FALSE(fs::exists(kit("/localtamselupdater.ini"))) << file;
        EXPECT_EQ(fs::exists(data("/applications")), file[0] == '.') << file;
        fs::remove(home_ / file);
    }
}

TEST_F(InstallerTest, RefusesADetailThatWouldBreakItsSettingsLine) {
    request_.user += "\"\r\nlocal=\"/home\"";
    EXPECT_THROW(install(), TamselError);
    EXPECT_FALSE(fs::exists(kit("/localtamselupdater.ini")));
}

}  // namespace
}  // namespace tamsel::desktop
