#include "astro/ApparentSun.h"

#include "astro/Angles.h"
#include "astro/ApparentSunSeries.h"

#include <cmath>
#include <span>

namespace tavik {

namespace {

// The series, their sources and the path to the apparent place: ApparentSunSeries.h.
using namespace sun_series;

constexpr double Pi = 3.14159265358979323846;
constexpr double DegreesPerRadian = 180 / Pi;
constexpr double ArcsecondsPerDegree = 3600;
constexpr double J2000 = 2451545.0; // Julian Date of 2000 January 1, 12h TT

double Series(std::span<const Term> terms, double tau)
{
    double sum = 0;
    for (const Term& t : terms) sum += t.A * std::cos(t.B + t.C * tau);
    return sum;
}

// Sum over k of (series k) tau^k, in 1e-8 units.
double Power(std::initializer_list<std::span<const Term>> series, double tau)
{
    double sum = 0, factor = 1;
    for (const auto& s : series) {
        sum += Series(s, tau) * factor;
        factor *= tau;
    }
    return sum;
}

// Mean obliquity of the ecliptic, IAU 1976 (Meeus 22.2), degrees.
double MeanObliquity(double t)
{
    const double arcseconds = 21.448 - t * (46.8150 + t * (0.00059 - t * 0.001813));
    return 23 + 26.0 / 60 + arcseconds / ArcsecondsPerDegree;
}

double JulianYear(double julianDate) { return 2000 + (julianDate - J2000) / 365.25; }

// A day's 0h UT as a Julian Date.
double JulianDateOf(std::int32_t dayNumber, double dayFraction) { return dayNumber + 2443509.5 + dayFraction; }

} // namespace

// The polynomials of Espenak and Meeus, "Five Millennium Canon of Solar
// Eclipses: -1999 to +3000" (NASA TP-2006-214141, 2006; section not
// checked), recalled and compared in the tests with their anchor values, for
// the spans the satellites' years fall in, and their long-term parabola
// outside. y is the year with fraction.
double DeltaTSeconds(double y)
{
    if (y >= 2150 || y < 1860) {
        const double u = (y - 1820) / 100;
        return -20 + 32 * u * u;
    }
    if (y >= 2050) {
        const double u = (y - 1820) / 100;
        return -20 + 32 * u * u - 0.5628 * (2150 - y);
    }
    if (y >= 2005) {
        const double t = y - 2000;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    if (y >= 1986) {
        const double t = y - 2000;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y >= 1961) {
        const double t = y - 1975;
        return 45.45 + t * (1.067 + t * (-1.0 / 260 - t / 718));
    }
    if (y >= 1941) {
        const double t = y - 1950;
        return 29.07 + t * (0.407 + t * (-1.0 / 233 + t / 2547));
    }
    if (y >= 1920) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y >= 1900) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    const double t = y - 1860;
    return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
}

double Nutation::EquationOfEquinoxes() const { return Longitude * CosDeg(TrueObliquity); }

// Meeus ch. 22: the fundamental arguments (the Moon's elongation D, the Sun's
// and the Moon's mean anomalies M and M', the Moon's argument of latitude F
// and the longitude of its node Omega, degrees) as polynomials in T, then
// the series.
Nutation NutationAt(double t)
{
    const double d = 297.85036 + t * (445267.111480 + t * (-0.0019142 + t / 189474));
    const double m = 357.52772 + t * (35999.050340 + t * (-0.0001603 - t / 300000));
    const double mp = 134.96298 + t * (477198.867398 + t * (0.0086972 + t / 56250));
    const double f = 93.27191 + t * (483202.017538 + t * (-0.0036825 + t / 327270));
    const double om = 125.04452 + t * (-1934.136261 + t * (0.0020708 + t / 450000));
    double psi = 0, eps = 0;
    for (const NutationTerm& n : NutationTerms) {
        const double argument = (n.D * d + n.M * m + n.Mp * mp + n.F * f + n.Om * om) / DegreesPerRadian;
        psi += (n.S + n.S1 * t) * std::sin(argument);
        eps += (n.C + n.C1 * t) * std::cos(argument);
    }
    Nutation n;
    n.Longitude = psi * 1e-4 / ArcsecondsPerDegree;
    n.Obliquity = eps * 1e-4 / ArcsecondsPerDegree;
    n.TrueObliquity = MeanObliquity(t) + n.Obliquity;
    return n;
}

HeliocentricEarth EarthFromTheSun(double julianDateTT)
{
    const double tau = (julianDateTT - J2000) / 365250; // Julian millennia
    return {Power({L0, L1, L2, L3, L4, L5}, tau) * 1e-8, Power({B0, B1}, tau) * 1e-8,
            Power({R0, R1, R2, R3, R4}, tau) * 1e-8};
}

ApparentSunPosition ApparentSunTT(double julianDateTT)
{
    const double t = (julianDateTT - J2000) / 36525; // Julian centuries

    const HeliocentricEarth earth = EarthFromTheSun(julianDateTT);
    const double l = earth.Longitude * DegreesPerRadian;
    const double b = earth.Latitude * DegreesPerRadian;
    const double r = earth.Distance;

    // The Sun seen from the Earth, turned to the FK5 frame (Meeus 25.9).
    double lambda = l + 180;
    double beta = -b;
    const double lambdaPrime = lambda - t * (1.397 + t * 0.00031);
    lambda -= 0.09033 / ArcsecondsPerDegree;
    beta += 0.03916 / ArcsecondsPerDegree * (CosDeg(lambdaPrime) - SinDeg(lambdaPrime));

    // Nutation and aberration (20.4898 arcseconds at 1 AU, the light time
    // included) make the apparent longitude of date.
    const Nutation n = NutationAt(t);
    lambda += n.Longitude - 20.4898 / ArcsecondsPerDegree / r;

    // Ecliptic to the true equator of date.
    const double cosBeta = CosDeg(beta), sinBeta = SinDeg(beta);
    const double cosLambda = CosDeg(lambda), sinLambda = SinDeg(lambda);
    const double cosEps = CosDeg(n.TrueObliquity), sinEps = SinDeg(n.TrueObliquity);
    const Vector3 trueOfDate{cosBeta * cosLambda, cosBeta * sinLambda * cosEps - sinBeta * sinEps,
                             cosBeta * sinLambda * sinEps + sinBeta * cosEps};

    ApparentSunPosition s;
    s.RightAscension = Atan2Deg(trueOfDate.Y, trueOfDate.X);
    s.Declination = ArcSinDeg(trueOfDate.Z);
    s.Distance = r * AstronomicalUnit;
    // TEME measures right ascension from the mean equinox, whose place on the
    // true equator is where the sidereal time SGP4 uses (the mean one) puts
    // it: apparent sidereal time is mean sidereal time plus the equation of
    // the equinoxes, so a right ascension from the mean equinox is the true
    // one less that equation. The equator, hence z, is the same.
    const double alpha = s.RightAscension - n.EquationOfEquinoxes();
    s.Teme = s.Distance
             * Vector3{CosDeg(s.Declination) * CosDeg(alpha), CosDeg(s.Declination) * SinDeg(alpha), trueOfDate.Z};
    return s;
}

ApparentSunPosition ApparentSunUtc(double julianDateUtc)
{
    return ApparentSunTT(julianDateUtc + DeltaTSeconds(JulianYear(julianDateUtc)) / 86400);
}

SunDay MakeSunDay(std::int32_t dayNumber)
{
    SunDay table;
    table.DayNumber = dayNumber;
    for (int i = 0; i < 4; ++i)
        table.Nodes[static_cast<std::size_t>(i)] = ApparentSunUtc(JulianDateOf(dayNumber + i - 1, 0)).Teme;
    return table;
}

Vector3 SunAt(const SunDay& table, std::int32_t dayNumber, double dayFraction)
{
    // Lagrange's cubic through the nodes at x = -1, 0, 1, 2.
    const double x = (dayNumber - table.DayNumber) + dayFraction;
    const double a = x + 1, b = x, c = x - 1, d = x - 2;
    const double w0 = -b * c * d / 6, w1 = a * c * d / 2, w2 = -a * b * d / 2, w3 = a * b * c / 6;
    return w0 * table.Nodes[0] + w1 * table.Nodes[1] + w2 * table.Nodes[2] + w3 * table.Nodes[3];
}

SunState SunStateOf(const Vector3& sun, double siderealAngle, bool subSolarPoint)
{
    const double r = Length(sun);
    SunState s{sun.X / r, sun.Y / r, sun.Z / r};
    if (subSolarPoint) PlaceSubSolarPoint(s, siderealAngle);
    return s;
}

} // namespace tavik
