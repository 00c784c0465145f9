#include "mail/mail_date.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

// A zone with summer time, so that the conversion to local time is exercised.
class MailDate : public testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        m_savedZone = zone ? zone : "";
        m_hadZone = zone != nullptr;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    void TearDown() override {
        if (m_hadZone) {
            setenv("TZ", m_savedZone.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    static std::time_t Utc(int year, int month, int day, int hour, int minute, int second) {
        std::tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        fields.tm_hour = hour;
        fields.tm_min = minute;
        fields.tm_sec = second;
        return timegm(&fields);
    }

private:
    std::string m_savedZone;
    bool m_hadZone = false;
};

TEST_F(MailDate, ReadsCurrentAndObsoleteForms) {
    struct Case {
        const char* Text;
        std::time_t Expected;
    };
    const std::vector<Case> cases = {
        {"Tue, 3 Mar 2026 08:13:55 +0000", Utc(2026, 3, 3, 8, 13, 55)},
        {"Tue,  3 Mar 2026 09:14:02 +0100 (CET)", Utc(2026, 3, 3, 8, 14, 2)},
        {"Wed, 4 Mar 2026 10:00:00 -0500", Utc(2026, 3, 4, 15, 0, 0)},
        {"4 Mar 2026 10:00 -0530", Utc(2026, 3, 4, 15, 30, 0)},
        {"Sat, 07 Mar 2026 07:00:00 GMT", Utc(2026, 3, 7, 7, 0, 0)},
        {"10 Mar 26 14:00 EST", Utc(2026, 3, 10, 19, 0, 0)},
        {"Fri, 13 Feb 98 23:59:59 PDT", Utc(1998, 2, 14, 6, 59, 59)},
        {"Mon, 1 Jun 109 12:00:00 UT", Utc(2009, 6, 1, 12, 0, 0)},
        {"Mon, 1 Jun 2009 12:00:00 Z", Utc(2009, 6, 1, 12, 0, 0)},
        {"Mon, 1 Jun 2009 12:00:00", Utc(2009, 6, 1, 12, 0, 0)},
        {"Wed Dec  9 13:25:36 2026", Utc(2026, 12, 9, 13, 25, 36)},
        {"Thu, 31 Dec 1998 23:59:60 +0000", Utc(1998, 12, 31, 23, 59, 59)},
        {"Sun, 29 Mar 2026 01:30:00 +0000", Utc(2026, 3, 29, 1, 30, 0)},
        {"Sun, 8 Mar 2026 12:00:00 +01:00", Utc(2026, 3, 8, 11, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseMailDate(c.Text), DateTimeFromUnix(c.Expected)) << c.Text;
    }
}

TEST_F(MailDate, UnreadableDatesGiveZero) {
    const std::vector<std::string> texts = {
        "",
        "yesterday",
        "Tue, 3 Foo 2026 08:13:55 +0000",
        "31 Feb 2026 10:00:00 +0000",
        "3 Mar 2026 25:00 +0000",
        "3 Mar 2026",
        "2026-03-03T08:13:55Z",
        "Tue, 3 Mar 2026 08:13:55 +0000 08:14:00",
        "3 Mar 1200 10:00 +0000",
    };
    for (const std::string& text : texts) {
        EXPECT_EQ(ParseMailDate(text), 0) << text;
    }
}

TEST_F(MailDate, WritesRfc2822WithTheLocalOffsetAndReadsItBack) {
    SerialDateTime summer = DateTimeFromUnix(Utc(2026, 7, 1, 10, 0, 5));
    EXPECT_EQ(FormatMailDate(summer), "Wed, 01 Jul 2026 12:00:05 +0200");
    SerialDateTime winter = DateTimeFromUnix(Utc(2026, 1, 9, 23, 30, 0));
    EXPECT_EQ(FormatMailDate(winter), "Sat, 10 Jan 2026 00:30:00 +0100");
    EXPECT_DOUBLE_EQ(ParseMailDate(FormatMailDate(winter)), winter);
}

} // namespace
