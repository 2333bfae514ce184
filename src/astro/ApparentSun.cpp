#include "astro/ApparentSun.h"

#include "astro/Angles.h"

#include <cmath>
#include <span>

namespace tavik {

namespace {

// Sources. The Earth's heliocentric longitude, latitude and radius vector are
// the truncated VSOP87 series (Bretagnon and Francou, 1988, version D: the
// ecliptic and equinox of date) as Meeus prints them in Astronomical
// Algorithms, 2nd ed. (Willmann-Bell, 1998), appendix III, and the way from
// there to the apparent place is his ch. 25, "higher accuracy": the shift to
// the FK5 frame, nutation (ch. 22, IAU 1980 theory, its largest terms) and
// aberration. The coefficients were recalled, not copied from the book; the
// tests hold the result to an arcsecond-class reference over 1957-2100 and
// the sums to the book's worked example 25.b at its printed 1e-8.

constexpr double Pi = 3.14159265358979323846;
constexpr double DegreesPerRadian = 180 / Pi;
constexpr double ArcsecondsPerDegree = 3600;
constexpr double J2000 = 2451545.0; // Julian Date of 2000 January 1, 12h TT

// One term A cos(B + C tau): A in 1e-8 radians (or astronomical units), B in
// radians, C in radians per Julian millennium.
struct Term {
    double A, B, C;
};

constexpr Term L0[] = {
    {175347046, 0, 0},
    {3341656, 4.6692568, 6283.0758500},
    {34894, 4.62610, 12566.15170},
    {3497, 2.7441, 5753.3849},
    {3418, 2.8289, 3.5231},
    {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194},
    {2343, 6.1352, 3930.2097},
    {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.6910},
    {1199, 1.1096, 1577.3435},
    {990, 5.233, 5884.927},
    {902, 2.045, 26.298},
    {857, 3.508, 398.149},
    {780, 1.179, 5223.694},
    {753, 2.533, 5507.553},
    {505, 4.583, 18849.228},
    {492, 4.205, 775.523},
    {357, 2.920, 0.067},
    {317, 5.849, 11790.629},
    {284, 1.899, 796.298},
    {271, 0.315, 10977.079},
    {243, 0.345, 5486.778},
    {206, 4.806, 2544.314},
    {205, 1.869, 5573.143},
    {202, 2.458, 6069.777},
    {156, 0.833, 213.299},
    {132, 3.411, 2942.463},
    {126, 1.083, 20.775},
    {115, 0.645, 0.980},
    {103, 0.636, 4694.003},
    {102, 0.976, 15720.839},
    {102, 4.267, 7.114},
    {99, 6.21, 2146.17},
    {98, 0.68, 155.42},
    {86, 5.98, 161000.69},
    {85, 1.30, 6275.96},
    {85, 3.67, 71430.70},
    {80, 1.81, 17260.15},
    {79, 3.04, 12036.46},
    {75, 1.76, 5088.63},
    {74, 3.50, 3154.69},
    {74, 4.68, 801.82},
    {70, 0.83, 9437.76},
    {62, 3.98, 8827.39},
    {61, 1.82, 7084.90},
    {57, 2.78, 6286.60},
    {56, 4.39, 14143.50},
    {56, 3.47, 6279.55},
    {52, 0.19, 12139.55},
    {52, 1.33, 1748.02},
    {51, 0.28, 5856.48},
    {49, 0.49, 1194.45},
    {41, 5.37, 8429.24},
    {41, 2.40, 19651.05},
    {39, 6.17, 10447.39},
    {37, 6.04, 10213.29},
    {37, 2.57, 1059.38},
    {36, 1.71, 2352.87},
    {36, 1.78, 6812.77},
    {33, 0.59, 17789.85},
    {30, 0.44, 83996.85},
    {30, 2.74, 1349.87},
    {25, 3.16, 4690.48},
};
constexpr Term L1[] = {
    {628331966747, 0, 0},       {206059, 2.678235, 6283.075850},
    {4303, 2.6351, 12566.1517}, {425, 1.590, 3.523},
    {119, 5.796, 26.298},       {109, 2.966, 1577.344},
    {93, 2.59, 18849.23},       {72, 1.14, 529.69},
    {68, 1.87, 398.15},         {67, 4.41, 5507.55},
    {59, 2.89, 5223.69},        {56, 2.17, 155.42},
    {45, 0.40, 796.30},         {36, 0.47, 775.52},
    {29, 2.65, 7.11},           {21, 5.34, 0.98},
    {19, 1.85, 5486.78},        {19, 4.97, 213.30},
    {17, 2.99, 6275.96},        {16, 0.03, 2544.31},
    {16, 1.43, 2146.17},        {15, 1.21, 10977.08},
    {12, 2.83, 1748.02},        {12, 3.26, 5088.63},
    {12, 5.27, 1194.45},        {12, 2.08, 4694.00},
    {11, 0.77, 553.57},         {10, 1.30, 6286.60},
    {10, 4.24, 1349.87},        {9, 2.70, 242.73},
    {9, 5.64, 951.72},          {8, 5.30, 2352.87},
    {6, 2.65, 9437.76},         {6, 4.67, 4690.48},
};
constexpr Term L2[] = {
    {52919, 0, 0},      {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},   {16, 5.19, 26.30},
    {16, 3.68, 155.42}, {10, 0.76, 18849.23},      {9, 2.06, 77713.77},     {7, 0.83, 775.52},  {5, 4.66, 1577.34},
    {4, 1.03, 7.11},    {4, 3.44, 5573.14},        {3, 5.14, 796.30},       {3, 6.05, 5507.55}, {3, 1.19, 242.73},
    {3, 6.12, 529.69},  {3, 0.31, 398.15},         {3, 2.28, 553.57},       {2, 4.38, 5223.69}, {2, 3.75, 0.98},
};
constexpr Term L3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0},          {17, 5.49, 12566.15}, {3, 5.20, 155.42},
    {1, 4.72, 3.52},        {1, 5.30, 18849.23}, {1, 5.97, 242.73},
};
constexpr Term L4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr Term L5[] = {{1, 3.14, 0}};

