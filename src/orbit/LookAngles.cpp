#include "orbit/LookAngles.h"

#include "astro/Angles.h"
#include "astro/Earth.h"

#include <cmath>

namespace tavik {

// The station on the ellipsoid of radii a (EarthRadius) and b (PolarRadius)
// at geodetic latitude lat and height 0: x, y = (a^2 / D) cos lat (cos lon,
// sin lon) and z = (b^2 / D) sin lat, D = sqrt(a^2 cos^2 lat + b^2 sin^2 lat),
// the exact surface point whose normal is the up vector; textbook geodesy,
// no particular source. Where the radii come from: astro/Earth.h.
StationFrame MakeStationFrame(const PreparedElements& p)
{
    constexpr double EquatorialRadius2 = EarthRadius * EarthRadius; // km^2
    constexpr double PolarRadius2 = PolarRadius * PolarRadius;      // km^2
    const double cl = p.StationCosLat, sl = p.StationSinLat;
    const double co = p.StationCosLon, so = p.StationSinLon;

    StationFrame f;
    double d = std::sqrt(EquatorialRadius2 * (cl * cl) + PolarRadius2 * (sl * sl));
    double req = EquatorialRadius2 / d;
    double rpol = PolarRadius2 / d;
    f.UpX = cl * co;
    f.UpY = cl * so;
    f.UpZ = sl;
    f.EastX = -so;
    f.EastY = co;
    f.NorthX = -sl * co;
    f.NorthY = -sl * so;
    f.NorthZ = cl;
    f.PosX = req * f.UpX;
    f.PosY = req * f.UpY;
    f.PosZ = rpol * f.UpZ;
    return f;
}

AttitudeAxis MakeAttitudeAxis(const Attitude& attitude)
{
    AttitudeAxis a;
    a.Ax = -CosDeg(attitude.AttitudeLat) * CosDeg(attitude.AttitudeLon);
    a.Ay = -CosDeg(attitude.AttitudeLat) * SinDeg(attitude.AttitudeLon);
    a.Az = -SinDeg(attitude.AttitudeLat);
    return a;
}

LookState LookAngles(const CurrentElementSet& el, const PreparedElements& p, const OrbitState& o,
                     const Attitude& attitude)
{
    LookState s;
    LookAnglesInto(s, MakeStationFrame(p), MakeAttitudeAxis(attitude), el, p, o);
    return s;
}

namespace {

// Inline pieces of LookAnglesInto that the SGP4 model shares; inline so
// that the classic model's step does not pay for calls.
inline void StationInto(LookState& s, const StationFrame& f)
{
    s.StationUpX = f.UpX;
    s.StationUpY = f.UpY;
    s.StationUpZ = f.UpZ;
    s.StationEastX = f.EastX;
    s.StationEastY = f.EastY;
    s.StationEastZ = 0;
    s.StationNorthX = f.NorthX;
    s.StationNorthY = f.NorthY;
    s.StationNorthZ = f.NorthZ;
    s.StationPosX = f.PosX;
    s.StationPosY = f.PosY;
    s.StationPosZ = f.PosZ;
}

// Orbit plane to celestial frame: the rotation by the argument of perigee,
// the inclination and the node, Rz(node) Rx(i) Rz(perigee), written out;
// textbook orbit geometry, no particular source.
inline void Rotation(LookState& s, const OrbitPlaneAngles& a, const AttitudeAxis& axis)
{
    const double cw = a.CosArgPerigee, sw = a.SinArgPerigee;
    const double cq = a.CosRAAN, sq = a.SinRAAN;
    const double ci = a.CosIncl, si = a.SinIncl;
    s.RotXx = cw * cq - sw * ci * sq;
    s.RotXy = -sw * cq - cw * ci * sq;
    s.RotXz = si * sq;
    s.RotYx = cw * sq + sw * ci * cq;
    s.RotYy = -sw * sq + cw * ci * cq;
    s.RotYz = -si * cq;
    s.RotZx = sw * si;
    s.RotZy = cw * si;
    s.RotZz = ci;

    const double ax = axis.Ax, ay = axis.Ay, az = axis.Az;
    s.AttitudeCelX = ax * s.RotXx + ay * s.RotXy + az * s.RotXz;
    s.AttitudeCelY = ax * s.RotYx + ay * s.RotYy + az * s.RotYz;
    s.AttitudeCelZ = ax * s.RotZx + ay * s.RotZy + az * s.RotZz;
}

inline void AzimuthElevation(LookState& s, const OrbitState& o)
{
    // Earth-fixed: turn by minus the sidereal angle about z.
    double sx = s.SatCelX * o.CosMinusSidereal - s.SatCelY * o.SinMinusSidereal;
    double sy = s.SatCelX * o.SinMinusSidereal + s.SatCelY * o.CosMinusSidereal;
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
}

} // namespace

void LookAnglesInto(LookState& s, const StationFrame& f, const AttitudeAxis& axis, const CurrentElementSet& el,
                    const PreparedElements& p, const OrbitState& o)
{
    StationInto(s, f);
    double px = o.SemiMajorAxis * (o.CosEccAnomaly - el.Eccentricity);
    double py = o.SemiMinorAxis * o.SinEccAnomaly;
    Rotation(s, {o.CosArgPerigee, o.SinArgPerigee, o.CosRAAN, o.SinRAAN, p.CosIncl, p.SinIncl}, axis);

    s.SatCelX = px * s.RotXx + py * s.RotXy;
    s.SatCelY = px * s.RotYx + py * s.RotYy;
    s.SatCelZ = px * s.RotZx + py * s.RotZy;

    AzimuthElevation(s, o);
}

void LookAnglesFromPosition(LookState& s, const StationFrame& f, const AttitudeAxis& axis,
                            const OrbitPlaneAngles& plane, const Vector3& satellite, const OrbitState& o)
{
    StationInto(s, f);
    Rotation(s, plane, axis);
    s.SatCelX = satellite.X;
    s.SatCelY = satellite.Y;
    s.SatCelZ = satellite.Z;
    AzimuthElevation(s, o);
}

// In a frame turning at w about z, a velocity v seen from the fixed frame is
// v - w x r (r and v already turned into it); the range rate is the
// line-of-sight part of that velocity, (r - site) . v / |r - site|. Textbook
// kinematics, as SGP4's TEME velocity is taken to the pseudo-Earth-fixed
// frame in Vallado et al., AIAA 2006-6753, appendix C.
double RangeRate(const LookState& s, const OrbitState& o, const Vector3& v)
{
    const double c = o.CosMinusSidereal, sn = o.SinMinusSidereal;
    const Vector3 r{s.SatCelX * c - s.SatCelY * sn, s.SatCelX * sn + s.SatCelY * c, s.SatCelZ};
    const Vector3 turned{v.X * c - v.Y * sn, v.X * sn + v.Y * c, v.Z};
    const Vector3 spin{0, 0, EarthRotationRate};
    const Vector3 relative = turned - Cross(spin, r);
    const Vector3 line = r - Vector3{s.StationPosX, s.StationPosY, s.StationPosZ};
    return Dot(line, relative) / Length(line);
}

} // namespace tavik
