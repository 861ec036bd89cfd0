#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "forms/HeadlessToolkit.h"
#include "special/SpecialProcessing.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class SpecialCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        ::setenv("TAMSEL_REGISTRY", (dir / "registry").c_str(), 1);
        run.localConfiguration.putValue("local", dir / "Kit/Files");
        run.g_objMetrics.OnStatusLine = [this](const std::string& line, bool newLine) {
            if (newLine || status.empty()) {
                status.push_back(line);
            } else {
                status.back() += line;
            }
        };
    }

    TempDir dir;
    HeadlessEventLoop loop;
    HeadlessToolkit toolkit{loop};
    UpdateRun run{toolkit, dir / "Kit/Updater"};
    SpecialProcessing special{run, "tamsel-updater"};
    std::vector<std::string> status;
};

TEST_F(SpecialCommands, ExpandPathReplacesEachMarkInItsOrder) {
    EXPECT_EQ(special.expandPath("@/Tools/#.ini"), dir / "Kit/Tools/" + dir / "Kit/Files.ini");
    EXPECT_EQ(special.expandPath("^Tamsel"), dir / "data/Tamsel");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", (dir / "home").c_str(), 1);
    EXPECT_EQ(special.expandPath("^Tamsel"), dir / "home/.local/share/Tamsel");
}

// Each command in turn, with what it leaves behind. A catalogue arrives over the network: a
// command whose argument is garbled or names a system folder does nothing and fails. What the
// commands do in a whole run is checked by SpecialRun (tests/app).
TEST_F(SpecialCommands, CommandTableWithItsQuirksAndRefusals) {
    dir.write("data/source.txt", "source");
    const std::string closing = "close TAMSEL-UPDATER";  // the only command that ends the run
    const std::pair<std::string, bool> rows[] = {
        {"", false},
        // Longer words that begin with a command are that command.
        {"CONFIGS ^/longer.ini", true},
        {"CLOSEPP", true},
        {"PAUSE 10", true},
        {"COPY ^/source.txt ^/none.txt", false},
        {"COPY ^/source.txt TO /etc/tamsel-test.txt", false},
        {"COPY /etc/hostname TO ^/hostname.txt", false},
        {"CONFIG /usr/tamsel-test.ini", false},
        {"DELETE /bin/sh", false},
        {std::string("CONFIG ^/nul\0.ini", 17), false},
        {"CONFIG \"^/unbalanced.ini", false},
        {"CONFIG ", false},
        {"CONFIG relative.ini", false},
        {"LAUNCH \"^/unbalanced.sh", false},
        {"!LAUNCH ^/later.sh", true},
        {closing, true},
        {"CLOSE ", true},
    };
    for (const auto& [command, result] : rows) {
        run.exitAfterProcessing = false;
        EXPECT_EQ(special.processSpecial2(command), result) << command;
        EXPECT_EQ(run.exitAfterProcessing, command == closing) << command;
    }
    EXPECT_TRUE(fs::exists(dir / "data/longer.ini"));
    for (const char* refused : {"none.txt", "hostname.txt", "unbalanced.ini"}) {
        EXPECT_FALSE(fs::exists(dir / (std::string("data/") + refused))) << refused;
    }
    EXPECT_TRUE(fs::exists("/bin/sh"));
    EXPECT_EQ(run.deferredCommands, std::vector<std::string>{"LAUNCH ^/later.sh"});
    EXPECT_EQ(status.back(), "closing ''...not required");
}

}  // namespace
}  // namespace tamsel
