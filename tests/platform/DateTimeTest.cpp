// Calendar arithmetic on date-time values.
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavik {
namespace {

TEST(DateTime, CountsDaysFrom1899December30)
{
    struct Case {
        int Year, Month, Day;
        double Days;
    };
    // Reference: the date-time serial numbers of common spreadsheet and basic dialects.
    const Case cases[] = {{1899, 12, 30, 0}, {1900, 1, 1, 2}, {2000, 1, 1, 36526}, {2026, 12, 6, 46362},
                          {1899, 12, 29, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Year);
        EXPECT_EQ(DateTime::FromCalendar(c.Year, c.Month, c.Day)->Days(), c.Days);
    }
    EXPECT_EQ(DateTime::FromCalendar(2026, 12, 6, 18)->Days(), 46362.75);
}

TEST(DateTime, RejectsFieldsThatNameNoInstant)
{
    struct Case {
        int Y, M, D, H, Mi, S;
    };
    const Case bad[] = {{2026, 2, 29, 0, 0, 0}, {2026, 2, 31, 0, 0, 0}, {2026, 13, 1, 0, 0, 0},
                        {2026, 0, 1, 0, 0, 0},  {0, 1, 1, 0, 0, 0},     {10000, 1, 1, 0, 0, 0},
                        {2026, 1, 0, 0, 0, 0},  {2026, 1, 1, 24, 0, 0}, {2026, 1, 1, 0, 60, 0}};
    for (const auto& c : bad) {
        SCOPED_TRACE(::testing::Message() << c.Y << "-" << c.M << "-" << c.D << " " << c.H << ":" << c.Mi);
        EXPECT_FALSE(DateTime::FromCalendar(c.Y, c.M, c.D, c.H, c.Mi, c.S).has_value());
    }
    EXPECT_TRUE(DateTime::FromCalendar(2024, 2, 29).has_value());
    EXPECT_TRUE(DateTime::FromCalendar(9999, 12, 31, 23, 59, 59).has_value());
}

TEST(DateTime, StepsAcrossMonthYearAndLeapDay)
{
    DateTime newYearsEve = *DateTime::FromCalendar(2026, 12, 31, 23, 59);
    CalendarFields f = newYearsEve.AddMinutes(1).Fields();
    EXPECT_EQ(f.Year, 2027);
    EXPECT_EQ(f.Month, 1);
    EXPECT_EQ(f.Day, 1);
    EXPECT_EQ(f.Hour, 0);
    EXPECT_TRUE(newYearsEve.AddMinutes(1).IsMidnight());

    CalendarFields leap = DateTime::FromCalendar(2024, 2, 28)->AddDays(1).Fields();
    EXPECT_EQ(leap.Month, 2);
    EXPECT_EQ(leap.Day, 29);

    // 59 days of 1441 steps: minute 1440 of a day is minute 0 of the next.
    DateTime start = *DateTime::FromCalendar(2026, 12, 6);
    EXPECT_EQ(start.AddMinutes(1440), start.AddDays(1));
    CalendarFields last = start.AddDays(58).Fields();
    EXPECT_EQ(last.Year, 2027);
    EXPECT_EQ(last.Month, 2);
    EXPECT_EQ(last.Day, 2);
}

TEST(DateTime, WholeMinutesBetween)
{
    DateTime a = *DateTime::FromCalendar(2026, 12, 6, 23, 40);
    DateTime b = *DateTime::FromCalendar(2026, 12, 7, 0, 21);
    EXPECT_EQ(DateTime::MinutesBetween(a, b), 41);
    EXPECT_EQ(DateTime::MinutesBetween(a, a.AddMinutes(1)), 1);
}

TEST(DateTime, FieldsBeforeTheEpochDay)
{
    CalendarFields f = DateTime::FromCalendar(1899, 12, 29, 6, 30)->Fields();
    EXPECT_EQ(f.Year, 1899);
    EXPECT_EQ(f.Day, 29);
    EXPECT_EQ(f.Hour, 6);
    EXPECT_EQ(f.Minute, 30);
}

// The fields of an instant near either end of the 64-bit range were found as
// seconds - days * 86400, which overflowed; any count of seconds now gives
// fields without undefined behaviour.
TEST(DateTime, FieldsOfTheExtremeSecondCountsDoNotOverflow)
{
    for (std::int64_t s : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::min() + 1,
                           std::numeric_limits<std::int64_t>::max(), std::int64_t{-1}}) {
        const DateTime t = DateTime::FromSeconds(s);
        const CalendarFields f = t.Fields();
        EXPECT_GE(f.Hour, 0);
        EXPECT_LE(f.Hour, 23);
        EXPECT_GE(f.Second, 0);
        EXPECT_LE(f.Second, 59);
        EXPECT_EQ(t.IsMidnight(), f.Hour == 0 && f.Minute == 0 && f.Second == 0);
    }
    const CalendarFields last = DateTime::FromSeconds(-1).Fields();
    EXPECT_EQ(last.Day, 29);
    EXPECT_EQ(last.Hour, 23);
    EXPECT_EQ(last.Minute, 59);
    EXPECT_EQ(last.Second, 59);
}

} // namespace
} // namespace tavik
