// Station vectors, rotation into the celestial frame, azimuth and elevation.
#include "orbit/LookAngles.h"

#include "astro/Angles.h"

#include "Printed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

PreparedElements StationAt(double lat, double lon)
{
    CurrentElementSet e;
    e.MeanMotion = 1.0027; // geostationary-like; only the station and inclination matter here
    Station st;
    st.StationLat = lat;
    st.StationLon = lon;
    return PrepareElements(e, st);
}

// An equatorial circular orbit with equal axes, sidereal angle 0.
OrbitState Equatorial(double axes, double eccentricAnomaly)
{
    OrbitState o;
    o.SemiMajorAxis = o.SemiMinorAxis = axes;
    o.EccentricAnomaly = eccentricAnomaly;
    o.CosEccAnomaly = CosDeg(eccentricAnomaly);
    o.SinEccAnomaly = SinDeg(eccentricAnomaly);
    o.CosArgPerigee = 1;
    o.CosRAAN = 1;
    o.CosMinusSidereal = 1;
    return o;
}

TEST(LookAngles, StationOnTheEquatorAtGreenwich)
{
    LookState s = LookAngles(CurrentElementSet{}, StationAt(0, 0), Equatorial(42164, 10), Attitude{});
    EXPECT_EQ(s.StationUpX, 1);
    EXPECT_EQ(s.StationUpY, 0);
    EXPECT_EQ(s.StationUpZ, 0);
    EXPECT_EQ(s.StationEastX, -0.0);
    EXPECT_EQ(s.StationEastY, 1);
    EXPECT_EQ(s.StationEastZ, 0);
    EXPECT_EQ(s.StationNorthZ, 1);
    EXPECT_NEAR(s.StationPosX, 6378.137, 1e-9);
    EXPECT_EQ(s.StationPosZ, 0);
}

TEST(LookAngles, StationOnTheEllipsoid)
{
    LookState pole = LookAngles(CurrentElementSet{}, StationAt(90, 0), Equatorial(42164, 10), Attitude{});
    EXPECT_NEAR(pole.StationPosX, 0, 1e-8);
    EXPECT_NEAR(pole.StationPosZ, 6356.785, 1e-9);
    LookState mid = LookAngles(CurrentElementSet{}, StationAt(45, 0), Equatorial(42164, 10), Attitude{});
    EXPECT_PRINTED(mid.StationPosX, "4517.579");
    EXPECT_PRINTED(mid.StationPosZ, "4487.383");
}

TEST(LookAngles, GeostationaryFromTheEquator)
{
    LookState s = LookAngles(CurrentElementSet{}, StationAt(0, 0), Equatorial(42164, 10), Attitude{});
    EXPECT_NEAR(s.SatAzimuth, 90, 1e-9);
    EXPECT_PRINTED(s.SatElevation, "78.2321");
    EXPECT_PRINTED(s.Range, "35899.85");

    LookState overhead = LookAngles(CurrentElementSet{}, StationAt(0, 0), Equatorial(42164, 0), Attitude{});
    EXPECT_EQ(overhead.SatElevation, 90);
    EXPECT_EQ(overhead.SatAzimuth, 0);

    LookState below = LookAngles(CurrentElementSet{}, StationAt(0, 0), Equatorial(42164, 180), Attitude{});
    EXPECT_LT(below.SatElevation, 0);
}

TEST(LookAngles, ZeroAttitudePointsAwayFromPerigee)
{
    OrbitState o = Equatorial(7000, 33);
    o.CosArgPerigee = CosDeg(40);
    o.SinArgPerigee = SinDeg(40);
    o.CosRAAN = CosDeg(200);
    o.SinRAAN = SinDeg(200);
    PreparedElements p = StationAt(50, 10);
    p.CosIncl = CosDeg(98.7);
    p.SinIncl = SinDeg(98.7);
    LookState s = LookAngles(CurrentElementSet{}, p, o, Attitude{});
    EXPECT_EQ(s.AttitudeCelX, -s.RotXx);
    EXPECT_EQ(s.AttitudeCelY, -s.RotYx);
    EXPECT_EQ(s.AttitudeCelZ, -s.RotZx);
}

} // namespace
} // namespace tavik
