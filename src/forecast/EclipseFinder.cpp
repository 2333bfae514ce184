#include "forecast/EclipseFinder.h"

#include "platform/TextForms.h"

namespace tavik {

bool EclipseFinder::Step(bool inEclipse, DateTime stepTime, const RegionalFormats& formats,
                         std::vector<std::string>& lines)
{
    if (!EclipseOpen && inEclipse) {
        EclipseStart = stepTime;
        EclipseOpen = true;
    }
    if (EclipseOpen && !inEclipse) {
        EclipseEnd = stepTime;
        // Both instants lie on whole minutes: this is the number of steps in shadow.
        LastDuration = DateTime::MinutesBetween(EclipseStart, EclipseEnd);
        lines.push_back(FormatGeneralDateTime(EclipseStart, formats) + "   ->   "
                        + FormatGeneralDateTime(EclipseEnd, formats) + "    duration: "
                        + std::to_string(LastDuration) + " min");
        EclipseOpen = false;
        return true;
    }
    return false;
}

} // namespace tavik
