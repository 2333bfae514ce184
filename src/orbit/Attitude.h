// The attitude the spacecraft flies: the axis the sun angle is measured
// against, and its one text form for the command line, settings and reports.
#pragma once

#include <string>
#include <string_view>

namespace tavik {

// How the axis is set. Plane: fixed in the orbit plane by two angles. The
// others set the axis as a celestial vector at every instant.
enum class AttitudeKind {
    Plane,       // AttitudeLon, AttitudeLat in the orbit plane
    Sun,         // towards the Sun
    Nadir,       // from the satellite towards the Earth's centre
    OrbitNormal, // along r x v
    Velocity,    // along the celestial (inertial) velocity
    Inertial,    // fixed in the sky at RightAscension, Declination
};

// Spacecraft attitude. The default, plane angles 0,0, points the axis away
// from perigee, as the program always has.
struct Attitude {
    double AttitudeLon = 0; // degrees, orbit-plane longitude (Plane)
    double AttitudeLat = 0; // degrees, orbit-plane latitude (Plane)
    AttitudeKind Kind = AttitudeKind::Plane;
    double RightAscension = 0; // degrees, in the frame of the chain's celestial vectors (Inertial)
    double Declination = 0;    // degrees (Inertial)

    bool operator==(const Attitude&) const = default;
};

// The attitude as the program names it: "LON,LAT" in degrees ("0,0"),
// "sun", "nadir", "orbit-normal", "velocity" or "inertial:RA,DEC". Numbers
// are the shortest text that reads back as the same double.
std::string AttitudeName(const Attitude& attitude);

// The accepted forms, for messages and help.
inline constexpr const char* AttitudeForms =
    "LON,LAT (orbit-plane longitude -360..360 and latitude -90..90 in degrees), sun, nadir, orbit-normal, velocity "
    "or inertial:RA,DEC (right ascension 0..360 and declination -90..90 in degrees)";

// Reads AttitudeName's forms. Throws InputError naming the text and the
// accepted forms for anything else, numbers out of range included.
Attitude ParseAttitude(std::string_view text);

} // namespace tavik
