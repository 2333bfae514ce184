// The pass details beside the lists: the maximum found to the second, passes
// cut by the run's edges, a satellite that never sets.
#include "forecast/PassDetails.h"
#include "PlannedRun.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tavik {
namespace {

// A search that stops at the best minute, or steps the wrong way, is off by
// up to 30 s; every second of the pass, tried one by one, finds the peak.
TEST(PassDetails, MaximumIsTheBruteForcePeakToASecondInBothModels)
{
    for (OrbitModel model : {OrbitModel::Classic, OrbitModel::Sgp4}) {
        const PlannedRun run = RunEntry(1, *DateTime::FromCalendar(2026, 12, 7), model);
        ASSERT_GE(run.Details.Passes.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            const PassDetail& p = run.Details.Passes[i];
            PassPointDetail best = EvaluateAt(run.Request, p.Rise.At.AddMinutes(-1));
            for (DateTime t = best.At; t.Seconds() <= p.Set.At.Seconds(); t = t.AddSeconds(1))
                if (const PassPointDetail q = EvaluateAt(run.Request, t); q.Elevation > best.Elevation) best = q;
            EXPECT_LE(std::abs(p.Max.At.Seconds() - best.At.Seconds()), 1) << ModelName(model) << " pass " << i;
            EXPECT_NEAR(p.Max.Elevation, best.Elevation, 1e-3);
            // The list keeps the whole minute's value, never above the peak.
            EXPECT_LE(run.Result.Passes[i].MaxElevation, p.Max.Elevation);
            EXPECT_EQ(p.Rise.At, run.Result.Start.AddMinutes(p.FirstMinute));
        }
    }
}

// The list gives a pass already up at 00:00 the rise time 00:00; the details
// say the rise is unknown instead of taking the run's first minute for one,
// and give no crossing on the side a pass runs over the run's edge.
TEST(PassDetails, PassUpAtTheStartHasNoRise)
{
    const PlannedRun run = RunEntry(3, *DateTime::FromCalendar(2026, 12, 8), OrbitModel::Classic); // the Molniya
    ASSERT_GE(run.Details.Passes.size(), 2u);
    const PassDetail& first = run.Details.Passes.front();
    EXPECT_FALSE(first.RiseKnown);
    EXPECT_FALSE(first.RiseCrossing.has_value());
    EXPECT_TRUE(first.SetKnown);
    EXPECT_TRUE(first.SetCrossing.has_value());
    EXPECT_FALSE(run.Details.AlwaysUp);
    EXPECT_EQ(PassLine(run.Result.Passes.front()).substr(12, 5), "00:00");
    EXPECT_EQ(first.Set.At, *DateTime::FromCalendar(2026, 12, 8, 4, 21));
    // The last pass of the run, still open at its end, is there too.
    EXPECT_GT(run.Details.Passes.size(), run.Result.Passes.size());
    const PassDetail& last = run.Details.Passes.back();
    EXPECT_TRUE(last.RiseCrossing.has_value());
    EXPECT_FALSE(last.SetKnown);
    EXPECT_FALSE(last.SetCrossing.has_value());
    // A rise at the run's second minute is a rise like any other.
    const PlannedRun late = RunEntry(1, *DateTime::FromCalendar(2026, 12, 1), OrbitModel::Classic, "PM95vr");
    ASSERT_EQ(late.Details.Passes.front().FirstMinute, 1);
    EXPECT_TRUE(late.Details.Passes.front().RiseKnown);
}

// An eclipse already on at 00:00 has no entry time; one missed there was dropped.
TEST(PassDetails, EclipseOnAtTheStartHasNoEntry)
{
    const PlannedRun run = RunEntry(1, *DateTime::FromCalendar(2026, 12, 2), OrbitModel::Classic);
    ASSERT_FALSE(run.Details.Eclipses.empty());
    EXPECT_FALSE(run.Details.Eclipses.front().EntryKnown);
    EXPECT_EQ(run.Details.Eclipses.front().Exit, *DateTime::FromCalendar(2026, 12, 2, 0, 13));
}

// The list shows nothing for a satellite that never sets.
TEST(PassDetails, GeostationarySatelliteIsSaidToBeAlwaysUp)
{
    const PlannedRun run = RunEntry(4, *DateTime::FromCalendar(2026, 12, 7), OrbitModel::Classic);
    EXPECT_TRUE(run.Result.Passes.empty());
    EXPECT_TRUE(run.Details.AlwaysUp);
    ASSERT_EQ(run.Details.Passes.size(), 1u);
    EXPECT_FALSE(run.Details.Passes[0].RiseKnown);
    EXPECT_FALSE(run.Details.Passes[0].SetKnown);
}

// Samples dipping toward 0 send the search between them; a satellite that stays clear of the penumbra (geostationary
// at the June solstice, its shadow margin some 14 degrees) has no passage found there, by the search or by the run.
TEST(PassDetails, GrazeSearchInventsNoPassageWhereTheShadowStaysClear)
{
    const DateTime start = *DateTime::FromCalendar(2027, 6, 21);
    const PlannedRun run = RunEntry(4, start, OrbitModel::Sgp4);
    PointEvaluator evaluate(run.Request);
    // Each tenth minute a sampled local minimum of 0, below what the samples beside it climb.
    const auto dips = [](std::int64_t k) { return 0.01 * static_cast<double>(std::abs(k % 10 - 5)); };
    EXPECT_EQ(GrazesBetweenMinutes(evaluate, start, 100, dips).size(), 0u);
    const auto alone = std::count_if(run.Details.Eclipses.begin(), run.Details.Eclipses.end(),
                                     [](const EclipseDetail& e) { return !e.Umbra; });
    EXPECT_EQ(alone, 0);
}

} // namespace
} // namespace tavik
