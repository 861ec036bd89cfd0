#include "util/DebugLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "TempFolder.h"

namespace tamsel {
namespace {

TEST(DebugLog, WritesNothingWhenDisabled) {
    const test::TempFolder folder;
    DebugTarget target;
    target.path = folder / "debug.log";
    DebugLog(target, "hello");
    EXPECT_FALSE(std::filesystem::exists(target.path));
}

TEST(DebugLog, AppendsOneStampedLinePerCall) {
    const test::TempFolder folder;
    DebugTarget target{true, folder / "debug.log"};
    test::WriteText(target.path, "old\r\n");
    DebugLog(target, "Main::State [1]");
    DebugLog(target, "second");
    const std::string text = test::ReadText(target.path);
    // The C locale's long time form is hh:mm:ss.
    const std::regex expected(
        "old\r\n\\[\\d\\d:\\d\\d:\\d\\d\\] Main::State \\[1\\]\r\n\\[\\d\\d:\\d\\d:\\d\\d\\] "
        "second\r\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(DebugLog, IgnoresErrors) {
    const test::TempFolder folder;
    EXPECT_NO_THROW(DebugLog(DebugTarget{true, folder / "missing/debug.log"}, "x"));
    EXPECT_NO_THROW(DebugLog(DebugTarget{true, folder.Path()}, "x"));  // a folder
    EXPECT_NO_THROW(DebugLog(DebugTarget{true, ""}, "x"));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace tamsel
