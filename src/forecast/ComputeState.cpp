#include "forecast/ComputeState.h"

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

StepConstants MakeStepConstants(const CurrentElementSet& elements, const Station& station,
                                const Attitude& attitude)
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
    s.Light = ComputeSunAngle(s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction, s.Orbit.SiderealAngle,
                              s.Look.AttitudeCelX, s.Look.AttitudeCelY, s.Look.AttitudeCelZ,
                              carry.InEclipse, subSolarPoint);
    carry.InEclipse = ComputeEclipse(s.Light.Sun, s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ,
                                     s.Orbit.OrbitRadius);
    s.InEclipse = carry.InEclipse;
}

StepState ComputeState(const CurrentElementSet& elements, const Station& station,
                       const Attitude& attitude, const CalcInstant& instant, ShadowCarry& carry)
{
    // Every constant is recomputed at every step, in the chain's own order.
    StepState s;
    ComputeStateOn(s, MakeStepConstants(elements, station, attitude), MakeDayTerms(instant), elements, instant,
                   carry, true);
    return s;
}

} // namespace tavik
