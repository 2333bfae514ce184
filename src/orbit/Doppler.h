// The Doppler shift of a radio signal between a station and a satellite.
#pragma once

namespace tavik {

// The speed of light in vacuum, exact by the SI definition of the metre.
inline constexpr double SpeedOfLight = 299792.458; // km/s

// The received minus the transmitted frequency, Hz, for a signal of
// frequencyHz between two ends whose distance grows at rangeRate km/s:
// first-order Doppler, df = -f v / c (any physics text; the relativistic
// terms, of order (v / c)^2, are below 1e-9 of f for a satellite). Positive
// while the satellite comes closer. The same number is the shift of the
// downlink as the station hears it and of the uplink as the satellite hears
// it, so the frequency to transmit is the uplink minus its shift.
inline double DopplerShift(double frequencyHz, double rangeRate) { return -frequencyHz * rangeRate / SpeedOfLight; }

} // namespace tavik
