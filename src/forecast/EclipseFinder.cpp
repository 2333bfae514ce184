#include "forecast/EclipseFinder.h"

#include "platform/TextForms.h"

namespace tavik {

std::string EclipseLine(DateTime start, DateTime end, const RegionalFormats& formats)
{
    // Both instants lie on whole minutes: this is the number of steps in shadow.
    return FormatGeneralDateTime(start, formats) + "   ->   " + FormatGeneralDateTime(end, formats)
           + "    duration: " + std::to_string(DateTime::MinutesBetween(start, end)) + " min";
}

bool EclipseFinder::Step(bool inEclipse, DateTime stepTime, const RegionalFormats& formats,
                         std::vector<std::string>& lines)
{
    if (!EclipseOpen && inEclipse) {
        EclipseStart = stepTime;
        EclipseOpen = true;
    }
    if (EclipseOpen && !inEclipse) {
        EclipseEnd = stepTime;
        LastDuration = DateTime::MinutesBetween(EclipseStart, EclipseEnd);
        lines.push_back(EclipseLine(EclipseStart, EclipseEnd, formats));
        EclipseOpen = false;
        return true;
    }
    return false;
}

} // namespace tavik
