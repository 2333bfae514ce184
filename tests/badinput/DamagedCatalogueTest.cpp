// A forecast and year files over every entry of every damaged TLE file of
// the fuzz seeds: finite numbers in well-formed lines, or a clear refusal (an
// InputError naming the satellite, or a run that stops and says why). Never
// NaN, never a question mark where a number belongs.
#include "Support.h"

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "output/ListLines.h"
#include "output/YearFile.h"

#include <cmath>
#include <memory>
#include <regex>

namespace tavik::badinput {
namespace {

const std::regex PassLine("[0-9]{2}/[0-9]{2}/[0-9]{4}  [0-9]{2}:[0-9]{2} \\(Az [0-9]{3}\u00B0\\)  illum: [0-9]{3}%   sun angle: "
                          "-?[0-9]{2}\u00B0 -> [0-9]{2}:[0-9]{2} \\(Az [0-9]{3}\u00B0\\)  illum: [0-9]{3}%   sun angle: "
                          "-?[0-9]{2}\u00B0  maxEl: [0-9]{2}\u00B0");
const std::regex EclipseLine("[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?   ->   "
                             "[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?    duration: [0-9]+ min");
const std::regex YearRow("[0-9]{4,5}-[0-9]{2}-[0-9]{2} ; -?[0-9.E+-]+;-?[0-9.E+-]+;-?[0-9.E+-]+");

// Checks every entry of one file.
void ExpectFiniteNumbersOrAClearRefusal(const std::string& path)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    try {
        LoadCatalogue(path, *catalogue);
    } catch (const InputError& e) {
        return ExpectClearMessage(e.what(), {path, "no satellite found"});
    }
    for (int i = 1; i <= catalogue->CatalogueCount; ++i) {
        const CurrentElementSet elements = SelectElementSet(*catalogue, i);
        const std::string name = "\"" + elements.SatName + "\"";
        SCOPED_TRACE(name.substr(0, 80));
        const ForecastRequest request{*DateTime::FromCalendar(2026, 12, 6), elements, MakeStation("JO40HC"), Attitude{}};
        ShadowCarry carry;
        ForecastResult r;
        try {
            r = RunForecast(request, carry);
        } catch (const InputError& e) {
            ExpectClearMessage(e.what(), {name}, 400 + name.size());
            continue;
        }
        if (!r.Completed())
            ExpectClearMessage(StopMessage(r, IsoFormats()), {name, "the forecast stops there"}, 400 + name.size());
        for (std::size_t s = 0; s < r.WalkedSteps; ++s) {
            const MinuteRecord& m = r.Minutes[s];
            ASSERT_TRUE(std::isfinite(m.SatHeight + m.SatAzimuth + m.SatElevation + m.SunAngle + m.Illumination)) << "step " << s;
        }
        for (const std::string& line : PassLines(r)) EXPECT_TRUE(std::regex_match(line, PassLine)) << line;
        for (const std::string& line : EclipseLines(r, IsoFormats())) EXPECT_TRUE(std::regex_match(line, EclipseLine)) << line;
        // The year file of the same set, at both ends of the years it takes.
        for (int year : {1, 2026, 9999}) {
            const std::vector<std::string> rows = SunAngleYearRows(year, elements, request.Site, Attitude{}, carry, IsoFormats());
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(YearRows));
            for (const std::string& row : rows) ASSERT_TRUE(std::regex_match(row, YearRow)) << row;
        }
    }
}

TEST(DamagedCatalogue, EveryEntryOfEverySeedGivesFiniteNumbersOrAClearRefusal)
{
    for (const auto& entry : fs::directory_iterator(TAVIK_FUZZ_SEEDS "/tle")) {
        SCOPED_TRACE(entry.path().filename().string());
        ExpectFiniteNumbersOrAClearRefusal(entry.path().string());
    }
}

} // namespace
} // namespace tavik::badinput
