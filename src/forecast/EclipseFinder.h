// Watches the shadow flag at every minute step and writes one line per
// passage through the Earth's shadow.
#pragma once

#include "platform/DateTime.h"
#include "platform/RegionalFormats.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// "<entry>   ->   <exit>    duration: <n> min", the instants in the general
// date-time form of the given formats.
std::string EclipseLine(DateTime start, DateTime end, const RegionalFormats& formats);

class EclipseFinder {
public:
    // One minute step at stepTime; appends a line to `lines` when the
    // satellite leaves the shadow here. Returns true when it did.
    bool Step(bool inEclipse, DateTime stepTime, const RegionalFormats& formats,
              std::vector<std::string>& lines);

    bool EclipseOpen = false;
    DateTime EclipseStart;
    DateTime EclipseEnd;
    std::int64_t LastDuration = 0; // minutes, of the eclipse that ended last
};

} // namespace tavik
