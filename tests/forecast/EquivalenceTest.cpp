// A run computes its constants once and days side by side; the results must
// be those of the chain recomputing everything at every step, in order.
#include "forecast/Forecast.h"
#include "forecast/StripChart.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavik {
namespace {

// The straightforward run: every step a full ComputeState, one after another.
ForecastResult ReferenceRun(const ForecastRequest& q, ShadowCarry& carry)
{
    ForecastResult r;
    r.Start = q.Start;
    PassFinder passes;
    EclipseFinder eclipses;
    DateTime dayStart = r.Start, stepTime;
    r.RowDates.push_back(dayStart);
    for (int day = 1; day <= ForecastDays; ++day) {
        if (day >= 2) r.RowDates.push_back(stepTime);
        for (int m = 0; m < StepsPerDay; ++m) {
            stepTime = dayStart.AddMinutes(m);
            const CalcInstant at = CalcInstantOf(stepTime);
            StepState s = ComputeState(q.Elements, q.Site, q.Axis, at, carry);
            MinuteRecord rec{s.SatHeight(), s.SatAzimuth(), s.SatElevation(), s.SunAngle(), s.Illumination(), s.InEclipse, s.Orbit.KeplerConverged};
            r.Minutes.push_back(rec);
            r.DailySunAngle[static_cast<std::size_t>(day - 1)] = rec.SunAngle;
            if (rec.SatHeight < MinimumHeight) return r.End = RunEnd::BelowMinimumHeight, r;
            if (auto p = passes.Step(at, {rec.SatElevation, rec.SatAzimuth, rec.SunAngle, rec.Illumination}))
                r.Passes.push_back(*p);
            if (auto e = eclipses.Step(rec.InEclipse, stepTime)) r.Eclipses.push_back(*e);
            r.WalkedSteps = r.Minutes.size();
        }
        dayStart = dayStart.AddDays(1);
    }
    return r;
}

// Bit for bit: doubles compared with ==.
bool SameRecord(const MinuteRecord& x, const MinuteRecord& y)
{
    return x.SatHeight == y.SatHeight && x.SatAzimuth == y.SatAzimuth && x.SatElevation == y.SatElevation
           && x.SunAngle == y.SunAngle && x.Illumination == y.Illumination && x.InEclipse == y.InEclipse;
}

TEST(RunEquivalence, SameAsRecomputingEveryStepForAnyThreadCount)
{
    const struct { const char* Name; double Inclination, Eccentricity, MeanMotion, Decay, ArgPerigee; bool StartInShadow; } cases[] = {
        {"LEO", 51.64, 0.0005, 15.5, 0.0001, 90, false}, {"SSO", 98.7, 0.0012, 14.3, 0.00002, 200, true},
        {"MOLNIYA", 63.4, 0.72, 2.006, 0, 270, false}, {"DECAYING", 51.6, 0.0004, 16.2, 0.004, 10, false},
    };
    const RegionalFormats formats = GermanLikeFormats();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const CurrentElementSet elements{.SatName = c.Name, .Line1 = "1", .Line2 = "2", .Epoch = 26335.25, .Inclination = c.Inclination,
                                         .RAAN = 47.5, .Eccentricity = c.Eccentricity, .ArgPerigee = c.ArgPerigee, .MeanAnomaly = 12.25,
                                         .MeanMotion = c.MeanMotion, .Decay = c.Decay};
        ForecastRequest q{*DateTime::FromCalendar(2026, 12, 28), elements, MakeStation("JO40hc"), Attitude{}};
        ShadowCarry refCarry{c.StartInShadow};
        const ForecastResult ref = ReferenceRun(q, refCarry);
        for (int threads : {1, 2, 3, 7}) {
            SCOPED_TRACE(threads);
            q.Threads = threads;
            ShadowCarry carry{c.StartInShadow};
            const ForecastResult run = RunForecast(q, carry);
            const auto differ = std::mismatch(run.Minutes.begin(), run.Minutes.end(), ref.Minutes.begin(),
                                              ref.Minutes.end(), SameRecord);
            EXPECT_TRUE(differ.first == run.Minutes.end() && differ.second == ref.Minutes.end())
                << "step " << differ.first - run.Minutes.begin() << " differs";
            EXPECT_EQ(run.End, ref.End);
            EXPECT_EQ(PassLines(run), PassLines(ref));
            EXPECT_EQ(EclipseLines(run, formats), EclipseLines(ref, formats));
            EXPECT_EQ(RowLabels(run, formats), RowLabels(ref, formats));
            EXPECT_EQ(run.WalkedSteps, ref.WalkedSteps);
            EXPECT_EQ(carry.InEclipse, refCarry.InEclipse);
            EXPECT_EQ(run.DailySunAngle, ref.DailySunAngle);
            EXPECT_EQ(RenderStrip(run).Pixels, RenderStrip(ref).Pixels);
        }
    }
}

} // namespace
} // namespace tavik
