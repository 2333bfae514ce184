#include "forecast/ComputeState.h"

namespace tavik {

StepState ComputeState(const CurrentElementSet& elements, const Station& station,
                       const Attitude& attitude, const CalcInstant& instant, ShadowCarry& carry)
{
    StepState s;
    s.Prepared = PrepareElements(elements, station);
    s.Orbit = SatellitePosition(elements, s.Prepared, instant);
    s.Look = LookAngles(elements, s.Prepared, s.Orbit, attitude);
    s.Light = ComputeSunAngle(s.Orbit.CalcDayNumber, s.Orbit.CalcDayFraction, s.Orbit.SiderealAngle,
                              s.Look.AttitudeCelX, s.Look.AttitudeCelY, s.Look.AttitudeCelZ,
                              carry.InEclipse);
    carry.InEclipse = ComputeEclipse(s.Light.Sun, s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ,
                                     s.Orbit.OrbitRadius);
    s.InEclipse = carry.InEclipse;
    return s;
}

} // namespace tavik
