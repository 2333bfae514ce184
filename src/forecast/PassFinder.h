// Watches the elevation at every minute step and writes one line per pass:
// rise, set and the highest elevation.
#pragma once

#include "orbit/Propagation.h"

#include <string>
#include <vector>

namespace tavik {

// The figures of one step that a pass line reports.
struct PassStepValues {
    double SatElevation = 0;
    double SatAzimuth = 0;
    double SunAngle = 0;
    double Illumination = 0;
};

// "hh:mm (Az aaa°)  illum: iii%   sun angle: ss°" for one step.
std::string PassStepSummary(const CalcInstant& at, const PassStepValues& v);

class PassFinder {
public:
    // One minute step; appends a line to `lines` when a pass ends here.
    // Returns true when it did.
    bool Step(const CalcInstant& at, const PassStepValues& v, std::vector<std::string>& lines);

    bool InPass = false;
    double MaxElevation = 0; // degrees, since the run started or the last pass ended
    std::string PassStartText;
    std::string PassEndText;
};

} // namespace tavik
