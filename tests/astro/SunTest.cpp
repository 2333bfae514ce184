// The analytic sun at the reference instants.
#include "astro/Sun.h"

#include "astro/TimeScales.h"
#include "Printed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

SunState SunAt(std::int32_t day, double fraction)
{
    return SunPosition(day, fraction, GreenwichSidereal(day, fraction));
}

TEST(SunPosition, J2000Noon)
{
    SunState s = SunAt(8035, 0.5);
    EXPECT_PRINTED(s.SunX, "0.180201");
    EXPECT_PRINTED(s.SunY, "-0.902454");
    EXPECT_PRINTED(s.SunZ, "-0.391286");
    EXPECT_PRINTED(s.SubSolarLat, "-23.1898");
    // The sun 0.83 degrees east of Greenwich at noon: a small negative west longitude.
    EXPECT_PRINTED(s.SubSolarLon, "-0.8316");
}

TEST(SunPosition, JuneSolstice2021Noon)
{
    SunState s = SunAt(15877, 0.5);
    EXPECT_PRINTED(s.SubSolarLat, "23.5981");
    EXPECT_PRINTED(s.SubSolarLon, "-0.4709");
}

TEST(SunPosition, December2026Midnight)
{
    SunState s = SunAt(17871, 0);
    EXPECT_PRINTED(s.SunX, "-0.277874");
    EXPECT_PRINTED(s.SunY, "-0.881341");
    EXPECT_PRINTED(s.SunZ, "-0.382132");
    EXPECT_PRINTED(s.SubSolarLat, "-22.6172");
    EXPECT_PRINTED(s.SubSolarLon, "-177.7054");
}

TEST(SunDistance, NearestInJanuaryFarthestInJuly)
{
    // 2021: perihelion January 2, 0.983257 AU; aphelion July 5, 1.016729 AU
    // (astronomical almanac). The formula holds to about 1e-4 AU.
    EXPECT_NEAR(SunDistance(15707, 0.58) / AstronomicalUnit, 0.983257, 1e-4);
    EXPECT_NEAR(SunDistance(15891, 0.94) / AstronomicalUnit, 1.016729, 1e-4);
}

TEST(SunPosition, SunVectorIsUnitAndLatitudeBounded)
{
    // Largest sub-solar latitude: 23.4406 / 0.993305525.
    const double limit = 23.4406 / 0.993305525;
    for (int day = 17000; day < 17000 + 400; day += 3) {
        SunState s = SunAt(day, 0.37);
        EXPECT_NEAR(s.SunX * s.SunX + s.SunY * s.SunY + s.SunZ * s.SunZ, 1, 1e-12);
        EXPECT_LE(std::fabs(s.SubSolarLat), limit + 1e-9);
        EXPECT_GE(s.SubSolarLon, -180);
        EXPECT_LE(s.SubSolarLon, 180);
    }
}

TEST(SunPosition, SunJustWestOfGreenwichGivesSmallPositiveLongitude)
{
    // Near noon the east longitude is a few degrees either side of 0: never near +-360.
    for (int day = 17500; day < 17865; day += 5) {
        SunState s = SunAt(day, 0.5);
        EXPECT_LT(std::fabs(s.SubSolarLon), 5) << day;
    }
}

} // namespace
} // namespace tavik
