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
    test::ExpectPrinted({
        {"StationPosX", s.Look.StationPosX, "4045.444"}, {"StationPosY", s.Look.StationPosY, "713.321"},
        {"StationPosZ", s.Look.StationPosZ, "4862.824"}, {"SatCelX", s.Look.SatCelX, "-1771.658"},
        {"SatCelY", s.Look.SatCelY, "-4496.218"},        {"SatCelZ", s.Look.SatCelZ, "4772.208"},
        {"AttitudeCelX", s.Look.AttitudeCelX, "0.537344"}, {"AttitudeCelY", s.Look.AttitudeCelY, "0.310496"},
        {"AttitudeCelZ", s.Look.AttitudeCelZ, "-0.784126"}, {"Range", s.Look.Range, "2013.806"},
        {"SatAzimuth", s.SatAzimuth(), "261.846"},       {"SatElevation", s.SatElevation(), "3.443"},
        {"SatHeight", s.SatHeight(), "413.6756"},            {"SatAzimuth at 12:00", t.SatAzimuth(), "318.032"},
        {"SatElevation at 12:00", t.SatElevation(), "-59.872"}, {"SatHeight at 12:00", t.SatHeight(), "416.7253"},
    });
}

} // namespace
} // namespace tavik
