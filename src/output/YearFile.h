// The one-year table: sun angle and sub-solar point at 12:00 UTC of 366
// consecutive days from January 1, semicolon separated.
#pragma once

#include "forecast/ComputeState.h"
#include "platform/RegionalFormats.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

inline constexpr int YearRows = 366;
inline constexpr int YearProgressMaximum = 365;

// "<name>_sowi_<year>.csv".
std::string YearFileName(std::string_view satName, int year);

// Called with (t, 365) for each row t = 0..365, then (0, 365).
using YearProgress = std::function<void(int value, int maximum)>;

// The rows for the year: "<short date> ; <sun angle>;<sub-solar lat>;<sub-solar lon>",
// numbers in the default double text form. Throws InputError for a set that
// cannot be propagated. carry.InEclipse is left as the last row set it.
std::vector<std::string> SunAngleYearRows(int year, const CurrentElementSet& elements, const Station& station,
                                          const Attitude& attitude, ShadowCarry& carry, const RegionalFormats& formats,
                                          const YearProgress& progress = {});

// Header and rows, CR LF after every line, Windows-1252.
std::string YearFileBytes(const std::vector<std::string>& rows);

} // namespace tavik
