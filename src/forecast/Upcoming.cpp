#include "forecast/Upcoming.h"

#include "astro/Earth.h"
#include "platform/Error.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace tavik {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Degrees = 180 / Pi;

// WGS 84's flattening, a defining parameter (NIMA TR8350.2, 3rd ed., ch. 3),
// for the height and latitude of the point under the satellite.
constexpr double Wgs84Flattening = 1 / 298.257223563;

// Where golden-section search on the elevation stops: the maximum is given
// to the second.
constexpr double MaximumTolerance = 0.25; // s

// A celestial vector in the Earth-fixed frame of the sidereal angle (degrees).
Vector3 EarthFixed(double x, double y, double z, double siderealAngle)
{
    const double c = std::cos(siderealAngle / Degrees), s = std::sin(siderealAngle / Degrees);
    return {x * c + y * s, -x * s + y * c, z};
}

double SunElevation(const StepState& s)
{
    const Vector3 sun = EarthFixed(s.Sun().SunX, s.Sun().SunY, s.Sun().SunZ, s.Orbit.SiderealAngle);
    const double up = sun.X * s.Look.StationUpX + sun.Y * s.Look.StationUpY + sun.Z * s.Look.StationUpZ;
    return std::asin(std::clamp(up, -1.0, 1.0)) * Degrees;
}

// The highest point within [from, to] (seconds), where the elevation has
// one peak; the second it rounds to.
double PeakSecond(PointEvaluator& evaluate, double from, double to)
{
    const auto depth = [&evaluate](double t) { return -evaluate.Elevation(t); };
    return std::round(GoldenMinimum(depth, from, to, MaximumTolerance).At);
}

// One satellite's passes in the window, from the elevation at each whole
// minute, refined between the minutes.
void PassesOf(const ElementSet& set, std::size_t index, const UpcomingRequest& request, std::vector<UpcomingPass>& out)
{
    ForecastRequest one{request.From, set, request.Site, request.Axis, 1, request.Model};
    PointEvaluator evaluate(one);
    const std::int64_t minutes = std::int64_t{request.Hours} * 60;
    const double start = static_cast<double>(request.From.Seconds());
    auto at = [&](std::int64_t k) { return request.From.AddMinutes(k); };

    auto close = [&](std::int64_t first, std::int64_t end, std::int64_t best, bool setKnown) {
        UpcomingPass u;
        u.SatName = set.SatName;
        u.CatalogueNumber = CatalogueNumber(set.Line1);
        u.Index = index;
        PassDetail& p = u.Pass;
        p.RiseKnown = first > 0;
        p.SetKnown = setKnown;
        p.FirstMinute = first;
        p.EndMinute = end;
        p.DurationMinutes = (setKnown ? end : end - 1) - first;
        // The peak lies within a minute of the highest minute (and within
        // the window).
        const double low = start + 60.0 * static_cast<double>(std::max<std::int64_t>(best - 1, 0));
        const double high = start + 60.0 * static_cast<double>(std::min(best + 1, minutes - 1));
        const double peak = std::clamp(PeakSecond(evaluate, low, high), low, high);
        const StepState s = evaluate.StateAt(peak);
        p.Max = evaluate.At(peak);
        if (p.Max.Elevation < request.MinElevation) return;
        u.SunElevationAtMax = SunElevation(s);
        u.VisibleToEye = p.Max.Sunlit && u.SunElevationAtMax <= DarkSkySunElevation;
        p.Rise = evaluate.At(at(first));
        p.Set = evaluate.At(at(setKnown ? end : end - 1));
        if (p.RiseKnown) p.RiseCrossing = HorizonCrossing(evaluate, at(first - 1), at(first));
        if (p.SetKnown) p.SetCrossing = HorizonCrossing(evaluate, at(end - 1), at(end));
        out.push_back(std::move(u));
    };

    std::optional<std::int64_t> first; // the first minute of the pass under way
    std::int64_t best = 0;
    double highest = 0;
    for (std::int64_t k = 0; k < minutes; ++k) {
        const double e = evaluate.Elevation(start + 60.0 * static_cast<double>(k));
        if (std::isnan(e)) return; // the model cannot go on: nothing after this
        if (e > 0) {
            if (!first) {
                first = k;
                best = k;
                highest = e;
            } else if (e > highest) {
                best = k;
                highest = e;
            }
        } else if (first) {
            close(*first, k, best, true);
            first.reset();
        }
    }
    if (first) close(*first, minutes, best, false);
}

} // namespace

