// Whole 59-day runs: structure, rules checked against the per-minute records,
// the stop below 150 km, and refusals before the run.
#include "forecast/Forecast.h"
#include "WorkedExample.h"

#include "output/ListLines.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

ForecastResult RunExample(const CurrentElementSet& e, bool startInShadow = false, const ForecastProgress& progress = {})
{
    ShadowCarry carry{startInShadow};
    return RunForecast({*DateTime::FromCalendar(2026, 12, 6), e, test::Lat50Lon10(), {}, OrbitModel::Design, 0}, carry, progress);
}

// One run of the worked example shared by the tests that only read it.
const ForecastResult& ExampleRun()
{
    static const ForecastResult result = RunExample(test::WorkedExampleSet());
    return result;
}

TEST(RunForecast, CoversFiftyNineDaysOf1441StepsIntoTheNextYear)
{
    const ForecastResult& r = ExampleRun();
    EXPECT_TRUE(r.Completed());
    EXPECT_EQ(r.Minutes.size(), 59u * 1441u);
    EXPECT_EQ(r.DrawnSteps, r.Minutes.size());
    EXPECT_TRUE(!r.At(0, 0) && !r.At(60, 0) && !r.At(1, -1) && !r.At(1, 1441) && r.At(59, 1440)); // steps outside the run
    const std::vector<std::string> labels = RowLabels(r, IsoFormats());
    ASSERT_EQ(labels.size(), 59u);
    EXPECT_EQ(labels.front() + labels[25] + labels[26] + labels.back(), "2026-12-062026-12-312027-01-012027-02-02");
    for (int d = 1; d <= 59; ++d) {
        EXPECT_EQ(r.DailySunAngle[static_cast<std::size_t>(d - 1)], r.At(d, 1440)->SunAngle) << d;
        // Minute 1440 and minute 0 of the next day are the same instant.
        if (d < 59) {
            EXPECT_EQ(r.At(d, 1440)->SatElevation, r.At(d + 1, 0)->SatElevation) << d;
        }
    }
}

TEST(RunForecast, OneEventPerPassAndPerEclipseThatEndedEachFromItsFirstMinute)
{
    const ForecastResult& r = ExampleRun();
    // Walks the steps in order, skipping the repeated midnight steps: the minutes where a flag switches on.
    auto onsets = [&r](bool (*on)(const MinuteRecord&)) {
        std::vector<DateTime> out;
        bool previous = false;
        for (int d = 1; d <= 59; ++d)
            for (int m = (d == 1 ? 0 : 1); m <= 1440; ++m) {
                if (on(*r.At(d, m)) && !previous) out.push_back(r.Start.AddDays(d - 1).AddMinutes(m));
                previous = on(*r.At(d, m));
            }
        return out;
    };
    const auto rises = onsets([](const MinuteRecord& m) { return m.SatElevation > 0; });
    const auto entries = onsets([](const MinuteRecord& m) { return m.InEclipse; });
    // An event still open after the last step is not reported.
    ASSERT_EQ(r.Passes.size() + (r.At(59, 1440)->SatElevation > 0), rises.size());
    ASSERT_EQ(r.Eclipses.size() + r.At(59, 1440)->InEclipse, entries.size());
    EXPECT_GT(r.Passes.size(), 100u);
    EXPECT_GT(r.Eclipses.size(), 100u);
    for (std::size_t i = 0; i < r.Passes.size(); ++i) {
        const CalcInstant& at = r.Passes[i].Rise.At;
        EXPECT_EQ(*DateTime::FromCalendar(at.CalcYear, at.CalcMonth, at.CalcDay, static_cast<int>(at.CalcHour),
                                          static_cast<int>(at.CalcMinute)),
                  rises[i]) << i;
    }
    for (std::size_t i = 0; i < r.Eclipses.size(); ++i) {
        EXPECT_EQ(r.Eclipses[i].Entry, entries[i]) << i;
        EXPECT_TRUE(r.Eclipses[i].DurationMinutes > 0 && r.Eclipses[i].DurationMinutes < 40) << i; // a low orbit
    }
    // The illumination of a step uses the shadow flag of the step before.
    for (std::size_t i = 1; i < r.Minutes.size(); ++i)
        EXPECT_EQ(r.Minutes[i].Illumination == 0, r.Minutes[i - 1].InEclipse) << i;
}

