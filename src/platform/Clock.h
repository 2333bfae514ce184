// The system clock and the time-zone rule, read fresh at every call so that a
// change of zone or of daylight time takes effect at once.
#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <ctime>
#include <optional>

namespace tavik {

// Local time minus UTC in minutes at the given instant (now by default),
// daylight time included when it is in effect, by the C library's rules.
std::int16_t UtcOffsetMinutes(std::time_t at);
std::int16_t UtcOffsetMinutes();

// The local clock shifted by minus the UTC offset: the current UTC date-time.
// Nothing when the clock reads a date outside the years 1 to 9999, which no
// date-time value holds (it used to become 1899-12-30 without a word).
std::optional<DateTime> UtcNow();
// The same for a given instant of the system clock.
std::optional<DateTime> UtcAt(std::time_t at);

} // namespace tavik
