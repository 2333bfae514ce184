// Speed of the engine: one step of the chain, a whole 59-day run (alone and
// with the strip rendering), the one-year table, loading a full catalogue,
// SGP4 over a run's instants, and a run in each model.
#include "WorkedExample.h"
#include "astro/ApparentSun.h"
#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "forecast/StripChart.h"
#include "forecast/Upcoming.h"
#include "forecast/YearOfLight.h"
#include "orbit/Sgp4.h"
#include "output/YearFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

using namespace tavik;

CurrentElementSet ExampleSet() { return test::WorkedExampleSet("BENCH"); }

Station Site() { return test::Lat50Lon10(); }

ForecastRequest Request()
{
    ForecastRequest r;
    r.Start = *DateTime::FromCalendar(2026, 12, 6);
    r.Elements = ExampleSet();
    r.Site = Site();
    return r;
}

void BM_ComputeState(benchmark::State& state)
{
    CurrentElementSet e = ExampleSet();
    Station st = Site();
    ShadowCarry carry;
    CalcInstant at;
    at.CalcDay = 6;
    at.CalcMonth = 12;
    at.CalcYear = 2026;
    int minute = 0;
    for (auto _ : state) {
        at.CalcHour = minute / 60;
        at.CalcMinute = minute % 60;
        minute = (minute + 1) % 1440;
        benchmark::DoNotOptimize(ComputeState(e, st, Attitude{}, at, carry));
    }
}
BENCHMARK(BM_ComputeState);

// One step as the run does it: run constants once, day terms once a day,
// no sub-solar point.
void BM_ComputeStateInRun(benchmark::State& state)
{
    CurrentElementSet e = ExampleSet();
    StepConstants constants = MakeStepConstants(e, Site(), Attitude{});
    ShadowCarry carry;
    CalcInstant at;
    at.CalcDay = 6;
    at.CalcMonth = 12;
    at.CalcYear = 2026;
    const DayTerms day = MakeDayTerms(at);
    StepState s;
    int minute = 0;
    for (auto _ : state) {
        at.CalcHour = minute / 60;
        at.CalcMinute = minute % 60;
        minute = (minute + 1) % 1440;
        ComputeStateOn(s, constants, day, e, at, carry, false);
        benchmark::DoNotOptimize(s.Look.SatElevation);
    }
}
BENCHMARK(BM_ComputeStateInRun);

