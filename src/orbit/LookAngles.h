// Station on the ellipsoid, the satellite and the attitude axis in the
// celestial frame, and azimuth and elevation from the station.
#pragma once

#include "astro/Vector3.h"
#include "orbit/Attitude.h"
#include "orbit/Elements.h"
#include "orbit/Propagation.h"

namespace tavik {

struct LookState {
    // Earth-fixed unit vectors and position (km) of the station.
    double StationUpX = 0, StationUpY = 0, StationUpZ = 0;
    double StationEastX = 0, StationEastY = 0, StationEastZ = 0;
    double StationNorthX = 0, StationNorthY = 0, StationNorthZ = 0;
    double StationPosX = 0, StationPosY = 0, StationPosZ = 0;
    // Orbit plane to celestial: row is the celestial axis, column the orbit-plane axis.
    double RotXx = 0, RotXy = 0, RotXz = 0;
    double RotYx = 0, RotYy = 0, RotYz = 0;
    double RotZx = 0, RotZy = 0, RotZz = 0;
    double SatCelX = 0, SatCelY = 0, SatCelZ = 0;                // celestial, km
    double AttitudeCelX = 0, AttitudeCelY = 0, AttitudeCelZ = 0; // celestial, unit vector
    double Range = 0;                                            // km, station to satellite
    double SatAzimuth = 0;                                       // degrees 0 up to 360, from north through east
    double SatElevation = 0;                                     // degrees -90..90
};

// The station's local axes and position on the ellipsoid (Earth-fixed),
// which depend on the station alone.
struct StationFrame {
    double UpX = 0, UpY = 0, UpZ = 0;
    double EastX = 0, EastY = 0; // the east vector has no z part
    double NorthX = 0, NorthY = 0, NorthZ = 0;
    double PosX = 0, PosY = 0, PosZ = 0; // km
};

// The attitude axis in the orbit-plane frame, from the plane angles (the
// kinds set as a vector each instant replace it after the rotation).
struct AttitudeAxis {
    double Ax = -1, Ay = 0, Az = 0;
};

StationFrame MakeStationFrame(const PreparedElements& prepared);
AttitudeAxis MakeAttitudeAxis(const Attitude& attitude);

LookState LookAngles(const CurrentElementSet& elements, const PreparedElements& prepared, const OrbitState& orbit,
                     const Attitude& attitude);
// The same with the station frame and attitude axis computed beforehand,
// written into out, every field.
void LookAnglesInto(LookState& out, const StationFrame& frame, const AttitudeAxis& axis,
                    const CurrentElementSet& elements, const PreparedElements& prepared, const OrbitState& orbit);

// The cosines and sines of the angles that place the orbit plane and its
// perigee in the sky.
struct OrbitPlaneAngles {
    double CosArgPerigee = 1, SinArgPerigee = 0;
    double CosRAAN = 1, SinRAAN = 0;
    double CosIncl = 1, SinIncl = 0;
};

// The same chain from a satellite position already in the celestial frame
// (the SGP4 model's TEME position): the station, the rotation and the
// attitude axis from plane, the look angles with orbit's sidereal angle.
void LookAnglesFromPosition(LookState& out, const StationFrame& frame, const AttitudeAxis& axis,
                            const OrbitPlaneAngles& plane, const Vector3& satellite, const OrbitState& orbit);

// How fast the range grows (km/s; negative while the satellite comes
// closer), from the satellite's celestial velocity (km/s) and the look
// state and sidereal angle of the same instant. The station turns with the
// Earth, so the velocity is taken into the Earth-fixed frame, where the
// station stands still.
double RangeRate(const LookState& look, const OrbitState& orbit, const Vector3& velocity);

} // namespace tavik