constexpr Term B0[] = {
    {280, 3.199, 84334.662}, {102, 5.422, 5507.553}, {80, 3.88, 5223.69}, {44, 3.70, 2352.87}, {32, 4.00, 1577.34},
};
constexpr Term B1[] = {{9, 3.90, 5507.55}, {6, 1.73, 5223.69}};

constexpr Term R0[] = {
    {100013989, 0, 0},
    {1670700, 3.0984635, 6283.0758500},
    {13956, 3.05525, 12566.15170},
    {3084, 5.1985, 77713.7715},
    {1628, 1.1739, 5753.3849},
    {1576, 2.8469, 7860.4194},
    {925, 5.453, 11506.770},
    {542, 4.564, 3930.210},
    {472, 3.661, 5884.927},
    {346, 0.964, 5507.553},
    {329, 5.900, 5223.694},
    {307, 0.299, 5573.143},
    {243, 4.273, 11790.629},
    {212, 5.847, 1577.344},
    {186, 5.022, 10977.079},
    {175, 3.012, 18849.228},
    {110, 5.055, 5486.778},
    {98, 0.89, 6069.78},
    {86, 5.69, 15720.84},
    {86, 1.27, 161000.69},
    {65, 0.27, 17260.15},
    {63, 0.92, 529.69},
    {57, 2.01, 83996.85},
    {56, 5.24, 71430.70},
    {49, 3.25, 2544.31},
    {47, 2.58, 775.52},
    {45, 5.54, 9437.76},
    {43, 6.01, 6275.96},
    {39, 5.36, 4694.00},
    {38, 2.39, 8827.39},
    {37, 0.83, 19651.05},
    {37, 4.90, 12139.55},
    {36, 1.67, 12036.46},
    {35, 1.84, 2942.46},
    {33, 0.24, 7084.90},
    {32, 0.18, 5088.63},
    {32, 1.78, 398.15},
    {28, 1.21, 6286.60},
    {28, 1.90, 6279.55},
    {26, 4.59, 10447.39},
};
constexpr Term R1[] = {
    {103019, 1.107490, 6283.075850},
    {1721, 1.0644, 12566.1517},
    {702, 3.142, 0},
    {32, 1.02, 18849.23},
    {31, 2.84, 5507.55},
    {25, 1.32, 5223.69},
    {18, 1.42, 1577.34},
    {10, 5.91, 10977.08},
    {9, 1.42, 6275.96},
    {9, 0.27, 5486.78},
};
constexpr Term R2[] = {
    {4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}, {12, 3.14, 0},
    {9, 3.63, 77713.77},       {6, 1.87, 5573.14},      {3, 5.47, 18849.23},
};
constexpr Term R3[] = {{145, 4.273, 6283.076}, {7, 3.92, 12566.15}};
constexpr Term R4[] = {{4, 2.56, 6283.08}};

