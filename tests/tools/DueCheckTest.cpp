#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "DueCheck.h"
#include "support/TempDir.h"

namespace tamsel::desktop {
namespace {

TEST(DueCheck, StartsTheSilentRunOnlyWhenDue) {
    const struct {
        const char* name;
        const char* autoupdate;               // nullptr: the settings file is missing
        std::optional<std::string> schedule;  // tamsel.ini; none: the file is missing
        int status;  // 7: the silent run was started, and its status is passed on
    } cases[] = {
        {"before today in an earlier year", "Weekly", "[Tamsel]\r\nRunAtDate=20/12/2025\r\n", 7},
        {"today", "Weekly", "RunAtDate=15/06/2026\r\n", 7},
        {"tomorrow, key in any case", "Daily", "runatdate=16/6/2026\n", 0},
        {"line missing", "Weekly", "[Tamsel]\r\n", 7},
        {"never, whatever the date", "never", "RunAtDate=1/1/2000\r\n", 0},
        {"schedule file missing", "Weekly", std::nullopt, 1},
        {"settings file missing", nullptr, "RunAtDate=1/1/2000\r\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir kit;
        if (c.autoupdate) {
            kit.write("localtamselupdater.ini", std::string("autoupdate=\"") + c.autoupdate +
                                                    "\"\r\nlocal=\"" + kit.path() + "/Files\"\r\n");
        }
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
        EXPECT_EQ(RunDueCheck(kit.path(), DateTime{2026, 6, 15, 10, 30, 0}, start, out, err),
                  c.status);
        const std::vector<std::string> expected = {kit / "Updater/tamsel-updater", "/SILENT"};
        EXPECT_EQ(started, c.status == 7 ? expected : std::vector<std::string>{});
        EXPECT_EQ(err.str().empty(), c.status != 1) << err.str();
        if (!c.autoupdate) {
            EXPECT_NE(err.str().find("localtamselupdater.ini"), std::string::npos) << err.str();
        }
    }
}

}  // namespace
}  // namespace tamsel::desktop
