#include "config/Schedule.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace tamsel {
namespace {

using test::TempDir;

TEST(NextRunDate, FollowsTheScheduleTable) {
    const DateTime now{2027, 1, 31, 15, 30, 0};
    const struct {
        const char* setting;
        DateTime expected;
    } rows[] = {
        {"Daily", {2027, 2, 1, 15, 30, 0}},
        {"5 DAYS", {2027, 2, 5, 15, 30, 0}},
        {"weekly", {2027, 2, 7, 15, 30, 0}},
        {"Monthly", {2027, 2, 28, 15, 30, 0}},
        {"NEVER", {2028, 1, 31, 15, 30, 0}},
        {"1 DAY", DateTime{}},
        {"nonsense", DateTime{}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NextRunDate(row.setting, now), row.expected) << row.setting;
    EXPECT_EQ(DateToDmy(NextRunDate("Monthly", DateTime{2028, 1, 31, 0, 0, 0})), "29/2/2028");
}

TEST(ScheduleNextRun, RewritesEveryRunAtDateLineOfAnExistingKitScheduleFileOnly) {
    TempDir dir;
    CConfiguration local;
    local.putValue("local", dir / "Kit");
    local.putValue("autoupdate", "weekly");
    EXPECT_FALSE(ScheduleNextRun(local));

    dir.write("tamsel.ini", "Other=1\r\n");
    EXPECT_TRUE(ScheduleNextRun(local));
    EXPECT_EQ(dir.read("tamsel.ini"), "Other=1\r\n");  // never adds a line

    dir.write("tamsel.ini", "[Schedule]\r\nrunatdate=1/1/2000\nOther=1\r\nRunAtDate=2/2/2000\r\n");
    ASSERT_TRUE(ScheduleNextRun(local, DateTime{2007, 1, 1, 9, 0, 0}));
    EXPECT_EQ(dir.read("tamsel.ini"),
              "[Schedule]\r\nRunAtDate=8/1/2007\r\nOther=1\r\nRunAtDate=8/1/2007\r\n");
}

}  // namespace
}  // namespace tamsel
