#include "util/Format.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>

namespace tamsel {

namespace {

std::string DecimalSeparator() {
    const std::lconv* conv = std::localeconv();
    if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0')
        return ".";
    return conv->decimal_point;
}

// Whole number, rounded half away from zero (the pattern "0").
std::string WholeText(double v) {
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.0f", std::round(v));
    std::string text = buffer.data();
    if (text == "-0")
        text = "0";
    return text;
}

// One decimal, rounded half away from zero (the pattern "0.0"), with the locale's separator.
std::string OneDecimalText(double v) {
    const double tenths = std::round(v * 10.0);
    const bool negative = tenths < 0;
    const double magnitude = std::fabs(tenths);
    const double whole = std::floor(magnitude / 10.0);
    const int digit = static_cast<int>(magnitude - whole * 10.0);
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.0f", whole);
    return std::string(negative ? "-" : "") + buffer.data() + DecimalSeparator() +
           std::to_string(digit);
}

std::string Choose(double v, const char* unit) {
    if (v == std::floor(v))
        return WholeText(v) + unit;
    return OneDecimalText(v) + unit;
}

}  // namespace

std::string FormatSize(double bytes) {
    if (bytes < 1024)
        return WholeText(bytes) + "b";
    double v = bytes / 1024;
    if (v < 1024)
        return Choose(v, "kb");
    v = v / 1024;
    if (v < 1024)
        return Choose(v, "mb");
    v = v / 1024;
    return Choose(v, "gb");
}

std::string FormatMegabytes(std::int64_t bytes) {
    return OneDecimalText(static_cast<double>(bytes) / 1024.0 / 1024.0);
}

double LeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    const std::size_t start = pos;
    auto digitAt = [&](std::size_t i) {
        return i < text.size() && text[i] >= '0' && text[i] <= '9';
    };
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    while (digitAt(pos)) {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        std::size_t fraction = pos + 1;
        while (digitAt(fraction)) {
            ++fraction;
            ++digits;
        }
        pos = fraction;
    }
    if (digits == 0)
        return 0.0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (digitAt(exponent)) {
            while (digitAt(exponent))
                ++exponent;
            pos = exponent;
        }
    }
    std::string number(text.substr(start, pos - start));
    if (!number.empty() && number[0] == '+')
        number.erase(0, 1);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to represent (a negative exponent) reads as zero; too large as infinity.
        if (number.find("e-") != std::string::npos || number.find("E-") != std::string::npos)
            return 0.0;
        return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    if (result.ec != std::errc())
        return 0.0;
    return value;
}

}  // namespace tamsel
