// Degree helpers: every edge rule is part of the results downstream (Atan2Deg's quadrants: the look angles' tests).
#include "astro/Angles.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <tuple>
#include <vector>

namespace tavik {
namespace {

TEST(Angles, EdgeRulesOfTheClampingAndReducingHelpers)
{
    // Rows of argument, expected and tolerance (0: exact). DegPerRadian is not
    // exactly 180/pi, so round angles miss by about 1e-11.
    const struct {
        const char* Function;
        double (*F)(double);
        std::vector<std::array<double, 3>> Rows;
    } helpers[] = {
        {"ArcSinDeg", ArcSinDeg, {{1.0000000001, 90, 0}, {1, 90, 0}, {-1, -90, 0}, {-1.5, -90, 0}, {0.5, 30, 1e-10}}},
        {"ArcCosDeg", ArcCosDeg, {{1, 0, 0}, {1.2, 0, 0}, {-1, 180, 0}, {-1.2, 180, 0}, {0, 90, 0}, {0.5, 60, 1e-10}}},
        {"WestLongitude", WestLongitude, {{10, -10, 0}, {190, 170, 0}, {359, 1, 0}, {180, 180, 0}, {179.5, -179.5, 0}}},
        // Negative whole turns give 360, not 0; sidereal angles run to many turns.
        {"Reduce360", Reduce360, {{360, 0, 0}, {-730, 350, 1e-9}, {-360, 360, 0}, {0, 0, 0}, {36010.77, 10.77, 1e-9}}},
    };
    for (const auto& h : helpers)
        for (const auto& [arg, expected, tolerance] : h.Rows)
            EXPECT_NEAR(h.F(arg), expected, tolerance) << h.Function << " " << arg;
}

// The fraction is exactly the double nearest to the printed one, not x - trunc(x),
// and a locale with a decimal comma splits the same.
TEST(NumberSplit, PartsComeFromTheDecimalTextNotTheBinaryValueInAnyLocale)
{
    const std::tuple<double, std::int32_t, double> cases[] = {
        {19123.12345678, 19123, 0.12345678}, {19.12312345678, 19, 0.12312345678}, {17871.5, 17871, 0.5},
        {26340.99, 26340, 0.99}, {77100.05, 77100, 0.05}, {-2.75, -2, 0.75}, {-0.5, 0, 0.5}, {26340.0, 26340, 0},
        {3e12, 2147483647, 0}, {1e-7, 0, 1e-7}, {1e20, 2147483647, 0}, {-1e20, -2147483647, 0}}; // saturates; by value
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) continue; // a locale that is not installed
        for (const auto& [x, integer, fraction] : cases) {
            EXPECT_EQ(IntegerPart(x), integer) << x << " " << locale;
            EXPECT_EQ(FractionPart(x), fraction) << x << " " << locale;
        }
    }

    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(IntegerPartOfText("19123,12345678"), 19123); // a decimal comma in the text splits the same
    EXPECT_EQ(FractionPartOfText("19123,12345678"), 0.12345678);
}

} // namespace
} // namespace tavik
