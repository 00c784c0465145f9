#include "platform/date_time.h"
#include "platform/environment.h"
#include "platform/identifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <regex>
#include <set>
#include <tuple>

namespace {

TEST(NewIdentifierText, IsAnUpperCaseVersion4GuidInRegistryForm) {
    const std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        std::string id = NewIdentifierText();
        EXPECT_EQ(id.size(), 38u);
        EXPECT_TRUE(std::regex_match(id, form)) << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST(ExpandEnvironment, ReplacesKnownNamesOnly) {
    ::setenv("QV_TEST_DIR", "/opt/mail", 1);
    ::unsetenv("QV_TEST_MISSING");
    EXPECT_EQ(ExpandEnvironment("%QV_TEST_DIR%\\bin\\mail.exe"), "/opt/mail\\bin\\mail.exe");
    EXPECT_EQ(ExpandEnvironment("%QV_TEST_MISSING%\\x"), "%QV_TEST_MISSING%\\x");
    EXPECT_EQ(ExpandEnvironment("100% of %QV_TEST_DIR%"), "100% of /opt/mail");
    EXPECT_EQ(ExpandEnvironment("a%%b"), "a%%b");
}

TEST(ExpandEnvironment, KeepsAtMost254Characters) {
    ::setenv("QV_TEST_LONG", std::string(300, 'x').c_str(), 1);
    EXPECT_EQ(ExpandEnvironment("%QV_TEST_LONG%"), std::string(254, 'x'));
}

TEST(DateTime, EncodesDaysSince1899AndBack) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1970, 1, 1, 0, 0, 0, 0}), 25569.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 2, 29, 18, 0, 0, 0}), 36585.75);
    DateTimeFields fields = DecodeDateTime(36585.75);
    EXPECT_EQ(fields.year, 2000);
    EXPECT_EQ(fields.month, 2);
    EXPECT_EQ(fields.day, 29);
    EXPECT_EQ(fields.hour, 18);
    EXPECT_EQ(DayOfMonth(EncodeDateTime({2026, 12, 31, 23, 59, 59, 999})), 31);
}

TEST(DateTime, ValuesOutsideTheCalendarAreNoDate) {
    const DateTimeFields zero = DecodeDateTime(0);
    for (double value : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e300, MaxDateTime, MinDateTime - 1}) {
        EXPECT_FALSE(IsValidDateTime(value)) << value;
        DateTimeFields fields = DecodeDateTime(value);
        EXPECT_EQ(std::tie(fields.year, fields.month, fields.day, fields.hour),
                  std::tie(zero.year, zero.month, zero.day, zero.hour))
            << value;
        EXPECT_EQ(ShortDateText(value), ShortDateText(0)) << value;
    }
    DateTimeFields first = DecodeDateTime(MinDateTime);
    EXPECT_EQ(std::tie(first.year, first.month, first.day), std::make_tuple(1, 1, 1));
    DateTimeFields last = DecodeDateTime(MaxDateTime - 0.5);
    EXPECT_EQ(std::tie(last.year, last.month, last.day), std::make_tuple(9999, 12, 31));
}

TEST(DateTime, UnixConversionsRoundTripInLocalTime) {
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    std::time_t moment = 1781000000; // summer time in Berlin
    SerialDateTime local = DateTimeFromUnix(moment);
    EXPECT_EQ(UnixFromDateTime(local), moment);
    DateTimeFields utc = DecodeDateTime(25569.0 + static_cast<double>(moment) / 86400.0);
    EXPECT_EQ(DecodeDateTime(local).hour, (utc.hour + 2) % 24);
    ::unsetenv("TZ");
    ::tzset();
}

TEST(DateTime, ClockCanBeReplaced) {
    SetClockForTesting([] { return std::time_t{86400}; });
    EXPECT_EQ(NowUnix(), 86400);
    SetClockForTesting(nullptr);
    EXPECT_GT(NowUnix(), 1700000000);
}

} // namespace
