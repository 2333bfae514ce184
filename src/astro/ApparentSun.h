// The apparent geocentric Sun to about an arcsecond, for the SGP4 model: the
// Earth's heliocentric place from a truncated VSOP87, nutation, aberration and
// Delta T, given in the frame of the SGP4 state (true equator, mean equinox).
// The classic model keeps its own low-precision Sun (Sun.h).
#pragma once

#include "astro/Sun.h"
#include "astro/Vector3.h"

#include <array>
#include <cstdint>

namespace tavik {

// Terrestrial time less universal time, seconds, for a year with fraction
// (2000.5 is 2000 July 2).
double DeltaTSeconds(double decimalYear);

// Nutation in longitude and in obliquity, and the true obliquity, all degrees,
// at t Julian centuries of terrestrial time from J2000.0.
struct Nutation {
    double Longitude = 0;     // delta psi
    double Obliquity = 0;     // delta epsilon
    double TrueObliquity = 0; // mean obliquity plus delta epsilon
    // How far the true equinox lies from the mean one along the equator, degrees:
    // apparent less mean sidereal time.
    double EquationOfEquinoxes() const;
};
Nutation NutationAt(double centuriesTT);

struct ApparentSunPosition {
    // True equator and equinox of date, degrees.
    double RightAscension = 0; // 0 up to 360
    double Declination = 0;
    double Distance = 0; // km, the Earth's centre to the Sun's
    // The same place as a vector in TEME, km: true equator, mean equinox.
    Vector3 Teme;
};

// The Earth seen from the Sun, ecliptic and equinox of date, from the
// truncated VSOP87D series of Meeus's Appendix III: longitude and latitude
// in radians (the longitude not reduced to one turn), distance in AU.
struct HeliocentricEarth {
    double Longitude = 0, Latitude = 0, Distance = 0;
};
HeliocentricEarth EarthFromTheSun(double julianDateTT);

// The apparent Sun at a Julian Date of terrestrial time.
ApparentSunPosition ApparentSunTT(double julianDateTT);
// The apparent Sun at a Julian Date of UTC (taken as UT1: they differ by
// under a second, in which the Sun moves 0.04 arcseconds).
ApparentSunPosition ApparentSunUtc(double julianDateUtc);

// The Sun of one UTC day, cheap at any instant of it: the exact vector at 0h UT
// of the day before, the day, the day after and the one after that, joined by
// the cubic through them. The cubic strays from the exact Sun by under 1e-8 of
// its distance (a thousandth of an arcsecond) within the day.
struct SunDay {
    std::int32_t DayNumber = 0;
    std::array<Vector3, 4> Nodes{}; // km, TEME, at DayNumber - 1 ... DayNumber + 2
};

SunDay MakeSunDay(std::int32_t dayNumber);

// The Sun in TEME, km, at dayNumber plus dayFraction; meant for instants of
// the table's day (its midnight at either end included).
Vector3 SunAt(const SunDay& table, std::int32_t dayNumber, double dayFraction);

// The same as the unit vector the illumination steps read, with the sub-solar
// point (as the classic Sun places it) when asked for.
SunState SunStateOf(const Vector3& sun, double siderealAngle, bool subSolarPoint);

} // namespace tavik
