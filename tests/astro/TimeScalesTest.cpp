#include "astro/TimeScales.h"

#include "astro/Sun.h"

#include "Printed.h"
#include "WorkedExample.h"

#include <tuple>

namespace tavik {
namespace {

TEST(DayNumber, ReferenceDatesAndTheCenturyLeapRules)
{
    const struct {
        std::int16_t Day, Month, Year;
        std::int32_t Expected; // day 0 is 1978-01-01; days counted on the Gregorian calendar throughout
    } cases[] = {
        {1, 1, 1978, 0}, {1, 1, 1977, -365}, {31, 12, 1989, 4382}, {1, 1, 2000, 8035}, {29, 2, 2020, 15399},
        {1, 3, 2020, 15400}, {6, 12, 2026, 17871}, {0, 1, 2019, 14974}, {0, 3, 2020, 15399}, // day 0 is the eve
        {15, 10, 1582, -144349}, {28, 2, 1900, -28431}, {1, 3, 1900, -28430}, {29, 2, 2000, 8094}, {1, 3, 2000, 8095},
        {28, 2, 2100, 44618}, {1, 3, 2100, 44619}, // Gregorian throughout: 1900 and 2100 have no February 29
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayNumber(c.Day, c.Month, c.Year), c.Expected) << c.Day << "." << c.Month << "." << c.Year;
}

TEST(EpochToDayNumber, TwoDigitYearsFrom57AreThe1900sAndTheFractionIsThePrintedOne)
{
    const std::pair<double, double> cases[] = {
        {19123.5, 15097.5}, {26340.75, 17871.75}, {5032.25, 9893.25}, {26340.0, 17871.0}, {56001.0, 28489.0},
        {57001.0, -7670.0}, {98001.5, 7305.5}, {99365.0, 8034.0}, {0.5, 8034.5}, // 2056, 1957; 1998 is not 2098
        {26340.12345678, 17871.0 + 0.12345678}, // the double nearest 0.12345678, not epoch - 26340
    };
    const DateTime dayNumberZero = *DateTime::FromCalendar(1978, 1, 1);
    for (const auto& [epoch, expected] : cases) {
        EXPECT_EQ(EpochToDayNumber(epoch), expected) << epoch;
        EXPECT_NEAR(EpochAgeDays(epoch, dayNumberZero), -expected, 1e-9) << epoch;
    }
}

TEST(GreenwichSidereal, ReferenceInstants)
{
    // J2000.0: the IAU 1982 value 18h 41m 50.54841s = 280.46061837..., printed without rounding.
    EXPECT_NEAR(GreenwichSidereal(8035, 0.5), 280.460618375, 5e-9);
    // Figures given with the model, not looked up in an almanac.
    EXPECT_PRINTED(GreenwichSidereal(17871, 0), "74.7953");
    EXPECT_PRINTED(GreenwichSidereal(4383, 0), "100.3836"); // 1990 January 1: from a negative angle
    // The worked example's epoch (its 12:30 is the propagation's test).
    EXPECT_PRINTED(GreenwichSidereal(17871, 0.5), test::WorkedFigures.SiderealAt1200);
}

TEST(SunPosition, ReferenceInstants)
{
    // Day and fraction, then the sun's x, y, z, latitude and longitude printed (nullptr: none printed). The
    // figures are this low-precision model's, given with it for these instants, not an almanac's.
    const std::tuple<const char*, std::int32_t, double, const char*, const char*, const char*, const char*, const char*>
        cases[] = {
        // The sun 0.83 degrees east of Greenwich at noon: a small negative west longitude.
        {"J2000 noon", 8035, 0.5, "0.180201", "-0.902454", "-0.391286", "-23.1898", "-0.8316"},
        {"2021 June solstice noon", 15877, 0.5, nullptr, nullptr, nullptr, "23.5981", "-0.4709"},
        {"2026 December 6, 0h", 17871, 0, "-0.277874", "-0.881341", "-0.382132", "-22.6172", "-177.7054"},
    };
    for (const auto& [what, day, fraction, x, y, z, lat, lon] : cases) {
        SCOPED_TRACE(what);
        const SunState s = SunPosition(day, fraction, GreenwichSidereal(day, fraction));
        test::ExpectPrinted({{"SunX", s.SunX, x}, {"SunY", s.SunY, y}, {"SunZ", s.SunZ, z},
                             {"SubSolarLat", s.SubSolarLat, lat}, {"SubSolarLon", s.SubSolarLon, lon}});
    }
}

} // namespace
} // namespace tavik
