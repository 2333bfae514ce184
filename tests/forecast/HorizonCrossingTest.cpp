// Rise and set to the second: the root finder's edges, the rules every crossing keeps, and skyfield's SGP4
// (Debian's python3-skyfield) as the independent judge of the crossings and range rates.
#include "forecast/PassDetails.h"
#include "PlannedRun.h"
#include "output/Exports.h"

#include "TestSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tavik {
namespace {

TEST(FindSignChange, FindsTheRootFromEitherEndAndGivesUpWithoutABracket)
{
    const struct {
        const char* Case;
        double (*F)(double);
        double From, To;
        std::optional<double> Root;
    } rows[] = {
        {"rising", [](double t) { return t - 10.3; }, 0, 60, 10.3},
        {"setting", [](double t) { return 20.7 - t; }, 0, 60, 20.7},
        {"bracket given backwards", [](double t) { return t - 10.3; }, 60, 0, 10.3},
        {"zero at the first end", [](double t) { return t; }, 0, 60, 0},
        {"zero at the last end", [](double t) { return t - 60; }, 0, 60, 60},
        {"both ends above", [](double t) { return t + 1; }, 0, 60, std::nullopt},
        {"both ends below", [](double t) { return -1 - t; }, 0, 60, std::nullopt},
        {"not a number at an end", [](double) { return std::nan(""); }, 0, 60, std::nullopt},
        // The model stops halfway: no crossing rather than one at the stop.
        {"not a number inside", [](double t) { return t < 30 ? -1 : t > 59 ? 1 : std::nan(""); }, 0, 60, std::nullopt},
    };
    for (const auto& row : rows) {
        const std::optional<double> root = FindSignChange(row.F, row.From, row.To, 0.001);
        EXPECT_EQ(root.has_value(), row.Root.has_value()) << row.Case;
        if (root && row.Root) {
            EXPECT_NEAR(*root, *row.Root, 0.001) << row.Case;
        }
    }
}

// Rules for every crossing, as for the finders: within the minute before the list's rise (set) minute, the
// second before it below the horizon and the second after it above (the reverse for a set), the maximum between.
// The lowest passes are up for one whole minute only: both crossings then lie in the two minutes around it.
TEST(HorizonCrossing, EachLiesInTheMinuteBeforeTheListsMinuteWithTheHorizonBetweenItsNeighbouringSeconds)
{
    for (OrbitModel model : {OrbitModel::Classic, OrbitModel::Sgp4}) {
        SCOPED_TRACE(ModelName(model));
        const PlannedRun run = RunEntry(1, *DateTime::FromCalendar(2026, 12, 7), model);
        ASSERT_GE(run.Details.Passes.size(), 20u);
        PointEvaluator evaluate(run.Request);
        std::size_t oneMinute = 0;
        for (std::size_t i = 0; i + 1 < run.Details.Passes.size(); ++i) { // the last may be cut by the run's end
            const PassDetail& p = run.Details.Passes[i];
            oneMinute += p.EndMinute - p.FirstMinute == 1 ? 1 : 0;
            ASSERT_TRUE(p.RiseCrossing.has_value()) << i;
            ASSERT_TRUE(p.SetCrossing.has_value()) << i;
            const std::int64_t rise = p.RiseCrossing->At.Seconds(), set = p.SetCrossing->At.Seconds();
            EXPECT_LE(rise, p.Rise.At.Seconds()) << i;
            EXPECT_GE(rise, p.Rise.At.Seconds() - 60) << i;
            EXPECT_LE(set, p.Set.At.Seconds()) << i;
            EXPECT_GE(set, p.Set.At.Seconds() - 60) << i;
            EXPECT_LT(evaluate.At(p.RiseCrossing->At.AddSeconds(-1)).Elevation, 0) << i;
            EXPECT_GT(evaluate.At(p.RiseCrossing->At.AddSeconds(1)).Elevation, 0) << i;
            EXPECT_GT(evaluate.At(p.SetCrossing->At.AddSeconds(-1)).Elevation, 0) << i;
            EXPECT_LT(evaluate.At(p.SetCrossing->At.AddSeconds(1)).Elevation, 0) << i;
            EXPECT_LT(p.RiseCrossing->RangeRate, 0) << i; // coming closer at the rise
            EXPECT_GT(p.SetCrossing->RangeRate, 0) << i;
            EXPECT_LE(rise, p.Max.At.Seconds()) << i;
            EXPECT_LE(p.Max.At.Seconds(), set) << i;
        }
        EXPECT_GE(oneMinute, 1u) << "no one-minute pass in the run to test";
    }
}

// Skyfield judges (python3-skyfield, its own SGP4 and Earth rotation, nothing downloaded): its find_events
// brackets each rise and set to half a second, so each is narrowed further by halving on skyfield's own
// altitude before comparing. Tolerances from the issue: 1 s for a crossing (ours is rounded to the second),
// 10 m/s for the range rate, which skyfield gives at our crossing's second. Every pass skyfield finds that
// lasts over a minute must be one of ours. Seven days of an ISS-like orbit and of a Molniya orbit.
constexpr const char* Judge = R"(
import json, sys
from datetime import datetime, timezone
from skyfield.api import load, wgs84, EarthSatellite
ts = load.timescale(builtin=True)
days = 7
def when(text):
    return ts.from_datetime(datetime.strptime(text, '%Y-%m-%dT%H:%M:%SZ').replace(tzinfo=timezone.utc))
failed = False
for name in sys.argv[2:]:
    tle = open(folder + '/' + name + '.tle').read().split('\n')
    run = json.load(open(folder + '/' + name + '.json'))
    lat, lon = (float(x) for x in open(folder + '/' + name + '.site').read().split())
    satellite = EarthSatellite(tle[0].strip(), tle[1].strip(), name, ts)
    site = wgs84.latlon(lat, lon)
    seen = satellite - site
    start = when(run['run_start'])
    end = ts.tt_jd(start.tt + days)
    t, events = satellite.find_events(site, start, end, 0.0)
    def narrowed(tt, rising):
        low, high = tt - 1 / 86400, tt + 1 / 86400
        for _ in range(30):
            middle = (low + high) / 2
            if (seen.at(ts.tt_jd(middle)).altaz()[0].degrees > 0) == rising: high = middle
            else: low = middle
        return (low + high) / 2
    crossings = {'rise': [narrowed(x, True) for x, e in zip(t.tt, events) if e == 0],
                 'set': [narrowed(x, False) for x, e in zip(t.tt, events) if e == 2]}
    worst_time, worst_rate, count = 0.0, 0.0, 0
    ours = {'rise': [], 'set': []}
    for p in run['passes']:
        for side in ('rise', 'set'):
            point = p[side]
            if point is None or when(point['time']).tt > end.tt - 1 / 1440: continue
            at = when(point['time'])
            ours[side].append(at.tt)
            nearest = min(crossings[side], key=lambda x: abs(x - at.tt))
            off = abs(at.tt - nearest) * 86400
            rate = abs(seen.at(at).frame_latlon_and_rates(site)[5].km_per_s - point['range_rate_km_s'])
            worst_time, worst_rate, count = max(worst_time, off), max(worst_rate, rate), count + 1
            if off > 1.0 or rate > 0.010:
                print(name, side, point['time'], 'off by %.3f s, range rate by %.4f km/s' % (off, rate))
                failed = True
    for r, s in zip(crossings['rise'], crossings['set']):
        if s - r > 1 / 1440 and s < end.tt - 1 / 1440 and not any(abs(x - r) < 2 / 86400 for x in ours['rise']):
            print(name, 'skyfield pass not found, rising at', ts.tt_jd(r).utc_iso())
            failed = True
    print('%s: %d crossings, worst %.3f s from skyfield, range rate worst %.5f km/s'
          % (name, count, worst_time, worst_rate))
    if count < 10:
        print(name, 'too few crossings compared')
        failed = True
sys.exit(1 if failed else 0)
)";

