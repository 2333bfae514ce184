// Whole 59-day runs: structure, rules checked against the per-minute chain,
// the stop below 150 km, and refusals before the run.
#include "forecast/Forecast.h"
#include "WorkedExample.h"

#include "output/ListLines.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

CurrentElementSet ExampleSet() { return test::WorkedExampleSet(); }

ForecastRequest Request(const CurrentElementSet& e = ExampleSet())
{
    ForecastRequest r;
    r.Start = *DateTime::FromCalendar(2026, 12, 6);
    r.Elements = e;
    r.Site.StationLat = 50;
    r.Site.StationLon = 10;
    return r;
}

// One run of the worked example shared by the tests that only read it.
const ForecastResult& ExampleRun()
{
    static const ForecastResult result = [] {
        ShadowCarry carry;
        return RunForecast(Request(), carry);
    }();
    return result;
}

TEST(RunForecast, CoversFiftyNineDaysOf1441Steps)
{
    const ForecastResult& r = ExampleRun();
    EXPECT_TRUE(r.Completed());
    EXPECT_EQ(r.Minutes.size(), 59u * 1441u);
    EXPECT_EQ(r.DrawnSteps, r.Minutes.size());
    const std::vector<std::string> labels = RowLabels(r, IsoFormats());
    ASSERT_EQ(labels.size(), 59u);
    EXPECT_EQ(labels.front(), "2026-12-06");
    EXPECT_EQ(labels[25], "2026-12-31");
    EXPECT_EQ(labels[26], "2027-01-01"); // runs on into the next year
    EXPECT_EQ(labels.back(), "2027-02-02");
}

TEST(RunForecast, DailySunAngleIsTheValueAtMinute1440)
{
    const ForecastResult& r = ExampleRun();
    for (int d = 1; d <= 59; ++d) {
        EXPECT_EQ(r.DailySunAngle[static_cast<std::size_t>(d - 1)], r.At(d, 1440)->SunAngle);
        if (d < 59) {
            // Minute 1440 and minute 0 of the next day are the same instant.
            EXPECT_EQ(r.At(d, 1440)->SatElevation, r.At(d + 1, 0)->SatElevation);
            EXPECT_EQ(r.At(d, 1440)->InEclipse, r.At(d + 1, 0)->InEclipse);
        }
    }
}

// Walks the steps in order, skipping the repeated midnight step, and
// returns the (day, minute) pairs where the predicate switches on.
template <class Predicate>
std::vector<std::pair<int, int>> Onsets(const ForecastResult& r, Predicate on)
{
    std::vector<std::pair<int, int>> out;
    bool previous = false;
    for (int d = 1; d <= 59; ++d) {
        for (int m = (d == 1 ? 0 : 1); m <= 1440; ++m) {
            bool now = on(*r.At(d, m));
            if (now && !previous) out.emplace_back(d, m);
            previous = now;
        }
    }
    return out;
}

TEST(RunForecast, OnePassPerCompletedPassAboveTheHorizon)
{
    const ForecastResult& r = ExampleRun();
    auto rises = Onsets(r, [](const MinuteRecord& m) { return m.SatElevation > 0; });
    // A pass still open after the last step is not reported.
    bool openAtEnd = r.At(59, 1440)->SatElevation > 0;
    ASSERT_FALSE(r.Passes.empty());
    EXPECT_EQ(r.Passes.size() + (openAtEnd ? 1 : 0), rises.size());
    // Each pass rises at the first minute above the horizon.
    for (std::size_t i = 0; i < r.Passes.size(); ++i) {
        auto [d, m] = rises[i];
        const CalcInstant& at = r.Passes[i].Rise.At;
        EXPECT_EQ(at.CalcHour * 60 + at.CalcMinute, m % 1440) << i;
    }
}

TEST(RunForecast, OneEclipsePerPassageThroughTheShadow)
{
    const ForecastResult& r = ExampleRun();
    auto entries = Onsets(r, [](const MinuteRecord& m) { return m.InEclipse; });
    ASSERT_FALSE(r.Eclipses.empty());
    bool openAtEnd = r.At(59, 1440)->InEclipse;
    EXPECT_EQ(r.Eclipses.size() + (openAtEnd ? 1 : 0), entries.size());
    for (std::size_t i = 0; i < r.Eclipses.size(); ++i) {
        auto [d, m] = entries[i];
        EXPECT_EQ(r.Eclipses[i].Entry, r.Start.AddDays(d - 1).AddMinutes(m)) << i;
        // A low orbit spends at most about 36 minutes in the shadow.
        EXPECT_GT(r.Eclipses[i].DurationMinutes, 0);
        EXPECT_LT(r.Eclipses[i].DurationMinutes, 40);
    }
}

