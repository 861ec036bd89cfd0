#include "util/DateTime.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace tamsel {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

std::tm ToTm(const DateTime& d) {
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = d.hour;
    tm.tm_min = d.minute;
    tm.tm_sec = d.second;
    tm.tm_wday = Weekday(d);
    tm.tm_isdst = -1;
    return tm;
}

std::string Pad2(int value) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02d", value);
    return buffer.data();
}

// Reads 1 to maxDigits decimal digits at pos; false when there are none.
bool ReadNumber(std::string_view text, std::size_t& pos, std::size_t minDigits,
                std::size_t maxDigits, int& value) {
    std::size_t digits = 0;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits && (pos >= text.size() || text[pos] < '0' || text[pos] > '9');
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

}  // namespace

DateTime Now() {
    return FromTimeT(std::time(nullptr));
}

DateTime FromTimeT(std::time_t t) {
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr)
        return DateTime{};
    DateTime d;
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec;
    return d;
}

std::time_t ToTimeT(const DateTime& d) {
    std::tm tm = ToTm(d);
    return std::mktime(&tm);
}

DateTime AddDays(const DateTime& d, int days) {
    DateTime result = d;
    CivilFromDays(DaysFromCivil(d.year, d.month, d.day) + days, result.year, result.month,
                  result.day);
    return result;
}

DateTime AddMonths(const DateTime& d, int months) {
    DateTime result = d;
    const long long total = static_cast<long long>(d.year) * 12 + (d.month - 1) + months;
    long long year = total / 12;
    long long month0 = total % 12;
    if (month0 < 0) {
        month0 += 12;
        year -= 1;
    }
    result.year = static_cast<int>(year);
    result.month = static_cast<int>(month0 + 1);
    const int last = DaysInMonth(result.year, result.month);
    if (result.day > last)
        result.day = last;
    return result;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return kDays[static_cast<std::size_t>(month - 1)];
}

int Weekday(const DateTime& d) {
    // 1970-01-01 was a Thursday (4).
    const long long days = DaysFromCivil(d.year, d.month, d.day);
    const long long w = (days + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

std::string DateText(const DateTime& d) {
    std::array<char, 48> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02d/%02d/%04d", d.day, d.month, d.year);
    return buffer.data();
}

std::string TimeText(const DateTime& d) {
    return Pad2(d.hour) + ":" + Pad2(d.minute) + ":" + Pad2(d.second);
}

std::string DateToDmy(const DateTime& d) {
    return std::to_string(d.day) + "/" + std::to_string(d.month) + "/" + std::to_string(d.year);
}

std::string LongTimeText(const DateTime& d) {
    const std::tm tm = ToTm(d);
    std::array<char, 256> buffer{};
    const std::size_t n = std::strftime(buffer.data(), buffer.size(), "%X", &tm);
    return std::string(buffer.data(), n);
}

std::string DefaultDateTimeText(const DateTime& d) {
    // As the general date form: no time part at midnight, no date part on the zero date.
    const DateTime zero;
    const bool noTime = d.hour == 0 && d.minute == 0 && d.second == 0;
    const bool noDate = d.year == zero.year && d.month == zero.month && d.day == zero.day;
    const std::tm tm = ToTm(d);
    std::array<char, 256> buffer{};
    std::size_t n = 0;
    // The user's short date form is wanted here, whatever digits of the year it shows.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-y2k"
    if (noDate && !noTime) {
        n = std::strftime(buffer.data(), buffer.size(), "%X", &tm);
    } else if (noTime) {
        n = std::strftime(buffer.data(), buffer.size(), "%x", &tm);
    } else {
        n = std::strftime(buffer.data(), buffer.size(), "%x %X", &tm);
    }
#pragma GCC diagnostic pop
    return std::string(buffer.data(), n);
}

bool ParseDateTimeText(const std::string& text, DateTime& out) {
    const std::string_view all(text);
    const auto first = all.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    const auto last = all.find_last_not_of(' ');
    const std::string_view s = all.substr(first, last - first + 1);

    DateTime d;
    std::size_t pos = 0;
    if (!ReadNumber(s, pos, 1, 2, d.day) || !Expect(s, pos, '/'))
        return false;
    if (!ReadNumber(s, pos, 1, 2, d.month) || !Expect(s, pos, '/'))
        return false;
    if (!ReadNumber(s, pos, 4, 4, d.year))
        return false;
    if (d.year < 100 || d.month < 1 || d.month > 12)
        return false;
    if (d.day < 1 || d.day > DaysInMonth(d.year, d.month))
        return false;
    d.hour = d.minute = d.second = 0;
    if (pos < s.size()) {
        if (!Expect(s, pos, ' '))
            return false;
        while (pos < s.size() && s[pos] == ' ')
            ++pos;
        if (!ReadNumber(s, pos, 1, 2, d.hour) || !Expect(s, pos, ':'))
            return false;
        if (!ReadNumber(s, pos, 2, 2, d.minute))
            return false;
        if (pos < s.size()) {
            if (!Expect(s, pos, ':') || !ReadNumber(s, pos, 2, 2, d.second))
                return false;
        }
        if (pos != s.size())
            return false;
        if (d.hour > 23 || d.minute > 59 || d.second > 59)
            return false;
    }
    out = d;
    return true;
}

}  // namespace tamsel
