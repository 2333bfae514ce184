// The SGP4 model in the run: the same on any number of threads; a run SGP4 cannot follow stops and says why. Its
// passes and eclipses are judged against independent references in HorizonCrossingTest and EclipseEdgesTest.
#include "forecast/Forecast.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavik {
namespace {

ForecastResult RunIn(const CurrentElementSet& elements, DateTime start, OrbitModel model, int threads = 0)
{
    ShadowCarry carry;
    return RunForecast({start, elements, MakeStation("JO40hc"), {}, threads, model}, carry);
}

// Entry index of the bundled example, or of the text given.
CurrentElementSet Entry(int index, const char* tle = nullptr)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    if (tle) ParseCatalogue(tle, "test.tle", *catalogue);
    else LoadCatalogue(std::string(TAVIK_EXAMPLES) + "/example.tle", *catalogue);
    return SelectElementSet(*catalogue, index);
}

// Days side by side give the one-thread run's doubles: the resonance integration and the penumbra's share
// are carried across the seams of the day ranges.
TEST(PreciseModel, DeepSpaceRunIsTheSameOnAnyNumberOfThreads)
{
    const CurrentElementSet molniya = Entry(3);
    const DateTime start = *DateTime::FromCalendar(2026, 12, 6);
    const ForecastResult one = RunIn(molniya, start, OrbitModel::Sgp4, 1);
    const ForecastResult three = RunIn(molniya, start, OrbitModel::Sgp4, 3);
    ASSERT_EQ(one.Minutes.size(), three.Minutes.size());
    for (std::size_t i = 0; i < one.Minutes.size(); ++i) {
        ASSERT_EQ(one.Minutes[i].SatElevation, three.Minutes[i].SatElevation) << i;
        ASSERT_EQ(one.Minutes[i].Illumination, three.Minutes[i].Illumination) << i;
    }
    EXPECT_EQ(PassLines(one), PassLines(three));
}

// A satellite SGP4 cannot follow (an eccentricity of 0.995: the semi-latus rectum goes negative some twenty
// minutes after the epoch) must not go on with values that mean nothing, nor lose what came before.
TEST(PreciseModel, AnSgp4StopEndsTheRunWithItsPartialResultsAndTheReason)
{
    const CurrentElementSet e = Entry(1, "ECC\n"
                                      "1 33333U 05037B   05333.00000000  .25992681  00000-0  24476-3 0  1534\n"
                                      "2 33333  96.4736 157.9986 9950000 244.0492 110.6523  4.00004038 10708\n");
    const ForecastResult r = RunIn(e, *DateTime::FromCalendar(2005, 11, 29), OrbitModel::Sgp4);
    EXPECT_EQ(r.End, RunEnd::SemiLatusRectumNegative);
    EXPECT_GT(r.StopMinute, 5) << r.StopMinute;
    EXPECT_LT(r.StopMinute, 60) << r.StopMinute;
    // The steps before, and not the stop's own.
    EXPECT_EQ(r.Minutes.size(), static_cast<std::size_t>(r.StopMinute));
    EXPECT_EQ(r.WalkedSteps, r.Minutes.size());
    const std::string minute = std::string(r.StopMinute < 10 ? "0" : "") + std::to_string(r.StopMinute);
    EXPECT_EQ(StopMessage(r, IsoFormats()),
              "\"ECC\" cannot be followed further by the SGP4 model (the semi-latus rectum went negative) at "
              "2005-11-29 00:" + minute + ":00 UTC; the forecast stops there");

}

} // namespace
} // namespace tavik
