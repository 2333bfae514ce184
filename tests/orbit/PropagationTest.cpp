#include "orbit/Propagation.h"
#include "WorkedExample.h"

#include "Printed.h"

#include <cmath>
#include <tuple>

namespace tavik {
namespace {

OrbitState Propagate(const CurrentElementSet& e, const CalcInstant& at)
{
    return SatellitePosition(e, PrepareElements(e, Station{}), at);
}

TEST(SatellitePosition, WorkedExampleHalfAnHourAfterEpochAtItAndAnHourBeforeAndItsDragAfterTenDays)
{
    const CurrentElementSet w = test::WorkedExampleSet();
    const OrbitState o = Propagate(w, {6, 12, 2026, 12, 30}), e = Propagate(w, {6, 12, 2026, 12, 0});
    const OrbitState before = Propagate(w, {6, 12, 2026, 11, 0});
    const DragFactors f = ComputeDragFactors(0.0001, 15.5, 10); // the mean anomaly gains 3.6 degrees on no drag
    const test::WorkedExampleFigures& x = test::WorkedFigures;
    test::ExpectPrinted({
        {"CurrentRAAN", o.CurrentRAAN, x.CurrentRAAN}, {"CurrentArgPerigee", o.CurrentArgPerigee, x.CurrentArgPerigee},
        {"CurrentMeanAnomaly", o.CurrentMeanAnomaly, x.CurrentMeanAnomaly},
        {"SemiMajorAxis", o.SemiMajorAxis, x.SemiMajorAxis}, {"SiderealAngle", o.SiderealAngle, x.SiderealAt1230},
        {"EccentricAnomaly", o.EccentricAnomaly, x.EccentricAnomaly}, {"OrbitRadius", o.OrbitRadius, x.OrbitRadius},
        {"EccentricAnomaly at epoch", e.EccentricAnomaly, x.EccentricAnomalyAtEpoch},
        {"DaysSinceEpoch an hour before", before.DaysSinceEpoch, x.DaysSinceEpochHourBefore}, {"DC", f.DC, x.DC},
        {"CalcDayFraction at 12:29:30", Propagate(w, {6, 12, 2026, 12, 29, 30}).CalcDayFraction,
         x.CalcDayFractionAt122930},
        {"DT", f.DT, x.DT}, {"KM", f.KM, x.KM}, {"KD", f.KD, x.KD},
        {"KDP", f.KDP, x.KDP}, {"advance", 15.5 * 10 * 360 * f.KM, x.Advance},
    });
}

TEST(SolveKepler, ReferenceSolutionsConvergenceAndItsBound)
{
    // M, e, the solution printed (nullptr: Kepler's equation holds to the stopping tolerance) and the
    // corrections (0: more than 100, within the bound; -1: a correction that is not a number stops at once).
    // 95.7012 is the root of E - 0.1 sin E = 90 degrees to four decimals (checked by hand).
    const std::tuple<double, double, const char*, int> cases[] = {
        {90, 0.1, "95.7012", 3}, {90, 0, "90.0000", 1}, {0, 0.5, "0.0000", 1}, {1, 0.74, nullptr, 3},
        {45, 0.74, nullptr, 5}, {359, 0.0005, nullptr, 1}, {10, 0.99, nullptr, 0}, {10, std::nan(""), nullptr, -1}};
    for (const auto& [m, ecc, expected, corrections] : cases) {
        SCOPED_TRACE(::testing::Message() << m << " " << ecc);
        const KeplerSolution s = SolveKepler(m, ecc);
        const double e = s.EccentricAnomaly / 57.29577951309679;
        EXPECT_EQ(s.Converged, corrections >= 0);
        if (expected) {
            EXPECT_PRINTED(s.EccentricAnomaly, expected);
        } else if (corrections >= 0) {
            EXPECT_NEAR(e - ecc * std::sin(e), m / 57.29577951309679, 1e-6);
        }
        if (corrections) {
            EXPECT_EQ(s.Corrections, std::abs(corrections));
        } else {

            EXPECT_GT(s.Corrections, 100);
            EXPECT_LE(s.Corrections, MaxKeplerCorrections);
        }
    }
}

// A field written with an exponent holds far more than its columns allow: a drag term of 9e306 (".9E+307") or
// a mean motion of 1e130 passed the checks and overflowed to NaN sun angles and positions.
TEST(PropagationProblem, RefusesSetsThatCannotBeComputedOrOverflowToNaN)
{
    using E = CurrentElementSet;
    const struct {
        double E::*Field;
        double Value;
        const char* Mentions; // nullptr: accepted
    } cases[] = {
        {&E::MeanMotion, 0, "mean motion"}, {&E::MeanMotion, 1e-300, "motion"}, {&E::MeanMotion, 1e130, "mean motion"},
        {&E::Eccentricity, 1, "eccentricity"}, {&E::RAAN, INFINITY, "out of range"}, {&E::Decay, 9e306, "drag term"},
        {&E::Epoch, -5, "not a two-digit year"}, {&E::Epoch, 0, "names day 0 of 2000"},
        {&E::Epoch, 100000, "not a two-digit year"}, {&E::Decay, 1, "drag term"}, {&E::RAAN, -1e307, "ascending node"},
        {&E::ArgPerigee, 9.9e307, "perigee"}, {&E::MeanAnomaly, -1.7e308, "mean anomaly"},
        {&E::Eccentricity, 0.9999999, nullptr}, {&E::Eccentricity, 0, nullptr},
        {&E::Epoch, 26000.75, "day 0.75 of 2026"},
        {&E::Epoch, 26366, "which has days 1 to 365"}, {&E::Epoch, 24367.5, "which has days 1 to 366"},
        {&E::Epoch, 99999.5, "day 999.5 of 1999"}, {&E::Epoch, 24366.99999999, nullptr}, // a leap year's last moment
        // An inclination of 999.9999 degrees was computed as if it meant something.
        {&E::Inclination, 999.9999, "inclination (999.9999 degrees) is not from 0 to 180"},
        {&E::Inclination, 180.0001, "inclination"}, {&E::Inclination, -0.0001, "inclination"},
        {&E::Inclination, 180, nullptr}, {&E::Inclination, 0, nullptr},
    };
    for (const auto& c : cases) {
        E e = test::WorkedExampleSet();
        e.*c.Field = c.Value;
        const std::string why = PropagationProblem(e).value_or("");
        if (!c.Mentions) {
            EXPECT_EQ(why, "") << c.Value;
            continue;
        }
        EXPECT_NE(why.find("EXAMPLE"), std::string::npos) << c.Value << ": " << why;
        EXPECT_NE(why.find(c.Mentions), std::string::npos) << c.Value << ": " << why;
    }
    for (std::string E::*line : {&E::Line1, &E::Line2}) {
        E e = test::WorkedExampleSet();
        (e.*line).clear();
        EXPECT_NE(PropagationProblem(e).value_or("").find(line == &E::Line1 ? "line 1" : "line 2"), std::string::npos);
    }
    E widest = test::WorkedExampleSet(); // what the plain columns can hold still computes to finite numbers
    widest.Decay = 0.99999999;
    widest.MeanMotion = 99999999.9;
    widest.RAAN = -9999999;
    EXPECT_EQ(PropagationProblem(widest), std::nullopt);
    const OrbitState o = Propagate(widest, {1, 1, 9999, 0, 0});
    EXPECT_TRUE(std::isfinite(o.CurrentRAAN)) << o.CurrentRAAN;
    EXPECT_TRUE(std::isfinite(o.CurrentMeanAnomaly)) << o.CurrentMeanAnomaly;

}

// Epoch years 57 to 77 lie before day 0. The split of a negative day number
// went toward zero with an unsigned fraction: an epoch at noon came a day late.
TEST(SatellitePosition, EpochBefore1978IsPlacedOnItsOwnInstant)
{
    const std::pair<double, CalcInstant> cases[] = {
        {77100.5, {10, 4, 1977, 12, 0}}, {57001.25, {1, 1, 1957, 6, 0}}, {77365.875, {31, 12, 1977, 21, 0}}};
    for (const auto& [epoch, at] : cases) {
        CurrentElementSet e = test::WorkedExampleSet();
        e.Epoch = epoch;
        EXPECT_EQ(Propagate(e, at).DaysSinceEpoch, 0) << epoch;
    }
}

} // namespace
} // namespace tavik
