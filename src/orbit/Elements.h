// Epoch constants of the current element set (axes and J2 drift rates) and
// the station's trigonometry: the first step of the per-instant chain.
#pragma once

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"

namespace tavik {

struct PreparedElements {
    double StationCosLat = 0, StationSinLat = 0;
    double StationCosLon = 0, StationSinLon = 0;
    double CosIncl = 0, SinIncl = 0;
    double SemiMajorAxis0 = 0;  // km, at epoch
    double SemiMinorAxis0 = 0;  // km, at epoch
    double PrecessionConst = 0; // degrees per day
    double NodeRate = 0;        // degrees per day, drift of the ascending node
    double PerigeeRate = 0;     // degrees per day, drift of the argument of perigee
};

// x to the power y as exp(y * log(x)); x must be above 0.
double PowerOf(double x, double y);

PreparedElements PrepareElements(const CurrentElementSet& elements, const Station& station);

} // namespace tavik
