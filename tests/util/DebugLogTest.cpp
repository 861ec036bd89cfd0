#include "util/DebugLog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace tamsel {
namespace {

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
