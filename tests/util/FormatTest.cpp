#include "util/Format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/TempDir.h"

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
        {0, "0b"},
        {1023, "1023b"},
        {1024, "1kb"},
        {1280, "1.3kb"},
        {1075, "1.0kb"},
        {1048575, "1024.0kb"},
        {1048576, "1mb"},
        {1572864, "1.5mb"},
        {1073741824, "1gb"},
        {1100585369600.0, "1025gb"},
        {1100000000000.0, "1024.5gb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatSize(c.bytes), c.expected) << c.bytes;
}

// Switches LC_NUMERIC to a locale whose decimal separator is a comma, and back at the end. When
// none is installed, one is compiled with localedef into a temporary folder (LOCPATH).
class CommaLocale {
  public:
    CommaLocale() : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if ((active_ = std::setlocale(LC_NUMERIC, name) != nullptr))
                return;
        }
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (folder_ / "de_DE.UTF-8") + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return;
        if (const char* old = std::getenv("LOCPATH"))
            oldLocPath_ = old;
        ::setenv("LOCPATH", folder_.path().c_str(), 1);
        active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, previous_.c_str());
        oldLocPath_ ? ::setenv("LOCPATH", oldLocPath_->c_str(), 1) : ::unsetenv("LOCPATH");
    }
    bool active_ = false;

  private:
    std::string previous_;
    test::TempDir folder_;
    std::optional<std::string> oldLocPath_;
};

TEST(FormatSize, UsesTheLocaleDecimalSeparator) {
    std::string separator, texts;
    {
        const CommaLocale locale;
        if (!locale.active_)
            GTEST_SKIP() << "no locale with a decimal comma is available";
        separator = std::localeconv()->decimal_point;
        texts = FormatSize(1536) + " " + FormatSize(1024) + " " + FormatMegabytes(1572864);
        EXPECT_DOUBLE_EQ(LeadingNumber("1.5kb"), 1.5);  // numbers in texts always use "."
    }
    ASSERT_EQ(separator, ",");
    EXPECT_EQ(texts, "1,5kb 1kb 1,5");
    EXPECT_EQ(FormatSize(1536), "1.5kb");  // back in the C locale
}

TEST(LeadingNumber, ReadsTheLeadingNumber) {
    const struct {
        std::string text;
        double expected;
    } cases[] = {
        {"  12abc", 12}, {"", 0},        {"1.5kb", 1.5}, {"-3", -3}, {".5", 0.5},
        {"-", 0},        {"1e3x", 1000}, {"1e", 1},      {"x12", 0}, {"1,5", 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace tamsel
