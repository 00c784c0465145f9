#include "platform/date_time.h"

#include <cmath>
#include <ctime>

namespace {

constexpr long long UnixEpochDays = 25569; // 1970-01-01 as a SerialDateTime

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

// The calendar fields of a local SerialDateTime for the C library, daylight
// saving time left for it to work out.
std::tm LocalFields(SerialDateTime value) {
    DateTimeFields f = DecodeDateTime(value);
    std::tm local{};
    local.tm_year = f.year - 1900;
    local.tm_mon = f.month - 1;
    local.tm_mday = f.day;
    local.tm_hour = f.hour;
    local.tm_min = f.minute;
    local.tm_sec = f.second;
    local.tm_isdst = -1;
    return local;
}

std::function<std::time_t()>& Clock() {
    static std::function<std::time_t()> clock;
    return clock;
}

} // namespace

SerialDateTime EncodeDateTime(const DateTimeFields& f) {
    long long days =
        DaysFromCivil(f.year, static_cast<unsigned>(f.month), static_cast<unsigned>(f.day)) + UnixEpochDays;
    double time = (f.hour * 3600.0 + f.minute * 60.0 + f.second + f.millisecond / 1000.0) / 86400.0;
    return static_cast<double>(days) + time;
}

bool IsValidDateTime(SerialDateTime value) {
    return std::isfinite(value) && value >= MinDateTime && value < MaxDateTime;
}

DateTimeFields DecodeDateTime(SerialDateTime value) {
    DateTimeFields f;
    // Beyond the range the day count would not fit the integer types.
    if (!IsValidDateTime(value))
        return f;
    long long days = static_cast<long long>(std::floor(value));
    long long milliseconds = std::llround((value - static_cast<double>(days)) * 86400000.0);
    if (milliseconds >= 86400000) {
        ++days;
        milliseconds -= 86400000;
    }
    CivilFromDays(days - UnixEpochDays, f.year, f.month, f.day);
    f.hour = static_cast<int>(milliseconds / 3600000);
    f.minute = static_cast<int>(milliseconds / 60000 % 60);
    f.second = static_cast<int>(milliseconds / 1000 % 60);
    f.millisecond = static_cast<int>(milliseconds % 1000);
    return f;
}

SerialDateTime DateTimeFromUnix(std::time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    DateTimeFields f{
        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 0};
    return EncodeDateTime(f);
}

std::time_t UnixFromDateTime(SerialDateTime value) {
    std::tm local = LocalFields(value);
    return std::mktime(&local);
}

std::time_t NowUnix() {
    return Clock() ? Clock()() : std::time(nullptr);
}

SerialDateTime Now() {
    return DateTimeFromUnix(NowUnix());
}

void SetClockForTesting(std::function<std::time_t()> clock) {
    Clock() = std::move(clock);
}

int DayOfMonth(SerialDateTime value) {
    return DecodeDateTime(value).day;
}

namespace {

std::string FormatLocal(SerialDateTime value, const char* format) {
    std::tm fields = LocalFields(value);
    char buffer[128];
    size_t length = std::strftime(buffer, sizeof buffer, format, &fields);
    return std::string(buffer, length);
}

} // namespace

std::string ShortDateLongTimeText(SerialDateTime value) {
    return FormatLocal(value, "%x %X");
}

std::string ShortDateText(SerialDateTime value) {
    return FormatLocal(value, "%x");
}