void BM_ForecastRun(benchmark::State& state)
{
    ForecastRequest r = Request();
    r.Threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ShadowCarry carry;
        benchmark::DoNotOptimize(RunForecast(r, carry));
    }
}
BENCHMARK(BM_ForecastRun)->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ForecastRunWithStrip(benchmark::State& state)
{
    ForecastRequest r = Request();
    for (auto _ : state) {
        ShadowCarry carry;
        ForecastResult result = RunForecast(r, carry);
        PixelBuffer b = RenderStrip(result, StripStyle{{255, 255, 255}, true});
        DrawHourLines(b, HourWidth(HourStripWidth));
        benchmark::DoNotOptimize(b.Pixels.data());
    }
}
BENCHMARK(BM_ForecastRunWithStrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StripRenderOnly(benchmark::State& state)
{
    ShadowCarry carry;
    ForecastResult result = RunForecast(Request(), carry);
    for (auto _ : state) {
        PixelBuffer b = RenderStrip(result, StripStyle{{255, 255, 255}, true});
        benchmark::DoNotOptimize(b.Pixels.data());
    }
}
BENCHMARK(BM_StripRenderOnly)->Unit(benchmark::kMicrosecond);

void BM_YearFile(benchmark::State& state)
{
    for (auto _ : state) {
        ShadowCarry carry;
        auto rows = SunAngleYearRows(2026, ExampleSet(), Site(), Attitude{}, carry, IsoFormats());
        benchmark::DoNotOptimize(YearFileBytes(rows));
    }
}
BENCHMARK(BM_YearFile)->Unit(benchmark::kMicrosecond);

std::string FullCatalogueText()
{
    std::string text;
    char line[128];
    for (int i = 1; i <= 500; ++i) {
        std::snprintf(line, sizeof line, "SAT %03d\r\n", i);
        text += line;
        std::snprintf(line, sizeof line, "1 %05dU 26001A   26335.50000000  .00001234  00000-0  12345-4 0  9990\r\n", i);
        text += line;
        std::snprintf(line, sizeof line, "2 %05d  51.6400 %8.4f 0005000  90.0000 270.0000 15.50000000    10\r\n", i,
                      (i * 0.7));
        text += line;
    }
    return text;
}

void BM_LoadFullCatalogue(benchmark::State& state)
{
    std::string text = FullCatalogueText();
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    for (auto _ : state) {
        LoadResult r = ParseCatalogue(text, "bench.tle", *catalogue);
        benchmark::DoNotOptimize(r.Names.data());
    }
}
BENCHMARK(BM_LoadFullCatalogue)->Unit(benchmark::kMicrosecond);

// Two of the bundled example's element sets: a low orbit, and a Molniya
// orbit, which takes the deep-space terms and the 12-hour resonance.
constexpr const char* ExampleLeo = "TAVIK-LEO\n"
                                   "1 99101U 26041A   26335.51234567  .00012345  00000-0  21962-3 0  9993\n"
                                   "2 99101  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030\n";
constexpr const char* ExampleMolniya = "TAVIK-MOLNIYA\n"
                                       "1 99103U 24090A   26337.74016204 -.00000135  00000-0  00000+0 0  3186\n"
                                       "2 99103  62.8104 279.6331 7107813 269.4772  14.9905  2.00591420 19630\n";

// SGP4 alone at the 85,019 instants of a run (59 days, minutes 0 to 1440
// of each), carrying the resonance integration from minute to minute.
void BM_Sgp4RunInstants(benchmark::State& state, const char* tle)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    ParseCatalogue(tle, "bench.tle", *catalogue);
    const Sgp4 model(SelectElementSet(*catalogue, 1));
    for (auto _ : state) {
        ResonanceCarry carry;
        double sum = 0;
        for (int day = 0; day < 59; ++day) {
            for (int minute = 0; minute <= 1440; ++minute) {
                const Sgp4State s = model.StateAt(day * 1440.0 + minute, carry);
                sum += s.Position.X;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK_CAPTURE(BM_Sgp4RunInstants, leo, ExampleLeo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sgp4RunInstants, molniya, ExampleMolniya)->Unit(benchmark::kMillisecond);

// A whole 59-day run on one thread in either model, on the same element set.
void BM_ForecastRunModel(benchmark::State& state, const char* tle, OrbitModel model)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    ParseCatalogue(tle, "bench.tle", *catalogue);
    ForecastRequest r = Request();
    r.Elements = SelectElementSet(*catalogue, 1);
    r.Model = model;
    r.Threads = 1;
    for (auto _ : state) {
        ShadowCarry carry;
        benchmark::DoNotOptimize(RunForecast(r, carry));
    }
}
BENCHMARK_CAPTURE(BM_ForecastRunModel, leo_classic, ExampleLeo, OrbitModel::Classic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ForecastRunModel, leo_sgp4, ExampleLeo, OrbitModel::Sgp4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ForecastRunModel, molniya_classic, ExampleMolniya, OrbitModel::Classic)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ForecastRunModel, molniya_sgp4, ExampleMolniya, OrbitModel::Sgp4)->Unit(benchmark::kMillisecond);

// The year of light: 367 days of minutes (a day either side) with the
// eclipse edges to the second, on one thread and on both cores.
void BM_YearOfLight(benchmark::State& state, OrbitModel model)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    ParseCatalogue(ExampleLeo, "bench.tle", *catalogue);
    ForecastRequest r = Request();
    r.Elements = SelectElementSet(*catalogue, 1);
    r.Model = model;
    r.Threads = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ComputeYearOfLight(r));
}
BENCHMARK_CAPTURE(BM_YearOfLight, leo_sgp4, OrbitModel::Sgp4)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_YearOfLight, leo_classic, OrbitModel::Classic)
    ->Arg(2)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The SGP4 model's Sun: the series at one instant, and what a minute of the
// run pays instead, the day's cubic.
void BM_ApparentSunSeries(benchmark::State& state)
{
    double jd = 2461381.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApparentSunUtc(jd));
        jd += 1.0 / 1440;
    }
}
BENCHMARK(BM_ApparentSunSeries)->Unit(benchmark::kMicrosecond);

void BM_SunFromDayTable(benchmark::State& state)
{
    const SunDay table = MakeSunDay(17872);
    double fraction = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SunAt(table, 17872, fraction));
        fraction = fraction >= 1 ? 0 : fraction + 1.0 / 1440;
    }
}
BENCHMARK(BM_SunFromDayTable);

// The upcoming list of a full catalogue: 500 low orbits made from the worked
// example by spreading the mean anomaly and the node, over 24 hours in the
// SGP4 model on two threads.
void BM_Upcoming500(benchmark::State& state)
{
    std::vector<ElementSet> sets;
    for (int i = 0; i < CatalogueCapacity; ++i) {
        ElementSet e = ExampleSet();
        e.MeanAnomaly = std::fmod(e.MeanAnomaly + 7.3 * i, 360.0);
        e.RAAN = std::fmod(e.RAAN + 13.7 * i, 360.0);
        sets.push_back(e);
    }
    UpcomingRequest request;
    request.From = *DateTime::FromCalendar(2026, 12, 6);
    request.Site = Site();
    request.Model = OrbitModel::Sgp4;
    request.Threads = 2;
    std::size_t passes = 0;
    for (auto _ : state) passes = UpcomingPasses(sets, request).Passes.size();
    state.counters["passes"] = static_cast<double>(passes);
}
BENCHMARK(BM_Upcoming500)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
