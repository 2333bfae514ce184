// The 59-day forecast: every minute from 00:00 UTC of the start day, the
// whole calculation chain, feeding the pass finder, the eclipse finder, the
// daily sun-angle series and the strip chart. Independent of any window.
#pragma once

#include "forecast/ComputeState.h"
#include "platform/DateTime.h"
#include "platform/RegionalFormats.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavik {

inline constexpr int ForecastDays = 59;
inline constexpr int StepsPerDay = 1441; // minutes 0 to 1440: midnight is computed twice
inline constexpr int ProgressMaximum = 60;
inline constexpr double MinimumHeight = 150; // km; below it the run stops

// What the run keeps of every step it computed.
struct MinuteRecord {
    double SatHeight = 0;
    double SatAzimuth = 0;
    double SatElevation = 0;
    double SunAngle = 0;
    double Illumination = 0;
    bool InEclipse = false;
    bool KeplerConverged = true;
};

struct Rgb {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// Colours of the strip chart, halves rounded to even.
Rgb SunlightTickColour(bool inEclipse, double illumination);
Rgb PassTickColour(double satElevation);

enum class RunEnd {
    Completed,
    BelowMinimumHeight, // the satellite sank below 150 km: partial results
    KeplerFailed,       // Kepler's equation did not converge: partial results
    Cancelled,          // the progress callback asked to stop: partial results
};

struct ForecastResult {
    std::string SatName;
    DateTime Start;                        // 00:00:00 UTC of day 1
    std::vector<std::string> PassLines;    // the passes list
    std::vector<std::string> EclipseLines; // the eclipses list
    // The sun angle at minute 1440 of each day. Only a completed run rewrites
    // every element; after a stop the chart keeps the previous series.
    std::array<double, ForecastDays> DailySunAngle{};
    std::vector<std::string> RowLabels;    // "YYYY/mm/dd" of the rows labelled so far
    std::vector<MinuteRecord> Minutes;     // steps computed, index (day - 1) * 1441 + minute
    std::size_t DrawnSteps = 0;            // steps whose ticks were drawn
    RunEnd End = RunEnd::Completed;
    int StopDay = 0, StopMinute = 0;       // where a stopped run ended
    std::string StopReason;                // for the user, empty when completed
    std::vector<std::int64_t> EclipseMinutes; // duration of each eclipse line
    std::vector<DateTime> EclipseStarts;      // entry of each eclipse line

    bool Completed() const { return End == RunEnd::Completed; }
    const MinuteRecord* At(int day, int minute) const;
};

// Called once per day with (day, 60), then with (0, 60) at the end. Return
// false to stop the run.
using ForecastProgress = std::function<bool(int value, int maximum)>;

struct ForecastRequest {
    std::string DayText, MonthText, YearText; // the start date as typed
    CurrentElementSet Elements;
    Station Site;
    Attitude Axis;
    RegionalFormats Formats;
    // Threads that compute days side by side; 0 takes what the machine has.
    // The results are the same for any number.
    int Threads = 0;
};

// The eclipses list written in other forms: those a file can hold where
// the screen's cannot be written (Cp1252FileFormats).
std::vector<std::string> EclipseLinesIn(const ForecastResult& result, const RegionalFormats& formats);

// Throws InputError, before computing anything, when the start texts name
// no date or the element set cannot be propagated. carry.InEclipse is read
// at the first step and left as the last step set it.
ForecastResult RunForecast(const ForecastRequest& request, ShadowCarry& carry,
                           const ForecastProgress& progress = {});

} // namespace tavik
