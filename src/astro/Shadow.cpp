#include "astro/Shadow.h"

#include "astro/Angles.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Angular radius, radians, of a sphere of the given radius at the given
// distance; a point on or inside the sphere sees it fill half the sky.
double ApparentRadius(double radius, double distance)
{
    return distance > radius ? std::asin(radius / distance) : Pi / 2;
}

} // namespace

ConeShadow ConicalShadow(const Vector3& satellite, const SunState& sun, double sunDistance, double earthRadius,
                         double sunRadius)
{
    const Vector3 toSun = sunDistance * Vector3{sun.SunX, sun.SunY, sun.SunZ} - satellite;
    const Vector3 toEarth = -satellite;
    const double a = ApparentRadius(sunRadius, Length(toSun));
    const double b = ApparentRadius(earthRadius, Length(toEarth));
    const double c = AngleBetween(toSun, toEarth); // between the two discs' centres

    ConeShadow s;
    s.Margin = (c - (a + b)) * DegPerRadian;
    if (c >= a + b) return s;
    s.Zone = ShadowZone::Penumbra;
    if (c <= b - a) {
        s.Zone = ShadowZone::Umbra;
        s.SunFraction = 0;
    } else if (c <= a - b) {
        s.SunFraction = 1 - (b * b) / (a * a);
    } else {
        // Overlap of two discs: the chord through their crossing points
        // lies x from the Sun's centre and is 2y long. Each disc's part
        // beyond the chord is a circular segment, r^2 (t - sin t cos t) with
        // t its half-angle; plane geometry, no particular source.
        const double x = (c * c + a * a - b * b) / (2 * c);
        const double y = std::sqrt(std::max(0.0, a * a - x * x));
        const double hidden = a * a * std::atan2(y, x) + b * b * std::atan2(y, c - x) - c * y;
        s.SunFraction = std::clamp(1 - hidden / (Pi * a * a), 0.0, 1.0);
    }
    return s;
}

} // namespace tavik
