#include "forecast/PassFinder.h"

namespace tavik {

std::optional<PassEvent> PassFinder::Step(const CalcInstant& at, const PassStepValues& v)
{
    if (!InPass && v.SatElevation > 0) {
        InPass = true;
        Rise = {at, v.SatAzimuth, v.SunAngle, v.Illumination};
    }
    // Runs whether a pass is open or not; a pass opens at the first step above
    // 0, so the maximum only grows inside passes.
    if (v.SatElevation > MaxElevation) MaxElevation = v.SatElevation;
    if (InPass && v.SatElevation < 0) {
        InPass = false;
        PassEvent pass{Rise, {at, v.SatAzimuth, v.SunAngle, v.Illumination}, MaxElevation};
        MaxElevation = 0;
        return pass;
    }
    return std::nullopt;
}

} // namespace tavik
