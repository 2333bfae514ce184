// The Earth's shadow as cones: the umbra, where the Earth hides the whole
// Sun, and the penumbra, where it hides part of it, from the sizes of the
// Earth and the Sun and the Sun's distance. Beside the shadow cylinder of
// ComputeEclipse, which takes the Sun as a point at infinite distance.
#pragma once

#include "astro/Sun.h"
#include "astro/Vector3.h"

namespace tavik {

// The round solar radius long used in eclipse work; the nominal value of
// IAU 2015 Resolution B3 is 695,700 km. The larger one matters only for the
// shallowest grazes (a second on a graze of a few seconds), and it is the
// one the independent shadow checks take.
inline constexpr double SunRadius = 696000; // km

enum class ShadowZone { Sunlit, Penumbra, Umbra };

struct ConeShadow {
    ShadowZone Zone = ShadowZone::Sunlit;
    double SunFraction = 1; // the part of the Sun's disc the satellite sees, 0 to 1
    // The angle between the two discs' centres less the sum of their radii,
    // degrees: below 0 the Earth hides part of the Sun. Smooth where the
    // zone is not, so a passage through the penumbra between two samples
    // shows as a dip toward 0 in the samples around it.
    double Margin = 0;
};

// satellite: position from the Earth's centre, km; sun: the direction toward
// the Sun (SunX, SunY, SunZ, same frame); sunDistance, earthRadius and
// sunRadius in km. The Sun and the Earth are taken as the discs they show
// from the satellite. Exactly on the umbra's edge counts as umbra, exactly on
// the penumbra's outer edge as sunlit. Past the umbra's tip, where the Earth
// shows smaller than the Sun, a ring of Sun around it counts as penumbra.
ConeShadow ConicalShadow(const Vector3& satellite, const SunState& sun, double sunDistance, double earthRadius,
                         double sunRadius);

} // namespace tavik