double Series(std::span<const Term> terms, double tau)
{
    double sum = 0;
    for (const Term& t : terms) sum += t.A * std::cos(t.B + t.C * tau);
    return sum;
}

// Sum over k of (series k) tau^k, in 1e-8 units.
double Power(std::initializer_list<std::span<const Term>> series, double tau)
{
    double sum = 0, factor = 1;
    for (const auto& s : series) {
        sum += Series(s, tau) * factor;
        factor *= tau;
    }
    return sum;
}

// One term of the nutation series: multiples of D, M, M', F and Omega, then
// delta psi as S + S1 T, delta epsilon as C + C1 T, in 0.0001 arcseconds.
struct NutationTerm {
    int D, M, Mp, F, Om;
    double S, S1, C, C1;
};

// The IAU 1980 series as Meeus tabulates it (ch. 22, table 22.A), down to
// terms of 0.001 arcseconds; the 28 smaller ones left out add up to under
// 0.02 arcseconds.
constexpr NutationTerm NutationTerms[] = {
    {0, 0, 0, 0, 1, -171996, -174.2, 92025, 8.9},
    {-2, 0, 0, 2, 2, -13187, -1.6, 5736, -3.1},
    {0, 0, 0, 2, 2, -2274, -0.2, 977, -0.5},
    {0, 0, 0, 0, 2, 2062, 0.2, -895, 0.5},
    {0, 1, 0, 0, 0, 1426, -3.4, 54, -0.1},
    {0, 0, 1, 0, 0, 712, 0.1, -7, 0},
    {-2, 1, 0, 2, 2, -517, 1.2, 224, -0.6},
    {0, 0, 0, 2, 1, -386, -0.4, 200, 0},
    {0, 0, 1, 2, 2, -301, 0, 129, -0.1},
    {-2, -1, 0, 2, 2, 217, -0.5, -95, 0.3},
    {-2, 0, 1, 0, 0, -158, 0, 0, 0},
    {-2, 0, 0, 2, 1, 129, 0.1, -70, 0},
    {0, 0, -1, 2, 2, 123, 0, -53, 0},
    {2, 0, 0, 0, 0, 63, 0, 0, 0},
    {0, 0, 1, 0, 1, 63, 0.1, -33, 0},
    {2, 0, -1, 2, 2, -59, 0, 26, 0},
    {0, 0, -1, 0, 1, -58, -0.1, 32, 0},
    {0, 0, 1, 2, 1, -51, 0, 27, 0},
    {-2, 0, 2, 0, 0, 48, 0, 0, 0},
    {0, 0, -2, 2, 1, 46, 0, -24, 0},
    {2, 0, 0, 2, 2, -38, 0, 16, 0},
    {0, 0, 2, 2, 2, -31, 0, 13, 0},
    {0, 0, 2, 0, 0, 29, 0, 0, 0},
    {-2, 0, 1, 2, 2, 29, 0, -12, 0},
    {0, 0, 0, 2, 0, 26, 0, 0, 0},
    {-2, 0, 0, 2, 0, -22, 0, 0, 0},
    {0, 0, -1, 2, 1, 21, 0, -10, 0},
    {0, 2, 0, 0, 0, 17, -0.1, 0, 0},
    {2, 0, -1, 0, 1, 16, 0, -8, 0},
    {-2, 2, 0, 2, 2, -16, 0.1, 7, 0},
    {0, 1, 0, 0, 1, -15, 0, 9, 0},
    {-2, 0, 1, 0, 1, -13, 0, 7, 0},
    {0, -1, 0, 0, 1, -12, 0, 6, 0},
    {0, 0, 2, -2, 0, 11, 0, 0, 0},
    {2, 0, -1, 2, 1, -10, 0, 5, 0},
};

