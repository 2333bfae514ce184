// Station on the ellipsoid, azimuth and elevation.
#include "orbit/LookAngles.h"

#include "astro/Angles.h"

#include "Printed.h"

#include <array>
#include <tuple>

namespace tavik {
namespace {

// A station at longitude 0 and an equatorial circular orbit of 42164 km radius at sidereal angle 0.
LookState Look(double lat, double eccentricAnomaly)
{
    OrbitState o;
    o.SemiMajorAxis = o.SemiMinorAxis = 42164;
    o.CosEccAnomaly = CosDeg(eccentricAnomaly);
    o.SinEccAnomaly = SinDeg(eccentricAnomaly);
    o.CosArgPerigee = o.CosRAAN = o.CosMinusSidereal = 1;
    return LookAngles({}, PrepareElements({}, {.StationLocator = "", .StationLon = 0, .StationLat = lat}), o, {});
}

TEST(LookAngles, StationFrameAndPlaceOnTheEllipsoid)
{
    const LookState s = Look(0, 10); // up, east and north at latitude 0, longitude 0
    EXPECT_EQ((std::array{s.StationUpX, s.StationUpY, s.StationUpZ, s.StationEastX, s.StationEastY, s.StationEastZ,
                          s.StationNorthX, s.StationNorthY, s.StationNorthZ}),
              (std::array<double, 9>{1, 0, 0, 0, 1, 0, 0, 0, 1}));
    EXPECT_NEAR(Look(0, 10).StationPosX, 6378.137, 1e-9);
    EXPECT_EQ(Look(0, 10).StationPosZ, 0);
    EXPECT_NEAR(Look(90, 10).StationPosX, 0, 1e-8);
    EXPECT_NEAR(Look(90, 10).StationPosZ, 6356.785, 1e-9);
    test::ExpectPrinted(
        {{"x at 45", Look(45, 10).StationPosX, "4517.579"}, {"z at 45", Look(45, 10).StationPosZ, "4487.383"}});
}

TEST(LookAngles, GeostationaryFromTheEquatorOverheadAndBelow)
{
    const LookState s = Look(0, 10), overhead = Look(0, 0);
    EXPECT_NEAR(s.SatAzimuth, 90, 1e-9);
    test::ExpectPrinted({{"SatElevation", s.SatElevation, "78.2321"}, {"Range", s.Range, "35899.85"}});
    EXPECT_EQ(overhead.SatElevation, 90);
    EXPECT_EQ(overhead.SatAzimuth, 0); // both arguments of the azimuth's arctangent are 0
    EXPECT_LT(Look(0, 180).SatElevation, 0);
}

TEST(LookAngles, AttitudeAxisTurnsWithTheOrbitIntoTheCelestialFrame)
{
    // An inclined orbit, turned by node and perigee: the rotation must stay a rotation.
    OrbitState o;
    o.CosArgPerigee = CosDeg(40);
    o.SinArgPerigee = SinDeg(40);
    o.CosRAAN = CosDeg(200);
    o.SinRAAN = SinDeg(200);
    CurrentElementSet e;
    e.Inclination = 98.7;
    const PreparedElements p = PrepareElements(e, {});
    // Attitude (0, 0) points away from perigee, (90, 0) against the motion at perigee, (0, 90) against the normal.
    for (const auto& [lon, lat, column] : {std::tuple{0.0, 0.0, 0}, {90.0, 0.0, 1}, {0.0, 90.0, 2}}) {
        const LookState s = LookAngles(e, p, o, {lon, lat});
        const double rot[3][3] = {{s.RotXx, s.RotXy, s.RotXz}, {s.RotYx, s.RotYy, s.RotYz}, {s.RotZx, s.RotZy, s.RotZz}};
        EXPECT_NEAR(s.AttitudeCelX, -rot[0][column], 1e-12) << column;
        EXPECT_NEAR(s.AttitudeCelY, -rot[1][column], 1e-12) << column;
        EXPECT_NEAR(s.AttitudeCelZ, -rot[2][column], 1e-12) << column;
    }
    const LookState s = LookAngles(e, p, o, {}); // the third column is the cross product of the first two
    EXPECT_NEAR(s.RotXz, s.RotYx * s.RotZy - s.RotZx * s.RotYy, 1e-12);
    EXPECT_NEAR(s.RotYz, s.RotZx * s.RotXy - s.RotXx * s.RotZy, 1e-12);
    EXPECT_NEAR(s.RotZz, s.RotXx * s.RotYy - s.RotYx * s.RotXy, 1e-12);
}

} // namespace
} // namespace tavik
