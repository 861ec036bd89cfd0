#include "app/Unattended.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/KitSite.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A run of the updater in user's kit on the virtual clock; what it said goes to out. Its registry
// and application data are the test's own.
int RunOnVirtualClock(const TempDir& user, const std::string& commandLine,
                      std::ostringstream& out) {
    ::setenv("TAMSEL_REGISTRY", (user / "registry").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (user / "data").c_str(), 1);
    return RunUnattended(user / "Kit/Updater", commandLine, out, user / "updater.lock", std::cerr,
                         UnattendedClock::Virtual);
}

TEST(Unattended, UpdatesTheSampleKitAndExitsZero) {
    TempDir user, reports;
    test::RunningKitServer server(test::KitServing(TAMSEL_SAMPLE_KIT, reports.path()));
    ASSERT_TRUE(server.bound());
    test::LayOutUserKit(user, server.remote());

    std::ostringstream out;
    const int status = RunOnVirtualClock(user, "/unattended", out);
    // A background run finds one file missing; its notice is answered Update.
    fs::remove(user / "Kit/Files/Tamsel Readme.txt");
    std::ostringstream silent;
    const int silentStatus = RunOnVirtualClock(user, "/unattended /silent", silent);
    server.stop();

    EXPECT_EQ(status, 0) << out.str();
    // The package the catalogue marks as selected is taken, as a user pressing Continue would.
    EXPECT_TRUE(fs::exists(user / "Kit/Files/Templates/Sales Pitch.pot"));
    EXPECT_NE(out.str().find("Retrieving catalogue for Sales templates...\nsuccessful\n"),
              std::string::npos);
    // The special section registered the add-in and wrote the toolbar's settings.
    EXPECT_NE(user.read("registry/HKEY_CURRENT_USER.reg").find("AddIns\\Tamsel Tools]"),
              std::string::npos);
    EXPECT_EQ(user.read("Kit/Special/Tamsel Tools.ini"), "root=\"" + user / "Kit/Files" + "\"\r\n");

    EXPECT_EQ(silentStatus, 0) << silent.str();
    EXPECT_NE(silent.str().find("1 file need to be updated"), std::string::npos) << silent.str();
    EXPECT_TRUE(fs::exists(user / "Kit/Files/Tamsel Readme.txt"));
}

TEST(Unattended, ExitsOneWhenTheServerIsDownOrTheSettingsAreIncomplete) {
    TempDir user;
    {
        // A port the system handed out, closed again.
        test::RunningKitServer gone(test::KitServing(user.path()));
        test::LayOutUserKit(user, gone.remote());
    }
    std::ostringstream out;
    EXPECT_EQ(RunOnVirtualClock(user, "/UNATTENDED", out), 1);
    EXPECT_NE(out.str().find("Retrieving master catalogue from server...\nfailed\n"),
              std::string::npos)
        << out.str();

    // Incomplete settings cancel the setup.
    TempDir bare;
    bare.write("Kit/Updater/.keep", "");
    EXPECT_EQ(RunOnVirtualClock(bare, "/UNATTENDED", out), 1);
    EXPECT_TRUE(fs::exists(bare / "Kit/localtamselupdater.ini"));
}

}  // namespace
}  // namespace tamsel
