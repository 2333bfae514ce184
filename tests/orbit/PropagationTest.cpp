// Propagation to a calculation instant, with the worked example.
#include "orbit/Propagation.h"
#include "WorkedExample.h"

#include "astro/Angles.h"

#include "Printed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

// The worked example's element set: epoch 2026 December 6, 12h UT.
CurrentElementSet ExampleSet() { return test::WorkedExampleSet(); }

CalcInstant At(int hour, int minute)
{
    CalcInstant i;
    i.CalcDay = 6;
    i.CalcMonth = 12;
    i.CalcYear = 2026;
    i.CalcHour = hour;
    i.CalcMinute = minute;
    return i;
}

OrbitState Propagate(const CurrentElementSet& e, const CalcInstant& at)
{
    return SatellitePosition(e, PrepareElements(e, Station{}), at);
}

TEST(SatellitePosition, WorkedExampleHalfAnHourAfterEpoch)
{
    OrbitState o = Propagate(ExampleSet(), At(12, 30));
    EXPECT_EQ(o.CalcDayNumber, 17871);
    EXPECT_PRINTED(o.CalcDayFraction, "0.5208333");
    EXPECT_EQ(o.EpochDayNumber, 17871.5);
    EXPECT_PRINTED(o.DaysSinceEpoch, "0.0208333");
    EXPECT_PRINTED(o.CurrentRAAN, "119.89677");
    EXPECT_PRINTED(o.CurrentArgPerigee, "90.07699");
    EXPECT_PRINTED(o.CurrentMeanAnomaly, "26.25002");
    EXPECT_PRINTED(o.SemiMajorAxis, "6794.8593");
    EXPECT_PRINTED(o.SiderealAngle, "262.80868");
    EXPECT_PRINTED(o.EccentricAnomaly, "26.26269");
    EXPECT_PRINTED(o.OrbitRadius, "6791.8126");
    EXPECT_PRINTED(o.SatHeight, "413.6756");
    EXPECT_TRUE(o.KeplerConverged);
}

TEST(SatellitePosition, WorkedExampleAtEpoch)
{
    CurrentElementSet e = ExampleSet();
    OrbitState o = Propagate(e, At(12, 0));
    PreparedElements p = PrepareElements(e, Station{});
    EXPECT_EQ(o.DaysSinceEpoch, 0);
    // T = 0: every factor is 1 and the elements come back reduced.
    EXPECT_EQ(o.CurrentRAAN, 120);
    EXPECT_EQ(o.CurrentArgPerigee, 90);
    EXPECT_EQ(o.CurrentMeanAnomaly, 270);
    EXPECT_EQ(o.SemiMajorAxis, p.SemiMajorAxis0);
    EXPECT_EQ(o.SemiMinorAxis, p.SemiMinorAxis0);
    EXPECT_PRINTED(o.SiderealAngle, "255.28814");
    EXPECT_PRINTED(o.EccentricAnomaly, "269.97135");
    EXPECT_PRINTED(o.OrbitRadius, "6794.8623");
    EXPECT_PRINTED(o.SatHeight, "416.7253");
    EXPECT_EQ(o.SinMinusSidereal, -std::sin(o.SiderealAngle / 57.29577951309679));
}

TEST(SatellitePosition, BeforeTheEpochRunsBackwards)
{
    OrbitState o = Propagate(ExampleSet(), At(11, 0));
    EXPECT_PRINTED(o.DaysSinceEpoch, "-0.0416667");
    EXPECT_GT(o.CurrentRAAN, 120); // the node drifts west, so it was further east before
}

TEST(SatellitePosition, WithoutDecayThePropagationIsKeplerPlusJ2)
{
    CurrentElementSet e = ExampleSet();
    e.Decay = 0;
    OrbitState o = Propagate(e, At(18, 0));
    PreparedElements p = PrepareElements(e, Station{});
    EXPECT_EQ(o.SemiMajorAxis, p.SemiMajorAxis0);
    EXPECT_EQ(o.CurrentMeanAnomaly, Reduce360(270 + 15.5 * 0.25 * 360));
}

