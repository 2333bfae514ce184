#include "forecast/Forecast.h"

#include "platform/Error.h"

#include "astro/Angles.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <thread>

namespace tavik {

namespace {

// The instant of minute m of the day that starts at dayStart, midnight being
// that day's fields at 00:00: only minute 1440 changes the date.
CalcInstant MinuteOfDay(const CalcInstant& midnight, DateTime dayStart, int m)
{
    if (m >= MinutesPerDay) return CalcInstantOf(dayStart.AddMinutes(m));
    CalcInstant at = midnight;
    at.CalcHour = m / 60;
    at.CalcMinute = m % 60;
    return at;
}

} // namespace

std::optional<OrbitModel> OrbitModelNamed(std::string_view name)
{
    if (name == "classic" || name == "design") return OrbitModel::Classic;
    if (name == "sgp4" || name == "precise") return OrbitModel::Sgp4;
    return std::nullopt;
}

RunEnd RunEndOf(Sgp4Stop stop)
{
    switch (stop) {
    case Sgp4Stop::MeanEccentricity:
    case Sgp4Stop::PerturbedEccentricity: return RunEnd::EccentricityOutOfRange;
    case Sgp4Stop::MeanMotion: return RunEnd::MeanMotionNotPositive;
    case Sgp4Stop::SemiLatusRectum: return RunEnd::SemiLatusRectumNegative;
    case Sgp4Stop::Decayed: return RunEnd::BelowSurface;
    case Sgp4Stop::None: return RunEnd::Completed;
    case Sgp4Stop::BadInput:
    case Sgp4Stop::NotFinite: break;
    }
    return RunEnd::OrbitNotFinite;
}

std::int64_t RunMinuteCount(const ForecastResult& result)
{
    const auto steps = static_cast<std::int64_t>(result.Minutes.size());
    // Every day's minute 1440 but the last step's repeats a step computed after it.
    return steps == 0 ? 0 : steps - (steps - 1) / StepsPerDay;
}

const MinuteRecord& RunMinute(const ForecastResult& result, std::int64_t k)
{
    auto i = static_cast<std::size_t>(k / MinutesPerDay * StepsPerDay + k % MinutesPerDay);
    // The run's last minute at midnight, where the next day was not computed.
    if (i >= result.Minutes.size()) --i;
    return result.Minutes[i];
}

const MinuteRecord* ForecastResult::At(int day, int minute) const
{
    if (day < 1 || day > ForecastDays || minute < 0 || minute >= StepsPerDay) return nullptr;
    std::size_t i = static_cast<std::size_t>(day - 1) * StepsPerDay + static_cast<std::size_t>(minute);
    return i < Minutes.size() ? &Minutes[i] : nullptr;
}

namespace {

// The steps of one day (1-based), computed with the run constants. The
// shadow flag runs on from the day before in the same range of days; a range
// starts from a guessed flag, and the walk mends the illumination of its
// first step once the real flag is known.
void ComputeDay(const ForecastRequest& request, const StepConstants& constants, const Sgp4* precise, DateTime start,
                int day, ShadowCarry& carry, ResonanceCarry& resonance, StepState& s,
                std::vector<MinuteRecord>& minutes)
{
    const DateTime dayStart = start.AddDays(day - 1);
    const CalcInstant midnight = CalcInstantOf(dayStart);
    const DayTerms today = MakeDayTerms(midnight);
    const DayTerms tomorrow = MakeDayTerms(CalcInstantOf(dayStart.AddDays(1)));
    // One loop per model, so that the classic model's steps test nothing more.
    auto steps = [&](auto computeState) {
        for (int m = 0; m < StepsPerDay; ++m) {
            const CalcInstant at = MinuteOfDay(midnight, dayStart, m);
            computeState(m < MinutesPerDay ? today : tomorrow, at);
            MinuteRecord& rec = minutes[static_cast<std::size_t>(day - 1) * StepsPerDay + static_cast<std::size_t>(m)];
            rec.SatHeight = s.SatHeight();
            rec.SatAzimuth = s.SatAzimuth();
            rec.SatElevation = s.SatElevation();
            rec.SunAngle = s.SunAngle();
            rec.Illumination = s.Illumination();
            rec.InEclipse = s.InEclipse;
            rec.KeplerConverged = s.Orbit.KeplerConverged;
            rec.SunFraction = s.SunFraction;
            rec.ShadowMargin = s.ShadowMargin;
            rec.OrbitStop = s.OrbitStop;
        }
    };
    if (precise) {
        // One table for the day serves its minute 1440 too: the cubic passes
        // through the next midnight's exact Sun.
        const SunDay sun = MakeSunDay(today.CalcDayNumber);
        steps([&](const DayTerms& terms, const CalcInstant& at) {
            ComputePreciseStateOn(s, constants, *precise, terms, sun, at, carry, resonance, false);
        });
    } else {
        steps([&](const DayTerms& terms, const CalcInstant& at) {
            ComputeStateOn(s, constants, terms, request.Elements, at, carry, false);
        });
    }
}

// A contiguous range of days computed by one thread, which publishes the
// last day it has finished so the walk can follow right behind it.
struct DayRange {
    int First = 1, Last = 0;
    std::atomic<int> Done{0};
};

} // namespace

int ThreadCount(int requested)
{
    if (requested > 0) return std::min(requested, ThreadsAtMost);
    unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(n, 1u, static_cast<unsigned>(DefaultThreadsAtMost)));
}

