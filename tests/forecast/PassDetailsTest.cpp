// The pass details beside the lists: passes and eclipses cut by the run's edges, a satellite that never sets.
#include "forecast/PassDetails.h"
#include "PlannedRun.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// The list gives a pass already up at 00:00 the rise time 00:00; the details say the rise is unknown instead of
// taking the run's first minute for one, and give no crossing on the side a pass runs over the run's edge.
TEST(PassDetails, PassUpAtTheStartHasNoRise)
{
    const PlannedRun run = RunEntry(3, *DateTime::FromCalendar(2026, 12, 8), OrbitModel::Classic); // the Molniya
    ASSERT_GE(run.Details.Passes.size(), 2u);
    const PassDetail& first = run.Details.Passes.front();
    EXPECT_FALSE(first.RiseKnown);
    EXPECT_FALSE(first.RiseCrossing.has_value());
    EXPECT_FALSE(run.Details.AlwaysUp);
    EXPECT_EQ(PassLine(run.Result.Passes.front()).substr(12, 5), "00:00");
    EXPECT_EQ(first.Set.At, *DateTime::FromCalendar(2026, 12, 8, 4, 21));
    // The last pass of the run, still open at its end, is there too.
    EXPECT_GT(run.Details.Passes.size(), run.Result.Passes.size());
    const PassDetail& last = run.Details.Passes.back();
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

} // namespace
} // namespace tavik
