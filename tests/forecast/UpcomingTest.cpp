// The passes of every satellite over the coming hours and the sky at an instant: order, window edges, the
// elevation filter, the eye's flag, the JSON's shape, and the crossings held to Pass details'.
#include "forecast/Upcoming.h"
#include "output/Exports.h"

#include "PlannedRun.h"
#include "TestSupport.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace tavik {
namespace {

std::vector<ElementSet> Examples()
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(std::string(TAVIK_EXAMPLES) + "/example.tle", *catalogue);
    std::vector<ElementSet> sets;
    for (int i = 1; i <= catalogue->CatalogueCount; ++i) sets.push_back(SelectElementSet(*catalogue, i));
    return sets;
}

UpcomingRequest Request(DateTime from, int hours)
{
    UpcomingRequest r;
    r.From = from;
    r.Hours = hours;
    r.Site = MakeStation("JO40hc");
    r.Model = OrbitModel::Sgp4;
    return r;
}

const DateTime Start = *DateTime::FromCalendar(2026, 12, 7);

TEST(UpcomingPasses, AreSortedByRiseAndTheSameOnAnyNumberOfThreads)
{
    const std::vector<ElementSet> sets = Examples();
    UpcomingRequest one = Request(Start, 48);
    one.Threads = 1;
    UpcomingRequest two = one;
    two.Threads = 2;
    const UpcomingList a = UpcomingPasses(sets, one);
    const UpcomingList b = UpcomingPasses(sets, two);
    ASSERT_GE(a.Passes.size(), 10u);
    for (std::size_t i = 1; i < a.Passes.size(); ++i) {
        EXPECT_LE(a.Passes[i - 1].Pass.RiseToTheSecond().At.Seconds(), a.Passes[i].Pass.RiseToTheSecond().At.Seconds())
            << i;
    }
    ASSERT_EQ(a.Passes.size(), b.Passes.size());
    for (std::size_t i = 0; i < a.Passes.size(); ++i) {
        EXPECT_EQ(a.Passes[i].SatName, b.Passes[i].SatName) << i;
        EXPECT_EQ(a.Passes[i].Pass.Max.At, b.Passes[i].Pass.Max.At) << i;
    }
}

// The list finds each maximum by a search between the minutes, Pass details by trying every second: the same
// second, or its neighbour where the peak lies on a half second. The crossings are Pass details' to the second,
// which skyfield judges in HorizonCrossingTest: of the LEO and of the Molniya orbit.
TEST(UpcomingPasses, PeakOnTheSecondAndCrossingsPassDetailsFind)
{
    for (int index : {1, 3}) {
        SCOPED_TRACE(index);
        const PlannedRun run = RunEntry(index, Start, OrbitModel::Sgp4);
        const UpcomingList list = UpcomingPasses({run.Request.Elements}, Request(Start, 48));
        ASSERT_GE(list.Passes.size(), 5u);
        std::size_t compared = 0;
        for (const UpcomingPass& u : list.Passes) {
            SCOPED_TRACE(u.Pass.Rise.At.Seconds());
            const auto same = std::find_if(run.Details.Passes.begin(), run.Details.Passes.end(),
                                           [&](const PassDetail& p) { return p.Rise.At == u.Pass.Rise.At; });
            ASSERT_NE(same, run.Details.Passes.end());
            EXPECT_LE(std::abs(u.Pass.Max.At.Seconds() - same->Max.At.Seconds()), 1);
            EXPECT_NEAR(u.Pass.Max.Elevation, same->Max.Elevation, 1e-3);
            for (const auto& [ours, theirs] : {std::pair{&u.Pass.RiseCrossing, &same->RiseCrossing},
                                               std::pair{&u.Pass.SetCrossing, &same->SetCrossing}}) {
                if (!ours->has_value()) continue; // cut by the list's window
                ASSERT_TRUE(theirs->has_value());
                EXPECT_EQ((*ours)->At, (*theirs)->At);
                ++compared;
            }
        }
        EXPECT_GE(compared, 6u);
    }
}

// The first whole pass of the LEO, then windows that cut it at either end.
TEST(UpcomingPasses, KeepAPassUnderWayAtTheStartAndOneStillUpAtTheEndWithoutInventedCrossings)
{
    const std::vector<ElementSet> leo = {Examples().front()};
    const UpcomingList whole = UpcomingPasses(leo, Request(Start, 24));
    ASSERT_FALSE(whole.Passes.empty());
    const PassDetail& p = whole.Passes.front().Pass;
    ASSERT_TRUE(p.RiseCrossing.has_value());
    ASSERT_TRUE(p.SetCrossing.has_value());
    ASSERT_GE(p.SetCrossing->At.Seconds() - p.RiseCrossing->At.Seconds(), 240);

    // A window that opens in the minute before the rise holds the rise.
    const std::int64_t rise = p.RiseCrossing->At.Seconds();
    const UpcomingList justBefore = UpcomingPasses(leo, Request(DateTime::FromSeconds(rise - rise % 60), 1));
    ASSERT_FALSE(justBefore.Passes.empty());
    EXPECT_EQ(justBefore.Passes.front().Pass.FirstMinute, 1);
    EXPECT_TRUE(justBefore.Passes.front().Pass.RiseKnown);
    EXPECT_EQ(justBefore.Passes.front().Pass.RiseCrossing->At, p.RiseCrossing->At);

    const DateTime inside = p.RiseCrossing->At.AddMinutes(2);
    const UpcomingList cutAtStart = UpcomingPasses(leo, Request(inside, 1));
    ASSERT_FALSE(cutAtStart.Passes.empty());
    const PassDetail& first = cutAtStart.Passes.front().Pass;
    EXPECT_FALSE(first.RiseKnown);
    EXPECT_FALSE(first.RiseCrossing.has_value());
    EXPECT_TRUE(first.SetKnown);
    EXPECT_EQ(first.SetCrossing->At, p.SetCrossing->At);

    const UpcomingList cutAtEnd = UpcomingPasses(leo, Request(inside.AddMinutes(-60), 1));
    ASSERT_FALSE(cutAtEnd.Passes.empty());
    const PassDetail& last = cutAtEnd.Passes.back().Pass;
    EXPECT_TRUE(last.RiseKnown);
    EXPECT_EQ(last.RiseCrossing->At, p.RiseCrossing->At);
    EXPECT_FALSE(last.SetKnown);
    EXPECT_FALSE(last.SetCrossing.has_value());
}

