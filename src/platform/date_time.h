#pragma once

#include <ctime>
#include <functional>
#include <string>

// Dates in the stored formats are SerialDateTime values: days since 1899-12-30 in
// local time, the fraction being the time of day. These are the one set of
// conversions between them, calendar fields and Unix time.
using SerialDateTime = double;

struct DateTimeFields {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The dates the conversions handle: 0001-01-01 up to, not including,
// 10000-01-01.
inline constexpr SerialDateTime MinDateTime = -693593.0;
inline constexpr SerialDateTime MaxDateTime = 2958466.0;

// Finite and within MinDateTime..MaxDateTime. A stored date that is not (NaN,
// infinity, 1e300 in a damaged file) counts as no valid date.
bool IsValidDateTime(SerialDateTime value);

SerialDateTime EncodeDateTime(const DateTimeFields& fields);
// A value that is not IsValidDateTime gives the fields of 0 (1899-12-30).
DateTimeFields DecodeDateTime(SerialDateTime value);

// Unix time <-> local SerialDateTime, through the user's time zone.
SerialDateTime DateTimeFromUnix(std::time_t seconds);
std::time_t UnixFromDateTime(SerialDateTime value);

// The current local time. Tests may replace the clock.
SerialDateTime Now();
std::time_t NowUnix();
void SetClockForTesting(std::function<std::time_t()> clock);

// The day of the month (1..31) of a date-time value.
int DayOfMonth(SerialDateTime value);

// A date-time in the user's locale: the short date and the long time ("%x %X"),
// or the short date alone ("%x").
std::string ShortDateLongTimeText(SerialDateTime value);
std::string ShortDateText(SerialDateTime value);
