// The whole chain for one instant: the worked example end to end, and the
// shadow flag carried from one instant to the next.
#include "forecast/ComputeState.h"
#include "WorkedExample.h"

#include "Printed.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

CurrentElementSet ExampleSet() { return test::WorkedExampleSet(); }

Station Lat50Lon10() { return test::Lat50Lon10(); }

CalcInstant At(int day, int hour, int minute)
{
    CalcInstant i;
    i.CalcDay = static_cast<std::int16_t>(day);
    i.CalcMonth = 12;
    i.CalcYear = 2026;
    i.CalcHour = hour;
    i.CalcMinute = minute;
    return i;
}

TEST(ComputeState, WorkedExampleAt1230)
{
    ShadowCarry carry;
    StepState s = ComputeState(ExampleSet(), Lat50Lon10(), Attitude{}, At(6, 12, 30), carry);
    EXPECT_PRINTED(s.Look.StationPosX, "4045.444");
    EXPECT_PRINTED(s.Look.StationPosY, "713.321");
    EXPECT_PRINTED(s.Look.StationPosZ, "4862.824");
    EXPECT_PRINTED(s.Look.SatCelX, "-1771.658");
    EXPECT_PRINTED(s.Look.SatCelY, "-4496.218");
    EXPECT_PRINTED(s.Look.SatCelZ, "4772.208");
    EXPECT_PRINTED(s.Look.AttitudeCelX, "0.537344");
    EXPECT_PRINTED(s.Look.AttitudeCelY, "0.310496");
    EXPECT_PRINTED(s.Look.AttitudeCelZ, "-0.784126");
    EXPECT_PRINTED(s.Look.Range, "2013.806");
    EXPECT_PRINTED(s.SatAzimuth(), "261.846");
    EXPECT_PRINTED(s.SatElevation(), "3.443");
    EXPECT_PRINTED(s.SatHeight(), "413.6756");
}

TEST(ComputeState, WorkedExampleAt1200)
{
    ShadowCarry carry;
    StepState s = ComputeState(ExampleSet(), Lat50Lon10(), Attitude{}, At(6, 12, 0), carry);
    EXPECT_PRINTED(s.SatAzimuth(), "318.032");
    EXPECT_PRINTED(s.SatElevation(), "-59.872");
    EXPECT_PRINTED(s.SatHeight(), "416.7253");
}

TEST(ComputeState, IlluminationLagsTheShadowByOneStep)
{
    // Step minute by minute and check the carried flag against the step before.
    ShadowCarry carry;
    bool previous = carry.InEclipse;
    int entries = 0, exits = 0;
    for (int m = 0; m < 6 * 60; ++m) {
        StepState s = ComputeState(ExampleSet(), Lat50Lon10(), Attitude{}, At(7, m / 60, m % 60), carry);
        EXPECT_EQ(carry.InEclipse, s.InEclipse);
        if (previous) {
            EXPECT_EQ(s.Illumination(), 0) << "minute " << m;
        } else {
            EXPECT_GT(s.Illumination(), 0) << "minute " << m;
        }
        entries += !previous && s.InEclipse;
        exits += previous && !s.InEclipse;
        previous = s.InEclipse;
    }
    // A low orbit passes the shadow about once every 93 minutes.
    EXPECT_GE(entries, 3);
    EXPECT_GE(exits, 3);
}

TEST(ComputeState, SameInputsGiveTheSameState)
{
    ShadowCarry a, b;
    StepState s1 = ComputeState(ExampleSet(), Lat50Lon10(), Attitude{}, At(9, 3, 17), a);
    StepState s2 = ComputeState(ExampleSet(), Lat50Lon10(), Attitude{}, At(9, 3, 17), b);
    EXPECT_EQ(s1.SatAzimuth(), s2.SatAzimuth());
    EXPECT_EQ(s1.SunAngle(), s2.SunAngle());
    EXPECT_EQ(s1.Orbit.OrbitRadius, s2.Orbit.OrbitRadius);
}

} // namespace
} // namespace tavik
