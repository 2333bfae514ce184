// The DayNumber scale: whole days since 1978 January 1, 0h UT (Julian Date of
// a day's start = DayNumber + 2443509.5), and its conversions.
#pragma once

#include "platform/DateTime.h"

#include <cstdint>

namespace tavik {

// Gregorian calendar date to DayNumber, for every date (no Julian switch in
// 1582). Day 0 of a month is the last day of the month before.
std::int32_t DayNumber(std::int16_t day, std::int16_t month, std::int16_t year);

// Two-digit TLE epoch year: 57-99 are 1957-1999, 00-56 are 2000-2056.
int EpochYear(std::int32_t twoDigitYear);

// TLE epoch YYDDD.dddddddd to a DayNumber with fraction. The fraction comes
// from the epoch's printed digits, not from subtraction.
double EpochToDayNumber(double epoch);

// DayNumber 0, 1978 January 1, is this day of the date-time scale, which
// counts from 1899 December 30 (checked: 78 years of 365 days and 19 leap
// days, 1904 to 1976, plus the 2 days of 1899).
inline constexpr std::int64_t DayNumberZero = 28491;

// A TLE epoch as a date-time, to the nearest second.
DateTime EpochDateTime(double epoch);

// Days from a TLE epoch to an instant: how old the element set is at the start
// of a forecast, negative when the instant lies before the epoch.
double EpochAgeDays(double epoch, DateTime at);

// Greenwich sidereal angle, degrees 0 up to 360. Only the whole day enters the
// century count; the day fraction adds the Earth's rotation.
double GreenwichSidereal(double dayNumber, double dayFraction);

// The same in two parts: the angle at 0h UT of the day, before reduction,
// and the rotation during the day added to it. The run computes the first
// once per day.
double SiderealAt0h(double dayNumber);
double GreenwichSiderealFrom(double siderealAt0h, double dayFraction);

} // namespace tavik
