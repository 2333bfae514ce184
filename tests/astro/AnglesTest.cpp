// Degree helpers: every edge rule is part of the results downstream.
#include "astro/Angles.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace tavik {
namespace {

struct Case1 {
    double Arg;
    double Expected;
};

TEST(Angles, ArcSinIsClampedAndFormedThroughArcTan)
{
    // Reference values: the helper's edge rules and sin 30 = 0.5.
    const Case1 cases[] = {{1.0000000001, 90}, {1, 90}, {-1, -90}, {-1.5, -90}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arg);
        EXPECT_EQ(ArcSinDeg(c.Arg), c.Expected);
    }
    // DegPerRadian is not exactly 180/pi, so round angles miss by about 1e-11.
    EXPECT_NEAR(ArcSinDeg(0.5), 30, 1e-10);
}

TEST(Angles, ArcCosIsClamped)
{
    const Case1 cases[] = {{1, 0}, {1.2, 0}, {-1, 180}, {-1.2, 180}, {0, 90}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arg);
        EXPECT_EQ(ArcCosDeg(c.Arg), c.Expected);
    }
    EXPECT_NEAR(ArcCosDeg(0.5), 60, 1e-10);
}

TEST(Angles, Atan2CoversOneTurnFromZero)
{
    struct Case {
        double Y, X, Expected;
    };
    // Arguments in the order y, x.
    const Case cases[] = {
        {1, 1, 45},   {1, -1, 135}, {-1, -1, 225}, {-1, 1, 315}, {-5, 0, 270},
        {0, 0, 0},    {0, 1, 0},    {1, 0, 90},    {0, -1, 180}, {-1, 0, 270},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Y << ", " << c.X);
        EXPECT_NEAR(Atan2Deg(c.Y, c.X), c.Expected, 1e-10);
        EXPECT_GE(Atan2Deg(c.Y, c.X), 0);
        EXPECT_LT(Atan2Deg(c.Y, c.X), 360);
    }
}

TEST(Angles, Reduce360KeepsNegativeWholeTurnsAt360)
{
    const Case1 cases[] = {{725, 5},   {360, 0},   {-10, 350}, {-730, 350},
                           {-360, 360}, {0, 0},    {719.5, 359.5}, {-0.5, 359.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arg);
        EXPECT_NEAR(Reduce360(c.Arg), c.Expected, 1e-9);
    }
    // Sidereal angles of tens of thousands of degrees.
    EXPECT_NEAR(Reduce360(36000.77 + 10), 10.77, 1e-9);
}

TEST(Angles, WestLongitudeTurnsEastNegative)
{
    const Case1 cases[] = {{10, -10}, {190, 170}, {359, 1}, {180, 180}, {0, 0}, {179.5, -179.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arg);
        EXPECT_EQ(WestLongitude(c.Arg), c.Expected);
    }
}

TEST(Angles, DegPerRadianIsTheModelsValueNotExactly180OverPi)
{
    EXPECT_EQ(DegPerRadian, 57.29577951309679);
    EXPECT_NE(DegPerRadian, 180 / M_PI);
    EXPECT_EQ(SinDeg(90), std::sin(90 / 57.29577951309679));
}

TEST(NumberSplit, TakesPartsFromTheDecimalText)
{
    struct Case {
        double X;
        std::int32_t Integer;
        double Fraction;
    };
    const Case cases[] = {
        {19123.12345678, 19123, 0.12345678},
        {19.12312345678, 19, 0.12312345678},
        {17871.5, 17871, 0.5},
        {-2.75, -2, 0.75},
        {-0.5, 0, 0.5},
        {26340.0, 26340, 0}, // no decimal point: the whole number and 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.X);
        EXPECT_EQ(IntegerPart(c.X), c.Integer);
        // Exactly the double nearest to the printed fraction, not x - trunc(x).
        EXPECT_EQ(FractionPart(c.X), c.Fraction);
    }
    EXPECT_NE(19123.12345678 - 19123, 0.12345678);
}

TEST(NumberSplit, DecimalCommaTextSplitsTheSame)
{
    EXPECT_EQ(IntegerPartOfText("19123,12345678"), 19123);
    EXPECT_EQ(FractionPartOfText("19123,12345678"), 0.12345678);
    EXPECT_EQ(IntegerPartOfText("19,12312345678"), 19);
}

TEST(NumberSplit, IndependentOfTheProcessLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    EXPECT_EQ(IntegerPart(19123.12345678), 19123);
    EXPECT_EQ(FractionPart(19123.12345678), 0.12345678);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(NumberSplit, TextHasAtMostFifteenSignificantDigits)
{
    EXPECT_EQ(DecimalText15(19123.12345678), "19123.12345678");
    EXPECT_EQ(DecimalText15(0.1), "0.1");
    EXPECT_EQ(DecimalText15(17871.520833333333), "17871.5208333333");
}

} // namespace
} // namespace tavik
