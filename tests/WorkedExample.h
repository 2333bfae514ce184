// The element set of the reference worked example: epoch 2026 December 6,
// 12h UT, a 51.64-degree orbit at 15.5 revolutions per day, seen from
// latitude 50, longitude 10.
#pragma once

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"

namespace tavik::test {

inline CurrentElementSet WorkedExampleSet(const char* name = "EXAMPLE")
{
    CurrentElementSet e;
    e.CurrentSatName = name;
    e.Line1 = "1";
    e.Line2 = "2";
    e.Epoch = 26340.5;
    e.Inclination = 51.64;
    e.RAAN = 120;
    e.Eccentricity = 0.0005;
    e.ArgPerigee = 90;
    e.MeanAnomaly = 270;
    e.MeanMotion = 15.5;
    e.Decay = 0.0001;
    return e;
}

inline Station Lat50Lon10()
{
    Station st;
    st.StationLat = 50;
    st.StationLon = 10;
    return st;
}

} // namespace tavik::test
