// Station coordinates from a Maidenhead locator: the south-west corner of
// the subsquare (of the square for four characters). Expected values follow
// longitude = 20 x field - 180 + 2 x square + subsquare / 12 and latitude =
// 10 x field - 90 + square + subsquare / 24, letters counted from A = 0.
#include "astro/Locator.h"
#include "TestSupport.h"

#include <cmath>

namespace tavik {
namespace {

// Taking character codes as they stand put a lower-case subsquare 32 letters
// further on: JJ00mm came out at 44/12 = 3.6667 east, 44/24 = 1.8333 north.
TEST(Locator, ConvertsTheFirstSixCharactersInEitherCase)
{
    const struct { const char* Locator; double Lon, Lat; } cases[] = {
        {"AA00AA", -180, -90}, {"aa00aa", -180, -90}, {"JJ00AA", 0, 0}, {"JJ00mm", 1, 0.5}, {"JO40", 8, 50},
        {"rr99xx", 20 * 17 - 180 + 18 + 23 / 12.0, 10 * 17 - 90 + 9 + 23 / 24.0},
        {" JO40hc12 ", 8 + 7 / 12.0, 50 + 2 / 24.0}, {"JO40HC12AB", 8 + 7 / 12.0, 50 + 2 / 24.0},
    };
    for (const auto& c : cases) {
        const Station s = MakeStation(c.Locator);
        EXPECT_LT(std::fabs(s.StationLon - c.Lon), 1e-12) << c.Locator;
        EXPECT_LT(std::fabs(s.StationLat - c.Lat), 1e-12) << c.Locator;
    }
}

// Counted as characters, not bytes, and the one not allowed named: a
// locator typed with a Cyrillic O has six characters.
TEST(Locator, RefusalNamesTheRuleAndTheCharacter)
{
    const std::string letters = "characters 1 and 2 must be field letters A to R; character ";
    const std::string digits = "characters 3 and 4 must be digits 0 to 9; character ";
    const std::string subsquare = "characters 5 and 6 must be subsquare letters A to X; character ";
    const std::string extended = "characters 7 and 8 must be digits 0 to 9; character ";
    const std::string last = "characters 9 and 10 must be letters A to X; character ";
    const std::string length = "a locator has 4, 6, 8 or 10 characters, this one has ";
    const struct { const char* Locator; std::string Says; } cases[] = {
        {"", "the locator is empty"}, {" \t ", "the locator is empty"}, {"JO4", length + "3"}, {"JO40h", length + "5"},
        {"JO40HC1", length + "7"}, {"JO40HC12ABC", length + "11"}, {"JO40HC\xD0\x9E", length + "7"},
        {"JO 40HC", length + "7"}, {"SA00AA", letters + "1 is \"S\""}, {"AS00AA", letters + "2 is \"S\""},
        {"@A00AA", letters + "1 is \"@\""}, {"J\xD0\x9E" "40HC", letters + "2 is \"\xD0\x9E\" (U+041E)"},
        {"J\xD6" "40HC", letters + "2 is \"\xC3\x96\" (U+00D6)"}, // O with umlaut, Windows-1252
        {"JO:0HC", digits + "3 is \":\""}, {"JO4/HC", digits + "4 is \"/\""}, {"JO4\x1B" "HC", digits + "4 is U+001B"},
        {"JO4 HC", digits + "4 is \" \""}, // a blank is shown as it stands
        {"JO40YC", subsquare + "5 is \"Y\""}, {"JO40HY", subsquare + "6 is \"Y\""},
        {"JO40H\xE2\x80\xAE", subsquare + "6 is U+202E"}, {"JO40HCA2", extended + "7 is \"A\""},
        {"JO40HC1A", extended + "8 is \"A\""}, {"JO40HC12Y1", last + "9 is \"Y\""},
        {"JO40HC12A1", last + "10 is \"1\""},

    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Locator);
        EXPECT_EQ(LocatorProblem(c.Locator).value_or("accepted"), c.Says);
        EXPECT_EQ(test::InputErrorMessage([&] { MakeStation(c.Locator); }), c.Says);
    }
}

} // namespace
} // namespace tavik
