// Strip chart colours and the pixel buffer.
#include "forecast/StripChart.h"

#include <gtest/gtest.h>

namespace tavik {

// A colour as its three channels in a failure message.
void PrintTo(Rgb c, std::ostream* os) { *os << '(' << +c.R << ", " << +c.G << ", " << +c.B << ')'; }

namespace {

const Rgb White{255, 255, 255}, Yellow{255, 255, 0}, Black{0, 0, 0}, Grey{128, 128, 128};

TEST(StripColours, ShadowBlackSunlightYellowByIlluminationPassesGreenByElevationHalvesToEven)
{
    // In shadow black whatever the illumination; 50 x 2.55 is just below 127.5 in double precision; 178.5; 152.5.
    const std::pair<Rgb, Rgb> cases[] = {
        {SunlightTickColour(true, 1), Black},           {SunlightTickColour(false, 1), Yellow},
        {SunlightTickColour(false, 0), Black},          {SunlightTickColour(false, 0.5), {127, 127, 0}},
        {SunlightTickColour(false, 0.7), {178, 178, 0}}, {PassTickColour(0), {0, 128, 0}},
        {PassTickColour(90), {0, 216, 0}},              {PassTickColour(25), {0, 152, 0}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

ForecastResult Synthetic(std::size_t steps) // sunlit steps below the horizon, all drawn
{
    ForecastResult r;
    r.Minutes.assign(steps, {.SatHeight = 0, .SatAzimuth = 0, .SatElevation = -10, .SunAngle = 0, .Illumination = 1});
    r.WalkedSteps = steps;
    return r;
}

TEST(RenderStrip, TicksSitInTheirRowsAndColumnsAndTheLastTickWins)
{
    ForecastResult r = Synthetic(2 * 1441);
    r.Minutes[100].InEclipse = true; // day 1, minutes 100 and 101 share a column
    r.Minutes[101].InEclipse = true;
    const PixelBuffer b = RenderStrip(r);
    const int x = PixelColumn(100 * MinuteWidth(889)); // 61.736 -> 62
    ASSERT_EQ(b.Width, 889);
    ASSERT_EQ(b.Height, 681);
    ASSERT_EQ(x, 62);
    // Row 1's first line and what lies beyond rows 1 and 2 stay free.
    const std::pair<int, Rgb> column[] = {
        {5, White}, {11, White}, {12, Black}, {21, Black}, {22, White}, {23, Yellow}, {40, White}};
    for (const auto& [y, colour] : column) EXPECT_EQ(b.At(x, y), colour) << y;
    r = Synthetic(1441); // minutes 1 and 2 both land in column 1 (0.617 and 1.235)
    r.Minutes[1].InEclipse = true;
    EXPECT_EQ(RenderStrip(r).At(1, 15), Yellow);
    r.Minutes[1].InEclipse = false;
    r.Minutes[2].InEclipse = true;
    EXPECT_EQ(RenderStrip(r).At(1, 15), Black);
}

TEST(RenderStrip, PassTickIsCoveredUnlessTheBandIsAskedForAndNothingAfterTheLastDrawnStep)
{
    ForecastResult r = Synthetic(1441 + 10);
    r.Minutes[720].SatElevation = 45;
    r.WalkedSteps = 1441 + 5;
    const int x = PixelColumn(720 * MinuteWidth(889));
    const PixelBuffer plain = RenderStrip(r);
    const PixelBuffer banded = RenderStrip(r, {.Background = White, .PassBand = true});
    for (int y = 12; y <= 21; ++y) {
        EXPECT_EQ(plain.At(x, y), Yellow) << y;
        EXPECT_EQ(banded.At(x, y), (y <= 14 ? Rgb{0, 172, 0} : Yellow)) << y;
    }

    EXPECT_EQ(plain.At(PixelColumn(4 * MinuteWidth(889)), 23), Yellow);
    EXPECT_EQ(plain.At(PixelColumn(5 * MinuteWidth(889)), 23), White); // the first step not drawn
}

TEST(RenderStrip, TwentyFourHourLinesSpanTheFullHeight)
{
    PixelBuffer b(889, 681, White);
    DrawHourLines(b, HourWidth(881));
    const int x5 = PixelColumn(5 * HourWidth(881)); // 183.54 -> 184
    EXPECT_EQ(x5, 184);
    EXPECT_EQ(b.At(x5, 0), Grey);
    EXPECT_EQ(b.At(x5, 680), Grey);
    EXPECT_EQ(b.At(0, 300), Grey); // hour 0 on the left edge
    EXPECT_EQ(b.At(x5 + 1, 300), White);
    EXPECT_EQ(b.At(881, 300), White); // 24 lines, none at 24:00
}

} // namespace
} // namespace tavik
