// Whole 59-day runs: structure and progress, the stop below 150 km, and the minutes counted across midnight.
#include "forecast/Forecast.h"
#include "WorkedExample.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

ForecastResult RunExample(const CurrentElementSet& e, const ForecastProgress& progress = {})
{
    ShadowCarry carry;
    return RunForecast({*DateTime::FromCalendar(2026, 12, 6), e, test::Lat50Lon10(), {}}, carry, progress);
}

TEST(RunForecast, CoversFiftyNineDaysOf1441StepsIntoTheNextYearReportingEachDayThenZero)
{
    std::vector<int> days;
    const ForecastResult r = RunExample(test::WorkedExampleSet(), [&](int v, int) {
        days.push_back(v);
        return true;
    });
    EXPECT_TRUE(r.Completed());
    ASSERT_EQ(days.size(), 60u);
    for (int d = 1; d <= 60; ++d) EXPECT_EQ(days[static_cast<std::size_t>(d - 1)], d % 60);
    EXPECT_EQ(r.Minutes.size(), 59u * 1441u);
    EXPECT_EQ(r.WalkedSteps, r.Minutes.size());
    EXPECT_FALSE(r.At(0, 0));
    EXPECT_FALSE(r.At(1, 1441));
    EXPECT_TRUE(r.At(59, 1440)); // steps outside the run
    const std::vector<std::string> labels = RowLabels(r, IsoFormats());
    ASSERT_EQ(labels.size(), 59u);
    EXPECT_EQ(labels.front() + labels[25] + labels[26] + labels.back(), "2026-12-062026-12-312027-01-012027-02-02");
}

// A satellite below 150 km at the very first step: the run stops there and says so. (One sinking through the
// limit within the run is the command line's reentry case.)
TEST(RunForecast, StopsBelow150KmSayingSoEvenAtTheFirstStep)
{
    CurrentElementSet low = test::WorkedExampleSet("LOW");
    low.MeanMotion = 16.6;
    const ForecastResult first = RunExample(low);
    EXPECT_EQ(first.Minutes.size(), 1u);
    EXPECT_EQ(first.WalkedSteps, 0u);
    EXPECT_NE(StopMessage(first, IsoFormats()).find("\"LOW\" sank below 150 km at "), std::string::npos);
}

// Minute 1440 of a day and minute 0 of the next are one instant: it counts once, and as minute 1440 only where
// the run computed no next day. Each record holds its step's index as its height.
TEST(RunMinute, CountsTheRepeatedMidnightOnceReadingTheNextDayWhereItWasComputed)
{
    struct Case {
        std::size_t Steps;      // records the run computed
        std::int64_t Count;     // minutes counted
        std::int64_t Last;      // the step the last minute reads
        std::int64_t Midnight;  // the step minute 1440 reads
    };
    const Case cases[] = {
        {1, 1, 0, -1},                             // stopped at the first step
        {1441, 1441, 1440, 1440},                  // stopped at minute 1440 of day 1
        {1442, 1441, 1441, 1441},                  // stopped at minute 0 of day 2: the same instant
        {59 * 1441, 59 * 1440 + 1, 59 * 1441 - 1, 1441}, // the whole run
    };
    for (const Case& c : cases) {
        ForecastResult r;
        r.Minutes.resize(c.Steps);
        for (std::size_t i = 0; i < c.Steps; ++i) r.Minutes[i].SatHeight = static_cast<double>(i);
        EXPECT_EQ(RunMinuteCount(r), c.Count) << c.Steps;
        EXPECT_EQ(RunMinute(r, c.Count - 1).SatHeight, static_cast<double>(c.Last)) << c.Steps;
        if (c.Midnight >= 0) {
            EXPECT_EQ(RunMinute(r, 1440).SatHeight, static_cast<double>(c.Midnight)) << c.Steps;
        }
    }
    EXPECT_EQ(RunMinuteCount(ForecastResult{}), 0);
}

} // namespace
} // namespace tavik
