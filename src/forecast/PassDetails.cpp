#include "forecast/PassDetails.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

// Where bisection stops: well inside the second the crossing is given to.
constexpr double CrossingTolerance = 0.001; // s

// The classic model gives positions only: its range rate is the range's
// change over a second centred on the instant, which differs from the
// derivative by a part in a million for a low orbit.
constexpr double RangeRateHalfStep = 0.5; // s

PassPointDetail PointOf(const ForecastResult& r, std::int64_t k)
{
    const MinuteRecord& m = RunMinute(r, k);
    return {r.Start.AddMinutes(k), m.SatAzimuth, m.SatElevation, !m.InEclipse, m.Illumination, m.SunAngle};
}

} // namespace

PointEvaluator::PointEvaluator(const ForecastRequest& request)
    : request_(request), constants_(MakeStepConstants(request.Elements, request.Site, request.Axis))
{
    if (request.Model == OrbitModel::Sgp4) precise_.emplace(request.Elements);
}

// The light is the instant's own: a first pass finds the shadow, a second
// computes the illumination with it, as the minute after would. Where only
// the place is wanted, one pass does.
StepState PointEvaluator::State(double seconds, int passes)
{
    // The calendar fields of the whole second, and the fraction added to
    // the second's field, which the chain reads as a double.
    const double whole = std::floor(seconds);
    CalcInstant at = CalcInstantOf(DateTime::FromSeconds(static_cast<std::int64_t>(whole)));
    at.CalcSecond += seconds - whole;
    const DayTerms day = MakeDayTerms(at);
    ShadowCarry carry;
    StepState s;
    for (int pass = 0; pass < passes; ++pass) {
        ShadowCarry c = carry;
        if (precise_) {
            if (!sun_ || sun_->DayNumber != day.CalcDayNumber) sun_ = MakeSunDay(day.CalcDayNumber);
            ComputePreciseStateOn(s, constants_, *precise_, day, *sun_, at, c, resonance_, false);
        } else {
            ComputeStateOn(s, constants_, day, request_.Elements, at, c, false);
        }
        carry = c;
    }
    return s;
}

PassPointDetail PointEvaluator::At(double seconds)
{
    const StepState s = State(seconds, 2);
    PassPointDetail p;
    p.At = DateTime::FromSeconds(std::llround(seconds));
    p.Azimuth = s.SatAzimuth();
    p.Elevation = s.SatElevation();
    p.Sunlit = !s.InEclipse;
    p.Illumination = s.Illumination();
    p.SunAngle = s.SunAngle();
    p.Range = s.Look.Range;
    if (s.HasVelocity) {
        p.RangeRate = RangeRate(s.Look, s.Orbit, s.SatVelocity);
    } else {
        const double after = State(seconds + RangeRateHalfStep, 1).Look.Range;
        const double before = State(seconds - RangeRateHalfStep, 1).Look.Range;
        p.RangeRate = (after - before) / (2 * RangeRateHalfStep);
    }
    return p;
}

double PointEvaluator::Elevation(double seconds)
{
    const StepState s = State(seconds, 1);
    return s.OrbitStop == Sgp4Stop::None ? s.SatElevation() : std::nan("");
}

double PointEvaluator::SunFraction(DateTime t)
{
    const StepState s = State(static_cast<double>(t.Seconds()), 2);
    return s.InEclipse ? 0.0 : s.SunFraction;
}

bool PointEvaluator::InUmbra(DateTime t) { return State(static_cast<double>(t.Seconds()), 2).InEclipse; }

double PointEvaluator::ShadowMargin(double seconds)
{
    // The margin is the instant's geometry alone: no carried flag to settle.
    const StepState s = State(seconds, 1);
    return s.OrbitStop == Sgp4Stop::None ? s.ShadowMargin : std::nan("");
}

