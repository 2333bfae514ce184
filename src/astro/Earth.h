// The Earth's figure as the calculation uses it.
#pragma once

namespace tavik {

// The equatorial radius of WGS 84, one of its defining parameters (NIMA
// TR8350.2, Department of Defense World Geodetic System 1984, 3rd ed., 2000,
// ch. 3; table number not checked), the same as GRS 80's.
inline constexpr double EarthRadius = 6378.137; // km, equatorial
// Source not confirmed. It is not the polar radius of WGS 84 or GRS 80
// (6356.752 km, from the flattening 1/298.257) nor of WGS 72 (6356.751 km);
// with the equatorial radius above it makes a flattening of 1/298.71. The
// station comes out less than 40 m from where WGS 84 puts it, nothing
// against the 400 km a low satellite covers in a minute's step; kept, since
// the station positions of the reference figures were computed with it.
inline constexpr double PolarRadius = 6356.785; // km, for the station's place on the ellipsoid

// The Earth's rotation at the rate the sidereal angle turns
// (astro/TimeScales.cpp): 360.98564736629 degrees per day of UT, so that a
// station's velocity agrees with the angle that places it.
inline constexpr double EarthRotationRate = 360.98564736629 / 86400.0 * 3.14159265358979323846 / 180.0; // rad/s

} // namespace tavik