TEST(DragFactors, DecayOf1e4At15AndAHalfRevsAfterTenDays)
{
    DragFactors f = ComputeDragFactors(0.0001, 15.5, 10);
    EXPECT_NEAR(f.DC, -4.30108e-6, 0.000005e-6);
    EXPECT_NEAR(f.DT, -2.15054e-5, 0.000005e-5);
    EXPECT_PRINTED(f.KM, "1.0000645");
    EXPECT_PRINTED(f.KD, "0.9999140");
    EXPECT_PRINTED(f.KDP, "1.0001505");
    // The mean anomaly advances by 55803.6 degrees, 3.6 more than without drag.
    double advance = 15.5 * 10 * 360 * f.KM;
    EXPECT_PRINTED(advance, "55803.6");
    EXPECT_PRINTED(advance - 15.5 * 10 * 360, "3.6");
}

TEST(SolveKepler, Table)
{
    struct Case {
        double M, E;
        const char* Expected;
        int Corrections;
    };
    const Case cases[] = {
        {90, 0.1, "95.7012", 3},
        {90, 0, "90.0000", 1},   // circular: one correction of zero
        {0, 0.5, "0.0000", 1},
        {180, 0.9, "180.0000", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "M " << c.M << " e " << c.E);
        KeplerSolution s = SolveKepler(c.M, c.E);
        EXPECT_PRINTED(s.EccentricAnomaly, c.Expected);
        EXPECT_EQ(s.Corrections, c.Corrections);
        EXPECT_TRUE(s.Converged);
    }
    EXPECT_EQ(SolveKepler(0, 0.7).EccentricAnomaly, 0);
    // Elsewhere the result satisfies Kepler's equation to the stopping tolerance.
    for (double m : {1.0, 45.0, 135.0, 250.0, 359.0}) {
        for (double ecc : {0.0005, 0.1, 0.5, 0.74}) {
            double e = SolveKepler(m, ecc).EccentricAnomaly / 57.29577951309679;
            EXPECT_NEAR(e - ecc * std::sin(e), m / 57.29577951309679, 1e-7) << m << " " << ecc;
        }
    }
    EXPECT_EQ(SolveKepler(90, 0).EccentricAnomaly, 90 / 57.29577951309679 * 57.29577951309679);
}

TEST(SolveKepler, HighEccentricityConvergesWithinTheBound)
{
    KeplerSolution s = SolveKepler(10, 0.99);
    EXPECT_TRUE(s.Converged);
    EXPECT_GT(s.Corrections, 100); // slow near e = 1, but bounded
    EXPECT_LE(s.Corrections, MaxKeplerCorrections);
    double e = s.EccentricAnomaly / 57.29577951309679;
    EXPECT_NEAR(e - 0.99 * std::sin(e), 10 / 57.29577951309679, 1e-6);
}

TEST(SolveKepler, StopsAndSaysSoWhenItCannotConverge)
{
    KeplerSolution s = SolveKepler(10, std::nan(""));
    EXPECT_FALSE(s.Converged);
    EXPECT_LE(s.Corrections, MaxKeplerCorrections);
}

