// The 59-day forecast: every minute from 00:00 UTC of the start day, the
// whole calculation chain, feeding the pass finder, the eclipse finder, the
// daily sun-angle series and the strip chart. Independent of any window.
#pragma once

#include "forecast/ComputeState.h"
#include "forecast/EclipseFinder.h"
#include "forecast/PassFinder.h"
#include "platform/DateTime.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

inline constexpr int ForecastDays = 59;
inline constexpr int MinutesPerDay = 1440;
inline constexpr int StepsPerDay = MinutesPerDay + 1; // minutes 0 to 1440: midnight is computed twice
inline constexpr int ProgressMaximum = 60;
// The program's own limit, from no publication: a satellite this low
// re-enters within a day or so.
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
    Sgp4Stop OrbitStop = Sgp4Stop::None; // the SGP4 model could not go on at this step
    double SunFraction = 1;              // the Sun's disc seen (SGP4 model's penumbra)
    double ShadowMargin = 0;             // degrees, StepState::ShadowMargin
};

enum class RunEnd {
    Completed,
    BelowMinimumHeight, // the satellite sank below 150 km: partial results
    KeplerFailed,       // Kepler's equation did not converge: partial results
    Cancelled,          // the progress callback asked to stop: partial results
    // The SGP4 model cannot go on (partial results; OrbitStop says which
    // condition SGP4/SDP4 met):
    EccentricityOutOfRange, // the eccentricity left 0 to 1 under drag or the Sun's and the Moon's pull
    MeanMotionNotPositive,  // the mean motion fell to 0 or below
    SemiLatusRectumNegative,
    BelowSurface,   // the satellite came out below the Earth's surface
    OrbitNotFinite, // the time or the position came out of range or not finite
};

// The run's end for a stop of SGP4/SDP4.
RunEnd RunEndOf(Sgp4Stop stop);

// Which model computes the orbit and the shadow. Classic: a Kepler ellipse
// with the J2 drift of node and perigee and a linear drag term, and a
// cylindrical shadow: the numbers the lists have always had. Sgp4: SGP4/SDP4
// and the Earth's conical umbra and penumbra.
enum class OrbitModel { Classic, Sgp4 };
// "classic" or "sgp4", as exports, summaries and settings write it.
inline const char* ModelName(OrbitModel model) { return model == OrbitModel::Sgp4 ? "sgp4" : "classic"; }
// The model a word names: "classic" or "sgp4", or the older "design" and
// "precise" that scripts and settings files still hold.
std::optional<OrbitModel> OrbitModelNamed(std::string_view name);
// What a status line says of it.
inline const char* ModelDescription(OrbitModel model)
{
    return model == OrbitModel::Sgp4 ? "SGP4/SDP4 with the Earth's conical shadow"
                                     : "the classic Kepler ellipse with a cylindrical shadow";
}

struct ForecastResult {
    std::string SatName;
    OrbitModel Model = OrbitModel::Classic;
    DateTime Start;                     // 00:00:00 UTC of day 1
    std::vector<PassEvent> Passes;      // each pass that ended within the run
    std::vector<EclipseEvent> Eclipses; // each eclipse that ended within the run
    // The sun angle at minute 1440 of each day. Only a completed run rewrites
    // every element; after a stop the chart keeps the previous series.
    std::array<double, ForecastDays> DailySunAngle{};
    std::vector<DateTime> RowDates;    // the date of each row labelled so far
    std::vector<MinuteRecord> Minutes; // steps computed, index (day - 1) * 1441 + minute
    // Steps the pass and eclipse finders walked (and the strip chart shows):
    // a step that stopped the run was computed but not walked.
    std::size_t WalkedSteps = 0;
    // What the finders held open when the run ended: the rise of a pass and
    // the entry of an eclipse that had not ended.
    std::optional<PassPoint> PassUnderWay;
    std::optional<DateTime> EclipseUnderWay;
    RunEnd End = RunEnd::Completed;
    int StopDay = 0, StopMinute = 0;     // where a stopped run ended
    DateTime StopTime;                   // the step it ended at
    Sgp4Stop OrbitStop = Sgp4Stop::None; // why the SGP4 model stopped, if it did

    bool Completed() const { return End == RunEnd::Completed; }
    const MinuteRecord* At(int day, int minute) const;
};

// Minute 1440 of a day is the same instant as minute 0 of the next, and a
// run computes both. Wherever minutes are counted it counts once: as the next
// day's minute 0 when that day was computed, as minute 1440 only when the run
// ended there (stopped, or its last day). Minute k of the run lies k minutes
// after the start; these are the minutes of the steps computed.
std::int64_t RunMinuteCount(const ForecastResult& result);
const MinuteRecord& RunMinute(const ForecastResult& result, std::int64_t k);

// Called once per day with (day, 60), then with (0, 60) at the end. Return
// false to stop the run.
using ForecastProgress = std::function<bool(int value, int maximum)>;

// More threads than this gain nothing on the machines tavik runs on: the
// walk that follows them is about a quarter of a run.
inline constexpr int DefaultThreadsAtMost = 4;
// A cap on what a caller may ask for, so a typo cannot start thousands.
inline constexpr int ThreadsAtMost = 16;
// The threads a request's Threads field stands for.
int ThreadCount(int requested);

struct ForecastRequest {
    DateTime Start; // 00:00:00 UTC of the first day
    CurrentElementSet Elements;
    Station Site;
    Attitude Axis;
    // Threads that compute days side by side; 0 takes the machine's cores, up
    // to DefaultThreadsAtMost. The results are the same for any number.
    int Threads = 0;
    OrbitModel Model = OrbitModel::Classic; // last, so that {start, set, site, axis, threads} reads as before
};

// Throws InputError, before computing anything, when the element set cannot
// be propagated. carry.InEclipse is read at the first step and left as the
// last step set it.
ForecastResult RunForecast(const ForecastRequest& request, ShadowCarry& carry, const ForecastProgress& progress = {});

} // namespace tavik
