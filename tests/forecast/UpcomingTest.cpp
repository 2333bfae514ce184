// The passes of every satellite over the coming hours: window edges, the eye's flag, and the peak and crossings
// held to Pass details'.
#include "forecast/Upcoming.h"

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

    const UpcomingList cutAtEnd = UpcomingPasses(leo, Request(inside.AddMinutes(-60), 1));
    ASSERT_FALSE(cutAtEnd.Passes.empty());
    const PassDetail& last = cutAtEnd.Passes.back().Pass;
    EXPECT_FALSE(last.SetKnown);
    EXPECT_FALSE(last.SetCrossing.has_value());
}

// Visible to the eye: sunlit at the maximum under a sky with the Sun 6 degrees or more below the horizon.
TEST(UpcomingPasses, AreVisibleToTheEyeOnlyWhenSunlitUnderADarkSky)
{
    const UpcomingList list = UpcomingPasses(Examples(), Request(Start, 72));
    std::size_t visible = 0;
    for (const UpcomingPass& u : list.Passes) {
        const bool dark = u.SunElevationAtMax <= DarkSkySunElevation;
        EXPECT_EQ(u.VisibleToEye, u.Pass.Max.Sunlit && dark) << u.SatName;
        visible += u.VisibleToEye ? 1 : 0;
    }
    EXPECT_GE(visible, 1u);
}

} // namespace
} // namespace tavik
