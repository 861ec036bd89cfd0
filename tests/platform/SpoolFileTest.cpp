#include "platform/SpoolFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace tamsel {
namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const std::string& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(SpoolFileTest, CommitMovesTheContentOverAnExistingFile) {
    test::TempDir dir;
    const auto target = dir.write("kit/a.pot", "old content");
    const mode_t mask = ::umask(022);
    auto spool = SpoolFile::Create(dir.path());
    ASSERT_NE(spool, nullptr);
    // Private while written, an ordinary file once in place.
    EXPECT_EQ(fs::status(spool->path()).permissions(), fs::perms(0600));
    ASSERT_TRUE(spool->write("new ", 4));
    ASSERT_TRUE(spool->write("content!", 8));
    EXPECT_EQ(spool->size(), 12u);

    ASSERT_TRUE(spool->commitTo(target));
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0644));
    EXPECT_EQ(dir.read("kit/a.pot"), "new content!");
    spool.reset();
    EXPECT_EQ(dir.read("kit/a.pot"), "new content!") << "a committed file must survive its spool";
    EXPECT_EQ(EntriesIn(dir.path()), 1u) << "only the kit folder is left";
}

TEST(SpoolFileTest, StaleFilesOfEndedProcessesAreRemoved) {
    test::TempDir dir;
    const std::string dead = ".tamsel-99999999-7-0.part";  // beyond any process id
    // The parent process stands for a second updater still at work.
    for (const std::string& name : {dead, ".tamsel-" + std::to_string(::getpid()) + "-7-0.part",
                                    ".tamsel-" + std::to_string(::getppid()) + "-7-0.part",
                                    std::string(".tamsel-x-1.part"), "Sub/" + dead}) {
        dir.write(name, "x");
    }
    RemoveStaleSpoolFiles(dir.path(), false);
    EXPECT_TRUE(fs::exists(dir / ("Sub/" + dead))) << "only the folder itself";
    RemoveStaleSpoolFiles(dir.path(), true);
    EXPECT_EQ(EntriesIn(dir.path()), 4u) << "the running processes' files, the other name and Sub";
    EXPECT_EQ(EntriesIn(dir / "Sub"), 0u);
}

}  // namespace
}  // namespace tamsel
