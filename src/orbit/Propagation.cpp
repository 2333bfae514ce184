#include "orbit/Propagation.h"

#include "astro/Angles.h"
#include "astro/Earth.h"
#include "astro/TimeScales.h"

#include "platform/DateTime.h"

#include <cmath>
#include <iomanip>
#include <sstream>

namespace tavik {

// Newton's method on Kepler's equation, E - e sin E = M: the textbook
// iteration E -= (E - e sin E - M) / (1 - e cos E); no particular source.
KeplerSolution SolveKepler(double currentMeanAnomaly, double eccentricity)
{
    KeplerSolution s;
    double m = currentMeanAnomaly / DegPerRadian;
    double e = m;
    for (;;) {
        double c = std::cos(e);
        double sn = std::sin(e);
        double denominator = 1 - eccentricity * c;
        double d = ((e - eccentricity * sn) - m) / denominator;
        e = e - d;
        ++s.Corrections;
        if (std::fabs(d) < 0.0001) {
            s.Converged = true;
            break;
        }
        if (s.Corrections >= MaxKeplerCorrections || !std::isfinite(d)) break;
    }
    s.EccentricAnomaly = std::fabs(e) * DegPerRadian;
    return s;
}

// Linear drag factors. Source not confirmed: they have the form of the drag
// terms of J. R. Miller's (G3RUH) PLAN13 method for amateur satellites, as
// recalled; no copy of its publication was at hand. Each is the first-order
// term in t of the change the decay brings, and can be checked that way:
// the element set's Decay is half the rate of change of the mean motion n
// (revolutions per day^2), so n(t) = n + 2 Decay t and, with DT = -Decay t /
// (3 n),
// - mean anomaly: 360 (n t + Decay t^2) = 360 n t (1 - 3 DT), so KM;
// - axes: a is proportional to n^(-2/3) (Kepler's third law), so a(t) =
//   a (1 - (4/3) Decay t / n) = a (1 + 4 DT), so KD;
// - node and perigee drift: the J2 rates go as n a^-2, that is n^(7/3);
//   their integral over t is rate t (1 + (7/3) Decay t / n) = rate t
//   (1 - 7 DT), so KDP.
DragFactors ComputeDragFactors(double decay, double meanMotion, double t)
{
    DragFactors f;
    // The two factors of 360 cancel: both the decay and the mean motion are
    // turned from revolutions into degrees, and DC is their unit-free ratio,
    // -2 Decay / (3 MeanMotion). They are kept because the quotient is
    // rounded otherwise without them: written as -2 Decay / (3 MeanMotion)
    // it ends one bit apart for nearly half of the values tried (a third for
    // -2 Decay / MeanMotion / 3). Kept, every double of a run stays what it
    // has been.
    f.DC = (-2 * decay * 360) / (meanMotion * 360) / 3;
    f.DT = f.DC * t / 2;
    f.KM = 1 - 3 * f.DT;
    f.KD = 1 + 4 * f.DT;
    f.KDP = 1 - 7 * f.DT;
    return f;
}

EpochSplit SplitEpoch(double epoch)
{
    EpochSplit s;
    s.EpochDayNumber = EpochToDayNumber(epoch);
    s.Whole = IntegerPart(s.EpochDayNumber);
    s.Fraction = FractionPart(s.EpochDayNumber);
    // Epochs before 1978 lie before day 0. The text of a negative day number
    // splits toward zero with an unsigned fraction (-265.25 gives -265 and
    // 0.25), which would put the epoch 2 x 0.25 days late: take -266 and 0.75.
    if (s.EpochDayNumber < 0 && s.Fraction > 0) {
        s.Whole -= 1;
        s.Fraction = 1 - s.Fraction;
    }
    return s;
}

OrbitState SatellitePosition(const CurrentElementSet& el, const PreparedElements& p, const CalcInstant& at)
{
    OrbitState o;
    SatellitePositionInto(o, el, p, SplitEpoch(el.Epoch), MakeDayTerms(at), at);
    return o;
}

DayTerms MakeDayTerms(const CalcInstant& at)
{
    DayTerms d;
    d.CalcDayNumber = DayNumber(at.CalcDay, at.CalcMonth, at.CalcYear);
    d.SiderealAt0h = SiderealAt0h(d.CalcDayNumber);
    return d;
}

// Inline here so that the classic model's step does not pay for calls, and
// in two parts, which the classic model's step needs apart: the sine and
// cosine calls early would keep the time since epoch waiting across them.
inline double TimeTerms(OrbitState& o, const EpochSplit& epoch, const DayTerms& day, const CalcInstant& at)
{
    o.CalcDayNumber = day.CalcDayNumber;
    o.CalcDayFraction = (at.CalcHour + at.CalcMinute / 60 + at.CalcSecond / 3600) / 24;
    o.EpochDayNumber = epoch.EpochDayNumber;
    double t = (o.CalcDayNumber - epoch.Whole) + o.CalcDayFraction - epoch.Fraction;
    o.DaysSinceEpoch = t;
    return t;
}

inline void SiderealTerms(OrbitState& o, const DayTerms& day)
{
    o.SiderealAngle = GreenwichSiderealFrom(day.SiderealAt0h, o.CalcDayFraction);
    o.CosMinusSidereal = CosDeg(-o.SiderealAngle);
    o.SinMinusSidereal = SinDeg(-o.SiderealAngle);
}

void InstantTermsInto(OrbitState& o, const EpochSplit& epoch, const DayTerms& day, const CalcInstant& at)
{
    TimeTerms(o, epoch, day, at);
    SiderealTerms(o, day);
}

void SatellitePositionInto(OrbitState& o, const CurrentElementSet& el, const PreparedElements& p,
                           const EpochSplit& epoch, const DayTerms& day, const CalcInstant& at)
{
    const double t = TimeTerms(o, epoch, day, at);

    const DragFactors drag = ComputeDragFactors(el.Decay, el.MeanMotion, t);
    const double km = drag.KM, kd = drag.KD, kdp = drag.KDP;

    o.CurrentRAAN = Reduce360(el.RAAN + p.NodeRate * t * kdp);
    o.CurrentArgPerigee = Reduce360(el.ArgPerigee + p.PerigeeRate * t * kdp);
    o.CosArgPerigee = CosDeg(o.CurrentArgPerigee);
    o.SinArgPerigee = SinDeg(o.CurrentArgPerigee);
    o.CosRAAN = CosDeg(o.CurrentRAAN);
    o.SinRAAN = SinDeg(o.CurrentRAAN);
    o.CurrentMeanAnomaly = Reduce360(el.MeanAnomaly + el.MeanMotion * t * 360 * km);
    o.SemiMajorAxis = p.SemiMajorAxis0 * kd;
    o.SemiMinorAxis = p.SemiMinorAxis0 * kd;
    SiderealTerms(o, day);

    KeplerSolution k = SolveKepler(o.CurrentMeanAnomaly, el.Eccentricity);
    o.KeplerConverged = k.Converged;
    o.EccentricAnomaly = k.EccentricAnomaly;
    o.SinEccAnomaly = SinDeg(o.EccentricAnomaly);
    o.CosEccAnomaly = CosDeg(o.EccentricAnomaly);
    o.OrbitRadius = o.SemiMajorAxis * (1 - el.Eccentricity * o.CosEccAnomaly);
    // Height above a spherical Earth of the WGS 84 equatorial radius, not
    // above the ellipsoid.
    o.SatHeight = o.OrbitRadius - EarthRadius;
}

std::optional<std::string> PropagationProblem(const CurrentElementSet& el)
{
    std::ostringstream why;
    const std::string name = "\"" + el.SatName + "\"";
    if (el.Line1.empty() || el.Line2.empty()) {
        why << name << " cannot be computed: its element line " << (el.Line1.empty() ? 1 : 2) << " is missing";
        return why.str();
    }
    if (el.LineProblem) return name + " cannot be computed: " + *el.LineProblem;
    const double fields[] = {el.Epoch,       el.Inclination, el.RAAN,  el.Eccentricity, el.ArgPerigee,
                             el.MeanAnomaly, el.MeanMotion,  el.Decay, el.RevNumber};
    for (double f : fields) {
        if (!std::isfinite(f)) {
            return name + " cannot be computed: an element field holds a number out of range";
        }
    }
    if (!(el.MeanMotion > 0)) {
        why << name << " cannot be computed: its mean motion (" << el.MeanMotion
            << " revolutions per day) is not above 0";
        return why.str();
    }
    if (!(el.Eccentricity >= 0 && el.Eccentricity < 1)) {
        why << name << " cannot be computed: its eccentricity (" << el.Eccentricity << ") is not from 0 up to below 1";
        return why.str();
    }
    if (!(el.Inclination >= 0 && el.Inclination <= 180)) {
        why << std::setprecision(12) << name << " cannot be computed: its inclination (" << el.Inclination
            << " degrees) is not from 0 to 180 degrees";
        return why.str();
    }
    if (!(el.Epoch >= 0 && el.Epoch < 100000)) {
        why << name << " cannot be computed: its epoch (" << el.Epoch
            << ") is not a two-digit year and a day of the year";
        return why.str();
    }
    {
        // Day 0 or 999 would be read as a day of the year before or after.
        const std::int32_t yy = IntegerPart(el.Epoch / 1000);
        const double day = el.Epoch - 1000.0 * yy;
        const int year = EpochYear(yy);
        const int days = IsLeapYear(year) ? 366 : 365;
        if (!(day >= 1 && day < days + 1)) {
            why << std::setprecision(12) << name << " cannot be computed: its epoch (" << el.Epoch << ") names day "
                << day << " of " << year << ", which has days 1 to " << days;
            return why.str();
        }
    }
    // An exponent lets a field hold far more than its columns can in the
    // plain layout; such values overflow the drift and drag terms to NaN.
    const struct {
        const char* What;
        double Value;
        double Limit;
    } bounds[] = {
        {"right ascension of the ascending node", el.RAAN, 1e8},
        {"argument of perigee", el.ArgPerigee, 1e8},
        {"mean anomaly", el.MeanAnomaly, 1e8},
        {"mean motion", el.MeanMotion, 1e11},
        {"drag term (first derivative of the mean motion)", el.Decay, 1},
    };
    for (const auto& b : bounds) {
        if (!(std::fabs(b.Value) < b.Limit)) {
            why << name << " cannot be computed: its " << b.What << " (" << b.Value
                << ") is out of range for its field";
            return why.str();
        }
    }
    PreparedElements p = PrepareElements(el, Station{});
    if (!std::isfinite(p.SemiMajorAxis0) || !(p.SemiMinorAxis0 > 0) || !std::isfinite(p.PrecessionConst)) {
        why << name << " cannot be computed: its mean motion (" << el.MeanMotion
            << " revolutions per day) gives no usable orbit";
        return why.str();
    }
    return std::nullopt;
}

} // namespace tavik
