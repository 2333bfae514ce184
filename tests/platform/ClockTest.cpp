// UTC from the local clock and the C library's zone rules, whatever the zone.
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tavik {
namespace {

// Sets TZ for the life of the object.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) saved_ = old, hadZone_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (hadZone_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool hadZone_ = false;
};

// 2024-03-05 23:30:00 UTC as a system clock value.
constexpr std::time_t Late5March2024 = 1709681400;
// 2024-07-01 12:00:00 UTC.
constexpr std::time_t July2024 = 1719835200;

TEST(Clock, UtcOffsetFollowsTheZoneAndDaylightTime)
{
    struct Case {
        const char* Zone;
        std::time_t At;
        int Offset;
    };
    const Case cases[] = {
        {"UTC0", Late5March2024, 0},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Late5March2024, 60},  // winter
        {"CET-1CEST,M3.5.0,M10.5.0/3", July2024, 120},        // summer
        {"EST5EDT,M3.2.0,M11.1.0", Late5March2024, -300},
        {"IST-5:30", July2024, 330},                           // no daylight time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Zone);
        ZoneScope zone(c.Zone);
        EXPECT_EQ(UtcOffsetMinutes(c.At), c.Offset);
    }
}

TEST(Clock, UtcDateIsTheSameInEveryZone)
{
    for (const char* z : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0", "IST-5:30",
                          "NZST-12NZDT,M9.5.0,M4.1.0/3"}) {
        SCOPED_TRACE(z);
        ZoneScope zone(z);
        CalendarFields f = UtcAt(Late5March2024).value().Fields();
        EXPECT_EQ(f.Day, 5);
        EXPECT_EQ(f.Month, 3);
        EXPECT_EQ(f.Year, 2024);
        EXPECT_EQ(f.Hour, 23);
        EXPECT_EQ(f.Minute, 30);
    }
}

// A clock past 9999-12-31 gave 1899-12-30 as today, without a word.
TEST(Clock, DateOutsideTheYears1To9999IsNone)
{
    ZoneScope zone("UTC0");
    constexpr std::time_t LastSecondOf9999 = 253402300799;
    const CalendarFields last = UtcAt(LastSecondOf9999).value().Fields();
    EXPECT_EQ(last.Year, 9999);
    EXPECT_EQ(last.Month, 12);
    EXPECT_EQ(last.Day, 31);
    EXPECT_EQ(UtcAt(LastSecondOf9999 + 1), std::nullopt);
    EXPECT_EQ(UtcAt(LastSecondOf9999 + 86400LL * 366 * 1000), std::nullopt);
    EXPECT_EQ(UtcAt(-62135596800 - 1), std::nullopt); // the second before 0001-01-01
}

TEST(Clock, ZoneChangeTakesEffectAtTheNextCall)
{
    ZoneScope first("UTC0");
    EXPECT_EQ(UtcOffsetMinutes(July2024), 0);
    setenv("TZ", "JST-9", 1); // no tzset here: the clock must not cache the zone
    EXPECT_EQ(UtcOffsetMinutes(July2024), 540);
}

} // namespace
} // namespace tavik
