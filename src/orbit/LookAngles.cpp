#include "orbit/LookAngles.h"

#include "astro/Angles.h"

#include <cmath>

namespace tavik {

LookState LookAngles(const CurrentElementSet& el, const PreparedElements& p, const OrbitState& o,
                     const Attitude& attitude)
{
    constexpr double EquatorialRadius2 = 40680631.59076899; // 6378.137^2, km^2
    constexpr double PolarRadius2 = 40408715.536225;        // 6356.785^2, km^2
    const double cl = p.StationCosLat, sl = p.StationSinLat;
    const double co = p.StationCosLon, so = p.StationSinLon;

    LookState s;
    double d = std::sqrt(EquatorialRadius2 * (cl * cl) + PolarRadius2 * (sl * sl));
    double req = EquatorialRadius2 / d;
    double rpol = PolarRadius2 / d;

    s.StationUpX = cl * co;
    s.StationUpY = cl * so;
    s.StationUpZ = sl;
    s.StationEastX = -so;
    s.StationEastY = co;
    s.StationNorthX = -sl * co;
    s.StationNorthY = -sl * so;
    s.StationNorthZ = cl;
    s.StationPosX = req * s.StationUpX;
    s.StationPosY = req * s.StationUpY;
    s.StationPosZ = rpol * s.StationUpZ;

    double ax = -CosDeg(attitude.AttitudeLat) * CosDeg(attitude.AttitudeLon);
    double ay = -CosDeg(attitude.AttitudeLat) * SinDeg(attitude.AttitudeLon);
    double az = -SinDeg(attitude.AttitudeLat);

    double px = o.SemiMajorAxis * (o.CosEccAnomaly - el.Eccentricity);
    double py = o.SemiMinorAxis * o.SinEccAnomaly;

    const double cw = o.CosArgPerigee, sw = o.SinArgPerigee;
    const double cq = o.CosRAAN, sq = o.SinRAAN;
    const double ci = p.CosIncl, si = p.SinIncl;
    s.RotXx = cw * cq - sw * ci * sq;
    s.RotXy = -sw * cq - cw * ci * sq;
    s.RotXz = si * sq;
    s.RotYx = cw * sq + sw * ci * cq;
    s.RotYy = -sw * sq + cw * ci * cq;
    s.RotYz = -si * cq;
    s.RotZx = sw * si;
    s.RotZy = cw * si;
    s.RotZz = ci;

    s.SatCelX = px * s.RotXx + py * s.RotXy;
    s.SatCelY = px * s.RotYx + py * s.RotYy;
    s.SatCelZ = px * s.RotZx + py * s.RotZy;

    s.AttitudeCelX = ax * s.RotXx + ay * s.RotXy + az * s.RotXz;
    s.AttitudeCelY = ax * s.RotYx + ay * s.RotYy + az * s.RotYz;
    s.AttitudeCelZ = ax * s.RotZx + ay * s.RotZy + az * s.RotZz;

    // Earth-fixed: turn by minus the sidereal angle about z.
    double sx = s.SatCelX * o.CosSidereal - s.SatCelY * o.SinSidereal;
    double sy = s.SatCelX * o.SinSidereal + s.SatCelY * o.CosSidereal;
    double sz = s.SatCelZ;

    double rx = sx - s.StationPosX;
    double ry = sy - s.StationPosY;
    double rz = sz - s.StationPosZ;
    s.Range = std::sqrt(rx * rx + ry * ry + rz * rz);
    rx /= s.Range;
    ry /= s.Range;
    rz /= s.Range;

    double up = rx * s.StationUpX + ry * s.StationUpY + rz * s.StationUpZ;
    double east = rx * s.StationEastX + ry * s.StationEastY; // the east vector has no z part
    double north = rx * s.StationNorthX + ry * s.StationNorthY + rz * s.StationNorthZ;
    s.SatAzimuth = Atan2Deg(east, north);
    s.SatElevation = ArcSinDeg(up);
    return s;
}

} // namespace tavik
