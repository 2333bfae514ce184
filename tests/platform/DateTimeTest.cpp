#include "platform/DateTime.h"
#include "TestSupport.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace tavik {
namespace {

// The other days follow from this one by the day-by-day walk below.
TEST(DateTime, CountsDaysFrom1899December30)
{
    EXPECT_EQ(DateTime::FromCalendar(1899, 12, 30)->Days(), 0);
    EXPECT_EQ(DateTime::FromCalendar(2026, 12, 6, 18)->Days(), 46362.75);
}

// The leap rules written out here rather than taken from the code under test.
TEST(DateTime, EveryDayAcrossThreeCenturyYearsRoundTripsAndTheDayAfterEachMonthIsRefused)
{
    DateTime day = *DateTime::FromCalendar(1896, 1, 1);
    for (int y = 1896; y < 2105; ++y) {
        const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
        ASSERT_EQ(IsLeapYear(y), leap) << y;
        for (int m = 1; m <= 12; ++m) {
            const int length = m == 2 ? 28 + leap : m == 4 || m == 6 || m == 9 || m == 11 ? 30 : 31;
            for (int d = 1; d <= length; ++d) {
                const CalendarFields f = day.Fields();
                ASSERT_EQ(std::tie(f.Year, f.Month, f.Day), std::tie(y, m, d));
                ASSERT_EQ(DateTime::FromCalendar(y, m, d), day) << y << "-" << m << "-" << d;
                day = day.AddDays(1);
            }
            ASSERT_FALSE(DateTime::FromCalendar(y, m, length + 1)) << y << "-" << m;
        }
    }
}

TEST(DateTime, RejectsFieldsThatNameNoInstant)
{
    const struct { int Y, M, D, H, Mi, S; } bad[] = {
        {2026, 13, 1, 0, 0, 0}, {2026, 0, 1, 0, 0, 0},  {0, 1, 1, 0, 0, 0},     {10000, 1, 1, 0, 0, 0},
        {2026, 1, 0, 0, 0, 0},  {2026, 1, 1, 24, 0, 0}, {2026, 1, 1, 0, 60, 0}, {2026, 1, 1, 0, 0, 60},
        {2026, 1, 1, -1, 0, 0}, {2026, 1, 1, 0, -1, 0}, {2026, 1, 1, 0, 0, -1}};
    for (const auto& c : bad)
        EXPECT_FALSE(DateTime::FromCalendar(c.Y, c.M, c.D, c.H, c.Mi, c.S))
            << c.Y << "-" << c.M << "-" << c.D << " " << c.H << ":" << c.Mi << ":" << c.S;
    EXPECT_TRUE(DateTime::FromCalendar(9999, 12, 31, 23, 59, 59));
}

// Fields near either end of the 64-bit range were found as seconds - days * 86400, which overflowed.
TEST(DateTime, FieldsOfTheExtremeSecondCountsDoNotOverflow)
{
    for (std::int64_t s : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::min() + 1,
                           std::numeric_limits<std::int64_t>::max(), std::int64_t{-1}}) {
        const CalendarFields f = DateTime::FromSeconds(s).Fields();
        EXPECT_GE(f.Hour, 0) << s;
        EXPECT_LE(f.Hour, 23) << s;
        EXPECT_GE(f.Second, 0) << s;
        EXPECT_LE(f.Second, 59) << s;
        EXPECT_EQ(DateTime::FromSeconds(s).IsMidnight(), f.Hour == 0 && f.Minute == 0 && f.Second == 0);
    }
    // Before day 0, days still start at midnight.
    const CalendarFields f = DateTime::FromCalendar(1899, 12, 29, 6, 30, 15)->Fields();
    EXPECT_EQ(std::tie(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second), std::tuple(1899, 12, 29, 6, 30, 15));
    EXPECT_TRUE(DateTime::FromCalendar(1899, 12, 29)->IsMidnight());
    // Before the first 400-year era.
    const CalendarFields leapDay = DateTime::FromCalendar(1, 1, 1)->AddDays(-307).Fields();
    EXPECT_EQ(std::tie(leapDay.Year, leapDay.Month, leapDay.Day), std::tuple(0, 2, 29));
}

constexpr std::time_t Late5March2024 = 1709681400; // 2024-03-05 23:30:00 UTC
constexpr std::time_t July2024 = 1719835200;       // 2024-07-01 12:00:00 UTC

// A clock past 9999-12-31 gave 1899-12-30 as today, without a word.
TEST(Clock, OffsetFollowsTheZoneAndDaylightTimeAndTheUtcDateDoesNotAndOnlyYears1To9999AreDates)
{
    const DateTime march = *DateTime::FromCalendar(2024, 3, 5, 23, 30);
    const DateTime july = *DateTime::FromCalendar(2024, 7, 1, 12);
    constexpr std::time_t LastSecondOf9999 = 253402300799;
    const struct { const char* Zone; std::time_t At; int Offset; std::optional<DateTime> Utc; } cases[] = {
        {"UTC0", Late5March2024, 0, march},
        {"CET-1CEST,M3.5.0,M10.5.0/3", July2024, 120, july},
        {"EST5EDT,M3.2.0,M11.1.0", Late5March2024, -300, march},  // the local date is still the 5th
        {"NZST-12NZDT,M9.5.0,M4.1.0/3", Late5March2024, 780, march}, // the local date is already the 6th
        // A zone that counts leap seconds shows 23:59:60, which no date-time holds.
        {"right/UTC", 1483228826, 0, *DateTime::FromCalendar(2016, 12, 31, 23, 59, 59)},
        {"UTC0", LastSecondOf9999, 0, *DateTime::FromCalendar(9999, 12, 31, 23, 59, 59)},
        {"UTC0", LastSecondOf9999 + 1, 0, std::nullopt},
        {"UTC0", -62135596800 - 1, 0, std::nullopt}, // the second before 0001-01-01
    };
    for (const auto& c : cases) {
        if (c.Zone[0] == 'r' && !std::filesystem::exists("/usr/share/zoneinfo/right/UTC")) continue; // tzdata-legacy
        test::EnvScope zone("TZ", c.Zone);
        EXPECT_EQ(UtcOffsetMinutes(c.At), c.Offset) << c.Zone << " " << c.At;
        EXPECT_EQ(UtcAt(c.At), c.Utc) << c.Zone << " " << c.At;
    }
}

TEST(Clock, ZoneChangeTakesEffectAtTheNextCall)
{
    test::EnvScope zone("TZ", "UTC0");
    EXPECT_EQ(UtcOffsetMinutes(July2024), 0);
    ::setenv("TZ", "JST-9", 1); // no tzset here: the clock must not cache the zone
    EXPECT_EQ(UtcOffsetMinutes(July2024), 540);
}

} // namespace
} // namespace tavik
