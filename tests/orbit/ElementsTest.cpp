// Epoch constants: axes and J2 drift rates.
#include "orbit/Elements.h"

#include "Printed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

CurrentElementSet Elements(double meanMotion, double eccentricity, double inclination)
{
    CurrentElementSet e;
    e.MeanMotion = meanMotion;
    e.Eccentricity = eccentricity;
    e.Inclination = inclination;
    return e;
}

TEST(PrepareElements, FifteenAndAHalfRevolutionsPerDay)
{
    PreparedElements p = PrepareElements(Elements(15.5, 0.0005, 51.6), Station{});
    EXPECT_PRINTED(p.SemiMajorAxis0, "6794.861");
    EXPECT_PRINTED(p.SemiMinorAxis0, "6794.860");
    EXPECT_PRINTED(p.PrecessionConst, "7.98422");
    EXPECT_PRINTED(p.NodeRate, "-4.95938");
    EXPECT_PRINTED(p.PerigeeRate, "3.70916");
}

TEST(PrepareElements, CircularOrbitHasEqualAxes)
{
    PreparedElements p = PrepareElements(Elements(15.0, 0, 51.6), Station{});
    EXPECT_EQ(p.SemiMinorAxis0, p.SemiMajorAxis0);
    EXPECT_PRINTED(p.SemiMajorAxis0, "6945.031");
}

TEST(PrepareElements, DriftRatesFollowTheInclination)
{
    PreparedElements polar = PrepareElements(Elements(14.2, 0.001, 90), Station{});
    EXPECT_NEAR(polar.NodeRate, 0, 1e-10); // cos 90 is not exactly 0
    EXPECT_NEAR(polar.PerigeeRate, -polar.PrecessionConst / 2, 1e-10);

    // cos^2 i = 0.2: the critical inclination, no perigee drift.
    double critical = std::acos(std::sqrt(0.2)) * 57.29577951309679;
    EXPECT_NEAR(PrepareElements(Elements(2.0, 0.7, critical), Station{}).PerigeeRate, 0, 1e-9);

    // Retrograde (sun-synchronous) orbits drift eastward.
    EXPECT_GT(PrepareElements(Elements(14.3, 0.001, 98.7), Station{}).NodeRate, 0);
    EXPECT_LT(PrepareElements(Elements(15.5, 0.001, 51.6), Station{}).NodeRate, 0);
}

TEST(PrepareElements, StationTrigonometry)
{
    Station st;
    st.StationLat = 50;
    st.StationLon = 10;
    PreparedElements p = PrepareElements(Elements(15.5, 0, 51.6), st);
    EXPECT_EQ(p.StationCosLat, std::cos(50 / 57.29577951309679));
    EXPECT_EQ(p.StationSinLon, std::sin(10 / 57.29577951309679));
}

TEST(PrepareElements, PowerOfIsExpOfLog)
{
    EXPECT_EQ(PowerOf(8, 1.0 / 3.0), std::exp(1.0 / 3.0 * std::log(8.0)));
    EXPECT_NEAR(PowerOf(8, 1.0 / 3.0), 2, 1e-15);
}

} // namespace
} // namespace tavik
