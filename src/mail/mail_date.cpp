#include "mail/mail_date.h"

#include "records/text_helpers.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

namespace {

const std::array<const char*, 12> MonthNames = {"jan", "feb", "mar", "apr", "may", "jun",
                                                "jul", "aug", "sep", "oct", "nov", "dec"};
const std::array<const char*, 7> DayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

struct NamedZone {
    const char* Name;
    int Minutes;
};

// RFC 2822 section 4.3; military letters count as +0000 as that section advises.
const std::array<NamedZone, 12> NamedZones = {{{"ut", 0},
                                               {"utc", 0},
                                               {"gmt", 0},
                                               {"z", 0},
                                               {"est", -300},
                                               {"edt", -240},
                                               {"cst", -360},
                                               {"cdt", -300},
                                               {"mst", -420},
                                               {"mdt", -360},
                                               {"pst", -480},
                                               {"pdt", -420}}};

struct DateParts {
    int Day = -1, Month = -1, Year = -1;
    int Hour = -1, Minute = -1, Second = 0;
    int ZoneMinutes = 0;
    bool HasZone = false;
};

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

int Number(std::string_view text) {
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// Words of the date with comments removed; commas separate like blanks.
std::vector<std::string> DateWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    int depth = 0;
    auto flush = [&] {
        if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    };
    for (char c : text) {
        if (depth > 0) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        } else if (c == '(') {
            flush();
            depth = 1;
        } else if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') {
            flush();
        } else {
            word += c;
        }
    }
    flush();
    return words;
}

std::optional<int> MonthFromName(const std::string& lower) {
    if (lower.size() < 3) {
        return std::nullopt;
    }
    for (size_t i = 0; i < MonthNames.size(); ++i) {
        if (lower.compare(0, 3, MonthNames[i]) == 0) {
            return static_cast<int>(i) + 1;
        }
    }
    return std::nullopt;
}

std::optional<int> ZoneFromName(const std::string& lower) {
    for (const NamedZone& zone : NamedZones) {
        if (lower == zone.Name) {
            return zone.Minutes;
        }
    }
    if (lower.size() == 1 && lower[0] >= 'a' && lower[0] <= 'z' && lower[0] != 'j') {
        return 0;
    }
    return std::nullopt;
}

bool ReadTime(std::string_view word, DateParts& parts) {
    int fields[3] = {-1, -1, 0};
    int count = 0;
    size_t start = 0;
    while (start <= word.size() && count < 3) {
        size_t colon = word.find(':', start);
        std::string_view piece = word.substr(start, colon == std::string_view::npos ? word.npos : colon - start);
        if (!AllDigits(piece) || piece.size() > 2) {
            return false;
        }
        fields[count++] = Number(piece);
        if (colon == std::string_view::npos) {
            break;
        }
        start = colon + 1;
    }
    if (count < 2) {
        return false;
    }
    parts.Hour = fields[0];
    parts.Minute = fields[1];
    parts.Second = fields[2];
    return true;
}

bool ReadNumericZone(std::string_view word, DateParts& parts) {
    std::string compact(word);
    // "+01:00" is not RFC 2822 but common enough.
    if (compact.size() == 6 && compact[3] == ':') {
        compact.erase(3, 1);
    }
    word = compact;
    if (word.size() != 5 || (word[0] != '+' && word[0] != '-') || !AllDigits(word.substr(1))) {
        return false;
    }
    int hours = Number(word.substr(1, 2));
    int minutes = Number(word.substr(3, 2));
    if (minutes > 59) {
        return false;
    }
    parts.ZoneMinutes = (word[0] == '-' ? -1 : 1) * (hours * 60 + minutes);
    parts.HasZone = true;
    return true;
}

int FullYear(std::string_view digits) {
    int year = Number(digits);
    if (digits.size() == 2) {
        return year < 50 ? 2000 + year : 1900 + year;
    }
    if (digits.size() == 3) {
        return 1900 + year;
    }
    return year;
}

void ReadNumber(std::string_view word, DateParts& parts) {
    // A day comes before the year; a number of three or more digits is a year.
    if (word.size() <= 2 && parts.Day < 0 && parts.Month < 0) {
        parts.Day = Number(word);
    } else if (word.size() <= 2 && parts.Day < 0 && parts.Year < 0 && parts.Hour < 0) {
        // "Dec 9 2026" (asctime order): the day follows the month.
        parts.Day = Number(word);
    } else if (parts.Year < 0) {
        parts.Year = FullYear(word);
    }
}

bool ReadWords(const std::vector<std::string>& words, DateParts& parts) {
    for (const std::string& word : words) {
        std::string lower = LowerAscii(std::string(word));
        if (AllDigits(word)) {
            ReadNumber(word, parts);
        } else if ((word[0] == '+' || word[0] == '-') && parts.Hour >= 0) {
            if (parts.HasZone || !ReadNumericZone(word, parts)) {
                return false;
            }
        } else if (word.find(':') != std::string::npos) {
            if (parts.Hour >= 0 || !ReadTime(word, parts)) {
                return false;
            }
        } else if (auto month = MonthFromName(lower); month && parts.Month < 0) {
            parts.Month = *month;
        } else if (auto zone = ZoneFromName(lower); zone && parts.Hour >= 0 && !parts.HasZone) {
            parts.ZoneMinutes = *zone;
            parts.HasZone = true;
        }
        // Day names and unknown words are ignored.
    }
    return true;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsValid(const DateParts& parts) {
    static const int daysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (parts.Month < 1 || parts.Year < 1601 || parts.Year > 9999 || parts.Day < 1) {
        return false;
    }
    int days = daysInMonth[parts.Month - 1];
    if (parts.Month == 2 && !IsLeapYear(parts.Year)) {
        days = 28;
    }
    if (parts.Day > days) {
        return false;
    }
    if (parts.Hour < 0) {
        return false;
    }
    return parts.Hour <= 23 && parts.Minute >= 0 && parts.Minute <= 59 && parts.Second >= 0 && parts.Second <= 60;
}

} // namespace

SerialDateTime ParseMailDate(std::string_view text) {
    DateParts parts;
    if (!ReadWords(DateWords(text), parts) || !IsValid(parts)) {
        return 0;
    }
    std::tm utc{};
    utc.tm_year = parts.Year - 1900;
    utc.tm_mon = parts.Month - 1;
    utc.tm_mday = parts.Day;
    utc.tm_hour = parts.Hour;
    utc.tm_min = parts.Minute;
    // A leap second is read as the last second of its minute.
    utc.tm_sec = parts.Second == 60 ? 59 : parts.Second;
    std::time_t seconds = timegm(&utc) - static_cast<std::time_t>(parts.ZoneMinutes) * 60;
    return DateTimeFromUnix(seconds);
}

std::string FormatMailDate(SerialDateTime value) {
    static const char* const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::time_t seconds = UnixFromDateTime(value);
    std::tm local{};
    localtime_r(&seconds, &local);
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) {
        offset = -offset;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", DayNames[local.tm_wday],
                  local.tm_mday, months[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                  sign, offset / 60, offset % 60);
    return buffer;
}
