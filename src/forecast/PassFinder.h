// Watches the elevation at every minute step and reports each pass when it
// ends: its rise, its set and the highest elevation.
#pragma once

#include "orbit/Propagation.h"

#include <optional>

namespace tavik {

// The figures of one step that the pass finder reads.
struct PassStepValues {
    double SatElevation = 0; // degrees
    double SatAzimuth = 0;   // degrees
    double SunAngle = 0;     // degrees
    double Illumination = 0; // 0 to 1
};

// What a pass keeps of its rise or its set step.
struct PassPoint {
    CalcInstant At;
    double SatAzimuth = 0;   // degrees
    double SunAngle = 0;     // degrees
    double Illumination = 0; // 0 to 1
};

struct PassEvent {
    PassPoint Rise;          // the first step above the horizon
    PassPoint Set;           // the first step below it again
    double MaxElevation = 0; // degrees, the highest since the previous pass ended
};

class PassFinder {
public:
    // One minute step; the pass that ends here, if one does.
    std::optional<PassEvent> Step(const CalcInstant& at, const PassStepValues& v);

    bool InPass = false;
    double MaxElevation = 0; // degrees, since the run started or the last pass ended
    PassPoint Rise;          // of the pass in progress
};

} // namespace tavik
