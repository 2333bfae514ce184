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
    const struct {
        const char* Zone;
        std::time_t At;
        int Offset;
    } cases[] = {
        {"UTC0", Late5March2024, 0},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Late5March2024, 60}, // winter
        {"CET-1CEST,M3.5.0,M10.5.0/3", July2024, 120},      // summer
        {"EST5EDT,M3.2.0,M11.1.0", Late5March2024, -300},  // the local date is still the 5th
        {"IST-5:30", July2024, 330},                        // no daylight time
        {"NZST-12NZDT,M9.5.0,M4.1.0/3", Late5March2024, 780}, // the local date is already the 6th
    };
    for (const auto& c : cases) {
        test::EnvScope zone("TZ", c.Zone);
        EXPECT_EQ(UtcOffsetMinutes(c.At), c.Offset) << c.Zone;
        const CalendarFields f = UtcAt(Late5March2024).value().Fields();
        EXPECT_TRUE(f.Year == 2024 && f.Month == 3 && f.Day == 5 && f.Hour == 23 && f.Minute == 30) << c.Zone;
    }
}

// A clock past 9999-12-31 gave 1899-12-30 as today, without a word.
TEST(Clock, DateOutsideTheYears1To9999IsNone)
{
    test::EnvScope zone("TZ", "UTC0");
    constexpr std::time_t LastSecondOf9999 = 253402300799;
    const CalendarFields last = UtcAt(LastSecondOf9999).value().Fields();
    EXPECT_TRUE(last.Year == 9999 && last.Month == 12 && last.Day == 31);
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
