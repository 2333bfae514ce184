// The element set of the reference worked example: epoch 2026 December 6,
// 12h UT, a 51.64-degree orbit at 15.5 revolutions per day, seen from
// latitude 50, longitude 10.
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

} // namespace tavik::test
