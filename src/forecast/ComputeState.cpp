#include "forecast/ComputeState.h"

#include "astro/Shadow.h"

#include <cmath>

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
    return c;
}

void ComputeStateOn(StepState& s, const StepConstants& c, const DayTerms& day, const CurrentElementSet& elements,
                    const CalcInstant& instant, ShadowCarry& carry, bool subSolarPoint)
{
    SatellitePositionInto(s.Orbit, elements, c.Prepared, c.Epoch, day, instant);
    LookAnglesInto(s.Look, c.Frame, c.Axis, elements, c.Prepared, s.Orbit);
    s.Light =
        ComputeSunAngle(s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction, s.Orbit.SiderealAngle, s.Look.AttitudeCelX,
                        s.Look.AttitudeCelY, s.Look.AttitudeCelZ, carry.InEclipse, subSolarPoint);
    carry.InEclipse = ComputeEclipse(s.Light.Sun, s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ, s.Orbit.OrbitRadius);
    s.InEclipse = carry.InEclipse;
    carry.SunFraction = 1;
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
    s.Light = SunAngleFor(SunStateOf(toSun, s.Orbit.SiderealAngle, subSolarPoint), s.Look.AttitudeCelX,
                          s.Look.AttitudeCelY, s.Look.AttitudeCelZ, carry.InEclipse);
    // Like the flag, the share of the disc is the previous instant's.
    if (!carry.InEclipse) s.Light.Illumination *= carry.SunFraction;

    const ConeShadow shadow = ConicalShadow(orbit.Position, s.Light.Sun, Length(toSun), EarthRadius, SunRadius);
    carry.InEclipse = shadow.Zone == ShadowZone::Umbra;
    carry.SunFraction = shadow.SunFraction;
    s.InEclipse = carry.InEclipse;
    s.SunFraction = shadow.SunFraction;
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
