#include "forecast/Forecast.h"

#include "forecast/EclipseFinder.h"
#include "forecast/PassFinder.h"
#include "platform/Error.h"
#include "platform/TextForms.h"

#include "astro/Angles.h"

#include <algorithm>
#include <cmath>
#include <thread>

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

// The instant of minute m of the day that starts at dayStart, midnight being
// that day's fields at 00:00: only minute 1440 changes the date.
CalcInstant MinuteOfDay(const CalcInstant& midnight, DateTime dayStart, int m)
{
    if (m >= 1440) return InstantOf(dayStart.AddMinutes(m));
    CalcInstant at = midnight;
    at.CalcHour = m / 60;
    at.CalcMinute = m % 60;
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

namespace {

// The steps of days [firstDay, lastDay] (1-based), computed with the run
// constants. Each range starts from its own shadow flag; the caller mends
// the illumination of a range's first step once the flag before it is known.
void ComputeDays(const ForecastRequest& request, const StepConstants& constants, DateTime start,
                 int firstDay, int lastDay, bool inEclipse, std::vector<MinuteRecord>& minutes)
{
    ShadowCarry carry{inEclipse};
    StepState s;
    for (int day = firstDay; day <= lastDay; ++day) {
        const DateTime dayStart = start.AddDays(day - 1);
        const CalcInstant midnight = InstantOf(dayStart);
        const DayTerms today = MakeDayTerms(midnight);
        const DayTerms tomorrow = MakeDayTerms(InstantOf(dayStart.AddDays(1)));
        for (int m = 0; m < StepsPerDay; ++m) {
            const CalcInstant at = MinuteOfDay(midnight, dayStart, m);
            ComputeStateOn(s, constants, m < 1440 ? today : tomorrow, request.Elements, at, carry, false);
            MinuteRecord& rec = minutes[static_cast<std::size_t>(day - 1) * StepsPerDay + static_cast<std::size_t>(m)];
            rec.SatHeight = s.SatHeight();
            rec.SatAzimuth = s.SatAzimuth();
            rec.SatElevation = s.SatElevation();
            rec.SunAngle = s.SunAngle();
            rec.Illumination = s.Illumination();
            rec.InEclipse = s.InEclipse;
            rec.KeplerConverged = s.Orbit.KeplerConverged;
        }
    }
}

int ThreadCount(int requested)
{
    if (requested > 0) return std::min(requested, 16);
    unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(n, 1u, 4u));
}

} // namespace

ForecastResult RunForecast(const ForecastRequest& request, ShadowCarry& carry,
                           const ForecastProgress& progress)
{
    ParsedDate start = ParseDateTexts(request.DayText, request.MonthText, request.YearText);
    if (!start) throw InputError(start.Error);
    if (std::string why = PropagationProblem(request.Elements); !why.empty()) throw InputError(why);

    ForecastResult r;
    r.SatName = request.Elements.CurrentSatName;
    r.Start = *start.Date;
    r.Minutes.resize(static_cast<std::size_t>(ForecastDays) * StepsPerDay);

    const StepConstants constants = MakeStepConstants(request.Elements, request.Site, request.Axis);
    const int threads = ThreadCount(request.Threads);
    // Days are computed in blocks, side by side within a block; the finders
    // then walk each block in order. Blocks keep a run that stops early from
    // computing far past its end, and let a stop request act between them.
    constexpr int BlockDays = 10;

    PassFinder passes;
    EclipseFinder eclipses;
    DateTime stepTime;
    r.RowLabels.push_back(FormatDatePattern(r.Start, request.Formats));

    auto stop = [&](RunEnd end, int day, int minute, std::size_t computed) {
        r.End = end;
        r.StopDay = day;
        r.StopMinute = minute;
        r.Minutes.resize(computed);
    };

    for (int blockFirst = 1; blockFirst <= ForecastDays; blockFirst += BlockDays) {
        const int blockLast = std::min(blockFirst + BlockDays - 1, ForecastDays);
        const int blockDays = blockLast - blockFirst + 1;
        const int parts = std::min(threads, blockDays);
        std::vector<std::thread> workers;
        std::vector<int> partFirst;
        for (int p = 0; p < parts; ++p) {
            const int first = blockFirst + p * blockDays / parts;
            const int last = blockFirst + (p + 1) * blockDays / parts - 1;
            partFirst.push_back(first);
            if (p == 0) continue;
            workers.emplace_back(ComputeDays, std::cref(request), std::cref(constants), r.Start, first,
                                 last, false, std::ref(r.Minutes));
        }
        ComputeDays(request, constants, r.Start, blockFirst,
                    blockFirst + blockDays / parts - 1, carry.InEclipse, r.Minutes);
        for (auto& w : workers) w.join();

        for (int day = blockFirst; day <= blockLast; ++day) {
            if (progress && !progress(day, ProgressMaximum)) {
                stop(RunEnd::Cancelled, day, 0, static_cast<std::size_t>(day - 1) * StepsPerDay);
                r.StopReason = "the forecast was stopped";
                return r;
            }
            const bool partStart = day != blockFirst
                                   && std::find(partFirst.begin(), partFirst.end(), day) != partFirst.end();
            // The label of a later row comes from the last step of the day
            // before, which is 00:00 of this day.
            if (day >= 2) r.RowLabels.push_back(FormatDatePattern(stepTime, request.Formats));
            const DateTime dayStart = r.Start.AddDays(day - 1);
            const CalcInstant midnight = InstantOf(dayStart);
            for (int m = 0; m < StepsPerDay; ++m) {
                const std::size_t i = static_cast<std::size_t>(day - 1) * StepsPerDay + static_cast<std::size_t>(m);
                MinuteRecord& rec = r.Minutes[i];
                stepTime = dayStart.AddMinutes(m);
                // A range computed on its own started from a guessed shadow
                // flag: its first step reads the real one, as in ComputeSunAngle.
                if (m == 0 && partStart) rec.Illumination = carry.InEclipse ? 0.0 : CosDeg(rec.SunAngle);
                carry.InEclipse = rec.InEclipse;
                // Overwritten at every step: the day keeps the value of minute 1440.
                r.DailySunAngle[static_cast<std::size_t>(day - 1)] = rec.SunAngle;

                if (rec.SatHeight < MinimumHeight || !rec.KeplerConverged) {
                    stop(rec.KeplerConverged ? RunEnd::BelowMinimumHeight : RunEnd::KeplerFailed, day, m, i + 1);
                    r.StopReason = "\"" + r.SatName + "\" "
                                   + (rec.KeplerConverged
                                          ? "sank below 150 km at "
                                          : "could not be placed in its orbit (Kepler's equation did not converge) at ")
                                   + FormatGeneralDateTime(stepTime, request.Formats)
                                   + " UTC; the forecast stops there";
                    return r;
                }
                const CalcInstant at = MinuteOfDay(midnight, dayStart, m);
                passes.Step(at, {rec.SatElevation, rec.SatAzimuth, rec.SunAngle, rec.Illumination},
                            r.PassLines);
                if (eclipses.Step(rec.InEclipse, stepTime, request.Formats, r.EclipseLines))
                    r.EclipseMinutes.push_back(eclipses.LastDuration);
                r.DrawnSteps = i + 1;
            }
        }
    }
    if (progress) progress(0, ProgressMaximum);
    return r;
}

} // namespace tavik
