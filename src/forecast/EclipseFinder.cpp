#include "forecast/EclipseFinder.h"

namespace tavik {

std::optional<EclipseEvent> EclipseFinder::Step(bool inEclipse, DateTime stepTime)
{
    if (!EclipseOpen && inEclipse) {
        EclipseStart = stepTime;
        EclipseOpen = true;
    }
    if (EclipseOpen && !inEclipse) {
        EclipseOpen = false;
        return EclipseEvent{EclipseStart, stepTime, DateTime::MinutesBetween(EclipseStart, stepTime)};
    }
    return std::nullopt;
}

} // namespace tavik
