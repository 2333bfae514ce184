#include "orbit/Elements.h"

#include "astro/Angles.h"
#include "astro/Earth.h"

#include <cmath>

namespace tavik {

double PowerOf(double x, double y)
{
    return std::exp(y * std::log(x));
}

PreparedElements PrepareElements(const CurrentElementSet& elements, const Station& station)
{
    constexpr double EarthMu = 398600.0;                  // km^3/s^2
    constexpr double SecondsPerRadianOfDay = 13750.98708; // 86400 / 2pi, 10 digits
    constexpr double J2 = 0.00108263;

    PreparedElements p;
    p.StationCosLat = CosDeg(station.StationLat);
    p.StationSinLat = SinDeg(station.StationLat);
    p.StationCosLon = CosDeg(station.StationLon);
    p.StationSinLon = SinDeg(station.StationLon);
    p.CosIncl = CosDeg(elements.Inclination);
    p.SinIncl = SinDeg(elements.Inclination);

    double n = elements.MeanMotion / SecondsPerRadianOfDay; // radians per second
    p.SemiMajorAxis0 = PowerOf(EarthMu / (n * n), 1.0 / 3.0);
    p.SemiMinorAxis0 = p.SemiMajorAxis0 * std::sqrt(1 - elements.Eccentricity * elements.Eccentricity);
    // Earth radius over the semi-latus rectum, squared; 360 turns revolutions
    // per day into degrees per day.
    double ratio = EarthRadius * p.SemiMajorAxis0 / (p.SemiMinorAxis0 * p.SemiMinorAxis0);
    p.PrecessionConst = (ratio * ratio * 1.5 * J2 * elements.MeanMotion) * 360;
    p.NodeRate = -p.PrecessionConst * p.CosIncl;
    p.PerigeeRate = p.PrecessionConst * (5 * (p.CosIncl * p.CosIncl) - 1) / 2;
    return p;
}

} // namespace tavik
