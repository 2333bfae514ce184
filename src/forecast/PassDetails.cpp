#include "forecast/PassDetails.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

// The chain at any instant, with the run's constants computed once.
class Evaluator {
public:
    explicit Evaluator(const ForecastRequest& request)
        : request_(request), constants_(MakeStepConstants(request.Elements, request.Site, request.Axis))
    {
        if (request.Model == OrbitModel::Precise) precise_.emplace(request.Elements);
    }

    // The light is the instant's own: a first pass finds the shadow, a second
    // computes the illumination with it, as the minute after would.
    PassPointDetail At(DateTime t)
    {
        const StepState s = State(t);
        PassPointDetail p;
        p.At = t;
        p.Azimuth = s.SatAzimuth();
        p.Elevation = s.SatElevation();
        p.Sunlit = !s.InEclipse;
        p.Illumination = s.Illumination();
        p.SunAngle = s.SunAngle();
        return p;
    }

    // The share of the Sun's disc seen: 1 in full sunlight, 0 in the umbra.
    double SunFraction(DateTime t)
    {
        const StepState s = State(t);
        return s.InEclipse ? 0.0 : s.SunFraction;
    }

private:
    StepState State(DateTime t)
    {
        const CalcInstant at = CalcInstantOf(t);
        const DayTerms day = MakeDayTerms(at);
        ShadowCarry carry;
        StepState s;
        for (int pass = 0; pass < 2; ++pass) {
            ShadowCarry c = carry;
            if (precise_) {
                ComputePreciseStateOn(s, constants_, *precise_, day, at, c, resonance_, false);
            } else {
                ComputeStateOn(s, constants_, day, request_.Elements, at, c, false);
            }
            carry = c;
        }
        return s;
    }

    const ForecastRequest& request_;
    StepConstants constants_;
    std::optional<Sgp4> precise_;
    // Kept from one instant to the next: the instants mostly move forward, and
    // the deep-space integration then goes on from where it stood instead of
    // starting again at the epoch (same numbers either way).
    ResonanceCarry resonance_;
};

PassPointDetail PointOf(const ForecastResult& r, std::int64_t k)
{
    const MinuteRecord& m = RunMinute(r, k);
    return {r.Start.AddMinutes(k), m.SatAzimuth, m.SatElevation, !m.InEclipse, m.Illumination, m.SunAngle};
}

} // namespace

std::int64_t RunMinuteCount(const ForecastResult& result)
{
    // Steps drawn, less the midnight of each day after the first, which is
    // the same minute as the 00:00 before it.
    const auto steps = static_cast<std::int64_t>(result.DrawnSteps);
    if (steps == 0) return 0;
    const std::int64_t fullDays = steps / StepsPerDay;
    const std::int64_t rest = steps % StepsPerDay;
    // A day of 1441 steps adds 1440 new minutes, its last step being the
    // next day's first; the very last step of the run stands alone.
    return fullDays * MinutesPerDay + rest + (rest == 0 ? 1 : 0);
}

const MinuteRecord& RunMinute(const ForecastResult& result, std::int64_t k)
{
    // Midnight is read from the day it ends (minute 1440), the step the
    // finders met first, which a run stopped there still holds.
    const std::int64_t day = k > 0 ? (k - 1) / MinutesPerDay : 0;
    const std::int64_t minute = k - day * MinutesPerDay;
    return result.Minutes[static_cast<std::size_t>(day * StepsPerDay + minute)];
}

DateTime EpochDateTime(double epoch)
{
    // DayNumber 0: 1978 January 1, 0h UT, Julian Date 2443509.5.
    static const DateTime dayNumberZero = *DateTime::FromCalendar(1978, 1, 1);
    return dayNumberZero.AddSeconds(std::llround(SplitEpoch(epoch).EpochDayNumber * 86400.0));
}

PassPointDetail EvaluateAt(const ForecastRequest& request, DateTime at) { return Evaluator(request).At(at); }

