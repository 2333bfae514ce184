// The per-instant calculation chain shared by the forecast run and the year
// file: elements, position, look angles, sun angle, shadow, in that order.
#pragma once

#include "astro/ApparentSun.h"
#include "astro/Illumination.h"
#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "orbit/Elements.h"
#include "orbit/LookAngles.h"
#include "orbit/Propagation.h"
#include "orbit/Sgp4.h"
#include "platform/DateTime.h"

namespace tavik {

// What one instant leaves for the next: the shadow flag. The sun-angle step
// runs before the shadow test, so an instant's illumination is computed with
// the previous instant's flag: sunlit for the first minute of an eclipse, 0
// for the first minute after it. False until the first shadow test.
struct ShadowCarry {
    bool InEclipse = false;
    // The SGP4 model's penumbra: the share of the Sun's disc seen at the
    // previous instant, which scales its illumination as the flag zeroes it.
    // The classic model keeps it at 1.
    double SunFraction = 1;
};

struct StepState {
    OrbitState Orbit;
    LookState Look;
    SunAngleResult Light;
    bool InEclipse = false;
    double SunFraction = 1; // the Sun's disc seen; below 1 only in the SGP4 model's penumbra
    // The SGP4 model's ConeShadow::Margin, degrees; the classic model's
    // cylinder has no penumbra to come near: infinity.
    double ShadowMargin = 0;
    Sgp4Stop OrbitStop = Sgp4Stop::None; // the SGP4 model could not go on; nothing else holds
    // The satellite's celestial velocity, km/s: SGP4 gives it with the
    // position; the classic model's Kepler step does not (HasVelocity false).
    Vector3 SatVelocity;
    bool HasVelocity = false;

    double SatHeight() const { return Orbit.SatHeight; }
    double SatAzimuth() const { return Look.SatAzimuth; }
    double SatElevation() const { return Look.SatElevation; }
    double SunAngle() const { return Light.SunAngle; }
    double Illumination() const { return Light.Illumination; }
    const SunState& Sun() const { return Light.Sun; }
};

// The calculation instant of a date-time: its UTC calendar fields.
CalcInstant CalcInstantOf(DateTime t);
DateTime DateTimeOf(const CalcInstant& at);

// Runs PrepareElements, SatellitePosition, LookAngles, ComputeSunAngle and
// ComputeEclipse for the instant; reads and then updates carry.InEclipse.
StepState ComputeState(const CurrentElementSet& elements, const Station& station, const Attitude& attitude,
                       const CalcInstant& instant, ShadowCarry& carry);

// Everything of the chain that depends only on the element set, the station
// and the attitude. Computing it once per run gives the same doubles as
// computing it at every step, only faster.
struct StepConstants {
    PreparedElements Prepared;
    EpochSplit Epoch;
    StationFrame Frame;
    AttitudeAxis Axis;                       // the plane angles' axis
    AttitudeKind Kind = AttitudeKind::Plane; // other kinds set the celestial axis each instant
    Vector3 InertialAxis;                    // celestial unit vector of the inertial kind
};

StepConstants MakeStepConstants(const CurrentElementSet& elements, const Station& station, const Attitude& attitude);

// The chain for one instant with the constants computed beforehand and the
// day's terms once per calendar day, written into s (every field). The
// forecast run reads no sub-solar point and may leave it out.
void ComputeStateOn(StepState& s, const StepConstants& constants, const DayTerms& day,
                    const CurrentElementSet& elements, const CalcInstant& instant, ShadowCarry& carry,
                    bool subSolarPoint);

// The same chain in the SGP4 model: the orbit from SGP4/SDP4 (the TEME
// position at the instant's time since epoch; the attitude axis's orbit
// plane from its secularly updated mean node, inclination and argument of
// perigee), the look angles with the design's sidereal angle and station,
// the apparent Sun in TEME from sun (the table of the instant's day, or of the
// day before for its minute 1440) with the design's sun angle, and the
// conical shadow with that Sun's true distance, eclipse meaning the umbra and
// the illumination scaled by the visible share of the Sun's disc. resonance
// carries the deep-space integration from instant to instant. When SGP4
// stops, s.OrbitStop says why and the carry is unchanged.
void ComputePreciseStateOn(StepState& s, const StepConstants& constants, const Sgp4& model, const DayTerms& day,
                           const SunDay& sun, const CalcInstant& instant, ShadowCarry& carry, ResonanceCarry& resonance,
                           bool subSolarPoint);

} // namespace tavik
