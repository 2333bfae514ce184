#include "forecast/Forecast.h"

#include "forecast/EclipseFinder.h"
#include "forecast/PassFinder.h"
#include "platform/Error.h"
#include "platform/TextForms.h"

#include <cmath>

namespace tavik {

namespace {

std::uint8_t RoundHalfEven(double v)
{
    double r = std::nearbyint(v); // the default rounding mode: halves to even
    if (!(r >= 0)) return 0;
    if (r > 255) return 255;
    return static_cast<std::uint8_t>(r);
}

CalcInstant InstantOf(DateTime t)
{
    CalendarFields f = t.Fields();
    CalcInstant at;
    at.CalcDay = static_cast<std::int16_t>(f.Day);
    at.CalcMonth = static_cast<std::int16_t>(f.Month);
    at.CalcYear = static_cast<std::int16_t>(f.Year);
    at.CalcHour = f.Hour;
    at.CalcMinute = f.Minute;
    at.CalcSecond = f.Second;
    return at;
}

} // namespace

Rgb SunlightTickColour(bool inEclipse, double illumination)
{
    if (inEclipse) return {};
    std::uint8_t k = RoundHalfEven((illumination * 100) * 2.55);
    return {k, k, 0};
}

Rgb PassTickColour(double satElevation)
{
    return {0, RoundHalfEven(((satElevation * 2.8) * 0.35) + 128), 0};
}

const MinuteRecord* ForecastResult::At(int day, int minute) const
{
    if (day < 1 || day > ForecastDays || minute < 0 || minute >= StepsPerDay) return nullptr;
    std::size_t i = static_cast<std::size_t>(day - 1) * StepsPerDay + static_cast<std::size_t>(minute);
    return i < Minutes.size() ? &Minutes[i] : nullptr;
}

ForecastResult RunForecast(const ForecastRequest& request, ShadowCarry& carry,
                           const ForecastProgress& progress)
{
    ParsedDate start = ParseDateTexts(request.DayText, request.MonthText, request.YearText);
    if (!start) throw InputError(start.Error);
    if (std::string why = PropagationProblem(request.Elements); !why.empty()) throw InputError(why);

    ForecastResult r;
    r.SatName = request.Elements.CurrentSatName;
    r.Start = *start.Date;
    r.Minutes.reserve(static_cast<std::size_t>(ForecastDays) * StepsPerDay);

    PassFinder passes;
    EclipseFinder eclipses;
    DateTime dayStart = r.Start;
    DateTime stepTime;
    r.RowLabels.push_back(FormatDatePattern(dayStart, request.Formats));

    for (int day = 1; day <= ForecastDays; ++day) {
        if (progress && !progress(day, ProgressMaximum)) {
            r.End = RunEnd::Cancelled;
            r.StopDay = day;
            r.StopReason = "the forecast was stopped";
            return r;
        }
        // The label of a later row comes from the last step of the day
        // before, which is 00:00 of this day.
        if (day >= 2) r.RowLabels.push_back(FormatDatePattern(stepTime, request.Formats));
        for (int m = 0; m < StepsPerDay; ++m) {
            stepTime = dayStart.AddMinutes(m);
            const CalcInstant at = InstantOf(stepTime);
            const StepState s = ComputeState(request.Elements, request.Site, request.Axis, at, carry);

            MinuteRecord rec;
            rec.SatHeight = s.SatHeight();
            rec.SatAzimuth = s.SatAzimuth();
            rec.SatElevation = s.SatElevation();
            rec.SunAngle = s.SunAngle();
            rec.Illumination = s.Illumination();
            rec.InEclipse = s.InEclipse;
            r.Minutes.push_back(rec);
            // Overwritten at every step: the day keeps the value of minute 1440.
            r.DailySunAngle[static_cast<std::size_t>(day - 1)] = rec.SunAngle;

            if (rec.SatHeight < MinimumHeight || !s.Orbit.KeplerConverged) {
                r.End = s.Orbit.KeplerConverged ? RunEnd::BelowMinimumHeight : RunEnd::KeplerFailed;
                r.StopDay = day;
                r.StopMinute = m;
                r.StopReason = "\"" + r.SatName + "\" "
                               + (s.Orbit.KeplerConverged
                                      ? "sank below 150 km at "
                                      : "could not be placed in its orbit (Kepler's equation did not converge) at ")
                               + FormatGeneralDateTime(stepTime, request.Formats)
                               + " UTC; the forecast stops there";
                return r;
            }
            passes.Step(at, {rec.SatElevation, rec.SatAzimuth, rec.SunAngle, rec.Illumination},
                        r.PassLines);
            if (eclipses.Step(rec.InEclipse, stepTime, request.Formats, r.EclipseLines))
                r.EclipseMinutes.push_back(eclipses.LastDuration);
            r.DrawnSteps = r.Minutes.size();
        }
        dayStart = dayStart.AddDays(1);
    }
    if (progress) progress(0, ProgressMaximum);
    return r;
}

} // namespace tavik
