// Bad TLE files through the engine, the way a front end meets them: a good
// catalogue in use, then the bad file. An entry that cannot be computed is
// refused before any step, by the forecast and the year file alike, naming
// the satellite and what is wrong. A file that cannot be loaded at all, and
// what a field reads as, are left to the catalogue and text file tables.
#include "Support.h"

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "output/YearFile.h"

#include <memory>

namespace tavik::badinput {
namespace {

struct TleCase {
    const char* Label;
    std::string Bytes; // of the file, whose first entry is refused
    std::vector<std::string> Mentions;
};

void PrintTo(const TleCase& c, std::ostream* os) { *os << c.Label; }

class BadTleFile : public ::testing::TestWithParam<TleCase> {};

TEST_P(BadTleFile, IsRefusedNamingWhatIsWrongAndChangesNothing)
{
    const TleCase& c = GetParam();
    Scene scene;
    const std::string path = (scene.Root() / "kep.tle").string();
    WriteBytes(path, c.Bytes);
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(TAVIK_TEST_DATA "/three.tle", *catalogue);
    ASSERT_NO_THROW(LoadCatalogue(path, *catalogue));
    std::vector<std::string> parts = c.Mentions;
    const CurrentElementSet elements = SelectElementSet(*catalogue, 1);
    const ForecastRequest request{*DateTime::FromCalendar(2026, 12, 6), elements, MakeStation("JO40HC"), Attitude{}};
    ShadowCarry carry{true};
    bool stepped = false;
    const auto progress = [&stepped](int, int) {
        stepped = true;
        return true;
    };
    const std::string why = test::InputErrorMessage([&] { RunForecast(request, carry, progress); });
    parts.push_back("\"" + elements.SatName + "\"");
    ExpectClearMessage(why, parts);
    EXPECT_FALSE(stepped) << "refused before any step";
    EXPECT_TRUE(carry.InEclipse) << "the shadow flag is left as it was";
    const auto yearFile = [&] { SunAngleYearRows(2026, elements, request.Site, Attitude{}, carry, IsoFormats()); };
    EXPECT_EQ(test::InputErrorMessage(yearFile), why);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadTleFile,
    ::testing::Values(
        TleCase{"NameWithoutElementLines", "LONELY\r\n", {"element line 1 is missing"}},

        TleCase{"NulInTheMeanMotion",
                Entry("BADIN-1", GoodLine1, Replaced(GoodLine2, 53, 63, std::string("\0" "5.50000000", 11))),
                {"mean motion"}},
        TleCase{"ExponentInTheDragTerm", Entry("BADIN-1", Replaced(GoodLine1, 34, 43, " .9E+307  ")), {"drag term"}}),

    [](const ::testing::TestParamInfo<TleCase>& info) { return std::string(info.param.Label); });

} // namespace
} // namespace tavik::badinput