std::vector<std::pair<std::int64_t, std::int64_t>> PenumbraOnlyRuns(std::int64_t count,
                                                                    const std::function<int(std::int64_t)>& zone)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;
    for (std::int64_t a = 1; a < count; ++a) {
        if (zone(a) == 0 || zone(a - 1) != 0) continue;
        std::int64_t b = a;
        bool umbra = false;
        for (; b < count && zone(b) != 0; ++b) umbra = umbra || zone(b) == 2;
        if (!umbra && b < count) runs.emplace_back(a, b);
        a = b;
    }
    return runs;
}

namespace {

// Where the search for the deepest point of a dip stops: a passage much
// shorter than this could hide beside the point found.
constexpr double DipTolerance = 0.01; // s

} // namespace

Lowest GoldenMinimum(const std::function<double(double)>& f, double from, double to, double tolerance)
{
    const double ratio = (std::sqrt(5.0) - 1) / 2; // 0.618...
    double a = from, b = to;
    double x1 = b - ratio * (b - a), x2 = a + ratio * (b - a);
    double f1 = f(x1), f2 = f(x2);
    while (b - a > tolerance) {
        if (std::isnan(f1) || std::isnan(f2)) return {x1, std::nan("")};
        if (f1 <= f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - ratio * (b - a);
            f1 = f(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + ratio * (b - a);
            f2 = f(x2);
        }
    }
    return f1 <= f2 ? Lowest{x1, f1} : Lowest{x2, f2};
}

std::vector<Graze> GrazesBetweenMinutes(PointEvaluator& evaluate, DateTime start, std::int64_t count,
                                        const std::function<double(std::int64_t)>& margin)
{
    std::vector<Graze> grazes;
    if (count < 3) return grazes;
    const auto f = [&evaluate](double t) { return evaluate.ShadowMargin(t); };
    double before = margin(0), here = margin(1);
    for (std::int64_t k = 1; k + 1 < count; ++k) {
        const double after = margin(k + 1);
        const bool dip = here >= 0 && before > here && after >= here && here < std::max(before, after) - here;
        before = here;
        here = after;
        if (!dip) continue;
        const auto from = static_cast<double>(start.AddMinutes(k - 1).Seconds());
        const auto to = static_cast<double>(start.AddMinutes(k + 1).Seconds());
        const Lowest low = GoldenMinimum(f, from, to, DipTolerance);
        if (!(low.Value < 0)) continue;
        if (evaluate.StateAt(low.At).InEclipse) continue;
        const std::optional<double> entry = FindSignChange(f, from, low.At, CrossingTolerance);
        const std::optional<double> exit = FindSignChange(f, low.At, to, CrossingTolerance);
        if (!entry || !exit) continue;
        const auto first = static_cast<std::int64_t>(std::ceil(*entry));
        const auto last = std::max(static_cast<std::int64_t>(std::floor(*exit)), first);
        grazes.push_back({DateTime::FromSeconds(first), DateTime::FromSeconds(last)});
    }
    return grazes;
}

DateTime PenumbraEdge(PointEvaluator& evaluate, DateTime lit, DateTime shaded)
{
    while (std::abs(lit.Seconds() - shaded.Seconds()) > 1) {
        const DateTime mid = DateTime::FromSeconds(lit.Seconds() + (shaded.Seconds() - lit.Seconds()) / 2);
        (evaluate.SunFraction(mid) >= 1 ? lit : shaded) = mid;
    }
    return shaded;
}

PassPointDetail EvaluateAt(const ForecastRequest& request, DateTime at) { return PointEvaluator(request).At(at); }

std::optional<double> FindSignChange(const std::function<double(double)>& f, double from, double to, double tolerance)
{
    const double a = f(from), b = f(to);
    if (std::isnan(a) || std::isnan(b)) return std::nullopt;
    if (a == 0) return from;
    if (b == 0) return to;
    if ((a > 0) == (b > 0)) return std::nullopt;
    // from keeps f(from)'s side, to the other.
    const bool fromAbove = a > 0;
    while (std::abs(to - from) > tolerance) {
        const double mid = from + (to - from) / 2;
        const double m = f(mid);
        if (std::isnan(m)) return std::nullopt;
        if (m == 0) return mid;
        ((m > 0) == fromAbove ? from : to) = mid;
    }
    return from + (to - from) / 2;
}

std::optional<PassPointDetail> HorizonCrossing(PointEvaluator& evaluate, DateTime from, DateTime to)
{
    const std::optional<double> at =
        FindSignChange([&evaluate](double t) { return evaluate.Elevation(t); }, static_cast<double>(from.Seconds()),
                       static_cast<double>(to.Seconds()), CrossingTolerance);
    if (!at) return std::nullopt;
    // Everything at the second given, so that the range rate and the rest
    // belong to the time printed beside them.
    return evaluate.At(DateTime::FromSeconds(std::llround(*at)));
}

PlanningDetails MakePlanningDetails(const ForecastResult& r, const ForecastRequest& request)
{
    PlanningDetails out;
    out.HasPenumbra = r.Model == OrbitModel::Sgp4;
    const std::int64_t count = RunMinuteCount(r);
    out.End = r.Start;
    if (count == 0) return out;
    out.End = r.Start.AddMinutes(count - 1);
    PointEvaluator evaluate(request);
    auto minuteOf = [&](const CalcInstant& at) { return DateTime::MinutesBetween(r.Start, DateTimeOf(at)); };

    // Each pass as the pass finder closed it (or held it open at the end),
    // with the light at rise, maximum and set of those instants themselves:
    // the list's figure carries the minute before's shadow flag.
    auto addPass = [&](std::int64_t first, std::int64_t end, bool setKnown) {
        PassDetail p;
        p.RiseKnown = first > 0;
        p.SetKnown = setKnown;
        p.FirstMinute = first;
        p.EndMinute = end;
        p.Rise = evaluate.At(r.Start.AddMinutes(first));
        p.Set = evaluate.At(r.Start.AddMinutes(setKnown ? end : end - 1));
        p.DurationMinutes = (setKnown ? end : end - 1) - first;
        std::int64_t best = first;
        for (std::int64_t k = first + 1; k < end; ++k)
            if (RunMinute(r, k).SatElevation > RunMinute(r, best).SatElevation) best = k;
        // The peak lies within a minute of the best minute: every second
        // there, within the run, is tried (the elevation alone; the whole
        // point only at the peak).
        DateTime peak = r.Start.AddMinutes(best);
        double highest = evaluate.Elevation(static_cast<double>(peak.Seconds()));
        const DateTime from = r.Start.AddMinutes(std::max<std::int64_t>(best - 1, 0));
        const DateTime to = r.Start.AddMinutes(std::min(best + 1, count - 1));
        for (DateTime t = from; t.Seconds() <= to.Seconds(); t = t.AddSeconds(1)) {
            if (t == r.Start.AddMinutes(best)) continue;
            if (const double e = evaluate.Elevation(static_cast<double>(t.Seconds())); e > highest) {
                highest = e;
                peak = t;
            }
        }
        p.Max = evaluate.At(peak);
        // The crossings lie between the last minute below the horizon and
        // the first above it, and the reverse.
        if (p.RiseKnown)
            p.RiseCrossing = HorizonCrossing(evaluate, r.Start.AddMinutes(first - 1), r.Start.AddMinutes(first));
        if (p.SetKnown) p.SetCrossing = HorizonCrossing(evaluate, r.Start.AddMinutes(end - 1), r.Start.AddMinutes(end));
        out.Passes.push_back(p);
    };
    for (const PassEvent& pass : r.Passes) addPass(minuteOf(pass.Rise.At), minuteOf(pass.Set.At), true);
    if (r.PassUnderWay) {
        const std::int64_t first = minuteOf(r.PassUnderWay->At);
        out.AlwaysUp = first == 0 && r.Completed();
        addPass(first, count, false);
    }

    // The penumbra is crossed in seconds in a low orbit, so its edge is
    // looked for to the second: minute by minute away from the umbra until
    // the whole disc shows, then halving. Nothing when it does not show
    // within an hour, or the edge lies outside the run.
    auto penumbraEdge = [&](DateTime inUmbra, int direction) -> std::optional<DateTime> {
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
    // The umbra's edge within the minute before the first minute in it (or
    // after the last): the first (or last) second in it, by halving. The
    // shadow changes once within a minute; an umbra both entered and left
    // between two minutes is not in the list to begin with.
    auto umbraEdge = [&](DateTime outside, DateTime inside) {
        while (std::abs(outside.Seconds() - inside.Seconds()) > 1) {
            const DateTime mid = DateTime::FromSeconds((outside.Seconds() + inside.Seconds()) / 2);
            (evaluate.InUmbra(mid) ? inside : outside) = mid;
        }
        return inside;
    };
    // Each eclipse as the eclipse finder closed it (or held it open at the
    // end), with the umbra's edges to the second and the penumbra around it
    // where the model has one.
    auto addEclipse = [&](DateTime entry, DateTime exit, bool exitKnown) {
        EclipseDetail e;
        e.EntryKnown = entry.Seconds() > r.Start.Seconds();
        e.ExitKnown = exitKnown;
        e.Entry = entry;
        e.Exit = exit;
        e.DurationMinutes = DateTime::MinutesBetween(entry, exit);
        if (out.HasPenumbra) {
            if (e.EntryKnown) e.UmbraEntry = umbraEdge(entry.AddMinutes(-1), entry);
            if (exitKnown) e.UmbraExit = umbraEdge(exit, exit.AddMinutes(-1));
            e.PenumbraEntry = penumbraEdge(entry, -1);
            if (exitKnown) e.PenumbraExit = penumbraEdge(exit.AddMinutes(-1), +1);
        }
        out.Eclipses.push_back(e);
    };
    for (const EclipseEvent& e : r.Eclipses) addEclipse(e.Entry, e.Exit, true);
    if (r.EclipseUnderWay) addEclipse(*r.EclipseUnderWay, out.End, false);
    if (!out.HasPenumbra) return out;

    // The passages through the penumbra alone, among the umbra's in time order.
    const auto zone = [&r](std::int64_t k) {
        const MinuteRecord& m = RunMinute(r, k);
        return m.InEclipse ? 2 : m.SunFraction < 1 ? 1 : 0;
    };
    for (const Graze& g : GrazesBetweenMinutes(evaluate, r.Start, count,
                                               [&r](std::int64_t k) { return RunMinute(r, k).ShadowMargin; })) {
        EclipseDetail e;
        e.Umbra = false;
        e.Entry = r.Start.AddMinutes(DateTime::MinutesBetween(r.Start, g.Last) + 1);
        e.Exit = e.Entry;
        e.PenumbraEntry = g.First;
        e.PenumbraExit = g.Last;
        out.Eclipses.push_back(e);
    }
    for (const auto& [first, end] : PenumbraOnlyRuns(count, zone)) {
        EclipseDetail e;
        e.Umbra = false;
        e.Entry = r.Start.AddMinutes(first);
        e.Exit = r.Start.AddMinutes(end);
        e.DurationMinutes = end - first;
        e.PenumbraEntry = PenumbraEdge(evaluate, e.Entry.AddMinutes(-1), e.Entry);
        e.PenumbraExit = PenumbraEdge(evaluate, e.Exit, e.Exit.AddMinutes(-1));
        out.Eclipses.push_back(e);
    }
    std::stable_sort(out.Eclipses.begin(), out.Eclipses.end(), [](const EclipseDetail& a, const EclipseDetail& b) {
        return a.Entry.Seconds() < b.Entry.Seconds();
    });
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
