#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "DueCheck.h"
#include "support/TempDir.h"

namespace tamsel::desktop {
namespace {

struct DueCase {
    const char* name;
    const char* autoupdate;
    std::optional<std::string> schedule;  // tamsel.ini; none: the file is missing
    bool started;
    int status;
};

class DueCheckTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(DueCheckTest, StartsTheSilentRunOnlyWhenDue) {
    const DueCase& c = GetParam();
    test::TempDir kit;
    kit.write("localtamselupdater.ini", std::string("autoupdate=\"") + c.autoupdate +
                                            "\"\r\nlocal=\"" + kit.path() + "/Files\"\r\n");
    if (c.schedule) {
        kit.write("tamsel.ini", *c.schedule);
    }
    std::vector<std::string> started;
    const auto start = [&](const std::string& program, const std::vector<std::string>& args) {
        started.push_back(program);
        started.insert(started.end(), args.begin(), args.end());
        return 7;
    };
    std::ostringstream out, err;
    const DateTime today{2026, 6, 15, 10, 30, 0};

    EXPECT_EQ(RunDueCheck(kit.path(), today, start, out, err), c.status);
    if (c.started) {
        EXPECT_EQ(started, (std::vector<std::string>{kit / "Updater/tamsel-updater", "/SILENT"}));
    } else {
        EXPECT_TRUE(started.empty());
    }
    EXPECT_EQ(err.str().empty(), c.status != 1) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DueCheckTest,
    ::testing::Values(DueCase{"BeforeTodayInAnEarlierYear", "Weekly",
                              "[Tamsel]\r\nRunAtDate=20/12/2025\r\n", true, 7},
                      DueCase{"Today", "Weekly", "RunAtDate=15/06/2026\r\n", true, 7},
                      DueCase{"AfterTodayInALaterMonth", "Weekly", "RunAtDate=1/7/2026\r\n", false,
                              0},
                      DueCase{"TomorrowInAnyCase", "Daily", "runatdate=16/6/2026\n", false, 0},
                      DueCase{"LineMissing", "Weekly", "[Tamsel]\r\n", true, 7},
                      DueCase{"LineWithoutDate", "Weekly", "RunAtDate=\r\n", true, 7},
                      DueCase{"NeverWhateverTheDate", "never", "RunAtDate=1/1/2000\r\n", false, 0},
                      DueCase{"ScheduleFileMissing", "Weekly", std::nullopt, false, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DueCheckSettings, MissingSettingsFileIsReportedAndStartsNothing) {
    test::TempDir kit;
    kit.write("tamsel.ini", "RunAtDate=1/1/2000\r\n");
    bool started = false;
    std::ostringstream out, err;
    const int status = RunDueCheck(
        kit.path(), DateTime{2026, 6, 15},
        [&](const std::string&, const std::vector<std::string>&) { return started = true, 0; }, out,
        err);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(started);
    EXPECT_NE(err.str().find("localtamselupdater.ini"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace tamsel::desktop
