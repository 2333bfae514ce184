// The DayNumber scale and sidereal time.
#include "astro/TimeScales.h"

#include "Printed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tavik {
namespace {

TEST(DayNumber, ReferenceDates)
{
    struct Case {
        int Day, Month, Year;
        std::int32_t Expected;
    };
    // Reference points of the scale: day 0 is 1978-01-01.
    const Case cases[] = {
        {1, 1, 1978, 0},       {31, 12, 1989, 4382},  {1, 1, 2000, 8035},
        {3, 5, 2019, 15097},   {29, 2, 2020, 15399},  {1, 3, 2020, 15400},
        {6, 12, 2026, 17871},  {0, 1, 2019, 14974},   {31, 12, 2018, 14974},
        {0, 3, 2020, 15399},   // day 0 of March 2020 is February 29
        {4, 10, 1582, -144360}, {15, 10, 1582, -144349}, // Gregorian throughout
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Day << "." << c.Month << "." << c.Year);
        EXPECT_EQ(DayNumber(static_cast<std::int16_t>(c.Day), static_cast<std::int16_t>(c.Month),
                            static_cast<std::int16_t>(c.Year)),
                  c.Expected);
    }
    EXPECT_EQ(DayNumber(1, 1, 1978) - DayNumber(1, 1, 1977), 365);
}

TEST(EpochToDayNumber, ReferenceEpochs)
{
    struct Case {
        double Epoch;
        double Expected;
    };
    const Case cases[] = {
        {19123.5, 15097.5},                         // 2019 May 3, 12h
        {26340.75, 17871.75},                       // 2026 December 6, 18h
        {5032.25, DayNumber(1, 2, 2005) + 0.25},    // year field 05, day 32
        {26340.0, 17871.0},                         // epoch without fraction digits
        {56001.0, DayNumber(1, 1, 2056) + 0.0},     // the last year of the 2000s window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Epoch);
        EXPECT_EQ(EpochToDayNumber(c.Epoch), c.Expected);
    }
}

TEST(EpochToDayNumber, YearsFrom57AreTheTwentiethCentury)
{
    // Regression: an epoch of 1998 must not be placed in 2098.
    struct Case {
        double Epoch;
        int Day, Month, Year;
    };
    const Case cases[] = {{98001.5, 1, 1, 1998}, {57001.0, 1, 1, 1957}, {99365.0, 31, 12, 1999},
                          {0.5, 0, 1, 2000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Epoch);
        double expected = DayNumber(static_cast<std::int16_t>(c.Day), static_cast<std::int16_t>(c.Month),
                                    static_cast<std::int16_t>(c.Year));
        EXPECT_EQ(std::floor(EpochToDayNumber(c.Epoch)), expected);
    }
    EXPECT_EQ(EpochYear(56), 2056);
    EXPECT_EQ(EpochYear(57), 1957);
    EXPECT_EQ(EpochYear(0), 2000);
}

TEST(EpochToDayNumber, FractionComesFromThePrintedDigits)
{
    // 26340.12345678: the fraction is the double nearest 0.12345678.
    double d = EpochToDayNumber(26340.12345678);
    EXPECT_EQ(d, 17871.0 + 0.12345678);
}

TEST(GreenwichSidereal, ReferenceInstants)
{
    // J2000.0: 280.46061837..., printed without rounding.
    EXPECT_NEAR(GreenwichSidereal(8035, 0.5), 280.460618375, 5e-9);
    EXPECT_PRINTED(GreenwichSidereal(17871, 0), "74.7953");
    // 1990 January 1 comes from a negative angle.
    EXPECT_PRINTED(GreenwichSidereal(4383, 0), "100.3836");
    // The worked example's two instants.
    EXPECT_PRINTED(GreenwichSidereal(17871, 0.5), "255.28814");
    EXPECT_PRINTED(GreenwichSidereal(17871, 12.5 / 24), "262.80868");
}

TEST(GreenwichSidereal, StaysWithinOneTurn)
{
    for (double day = -20000; day <= 40000; day += 997.3) {
        double a = GreenwichSidereal(std::floor(day), day - std::floor(day));
        EXPECT_GE(a, 0);
        EXPECT_LE(a, 360);
    }
}

} // namespace
} // namespace tavik
