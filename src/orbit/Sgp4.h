// SGP4 and SDP4, the analytic propagation that two-line element sets are
// fitted for: Hoots and Roehrich, Spacetrack Report No. 3 (1980), with the
// corrections of Vallado, Crawford, Hujsak and Kelso, "Revisiting Spacetrack
// Report #3" (AIAA 2006-6753), in its improved mode, and the WGS-72 constants
// the element sets are made with. Orbits with a period of 225 minutes or more
// take the deep-space terms: secular and periodic pulls of the Sun and the
// Moon, and the resonances of 12-hour and 24-hour orbits.
//
// Positions and velocities are in TEME, the true-equator, mean-equinox frame
// of the element set; the sidereal angle of the Greenwich meridian turns it
// to the Earth-fixed frame.
#pragma once

#include "astro/Vector3.h"
#include "catalogue/Catalogue.h"

#include <string_view>

namespace tavik {

// Why SGP4 cannot go on. The numbers are the error codes of the 2006
// revision (its code 5, elements below the surface at epoch, was dropped
// there: the decay test covers it).
enum class Sgp4Stop {
    None = 0,
    MeanEccentricity = 1,      // mean eccentricity outside -0.001 up to below 1 under drag
    MeanMotion = 2,            // mean motion not above 0
    PerturbedEccentricity = 3, // eccentricity with the Sun's and Moon's periodic terms outside 0..1
    SemiLatusRectum = 4,       // negative semi-latus rectum
    Decayed = 6,               // the satellite is below the Earth's surface
    BadInput = 7,              // an element or the time is not a finite number, or out of range
    NotFinite = 8,             // the position or velocity came out not finite
};

// A short English statement of the stop, for messages.
std::string_view Sgp4StopText(Sgp4Stop stop);

struct Sgp4State {
    Vector3 Position;               // km, TEME
    Vector3 Velocity;               // km/s, TEME
    Sgp4Stop Stop = Sgp4Stop::None; // when not None, Position and Velocity mean nothing
    // The mean elements after the secular changes (gravity, drag and, in
    // deep space, the Sun's and the Moon's secular pull), before any
    // periodic term: radians. They turn smoothly, where the osculating
    // perigee of a nearly circular orbit wanders within each revolution.
    double MeanInclination = 0, MeanNode = 0, MeanArgPerigee = 0;
};

// Where the integration of a resonant orbit's mean longitude and mean motion
// stands, with their rates there. The integration goes in fixed 720-minute
// steps from the epoch; carrying it from one instant to the next spares a
// run going over the same steps again at every minute, and gives the same
// doubles. A fresh carry, or one made with another Sgp4 value, starts again
// at the epoch.
struct ResonanceCarry {
    const void* Owner = nullptr; // the Sgp4 value it was made with
    double Minutes = 0;          // minutes since epoch reached
    double MeanLongitude = 0;    // radians, the resonance's mean longitude there
    double MeanMotion = 0;       // radians per minute, there
    bool HasRates = false;       // the three rates below hold for this point
    double LongitudeRate = 0;    // radians per minute
    double MotionRate = 0;       // radians per minute squared
    double MotionAcceleration = 0;
};

// Made once from an element set, with every epoch constant computed then.
class Sgp4 {
public:
    // Reads the element set's epoch (YYDDD.dddddddd: years 57 to 99 are 1957
    // to 1999, 00 to 56 are 2000 to 2056), angles, eccentricity, mean motion
    // and BStar.
    explicit Sgp4(const ElementSet& elements);

    // Period of 225 minutes or more.
    bool IsDeepSpace() const { return deepSpace_; }

    // The state at minutesSinceEpoch (negative before the epoch).
    Sgp4State StateAt(double minutesSinceEpoch) const;
    Sgp4State StateAt(double minutesSinceEpoch, ResonanceCarry& carry) const;

private:
    enum class Resonance { None, Synchronous, HalfDay };

    // The Sun's or the Moon's long-period terms (the revision's se2 ... sh3
    // for the Sun, ee2 ... xh3 for the Moon).
    struct ThirdBody {
        double E2 = 0, E3 = 0, I2 = 0, I3 = 0, L2 = 0, L3 = 0, L4 = 0;
        double Gh2 = 0, Gh3 = 0, Gh4 = 0, H2 = 0, H3 = 0;
        double MeanAnomalyAtEpoch = 0; // radians
        double AnomalyRate = 0;        // radians per minute
        double Eccentricity = 0;       // of the body's apparent orbit
    };

    struct PeriodicElements {
        double Eccentricity, Inclination, Node, ArgPerigee, MeanAnomaly;
    };

    void InitNearEarth();
    void InitDeepSpace(double epoch1950);
    void AddLuniSolarPeriodics(double t, PeriodicElements& e) const;
    void IntegrateResonance(double t, ResonanceCarry& carry, double& meanMotion, double& meanLongitude) const;

    Sgp4Stop epochStop_ = Sgp4Stop::None;
    bool deepSpace_ = false;
    bool simpleDrag_ = false; // perigee below 220 km, or deep space: fewer drag terms

    // Mean elements at epoch, radians, and the mean motion in radians per
    // minute after the change from Kozai's to Brouwer's definition.
    double ecco_ = 0, inclo_ = 0, nodeo_ = 0, argpo_ = 0, mo_ = 0, no_ = 0, bstar_ = 0;
    double cosio_ = 0, sinio_ = 0;

    // Secular rates and drag coefficients.
    double mdot_ = 0, argpdot_ = 0, nodedot_ = 0, nodecf_ = 0;
    double cc1_ = 0, cc4_ = 0, cc5_ = 0, t2cof_ = 0, omgcof_ = 0, xmcof_ = 0;
    double eta_ = 0, delmo_ = 0, sinmao_ = 0;
    double d2_ = 0, d3_ = 0, d4_ = 0, t3cof_ = 0, t4cof_ = 0, t5cof_ = 0;

    // Long-period J3 and short-period J2 factors of the epoch inclination.
    double aycof_ = 0, xlcof_ = 0, con41_ = 0, x1mth2_ = 0, x7thm1_ = 0;

    // Deep space: the Greenwich sidereal angle at epoch, the secular rates
    // of the Sun and the Moon, their periodic terms, and the resonance.
    double gsto_ = 0;
    double dedt_ = 0, didt_ = 0, dmdt_ = 0, domdt_ = 0, dnodt_ = 0;
    ThirdBody sun_, moon_;
    Resonance resonance_ = Resonance::None;
    double del1_ = 0, del2_ = 0, del3_ = 0;
    double d2201_ = 0, d2211_ = 0, d3210_ = 0, d3222_ = 0, d4410_ = 0, d4422_ = 0;
    double d5220_ = 0, d5232_ = 0, d5421_ = 0, d5433_ = 0;
    double xfact_ = 0, xlamo_ = 0;
};

} // namespace tavik
