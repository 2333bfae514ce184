#include "astro/Illumination.h"

#include "astro/Angles.h"

namespace tavik {

SunAngleResult ComputeSunAngle(std::int32_t calcDayNumber, double calcDayFraction, double siderealAngle,
                               double attitudeCelX, double attitudeCelY, double attitudeCelZ, bool inEclipse,
                               bool subSolarPoint)
{
    return SunAngleFor(SunPosition(calcDayNumber, calcDayFraction, siderealAngle, subSolarPoint), attitudeCelX,
                       attitudeCelY, attitudeCelZ, inEclipse);
}

SunAngleResult SunAngleFor(const SunState& sun, double attitudeCelX, double attitudeCelY, double attitudeCelZ,
                           bool inEclipse)
{
    SunAngleResult r;
    r.Sun = sun;
    double c = r.Sun.SunX * attitudeCelX + r.Sun.SunY * attitudeCelY + r.Sun.SunZ * attitudeCelZ;
    r.SunAngle = ArcSinDeg(-c);
    r.Illumination = inEclipse ? 0.0 : CosDeg(r.SunAngle);
    return r;
}

bool ComputeEclipse(const SunState& sun, double satCelX, double satCelY, double satCelZ, double orbitRadius)
{
    double p = satCelX * sun.SunX + satCelY * sun.SunY + satCelZ * sun.SunZ;
    double g = ArcCosDeg(-p / orbitRadius);
    double d = SinDeg(g) * orbitRadius;
    return d < ShadowRadius && g < 90;
}

} // namespace tavik
