#include "forecast/ComputeState.h"

#include "astro/Angles.h"
#include "astro/Shadow.h"

#include <cmath>
#include <limits>

namespace tavik {

CalcInstant CalcInstantOf(DateTime t)
{
    const CalendarFields f = t.Fields();
    CalcInstant at;
    at.CalcDay = static_cast<std::int16_t>(f.Day);
    at.CalcMonth = static_cast<std::int16_t>(f.Month);
    at.CalcYear = static_cast<std::int16_t>(f.Year);
    at.CalcHour = f.Hour;
    at.CalcMinute = f.Minute;
    at.CalcSecond = f.Second;
    return at;
}

DateTime DateTimeOf(const CalcInstant& at)
{
    const auto day = DateTime::FromCalendar(at.CalcYear, at.CalcMonth, at.CalcDay).value_or(DateTime{});
    return day.AddSeconds(std::llround(at.CalcHour * 3600 + at.CalcMinute * 60 + at.CalcSecond));
}

StepConstants MakeStepConstants(const CurrentElementSet& elements, const Station& station, const Attitude& attitude)
{
    StepConstants c;
    c.Prepared = PrepareElements(elements, station);
    c.Epoch = SplitEpoch(elements.Epoch);
    c.Frame = MakeStationFrame(c.Prepared);
    c.Axis = MakeAttitudeAxis(attitude);
    c.Kind = attitude.Kind;
    const double cd = CosDeg(attitude.Declination);
    c.InertialAxis = {cd * CosDeg(attitude.RightAscension), cd * SinDeg(attitude.RightAscension),
                      SinDeg(attitude.Declination)};
    return c;
}

namespace {

Vector3 Unit(const Vector3& v)
{
    const double length = Length(v);
    return length > 0 ? Vector3{v.X / length, v.Y / length, v.Z / length} : Vector3{};
}

// The axis of the kinds set as a vector each instant, in the frame of the
// chain's celestial vectors, into the look state where the sun angle reads
// it. velocity may have any length; only its direction counts.
void FlownAxisInto(LookState& look, const StepConstants& c, const SunState& sun, const Vector3& velocity)
{
    const Vector3 r{look.SatCelX, look.SatCelY, look.SatCelZ};
    Vector3 axis;
    switch (c.Kind) {
    case AttitudeKind::Plane: return;
    case AttitudeKind::Sun: axis = {sun.SunX, sun.SunY, sun.SunZ}; break;
    case AttitudeKind::Nadir: axis = Unit(Vector3{-r.X, -r.Y, -r.Z}); break;
    case AttitudeKind::OrbitNormal: axis = Unit(Cross(r, velocity)); break;
    case AttitudeKind::Velocity: axis = Unit(velocity); break;
    case AttitudeKind::Inertial: axis = c.InertialAxis; break;
    }
    look.AttitudeCelX = axis.X;
    look.AttitudeCelY = axis.Y;
    look.AttitudeCelZ = axis.Z;
}

// The classic model's velocity direction: on the Kepler ellipse the orbit-plane
// position is (a (cos E - e), b sin E), so its time derivative is
// (-a sin E, b cos E) dE/dt with dE/dt > 0; the positive factor is left out.
// Turned into the celestial frame with the instant's rotation. The drift of
// node and perigee is left out: it turns the motion by a few hundredths of a
// degree in a low orbit.
Vector3 KeplerVelocityDirection(const LookState& look, const OrbitState& o)
{
    const double vx = -o.SemiMajorAxis * o.SinEccAnomaly;
    const double vy = o.SemiMinorAxis * o.CosEccAnomaly;
    return {vx * look.RotXx + vy * look.RotXy, vx * look.RotYx + vy * look.RotYy, vx * look.RotZx + vy * look.RotZy};
}

} // namespace

void ComputeStateOn(StepState& s, const StepConstants& c, const DayTerms& day, const CurrentElementSet& elements,
                    const CalcInstant& instant, ShadowCarry& carry, bool subSolarPoint)
{
    SatellitePositionInto(s.Orbit, elements, c.Prepared, c.Epoch, day, instant);
    LookAnglesInto(s.Look, c.Frame, c.Axis, elements, c.Prepared, s.Orbit);
    if (c.Kind == AttitudeKind::Plane) {
        s.Light =
            ComputeSunAngle(s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction, s.Orbit.SiderealAngle, s.Look.AttitudeCelX,
                            s.Look.AttitudeCelY, s.Look.AttitudeCelZ, carry.InEclipse, subSolarPoint);
    } else {
        // The same two steps as ComputeSunAngle, with the axis set in between.
        const SunState sun =
            SunPosition(s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction, s.Orbit.SiderealAngle, subSolarPoint);
        FlownAxisInto(s.Look, c, sun, KeplerVelocityDirection(s.Look, s.Orbit));
        s.Light = SunAngleFor(sun, s.Look.AttitudeCelX, s.Look.AttitudeCelY, s.Look.AttitudeCelZ, carry.InEclipse);
    }
    carry.InEclipse = ComputeEclipse(s.Light.Sun, s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ, s.Orbit.OrbitRadius);
    s.InEclipse = carry.InEclipse;
    carry.SunFraction = 1;
    s.ShadowMargin = std::numeric_limits<double>::infinity();
    s.HasVelocity = false;
}

void ComputePreciseStateOn(StepState& s, const StepConstants& c, const Sgp4& model, const DayTerms& day,
                           const SunDay& sun, const CalcInstant& instant, ShadowCarry& carry, ResonanceCarry& resonance,
                           bool subSolarPoint)
{
    InstantTermsInto(s.Orbit, c.Epoch, day, instant);
    const Sgp4State orbit = model.StateAt(s.Orbit.DaysSinceEpoch * 1440.0, resonance);
    s.OrbitStop = orbit.Stop;
    s.SatVelocity = orbit.Velocity;
    s.HasVelocity = orbit.Stop == Sgp4Stop::None;
    if (orbit.Stop != Sgp4Stop::None) return;
    s.Orbit.OrbitRadius = Length(orbit.Position);
    s.Orbit.SatHeight = s.Orbit.OrbitRadius - EarthRadius;

    const OrbitPlaneAngles plane{std::cos(orbit.MeanArgPerigee),  std::sin(orbit.MeanArgPerigee),
                                 std::cos(orbit.MeanNode),        std::sin(orbit.MeanNode),
                                 std::cos(orbit.MeanInclination), std::sin(orbit.MeanInclination)};
    LookAnglesFromPosition(s.Look, c.Frame, c.Axis, plane, orbit.Position, s.Orbit);

    const Vector3 toSun = SunAt(sun, s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction);
    const SunState sunState = SunStateOf(toSun, s.Orbit.SiderealAngle, subSolarPoint);
    if (c.Kind != AttitudeKind::Plane) FlownAxisInto(s.Look, c, sunState, orbit.Velocity);
    s.Light = SunAngleFor(sunState, s.Look.AttitudeCelX, s.Look.AttitudeCelY, s.Look.AttitudeCelZ, carry.InEclipse);
    // Like the flag, the share of the disc is the previous instant's.
    if (!carry.InEclipse) s.Light.Illumination *= carry.SunFraction;

    const ConeShadow shadow = ConicalShadow(orbit.Position, s.Light.Sun, Length(toSun), EarthRadius, SunRadius);
    carry.InEclipse = shadow.Zone == ShadowZone::Umbra;
    carry.SunFraction = shadow.SunFraction;
    s.InEclipse = carry.InEclipse;
    s.SunFraction = shadow.SunFraction;
    s.ShadowMargin = shadow.Margin;
}

StepState ComputeState(const CurrentElementSet& elements, const Station& station, const Attitude& attitude,
                       const CalcInstant& instant, ShadowCarry& carry)
{
    // Every constant is recomputed at every step, in the chain's own order.
    StepState s;
    ComputeStateOn(s, MakeStepConstants(elements, station, attitude), MakeDayTerms(instant), elements, instant, carry,
                   true);
    return s;
}

} // namespace tavik