TEST(RunForecast, ReportsEachDayThenZeroAndStopsWhenTheCallbackSaysSo)
{
    std::vector<int> values;
    const ForecastResult r = RunExample(test::WorkedExampleSet(), false, [&](int v, int max) {
        EXPECT_EQ(max, 60);
        values.push_back(v);
        return v < 3;
    });
    EXPECT_EQ(values, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(r.End, RunEnd::Cancelled);
    EXPECT_TRUE(r.StopDay == 3 && r.StopMinute == 0) << r.StopDay << " " << r.StopMinute;
    EXPECT_EQ(r.Minutes.size(), 2u * 1441u);
    values.clear();
    RunExample(test::WorkedExampleSet(), false, [&](int v, int) { return values.push_back(v), true; });
    ASSERT_EQ(values.size(), 60u);
    for (int d = 1; d <= 59; ++d) EXPECT_EQ(values[static_cast<std::size_t>(d - 1)], d);
    EXPECT_EQ(values.back(), 0);
}

TEST(RunForecast, StopsBelow150KmKeepingWhatItHas)
{
    CurrentElementSet decaying = test::WorkedExampleSet("DECAYING"); // sinks through 150 km within the run
    decaying.MeanMotion = 16.2;
    decaying.Decay = 0.004;
    const ForecastResult r = RunExample(decaying);
    ASSERT_EQ(r.End, RunEnd::BelowMinimumHeight);
    EXPECT_GT(r.StopDay, 1);
    EXPECT_LT(r.Minutes.back().SatHeight, 150);
    EXPECT_EQ(r.DrawnSteps, r.Minutes.size() - 1); // the stopping step draws nothing
    for (std::size_t i = 0; i + 1 < r.Minutes.size(); ++i) EXPECT_GE(r.Minutes[i].SatHeight, 150);
    EXPECT_EQ(r.RowDates.size(), static_cast<std::size_t>(r.StopDay));
    EXPECT_NE(StopMessage(r, IsoFormats()).find("\"DECAYING\" sank below 150 km at "), std::string::npos);

    CurrentElementSet low = test::WorkedExampleSet(); // below the limit at the first step
    low.MeanMotion = 16.6;
    const ForecastResult first = RunExample(low);
    EXPECT_EQ(first.End, RunEnd::BelowMinimumHeight);
    EXPECT_EQ(first.Minutes.size(), 1u);
    EXPECT_EQ(first.DrawnSteps, 0u);
    EXPECT_TRUE(first.Passes.empty() && first.Eclipses.empty());
}

TEST(RunForecast, RefusesAnUnusableSetBeforeComputing)
{
    CurrentElementSet noMotion = test::WorkedExampleSet();
    noMotion.MeanMotion = 0;
    ShadowCarry carry{true};
    try {
        RunForecast({*DateTime::FromCalendar(2026, 12, 6), noMotion, {}, {}, OrbitModel::Design, 0}, carry);
        ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("EXAMPLE"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(carry.InEclipse); // nothing was computed
}

TEST(RunForecast, TheFirstStepReadsTheShadowFlagTheLastComputationLeft)
{
    const ForecastResult dark = RunExample(test::WorkedExampleSet(), true, [](int v, int) { return v < 2; });
    const ForecastResult lit = RunExample(test::WorkedExampleSet(), false, [](int v, int) { return v < 2; });
    EXPECT_EQ(dark.Minutes[0].Illumination, 0);
    EXPECT_GT(lit.Minutes[0].Illumination, 0);
    EXPECT_EQ(dark.Minutes[1].Illumination, lit.Minutes[1].Illumination);
}

} // namespace
} // namespace tavik
