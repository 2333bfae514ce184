// Low-precision analytic sun: epoch 1989 December 31 0h UT, fixed obliquity,
// two-term equation of centre. No nutation, aberration or parallax.
#pragma once

#include <cstdint>

namespace tavik {

struct SunState {
    // Unit vector toward the sun, celestial frame (x to the vernal equinox,
    // z to the north celestial pole).
    double SunX = 0, SunY = 0, SunZ = 0;
    double SubSolarLat = 0; // degrees, north positive
    double SubSolarLon = 0; // degrees, west positive, -180..180
};

// The sun at DayNumber calcDayNumber plus calcDayFraction; siderealAngle in
// degrees places the sub-solar point on the rotating Earth.
// Without subSolarPoint only the sun vector is computed: the forecast run
// reads nothing else, and the sub-solar point costs two arctangents.
SunState SunPosition(std::int32_t calcDayNumber, double calcDayFraction, double siderealAngle,
                     bool subSolarPoint = true);

// The sub-solar point under the sun vector of s, written into s.
void PlaceSubSolarPoint(SunState& s, double siderealAngle);

// The astronomical unit as the IAU fixed it in 2012 (Resolution B2:
// exactly 149 597 870 700 m).
inline constexpr double AstronomicalUnit = 149597870.7; // km

// The Sun's distance from the Earth's centre, km, from the mean anomaly g of
// the same model: 1.00014 - 0.01671 cos g - 0.00014 cos 2g astronomical
// units. Source not confirmed: the coefficients match, digit for digit, the
// Astronomical Almanac's low-precision formula for the Sun's distance as
// recalled (its section C, valid 1950-2050; edition and page not checked),
// where g is 357.528 + 0.9856003 n, n days from J2000.0; this model's g is
// 0.0025 degrees smaller at J2000.0.
double SunDistance(std::int32_t calcDayNumber, double calcDayFraction);

} // namespace tavik
