// The Earth's figure as the calculation uses it.
#pragma once

namespace tavik {

inline constexpr double EarthRadius = 6378.137; // km, equatorial
inline constexpr double PolarRadius = 6356.785; // km, for the station's place on the ellipsoid

} // namespace tavik
