#include <unistd.h>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "special/modProcess.h"

namespace tamsel {
namespace {

TEST(CloseWindowTest, AWindowOfTheProcessReceivesTheCloseRequest) {
    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    const bool display = !xcb_connection_has_error(probe);
    xcb_disconnect(probe);
    if (!display) {
        GTEST_SKIP() << "no X display (ctest runs this under xvfb-run when it is installed)";
    }
    FILE* window = ::popen("exec " TAMSEL_TEST_WINDOW, "r");
    ASSERT_NE(window, nullptr);
    char line[16] = {};
    ASSERT_NE(std::fgets(line, sizeof line, window), nullptr);
    ASSERT_STREQ(line, "ready\n");

    // popen's shell replaced itself with the window program: the pid is in /proc by that name.
    const std::int32_t pid = IsTaskRunning(TAMSEL_TEST_WINDOW);
    ASSERT_NE(pid, 0);
    closeProcessWindows(pid);
    const int status = ::pclose(window);
    ASSERT_TRUE(WIFEXITED(status)) << "the window program was signalled, not asked";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tamsel
