// Epoch constants and propagation to a calculation instant, with the worked example.
#include "orbit/Propagation.h"
#include "WorkedExample.h"

#include "Printed.h"

#include <cmath>

namespace tavik {
namespace {

OrbitState Propagate(const CurrentElementSet& e, double hour, double minute, std::int16_t day = 6,
                     std::int16_t month = 12, std::int16_t year = 2026)
{
    return SatellitePosition(e, PrepareElements(e, Station{}), {day, month, year, hour, minute});
}

TEST(PrepareElements, AxesAndDriftRates)
{
    auto prepare = [](double meanMotion, double eccentricity) {
        CurrentElementSet e = test::WorkedExampleSet();
        e.Inclination = 51.6;
        e.Eccentricity = eccentricity;
        e.MeanMotion = meanMotion;
        return PrepareElements(e, Station{});
    };
    const PreparedElements p = prepare(15.5, 0.0005), circular = prepare(15, 0);
    test::ExpectPrinted({{"SemiMajorAxis0", p.SemiMajorAxis0, "6794.861"}, {"SemiMinorAxis0", p.SemiMinorAxis0, "6794.860"},
                         {"PrecessionConst", p.PrecessionConst, "7.98422"}, {"NodeRate", p.NodeRate, "-4.95938"},
                         {"PerigeeRate", p.PerigeeRate, "3.70916"}, {"circular", circular.SemiMajorAxis0, "6945.031"}});
    EXPECT_EQ(circular.SemiMinorAxis0, circular.SemiMajorAxis0);
}

TEST(SatellitePosition, WorkedExampleHalfAnHourAfterEpochAndAtIt)
{
    const OrbitState o = Propagate(test::WorkedExampleSet(), 12, 30);
    EXPECT_EQ(o.CalcDayNumber, 17871);
    EXPECT_EQ(o.EpochDayNumber, 17871.5);
    EXPECT_TRUE(o.KeplerConverged);
    test::ExpectPrinted({
        {"CalcDayFraction", o.CalcDayFraction, "0.5208333"}, {"DaysSinceEpoch", o.DaysSinceEpoch, "0.0208333"},
        {"CurrentRAAN", o.CurrentRAAN, "119.89677"},         {"CurrentArgPerigee", o.CurrentArgPerigee, "90.07699"},
        {"CurrentMeanAnomaly", o.CurrentMeanAnomaly, "26.25002"}, {"SemiMajorAxis", o.SemiMajorAxis, "6794.8593"},
        {"SiderealAngle", o.SiderealAngle, "262.80868"},     {"EccentricAnomaly", o.EccentricAnomaly, "26.26269"},
        {"OrbitRadius", o.OrbitRadius, "6791.8126"},         {"SatHeight", o.SatHeight, "413.6756"},
    });
    // At the epoch every factor is 1 and the elements come back reduced.
    const OrbitState e = Propagate(test::WorkedExampleSet(), 12, 0);
    const PreparedElements p = PrepareElements(test::WorkedExampleSet(), Station{});
    EXPECT_EQ(e.DaysSinceEpoch, 0);
    EXPECT_TRUE(e.CurrentRAAN == 120 && e.CurrentArgPerigee == 90 && e.CurrentMeanAnomaly == 270);
    EXPECT_TRUE(e.SemiMajorAxis == p.SemiMajorAxis0 && e.SemiMinorAxis == p.SemiMinorAxis0);
    test::ExpectPrinted({{"SiderealAngle", e.SiderealAngle, "255.28814"}, {"OrbitRadius", e.OrbitRadius, "6794.8623"},
                         {"EccentricAnomaly", e.EccentricAnomaly, "269.97135"}, {"SatHeight", e.SatHeight, "416.7253"}});
    // An hour before the epoch the node, which drifts west, lay further east.
    const OrbitState before = Propagate(test::WorkedExampleSet(), 11, 0);
    EXPECT_PRINTED(before.DaysSinceEpoch, "-0.0416667");
    EXPECT_GT(before.CurrentRAAN, 120);
}

TEST(DragFactors, DecayOf1e4At15AndAHalfRevsAfterTenDays)
{
    const DragFactors f = ComputeDragFactors(0.0001, 15.5, 10);
    EXPECT_NEAR(f.DC, -4.30108e-6, 0.000005e-6);
    EXPECT_NEAR(f.DT, -2.15054e-5, 0.000005e-5);
    // The mean anomaly advances by 55803.6 degrees, 3.6 more than without drag.
    test::ExpectPrinted({{"KM", f.KM, "1.0000645"}, {"KD", f.KD, "0.9999140"}, {"KDP", f.KDP, "1.0001505"},
                         {"advance", 15.5 * 10 * 360 * f.KM, "55803.6"}});
}

TEST(SolveKepler, ReferenceSolutionsConvergenceAndItsBound)
{
    const struct {
        double M, E;
        const char* Expected; // nullptr: Kepler's equation holds to the stopping tolerance
        int Corrections;      // 0: more than 100, within the bound
    } cases[] = {{90, 0.1, "95.7012", 3}, {90, 0, "90.0000", 1}, {0, 0.5, "0.0000", 1}, {180, 0.9, "180.0000", 1},
                 {1, 0.74, nullptr, 3},   {45, 0.74, nullptr, 5},   {135, 0.5, nullptr, 3},   {250, 0.74, nullptr, 4},
                 {359, 0.0005, nullptr, 1}, {10, 0.99, nullptr, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.M << " " << c.E);
        const KeplerSolution s = SolveKepler(c.M, c.E);
        const double e = s.EccentricAnomaly / 57.29577951309679;
        if (c.Expected) EXPECT_PRINTED(s.EccentricAnomaly, c.Expected);
        else EXPECT_NEAR(e - c.E * std::sin(e), c.M / 57.29577951309679, 1e-6);
        if (c.Corrections) EXPECT_EQ(s.Corrections, c.Corrections);
        else EXPECT_TRUE(s.Corrections > 100 && s.Corrections <= MaxKeplerCorrections) << s.Corrections;
        EXPECT_TRUE(s.Converged);
    }
    const KeplerSolution nan = SolveKepler(10, std::nan("")); // a correction that is not a number stops at once
    EXPECT_FALSE(nan.Converged);
    EXPECT_EQ(nan.Corrections, 1);
}

// A field written with an exponent can hold far more than its columns allow;
// a drag term of 9e306 (".9E+307") or a mean motion of 1e130 passed the
// checks and then overflowed the drag factors or the node drift, so that a
// run or the year file computed NaN sun angles and positions.
TEST(PropagationProblem, RefusesSetsThatCannotBeComputedOrOverflowToNaN)
{
    using E = CurrentElementSet;
    const struct {
        double E::*Field;
        double Value;
        const char* Mentions; // nullptr: accepted
    } cases[] = {
        {&E::MeanMotion, 0, "mean motion"},       {&E::MeanMotion, -15, "mean motion"},
        {&E::MeanMotion, 1e-300, "mean motion"},  {&E::MeanMotion, 1e130, "mean motion"},
        {&E::Eccentricity, 1, "eccentricity"},    {&E::Eccentricity, 1e4, "eccentricity"},
        {&E::RAAN, INFINITY, "out of range"},     {&E::Epoch, -5, "epoch"},
        {&E::Decay, 9e306, "drag term"},          {&E::Decay, 1, "drag term"},
        {&E::Inclination, 1e300, "inclination"},  {&E::RAAN, -1e307, "ascending node"},
        {&E::ArgPerigee, 9.9e307, "perigee"},     {&E::MeanAnomaly, -1.7e308, "mean anomaly"},
        {&E::Eccentricity, 0.9999999, nullptr},   {&E::Eccentricity, 0, nullptr}, // circular
        {&E::Epoch, 26000.75, "names day 0.75 of 2026"},
        {&E::Epoch, 26366, "which has days 1 to 365"},
        {&E::Epoch, 24367.5, "which has days 1 to 366"},
        {&E::Epoch, 99999.5, "names day 999.5 of 1999"},
        {&E::Epoch, 24366.99999999, nullptr}, // the last moment of a leap year
    };
    for (const auto& c : cases) {
        E e = test::WorkedExampleSet();
        e.*c.Field = c.Value;
        const std::string why = PropagationProblem(e).value_or("");
        if (!c.Mentions) EXPECT_EQ(why, "") << c.Value;
        else EXPECT_TRUE(why.find("EXAMPLE") != std::string::npos && why.find(c.Mentions) != std::string::npos)
                 << c.Value << ": " << why;
    }
    for (std::string E::*line : {&E::Line1, &E::Line2}) {
        E e = test::WorkedExampleSet();
        (e.*line).clear();
        EXPECT_NE(PropagationProblem(e).value_or("").find(line == &E::Line1 ? "line 1" : "line 2"), std::string::npos);
    }
    // What the plain columns can hold still computes to finite numbers.
    E widest = test::WorkedExampleSet();
    widest.Decay = 0.99999999;
    widest.MeanMotion = 99999999.9;
    widest.Inclination = -9999999;
    EXPECT_EQ(PropagationProblem(widest), std::nullopt);
    const OrbitState o = Propagate(widest, 0, 0, 1, 1, 9999);
    EXPECT_TRUE(std::isfinite(o.CurrentRAAN) && std::isfinite(o.CurrentMeanAnomaly)) << o.CurrentRAAN;
}

// Epoch years 57 to 77 name 1957 to 1977, before day 0 of the DayNumber
// scale. The split of a negative day number into whole days and fraction
// went toward zero with an unsigned fraction, so that such an epoch was
// placed twice its day fraction late: a day late for an epoch at noon.
TEST(SatellitePosition, EpochBefore1978IsPlacedOnItsOwnInstant)
{
    for (double epoch : {77100.5, 57001.25, 77365.875, 77365.0}) {
        const EpochSplit split = SplitEpoch(epoch);
        EXPECT_TRUE(split.EpochDayNumber < 0 && split.Fraction >= 0 && split.Fraction < 1) << epoch;
        EXPECT_EQ(split.Whole + split.Fraction, split.EpochDayNumber) << epoch;
    }
    CurrentElementSet e = test::WorkedExampleSet();
    e.Epoch = 77100.5; // 1977 April 10, 12:00 UT
    EXPECT_EQ(Propagate(e, 12, 0, 10, 4, 1977).DaysSinceEpoch, 0);
}

} // namespace
} // namespace tavik
