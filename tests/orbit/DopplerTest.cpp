// The Doppler shift's sign and size, and the range rate with the station turning with the Earth.
#include "orbit/Doppler.h"
#include "orbit/LookAngles.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// -f v / c by hand: 145.8 MHz x 7 km/s / 299792.458 km/s = 3404.3552 Hz, 435.3 MHz x 2.5 km/s = 3630.0113 Hz.
TEST(DopplerShift, PositiveWhileTheSatelliteComesCloserNegativeWhileItMovesAway)
{
    const struct {
        double FrequencyHz, RangeRate, ShiftHz;
    } rows[] = {
        {145.8e6, -7, 3404.3552}, {145.8e6, 7, -3404.3552}, {435.3e6, 2.5, -3630.0113}, {435.3e6, 0, 0},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(DopplerShift(row.FrequencyHz, row.RangeRate), row.ShiftHz, 1e-4) << row.RangeRate;
}

// A station on the equator at longitude 0, sidereal angle 0, so that both frames coincide at the instant.
// It moves east (+y) at w x 6378 km = 0.46509 km/s (w = 360.98564736629 degrees a day).
TEST(RangeRate, TakesTheSatellitesVelocityRelativeToTheTurningStation)
{
    const struct {
        const char* Case;
        Vector3 Satellite, Velocity;
        double RangeRate; // km/s
    } rows[] = {
        // Straight up: the Earth's turn moves the satellite across the line of sight, not along it.
        {"climbing overhead", {7378, 0, 0}, {1, 0, 0}, 1},
        {"still overhead", {7378, 0, 0}, {0, 0, 0}, 0},
        // Still in the sky, due east of the station: the station comes towards it.
        {"still to the east", {6378, 1000, 0}, {0, 0, 0}, -0.465091},
        {"moving east as fast as the station", {6378, 1000, 0}, {0, 0.465091, 0}, 0},
    };
    for (const auto& row : rows) {
        LookState look;
        look.StationPosX = 6378;
        look.SatCelX = row.Satellite.X;
        look.SatCelY = row.Satellite.Y;
        look.SatCelZ = row.Satellite.Z;
        OrbitState orbit;
        orbit.CosMinusSidereal = 1;
        orbit.SinMinusSidereal = 0;
        EXPECT_NEAR(RangeRate(look, orbit, row.Velocity), row.RangeRate, 1e-6) << row.Case;
    }
}

} // namespace
} // namespace tavik
