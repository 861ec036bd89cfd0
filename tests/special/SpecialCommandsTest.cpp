#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "forms/HeadlessToolkit.h"
#include "special/SpecialProcessing.h"
#include "support/TempDir.h"
#include "util/FileSystem.h"

namespace tamsel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Takes the shell's requests in place of the desktop: an address or a file that exists opens.
class RecordingLauncher : public ShellLauncher {
  public:
    int open(const ShellRequest& request) override {
        files.push_back(request.file);
        return request.file.find(':') != std::string::npos || fs::exists(request.file) ? 33 : 2;
    }
    std::vector<std::string> files;
};

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
    RecordingLauncher launcher;
    SpecialProcessing special{run, "tamsel-updater", SystemProcessControl(), launcher};
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
// command whose argument is garbled does nothing and fails; one that would write or remove
// outside the kit's folders, or one of the updater's own files, is refused on one status line.
// Reading and running are not confined. What the commands do in a whole run is checked by
// SpecialRun (tests/app).
TEST_F(SpecialCommands, CommandTableWithItsQuirksAndRefusals) {
    TempDir outside;
    const std::string away = "/../../../" + fs::path(outside.path()).filename().string();
    dir.write("data/source.txt", "source");
    fs::permissions(dir / "data/source.txt", fs::perms(0750));
    const std::vector<std::string> guarded = {outside.write("victim.txt", "kept"),
                                              dir.write("Kit/localtamselupdater.ini", "kept"),
                                              dir.write("Kit/tamsel.ini", "kept"),
                                              dir.write("Kit/tamsel_updater_log.txt", "kept"),
                                              dir.write("Kit/Updater/tamsel-due-check", "kept"),
                                              dir.write("Kit/Files/kept.txt", "kept")};
    fs::create_directories(dir / "Kit/Special");
    fs::create_directories(dir / "Kit/Updater/Templates");
    fs::create_symlink(outside / "victim.txt", dir / "Kit/Special/link");
    fs::create_symlink(outside / "new.txt", dir / "Kit/Special/dangling");
    fs::create_symlink(outside.path(), dir / "Kit/Files/Linked");
    dir.write("Kit/Files/old.txt", "old");
    dir.write("Kit/Files/tool.sh", "#!/bin/sh\n");
    const std::string closing = "close TAMSEL-UPDATER";
    const std::string launching = "LAUNCH #/tool.sh";  // the two commands that end the run
    struct Row {
        std::string command;
        bool result;
        bool refused = false;
    };
    const Row rows[] = {
        {"", false},
        // Longer words that begin with a command are that command.
        {"CONFIGS ^/longer.ini", true},
        {"CLOSEPP", true},
        {"PAUSE 10", true},
        {"COPY ^/source.txt ^/none.txt", false},
        {"COPY ^/source.txt to #/copy.txt", true},
        {"COPY /proc/self/comm TO #/read.txt", true},
        {"COPY ^/missing.txt TO #/kept.txt", false},
        {"COPY /dev/null TO #/kept.txt", false},
        {"DELETE #\\old.txt", true},
        {"DELETE " + outside / "victim.txt", false, true},
        {"DELETE #" + away + "/victim.txt", false, true},
        {"DELETE #/linked/victim.txt", false, true},
        {"COPY ^/source.txt TO @\\Special\\link", false, true},
        {"CONFIG @/Special/dangling", false, true},
        {"CONFIG " + outside / "elsewhere.ini", false, true},
        {"CONFIG @/localtamselupdater.ini", false, true},
        {"CONFIG @/Updater/tamsel-due-check", false, true},
        {"CONFIG @/Updater/version.dll", false, true},
        {"CONFIG @/Updater/Templates/kit.ini", true},
        {"CONFIG @/Updater/NoFolder/kit.ini", false},
        {"DELETE @/tamsel.ini", false, true},
        {"COPY ^/source.txt TO @/tamsel_updater_log.txt", false, true},
        {std::string("CONFIG ^/nul\0.ini", 17), false, true},
        {"CONFIG \"^/unbalanced.ini", false, true},
        {"LAUNCH ^/missing.sh", false},
        {launching, true},
        {"SHELL https://example.com/kit?user=a@b#top", true},
        {"SHELL mailto:kits@example.com", true},
        {"SHELL Docs\\Guide.pdf", true},
        {"!LAUNCH ^/later.sh", true},
        {closing, true},
        {"CLOSE ", true},
    };
    for (const auto& row : rows) {
        run.exitAfterProcessing = false;
        const auto said = status.size();
        EXPECT_EQ(special.processSpecial2(row.command), row.result) << row.command;
        EXPECT_EQ(run.exitAfterProcessing, row.command == closing || row.command == launching)
            << row.command;
        const bool refusedLine = status.size() == said + 1 && status.back().starts_with("refused");
        EXPECT_EQ(refusedLine, row.refused) << row.command;
    }
    EXPECT_TRUE(fs::exists(dir / "data/longer.ini"));
    EXPECT_TRUE(fs::exists(dir / "Kit/Updater/Templates/kit.ini"));
    EXPECT_EQ(dir.read("Kit/Files/copy.txt"), "source");
    EXPECT_EQ(fs::status(dir / "Kit/Files/copy.txt").permissions(), fs::perms(0750));
    EXPECT_FALSE(dir.read("Kit/Files/read.txt").empty());
    EXPECT_FALSE(fs::exists(dir / "Kit/Files/old.txt"));
    for (const auto& path : guarded) {
        std::string content;
        EXPECT_TRUE(ReadWholeFile(path, content) && content == "kept") << path;
    }
    EXPECT_FALSE(fs::exists(outside / "elsewhere.ini"));
    EXPECT_FALSE(fs::exists(outside / "new.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "Kit/Special/link"));
    // A kit program that lost its execute bit in the download gets it back to be started.
    EXPECT_NE(fs::status(dir / "Kit/Files/tool.sh").permissions() & fs::perms::owner_exec,
              fs::perms::none);
    EXPECT_EQ(launcher.files, (std::vector<std::string>{
                                  dir / "data/missing.sh", dir / "Kit/Files/tool.sh",
                                  "https://example.com/kit?user=a@b#top", "mailto:kits@example.com",
                                  dir / "Kit/Files/Docs/Guide.pdf"}));
    EXPECT_EQ(run.deferredCommands, std::vector<std::string>{"LAUNCH ^/later.sh"});
    EXPECT_EQ(status.back(), "closing ''...not required");
}

}  // namespace
}  // namespace tamsel