TEST(HorizonCrossing, RiseSetAndRangeRateAgreeWithSkyfieldInTheSgp4Model)
{
    test::TempFolder folder;
    const DateTime start = *DateTime::FromCalendar(2026, 12, 7);
    std::string names;
    for (const auto& [index, name] : {std::pair{1, "leo"}, std::pair{3, "molniya"}}) {
        const PlannedRun run = RunEntry(index, start, OrbitModel::Sgp4);
        const ExportContext context = MakeExportContext(run.Result, run.Request, start);
        folder.Write(std::string(name) + ".json", DetailsJson(context, run.Details, true, false));
        folder.Write(std::string(name) + ".tle", run.Request.Elements.Line1 + "\n" + run.Request.Elements.Line2 + "\n");
        char site[64];
        std::snprintf(site, sizeof site, "%.12f %.12f", run.Request.Site.StationLat, run.Request.Site.StationLon);
        folder.Write(std::string(name) + ".site", site);
        names += std::string(" ") + name;
    }
    const auto script = folder.Write("judge.py", "import sys\nfolder = sys.argv[1]\n" + std::string(Judge));
    const std::string command = "/usr/bin/python3 " + script.string() + " " + folder.Path.string() + names;
    EXPECT_EQ(std::system(command.c_str()), 0) << "scripts/install-deps.sh installs python3-skyfield";
}

} // namespace
} // namespace tavik
