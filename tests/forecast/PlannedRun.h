// A forecast of one entry of the bundled example file with its pass and eclipse details, for the tests built on them.
#pragma once

#include "forecast/PassDetails.h"

#include <memory>
#include <string>

namespace tavik {

struct PlannedRun {
    ForecastRequest Request;
    ForecastResult Result;
    PlanningDetails Details;
};

inline PlannedRun RunEntry(int index, DateTime start, OrbitModel model, const char* locator = "JO40hc")
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(std::string(TAVIK_EXAMPLES) + "/example.tle", *catalogue);
    PlannedRun run{{start, SelectElementSet(*catalogue, index), MakeStation(locator), {}, 0, model}, {}, {}};
    ShadowCarry carry;
    run.Result = RunForecast(run.Request, carry);
    run.Details = MakePlanningDetails(run.Result, run.Request);
    return run;
}

} // namespace tavik