TEST(UpcomingPasses, LeaveOutPassesWhoseMaximumStaysBelowTheLeastElevation)
{
    const std::vector<ElementSet> sets = Examples();
    const UpcomingList all = UpcomingPasses(sets, Request(Start, 48));
    UpcomingRequest high = Request(Start, 48);
    high.MinElevation = 30;
    const UpcomingList filtered = UpcomingPasses(sets, high);
    std::size_t expected = 0;
    for (const UpcomingPass& u : all.Passes) expected += u.Pass.Max.Elevation >= 30 ? 1 : 0;
    EXPECT_EQ(filtered.Passes.size(), expected);
    for (const UpcomingPass& u : filtered.Passes) EXPECT_GE(u.Pass.Max.Elevation, 30) << u.SatName;
}

// Visible to the eye: sunlit at the maximum under a sky with the Sun 6 degrees or more below the horizon.
TEST(UpcomingPasses, AreVisibleToTheEyeOnlyWhenSunlitUnderADarkSky)
{
    const UpcomingList list = UpcomingPasses(Examples(), Request(Start, 72));
    std::size_t visible = 0, sunlitInDaylight = 0, shadowedAtNight = 0;
    for (const UpcomingPass& u : list.Passes) {
        const bool dark = u.SunElevationAtMax <= DarkSkySunElevation;
        EXPECT_EQ(u.VisibleToEye, u.Pass.Max.Sunlit && dark) << u.SatName;
        visible += u.VisibleToEye ? 1 : 0;
        sunlitInDaylight += u.Pass.Max.Sunlit && !dark ? 1 : 0;
        shadowedAtNight += !u.Pass.Max.Sunlit && dark ? 1 : 0;
    }
    EXPECT_GE(visible, 1u);
    EXPECT_GE(sunlitInDaylight, 1u);
    EXPECT_GE(shadowedAtNight, 1u);
}

TEST(UpcomingJson, HoldsTheStationAndEachPassLedByItsSatellite)
{
    const std::vector<ElementSet> leo = {Examples().front()};
    const UpcomingList list = UpcomingPasses(leo, Request(Start, 24));
    ExportContext c;
    c.Site = MakeStation("JO40hc");
    c.Start = Start;
    const std::string json = UpcomingJson(c, list);
    EXPECT_EQ(json.rfind("{\n  \"station\": {\"locator\": \"JO40hc\"", 0), 0u) << json.substr(0, 80);
    EXPECT_NE(json.find("\n  \"passes\": [\n    {\n      \"satellite\": \"TAVIK-LEO\",\n"), std::string::npos);
    EXPECT_NE(json.find("\"catalogue_number\": \"" + CatalogueNumber(leo.front().Line1) + "\""), std::string::npos);
    for (const char* key : {"\"rise\": {", "\"max\": {", "\"set\": {", "\"range_rate_km_s\": ", "\"visible_to_eye\": "})
        EXPECT_NE(json.find(key), std::string::npos) << key;
}

// The sky now agrees with the evaluator, and the next crossing lies where the elevation changes sign.
TEST(SkyAt, GivesThePointOfTheEvaluatorAndTheNextCrossingToTheSecond)
{
    const std::vector<ElementSet> sets = Examples();
    const ForecastRequest request{Start, sets.front(), MakeStation("JO40hc"), {}, 1, OrbitModel::Sgp4};
    PointEvaluator evaluate(request);
    for (int minute : {0, 200, 411, 1000}) {
        const DateTime at = Start.AddMinutes(minute);
        const SkyNow sky = SkyAt(request, at);
        const PassPointDetail p = evaluate.At(at);
        EXPECT_EQ(sky.Point.Azimuth, p.Azimuth) << minute;
        EXPECT_EQ(sky.Point.Elevation, p.Elevation) << minute;
        EXPECT_EQ(sky.Point.Range, p.Range) << minute;
        EXPECT_EQ(sky.Point.RangeRate, p.RangeRate) << minute;
        EXPECT_EQ(sky.Up, p.Elevation > 0) << minute;
        EXPECT_GT(sky.Height, 300) << minute;
        EXPECT_LT(sky.Height, 1000) << minute;
        ASSERT_TRUE(sky.Next.has_value()) << minute;
        EXPECT_GT(sky.Next->At.Seconds(), at.Seconds()) << minute;
        const double before = evaluate.Elevation(static_cast<double>(sky.Next->At.Seconds() - 1));
        const double after = evaluate.Elevation(static_cast<double>(sky.Next->At.Seconds() + 1));
        EXPECT_EQ(before > 0, sky.Up) << minute;
        EXPECT_EQ(after > 0, !sky.Up) << minute;
    }
}

} // namespace
} // namespace tavik
