#include "util/Format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace tamsel {
namespace {

TEST(FormatSize, MatchesThePartsExamples) {
    struct Case {
        double bytes;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, "0b"},
        {1, "1b"},
        {512, "512b"},
        {1023, "1023b"},
        {1024, "1kb"},
        {1100, "1.1kb"},
        {1536, "1.5kb"},
        {1280, "1.3kb"},  // 1.25: halves round away from zero, as the pattern "0.0" does
        {1075, "1.0kb"},  // 1.0498: not whole, so one decimal even when it reads .0
        {2047, "2.0kb"},
        {10240, "10kb"},
        {1048575, "1024.0kb"},  // not whole, one decimal, rounded up
        {1048576, "1mb"},
        {1572864, "1.5mb"},
        {1073741823, "1024.0mb"},
        {1073741824, "1gb"},
        {1610612736, "1.5gb"},
        {1099511627776.0, "1024gb"},  // gb whatever its size
        {1100585369600.0, "1025gb"},
        {1100000000000.0, "1024.5gb"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.expected) << c.bytes;
}

TEST(FormatMegabytes, HasOneDecimal) {
    struct Case {
        std::int64_t bytes;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {1572864, "1.5"}, {0, "0.0"}, {1048576, "1.0"}, {104858, "0.1"}, {52428, "0.0"},
        {52429, "0.1"}, {1073741824, "1024.0"}, {5000000000LL, "4768.4"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatMegabytes(c.bytes), c.expected) << c.bytes;
}

// The decimal separator follows the numeric locale. Needs a comma locale on the machine.
TEST(FormatSize, UsesTheLocaleDecimalSeparator) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                             "de_DE", "fr_FR"}) {
        if ((found = std::setlocale(LC_NUMERIC, name)) != nullptr) break;
    }
    if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string size = FormatSize(1536);
    const std::string whole = FormatSize(1024);
    const std::string mb = FormatMegabytes(1572864);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(size, "1,5kb");
    EXPECT_EQ(whole, "1kb");
    EXPECT_EQ(mb, "1,5");
}

TEST(LeadingNumber, ReadsTheLeadingNumber) {
    struct Case {
        std::string text;
        double expected;
    };
    const std::vector<Case> cases = {
        {"12abc", 12}, {"  12", 12}, {"abc", 0}, {"", 0},      {"1.5kb", 1.5}, {"-3", -3},
        {"+4", 4},     {".5", 0.5},  {".", 0},   {"-", 0},     {"1e3x", 1000}, {"1e", 1},
        {"2E-1", 0.2}, {"0012", 12}, {"1 2", 1}, {"\t7", 7},   {"x12", 0},     {"1,5", 1},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace tamsel
