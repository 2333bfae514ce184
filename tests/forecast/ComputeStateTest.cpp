// The whole chain for one instant: the worked example end to end.
#include "forecast/ComputeState.h"
#include "WorkedExample.h"
#include "Printed.h"

namespace tavik {
namespace {

TEST(ComputeState, WorkedExampleAt1230And1200)
{
    auto at = [](double hour, double minute) {
        ShadowCarry carry;
        return ComputeState(test::WorkedExampleSet(), test::Lat50Lon10(), Attitude{}, {6, 12, 2026, hour, minute}, carry);
    };
    const StepState s = at(12, 30), t = at(12, 0);
    const test::WorkedExampleFigures& x = test::WorkedFigures;
    test::ExpectPrinted({
        {"StationPosX", s.Look.StationPosX, x.StationPosX}, {"StationPosY", s.Look.StationPosY, x.StationPosY},
        {"StationPosZ", s.Look.StationPosZ, x.StationPosZ}, {"SatCelX", s.Look.SatCelX, x.SatCelX},
        {"SatCelY", s.Look.SatCelY, x.SatCelY},        {"SatCelZ", s.Look.SatCelZ, x.SatCelZ},
        {"AttitudeCelX", s.Look.AttitudeCelX, x.AttitudeCelX}, {"AttitudeCelY", s.Look.AttitudeCelY, x.AttitudeCelY},
        {"AttitudeCelZ", s.Look.AttitudeCelZ, x.AttitudeCelZ}, {"Range", s.Look.Range, x.Range},
        {"SatAzimuth", s.SatAzimuth(), x.SatAzimuth},       {"SatElevation", s.SatElevation(), x.SatElevation},
        {"SatHeight", s.SatHeight(), x.SatHeight},  {"SatAzimuth at 12:00", t.SatAzimuth(), x.SatAzimuthAtEpoch},
        {"SatElevation at 12:00", t.SatElevation(), x.SatElevationAtEpoch},
        {"SatHeight at 12:00", t.SatHeight(), x.SatHeightAtEpoch},
    });
}

} // namespace
} // namespace tavik
