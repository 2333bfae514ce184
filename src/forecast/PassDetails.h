// What an operator plans with, built on the pass and eclipse finders' events
// and the run's minutes: each pass with its
// rise, set, refined maximum and the light at those points, each eclipse with
// its penumbra where the model has one. The list lines stay as they are; this
// sits beside them.
#pragma once

#include "forecast/Forecast.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tavik {

// The satellite at one point of a pass.
struct PassPointDetail {
    DateTime At;
    double Azimuth = 0;      // degrees
    double Elevation = 0;    // degrees
    bool Sunlit = true;      // out of the umbra at that instant
    double Illumination = 0; // 0 to 1
    double SunAngle = 0;     // degrees
};

struct PassDetail {
    // False when the satellite was already up at the run's first minute: Rise
    // then holds that minute, which is no rise.
    bool RiseKnown = true;
    // False when the satellite was still up at the run's last minute (or
    // where a stopped run ended): Set then holds that minute.
    bool SetKnown = true;
    PassPointDetail Rise; // the first whole minute above the horizon
    PassPointDetail Set;  // the first whole minute below it again
    PassPointDetail Max;  // the highest point, found to the second
    std::int64_t DurationMinutes = 0;
    // The run's minutes of the pass, counted from the start: [FirstMinute, EndMinute).
    std::int64_t FirstMinute = 0, EndMinute = 0;
};

struct EclipseDetail {
    bool EntryKnown = true; // false: in shadow at the run's first minute
    bool ExitKnown = true;  // false: still in shadow at its last
    DateTime Entry, Exit;   // whole minutes, as the eclipses list has them: the first
                            // minute in the umbra and the first out of it
    std::int64_t DurationMinutes = 0;
    // The umbra to the second: the first and the last second in it. Only the
    // precise model has them; the classic model's shadow cylinder is known
    // to the minute.
    std::optional<DateTime> UmbraEntry, UmbraExit;
    // The penumbra around this umbra passage, to the second: the first and
    // the last second with part of the Sun's disc hidden. Only the precise
    // model has one.
    std::optional<DateTime> PenumbraEntry, PenumbraExit;
};

struct PlanningDetails {
    std::vector<PassDetail> Passes;
    std::vector<EclipseDetail> Eclipses;
    // Above the horizon at every minute of a completed run (one pass, with
    // neither rise nor set).
    bool AlwaysUp = false;
    bool HasPenumbra = false; // the model has a penumbra (precise)
    DateTime End;             // the last minute computed
};

// The request must be the one that made the result: the maxima are refined
// with the same model.
PlanningDetails MakePlanningDetails(const ForecastResult& result, const ForecastRequest& request);

// The elevation, azimuth and light at any instant, with the request's model.
// The light is the instant's own (not carried from a minute before).
PassPointDetail EvaluateAt(const ForecastRequest& request, DateTime at);

// The track of a pass, minute by minute from the last minute below the
// horizon to the first minute below it again (those clipped to the horizon).
std::vector<PassPointDetail> PassTrack(const ForecastResult& result, const PassDetail& pass);

} // namespace tavik
