// Station coordinates from a Maidenhead locator: the south-west corner of
// the subsquare (of the square for four characters).
//
// Expected values follow the conversion: longitude = 20 x field - 180
// + 2 x square + subsquare / 12, latitude = 10 x field - 90 + square
// + subsquare / 24, letters counted from A = 0.

#include "astro/Locator.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <string>

namespace tavik {
namespace {

constexpr double Tolerance = 1e-12;

struct Conversion {
    const char* Locator;
    double Lon, Lat;
    const char* Why;
};

TEST(Locator, ConversionTable)
{
    const Conversion cases[] = {
        {"AA00AA", -180, -90, "every character at its lowest value"},
        {"JJ00AA", 0, 0, "J = 9: 20 x 9 - 180 = 0 and 10 x 9 - 90 = 0"},
        {"RR99XX", 20 * 17 - 180 + 18 + 23 / 12.0, 10 * 17 - 90 + 9 + 23 / 24.0,
         "R = 17, X = 23: 179.91666... and 89.958333..."},
        {"JJ00MM", 1, 0.5, "M = 12: 12/12 and 12/24"},
        {"JO40HC", 8 + 7 / 12.0, 50 + 2 / 24.0, "O = 14: 140 - 90 = 50; H = 7, C = 2"},
        {"JO40", 8, 50, "four characters: the square's south-west corner, as JO40AA"},
        {"JO40AA", 8, 50, "subsquare AA adds nothing"},
        {"jo40hc", 8 + 7 / 12.0, 50 + 2 / 24.0, "all lower case, as JO40HC"},
        {"JO40hc12", 8 + 7 / 12.0, 50 + 2 / 24.0, "characters 7 and 8 ignored"},
        {"JO40HC12AB", 8 + 7 / 12.0, 50 + 2 / 24.0, "characters 7 to 10 ignored"},
        {"PM95", 20 * 15 - 180 + 2 * 9, 10 * 12 - 90 + 5, "P = 15, M = 12: 138, 35"},
        {"FN31PR", 20 * 5 - 180 + 6 + 15 / 12.0, 10 * 13 - 90 + 1 + 17 / 24.0,
         "west and north: F = 5, N = 13, P = 15, R = 17"},
        {"GF15VC", 20 * 6 - 180 + 2 + 21 / 12.0, 10 * 5 - 90 + 5 + 2 / 24.0,
         "west and south: G = 6, F = 5, V = 21, C = 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Locator) + ": " + c.Why);
        EXPECT_EQ(LocatorProblem(c.Locator), std::nullopt);
        EXPECT_NEAR(LocatorLongitude(c.Locator), c.Lon, Tolerance);
        EXPECT_NEAR(LocatorLatitude(c.Locator), c.Lat, Tolerance);
    }
}

// Taking character codes as they stand put a lower-case subsquare 32 letters
// further on: JJ00mm came out at 44/12 = 3.6667 east, 44/24 = 1.8333 north.
TEST(Locator, LowerCaseSubsquareIsFoldedNotShifted)
{
    EXPECT_NEAR(LocatorLongitude("JJ00mm"), 1, Tolerance);   // as JJ00MM: 12/12
    EXPECT_NEAR(LocatorLatitude("JJ00mm"), 0.5, Tolerance);  // 12/24
    EXPECT_NEAR(LocatorLongitude("jj00MM"), 1, Tolerance);   // lower-case field letters too
    EXPECT_NEAR(LocatorLatitude("jj00MM"), 0.5, Tolerance);
}

TEST(Locator, ProblemTable)
{
    struct Case { const char* Locator; bool Usable; const char* Why; const char* Says = nullptr; } cases[] = {
        {"JO40", true, "four characters"},
        {"JO40HC", true, "six characters"},
        {"jo40hc", true, "lower case"},
        {"JO40HC12", true, "eight characters"},
        {"JO40HC12AB", true, "ten characters"},
        {" JO40HC ", true, "surrounding blanks"},
        {"AA00AA", true, "lowest values"},
        {"RR99XX", true, "highest values"},
        {"", false, "empty"},
        {"   ", false, "blanks only"},
        {"JO4", false, "three characters"},
        {"JO40h", false, "five characters"},
        {"JO40HC1", false, "seven characters"},
        {"JO40HC12ABC", false, "eleven characters"},
        {"SS00AA", false, "field letter beyond R"},
        {"SA00AA", false, "longitude field letter beyond R"},
        {"AS00AA", false, "latitude field letter beyond R"},
        {"J040HC", false, "digit zero where the letter O goes"},
        {"JOAAHC", false, "letters where the digits go"},
        {"JO40YZ", false, "subsquare letters beyond X"},
        {"JO40HY", false, "latitude subsquare beyond X"},
        {"JO40H1", false, "digit where a subsquare letter goes"},
        {"JO40HCAB", false, "letters where the extended square digits go"},
        {"JO40HC12YA", false, "extended subsquare beyond X"},
        {"JO 40HC", false, "blank inside"},
        // Counted as characters, not bytes, and the one not allowed named.
        {"J\xD0\x9E" "40HC", false, "Cyrillic O, two bytes",
         "characters 1 and 2 must be field letters A to R; character 2 is \"\xD0\x9E\" (U+041E)"},
        {"J\xD6" "40HC", false, "O with umlaut from a Windows-1252 file",
         "characters 1 and 2 must be field letters A to R; character 2 is \"\xC3\x96\" (U+00D6)"},
        {"JO4\x1B" "HC", false, "escape character", "characters 3 and 4 must be digits 0 to 9; character 4 is U+001B"},
        {"JO40H\xE2\x80\xAE", false, "right-to-left override",
         "characters 5 and 6 must be subsquare letters A to X; character 6 is U+202E"},
        {"JO40HC\xD0\x9E", false, "seven characters, eight bytes", "a locator has 4, 6, 8 or 10 characters, this one has 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.Locator + "\": " + c.Why);
        auto problem = LocatorProblem(c.Locator);
        EXPECT_EQ(problem.has_value(), !c.Usable) << problem.value_or("");
        if (problem) {
            EXPECT_FALSE(problem->empty());
            if (c.Says) {
                EXPECT_EQ(*problem, c.Says);
            }
        }
    }
}

TEST(MakeStation, KeepsTheLocatorAsWrittenAndConvertsItsFirstSixCharacters)
{
    // Coordinates as in the conversion table: JO40HC and JO40.
    const Conversion cases[] = {
        {"jo40hc12", 8 + 7 / 12.0, 50 + 2 / 24.0, "lower case and two extra characters"},
        {"JO40HC ", 8 + 7 / 12.0, 50 + 2 / 24.0, "trailing blank"},
        {"JO40", 8, 50, "four characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.Locator + "\": " + c.Why);
        Station s = MakeStation(c.Locator);
        EXPECT_EQ(s.StationLocator, c.Locator);
        EXPECT_NEAR(s.StationLon, c.Lon, Tolerance);
        EXPECT_NEAR(s.StationLat, c.Lat, Tolerance);
    }
}

TEST(MakeStation, RefusesWhatIsNotALocator)
{
    for (const char* bad : {"", "JO4", "JO40h", "SS00AA", "JOAAHC", "JO40YZ"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(MakeStation(bad), InputError);
    }
}

} // namespace
} // namespace tavik
