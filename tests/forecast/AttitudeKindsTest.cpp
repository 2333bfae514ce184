// The axes that turn, each against the vector it is defined by, from the chain's own position, velocity and Sun.
#include "forecast/ComputeState.h"
#include "forecast/Forecast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace tavik {
namespace {

const OrbitModel Models[] = {OrbitModel::Classic, OrbitModel::Sgp4};

// The chain at t (seconds from the start), as the runs call it.
StepState StateAt(OrbitModel model, const Attitude& axis, double t)
{
    static const CurrentElementSet elements = [] {
        auto catalogue = std::make_unique<SatelliteCatalogue>();
        LoadCatalogue(std::string(TAVIK_EXAMPLES) + "/example.tle", *catalogue);
        return SelectElementSet(*catalogue, 1);
    }();
    const StepConstants c = MakeStepConstants(elements, MakeStation("JO40hc"), axis);
    CalcInstant at = CalcInstantOf(*DateTime::FromCalendar(2026, 12, 6));
    at.CalcSecond = t;
    const DayTerms day = MakeDayTerms(at);
    StepState s;
    ShadowCarry carry;
    if (model == OrbitModel::Sgp4) {
        ResonanceCarry resonance;
        ComputePreciseStateOn(s, c, Sgp4(elements), day, MakeSunDay(day.CalcDayNumber), at, carry, resonance, true);
    } else {
        ComputeStateOn(s, c, day, elements, at, carry, true);
    }
    return s;
}

Attitude Kind(AttitudeKind kind)
{
    Attitude a;
    a.Kind = kind;
    return a;
}

Vector3 Axis(const StepState& s) { return {s.Look.AttitudeCelX, s.Look.AttitudeCelY, s.Look.AttitudeCelZ}; }
Vector3 Position(const StepState& s) { return {s.Look.SatCelX, s.Look.SatCelY, s.Look.SatCelZ}; }
Vector3 SunOf(const StepState& s) { return {s.Sun().SunX, s.Sun().SunY, s.Sun().SunZ}; }
double Degrees(double radians) { return radians * 180 / 3.141592653589793; }

// The velocity's direction from positions one second either side: the model's own motion, drift included.
Vector3 Motion(OrbitModel model, double t)
{
    return Position(StateAt(model, {}, t + 1)) - Position(StateAt(model, {}, t - 1));
}

// Each axis against the vector it stands for: angle between them in degrees, and how close it must be. The
// classic model's velocity leaves the drift of node and perigee out; the orbit normal is r x v.
TEST(AttitudeKinds, NadirVelocityAndInertialAxesPointWhereTheyShould)
{
    for (OrbitModel model : Models)
        for (double t : {0.0, 20000.0, 43200.0, 70000.0}) {
            const StepState nadir = StateAt(model, Kind(AttitudeKind::Nadir), t);
            const Vector3 down = Vector3{} - Position(nadir);
            EXPECT_NEAR(Degrees(AngleBetween(Axis(nadir), down)), 0, 1e-6) << ModelName(model) << " " << t;
            EXPECT_NEAR(Length(Axis(nadir)), 1, 1e-12);

            const StepState velocity = StateAt(model, Kind(AttitudeKind::Velocity), t);
            EXPECT_NEAR(Degrees(AngleBetween(Axis(velocity), Motion(model, t))), 0, 0.05)
                << ModelName(model) << " " << t;
            EXPECT_NEAR(Length(Axis(velocity)), 1, 1e-12);

            const StepState normal = StateAt(model, Kind(AttitudeKind::OrbitNormal), t);
            const Vector3 rxv = Cross(Position(normal), Motion(model, t));
            EXPECT_NEAR(Degrees(AngleBetween(Axis(normal), rxv)), 0, 0.05) << ModelName(model) << " " << t;
        }
}

// An inertial axis at the Sun's right ascension and declination of 12:00 gives -90 then, and stays within the
// Sun's motion over half a day (about 0.5 degrees) of it through the day.
TEST(AttitudeKinds, InertialAxisAtTheSunsPlaceGivesAboutMinus90)
{
    for (OrbitModel model : Models) {
        const Vector3 sun = SunOf(StateAt(model, {}, 43200));
        Attitude inertial = Kind(AttitudeKind::Inertial);
        inertial.RightAscension = std::fmod(Degrees(std::atan2(sun.Y, sun.X)) + 360, 360);
        inertial.Declination = Degrees(std::asin(sun.Z));
        EXPECT_NEAR(StateAt(model, inertial, 43200).SunAngle(), -90, 1e-3) << ModelName(model);
        // Through the day, in and out of the shadow: every 7 minutes 11 seconds.
        for (double t = 0; t < 86400; t += 431) EXPECT_NEAR(StateAt(model, inertial, t).SunAngle(), -90, 0.6) << t;
    }
}

} // namespace
} // namespace tavik
