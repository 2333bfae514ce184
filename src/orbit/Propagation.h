// Propagation of the current element set to a calculation instant: Kepler
// ellipse with J2 drift of node and perigee and linear drag factors.
#pragma once

#include "catalogue/Catalogue.h"
#include "orbit/Elements.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavik {

// The calculation instant, UTC calendar fields.
struct CalcInstant {
    std::int16_t CalcDay = 1;
    std::int16_t CalcMonth = 1;
    std::int16_t CalcYear = 2000;
    double CalcHour = 0;
    double CalcMinute = 0;
    double CalcSecond = 0;
};

struct OrbitState {
    std::int32_t CalcDayNumber = 0; // whole days
    double CalcDayFraction = 0;     // day
    double EpochDayNumber = 0;      // days, with fraction
    double DaysSinceEpoch = 0;      // days
    double CurrentRAAN = 0;         // degrees
    double CurrentArgPerigee = 0;   // degrees
    double CosRAAN = 0, SinRAAN = 0;
    double CosArgPerigee = 0, SinArgPerigee = 0;
    double CurrentMeanAnomaly = 0; // degrees
    double SemiMajorAxis = 0;      // km
    double SemiMinorAxis = 0;      // km
    double SiderealAngle = 0;      // degrees
    double CosMinusSidereal = 0;   // cosine of minus SiderealAngle
    double SinMinusSidereal = 0;   // sine of minus SiderealAngle
    double EccentricAnomaly = 0;   // degrees
    double CosEccAnomaly = 0, SinEccAnomaly = 0;
    double OrbitRadius = 0; // km from the Earth's centre
    double SatHeight = 0;   // km above a spherical Earth
    bool KeplerConverged = true;
};

// Linear drag factors for the time since epoch t (days).
struct DragFactors {
    double DC = 0;  // drag coefficient, -2 Decay / (3 MeanMotion)
    double DT = 0;  // DC t / 2
    double KM = 1;  // mean anomaly factor
    double KD = 1;  // axis factor
    double KDP = 1; // node and perigee drift factor
};

DragFactors ComputeDragFactors(double decay, double meanMotion, double t);

// Enough corrections for an eccentricity of 0.99 (about 170 near M = 10).
inline constexpr int MaxKeplerCorrections = 1000;

struct KeplerSolution {
    double EccentricAnomaly = 0; // degrees
    int Corrections = 0;
    bool Converged = false;
};

// Newton's method on E - e sin E = M in radians, started at E = M, at least
// one correction, stopping when a correction is below 1e-4 rad.
KeplerSolution SolveKepler(double currentMeanAnomaly, double eccentricity);

// The epoch on the DayNumber scale and its whole and fractional parts,
// which depend on the element set alone.
struct EpochSplit {
    double EpochDayNumber = 0;
    std::int32_t Whole = 0;
    double Fraction = 0;
};

EpochSplit SplitEpoch(double epoch);

OrbitState SatellitePosition(const CurrentElementSet& elements, const PreparedElements& prepared,
                             const CalcInstant& instant);
// What depends only on the calculation date: its DayNumber and the sidereal
// angle at its 0h UT.
struct DayTerms {
    std::int32_t CalcDayNumber = 0;
    double SiderealAt0h = 0;
};

DayTerms MakeDayTerms(const CalcInstant& instant);

// The same with the epoch split and the day terms computed beforehand,
// written into out, every field: the per-minute loop keeps one state and
// spares itself a fresh one at every step.
void SatellitePositionInto(OrbitState& out, const CurrentElementSet& elements, const PreparedElements& prepared,
                           const EpochSplit& epoch, const DayTerms& day, const CalcInstant& instant);

// What both orbit models take from the instant alone: its day number and
// fraction, the days since the epoch, and the sidereal angle with the cosine
// and sine of its negative. Writes those fields of out and no other.
void InstantTermsInto(OrbitState& out, const EpochSplit& epoch, const DayTerms& day, const CalcInstant& instant);

// Why the element set cannot be propagated, naming the satellite; nothing when
// it can. Refused: a missing element line, a field that is not finite, a mean
// motion not above 0, an eccentricity outside 0 up to below 1, an epoch that
// is not YYDDD.dddddddd, an angle, mean motion or drag term beyond what its
// columns hold without an exponent, and axes that come out unusable.
std::optional<std::string> PropagationProblem(const CurrentElementSet& elements);

} // namespace tavik
