#include "forecast/YearOfLight.h"

#include "forecast/PassDetails.h"
#include "platform/Error.h"

#include "astro/Angles.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

namespace tavik {

namespace {

// The run starts a day before the report and ends a day after it, so that
// an eclipse under way at either end is measured whole.
constexpr int MarginDays = 1;
constexpr int RunDays = YearOfLightDays + 2 * MarginDays;
constexpr int SunAngleMinute = 12 * 60; // the year file's 12:00 UTC

struct MinuteLight {
    double Beta = 0;    // degrees
    float Fraction = 1; // the Sun's disc seen; 0 in the umbra
    float Margin = 0;   // degrees, StepState::ShadowMargin (SGP4 model)
    bool Umbra = false;
    bool Stop = false; // the chain could not go on here: nothing from here on holds
};

double BetaDeg(const Vector3& normal, const SunState& sun)
{
    const double length = Length(normal);
    if (!(length > 0)) return 0;
    const double sine = Dot(normal, Vector3{sun.SunX, sun.SunY, sun.SunZ}) / length;
    return std::asin(std::clamp(sine, -1.0, 1.0)) * DegPerRadian;
}

bool Stopped(const StepState& s)
{
    return s.OrbitStop != Sgp4Stop::None || !(s.SatHeight() >= MinimumHeight) || !s.Orbit.KeplerConverged;
}

int ThreadsFor(int requested)
{
    if (requested > 0) return std::min(requested, ThreadsAtMost);
    const unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(n, 1u, static_cast<unsigned>(DefaultThreadsAtMost)));
}

// The days [first, last) of the run, minute by minute. Each day's minutes
// are independent of the others' (the shadow carry only delays the
// illumination, which is not read here), so ranges run side by side.
void ComputeDays(const ForecastRequest& request, const StepConstants& constants, const Sgp4* precise, DateTime runStart,
                 int first, int last, std::vector<MinuteLight>& minutes, std::vector<double>& sunAngles)
{
    StepState s;
    ShadowCarry carry;
    ResonanceCarry resonance;
    // The classic model gives no velocity: its orbit normal is r x r' of the
    // positions one minute apart, which leaves the plane's drift over that
    // minute (under a thousandth of a degree) out.
    Vector3 previous;
    SunState previousSun;
    auto step = [&](const DayTerms& terms, const SunDay* sun, const CalcInstant& at) {
        if (precise)
            ComputePreciseStateOn(s, constants, *precise, terms, *sun, at, carry, resonance, false);
        else
            ComputeStateOn(s, constants, terms, request.Elements, at, carry, false);
    };
    for (int day = first; day < last; ++day) {
        const DateTime dayStart = runStart.AddDays(day);
        const CalcInstant midnight = CalcInstantOf(dayStart);
        const DayTerms terms = MakeDayTerms(midnight);
        std::optional<SunDay> sun;
        if (precise) sun = MakeSunDay(terms.CalcDayNumber);
        for (int m = 0; m < MinutesPerDay; ++m) {
            CalcInstant at = midnight;
            at.CalcHour = m / 60;
            at.CalcMinute = m % 60;
            step(terms, sun ? &*sun : nullptr, at);
            const auto i = static_cast<std::size_t>(day) * MinutesPerDay + static_cast<std::size_t>(m);
            MinuteLight& rec = minutes[i];
            if (Stopped(s)) {
                rec.Stop = true;
                return;
            }
            const Vector3 r{s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ};
            if (precise)
                rec.Beta = BetaDeg(Cross(r, s.SatVelocity), s.Sun());
            else if (i > static_cast<std::size_t>(first) * MinutesPerDay)
                minutes[i - 1].Beta = BetaDeg(Cross(previous, r), previousSun);
            previous = r;
            previousSun = s.Sun();
            rec.Umbra = s.InEclipse;
            rec.Fraction = s.InEclipse ? 0.0f : static_cast<float>(s.SunFraction);
            rec.Margin = static_cast<float>(s.ShadowMargin);
            if (m == SunAngleMinute) sunAngles[static_cast<std::size_t>(day)] = s.SunAngle();
        }
    }
    if (precise) return;
    // The classic normal of the range's last minute needs the minute after it.
    const CalcInstant next = CalcInstantOf(runStart.AddDays(last));
    step(MakeDayTerms(next), nullptr, next);
    if (!Stopped(s))
        minutes[static_cast<std::size_t>(last) * MinutesPerDay - 1].Beta =
            BetaDeg(Cross(previous, Vector3{s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ}), previousSun);
}

// The first whole second in (outside, inside] at which inside(t) holds,
// inside(outside) being false and inside(inside) true: by halving.
std::int64_t FirstSecond(std::int64_t outside, std::int64_t inside, const std::function<bool(std::int64_t)>& in)
{
    while (std::abs(inside - outside) > 1) {
        const std::int64_t mid = outside + (inside - outside) / 2;
        (in(mid) ? inside : outside) = mid;
    }
    return inside;
}

} // namespace

