#include "astro/Illumination.h"

#include "astro/Angles.h"
#include "astro/Shadow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

namespace tavik {
namespace {

TEST(ConicalShadow, UmbraAndPenumbraEdgesAndTheSunsVisibleDisc)
{
    // The Sun along +x at 1 AU. The edges lie on the cones of lines touching both spheres, built apart from the
    // discs the code compares: apexes Re D / (Rs - Re) behind and Re D / (Rs + Re) before the Earth, half-angles
    // asin((Rs -+ Re) / D). Where the Earth's limb crosses the Sun's centre it hides half the disc less a/(3 pi b)
    // of it, to first order in the Sun's and the Earth's apparent radii a and b.
    const double D = AstronomicalUnit, Re = ShadowRadius, Rs = SunRadius;
    const double x = 42164; // km behind the Earth's centre: a geostationary radius
    const double umbra = (Re * D / (Rs - Re) - x) * std::tan(std::asin((Rs - Re) / D));
    const double penumbra = (Re * D / (Rs + Re) + x) * std::tan(std::asin((Rs + Re) / D));
    const double limbOnCentre = (D + x) * std::tan(std::asin(Re / D));
    const double a = std::asin(Rs / std::hypot(D + x, limbOnCentre));
    const double b = std::asin(Re / std::hypot(x, limbOnCentre));
    const double far = 2.0e6; // beyond the umbra's tip the Earth shows smaller than the Sun: a ring
    const double ringA = std::asin(Rs / (D + far)), ringB = std::asin(Re / far);

    const SunState sun{.SunX = 1};
    const double metres10 = 0.01;
    const std::tuple<const char*, Vector3, ShadowZone, double, double> cases[] = {
        {"full umbra, on the axis", {-x, 0, 0}, ShadowZone::Umbra, 0, 0},
        {"10 m outside the umbra's edge", {-x, umbra + metres10, 0}, ShadowZone::Penumbra, 0, 1e-5},
        {"half penumbra", {-x, limbOnCentre, 0}, ShadowZone::Penumbra, 0.5 + a / (3 * std::numbers::pi * b), 1e-6},
        {"10 m outside the penumbra's edge", {-x, penumbra + metres10, 0}, ShadowZone::Sunlit, 1, 0},
        {"beyond the umbra's tip", {-far, 0, 0}, ShadowZone::Penumbra, 1 - (ringB * ringB) / (ringA * ringA), 1e-9},
    };
    for (const auto& [what, satellite, zone, fraction, tolerance] : cases) {
        SCOPED_TRACE(what);
        const ConeShadow s = ConicalShadow(satellite, sun, D, Re, Rs);
        EXPECT_EQ(s.Zone, zone);
        EXPECT_NEAR(s.SunFraction, fraction, tolerance);
        if (s.Zone == ShadowZone::Penumbra) {
            EXPECT_GT(s.SunFraction, 0);
        }
    }
}

} // namespace
} // namespace tavik
