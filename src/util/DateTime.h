#pragma once

#include <ctime>
#include <string>

namespace tamsel {

// A local calendar date and time of day. The default is the zero date, 30/12/1899 00:00:00.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

DateTime Now();
DateTime FromTimeT(std::time_t t);       // local time
std::time_t ToTimeT(const DateTime& d);  // local time; -1 when not representable
DateTime AddDays(const DateTime& d, int days);
// Calendar months: the day is clamped to the last day of the target month (31/01 + 1 = 28 or
// 29/02).
DateTime AddMonths(const DateTime& d, int months);
int DaysInMonth(int year, int month);
int Weekday(const DateTime& d);  // Sunday = 0

// "dd/mm/yyyy".
std::string DateText(const DateTime& d);
// "hh:mm:ss", 24-hour clock.
std::string TimeText(const DateTime& d);
// Day/month/year without leading zeros: 5/1/2007.
std::string DateToDmy(const DateTime& d);
// The time of day in the user's long time format (locale %X).
std::string LongTimeText(const DateTime& d);
// The date and time in the user's default date-time form (locale %x %X), as the general date form
// shows it: the date alone at midnight, the time alone on the zero date.
std::string DefaultDateTimeText(const DateTime& d);
// Reads "d/m/yyyy" optionally followed by a space and "h:mm" or "h:mm:ss". False when the text is
// not a valid date (day beyond the month, month outside 1-12, missing parts).
bool ParseDateTimeText(const std::string& text, DateTime& out);

}  // namespace tamsel
