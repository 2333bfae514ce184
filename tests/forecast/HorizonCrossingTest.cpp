// Rise and set to the second: the root finder's edges, and skyfield's SGP4 (Debian's python3-skyfield) as the
// independent judge of the crossings and range rates.
#include "forecast/PassDetails.h"
#include "PlannedRun.h"
#include "output/Exports.h"

#include "PythonReference.h"

#include <cmath>
#include <cstdio>
#include <iostream>

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
        {"zero at the last end", [](double t) { return t - 60; }, 0, 60, 60},
        {"both ends above", [](double t) { return t + 1; }, 0, 60, std::nullopt},
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
