#include "util/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tamsel {
namespace {

DateTime Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    DateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return t;
}

// Sets the time zone for one test and puts the old one back.
class ZoneGuard {
  public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            previous_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneGuard() {
        if (previous_) {
            ::setenv("TZ", previous_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ZoneGuard(const ZoneGuard&) = delete;
    ZoneGuard& operator=(const ZoneGuard&) = delete;

  private:
    std::optional<std::string> previous_;
};

TEST(DateTime, DefaultIsTheZeroDate) {
    const DateTime zero;
    EXPECT_EQ(DateText(zero), "30/12/1899");
    EXPECT_EQ(TimeText(zero), "00:00:00");
    EXPECT_EQ(Weekday(zero), 6);  // a Saturday
}

TEST(DateText, AlwaysTwoDigitDayAndMonthAndFourDigitYear) {
    EXPECT_EQ(DateText(Make(2007, 1, 5)), "05/01/2007");
    EXPECT_EQ(DateText(Make(2007, 12, 31)), "31/12/2007");
    EXPECT_EQ(DateText(Make(999, 2, 3)), "03/02/0999");
}

TEST(TimeText, IsTwentyFourHour) {
    EXPECT_EQ(TimeText(Make(2007, 1, 5, 7, 5, 3)), "07:05:03");
    EXPECT_EQ(TimeText(Make(2007, 1, 5, 23, 59, 59)), "23:59:59");
    EXPECT_EQ(TimeText(Make(2007, 1, 5, 13, 0, 0)), "13:00:00");
}

TEST(DateToDmy, HasNoLeadingZeros) {
    EXPECT_EQ(DateToDmy(Make(2007, 1, 5)), "5/1/2007");
    EXPECT_EQ(DateToDmy(Make(2007, 11, 25, 10, 1, 1)), "25/11/2007");
}

TEST(LongTimeText, FollowsTheLocaleLongTimeFormat) {
    // Tests run in the C locale, whose long time form is hh:mm:ss.
    EXPECT_EQ(LongTimeText(Make(2007, 1, 5, 7, 5, 3)), "07:05:03");
}

TEST(DefaultDateTimeText, LeavesOutAZeroTimeOrDate) {
    // C locale: %x is mm/dd/yy, %X is hh:mm:ss.
    EXPECT_EQ(DefaultDateTimeText(Make(2007, 1, 5, 7, 5, 3)), "01/05/07 07:05:03");
    EXPECT_EQ(DefaultDateTimeText(Make(2007, 1, 5)), "01/05/07");
    EXPECT_EQ(DefaultDateTimeText(Make(1899, 12, 30, 7, 5, 3)), "07:05:03");
}

TEST(AddMonths, ClampsToTheEndOfTheMonth) {
    struct Case {
        DateTime from;
        int months;
        DateTime expected;
    };
    const std::vector<Case> cases = {
        {Make(2007, 1, 31), 1, Make(2007, 2, 28)},
        {Make(2008, 1, 31), 1, Make(2008, 2, 29)},
        {Make(2007, 3, 31), -1, Make(2007, 2, 28)},
        {Make(2007, 3, 31), 1, Make(2007, 4, 30)},
        {Make(2007, 11, 15), 2, Make(2008, 1, 15)},
        {Make(2007, 1, 15), -13, Make(2005, 12, 15)},
        {Make(2008, 2, 29), 12, Make(2009, 2, 28)},
        {Make(2007, 5, 10, 6, 30, 15), 0, Make(2007, 5, 10, 6, 30, 15)},
        {Make(2007, 5, 10, 6, 30, 15), 3, Make(2007, 8, 10, 6, 30, 15)},
        {Make(2000, 1, 1), -1, Make(1999, 12, 1)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateText(AddMonths(c.from, c.months)), DateText(c.expected))
            << DateText(c.from) << " " << c.months;
        EXPECT_EQ(AddMonths(c.from, c.months), c.expected);
    }
}

TEST(AddDays, CrossesMonthsYearsAndLeapDays) {
    EXPECT_EQ(AddDays(Make(2007, 12, 31, 6, 0, 0), 1), Make(2008, 1, 1, 6, 0, 0));
    EXPECT_EQ(AddDays(Make(2008, 3, 1), -1), Make(2008, 2, 29));
    EXPECT_EQ(AddDays(Make(2007, 3, 1), -1), Make(2007, 2, 28));
    EXPECT_EQ(AddDays(Make(2007, 1, 1), 365), Make(2008, 1, 1));
    EXPECT_EQ(AddDays(Make(2008, 1, 1), 366), Make(2009, 1, 1));
    EXPECT_EQ(AddDays(Make(1899, 12, 30), 39087), Make(2007, 1, 5));
}

TEST(DaysInMonth, KnowsLeapYears) {
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2004, 2), 29);
    EXPECT_EQ(DaysInMonth(2007, 2), 28);
    EXPECT_EQ(DaysInMonth(2007, 4), 30);
    EXPECT_EQ(DaysInMonth(2007, 12), 31);
    EXPECT_EQ(DaysInMonth(2007, 0), 0);
    EXPECT_EQ(DaysInMonth(2007, 13), 0);
}

TEST(Weekday, SundayIsZero) {
    EXPECT_EQ(Weekday(Make(2007, 1, 5)), 5);  // Friday
    EXPECT_EQ(Weekday(Make(2007, 1, 7)), 0);  // Sunday
    EXPECT_EQ(Weekday(Make(2000, 2, 29)), 2);
    EXPECT_EQ(Weekday(Make(1970, 1, 1)), 4);
}

TEST(ParseDateTimeText, AcceptsRealDatesWithOptionalTime) {
    struct Case {
        std::string text;
        DateTime expected;
    };
    const std::vector<Case> cases = {
        {"5/1/2007", Make(2007, 1, 5)},
        {"05/01/2007", Make(2007, 1, 5)},
        {"05/01/2007 06:00", Make(2007, 1, 5, 6, 0, 0)},
        {"5/1/2007 6:07:08", Make(2007, 1, 5, 6, 7, 8)},
        {"29/02/2008 23:59:59", Make(2008, 2, 29, 23, 59, 59)},
        {"31/12/1999 0:00", Make(1999, 12, 31)},
        {" 1/1/2007 ", Make(2007, 1, 1)},
    };
    for (const auto& c : cases) {
        DateTime out;
        EXPECT_TRUE(ParseDateTimeText(c.text, out)) << c.text;
        EXPECT_EQ(out, c.expected) << c.text;
    }
}

TEST(ParseDateTimeText, RefusesWhatIsNotAValidDate) {
    for (const std::string text : {"",
                                   "   ",
                                   "abc",
                                   "29/02/2007",
                                   "31/04/2007",
                                   "32/1/2007",
                                   "0/1/2007",
                                   "1/0/2007",
                                   "1/13/2007",
                                   "1/1",
                                   "1/1/",
                                   "1/1/07",
                                   "1/1/20071",
                                   "1//2007",
                                   "/1/2007",
                                   "1/1/2007 25:00",
                                   "1/1/2007 24:00",
                                   "1/1/2007 12:60",
                                   "1/1/2007 12:00:60",
                                   "1/1/2007 12",
                                   "1/1/2007 12:",
                                   "1/1/2007 12:00:",
                                   "1/1/2007x",
                                   "1/1/2007 12:0",
                                   "1/1/2007 12:00 x",
                                   "1-1-2007",
                                   "-1/1/2007",
                                   "1/1/2007 -1:00",
                                   "111/1/2007"}) {
        DateTime out = Make(2001, 2, 3);
        EXPECT_FALSE(ParseDateTimeText(text, out)) << text;
        EXPECT_EQ(out, Make(2001, 2, 3)) << text;  // untouched
    }
}

TEST(TimeConversion, IsLocalTime) {
    {
        const ZoneGuard zone("UTC0");
        EXPECT_EQ(ToTimeT(Make(1970, 1, 1)), 0);
        EXPECT_EQ(FromTimeT(0), Make(1970, 1, 1));
    }
    {
        const ZoneGuard zone("EST5");
        EXPECT_EQ(ToTimeT(Make(1970, 1, 1)), 5 * 3600);
        EXPECT_EQ(FromTimeT(0), Make(1969, 12, 31, 19, 0, 0));
    }
    const DateTime d = Make(2007, 6, 15, 12, 30, 45);
    EXPECT_EQ(FromTimeT(ToTimeT(d)), d);
}

TEST(Now, IsCloseToTheSystemClock) {
    const std::time_t before = std::time(nullptr);
    const std::time_t now = ToTimeT(Now());
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(now, before - 1);
    EXPECT_LE(now, after + 1);
}

}  // namespace
}  // namespace tamsel
