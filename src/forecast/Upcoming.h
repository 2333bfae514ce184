// The passes of every satellite of a catalogue over the coming hours, and
// where one satellite stands at an instant: what an operator asks first on
// opening the program ("what comes over tonight?", "where is it now?").
#pragma once

#include "forecast/PassDetails.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

inline constexpr int DefaultUpcomingHours = 24;
inline constexpr int UpcomingHoursAtMost = 7 * 24;

struct UpcomingRequest {
    DateTime From; // the window is [From, From + Hours)
    int Hours = DefaultUpcomingHours;
    double MinElevation = 0; // degrees: passes whose maximum stays below are left out
    Station Site;
    Attitude Axis;
    OrbitModel Model = OrbitModel::Classic;
    int Threads = 0; // as ForecastRequest::Threads
};

struct UpcomingPass {
    std::string SatName;
    std::string CatalogueNumber;
    std::size_t Index = 0; // of the element set in the list given
    // The minutes counted from the window's start; RiseKnown false for a
    // pass under way at the start, SetKnown false for one still up at the
    // end, with no crossing made up for either.
    PassDetail Pass;
    // The Sun's elevation at the station at the maximum, degrees.
    double SunElevationAtMax = 0;
    // Seen by eye: the satellite in sunlight while the station's sky is dark
    // (the Sun at least 6 degrees below its horizon, the end of civil
    // twilight), judged at the maximum.
    bool VisibleToEye = false;
};

struct UpcomingList {
    std::vector<UpcomingPass> Passes; // by rise (a pass under way at the start by its first minute)
    DateTime End;                     // From + Hours
    // Element sets left out, each with the reason ("NAME: why").
    std::vector<std::string> Skipped;
};

// The Sun below the horizon by this much or more makes a dark enough sky.
inline constexpr double DarkSkySunElevation = -6; // degrees

// Every satellite's passes in the window. The satellites are shared among
// the request's threads; the result is the same for any number. progress
// (if given) is called from those threads with the satellites done so far
// and their count.
UpcomingList UpcomingPasses(const std::vector<ElementSet>& sets, const UpcomingRequest& request,
                            const std::function<void(std::size_t done, std::size_t count)>& progress = {});

// Where the satellite's shadow falls on it.
enum class LightState { Sunlit, Penumbra, Umbra };
const char* LightName(LightState light); // "sunlit", "penumbra", "umbra"

struct SkyNow {
    PassPointDetail Point;                 // azimuth, elevation, range, range rate at the instant
    double SubLatitude = 0;                // degrees north, geodetic
    double SubLongitude = 0;               // degrees east, -180 to 180
    double Height = 0;                     // km above the ellipsoid
    LightState Light = LightState::Sunlit; // Penumbra only in the SGP4 model
    bool Up = false;                       // above the horizon
    // The next rise (while below the horizon) or set (while above), to the
    // second; nothing when none comes within the search's reach.
    std::optional<PassPointDetail> Next;
};

// How far ahead the next rise or set is looked for.
inline constexpr int SkyNowSearchHours = 7 * 24;

// The satellite of request (its Start is not read) at the instant at.
SkyNow SkyAt(const ForecastRequest& request, DateTime at);

// The two halves of SkyAt, for a caller that asks every second and keeps the
// next rise or set until it has passed: the place alone (Next left empty),
// cheap; and the search for the next crossing, up to SkyNowSearchHours ahead.
SkyNow SkyPlaceAt(PointEvaluator& evaluate, OrbitModel model, DateTime at);
std::optional<PassPointDetail> NextHorizonCrossing(PointEvaluator& evaluate, DateTime at, bool up);

} // namespace tavik
