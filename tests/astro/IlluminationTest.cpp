// Shadow cylinder and sun angle, on geometry built by hand.
#include "astro/Illumination.h"

#include "astro/Angles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

// The sun along +x.
SunState SunAlongX()
{
    SunState s;
    s.SunX = 1;
    return s;
}

bool InShadowAt(double x, double y, double z)
{
    return ComputeEclipse(SunAlongX(), x, y, z, std::sqrt(x * x + y * y + z * z));
}

TEST(ComputeEclipse, CylinderGeometry)
{
    struct Case {
        const char* What;
        double X, Y, Z;
        bool Expected;
    };
    const double r = 7000;
    const double edge = std::asin(6378.137 / r); // about 65.67 degrees from the anti-sun line
    const Case cases[] = {
        {"behind the Earth on the sun line", -r, 0, 0, true},
        {"between the Earth and the sun", r, 0, 0, false},
        {"perpendicular to the sun, low", 0, 6500, 0, false},
        {"perpendicular to the sun, far", 0, 0, 42164, false},
        {"night side inside the cylinder", -r * std::cos(edge - 0.01), r * std::sin(edge - 0.01), 0, true},
        {"night side outside the cylinder", -r * std::cos(edge + 0.01), 0, r * std::sin(edge + 0.01), false},
        {"far behind, within one Earth radius of the line", -400000, 6000, 0, true},
        {"far behind, beyond one Earth radius", -400000, 6400, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(InShadowAt(c.X, c.Y, c.Z), c.Expected);
    }
}

TEST(ComputeSunAngle, AgainstThePerigeeDirection)
{
    // With the attitude angles at 0 the axis points away from perigee; here
    // perigee is along +x, so the axis is -x. The date only places the sun.
    struct Case {
        const char* What;
        double PerigeeToSunAngle; // degrees between perigee direction and sun
        double SunAngle;
    };
    const Case cases[] = {
        {"sun in the perigee direction", 0, 90},
        {"sun perpendicular to perigee", 90, 0},
        {"sun opposite to perigee", 180, -90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        // Build an attitude axis at the wanted angle from today's sun.
        SunAngleResult probe = ComputeSunAngle(17871, 0, 0, 1, 0, 0, false);
        const SunState& sun = probe.Sun;
        // Perigee direction p: rotate the sun vector about an axis perpendicular to it.
        double nx = sun.SunY, ny = -sun.SunX, nz = 0; // perpendicular to the sun, in xy
        double n = std::sqrt(nx * nx + ny * ny);
        nx /= n;
        ny /= n;
        double a = c.PerigeeToSunAngle;
        double px = CosDeg(a) * sun.SunX + SinDeg(a) * nx;
        double py = CosDeg(a) * sun.SunY + SinDeg(a) * ny;
        double pz = CosDeg(a) * sun.SunZ + SinDeg(a) * nz;
        SunAngleResult r = ComputeSunAngle(17871, 0, 0, -px, -py, -pz, false);
        EXPECT_NEAR(r.SunAngle, c.SunAngle, 1e-6);
        EXPECT_NEAR(r.Illumination, CosDeg(c.SunAngle), 1e-6);
        EXPECT_GE(r.Illumination, 0);
    }
}

TEST(ComputeSunAngle, IlluminationIsZeroWhileTheCarriedFlagSaysShadow)
{
    SunAngleResult lit = ComputeSunAngle(17871, 0, 0, 0, 1, 0, false);
    SunAngleResult dark = ComputeSunAngle(17871, 0, 0, 0, 1, 0, true);
    EXPECT_GT(lit.Illumination, 0);
    EXPECT_EQ(dark.Illumination, 0);
    // The sun angle has no lag: the flag changes only the illumination.
    EXPECT_EQ(lit.SunAngle, dark.SunAngle);
}

} // namespace
} // namespace tavik
