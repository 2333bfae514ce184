// What an operator plans with, built on the pass and eclipse finders' events
// and the run's minutes: each pass with its
// rise, set, refined maximum and the light at those points, each eclipse with
// its penumbra where the model has one. The list lines stay as they are; this
// sits beside them.
#pragma once

#include "astro/ApparentSun.h"
#include "forecast/Forecast.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
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
    double Range = 0;        // km, station to satellite
    double RangeRate = 0;    // km/s, positive while the satellite moves away
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
    // The horizon crossings (elevation 0) found to the second, with the
    // satellite's place and light there; nothing where the run holds no rise
    // (RiseKnown false) or no set (SetKnown false). Rise and Set keep the
    // whole minutes the lists have.
    std::optional<PassPointDetail> RiseCrossing, SetCrossing;
    // The rise and the set to the second where found, else the whole minute.
    const PassPointDetail& RiseToTheSecond() const { return RiseCrossing ? *RiseCrossing : Rise; }
    const PassPointDetail& SetToTheSecond() const { return SetCrossing ? *SetCrossing : Set; }
    std::int64_t DurationMinutes = 0;
    // The run's minutes of the pass, counted from the start: [FirstMinute, EndMinute).
    std::int64_t FirstMinute = 0, EndMinute = 0;
};

struct EclipseDetail {
    // False for a passage through the penumbra alone, which never reaches
    // the umbra (a grazing one, precise model only): Entry and Exit then hold
    // the first minute with part of the Sun hidden and the first minute
    // with all of it seen again (both the minute after it, DurationMinutes
    // 0, for one that falls wholly between two minutes), the umbra's fields
    // are empty and the penumbra's hold its edges. The eclipses list has no
    // such passage.
    bool Umbra = true;
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

// The request must be the one that made the result: the maxima and the
// horizon crossings are refined with the same model.
PlanningDetails MakePlanningDetails(const ForecastResult& result, const ForecastRequest& request);

// The calculation chain at any instant, to a fraction of a second, with one
// request's model and its constants computed once. Instants are seconds on
// the DateTime scale (DateTime::Seconds(), with a fraction). Holds a
// reference to the request, which must outlive it.
class PointEvaluator {
public:
    explicit PointEvaluator(const ForecastRequest& request);

    // Azimuth, elevation, range, range rate and the light there. The light
    // is the instant's own (not carried from a minute before).
    PassPointDetail At(double seconds);
    PassPointDetail At(DateTime t) { return At(static_cast<double>(t.Seconds())); }
    // The elevation alone, degrees; NaN where the SGP4 model cannot go on.
    double Elevation(double seconds);
    // The share of the Sun's disc seen: 1 in full sunlight, 0 in the umbra.
    double SunFraction(DateTime t);
    // Whether the satellite is in the umbra then.
    bool InUmbra(DateTime t);
    // The shadow margin (ConeShadow::Margin), degrees: below 0 part of the
    // Sun is hidden. SGP4 model only; NaN where it cannot go on.
    double ShadowMargin(double seconds);
    // The whole chain's state at the instant, with the instant's own light.
    StepState StateAt(double seconds) { return State(seconds, 2); }

private:
    StepState State(double seconds, int passes);

    const ForecastRequest& request_;
    StepConstants constants_;
    std::optional<Sgp4> precise_;
    // Kept from one instant to the next: the instants mostly move forward, and
    // the deep-space integration then goes on from where it stood instead of
    // starting again at the epoch (same numbers either way).
    ResonanceCarry resonance_;
    // The Sun's table of the last day evaluated: the instants of a search
    // mostly fall on one day.
    std::optional<SunDay> sun_;
};

// The passages through the penumbra alone among minute samples: each run
// [first, end) of minutes with part of the Sun hidden and none in the umbra,
// with the whole Sun seen at first - 1 and at end (so none open at either end
// of the count). zone(k): 0 sunlit, 1 penumbra, 2 umbra. A passage shorter
// than a minute that falls wholly between two samples shows in none:
// GrazesBetweenMinutes finds those.
std::vector<std::pair<std::int64_t, std::int64_t>> PenumbraOnlyRuns(std::int64_t count,
                                                                    const std::function<int(std::int64_t)>& zone);

// The least of f over [from, to], f having one minimum there, found to
// within tolerance by golden-section search (Kiefer 1953), each step keeping
// the bracket's part around the lower of two inner probes. Value is NaN
// where a probe is not a number.
struct Lowest {
    double At = 0, Value = 0;
};
Lowest GoldenMinimum(const std::function<double(double)>& f, double from, double to, double tolerance);

// A passage through the penumbra alone, to the second: the first and the
// last second with part of the Sun hidden (the same second for one shorter
// than a second that holds no whole one).
struct Graze {
    DateTime First, Last;
};

// The passages through the penumbra alone that fall wholly between two of
// count minute samples from start, where every sample sees the whole Sun:
// at the edge of a season a low orbit's grazing passages last seconds.
// margin(k): the shadow margin of minute k, degrees. Only a sunlit sample
// whose margin is a local minimum, and closer to 0 than the margin climbs
// to the next sample on either side, can hide a dip below 0 (a parabola
// through the three samples dips at most a quarter of that below the
// lowest); the two minutes around it are searched for the deepest point,
// and a dip below 0 refined at both ends. A dip reaching the umbra is left
// out, as the umbra's whole-minute lists leave it out.
std::vector<Graze> GrazesBetweenMinutes(PointEvaluator& evaluate, DateTime start, std::int64_t count,
                                        const std::function<double(std::int64_t)>& margin);

// The first second with part of the Sun hidden, between lit (the whole Sun
// seen) and shaded (not), and the reverse for an exit: by halving.
DateTime PenumbraEdge(PointEvaluator& evaluate, DateTime lit, DateTime shaded);

// The elevation, azimuth and light at any instant, with the request's model.
// The light is the instant's own (not carried from a minute before).
PassPointDetail EvaluateAt(const ForecastRequest& request, DateTime at);

// Where f changes sign between the instants from and to (seconds, either
// order), by halving until the bracket is at most tolerance wide: the
// middle of the last bracket. f(from) <= 0 < f(to) finds a rise, the reverse
// a set. Nothing when both ends lie on the same side or f is not a number
// at a probe.
std::optional<double> FindSignChange(const std::function<double(double)>& f, double from, double to, double tolerance);

// The horizon crossing between two instants on either side of it (the last
// minute below and the first above, or the reverse), rounded to the nearest
// second, with the satellite's place, range, range rate and light at that
// second. Nothing when the elevation does not change sign between them.
std::optional<PassPointDetail> HorizonCrossing(PointEvaluator& evaluate, DateTime from, DateTime to);

// The track of a pass, minute by minute from the last minute below the
// horizon to the first minute below it again (those clipped to the horizon),
// from the run's minutes, which keep no range: Range and RangeRate stay 0.
std::vector<PassPointDetail> PassTrack(const ForecastResult& result, const PassDetail& pass);

} // namespace tavik
