#include "orbit/Elements.h"

#include "astro/Angles.h"
#include "astro/Earth.h"

#include <cmath>

namespace tavik {

double PowerOf(double x, double y) { return std::exp(y * std::log(x)); }

PreparedElements PrepareElements(const CurrentElementSet& elements, const Station& station)
{
    // The Earth's gravitational parameter GM. Source not confirmed: it is
    // WGS 84's 398600.4418 (NIMA TR8350.2, 3rd ed., 2000) or GRS 80's 398600.5
    // km^3/s^2 to four digits, 3.986e5; the semi-major axis comes out about
    // 2.5 m shorter than with WGS 84's figure at 6800 km.
    constexpr double EarthMu = 398600.0;                  // km^3/s^2
    constexpr double SecondsPerRadianOfDay = 13750.98708; // 86400 / 2pi, 10 digits (checked)
    // The Earth's second zonal harmonic: the defining J2 = 108263e-8 of GRS 80
    // (Moritz, "Geodetic Reference System 1980", Bulletin Geodesique 54, 1980;
    // recalled, not checked), which WGS 84's derived J2 matches to these
    // digits.
    constexpr double J2 = 0.00108263;

    PreparedElements p;
    p.StationCosLat = CosDeg(station.StationLat);
    p.StationSinLat = SinDeg(station.StationLat);
    p.StationCosLon = CosDeg(station.StationLon);
    p.StationSinLon = SinDeg(station.StationLon);
    p.CosIncl = CosDeg(elements.Inclination);
    p.SinIncl = SinDeg(elements.Inclination);

    // Kepler's third law, n^2 a^3 = GM, for the semi-major axis; the mean
    // motion of the element set is taken as the Keplerian one.
    double n = elements.MeanMotion / SecondsPerRadianOfDay; // radians per second
    p.SemiMajorAxis0 = PowerOf(EarthMu / (n * n), 1.0 / 3.0);
    p.SemiMinorAxis0 = p.SemiMajorAxis0 * std::sqrt(1 - elements.Eccentricity * elements.Eccentricity);
    // The classical first-order secular rates of the node and the perigee
    // under J2: dNode/dt = -(3/2) n J2 (R/p)^2 cos i and dPerigee/dt =
    // (3/4) n J2 (R/p)^2 (5 cos^2 i - 1), R the equatorial radius, p the
    // semi-latus rectum a (1 - e^2) = b^2 / a, n the mean motion. They are in
    // every astrodynamics text; no edition was at hand to cite an equation.
    // Earth radius over the semi-latus rectum, squared; 360 turns revolutions
    // per day into degrees per day.
    double ratio = EarthRadius * p.SemiMajorAxis0 / (p.SemiMinorAxis0 * p.SemiMinorAxis0);
    p.PrecessionConst = (ratio * ratio * 1.5 * J2 * elements.MeanMotion) * 360;
    p.NodeRate = -p.PrecessionConst * p.CosIncl;
    p.PerigeeRate = p.PrecessionConst * (5 * (p.CosIncl * p.CosIncl) - 1) / 2;
    return p;
}

} // namespace tavik
