// The strip chart as an image file: the engine's pixel buffer with the date
// column on its left and the hour scale beneath, laid out as in the window.
#pragma once

#include "forecast/Forecast.h"

#include <string>
#include <vector>

namespace tavik::cli {

// Size of the composed image in pixels.
inline constexpr int StripImageWidth = 985;
inline constexpr int StripImageHeight = 713;

// The PNG file's bytes, each row labelled with its text. Needs a
// QGuiApplication for the fonts.
std::string StripPngBytes(const ForecastResult& result, const std::vector<std::string>& rowLabels);

} // namespace tavik::cli