TEST(RunForecast, IlluminationLagsOneStepBehindTheShadow)
{
    const ForecastResult& r = ExampleRun();
    for (std::size_t i = 1; i < r.Minutes.size(); ++i) {
        if (r.Minutes[i - 1].InEclipse) EXPECT_EQ(r.Minutes[i].Illumination, 0) << i;
        else EXPECT_GT(r.Minutes[i].Illumination, 0) << i;
    }
}

TEST(RunForecast, ReportsProgressOncePerDayThenZero)
{
    std::vector<int> values;
    ShadowCarry carry;
    RunForecast(Request(), carry, [&](int v, int max) {
        EXPECT_EQ(max, 60);
        values.push_back(v);
        return true;
    });
    ASSERT_EQ(values.size(), 60u);
    for (int d = 1; d <= 59; ++d) EXPECT_EQ(values[static_cast<std::size_t>(d - 1)], d);
    EXPECT_EQ(values.back(), 0);
}

TEST(RunForecast, CanBeStoppedFromTheProgressCallback)
{
    ShadowCarry carry;
    ForecastResult r = RunForecast(Request(), carry, [](int v, int) { return v < 3; });
    EXPECT_EQ(r.End, RunEnd::Cancelled);
    EXPECT_EQ(r.Minutes.size(), 2u * 1441u);
}

TEST(RunForecast, StopsBelow150KmKeepingWhatItHas)
{
    // A set decaying fast enough to sink through 150 km within the run.
    CurrentElementSet decaying = ExampleSet();
    decaying.CurrentSatName = "DECAYING";
    decaying.MeanMotion = 16.2;
    decaying.Decay = 0.004;
    ShadowCarry carry;
    ForecastResult r = RunForecast(Request(decaying), carry);
    ASSERT_EQ(r.End, RunEnd::BelowMinimumHeight);
    EXPECT_GT(r.StopDay, 1);
    const MinuteRecord& last = r.Minutes.back();
    EXPECT_LT(last.SatHeight, 150);
    EXPECT_EQ(r.DrawnSteps, r.Minutes.size() - 1); // the stopping step draws nothing
    for (std::size_t i = 0; i + 1 < r.Minutes.size(); ++i) EXPECT_GE(r.Minutes[i].SatHeight, 150);
    EXPECT_EQ(r.RowDates.size(), static_cast<std::size_t>(r.StopDay));
    const std::string message = StopMessage(r, IsoFormats());
    EXPECT_NE(message.find("\"DECAYING\" sank below 150 km at "), std::string::npos) << message;
}

TEST(RunForecast, BelowTheLimitAtTheFirstStepDrawsNothing)
{
    CurrentElementSet low = ExampleSet();
    low.MeanMotion = 16.6;
    ShadowCarry carry;
    ForecastResult r = RunForecast(Request(low), carry);
    EXPECT_EQ(r.End, RunEnd::BelowMinimumHeight);
    EXPECT_EQ(r.Minutes.size(), 1u);
    EXPECT_EQ(r.DrawnSteps, 0u);
    EXPECT_TRUE(r.Passes.empty());
    EXPECT_TRUE(r.Eclipses.empty());
}

TEST(RunForecast, RefusesAnUnusableSetBeforeComputing)
{
    CurrentElementSet noMotion = ExampleSet();
    noMotion.MeanMotion = 0;
    ShadowCarry carry{true};
    try {
        RunForecast(Request(noMotion), carry);
        ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("EXAMPLE"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(carry.InEclipse); // nothing was computed
}

TEST(RunForecast, TheFirstStepReadsTheShadowFlagTheLastComputationLeft)
{
    ShadowCarry dark{true}, lit{false};
    ForecastResult a = RunForecast(Request(), dark, [](int v, int) { return v < 2; });
    ForecastResult b = RunForecast(Request(), lit, [](int v, int) { return v < 2; });
    EXPECT_EQ(a.Minutes[0].Illumination, 0);
    EXPECT_GT(b.Minutes[0].Illumination, 0);
    EXPECT_EQ(a.Minutes[1].Illumination, b.Minutes[1].Illumination);
}

} // namespace
} // namespace tavik
