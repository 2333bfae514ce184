#include "astro/Sun.h"

#include "astro/Angles.h"

namespace tavik {

namespace {

constexpr double Obliquity = 23.4406; // degrees, fixed
// The mean elements below count days from 1989 December 31, 0h UT, which is
// this DayNumber.
constexpr double ElementsDayNumber = 4382;
// (1 - f)^2 of the Earth's flattening f: the ratio of geocentric to geodetic
// latitude tangents, used here on the angle itself to place the sub-solar
// point on the ellipsoid.
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

double MeanAnomaly(double n) { return 356.6349 + 0.98560027 * n; }

} // namespace

SunState SunPosition(std::int32_t calcDayNumber, double calcDayFraction, double siderealAngle,
                     bool subSolarPoint)
{
    double n = DaysSinceEpoch(calcDayNumber, calcDayFraction);
    double meanAnomaly = MeanAnomaly(n);
    double meanLongitude = 279.4033 + 360 * n / 365.242197;
    double lambda = meanLongitude + 1.9151 * SinDeg(meanAnomaly) + 0.02 * SinDeg(2 * meanAnomaly);

    SunState s;
    s.SunX = CosDeg(lambda);
    const double sinLambda = SinDeg(lambda);
    s.SunY = sinLambda * CosObliquity;
    s.SunZ = sinLambda * SinObliquity;
    if (!subSolarPoint) return s;
    double declination = ArcSinDeg(s.SunZ);
    // The angle itself is divided by the factor, not its tangent.
    s.SubSolarLat = declination / GeodeticLatitudeFactor;
    double rightAscension = Atan2Deg(s.SunY, s.SunX);
    s.SubSolarLon = WestLongitude(Reduce360(rightAscension - siderealAngle));
    return s;
}

double SunDistance(std::int32_t calcDayNumber, double calcDayFraction)
{
    const double g = MeanAnomaly(DaysSinceEpoch(calcDayNumber, calcDayFraction));
    return (1.00014 - 0.01671 * CosDeg(g) - 0.00014 * CosDeg(2 * g)) * AstronomicalUnit;
}

} // namespace tavik
