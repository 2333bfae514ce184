// The day-by-minute strip chart drawn into a plain RGB pixel buffer: one row
// of 11 pixels per day, one vertical tick per minute. Front ends wrap the
// buffer; the engine draws no text.
#pragma once

#include "forecast/Forecast.h"

#include <cstdint>
#include <vector>

namespace tavik {

inline constexpr int StripWidth = 889;     // 13335 twips at 15 twips a pixel
inline constexpr int StripHeight = 681;    // 10215 twips
inline constexpr int HourStripWidth = 881; // the hour scale beneath: 13215 twips

struct Rgb {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// Colours of the ticks, halves rounded to even: yellow as bright as the
// illumination, black in the shadow; green the brighter the higher a pass.
Rgb SunlightTickColour(bool inEclipse, double illumination);
Rgb PassTickColour(double satElevation);

struct PixelBuffer {
    int Width = 0, Height = 0;
    std::vector<Rgb> Pixels; // row by row from the top left

    PixelBuffer(int width, int height, Rgb fill)
        : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill)
    {}
    // Where pixel (x, y) of the buffer is in Pixels; both must lie inside it.
    std::size_t IndexOf(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x);
    }
    Rgb At(int x, int y) const { return Pixels[IndexOf(x, y)]; }
    // Draws from y0 to y1 inclusive; anything outside the buffer is clipped.
    void VerticalLine(int x, int y0, int y1, Rgb colour);
};

struct StripStyle {
    Rgb Background{255, 255, 255};
    // Show pass minutes as a band across the top three pixels of the row.
    // Off, each pass tick is covered by the sunlight tick of the same minute.
    bool PassBand = false;
};

// Horizontal units per minute and per hour, in single precision.
inline float MinuteWidth(int scaleWidth) { return static_cast<float>(scaleWidth) / static_cast<float>(MinutesPerDay); }
inline float HourWidth(int scaleWidth) { return static_cast<float>(scaleWidth) / 24.0f; }

// The pixel column of x scale units, halves to even.
int PixelColumn(float x);

// Row d (1..59) spans y = 11 d .. 11 d + 10; its ticks y = 11 d + 1 .. 11 d + 10.
inline int RowTop(int day) { return 11 * day; }

// Draws the ticks of every step the run drew, in step order, so the last
// tick wins where minutes share a pixel column.
PixelBuffer RenderStrip(const ForecastResult& result, const StripStyle& style = {}, int width = StripWidth,
                        int height = StripHeight);

// The grey hour lines at h * hourWidth, h = 0..23, over the full height.
void DrawHourLines(PixelBuffer& buffer, float hourWidth);

} // namespace tavik
