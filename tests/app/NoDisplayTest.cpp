// The updater itself, started where no window can be shown.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/TempDir.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;

std::size_t Entries(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// Interactive and background starts say in one line that there is no display, end with 1 and
// leave the kit (no settings written) and the runtime folder (no lock) as they were.
TEST(NoDisplay, AStartThatNeedsAWindowSaysSoAndChangesNothing) {
    for (const char* switches : {"", "/SILENT"}) {
        SCOPED_TRACE(switches);
        test::TempDir dir;
        fs::create_directories(dir / "Kit/Updater");
        fs::create_directories(dir / "runtime");
        fs::copy_file(TAMSEL_UPDATER, dir / "Kit/Updater/tamsel-updater");
        const std::string command = "env -i PATH=/usr/bin:/bin HOME='" + dir.path() +
                                    "' XDG_RUNTIME_DIR='" + (dir / "runtime") + "' '" +
                                    (dir / "Kit/Updater/tamsel-updater") + "' " + switches + " >'" +
                                    (dir / "out") + "' 2>'" + (dir / "err") + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(dir.read("err"), "The Tamsel Updater cannot start: no display is available.\n");
        EXPECT_EQ(Entries(dir / "Kit"), 2u);
        EXPECT_EQ(Entries(dir / "runtime"), 0u);
    }
}

}  // namespace
}  // namespace tamsel