PlanningDetails MakePlanningDetails(const ForecastResult& r, const ForecastRequest& request)
{
    PlanningDetails out;
    out.HasPenumbra = r.Model == OrbitModel::Precise;
    const std::int64_t count = RunMinuteCount(r);
    out.End = r.Start;
    if (count == 0) return out;
    out.End = r.Start.AddMinutes(count - 1);
    Evaluator evaluate(request);

    // Passes, opened and closed by the pass finder's rule: a minute at
    // exactly 0 degrees neither opens nor closes one.
    std::optional<PassDetail> open;
    std::int64_t best = 0;
    auto close = [&](std::int64_t end, bool setKnown) {
        PassDetail p = *open;
        p.SetKnown = setKnown;
        p.EndMinute = end;
        // The light at rise and set is the instant's own, as at the maximum;
        // the list's figure carries the minute before's shadow flag.
        p.Rise = evaluate.At(p.Rise.At);
        p.Set = evaluate.At(r.Start.AddMinutes(setKnown ? end : end - 1));
        p.DurationMinutes = (setKnown ? end : end - 1) - p.FirstMinute;
        // The peak lies within a minute of the best minute: every second
        // there, within the run, is tried.
        p.Max = evaluate.At(r.Start.AddMinutes(best));
        const DateTime from = r.Start.AddMinutes(std::max<std::int64_t>(best - 1, 0));
        const DateTime to = r.Start.AddMinutes(std::min(best + 1, count - 1));
        for (DateTime t = from; t.Seconds() <= to.Seconds(); t = t.AddSeconds(1)) {
            if (t == p.Max.At) continue;
            const PassPointDetail q = evaluate.At(t);
            if (q.Elevation > p.Max.Elevation) p.Max = q;
        }
        out.Passes.push_back(p);
        open.reset();
    };
    for (std::int64_t k = 0; k < count; ++k) {
        const MinuteRecord& m = RunMinute(r, k);
        if (!open && m.SatElevation > 0) {
            open.emplace();
            open->RiseKnown = k > 0;
            open->FirstMinute = k;
            open->Rise = PointOf(r, k);
            best = k;
        }
        if (open && m.SatElevation > RunMinute(r, best).SatElevation) best = k;
        if (open && m.SatElevation < 0) close(k, true);
    }
    if (open) {
        out.AlwaysUp = !open->RiseKnown && r.Completed();
        close(count, false);
    }

    // Eclipses: the umbra as the eclipses list has it, with the penumbra
    // around it where the model has one.
    // The penumbra is crossed in seconds in a low orbit, so its edge is
    // looked for to the second: minute by minute away from the umbra until
    // the whole disc shows, then halving. Nothing when it does not show
    // within an hour, or the edge lies outside the run.
    auto PenumbraEdge = [&](DateTime inUmbra, int direction) -> std::optional<DateTime> {
        DateTime shaded = inUmbra, lit = inUmbra;
        for (int m = 1;; ++m) {
            if (m > 60) return std::nullopt;
            lit = inUmbra.AddMinutes(direction * m);
            if (evaluate.SunFraction(lit) >= 1) break;
            shaded = lit;
        }
        while (std::abs(lit.Seconds() - shaded.Seconds()) > 1) {
            const DateTime mid = DateTime::FromSeconds((lit.Seconds() + shaded.Seconds()) / 2);
            (evaluate.SunFraction(mid) >= 1 ? lit : shaded) = mid;
        }
        if (shaded.Seconds() < r.Start.Seconds() || shaded.Seconds() > out.End.Seconds()) return std::nullopt;
        return shaded;
    };
    std::optional<EclipseDetail> eclipse;
    for (std::int64_t k = 0; k <= count; ++k) {
        const bool in = k < count && RunMinute(r, k).InEclipse;
        if (!eclipse && in) {
            eclipse.emplace();
            eclipse->EntryKnown = k > 0;
            eclipse->Entry = r.Start.AddMinutes(k);
            if (out.HasPenumbra) eclipse->PenumbraEntry = PenumbraEdge(r.Start.AddMinutes(k), -1);
        } else if (eclipse && !in) {
            eclipse->ExitKnown = k < count;
            eclipse->Exit = r.Start.AddMinutes(std::min(k, count - 1));
            eclipse->DurationMinutes = DateTime::MinutesBetween(eclipse->Entry, eclipse->Exit);
            if (out.HasPenumbra && k < count) eclipse->PenumbraExit = PenumbraEdge(r.Start.AddMinutes(k - 1), +1);
            out.Eclipses.push_back(*eclipse);
            eclipse.reset();
        }
    }
    return out;
}

std::vector<PassPointDetail> PassTrack(const ForecastResult& result, const PassDetail& pass)
{
    std::vector<PassPointDetail> track;
    const std::int64_t count = RunMinuteCount(result);
    const std::int64_t from = std::max<std::int64_t>(pass.FirstMinute - 1, 0);
    const std::int64_t to = std::min(pass.EndMinute, count - 1);
    for (std::int64_t k = from; k <= to; ++k) {
        PassPointDetail p = PointOf(result, k);
        p.Elevation = std::max(p.Elevation, 0.0);
        track.push_back(p);
    }
    return track;
}

} // namespace tavik
