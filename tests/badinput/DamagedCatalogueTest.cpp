// A forecast over every entry of every damaged TLE file of the fuzz seeds:
// each entry gives either a forecast with finite numbers and well-formed
// lines, or a clear refusal (an InputError naming the satellite, or a run
// that stops early and says why). Never NaN, never a question mark where a
// number belongs.
#include "Support.h"

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "output/ListLines.h"
#include "output/YearFile.h"
#include "platform/Cp1252.h"
#include "platform/RegionalFormats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#ifndef TAVIK_FUZZ_SEEDS
#error "TAVIK_FUZZ_SEEDS must name the fuzz seed folders"
#endif

namespace tavik::badinput {
namespace {

std::vector<std::string> SeedFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::path(TAVIK_FUZZ_SEEDS) / "tle"))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Pass and eclipse lines as written under the ISO formats.
const std::regex PassLinePattern(
    "[0-9]{2}/[0-9]{2}/[0-9]{4}  [0-9]{2}:[0-9]{2} \\(Az [0-9]{3}\u00B0\\)  illum: [0-9]{3}%   sun angle: -?[0-9]{2}\u00B0 -> "
    "[0-9]{2}:[0-9]{2} \\(Az [0-9]{3}\u00B0\\)  illum: [0-9]{3}%   sun angle: -?[0-9]{2}\u00B0  maxEl: [0-9]{2}\u00B0");
const std::regex EclipseLinePattern("[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?   ->   "
                             "[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?    duration: [0-9]+ min");
const std::regex YearRow("[0-9]{4,5}-[0-9]{2}-[0-9]{2} ; -?[0-9.E+-]+;-?[0-9.E+-]+;-?[0-9.E+-]+");

struct Tally {
    int Completed = 0, Stopped = 0, Refused = 0;
};

void CheckEntry(const CurrentElementSet& elements, Tally& tally)
{
    const std::string name = "\"" + elements.SatName + "\"";
    SCOPED_TRACE(elements.SatName.substr(0, 80));
    ForecastRequest request;
    request.Start = *DateTime::FromCalendar(2026, 12, 6);
    request.Elements = elements;
    request.Site = MakeStation("JO40HC");
    const RegionalFormats formats = IsoFormats();
    ShadowCarry carry;

    ForecastResult r;
    try {
        r = RunForecast(request, carry);
    } catch (const InputError& e) {
        ExpectClearMessage(e.what(), {name}, 400 + name.size());
        ++tally.Refused;
        return;
    }

    if (r.Completed()) {
        ++tally.Completed;
        EXPECT_EQ(r.DrawnSteps, static_cast<std::size_t>(ForecastDays) * StepsPerDay);
        for (double angle : r.DailySunAngle) EXPECT_TRUE(std::isfinite(angle));
    } else {
        ++tally.Stopped;
        EXPECT_TRUE(r.End == RunEnd::BelowMinimumHeight || r.End == RunEnd::KeplerFailed);
        ExpectClearMessage(StopMessage(r, formats), {name, "the forecast stops there"}, 400 + name.size());
    }
    for (std::size_t i = 0; i < r.DrawnSteps; ++i) {
        const MinuteRecord& m = r.Minutes[i];
        ASSERT_TRUE(std::isfinite(m.SatHeight) && std::isfinite(m.SatAzimuth) && std::isfinite(m.SatElevation)
                    && std::isfinite(m.SunAngle) && std::isfinite(m.Illumination))
            << "step " << i;
    }
    for (const std::string& line : PassLines(r)) EXPECT_TRUE(std::regex_match(line, PassLinePattern)) << line;
    for (const std::string& line : EclipseLines(r, formats)) EXPECT_TRUE(std::regex_match(line, EclipseLinePattern)) << line;

    // The year file of the same set, at both ends of the years it takes.
    for (int year : {1, 2026, 9999}) {
        const std::vector<std::string> rows =
            SunAngleYearRows(year, elements, request.Site, request.Axis, carry, formats);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(YearRows));
        for (const std::string& row : rows) ASSERT_TRUE(std::regex_match(row, YearRow)) << row;
    }
}

class DamagedCatalogue : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedCatalogue, EveryEntryGivesAForecastOrAClearRefusal)
{
    const fs::path path = fs::path(TAVIK_FUZZ_SEEDS) / "tle" / GetParam();
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadResult loaded;
    try {
        loaded = LoadCatalogue(path.string(), *catalogue);
    } catch (const InputError& e) {
        ExpectClearMessage(e.what(), {path.string(), "no satellite found"});
        return;
    }
    Tally tally;
    for (int i = 1; i <= catalogue->CatalogueCount; ++i) {
        const CurrentElementSet e = SelectElementSet(*catalogue, i);
        EXPECT_TRUE(IsValidUtf8(e.SatName));
        CheckEntry(e, tally);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(tally.Completed + tally.Stopped + tally.Refused, catalogue->CatalogueCount);
    RecordProperty("completed", tally.Completed);
    RecordProperty("stopped", tally.Stopped);
    RecordProperty("refused", tally.Refused);
}

INSTANTIATE_TEST_SUITE_P(FuzzSeeds, DamagedCatalogue, ::testing::ValuesIn(SeedFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
} // namespace tavik::badinput
