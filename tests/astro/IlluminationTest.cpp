// Shadow cylinder and sun angle, on geometry built by hand.
#include "astro/Illumination.h"

#include "astro/Angles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

TEST(ComputeEclipse, StrictlyInsideTheCylinderBehindTheEarth)
{
    struct Case {
        const char* What;
        double X, Y, Z;
        bool Expected;
    };
    const double r = 7000, edge = std::asin(EarthRadius / r); // about 65.67 degrees from the anti-sun line
    // A point whose computed distance from the axis is ShadowRadius to the last bit.
    const double onEdge = 6378.1370000039688;
    const Case cases[] = {
        {"behind the Earth on the sun line", -r, 0, 0, true},
        {"between the Earth and the sun", r, 0, 0, false},
        {"perpendicular to the sun, low", 0, 6500, 0, false},
        {"perpendicular to the sun within one Earth radius: not behind", 0, 6000, 0, false},
        {"perpendicular to the sun, far", 0, 0, 42164, false},
        {"night side inside the cylinder", -r * std::cos(edge - 0.01), r * std::sin(edge - 0.01), 0, true},
        {"night side outside the cylinder", -r * std::cos(edge + 0.01), 0, r * std::sin(edge + 0.01), false},
        {"far behind, within one Earth radius of the line", -400000, 6000, 0, true},
        {"far behind, beyond one Earth radius", -400000, 6400, 0, false},
        {"exactly ShadowRadius from the axis", -10000, onEdge, 0, false},
        {"a millimetre inside", -10000, onEdge - 1e-6, 0, true},
        {"a millimetre outside", -10000, onEdge + 1e-6, 0, false},
    };
    SunState sunAlongX;
    sunAlongX.SunX = 1;
    for (const auto& c : cases)
        EXPECT_EQ(ComputeEclipse(sunAlongX, c.X, c.Y, c.Z, std::sqrt(c.X * c.X + c.Y * c.Y + c.Z * c.Z)), c.Expected)
            << c.What;
}

TEST(ComputeSunAngle, AngleFromTheAttitudeAxisAndIlluminationItsCosine)
{
    const SunState sun = ComputeSunAngle(17871, 0, 0, 1, 0, 0, false).Sun; // the date only places the sun
    const double n = std::hypot(sun.SunX, sun.SunY), px = sun.SunY / n, py = -sun.SunX / n; // a unit vector across it
    // The axis turned by a degrees from the direction away from the sun: the sun angle is 90 - a.
    for (double a : {0.0, 60.0, 90.0, 180.0}) {
        const double ax = -(CosDeg(a) * sun.SunX + SinDeg(a) * px), ay = -(CosDeg(a) * sun.SunY + SinDeg(a) * py);
        const SunAngleResult lit = ComputeSunAngle(17871, 0, 0, ax, ay, -CosDeg(a) * sun.SunZ, false);
        EXPECT_NEAR(lit.SunAngle, 90 - a, 1e-6) << a;
        EXPECT_NEAR(lit.Illumination, CosDeg(90 - a), 1e-6) << a;
        // The flag carried from the previous instant darkens without changing the angle.
        const SunAngleResult dark = ComputeSunAngle(17871, 0, 0, ax, ay, -CosDeg(a) * sun.SunZ, true);
        EXPECT_EQ(dark.Illumination, 0) << a;
        EXPECT_EQ(dark.SunAngle, lit.SunAngle) << a;
    }
}

} // namespace
} // namespace tavik
