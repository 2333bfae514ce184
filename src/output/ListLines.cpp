#include "output/ListLines.h"

#include "output/ListFiles.h"

#include "platform/TextForms.h"

#include <cmath>
#include <cstdio>

namespace tavik {

std::string PassesFileBytes(const ForecastResult& result)
{
    return ListFileBytes(PassesHeader(result.SatName), PassLines(result));
}

std::string EclipsesFileBytes(const ForecastResult& result, const RegionalFormats& fileFormats)
{
    return ListFileBytes(EclipsesHeader(result.SatName), EclipseLines(result, fileFormats));
}

std::string PassStepSummary(const PassPoint& p)
{
    // The azimuth is floored (truncated); illumination and sun angle go to
    // the nearest integer.
    return FormatPattern00(p.At.CalcHour) + ":" + FormatPattern00(p.At.CalcMinute) + " (Az "
           + FormatPattern000(std::floor(p.SatAzimuth)) + "\u00B0)" + "  illum: "
           + FormatPattern000(100 * p.Illumination) + "%   sun angle: " + FormatPattern00(p.SunAngle) + "\u00B0";
}

std::string PassLine(const PassEvent& pass)
{
    const CalcInstant& set = pass.Set.At;
    return FormatPattern00(set.CalcMonth) + "/" + FormatPattern00(set.CalcDay) + "/" + std::to_string(set.CalcYear)
           + "  " + PassStepSummary(pass.Rise) + " -> " + PassStepSummary(pass.Set)
           + "  maxEl: " + FormatPattern00(std::floor(pass.MaxElevation)) + "\u00B0";
}

std::string EclipseLine(const EclipseEvent& eclipse, const RegionalFormats& formats)
{
    return FormatGeneralDateTime(eclipse.Entry, formats) + "   ->   " + FormatGeneralDateTime(eclipse.Exit, formats)
           + "    duration: " + std::to_string(eclipse.DurationMinutes) + " min";
}

std::vector<std::string> PassLines(const ForecastResult& result)
{
    std::vector<std::string> lines;
    lines.reserve(result.Passes.size());
    for (const PassEvent& pass : result.Passes) lines.push_back(PassLine(pass));
    return lines;
}

std::vector<std::string> EclipseLines(const ForecastResult& result, const RegionalFormats& formats)
{
    std::vector<std::string> lines;
    lines.reserve(result.Eclipses.size());
    for (const EclipseEvent& eclipse : result.Eclipses) lines.push_back(EclipseLine(eclipse, formats));
    return lines;
}

std::vector<std::string> RowLabels(const ForecastResult& result, const RegionalFormats& formats)
{
    std::vector<std::string> labels;
    labels.reserve(result.RowDates.size());
    for (DateTime d : result.RowDates) labels.push_back(FormatDatePattern(d, formats));
    return labels;
}

std::string StopMessage(const ForecastResult& result, const RegionalFormats& formats)
{
    const std::string at = FormatGeneralDateTime(result.StopTime, formats) + " UTC; the forecast stops there";
    switch (result.End) {
    case RunEnd::Completed: return {};
    case RunEnd::Cancelled: return "the forecast was stopped";
    case RunEnd::BelowMinimumHeight:
        return "\"" + result.SatName + "\" sank below " + FormatPattern00(MinimumHeight) + " km at " + at;
    case RunEnd::KeplerFailed:
        return "\"" + result.SatName + "\" could not be placed in its orbit (Kepler's equation did not converge) at "
               + at;
    case RunEnd::EccentricityOutOfRange:
    case RunEnd::MeanMotionNotPositive:
    case RunEnd::SemiLatusRectumNegative:
    case RunEnd::BelowSurface:
    case RunEnd::OrbitNotFinite:
        return "\"" + result.SatName + "\" cannot be followed further by the SGP4 model ("
               + std::string(Sgp4StopText(result.OrbitStop)) + ") at " + at;
    }
    return {};
}

std::string EpochDistanceWarning(double ageDays)
{
    const bool before = ageDays < -ElementLeadLimitDays;
    if (!before && !(ageDays > ElementAgeLimitDays)) return {};
    char days[32];
    std::snprintf(days, sizeof days, "%.1f", std::fabs(ageDays));
    return std::string("the start lies ") + days + " days " + (before ? "before" : "after")
           + " the element set's epoch; its passes may be far off";
}

} // namespace tavik