ForecastResult RunForecast(const ForecastRequest& request, ShadowCarry& carry, const ForecastProgress& progress)
{
    if (const auto why = PropagationProblem(request.Elements)) throw InputError(*why);

    ForecastResult r;
    r.SatName = request.Elements.SatName;
    r.Model = request.Model;
    r.Start = request.Start;
    r.Minutes.resize(static_cast<std::size_t>(ForecastDays) * StepsPerDay);

    const StepConstants constants = MakeStepConstants(request.Elements, request.Site, request.Axis);
    std::optional<Sgp4> precise;
    if (request.Model == OrbitModel::Sgp4) precise.emplace(request.Elements);
    const int threads = std::min(ThreadCount(request.Threads), ForecastDays);

    // The days are split into contiguous ranges, one per thread. This thread
    // computes the first, shorter range and then walks every day in order
    // (finders, labels, stops) right behind the others, so the walk overlaps
    // their computing. A stop tells them to finish.
    std::vector<DayRange> ranges(static_cast<std::size_t>(threads));
    {
        const double share = static_cast<double>(ForecastDays) / threads;
        // The first range is shortened by a tenth, about what the walk of its
        // days costs (measured best on two cores).
        const int first = threads == 1 ? ForecastDays : std::max(1, static_cast<int>(share * 0.9));
        ranges[0].First = 1;
        ranges[0].Last = first;
        for (int t = 1; t < threads; ++t) {
            const auto i = static_cast<std::size_t>(t);
            ranges[i].First = ranges[i - 1].Last + 1;
            ranges[i].Last = first + ((ForecastDays - first) * t) / (threads - 1);
        }
        for (auto& range : ranges) range.Done.store(range.First - 1);
    }
    std::atomic<bool> finish{false};
    auto computeRange = [&](DayRange& range, ShadowCarry rangeCarry) {
        StepState s;
        ResonanceCarry resonance;
        for (int day = range.First; day <= range.Last && !finish.load(std::memory_order_relaxed); ++day) {
            ComputeDay(request, constants, precise ? &*precise : nullptr, r.Start, day, rangeCarry, resonance, s,
                       r.Minutes);
            range.Done.store(day, std::memory_order_release);
            range.Done.notify_all();
        }
        // Whatever ends the range, the walk must not wait for it any more.
        range.Done.store(range.Last, std::memory_order_release);
        range.Done.notify_all();
    };
    struct Workers {
        std::vector<std::thread> Threads;
        std::atomic<bool>& Finish;
        ~Workers()
        {
            Finish.store(true);
            for (auto& t : Threads) t.join();
        }
    } workers{{}, finish};
    for (int t = 1; t < threads; ++t)
        workers.Threads.emplace_back(computeRange, std::ref(ranges[static_cast<std::size_t>(t)]), ShadowCarry{});
    computeRange(ranges[0], carry);

    PassFinder passes;
    EclipseFinder eclipses;
    DateTime stepTime;
    r.RowDates.push_back(r.Start);

    auto keepOpen = [&] {
        if (passes.InPass) r.PassUnderWay = passes.Rise;
        if (eclipses.EclipseOpen) r.EclipseUnderWay = eclipses.EclipseStart;
    };
    auto stop = [&](RunEnd end, int day, int minute, std::size_t computed) {
        keepOpen();
        finish.store(true);
        r.End = end;
        r.StopDay = day;
        r.StopMinute = minute;
        r.StopTime = r.Start.AddDays(day - 1).AddMinutes(minute);
        r.Minutes.resize(computed);
    };

    std::size_t owner = 0;
    for (int day = 1; day <= ForecastDays; ++day) {
        if (progress && !progress(day, ProgressMaximum)) {
            finish.store(true);
            for (auto& t : workers.Threads) t.join();
            workers.Threads.clear();
            stop(RunEnd::Cancelled, day, 0, static_cast<std::size_t>(day - 1) * StepsPerDay);
            return r;
        }
        if (day > ranges[owner].Last) ++owner;
        DayRange& range = ranges[owner];
        for (int done = range.Done.load(std::memory_order_acquire); done < day;
             done = range.Done.load(std::memory_order_acquire))
            range.Done.wait(done, std::memory_order_acquire);
        const bool rangeStart = owner > 0 && day == range.First;

        // The label of a later row comes from the last step of the day
        // before, which is 00:00 of this day.
        if (day >= 2) r.RowDates.push_back(stepTime);
        const DateTime dayStart = r.Start.AddDays(day - 1);
        const CalcInstant midnight = CalcInstantOf(dayStart);
        for (int m = 0; m < StepsPerDay; ++m) {
            const std::size_t i = static_cast<std::size_t>(day - 1) * StepsPerDay + static_cast<std::size_t>(m);
            MinuteRecord& rec = r.Minutes[i];
            stepTime = dayStart.AddMinutes(m);
            // A range computed on its own started from a guessed shadow
            // flag: its first step reads the real one, as in ComputeSunAngle.
            if (m == 0 && rangeStart)
                rec.Illumination = carry.InEclipse ? 0.0 : CosDeg(rec.SunAngle) * carry.SunFraction;
            carry.InEclipse = rec.InEclipse;
            carry.SunFraction = rec.SunFraction;
            // Overwritten at every step: the day keeps the value of minute 1440.
            r.DailySunAngle[static_cast<std::size_t>(day - 1)] = rec.SunAngle;

            if (rec.OrbitStop != Sgp4Stop::None) {
                finish.store(true);
                for (auto& t : workers.Threads) t.join();
                workers.Threads.clear();
                r.OrbitStop = rec.OrbitStop;
                stop(RunEndOf(rec.OrbitStop), day, m, i);
                return r;
            }
            // Written so that a height that is not a number stops the run too.
            if (!(rec.SatHeight >= MinimumHeight) || !rec.KeplerConverged) {
                // Let the other threads finish before the records shrink.
                finish.store(true);
                for (auto& t : workers.Threads) t.join();
                workers.Threads.clear();
                stop(rec.KeplerConverged ? RunEnd::BelowMinimumHeight : RunEnd::KeplerFailed, day, m, i + 1);
                return r;
            }
            const CalcInstant at = MinuteOfDay(midnight, dayStart, m);
            if (auto pass = passes.Step(at, {rec.SatElevation, rec.SatAzimuth, rec.SunAngle, rec.Illumination}))
                r.Passes.push_back(*pass);
            if (auto eclipse = eclipses.Step(rec.InEclipse, stepTime)) r.Eclipses.push_back(*eclipse);
            r.WalkedSteps = i + 1;
        }
    }
    keepOpen();
    if (progress) progress(0, ProgressMaximum);
    return r;
}

} // namespace tavik
