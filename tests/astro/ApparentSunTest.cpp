// The SGP4 model's Sun against python3-ephem (its own VSOP87 and nutation, an
// arcsecond or so), Meeus' worked examples, and its daily cubic against itself.
#include "astro/ApparentSun.h"

#include "astro/Angles.h"
#include "PythonReference.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

constexpr double DegreesPerRadian = 180 / 3.14159265358979323846;

Vector3 Direction(double rightAscension, double declination)
{
    return {CosDeg(declination) * CosDeg(rightAscension), CosDeg(declination) * SinDeg(rightAscension),
            SinDeg(declination)};
}

double DegreesBetween(const Vector3& a, const Vector3& b) { return AngleBetween(a, b) * DegreesPerRadian; }

TEST(ApparentSun, WithinAThousandthOfADegreeAndTenMillionthsOfAnAuOfEphemFrom1957To2100)
{
    const auto rows = test::NumberRows(test::RunReference("apparent_sun.py"));
    ASSERT_EQ(rows.size(), 150u);
    double worstDirection = 0, worstTeme = 0, worstDistance = 0;
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u);
        const ApparentSunPosition sun = ApparentSunUtc(row[0]);
        const double direction =
            DegreesBetween(Direction(sun.RightAscension, sun.Declination), Direction(row[1], row[2]));
        const double teme = DegreesBetween(sun.Teme, Direction(row[4], row[2]));
        const double distance = std::abs(sun.Distance / AstronomicalUnit - row[3]);
        EXPECT_LT(direction, 0.001) << "JD " << row[0];
        EXPECT_LT(teme, 0.001) << "JD " << row[0];
        EXPECT_LT(distance, 1e-5) << "JD " << row[0];
        worstDirection = std::max(worstDirection, direction);
        worstTeme = std::max(worstTeme, teme);
        worstDistance = std::max(worstDistance, distance);
    }
    RecordProperty("worst_direction_arcsec", std::to_string(worstDirection * 3600));
    RecordProperty("worst_teme_arcsec", std::to_string(worstTeme * 3600));
    RecordProperty("worst_distance_au", std::to_string(worstDistance));
}

// Meeus, Astronomical Algorithms, 2nd ed., example 25.b: 1992 October 13.0 TD,
// apparent right ascension 13h 13m 30.749s, declination -7 deg 47' 01.74",
// from the complete VSOP87, and a distance of 0.99760775 AU from the truncated
// series (figures as recalled). The truncated series lands 0.2" from the
// complete one's place.
TEST(ApparentSun, MeeusWorkedExampleOf1992October13)
{
    const ApparentSunPosition sun = ApparentSunTT(2448908.5);
    EXPECT_NEAR(sun.RightAscension, (13 + 13 / 60.0 + 30.749 / 3600) * 15, 0.3 / 3600);
    EXPECT_NEAR(sun.Declination, -(7 + 47 / 60.0 + 1.74 / 3600), 0.3 / 3600);
    EXPECT_NEAR(sun.Distance / AstronomicalUnit, 0.99760775, 1e-7);
}

// The same example's heliocentric Earth from the truncated series, printed
// to 1e-8: L = -43.63484796 rad, B = -0.00000312 rad, R = 0.99760775 AU. Each
// term's amplitude is a whole number of 1e-8, so a term copied wrong shows.
TEST(ApparentSun, MeeusWorkedExampleOfTheEarthFromTheSun)
{
    const HeliocentricEarth e = EarthFromTheSun(2448908.5);
    EXPECT_NEAR(e.Longitude, -43.63484796, 0.5e-8);
    EXPECT_NEAR(e.Latitude, -0.00000312, 0.5e-8);
    EXPECT_NEAR(e.Distance, 0.99760775, 0.5e-8);
}

// Meeus example 22.a, 1987 April 10, 0h TD: delta psi -3.788", delta epsilon
// +9.443", true obliquity 23 deg 26' 36.850"; the equation of the equinoxes
// is then -0.2317 s of time (example 12.a), -3.4755".
TEST(Nutation, MeeusWorkedExampleOf1987April10)
{
    const Nutation n = NutationAt((2446895.5 - 2451545.0) / 36525);
    EXPECT_NEAR(n.Longitude * 3600, -3.788, 0.005);
    EXPECT_NEAR(n.Obliquity * 3600, 9.443, 0.005);
    EXPECT_NEAR(n.TrueObliquity, 23 + 26 / 60.0 + 36.850 / 3600, 0.005 / 3600);
    EXPECT_NEAR(n.EquationOfEquinoxes() * 3600, -3.4755, 0.005);
}

// Espenak and Meeus' polynomials at the years they are anchored on, and no
// jump of more than a second where one span hands over to the next.
TEST(DeltaT, PolynomialsAtTheirAnchorsAndAcrossTheirJoins)
{
    const std::pair<double, double> anchors[] = {{1950, 29.07}, {1975, 45.45}, {2000, 63.86}, {2100, 202.7}};
    for (const auto& [year, seconds] : anchors) EXPECT_NEAR(DeltaTSeconds(year), seconds, 0.1) << year;
    for (const double join : {1900.0, 1920.0, 1941.0, 1961.0, 1986.0, 2005.0, 2050.0, 2150.0})
        EXPECT_NEAR(DeltaTSeconds(join - 1e-9), DeltaTSeconds(join), 1.0) << join;
}

// The run takes the Sun from the day's cubic, not the series: every 10 minutes
// of three days, midnight at both ends included, the two agree to a few
// ten-thousandths of an arcsecond in direction and to 1e-8 of the distance.
TEST(SunDay, CubicFollowsTheExactSunThroughTheDay)
{
    for (const std::int32_t day : {-7000, 8035, 44000}) {
        const SunDay table = MakeSunDay(day);
        for (int minute = 0; minute <= 1440; minute += 10) {
            const double fraction = minute / 1440.0;
            const Vector3 cubic = SunAt(table, day, fraction);
            const ApparentSunPosition exact = ApparentSunUtc(day + 2443509.5 + fraction);
            EXPECT_LT(DegreesBetween(cubic, exact.Teme), 1e-7) << day << " minute " << minute;
            EXPECT_NEAR(Length(cubic) / exact.Distance, 1, 1e-8) << day << " minute " << minute;
        }
    }
}

} // namespace
} // namespace tavik
