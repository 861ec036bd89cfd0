#include "util/DebugLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/TempDir.h"

namespace tamsel {
namespace {

TEST(DebugLog, AppendsOneStampedLinePerCall) {
    const test::TempDir folder;
    DebugTarget target{true, folder.write("debug.log", "old\r\n")};
    DebugLog(target, "Main::State [1]");
    DebugLog(target, "second");
    // The C locale's long time form is hh:mm:ss.
    const std::regex expected(
        "old\r\n\\[\\d\\d:\\d\\d:\\d\\d\\] Main::State \\[1\\]\r\n\\[\\d\\d:\\d\\d:\\d\\d\\] "
        "second\r\n");
    EXPECT_TRUE(std::regex_match(folder.read("debug.log"), expected)) << folder.read("debug.log");
}

TEST(DebugLog, WritesNothingWhenDisabledAndIgnoresErrors) {
    const test::TempDir folder;
    DebugLog(DebugTarget{.path = folder / "debug.log"}, "hello");  // disabled by default
    EXPECT_FALSE(std::filesystem::exists(folder / "debug.log"));
    EXPECT_NO_THROW(DebugLog(DebugTarget{true, folder / "missing/debug.log"}, "x"));
    EXPECT_NO_THROW(DebugLog(DebugTarget{true, folder.path()}, "x"));  // a folder
    EXPECT_NO_THROW(DebugLog(DebugTarget{true, ""}, "x"));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace tamsel