// Mean obliquity of the ecliptic, IAU 1976 (Meeus 22.2), degrees.
double MeanObliquity(double t)
{
    const double arcseconds = 21.448 - t * (46.8150 + t * (0.00059 - t * 0.001813));
    return 23 + 26.0 / 60 + arcseconds / ArcsecondsPerDegree;
}

double JulianYear(double julianDate) { return 2000 + (julianDate - J2000) / 365.25; }

// A day's 0h UT as a Julian Date.
double JulianDateOf(std::int32_t dayNumber, double dayFraction) { return dayNumber + 2443509.5 + dayFraction; }

} // namespace

// The polynomials of Espenak and Meeus, "Five Millennium Canon of Solar
// Eclipses: -1999 to +3000" (NASA TP-2006-214141, 2006; section not
// checked), recalled and compared in the tests with their anchor values, for
// the spans the satellites' years fall in, and their long-term parabola
// outside. y is the year with fraction.
double DeltaTSeconds(double y)
{
    if (y >= 2150 || y < 1860) {
        const double u = (y - 1820) / 100;
        return -20 + 32 * u * u;
    }
    if (y >= 2050) {
        const double u = (y - 1820) / 100;
        return -20 + 32 * u * u - 0.5628 * (2150 - y);
    }
    if (y >= 2005) {
        const double t = y - 2000;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    if (y >= 1986) {
        const double t = y - 2000;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y >= 1961) {
        const double t = y - 1975;
        return 45.45 + t * (1.067 + t * (-1.0 / 260 - t / 718));
    }
    if (y >= 1941) {
        const double t = y - 1950;
        return 29.07 + t * (0.407 + t * (-1.0 / 233 + t / 2547));
    }
    if (y >= 1920) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y >= 1900) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    const double t = y - 1860;
    return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
}

double Nutation::EquationOfEquinoxes() const { return Longitude * CosDeg(TrueObliquity); }

// Meeus ch. 22: the fundamental arguments (the Moon's elongation D, the Sun's
// and the Moon's mean anomalies M and M', the Moon's argument of latitude F
// and the longitude of its node Omega, degrees) as polynomials in T, then
// the series.
Nutation NutationAt(double t)
{
    const double d = 297.85036 + t * (445267.111480 + t * (-0.0019142 + t / 189474));
    const double m = 357.52772 + t * (35999.050340 + t * (-0.0001603 - t / 300000));
    const double mp = 134.96298 + t * (477198.867398 + t * (0.0086972 + t / 56250));
    const double f = 93.27191 + t * (483202.017538 + t * (-0.0036825 + t / 327270));
    const double om = 125.04452 + t * (-1934.136261 + t * (0.0020708 + t / 450000));
    double psi = 0, eps = 0;
    for (const NutationTerm& n : NutationTerms) {
        const double argument = (n.D * d + n.M * m + n.Mp * mp + n.F * f + n.Om * om) / DegreesPerRadian;
        psi += (n.S + n.S1 * t) * std::sin(argument);
        eps += (n.C + n.C1 * t) * std::cos(argument);
    }
    Nutation n;
    n.Longitude = psi * 1e-4 / ArcsecondsPerDegree;
    n.Obliquity = eps * 1e-4 / ArcsecondsPerDegree;
    n.TrueObliquity = MeanObliquity(t) + n.Obliquity;
    return n;
}

HeliocentricEarth EarthFromTheSun(double julianDateTT)
{
    const double tau = (julianDateTT - J2000) / 365250; // Julian millennia
    return {Power({L0, L1, L2, L3, L4, L5}, tau) * 1e-8, Power({B0, B1}, tau) * 1e-8,
            Power({R0, R1, R2, R3, R4}, tau) * 1e-8};
}

