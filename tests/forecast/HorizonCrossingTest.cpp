// Rise and set to the second: the root finder's edges, the rules every crossing keeps, and skyfield's SGP4
// (Debian's python3-skyfield) as the independent judge of the crossings and range rates.
#include "forecast/PassDetails.h"
#include "PlannedRun.h"
#include "output/Exports.h"

#include "PythonReference.h"

#include <cmath>
#include <cstdio>
#include <iostream>
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

// Skyfield judges (tests/reference/horizon_crossings.py: python3-skyfield, its own SGP4 and Earth
// rotation, nothing downloaded). Seven days of an ISS-like orbit and of a Molniya orbit.
TEST(HorizonCrossing, RiseSetAndRangeRateAgreeWithSkyfieldInTheSgp4Model)
{
    test::TempFolder folder;
    const DateTime start = *DateTime::FromCalendar(2026, 12, 7);
    std::vector<std::string> arguments{folder.Path.string()};
    for (const auto& [index, name] : {std::pair{1, "leo"}, std::pair{3, "molniya"}}) {
        const PlannedRun run = RunEntry(index, start, OrbitModel::Sgp4);
        const ExportContext context = MakeExportContext(run.Result, run.Request, start);
        folder.Write(std::string(name) + ".json", DetailsJson(context, run.Details, true, false));
        folder.Write(std::string(name) + ".tle", run.Request.Elements.Line1 + "\n" + run.Request.Elements.Line2 + "\n");
        char site[64];
        std::snprintf(site, sizeof site, "%.12f %.12f", run.Request.Site.StationLat, run.Request.Site.StationLon);
        folder.Write(std::string(name) + ".site", site);
        arguments.emplace_back(name);
    }
    std::cout << test::RunReference("horizon_crossings.py", arguments);
}

} // namespace
} // namespace tavik
