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

TEST(RenderStrip, PassTickIsCoveredUnlessTheBandIsAskedForAndNothingAfterTheLastDrawnStep)
{
    ForecastResult r; // sunlit steps below the horizon
    r.Minutes.assign(1441 + 10, {.SatElevation = -10, .Illumination = 1});
    r.Minutes[720].SatElevation = 45;
    r.Minutes[1441 + 2].InEclipse = true; // shares day 2's column 1 with minute 1: the last drawn wins
    r.WalkedSteps = 1441 + 5;
    const int x = PixelColumn(720 * MinuteWidth(889));
    const PixelBuffer plain = RenderStrip(r);
    const PixelBuffer banded = RenderStrip(r, {.Background = White, .PassBand = true});
    for (int y = 12; y <= 21; ++y) {
        EXPECT_EQ(plain.At(x, y), Yellow) << y;
        EXPECT_EQ(banded.At(x, y), (y <= 14 ? Rgb{0, 172, 0} : Yellow)) << y;
    }

    EXPECT_EQ(plain.At(PixelColumn(2 * MinuteWidth(889)), 23), Black);
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