TEST(PropagationProblem, RefusesSetsThatCannotBeComputed)
{
    struct Case {
        const char* What;
        void (*Spoil)(CurrentElementSet&);
        const char* Mentions;
    };
    const Case cases[] = {
        {"no line 1", [](CurrentElementSet& e) { e.Line1.clear(); }, "line 1"},
        {"no line 2", [](CurrentElementSet& e) { e.Line2.clear(); }, "line 2"},
        {"mean motion 0", [](CurrentElementSet& e) { e.MeanMotion = 0; }, "mean motion"},
        {"negative mean motion", [](CurrentElementSet& e) { e.MeanMotion = -15; }, "mean motion"},
        {"tiny mean motion", [](CurrentElementSet& e) { e.MeanMotion = 1e-300; }, "mean motion"},
        {"eccentricity 1", [](CurrentElementSet& e) { e.Eccentricity = 1; }, "eccentricity"},
        {"eccentricity 10000", [](CurrentElementSet& e) { e.Eccentricity = 1e4; }, "eccentricity"},
        {"infinite field", [](CurrentElementSet& e) { e.RAAN = INFINITY; }, "out of range"},
        {"negative epoch", [](CurrentElementSet& e) { e.Epoch = -5; }, "epoch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        CurrentElementSet e = ExampleSet();
        c.Spoil(e);
        std::string why = PropagationProblem(e);
        EXPECT_NE(why.find("EXAMPLE"), std::string::npos) << why;
        EXPECT_NE(why.find(c.Mentions), std::string::npos) << why;
    }
    EXPECT_EQ(PropagationProblem(ExampleSet()), "");
    CurrentElementSet nearlyParabolic = ExampleSet();
    nearlyParabolic.Eccentricity = 0.9999999;
    EXPECT_EQ(PropagationProblem(nearlyParabolic), "");
}

// A field written with an exponent can hold far more than its columns allow;
// a drag term of 9e306 (".9E+307") or a mean motion of 1e130 passed the
// checks and then overflowed the drag factors or the node drift, so that a
// run or the year file computed NaN sun angles and positions.
TEST(PropagationProblem, RefusesFieldsBeyondTheirColumnsThatOverflowToNaN)
{
    struct Case {
        const char* What;
        void (*Spoil)(CurrentElementSet&);
        const char* Mentions;
    };
    const Case cases[] = {
        {"drag term 9e306", [](CurrentElementSet& e) { e.Decay = 9e306; }, "drag term"},
        {"drag term 1", [](CurrentElementSet& e) { e.Decay = 1; }, "drag term"},
        {"mean motion 1e130", [](CurrentElementSet& e) { e.MeanMotion = 1e130; }, "mean motion"},
        {"inclination 1e300", [](CurrentElementSet& e) { e.Inclination = 1e300; }, "inclination"},
        {"node -1e307", [](CurrentElementSet& e) { e.RAAN = -1e307; }, "ascending node"},
        {"perigee 9.9e307", [](CurrentElementSet& e) { e.ArgPerigee = 9.9e307; }, "perigee"},
        {"mean anomaly -1.7e308", [](CurrentElementSet& e) { e.MeanAnomaly = -1.7e308; }, "mean anomaly"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        CurrentElementSet e = ExampleSet();
        c.Spoil(e);
        std::string why = PropagationProblem(e);
        EXPECT_NE(why.find("EXAMPLE"), std::string::npos) << why;
        EXPECT_NE(why.find(c.Mentions), std::string::npos) << why;
    }

    // What the plain columns can hold still computes to finite numbers.
    CurrentElementSet widest = ExampleSet();
    widest.Decay = 0.99999999;
    widest.MeanMotion = 99999999.9;
    widest.Inclination = -9999999;
    EXPECT_EQ(PropagationProblem(widest), "");
    PreparedElements p = PrepareElements(widest, Station{});
    CalcInstant late;
    late.CalcYear = 9999;
    OrbitState o = SatellitePosition(widest, p, late);
    EXPECT_TRUE(std::isfinite(o.CurrentRAAN) && std::isfinite(o.CurrentMeanAnomaly)) << o.CurrentRAAN;
}

// Epoch years 57 to 77 name 1957 to 1977, before day 0 of the DayNumber
// scale. The split of a negative day number into whole days and fraction
// went toward zero with an unsigned fraction, so that such an epoch was
// placed twice its day fraction late: a day late for an epoch at noon.
TEST(SatellitePosition, EpochBefore1978IsPlacedOnItsOwnInstant)
{
    for (double epoch : {77100.5, 57001.25, 77365.875, 77365.0}) {
        SCOPED_TRACE(epoch);
        const EpochSplit split = SplitEpoch(epoch);
        EXPECT_LT(split.EpochDayNumber, 0);
        EXPECT_GE(split.Fraction, 0);
        EXPECT_LT(split.Fraction, 1);
        EXPECT_EQ(split.Whole + split.Fraction, split.EpochDayNumber);
    }
    CurrentElementSet e = ExampleSet();
    e.Epoch = 77100.5; // 1977 April 10, 12:00 UT
    CalcInstant at;
    at.CalcDay = 10;
    at.CalcMonth = 4;
    at.CalcYear = 1977;
    at.CalcHour = 12;
    EXPECT_EQ(SatellitePosition(e, PrepareElements(e, Station{}), at).DaysSinceEpoch, 0);
}

} // namespace
} // namespace tavik
