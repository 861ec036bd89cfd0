#include "util/Format.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel {
namespace {

TEST(FormatSize, ShowsWholeUnitsOrOneDecimal) {
    // 1280 is 1.25kb: halves round away from zero, as the pattern "0.0" does. 1075 (1.0498kb) and
    // 1048575 are not whole, so they keep one decimal even when it reads .0. Above 1024mb the unit
    // is gb whatever the size.
    const struct {
        double bytes;
        std::string expected;
    } cases[] = {
        {1023, "1023b"},
        {1024, "1kb"},
        {1280, "1.3kb"},
        {1075, "1.0kb"},
        {1048575, "1024.0kb"},
        {1048576, "1mb"},
        {1572864, "1.5mb"},
        {1100585369600.0, "1025gb"},
        {1100000000000.0, "1024.5gb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSize(c.bytes), c.expected) << c.bytes;
}

TEST(LeadingNumber, ReadsTheLeadingNumber) {
    const struct {
        std::string text;
        double expected;
    } cases[] = {
        {"  12abc", 12}, {"", 0}, {"1.5kb", 1.5}, {"-", 0}, {"1e", 1}, {"x12", 0}, {"1,5", 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace tamsel
