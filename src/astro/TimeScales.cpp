#include "astro/TimeScales.h"

#include "astro/Angles.h"

#include <cmath>

namespace tavik {

// The Julian Day algorithm of Meeus, Astronomical Algorithms, 2nd ed.
// (Willmann-Bell, 1998), ch. 7, formula (7.1) (chapter and formula number
// recalled, not checked against the book), with its Gregorian correction B
// for every date and its last term -1524.5 replaced by -2445034 = -1524.5 -
// 2443509.5, so that the result is the Julian Date of the day's 0h UT less
// 2443509.5, the Julian Date of 1978 January 1, 0h UT (checked: JD 2451544.5
// of 2000 January 1, 0h less the 8035 days between).
std::int32_t DayNumber(std::int16_t day, std::int16_t month, std::int16_t year)
{
    int y = year;
    int m = month;
    if (m <= 2) {
        // January and February count as months 13 and 14 of the year before.
        y -= 1;
        m += 12;
    }
    double a = std::floor(y / 100.0);
    double b = 2 - a + std::floor(a / 4);
    double result = std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + day + b - 2445034;
    return static_cast<std::int32_t>(result);
}

// The two-line element sets' own rule for their two-digit year (no satellite
// flew before 1957); no publication confirmed for it here.
int EpochYear(std::int32_t twoDigitYear)
{
    return twoDigitYear >= 57 && twoDigitYear <= 99 ? 1900 + twoDigitYear : 2000 + twoDigitYear;
}

double EpochToDayNumber(double epoch)
{
    std::int32_t yy = IntegerPart(epoch / 1000);
    std::int32_t ddd = IntegerPart(epoch) - 1000 * yy;
    auto year = static_cast<std::int16_t>(EpochYear(yy));
    return static_cast<double>(DayNumber(0, 1, year) + ddd) + FractionPart(epoch);
}

// Greenwich mean sidereal time at 0h UT, in degrees: the IAU 1982 expression
// (Aoki et al., Astronomy and Astrophysics 105, 359, 1982; journal details
// recalled, not checked), 24110.54841 s + 8640184.812866 s T + 0.093104 s T^2
// - 6.2e-6 s T^3, divided by 240 seconds per degree: 100.460618375,
// 36000.7700536083 and 0.0003879333 are those quotients to the digits given
// (checked), and 1/38710000 is 6.2e-6 / 240 = 1/38709677 rounded, the form
// in which Meeus (same book, ch. 12, formula (12.3), recalled) prints the
// cubic term. T counts Julian centuries of 36525 days from J2000.0, Julian
// Date 2451545.0; 2443509.5 turns a DayNumber into a Julian Date. Sgp4.cpp
// has the same expression in seconds.
double SiderealAt0h(double dayNumber)
{
    double t = (dayNumber + 2443509.5 - 2451545) / 36525;
    return 100.460618375 + 36000.7700536083 * t + 0.0003879333 * (t * t) - (t * t * t) / 38710000;
}

// 360.98564736629 degrees of sidereal angle per day of UT: 360 times the
// ratio 1.002737909350795 of the same IAU 1982 expression (checked: 360 +
// 8640184.812866 / (36525 x 240) = 360.98564736629), the figure of Meeus'
// formula (12.4) (recalled).
double GreenwichSiderealFrom(double siderealAt0h, double dayFraction)
{
    return Reduce360(siderealAt0h + 360.98564736629 * dayFraction);
}

double GreenwichSidereal(double dayNumber, double dayFraction)
{
    return GreenwichSiderealFrom(SiderealAt0h(dayNumber), dayFraction);
}

DateTime EpochDateTime(double epoch)
{
    const DateTime dayNumberZero = DateTime::FromSeconds(DayNumberZero * 86400);
    return dayNumberZero.AddSeconds(std::llround(EpochToDayNumber(epoch) * 86400.0));
}

double EpochAgeDays(double epoch, DateTime at)
{
    return at.Days() - (static_cast<double>(DayNumberZero) + EpochToDayNumber(epoch));
}

} // namespace tavik
