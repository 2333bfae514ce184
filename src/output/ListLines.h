// The text of a run's results: the lines of the passes and eclipses lists,
// the strip chart's row labels and the message of a run that stopped early.
#pragma once

#include "forecast/Forecast.h"
#include "platform/RegionalFormats.h"

#include <string>
#include <vector>

namespace tavik {

// "hh:mm (Az aaa°)  illum: iii%   sun angle: ss°" for the rise or set step.
std::string PassStepSummary(const PassPoint& p);
// The pass dated by its set step, month first, with rise, set and the
// highest elevation.
std::string PassLine(const PassEvent& pass);
std::string EclipseLine(const EclipseEvent& eclipse, const RegionalFormats& formats);

std::vector<std::string> PassLines(const ForecastResult& result);
std::vector<std::string> EclipseLines(const ForecastResult& result, const RegionalFormats& formats);
// "YYYY/mm/dd" with the regional date separator, one per labelled row.
// The passes and eclipses files of a run, byte for byte as every front end
// writes them: header, rule and lines in Windows-1252 with CR LF. The
// eclipse lines take the forms the file can hold (Cp1252FileFormats).
std::string PassesFileBytes(const ForecastResult& result);
std::string EclipsesFileBytes(const ForecastResult& result, const RegionalFormats& fileFormats);

std::vector<std::string> RowLabels(const ForecastResult& result, const RegionalFormats& formats);
// Why a run ended early, for the user; empty for a completed run.
std::string StopMessage(const ForecastResult& result, const RegionalFormats& formats);

// Element sets drift from the real orbit as they age and are fitted to the
// past: a start more than ElementAgeLimitDays after the epoch, or more than
// ElementLeadLimitDays before it, gives passes that cannot be trusted.
inline constexpr double ElementAgeLimitDays = 30;
inline constexpr double ElementLeadLimitDays = 1;
// How far the start lies from the epoch, given as the element set's age at
// the start in days (negative: before the epoch), when it is out of those
// limits; empty when it is within them.
std::string EpochDistanceWarning(double ageDays);

} // namespace tavik
