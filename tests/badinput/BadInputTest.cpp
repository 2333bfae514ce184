// Bad TLE files through the engine, the way a front end meets them: a good
// catalogue in use, then the bad file. A file that cannot be loaded leaves
// the catalogue as it was; an entry that cannot be computed is refused before
// any step, by the forecast and the year file alike. Each message names the
// file or the satellite and what is wrong. What a field reads as is left to
// the module tables.
#include "Support.h"

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "output/YearFile.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace tavik::badinput {
namespace {

struct TleCase {
    const char* Label;
    std::string Bytes; // of the file; "<missing>" or "/dev/zero" for what is no file
    std::vector<std::string> Mentions;
    bool Loads = true; // and its first entry is refused
};

void PrintTo(const TleCase& c, std::ostream* os) { *os << c.Label; }

class BadTleFile : public ::testing::TestWithParam<TleCase> {};

TEST_P(BadTleFile, IsRefusedNamingWhatIsWrongAndChangesNothing)
{
    const TleCase& c = GetParam();
    Scene scene;
    std::string path = (scene.Root() / "kep.tle").string();
    if (c.Bytes == "/dev/zero") path = c.Bytes;
    else if (c.Bytes != "<missing>") WriteBytes(path, c.Bytes);

    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(TAVIK_TEST_DATA "/three.tle", *catalogue);
    auto entries = [&catalogue] {
        std::string all;
        for (int i = 1; i <= catalogue->CatalogueCount; ++i)
            all += catalogue->Entry(i).SatName + catalogue->Entry(i).Line1 + catalogue->Entry(i).Line2;
        return all;
    };
    const std::string before = entries();
    const std::string message = RefusalOf([&] { LoadCatalogue(path, *catalogue); });
    std::vector<std::string> parts = c.Mentions;
    if (!c.Loads) {
        parts.push_back(path);
        ExpectClearMessage(message, parts);
        EXPECT_EQ(entries(), before) << "the catalogue in use is kept";
        return;
    }
    ASSERT_EQ(message, "");
    const CurrentElementSet elements = SelectElementSet(*catalogue, 1);
    const ForecastRequest request{*DateTime::FromCalendar(2026, 12, 6), elements, MakeStation("JO40HC"), Attitude{}};
    ShadowCarry carry{true};
    bool stepped = false;
    const std::string why = RefusalOf([&] { RunForecast(request, carry, [&stepped](int, int) { return stepped = true; }); });
    parts.push_back("\"" + elements.SatName + "\"");
    ExpectClearMessage(why, parts);
    EXPECT_FALSE(stepped) << "refused before any step";
    EXPECT_TRUE(carry.InEclipse) << "the shadow flag is left as it was";
    EXPECT_EQ(RefusalOf([&] { SunAngleYearRows(2026, elements, request.Site, Attitude{}, carry, IsoFormats()); }), why);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadTleFile,
    ::testing::Values(
        TleCase{"Missing", "<missing>", {std::strerror(ENOENT)}, false},
        TleCase{"Device", "/dev/zero", {"is a device, not a regular file"}, false},
        TleCase{"Empty", "", {"no satellite found"}, false},
        TleCase{"Utf16", std::string("\xFF\xFEN\0A\0M\0E\0\r\0\n\0", 14), {"UTF-16"}, false},
        TleCase{"NoNameLines", GoodLine1 + "\r\n" + GoodLine2 + "\r\n", {"no satellite found"}, false},
        TleCase{"NameWithoutElementLines", "LONELY\r\n", {"element line 1 is missing"}},
        TleCase{"NulInTheMeanMotion",
                Entry("BADIN-1", GoodLine1, Replaced(GoodLine2, 53, 63, std::string("\0" "5.50000000", 11))), {"mean motion"}},
        TleCase{"MeanMotionZero", Entry("BADIN-1", GoodLine1, Replaced(GoodLine2, 53, 63, " 0.00000000")),
                {"mean motion (0 revolutions per day) is not above 0"}},
        TleCase{"InclinationOf999Degrees", Entry("BADIN-1", GoodLine1, Replaced(GoodLine2, 9, 16, "999.9999")),
                {"inclination (999.9999 degrees) is not from 0 to 180 degrees"}},
        TleCase{"ExponentInTheDragTerm", Entry("BADIN-1", Replaced(GoodLine1, 34, 43, " .9E+307  ")), {"drag term"}},
        TleCase{"LettersInTheEpoch", Entry("BADIN-1", Replaced(GoodLine1, 19, 32, "2633B.50000000")), {"names day 633 of 2002"}}),
    [](const ::testing::TestParamInfo<TleCase>& info) { return std::string(info.param.Label); });

} // namespace
} // namespace tavik::badinput
