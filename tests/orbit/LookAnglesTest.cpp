#include "orbit/LookAngles.h"

#include "astro/Angles.h"

#include "Printed.h"

namespace tavik {
namespace {

// The station on the ellipsoid at latitude 50 is the worked example's; here
// its edges: a geostationary satellite seen from longitude 0 on the equator.
TEST(LookAngles, GeostationarySatelliteEastOverheadAndBelowAndThePoleOnTheEllipsoid)
{
    auto look = [](double lat, double eccentricAnomaly) {
        OrbitState o; // an equatorial circular orbit of 42164 km radius at sidereal angle 0
        o.SemiMajorAxis = o.SemiMinorAxis = 42164;
        o.CosEccAnomaly = CosDeg(eccentricAnomaly);
        o.SinEccAnomaly = SinDeg(eccentricAnomaly);
        o.CosArgPerigee = o.CosRAAN = o.CosMinusSidereal = 1;
        return LookAngles({}, PrepareElements({}, {.StationLocator = "", .StationLon = 0, .StationLat = lat}), o, {});
    };
    // Checked by hand on the triangle of the Earth's centre, the station and the satellite 10 degrees apart:
    // range = sqrt(42164^2 + 6378.137^2 - 2 x 42164 x 6378.137 cos 10) = 35899.85 km, elevation =
    // asin((42164 cos 10 - 6378.137) / range) = 78.2321 degrees; at the pole the station stands on the
    // polar radius, 6356.785 km.
    const LookState s = look(0, 10), overhead = look(0, 0);
    test::ExpectPrinted({{"SatAzimuth", s.SatAzimuth, "90.000000"}, {"SatElevation", s.SatElevation, "78.2321"},
                         {"Range", s.Range, "35899.85"}, {"z at the pole", look(90, 10).StationPosZ, "6356.785"}});
    EXPECT_EQ(overhead.SatElevation, 90);
    EXPECT_EQ(overhead.SatAzimuth, 0); // atan2(0, 0) gives 0
    EXPECT_LT(look(0, 180).SatElevation, 0);
}

} // namespace
} // namespace tavik
