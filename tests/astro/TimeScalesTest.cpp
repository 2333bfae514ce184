// The DayNumber scale and sidereal time.
#include "astro/TimeScales.h"

#include "Printed.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(DayNumber, ReferenceDatesAndTheCenturyLeapRules)
{
    struct Case {
        std::int16_t Day, Month, Year;
        std::int32_t Expected; // day 0 is 1978-01-01
    };
    const Case cases[] = {
        {1, 1, 1978, 0},      {1, 1, 1977, -365},    {31, 12, 1989, 4382},   {1, 1, 2000, 8035},
        {3, 5, 2019, 15097},  {29, 2, 2020, 15399},  {1, 3, 2020, 15400},    {6, 12, 2026, 17871},
        {0, 1, 2019, 14974},  {31, 12, 2018, 14974}, {0, 3, 2020, 15399}, // day 0 is the month's eve
        {4, 10, 1582, -144360}, {15, 10, 1582, -144349}, // Gregorian throughout
        // 1900 and 2100 have no February 29, 2000 has.
        {28, 2, 1900, -28431}, {1, 3, 1900, -28430}, {29, 2, 2000, 8094}, {1, 3, 2000, 8095},
        {28, 2, 2100, 44618},  {1, 3, 2100, 44619},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayNumber(c.Day, c.Month, c.Year), c.Expected) << c.Day << "." << c.Month << "." << c.Year;
}

TEST(EpochToDayNumber, TwoDigitYearsFrom57AreThe1900sAndTheFractionIsThePrintedOne)
{
    const struct {
        double Epoch, Expected;
    } cases[] = {
        {19123.5, 15097.5},   {26340.75, 17871.75}, {5032.25, 9893.25}, // 2005 February 1, 6h
        {26340.0, 17871.0},   {56001.0, 28489.0},   {57001.0, -7670.0}, // 2056 and 1957
        {98001.5, 7305.5},    {99365.0, 8034.0},    {0.5, 8034.5},     // 1998 is not 2098
        {26340.12345678, 17871.0 + 0.12345678}, // the double nearest 0.12345678, not epoch - 26340
    };
    const DateTime dayNumberZero = *DateTime::FromCalendar(1978, 1, 1);
    for (const auto& c : cases) {
        EXPECT_EQ(EpochToDayNumber(c.Epoch), c.Expected) << c.Epoch;
        EXPECT_NEAR(EpochAgeDays(c.Epoch, dayNumberZero), -c.Expected, 1e-9) << c.Epoch;
    }
}

TEST(GreenwichSidereal, ReferenceInstants)
{
    // J2000.0: 280.46061837..., printed without rounding.
    EXPECT_NEAR(GreenwichSidereal(8035, 0.5), 280.460618375, 5e-9);
    EXPECT_PRINTED(GreenwichSidereal(17871, 0), "74.7953");
    EXPECT_PRINTED(GreenwichSidereal(4383, 0), "100.3836"); // 1990 January 1: from a negative angle
    // The worked example's two instants.
    EXPECT_PRINTED(GreenwichSidereal(17871, 0.5), "255.28814");
    EXPECT_PRINTED(GreenwichSidereal(17871, 12.5 / 24), "262.80868");
}

} // namespace
} // namespace tavik
