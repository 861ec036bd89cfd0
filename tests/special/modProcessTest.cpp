#include "special/modProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "support/TempDir.h"

namespace tamsel {
namespace {

class FixedProcesses : public ProcessControl {
  public:
    std::vector<RunningProcess> processes() override {
        return {{10, "/opt/office/POWERPNT.EXE", "/opt/office/POWERPNT.EXE"},
                {11, "/usr/bin/wine-preloader", "C:\\Program Files\\Office\\WINWORD.EXE"},
                {12, "/home/user/zq9rel/helper", ""},
                {13, "", "C:\\Tools\\Helper.exe"}};
    }
    void requestClose(int) override {}
};

// A name is looked for in the program's file name, in its whole path only when it holds a
// separator itself; the last process that matches wins.
TEST(modProcessTest, NamesMatchTheProgramsFileName) {
    FixedProcesses processes;
    const std::pair<std::string, std::int32_t> rows[] = {
        {"powerpnt.exe", 10},
        {"POWERPNT", 10},
        {"winword.exe", 11},
        {"zq9rel", 0},
        {"zq9rel/helper", 12},
        {"office\\winword", 11},
        {"helper", 13},
        {"program files", 0},
        {"", 0},
        {"/", 0},
        {"\\/", 0},
    };
    for (const auto& [name, pid] : rows) {
        EXPECT_EQ(IsTaskRunning(name, processes), pid) << name;
    }
    EXPECT_TRUE(isPowerPointRunning(processes));
}

// The system's processes are read from /proc: by the program's path or the path it was started
// with, and only those of this user.
TEST(modProcessTest, FindsTheUsersOwnProgramsOnly) {
    test::TempDir dir;
    // Other tests may run programs of the same name: the folder's unique name tells ours apart.
    const std::string unique = std::filesystem::path(dir.path()).filename().string();
    const std::string copy = dir / (unique + ".exe");
    std::filesystem::copy_file("/bin/sleep", copy);
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));

    EXPECT_EQ(IsTaskRunning(unique), 0);
    test::ChildProcess byPath(copy, {"sleep", "60"});
    EXPECT_EQ(IsTaskRunning(unique), byPath.pid());
    test::ChildProcess byArgument("/bin/sleep", {"C:\\Kit\\" + unique + "-2.EXE", "60"});
    EXPECT_EQ(IsTaskRunning(unique + "-2"), byArgument.pid());
    if (::geteuid() != 0) {
        GTEST_SKIP() << "another user's process needs root to start";
    }
    test::ChildProcess otherUser(copy, {"sleep", "60"}, 65534);
    EXPECT_EQ(IsTaskRunning(unique + ".exe"), byPath.pid());
}

}  // namespace
}  // namespace tamsel
