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

inline constexpr double AstronomicalUnit = 149597870.7; // km

// The Sun's distance from the Earth's centre, km, from the mean anomaly g of
// the same model: 1.00014 - 0.01671 cos g - 0.00014 cos 2g astronomical
// units (the almanac's low-precision formula).
double SunDistance(std::int32_t calcDayNumber, double calcDayFraction);

} // namespace tavik
