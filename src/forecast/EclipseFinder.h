// Watches the shadow flag at every minute step and reports each passage
// through the Earth's shadow when it ends.
#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <optional>

namespace tavik {

struct EclipseEvent {
    DateTime Entry;                   // the first step in shadow
    DateTime Exit;                    // the first step out of it again
    std::int64_t DurationMinutes = 0; // steps in shadow: both instants lie on whole minutes
};

class EclipseFinder {
public:
    // One minute step at stepTime; the eclipse that ends here, if one does.
    std::optional<EclipseEvent> Step(bool inEclipse, DateTime stepTime);

    bool EclipseOpen = false;
    DateTime EclipseStart;
};

} // namespace tavik