ApparentSunPosition ApparentSunTT(double julianDateTT)
{
    const double t = (julianDateTT - J2000) / 36525; // Julian centuries

    const HeliocentricEarth earth = EarthFromTheSun(julianDateTT);
    const double l = earth.Longitude * DegreesPerRadian;
    const double b = earth.Latitude * DegreesPerRadian;
    const double r = earth.Distance;

    // The Sun seen from the Earth, turned to the FK5 frame (Meeus 25.9).
    double lambda = l + 180;
    double beta = -b;
    const double lambdaPrime = lambda - t * (1.397 + t * 0.00031);
    lambda -= 0.09033 / ArcsecondsPerDegree;
    beta += 0.03916 / ArcsecondsPerDegree * (CosDeg(lambdaPrime) - SinDeg(lambdaPrime));

    // Nutation and aberration (20.4898 arcseconds at 1 AU, the light time
    // included) make the apparent longitude of date.
    const Nutation n = NutationAt(t);
    lambda += n.Longitude - 20.4898 / ArcsecondsPerDegree / r;

    // Ecliptic to the true equator of date.
    const double cosBeta = CosDeg(beta), sinBeta = SinDeg(beta);
    const double cosLambda = CosDeg(lambda), sinLambda = SinDeg(lambda);
    const double cosEps = CosDeg(n.TrueObliquity), sinEps = SinDeg(n.TrueObliquity);
    const Vector3 trueOfDate{cosBeta * cosLambda, cosBeta * sinLambda * cosEps - sinBeta * sinEps,
                             cosBeta * sinLambda * sinEps + sinBeta * cosEps};

    ApparentSunPosition s;
    s.RightAscension = Atan2Deg(trueOfDate.Y, trueOfDate.X);
    s.Declination = ArcSinDeg(trueOfDate.Z);
    s.Distance = r * AstronomicalUnit;
    // TEME measures right ascension from the mean equinox, whose place on the
    // true equator is where the sidereal time SGP4 uses (the mean one) puts
    // it: apparent sidereal time is mean sidereal time plus the equation of
    // the equinoxes, so a right ascension from the mean equinox is the true
    // one less that equation. The equator, hence z, is the same.
    const double alpha = s.RightAscension - n.EquationOfEquinoxes();
    s.Teme = s.Distance
             * Vector3{CosDeg(s.Declination) * CosDeg(alpha), CosDeg(s.Declination) * SinDeg(alpha), trueOfDate.Z};
    return s;
}

ApparentSunPosition ApparentSunUtc(double julianDateUtc)
{
    return ApparentSunTT(julianDateUtc + DeltaTSeconds(JulianYear(julianDateUtc)) / 86400);
}

SunDay MakeSunDay(std::int32_t dayNumber)
{
    SunDay table;
    table.DayNumber = dayNumber;
    for (int i = 0; i < 4; ++i)
        table.Nodes[static_cast<std::size_t>(i)] = ApparentSunUtc(JulianDateOf(dayNumber + i - 1, 0)).Teme;
    return table;
}

Vector3 SunAt(const SunDay& table, std::int32_t dayNumber, double dayFraction)
{
    // Lagrange's cubic through the nodes at x = -1, 0, 1, 2.
    const double x = (dayNumber - table.DayNumber) + dayFraction;
    const double a = x + 1, b = x, c = x - 1, d = x - 2;
    const double w0 = -b * c * d / 6, w1 = a * c * d / 2, w2 = -a * b * d / 2, w3 = a * b * c / 6;
    return w0 * table.Nodes[0] + w1 * table.Nodes[1] + w2 * table.Nodes[2] + w3 * table.Nodes[3];
}

SunState SunStateOf(const Vector3& sun, double siderealAngle, bool subSolarPoint)
{
    const double r = Length(sun);
    SunState s{sun.X / r, sun.Y / r, sun.Z / r};
    if (subSolarPoint) PlaceSubSolarPoint(s, siderealAngle);
    return s;
}

} // namespace tavik
