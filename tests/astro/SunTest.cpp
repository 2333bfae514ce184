// The analytic sun at the reference instants.
#include "astro/Sun.h"

#include "astro/TimeScales.h"
#include "Printed.h"

namespace tavik {
namespace {

TEST(SunPosition, ReferenceInstants)
{
    const struct {
        const char* What;
        std::int32_t Day;
        double Fraction;
        const char *X, *Y, *Z, *Lat, *Lon; // nullptr: no reference printed
    } cases[] = {
        // The sun 0.83 degrees east of Greenwich at noon: a small negative west longitude.
        {"J2000 noon", 8035, 0.5, "0.180201", "-0.902454", "-0.391286", "-23.1898", "-0.8316"},
        {"2021 June solstice noon", 15877, 0.5, nullptr, nullptr, nullptr, "23.5981", "-0.4709"},
        {"2026 December 6, 0h", 17871, 0, "-0.277874", "-0.881341", "-0.382132", "-22.6172", "-177.7054"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const SunState s = SunPosition(c.Day, c.Fraction, GreenwichSidereal(c.Day, c.Fraction));
        test::ExpectPrinted({{"SunX", s.SunX, c.X}, {"SunY", s.SunY, c.Y}, {"SunZ", s.SunZ, c.Z},
                             {"SubSolarLat", s.SubSolarLat, c.Lat}, {"SubSolarLon", s.SubSolarLon, c.Lon}});
    }
}

TEST(SunDistance, NearestInJanuaryFarthestInJuly)
{
    // 2021: perihelion January 2, 0.983257 AU; aphelion July 5, 1.016729 AU
    // (astronomical almanac). The formula holds to about 1e-4 AU.
    EXPECT_NEAR(SunDistance(15707, 0.58) / AstronomicalUnit, 0.983257, 1e-4);
    EXPECT_NEAR(SunDistance(15891, 0.94) / AstronomicalUnit, 1.016729, 1e-4);
}

} // namespace
} // namespace tavik
