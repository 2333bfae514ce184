// The element set of the reference worked example: epoch 2026 December 6,
// 12h UT, a 51.64-degree orbit at 15.5 revolutions per day, seen from
// latitude 50, longitude 10; and the figures that come with it.
#pragma once

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"

namespace tavik::test {

inline CurrentElementSet WorkedExampleSet(const char* name = "EXAMPLE")
{
    return {.SatName = name, .Line1 = "1", .Line2 = "2", .Epoch = 26340.5, .Inclination = 51.64, .RAAN = 120,
            .Eccentricity = 0.0005, .ArgPerigee = 90, .MeanAnomaly = 270, .MeanMotion = 15.5, .Decay = 0.0001};
}

inline Station Lat50Lon10() { return {.StationLocator = "", .StationLon = 10, .StationLat = 50}; }

// The worked example's reference figures, compared as Printed.h does. None is
// from an outside publication, so they check this code against the model's
// formulas, not against the sky. Each row names the step that makes it; T is
// the time since the epoch in days.
struct WorkedExampleFigures {
    // At 12:30:00 UT, T = 0.0208333 (half an hour after the epoch).
    const char* SiderealAt1230 = "262.80868";     // GreenwichSidereal(17871, 12.5 / 24)
    const char* CurrentRAAN = "119.89677";        // 120 + NodeRate T KDP: the node drifts west
    const char* CurrentArgPerigee = "90.07699";   // 90 + PerigeeRate T KDP
    const char* CurrentMeanAnomaly = "26.25002";  // 270 + 15.5 x 360 T KM, reduced to one turn
    const char* SemiMajorAxis = "6794.8593";      // km: (398600 / n^2)^(1/3) KD, n in radians a second
    const char* EccentricAnomaly = "26.26269";    // SolveKepler at the mean anomaly above, e = 0.0005
    const char* OrbitRadius = "6791.8126";        // km: a (1 - e cos E)
    const char* SatHeight = "413.6756";           // km: the radius less 6378.137
    const char* StationPosX = "4045.444";         // km: the station at latitude 50, longitude 10 on the
    const char* StationPosY = "713.321";          //   ellipsoid of radii 6378.137 and 6356.785
    const char* StationPosZ = "4862.824";
    const char* SatCelX = "-1771.658";            // km: the satellite in the celestial frame
    const char* SatCelY = "-4496.218";
    const char* SatCelZ = "4772.208";
    const char* AttitudeCelX = "0.537344";        // the attitude axis (0, 0), away from perigee, turned
    const char* AttitudeCelY = "0.310496";        //   into the celestial frame
    const char* AttitudeCelZ = "-0.784126";
    const char* Range = "2013.806";               // km from the station
    const char* SatAzimuth = "261.846";           // degrees from north through east
    const char* SatElevation = "3.443";           // degrees: just risen
    // At 12:00:00 UT, the epoch itself (T = 0).
    const char* SiderealAt1200 = "255.28814";     // GreenwichSidereal(17871, 0.5)
    const char* EccentricAnomalyAtEpoch = "269.97135"; // SolveKepler at 270
    const char* SatHeightAtEpoch = "416.7253";    // km
    const char* SatAzimuthAtEpoch = "318.032";    // degrees
    const char* SatElevationAtEpoch = "-59.872";  // degrees: far below the horizon
    // One hour before the epoch, and the instant 30 s before 12:30.
    const char* DaysSinceEpochHourBefore = "-0.0416667"; // -1 / 24
    const char* CalcDayFractionAt122930 = "0.5204861";   // (12 + 29.5 / 60) / 24
    // The drag factors of the same Decay (0.0001) and mean motion (15.5) ten days on.
    const char* DC = "-0.00000430108";            // -2 Decay / (3 n)
    const char* DT = "-0.0000215054";             // DC T / 2
    const char* KM = "1.0000645";                 // 1 - 3 DT
    const char* KD = "0.9999140";                 // 1 + 4 DT
    const char* KDP = "1.0001505";                // 1 - 7 DT
    const char* Advance = "55803.6";              // degrees: 15.5 x 10 x 360 KM, 3.6 more than without drag
};

inline constexpr WorkedExampleFigures WorkedFigures{};

} // namespace tavik::test
