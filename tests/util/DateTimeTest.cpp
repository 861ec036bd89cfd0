#include "util/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tamsel {
namespace {

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
        previous_ ? ::setenv("TZ", previous_->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }

  private:
    std::optional<std::string> previous_;
};

TEST(DateTimeTexts, FixedWidthDateAndTwentyFourHourTime) {
    const DateTime zero;
    EXPECT_EQ(DateText(zero), "30/12/1899");
    EXPECT_EQ(Weekday(zero), 6);  // a Saturday
    EXPECT_EQ(DateText(DateTime{2007, 12, 31}), "31/12/2007");
    EXPECT_EQ(DateText(DateTime{999, 2, 3}), "03/02/0999");
    EXPECT_EQ(TimeText(DateTime{2007, 1, 5, 7, 5, 3}), "07:05:03");
    EXPECT_EQ(DateToDmy(DateTime{2007, 1, 5}), "5/1/2007");  // no leading zeros
    // Tests run in the C locale: the long time form is hh:mm:ss, %x is mm/dd/yy.
    EXPECT_EQ(LongTimeText(DateTime{2007, 1, 5, 7, 5, 3}), "07:05:03");
    EXPECT_EQ(DefaultDateTimeText(DateTime{2007, 1, 5, 7, 5, 3}), "01/05/07 07:05:03");
    // A zero time or a zero date is left out.
    EXPECT_EQ(DefaultDateTimeText(DateTime{2007, 1, 5}), "01/05/07");
    EXPECT_EQ(DefaultDateTimeText(DateTime{1899, 12, 30, 7, 5, 3}), "07:05:03");
}

TEST(AddMonthsAndDays, ClampToTheMonthAndCrossYearsAndLeapDays) {
    const struct {
        DateTime from;
        int months;
        DateTime expected;
    } months[] = {
        {{2007, 1, 31}, 1, {2007, 2, 28}},
        {{2008, 1, 31}, 1, {2008, 2, 29}},
        {{2007, 1, 15}, -13, {2005, 12, 15}},
        {{2007, 5, 10, 6, 30, 15}, 3, {2007, 8, 10, 6, 30, 15}},
    };
    for (const auto& c : months)
        EXPECT_EQ(AddMonths(c.from, c.months), c.expected) << DateText(c.from) << " " << c.months;
    EXPECT_EQ(AddDays(DateTime{2007, 12, 31, 6, 0, 0}, 1), (DateTime{2008, 1, 1, 6, 0, 0}));
    EXPECT_EQ(AddDays(DateTime{2008, 3, 1}, -1), (DateTime{2008, 2, 29}));
    EXPECT_EQ(AddDays(DateTime{}, 39087), (DateTime{2007, 1, 5}));
}

TEST(ParseDateTimeText, AcceptsRealDatesWithOptionalTime) {
    const struct {
        std::string text;
        DateTime expected;
    } cases[] = {
        {"5/1/2007", {2007, 1, 5}},
        {"05/01/2007 06:00", {2007, 1, 5, 6, 0, 0}},
        {"29/02/2008 23:59:59", {2008, 2, 29, 23, 59, 59}},
        {" 1/1/2007 ", {2007, 1, 1}},
    };
    for (const auto& c : cases) {
        DateTime out;
        EXPECT_TRUE(ParseDateTimeText(c.text, out)) << c.text;
        EXPECT_EQ(out, c.expected) << c.text;
    }
}

TEST(ParseDateTimeText, RefusesWhatIsNotAValidDate) {
    std::vector<std::string> texts = {"",       "29/02/2007", "31/04/2007", "1/13/2007",
                                      "1/1/07", "-1/1/2007",  "1/1/2007x",  "29/2/1900"};
    for (const char* time : {"24:00", "12:00:60", "12:"})
        texts.push_back(std::string("1/1/2007 ") + time);
    for (const std::string& text : texts) {
        DateTime out{2001, 2, 3};
        EXPECT_FALSE(ParseDateTimeText(text, out)) << text;
        EXPECT_EQ(out, (DateTime{2001, 2, 3})) << text;  // untouched
    }
}

TEST(TimeConversion, IsLocalTime) {
    const struct {
        const char* zone;
        std::time_t epoch;
        DateTime zero;
    } zones[] = {{"UTC0", 0, {1970, 1, 1}}, {"EST5", 5 * 3600, {1969, 12, 31, 19, 0, 0}}};
    for (const auto& z : zones) {
        const ZoneGuard guard(z.zone);
        EXPECT_EQ(ToTimeT(DateTime{1970, 1, 1}), z.epoch) << z.zone;
        EXPECT_EQ(FromTimeT(0), z.zero) << z.zone;
    }
    const DateTime d{2007, 6, 15, 12, 30, 45};
    EXPECT_EQ(FromTimeT(ToTimeT(d)), d);
}

}  // namespace
}  // namespace tamsel
