#include "special/modProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "support/TempDir.h"
#include "util/Text.h"

namespace tamsel {
namespace {

TEST(modProcessTest, FindsAProgramByItsPathOrTheOneItWasStartedWith) {
    test::TempDir dir;
    test::TempDir elsewhere;
    // Other tests may run programs of the same name: the folder's unique name tells ours apart.
    const std::string unique = std::filesystem::path(dir.path()).filename().string();
    std::filesystem::create_directories(dir / "Office");
    const std::string copy = dir / "Office/POWERPNT.EXE";
    const std::string loader = elsewhere / "loader";
    std::filesystem::copy_file("/bin/sleep", copy);
    std::filesystem::copy_file("/bin/sleep", loader);

    EXPECT_EQ(IsTaskRunning(unique), 0);
    test::ChildProcess first(copy, {"sleep", "60"});
    EXPECT_EQ(IsTaskRunning(unique + "/office/powerpnt.exe"), first.pid())
        << "found by its executable's path";
    test::ChildProcess second(loader, {"C:\\" + unique + "\\OFFICE11\\POWERPNT.EXE", "60"});
    EXPECT_EQ(IsTaskRunning(ToUpper(unique)), second.pid())
        << "found by its first argument; the last of two wins";
    EXPECT_EQ(IsTaskRunning(unique + "\\office11\\powerpnt.exe"), second.pid());
    EXPECT_TRUE(isPowerPointRunning());
    EXPECT_EQ(IsTaskRunning(""), 0);
}

}  // namespace
}  // namespace tamsel
