#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ChildProcess.h"
#include "special/modProcess.h"

namespace tamsel {
namespace {

// The test window program, started and ready.
struct TestWindow {
    TestWindow() : out(::popen("exec " TAMSEL_TEST_WINDOW, "r")) {
        if (out == nullptr || std::sscanf(nextLine().c_str(), "ready %d %u", &pid, &window) != 2) {
            ADD_FAILURE() << "the window program did not start";
        }
    }
    std::string nextLine() const {
        char line[64] = {};
        return std::fgets(line, sizeof line, out) != nullptr ? line : "";
    }
    FILE* out;
    int pid = 0;
    unsigned window = 0;
};

// Sends a message other than the close request to the window; its owner's events come in order.
void Ping(unsigned window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_client_message_event_t message{XCB_CLIENT_MESSAGE, 32, 0, window, XCB_ATOM_STRING, {}};
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_disconnect(c);
}

// Only the named process's own windows are asked to close; a process without a window is left
// running.
TEST(CloseWindowTest, OnlyTheProcessesOwnWindowsAreAsked) {
    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    const bool display = !xcb_connection_has_error(probe);
    xcb_disconnect(probe);
    if (!display) {
        GTEST_SKIP() << "no X display (ctest runs this under xvfb-run when it is installed)";
    }
    test::ChildProcess windowless("/bin/sleep", {"sleep", "60"});
    closeProcessWindows(windowless.pid());
    TestWindow asked;
    TestWindow other;
    closeProcessWindows(asked.pid);
    EXPECT_EQ(::pclose(asked.out), 0) << "the window program was signalled, not asked";

    // A close request sent to the other window would arrive before this message.
    Ping(other.window);
    EXPECT_EQ(other.nextLine(), "ping\n");
    closeProcessWindows(other.pid);
    EXPECT_EQ(::pclose(other.out), 0);
    int ended = 0;
    EXPECT_EQ(::waitpid(windowless.pid(), &ended, WNOHANG), 0) << "a program without windows ended";
}

}  // namespace
}  // namespace tamsel