UpcomingList UpcomingPasses(const std::vector<ElementSet>& sets, const UpcomingRequest& request,
                            const std::function<void(std::size_t, std::size_t)>& progress)
{
    UpcomingList list;
    list.End = request.From.AddMinutes(std::int64_t{request.Hours} * 60);
    std::vector<std::vector<UpcomingPass>> found(sets.size());
    std::vector<std::optional<std::string>> problems(sets.size());
    for (std::size_t i = 0; i < sets.size(); ++i)
        if (auto why = PropagationProblem(sets[i])) problems[i] = sets[i].SatName + ": " + *why;

    // Each thread takes the next satellite not yet taken: a deep-space orbit
    // costs more than a low one, so fixed shares would leave threads idle.
    std::atomic<std::size_t> next{0}, done{0};
    auto work = [&] {
        for (std::size_t i = next++; i < sets.size(); i = next++) {
            if (!problems[i]) PassesOf(sets[i], i, request, found[i]);
            const std::size_t d = ++done;
            if (progress) progress(d, sets.size());
        }
    };
    const int threads = std::max(1, std::min(ThreadCount(request.Threads), static_cast<int>(sets.size())));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();

    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (problems[i]) list.Skipped.push_back(*problems[i]);
        for (UpcomingPass& p : found[i]) list.Passes.push_back(std::move(p));
    }
    // By rise; a pass under way at the start, by its first minute, comes first.
    std::stable_sort(list.Passes.begin(), list.Passes.end(), [](const UpcomingPass& a, const UpcomingPass& b) {
        const auto key = [](const UpcomingPass& u) {
            return u.Pass.RiseKnown ? u.Pass.RiseToTheSecond().At.Seconds() : std::int64_t{-1};
        };
        return key(a) < key(b);
    });
    return list;
}

const char* LightName(LightState light)
{
    switch (light) {
    case LightState::Penumbra: return "penumbra";
    case LightState::Umbra: return "umbra";
    case LightState::Sunlit: break;
    }
    return "sunlit";
}

SkyNow SkyPlaceAt(PointEvaluator& evaluate, OrbitModel model, DateTime at)
{
    SkyNow sky;
    const double t = static_cast<double>(at.Seconds());
    const StepState s = evaluate.StateAt(t);
    sky.Point = evaluate.At(t);
    sky.Up = sky.Point.Elevation > 0;

    // The point under the satellite on the ellipsoid: the geodetic latitude
    // by fixed-point iteration (converged well below a metre in a few steps).
    const Vector3 r = EarthFixed(s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ, s.Orbit.SiderealAngle);
    const double e2 = Wgs84Flattening * (2 - Wgs84Flattening);
    const double p = std::hypot(r.X, r.Y);
    double lat = std::atan2(r.Z, p * (1 - e2));
    double n = EarthRadius;
    for (int i = 0; i < 6; ++i) {
        n = EarthRadius / std::sqrt(1 - e2 * std::sin(lat) * std::sin(lat));
        lat = std::atan2(r.Z + e2 * n * std::sin(lat), p);
    }
    sky.SubLatitude = lat * Degrees;
    sky.SubLongitude = std::atan2(r.Y, r.X) * Degrees;
    sky.Height = p / std::cos(lat) - n;

    if (s.InEclipse) {
        sky.Light = LightState::Umbra;
    } else if (model == OrbitModel::Sgp4 && s.SunFraction < 1) {
        sky.Light = LightState::Penumbra;
    }
    return sky;
}

std::optional<PassPointDetail> NextHorizonCrossing(PointEvaluator& evaluate, DateTime at, bool up)
{
    // Minute by minute to the first change of side, then to the second.
    DateTime before = at;
    for (int m = 1; m <= SkyNowSearchHours * 60; ++m) {
        const DateTime after = at.AddMinutes(m);
        const double e = evaluate.Elevation(static_cast<double>(after.Seconds()));
        if (std::isnan(e)) break;
        if ((e > 0) != up) return HorizonCrossing(evaluate, before, after);
        before = after;
    }
    return std::nullopt;
}

SkyNow SkyAt(const ForecastRequest& request, DateTime at)
{
    if (const auto why = PropagationProblem(request.Elements)) throw InputError(request.Elements.SatName + ": " + *why);
    PointEvaluator evaluate(request);
    SkyNow sky = SkyPlaceAt(evaluate, request.Model, at);
    sky.Next = NextHorizonCrossing(evaluate, at, sky.Up);
    return sky;
}

} // namespace tavik
