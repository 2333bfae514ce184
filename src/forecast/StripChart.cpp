#include "forecast/StripChart.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

std::uint8_t RoundHalfEven(double v)
{
    double r = std::nearbyint(v); // the default rounding mode: halves to even
    if (!(r >= 0)) return 0;
    if (r > 255) return 255;
    return static_cast<std::uint8_t>(r);
}

} // namespace

// The two colour scales are this program's own, from no publication. Their
// factors are kept as written, in this order, rather than folded into one
// (255, 0.98), since the products are rounded halves to even.
//
// Sunlight: the illumination 0 to 1 as a percentage, times 2.55, gives the
// red and green of a yellow from black (0) to full (255). Shadow is black.
// Folded, the scale would shade otherwise: illumination 0.5 gives 50 x 2.55
// = 127.49999999999999, so 127, where 0.5 x 255 = 127.5 would give 128.
Rgb SunlightTickColour(bool inEclipse, double illumination)
{
    if (inEclipse) return {};
    std::uint8_t k = RoundHalfEven((illumination * 100) * 2.55);
    return {k, k, 0};
}

// Pass: green 128 at the horizon rising by 0.98 per degree of elevation,
// 216 (rounded from 216.2) overhead. Here no elevation tried (0 to 90 in
// steps of 0.0001) rounds otherwise folded; the two factors stay alike.
Rgb PassTickColour(double satElevation) { return {0, RoundHalfEven(((satElevation * 2.8) * 0.35) + 128), 0}; }

void PixelBuffer::VerticalLine(int x, int y0, int y1, Rgb colour)
{
    if (x < 0 || x >= Width) return;
    if (y0 > y1) std::swap(y0, y1);
    for (int y = std::max(y0, 0); y <= y1 && y < Height; ++y) Pixels[IndexOf(x, y)] = colour;
}

int PixelColumn(float x) { return static_cast<int>(std::nearbyint(x)); }

PixelBuffer RenderStrip(const ForecastResult& result, const StripStyle& style, int width, int height)
{
    PixelBuffer buffer(width, height, style.Background);
    const float minuteWidth = MinuteWidth(width);
    for (std::size_t i = 0; i < result.WalkedSteps && i < result.Minutes.size(); ++i) {
        const MinuteRecord& rec = result.Minutes[i];
        const int day = static_cast<int>(i / StepsPerDay) + 1;
        const int minute = static_cast<int>(i % StepsPerDay);
        const int x = PixelColumn(static_cast<float>(minute) * minuteWidth);
        const int top = RowTop(day) + 1, bottom = RowTop(day) + 10;
        const Rgb sunlight = SunlightTickColour(rec.InEclipse, rec.Illumination);
        if (rec.SatElevation > 0) {
            const Rgb pass = PassTickColour(rec.SatElevation);
            buffer.VerticalLine(x, top, bottom, pass);
            if (style.PassBand) {
                buffer.VerticalLine(x, top + 3, bottom, sunlight);
                continue;
            }
        }
        buffer.VerticalLine(x, top, bottom, sunlight);
    }
    return buffer;
}

void DrawHourLines(PixelBuffer& buffer, float hourWidth)
{
    constexpr Rgb Grey{128, 128, 128}; // plain mid grey, no scale
    for (int h = 0; h < 24; ++h)
        buffer.VerticalLine(PixelColumn(static_cast<float>(h) * hourWidth), buffer.Height, 0, Grey);
}

} // namespace tavik
