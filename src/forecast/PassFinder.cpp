#include "forecast/PassFinder.h"

#include "platform/TextForms.h"

#include <cmath>

namespace tavik {

std::string PassStepSummary(const CalcInstant& at, const PassStepValues& v)
{
    // The azimuth is floored (truncated); illumination and sun angle go to
    // the nearest integer.
    return FormatPattern00(at.CalcHour) + ":" + FormatPattern00(at.CalcMinute) + " (Az "
           + FormatPattern000(std::floor(v.SatAzimuth)) + "\u00B0)" + "  illum: "
           + FormatPattern000(100 * v.Illumination) + "%   sun angle: " + FormatPattern00(v.SunAngle)
           + "\u00B0";
}

bool PassFinder::Step(const CalcInstant& at, const PassStepValues& v, std::vector<std::string>& lines)
{
    if (!InPass && v.SatElevation > 0) {
        InPass = true;
        PassStartText = PassStepSummary(at, v);
    }
    // Runs whether a pass is open or not; a pass opens at the first step above
    // 0, so the maximum only grows inside passes.
    if (v.SatElevation > MaxElevation) MaxElevation = v.SatElevation;
    if (InPass && v.SatElevation < 0) {
        InPass = false;
        PassEndText = PassStepSummary(at, v);
        // Dated by the set step, month first.
        lines.push_back(FormatPattern00(at.CalcMonth) + "/" + FormatPattern00(at.CalcDay) + "/"
                        + std::to_string(at.CalcYear) + "  " + PassStartText + " -> " + PassEndText
                        + "  maxEl: " + FormatPattern00(std::floor(MaxElevation)) + "\u00B0");
        MaxElevation = 0;
        return true;
    }
    return false;
}

} // namespace tavik
