// Strip chart colours and the pixel buffer.
#include "forecast/StripChart.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(StripColours, SunlightAndShadow)
{
    struct Case {
        bool Shadow;
        double Illumination;
        int K;
    };
    const Case cases[] = {
        {true, 1, 0},      // shadow is black whatever the illumination
        {false, 1, 255},   // full illumination is yellow
        {false, 0, 0},     // zero illumination is black too
        {false, 0.5, 127}, // 50 x 2.55 is just below 127.5 in double precision
        {false, 0.3, 76},  // 76.5 exactly? 30 x 2.55 = 76.49999...: 76
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Illumination);
        Rgb expected{static_cast<std::uint8_t>(c.K), static_cast<std::uint8_t>(c.K), 0};
        EXPECT_EQ(SunlightTickColour(c.Shadow, c.Illumination), expected);
    }
}

TEST(StripColours, PassTickShadeGrowsWithElevation)
{
    EXPECT_EQ(PassTickColour(0).G, 128);
    EXPECT_EQ(PassTickColour(90).G, 216);
    EXPECT_EQ(PassTickColour(45).G, 172); // 44.1 + 128
    // Halves to even: 0.5 / 0.98 degrees gives 128.5 -> 128.
    double half = 0.5 / (2.8 * 0.35);
    double g = ((half * 2.8) * 0.35) + 128;
    if (g == 128.5) {
        EXPECT_EQ(PassTickColour(half).G, 128);
    }
}

ForecastResult Synthetic(std::size_t steps)
{
    ForecastResult r;
    r.Minutes.resize(steps);
    r.DrawnSteps = steps;
    for (auto& m : r.Minutes) {
        m.Illumination = 1;
        m.SatElevation = -10;
    }
    return r;
}

TEST(RenderStrip, TicksSitInTheirRowsAndColumns)
{
    ForecastResult r = Synthetic(2 * 1441);
    r.Minutes[100].InEclipse = true; // day 1, minutes 100 and 101 share a column
    r.Minutes[101].InEclipse = true;
    PixelBuffer b = RenderStrip(r);
    ASSERT_EQ(b.Width, 889);
    ASSERT_EQ(b.Height, 681);
    const int x = PixelColumn(100 * MinuteWidth(889)); // 61.736 -> 62
    EXPECT_EQ(x, 62);
    const Rgb white{255, 255, 255}, yellow{255, 255, 0}, black{0, 0, 0};
    EXPECT_EQ(b.At(x, 11), white);  // the row's first line stays free
    EXPECT_EQ(b.At(x, 12), black);
    EXPECT_EQ(b.At(x, 21), black);
    EXPECT_EQ(b.At(x, 22), white);  // row 2 starts at y = 22
    EXPECT_EQ(b.At(x, 23), yellow);
    EXPECT_EQ(b.At(x, 5), white);   // nothing above row 1
    EXPECT_EQ(b.At(x, 40), white);  // nothing below the rows drawn
}

TEST(RenderStrip, LastTickWinsWhereMinutesShareAColumn)
{
    // Minutes 1 and 2 both land in column 1 (0.617 and 1.235).
    ASSERT_EQ(PixelColumn(1 * MinuteWidth(889)), 1);
    ASSERT_EQ(PixelColumn(2 * MinuteWidth(889)), 1);
    ForecastResult r = Synthetic(1441);
    r.Minutes[1].InEclipse = true;
    EXPECT_EQ(RenderStrip(r).At(1, 15), (Rgb{255, 255, 0}));
    r.Minutes[1].InEclipse = false;
    r.Minutes[2].InEclipse = true;
    EXPECT_EQ(RenderStrip(r).At(1, 15), (Rgb{0, 0, 0}));
}

TEST(RenderStrip, PassTickIsCoveredUnlessTheBandIsAskedFor)
{
    ForecastResult r = Synthetic(1441);
    r.Minutes[720].SatElevation = 45;
    const int x = PixelColumn(720 * MinuteWidth(889));
    PixelBuffer plain = RenderStrip(r);
    for (int y = 12; y <= 21; ++y) EXPECT_EQ(plain.At(x, y), (Rgb{255, 255, 0}));

    StripStyle band;
    band.PassBand = true;
    PixelBuffer banded = RenderStrip(r, band);
    for (int y = 12; y <= 14; ++y) EXPECT_EQ(banded.At(x, y), (Rgb{0, 172, 0}));
    for (int y = 15; y <= 21; ++y) EXPECT_EQ(banded.At(x, y), (Rgb{255, 255, 0}));
}

TEST(RenderStrip, StopsWhereTheRunStopped)
{
    ForecastResult r = Synthetic(1441 + 10);
    r.DrawnSteps = 1441 + 5;
    PixelBuffer b = RenderStrip(r);
    EXPECT_EQ(b.At(PixelColumn(4 * MinuteWidth(889)), 23), (Rgb{255, 255, 0}));
    EXPECT_EQ(b.At(PixelColumn(8 * MinuteWidth(889)), 23), (Rgb{255, 255, 255}));
}

TEST(RenderStrip, HourLinesSpanTheFullHeight)
{
    PixelBuffer b(889, 681, Rgb{255, 255, 255});
    DrawHourLines(b, HourWidth(881));
    const int x5 = PixelColumn(5 * HourWidth(881)); // 183.54 -> 184
    EXPECT_EQ(x5, 184);
    EXPECT_EQ(b.At(x5, 0), (Rgb{128, 128, 128}));
    EXPECT_EQ(b.At(x5, 680), (Rgb{128, 128, 128}));
    EXPECT_EQ(b.At(0, 300), (Rgb{128, 128, 128})); // hour 0 on the left edge
    EXPECT_EQ(b.At(x5 + 1, 300), (Rgb{255, 255, 255}));
}

} // namespace
} // namespace tavik
