#include "forecast/ComputeState.h"

namespace tavik {

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

StepState ComputeStateWith(const StepConstants& c, const CurrentElementSet& elements,
                           const CalcInstant& instant, ShadowCarry& carry)
{
    StepState s;
    s.Prepared = c.Prepared;
    s.Orbit = SatellitePositionAt(elements, s.Prepared, c.Epoch, instant);
    s.Look = LookAnglesWith(c.Frame, c.Axis, elements, s.Prepared, s.Orbit);
    s.Light = ComputeSunAngle(s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction, s.Orbit.SiderealAngle,
                              s.Look.AttitudeCelX, s.Look.AttitudeCelY, s.Look.AttitudeCelZ,
                              carry.InEclipse);
    carry.InEclipse = ComputeEclipse(s.Light.Sun, s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ,
                                     s.Orbit.OrbitRadius);
    s.InEclipse = carry.InEclipse;
    return s;
}

StepState ComputeState(const CurrentElementSet& elements, const Station& station,
                       const Attitude& attitude, const CalcInstant& instant, ShadowCarry& carry)
{
    // Every constant is recomputed at every step, in the chain's own order.
    return ComputeStateWith(MakeStepConstants(elements, station, attitude), elements, instant, carry);
}

} // namespace tavik
