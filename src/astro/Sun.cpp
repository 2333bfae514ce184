#include "astro/Sun.h"

#include "astro/Angles.h"

namespace tavik {

namespace {

// Where the figures of this file come from. No publication was at hand to
// check them against, so none is named as their source; what each figure
// matches, and how closely, is said beside it (the published figures, chapters
// and editions quoted are recalled, not looked up).
//
// Mean obliquity of the ecliptic, held fixed. Source not confirmed: the IAU
// 1976 mean obliquity, 23 deg 26' 21.448" - 46.8150" T (T in Julian
// centuries from J2000.0), is 23.44059 at 1990.0, the epoch below; this is
// that value to four decimals. Over 1990-2030 the true mean obliquity drops
// by 0.005 degrees from it.
constexpr double Obliquity = 23.4406; // degrees, fixed
// The mean elements below count days from 1989 December 31, 0h UT, which is
// this DayNumber (checked: 4382 days after 1978 January 1). Astronomers call
// that instant 1990 January 0.0, the epoch "1990.0" of yearly element tables.
constexpr double ElementsDayNumber = 4382;
// (1 - f)^2 of the Earth's flattening f: the ratio of geocentric to geodetic
// latitude tangents, used here on the angle itself to place the sub-solar
// point on the ellipsoid. Source not confirmed: it matches (1 - f)^2 of
// WGS 84 (f = 1/298.257223563, giving 0.99330562) to six digits and
// implies a polar radius of 6356.752 km, not the 6356.785 km of Earth.h.
constexpr double GeodeticLatitudeFactor = 0.993305525;
// The same doubles at every call: computed once.
const double CosObliquity = CosDeg(Obliquity);
const double SinObliquity = SinDeg(Obliquity);

// Days since the model's epoch, and the mean anomaly in degrees; neither is
// reduced to one turn, the sines take them as they are.
double DaysSinceEpoch(std::int32_t calcDayNumber, double calcDayFraction)
{
    return calcDayNumber + calcDayFraction - ElementsDayNumber;
}

// Mean anomaly at the epoch, 356.6349 degrees. Source not confirmed: it
// matches to four decimals the Sun's elements for epoch 1990.0 in
// Duffett-Smith, Practical Astronomy with your Calculator, 3rd ed.
// (Cambridge University Press, 1988): ecliptic longitude at epoch 279.403303
// less longitude of perigee 282.768422, plus 360, is 356.634881.
// Rate 0.98560027 degrees a day, the anomalistic rate (one turn in 365.2596
// days). Source not confirmed: the Astronomical Almanac's low-precision
// formula for the Sun has 0.9856003, and Meeus, Astronomical Algorithms
// (2nd ed., 1998, ch. 25) 35999.05029 degrees a century, 0.98560028 a day;
// the 1e-8 between them adds up to 0.0004 degrees in a century.
double MeanAnomaly(double n) { return 356.6349 + 0.98560027 * n; }

} // namespace

SunState SunPosition(std::int32_t calcDayNumber, double calcDayFraction, double siderealAngle, bool subSolarPoint)
{
    double n = DaysSinceEpoch(calcDayNumber, calcDayFraction);
    double meanAnomaly = MeanAnomaly(n);
    // Mean longitude at the epoch, 279.4033 degrees: source not confirmed;
    // it matches to four decimals Duffett-Smith's ecliptic longitude at epoch
    // 1990.0 (279.403303, same book as above). The tropical year of
    // 365.242197 days: source not confirmed; Duffett-Smith divides by
    // 365.242191 and Meeus' 36000.76983 degrees a century gives 365.2421896;
    // either would move the longitude by less than 0.0003 degrees by 2030.
    double meanLongitude = 279.4033 + 360 * n / 365.242197;
    // Equation of centre, two terms, coefficients fixed. Source not
    // confirmed: Meeus' series (same book, ch. 25), 1.914602 - 0.004817 T and
    // 0.019993 - 0.000101 T, gives 1.91508 and 0.02000 at 1990.0, and the
    // Astronomical Almanac's low-precision formula has 1.915 and 0.020. In
    // radians the first is 2 e, the second (5/4) e^2, with the orbit's
    // eccentricity e of about 0.01671.
    double lambda = meanLongitude + 1.9151 * SinDeg(meanAnomaly) + 0.02 * SinDeg(2 * meanAnomaly);

    SunState s;
    s.SunX = CosDeg(lambda);
    const double sinLambda = SinDeg(lambda);
    s.SunY = sinLambda * CosObliquity;
    s.SunZ = sinLambda * SinObliquity;
    if (subSolarPoint) PlaceSubSolarPoint(s, siderealAngle);
    return s;
}

void PlaceSubSolarPoint(SunState& s, double siderealAngle)
{
    double declination = ArcSinDeg(s.SunZ);
    // The angle itself is divided by the factor, not its tangent.
    s.SubSolarLat = declination / GeodeticLatitudeFactor;
    double rightAscension = Atan2Deg(s.SunY, s.SunX);
    s.SubSolarLon = WestLongitude(Reduce360(rightAscension - siderealAngle));
}

double SunDistance(std::int32_t calcDayNumber, double calcDayFraction)
{
    const double g = MeanAnomaly(DaysSinceEpoch(calcDayNumber, calcDayFraction));
    return (1.00014 - 0.01671 * CosDeg(g) - 0.00014 * CosDeg(2 * g)) * AstronomicalUnit;
}

} // namespace tavik
