// A year of light: for 365 days from a start date, each day's beta angle,
// eclipses, time in shadow and sun angle, and the eclipse seasons, from the
// same per-minute chain as the forecast. What a power budget starts from.
#pragma once

#include "forecast/Forecast.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

inline constexpr int YearOfLightDays = 365;

struct LightDay {
    DateTime Date; // 00:00 UTC
    // The angle between the orbit plane and the Sun, degrees: positive when
    // the Sun lies on the side of r x v. At 00:00 UTC, and its least and
    // greatest over the day's minutes.
    double Beta = 0, BetaMin = 0, BetaMax = 0;
    int Eclipses = 0; // umbra passages entered on this day
    // Of the eclipses entered on this day, minutes (to the second in the SGP4
    // model, whole minutes in the classic one); nothing on a day without.
    std::optional<double> LongestEclipse, ShortestEclipse;
    // The longest penumbra passage around those eclipses, or through the
    // penumbra alone entered on this day, from the first second with part of
    // the Sun's disc hidden to the first with all of it seen; SGP4 model only.
    std::optional<double> LongestPenumbra;
    double ShadowMinutes = 0; // of this day in the umbra, whoever's eclipse
    double SunlitFraction = 1;
    double SunAngle = 0; // at 12:00 UTC with the attitude in use, as the year file takes it
};

// A run of days with at least one eclipse.
struct EclipseSeason {
    DateTime First, Last;
    double LongestEclipse = 0; // minutes
};

struct YearOfLight {
    std::string SatName;
    OrbitModel Model = OrbitModel::Sgp4;
    Attitude Axis;
    std::vector<LightDay> Days; // fewer than 365 when the run stopped
    std::vector<EclipseSeason> Seasons;
    bool HasPenumbra = false;
    RunEnd End = RunEnd::Completed;
    DateTime StopTime; // the minute the run stopped at, if it did
};

// The year from request.Start (00:00 UTC) in request.Model with
// request.Axis; request.Threads as for the forecast. Throws InputError when
// the element set cannot be propagated.
YearOfLight ComputeYearOfLight(const ForecastRequest& request);

} // namespace tavik