YearOfLight ComputeYearOfLight(const ForecastRequest& request)
{
    if (const auto why = PropagationProblem(request.Elements)) throw InputError(*why);
    YearOfLight year;
    year.SatName = request.Elements.SatName;
    year.Model = request.Model;
    year.Axis = request.Axis;
    year.HasPenumbra = request.Model == OrbitModel::Sgp4;

    const DateTime runStart = request.Start.AddDays(-MarginDays);
    const StepConstants constants = MakeStepConstants(request.Elements, request.Site, request.Axis);
    std::optional<Sgp4> precise;
    if (request.Model == OrbitModel::Sgp4) precise.emplace(request.Elements);

    std::vector<MinuteLight> minutes(static_cast<std::size_t>(RunDays) * MinutesPerDay);
    std::vector<double> sunAngles(static_cast<std::size_t>(RunDays));
    {
        const int threads = std::min(ThreadsFor(request.Threads), RunDays);
        std::vector<std::thread> workers;
        auto range = [&](int t) {
            ComputeDays(request, constants, precise ? &*precise : nullptr, runStart, RunDays * t / threads,
                        RunDays * (t + 1) / threads, minutes, sunAngles);
        };
        for (int t = 1; t < threads; ++t) workers.emplace_back(range, t);
        range(0);
        for (auto& w : workers) w.join();
    }

    // Everything from the first step that could not go on is dropped, and
    // with it every day not computed to its end.
    const auto stop = std::find_if(minutes.begin(), minutes.end(), [](const MinuteLight& m) { return m.Stop; });
    const auto limit = static_cast<std::int64_t>(stop - minutes.begin());
    if (stop != minutes.end()) {
        year.End = RunEnd::BelowMinimumHeight;
        year.StopTime = runStart.AddMinutes(limit);
    }
    const std::int64_t reportFirst = static_cast<std::int64_t>(MarginDays) * MinutesPerDay;
    const int days =
        static_cast<int>(std::clamp<std::int64_t>((limit - reportFirst) / MinutesPerDay, 0, YearOfLightDays));
    if (stop != minutes.end() && precise) {
        // Say why, as the forecast does: the SGP4 model tells.
        StepState s;
        ShadowCarry carry;
        ResonanceCarry resonance;
        const CalcInstant at = CalcInstantOf(year.StopTime);
        ComputePreciseStateOn(s, constants, *precise, MakeDayTerms(at), MakeSunDay(MakeDayTerms(at).CalcDayNumber), at,
                              carry, resonance, false);
        if (s.OrbitStop != Sgp4Stop::None) year.End = RunEndOf(s.OrbitStop);
    }

    const std::int64_t startSeconds = request.Start.Seconds();
    auto secondsOf = [&](std::int64_t k) { return runStart.AddMinutes(k).Seconds(); };
    year.Days.resize(static_cast<std::size_t>(days));
    for (int d = 0; d < days; ++d) {
        LightDay& day = year.Days[static_cast<std::size_t>(d)];
        day.Date = request.Start.AddDays(d);
        const std::int64_t first = reportFirst + static_cast<std::int64_t>(d) * MinutesPerDay;
        day.Beta = minutes[static_cast<std::size_t>(first)].Beta;
        day.BetaMin = day.Beta;
        day.BetaMax = day.Beta;
        for (std::int64_t k = first; k < first + MinutesPerDay; ++k) {
            day.BetaMin = std::min(day.BetaMin, minutes[static_cast<std::size_t>(k)].Beta);
            day.BetaMax = std::max(day.BetaMax, minutes[static_cast<std::size_t>(k)].Beta);
        }
        day.SunAngle = sunAngles[static_cast<std::size_t>(d + MarginDays)];
    }

    // Each umbra passage of the minutes, with its edges to the second in the
    // SGP4 model: halving within the minute on either side, as the eclipse
    // details do. The penumbra's edges lie within the minute before the
    // last minute of full sunlight and after the first one again.
    std::optional<PointEvaluator> evaluate;
    if (precise) evaluate.emplace(request);
    auto fraction = [&](std::int64_t seconds) { return evaluate->SunFraction(DateTime::FromSeconds(seconds)); };
    auto umbra = [&](std::int64_t k) { return k >= 0 && k < limit && minutes[static_cast<std::size_t>(k)].Umbra; };
    auto litWhole = [&](std::int64_t k) { return minutes[static_cast<std::size_t>(k)].Fraction >= 1.0f; };
    for (std::int64_t a = 1; a < limit; ++a) {
        if (!umbra(a) || umbra(a - 1)) continue;
        std::int64_t b = a;
        while (umbra(b)) ++b;
        // An eclipse still under way where the run stopped counts to the stop.
        std::int64_t entry = secondsOf(a), exit = secondsOf(b);
        std::optional<double> penumbra;
        if (precise) {
            entry = FirstSecond(secondsOf(a - 1), entry, [&](std::int64_t t) { return fraction(t) <= 0; });
            if (b < limit) exit = FirstSecond(secondsOf(b - 1), exit, [&](std::int64_t t) { return fraction(t) > 0; });
            std::int64_t p = a - 1, q = b;
            while (p > 0 && !litWhole(p)) --p;
            while (q < limit - 1 && !litWhole(q)) ++q;
            if (litWhole(p) && q < limit && litWhole(q)) {
                const std::int64_t from =
                    FirstSecond(secondsOf(p), secondsOf(p + 1), [&](std::int64_t t) { return fraction(t) < 1; });
                const std::int64_t to =
                    FirstSecond(secondsOf(q - 1), secondsOf(q), [&](std::int64_t t) { return fraction(t) >= 1; });
                penumbra = static_cast<double>(to - from) / 60.0;
            }
        }
        // The time in the umbra, shared among the days it falls on.
        for (std::int64_t t = entry; t < exit;) {
            const std::int64_t d = (t - startSeconds) >= 0 ? (t - startSeconds) / 86400 : -1;
            const std::int64_t dayEnd = startSeconds + (d + 1) * 86400;
            const std::int64_t until = std::min(exit, dayEnd);
            if (d >= 0 && d < days)
                year.Days[static_cast<std::size_t>(d)].ShadowMinutes += static_cast<double>(until - t) / 60.0;
            t = until;
        }
        if (entry < startSeconds) continue;
        const std::int64_t d = (entry - startSeconds) / 86400;
        if (d >= days) continue;
        LightDay& day = year.Days[static_cast<std::size_t>(d)];
        const double length = static_cast<double>(exit - entry) / 60.0;
        ++day.Eclipses;
        day.LongestEclipse = std::max(day.LongestEclipse.value_or(length), length);
        day.ShortestEclipse = std::min(day.ShortestEclipse.value_or(length), length);
        if (penumbra) day.LongestPenumbra = std::max(day.LongestPenumbra.value_or(*penumbra), *penumbra);
        a = b;
    }
    // The passages through the penumbra alone count in their day's longest
    // penumbra, though not as eclipses: those the minutes show and those
    // between two of them.
    if (precise) {
        const auto zone = [&](std::int64_t k) {
            const MinuteLight& m = minutes[static_cast<std::size_t>(k)];
            return m.Umbra ? 2 : m.Fraction < 1.0f ? 1 : 0;
        };
        std::vector<Graze> alone = GrazesBetweenMinutes(*evaluate, runStart, limit, [&](std::int64_t k) {
            return static_cast<double>(minutes[static_cast<std::size_t>(k)].Margin);
        });
        for (const auto& [a, b] : PenumbraOnlyRuns(limit, zone))
            alone.push_back({PenumbraEdge(*evaluate, runStart.AddMinutes(a - 1), runStart.AddMinutes(a)),
                             PenumbraEdge(*evaluate, runStart.AddMinutes(b), runStart.AddMinutes(b - 1))});
        for (const auto& [from, last] : alone) {
            if (from.Seconds() < startSeconds) continue;
            const std::int64_t d = (from.Seconds() - startSeconds) / 86400;
            if (d >= days) continue;
            // From the first second with part of the Sun hidden to the first with all of it seen again.
            const double length = static_cast<double>(last.Seconds() + 1 - from.Seconds()) / 60.0;
            LightDay& day = year.Days[static_cast<std::size_t>(d)];
            day.LongestPenumbra = std::max(day.LongestPenumbra.value_or(length), length);
        }
    }
    for (LightDay& day : year.Days) day.SunlitFraction = 1.0 - day.ShadowMinutes / MinutesPerDay;

    for (const LightDay& day : year.Days) {
        if (day.Eclipses == 0) continue;
        const bool goesOn = !year.Seasons.empty() && year.Seasons.back().Last.AddDays(1) == day.Date;
        if (!goesOn) year.Seasons.push_back({day.Date, day.Date, 0});
        EclipseSeason& season = year.Seasons.back();
        season.Last = day.Date;
        season.LongestEclipse = std::max(season.LongestEclipse, *day.LongestEclipse);
    }
    return year;
}

} // namespace tavik
