// Sun angle against the spacecraft's attitude axis, illumination, and the
// cylindrical shadow test.
#pragma once

#include "astro/Earth.h"
#include "astro/Sun.h"

#include <cstdint>

namespace tavik {

// Radius of the shadow cylinder, km: the Earth's equatorial radius (WGS 84,
// see Earth.h). The cylinder takes the Sun as a point at infinite distance,
// so it has neither penumbra nor umbra cone; elementary geometry, no source.
inline constexpr double ShadowRadius = EarthRadius;

struct SunAngleResult {
    SunState Sun;
    double SunAngle = 0;     // degrees, -90..90
    double Illumination = 0; // 0..1; 0 while the satellite was in shadow
};

// Runs SunPosition, then the sun angle. inEclipse is the shadow flag as it
// stands when this runs, which inside a step is the previous instant's: the
// shadow test of the current instant comes after.
SunAngleResult ComputeSunAngle(std::int32_t calcDayNumber, double calcDayFraction, double siderealAngle,
                               double attitudeCelX, double attitudeCelY, double attitudeCelZ, bool inEclipse,
                               bool subSolarPoint = true);

// The sun angle and illumination for a sun already placed (the SGP4 model
// brings its own).
SunAngleResult SunAngleFor(const SunState& sun, double attitudeCelX, double attitudeCelY, double attitudeCelZ,
                           bool inEclipse);

// True while the satellite (celestial frame, km) is inside the shadow
// cylinder behind the Earth. Both comparisons are strict.
bool ComputeEclipse(const SunState& sun, double satCelX, double satCelY, double satCelZ, double orbitRadius);

} // namespace tavik
