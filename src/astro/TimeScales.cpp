#include "astro/TimeScales.h"

#include "astro/Angles.h"

#include <cmath>

namespace tavik {

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
    double result = std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + day + b
                    - 2445034;
    return static_cast<std::int32_t>(result);
}

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

double SiderealAt0h(double dayNumber)
{
    double t = (dayNumber + 2443509.5 - 2451545) / 36525;
    return 100.460618375 + 36000.7700536083 * t + 0.0003879333 * (t * t) - (t * t * t) / 38710000;
}

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
