// Degree trigonometry and number helpers. Every angle in tavik is held in
// degrees; radians live only inside these functions. Their edge rules
// (clamped arcsine and arccosine, the 0-to-360 arctangent) are part of the
// results and keep callers away from the domain errors of sqrt and division.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavik {

// Not exactly 180/pi (57.29577951308232): the value differs in the eleventh
// decimal place, and every published figure of the model was made with it.
// It is 180 / 3.141592653589, pi cut after twelve decimals (checked); no
// publication is its source.
inline constexpr double DegPerRadian = 57.29577951309679;

inline double SinDeg(double a) { return std::sin(a / DegPerRadian); }
inline double CosDeg(double a) { return std::cos(a / DegPerRadian); }

// Degrees, strictly between -90 and 90.
inline double ArcTanDeg(double x) { return std::atan(x) * DegPerRadian; }

// Formed through the arctangent, not a library arcsine, and clamped so that a
// cosine a rounding error past 1 still gives 90.
inline double ArcSinDeg(double x)
{
    if (x >= 1) return 90;
    if (x <= -1) return -90;
    return std::atan(x / std::sqrt(1 - x * x)) * DegPerRadian;
}

inline double ArcCosDeg(double x)
{
    if (x >= 1) return 0;
    if (x <= -1) return 180;
    return 90 - std::atan(x / std::sqrt(1 - x * x)) * DegPerRadian;
}

// Direction of the vector (x, y): 0 up to but excluding 360. Arguments in the
// order y, x; (0, 0) gives 0.
inline double Atan2Deg(double y, double x)
{
    double d;
    if (x == 0)
        d = 90.0 * ((y > 0) - (y < 0));
    else
        d = ArcTanDeg(y / x);
    if (x < 0) d += 180;
    if (d < 0) d += 360;
    return d;
}

// One turn: 0 up to 360 for a >= 0; above 0 up to and including 360 for a < 0
// (a negative whole multiple of 360 gives 360).
inline double Reduce360(double a)
{
    double r = a - 360 * std::trunc(a / 360);
    if (a < 0) r += 360;
    return r;
}

// East longitude 0..360 to the west-positive form -180..180.
inline double WestLongitude(double a) { return a < 180 ? -a : 360 - a; }

// The integer and fractional parts of x, taken from its decimal text (at most
// 15 significant digits) rather than from its binary value, so that an epoch
// like 19123.12345678 yields exactly the double nearest to 0.12345678.
std::int32_t IntegerPart(double x);
double FractionPart(double x);

// The same split on a number already written as text; a decimal comma counts
// as a decimal point.
std::int32_t IntegerPartOfText(std::string_view text);
double FractionPartOfText(std::string_view text);

// x as the default number-to-text conversion writes it, with "." as the
// decimal point: at most 15 significant digits, no trailing zeros.
std::string DecimalText15(double x);

} // namespace tavik
