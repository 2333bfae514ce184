// UTC from the local clock and the C library's zone rules, whatever the zone.
#include "platform/Clock.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

constexpr std::time_t Late5March2024 = 1709681400; // 2024-03-05 23:30:00 UTC
constexpr std::time_t July2024 = 1719835200;       // 2024-07-01 12:00:00 UTC

TEST(Clock, OffsetFollowsTheZoneAndDaylightTimeAndTheUtcDateDoesNot)
{
    const DateTime march = *DateTime::FromCalendar(2024, 3, 5, 23, 30), july = *DateTime::FromCalendar(2024, 7, 1, 12);
    const struct { const char* Zone; std::time_t At; int Offset; DateTime Utc; } cases[] = {
        {"UTC0", Late5March2024, 0, march},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Late5March2024, 60, march}, // winter
        {"CET-1CEST,M3.5.0,M10.5.0/3", July2024, 120, july},      // summer
        {"EST5EDT,M3.2.0,M11.1.0", Late5March2024, -300, march},  // the local date is still the 5th
        {"IST-5:30", July2024, 330, july},                        // no daylight time
        {"NZST-12NZDT,M9.5.0,M4.1.0/3", Late5March2024, 780, march}, // the local date is already the 6th
        // A zone that counts leap seconds shows 23:59:60, which no date-time holds.
        {"right/UTC", 1483228826, 0, *DateTime::FromCalendar(2016, 12, 31, 23, 59, 59)},
    };
    for (const auto& c : cases) {
        if (c.Zone[0] == 'r' && !std::filesystem::exists("/usr/share/zoneinfo/right/UTC")) continue; // tzdata-legacy
        test::EnvScope zone("TZ", c.Zone);
        EXPECT_EQ(UtcOffsetMinutes(c.At), c.Offset) << c.Zone;
        EXPECT_EQ(UtcAt(c.At), c.Utc) << c.Zone;
    }
}

// A clock past 9999-12-31 gave 1899-12-30 as today, without a word.
TEST(Clock, DateOutsideTheYears1To9999IsNone)
{
    test::EnvScope zone("TZ", "UTC0");
    constexpr std::time_t LastSecondOf9999 = 253402300799;
    EXPECT_EQ(UtcAt(LastSecondOf9999), DateTime::FromCalendar(9999, 12, 31, 23, 59, 59));
    EXPECT_EQ(UtcAt(LastSecondOf9999 + 1), std::nullopt);
    EXPECT_EQ(UtcAt(LastSecondOf9999 + 86400LL * 366 * 1000), std::nullopt);
    EXPECT_EQ(UtcAt(-62135596800 - 1), std::nullopt); // the second before 0001-01-01
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
