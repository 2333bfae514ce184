#include "platform/DateTime.h"

namespace tavik {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

// Known at compile time, so a DateTime made during another file's static
// initialisation cannot see it still zero.
constexpr std::int64_t EpochOffsetDays = DaysFromCivil(1899, 12, 30);

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The seconds since midnight, 0..86399. Taken from the remainder rather than
// as seconds - days * 86400, which overflows near the ends of the range.
std::int64_t SecondOfDay(std::int64_t seconds)
{
    const std::int64_t r = seconds % 86400;
    return r < 0 ? r + 86400 : r;
}

} // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return Days[month - 1];
}

std::optional<DateTime> DateTime::FromCalendar(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - EpochOffsetDays;
    return DateTime(days * 86400 + hour * 3600 + minute * 60 + second);
}

CalendarFields DateTime::Fields() const
{
    CalendarFields f;
    std::int64_t days = FloorDiv(seconds_, 86400);
    std::int64_t rest = SecondOfDay(seconds_);
    CivilFromDays(days + EpochOffsetDays, f.Year, f.Month, f.Day);
    f.Hour = static_cast<int>(rest / 3600);
    f.Minute = static_cast<int>(rest / 60 % 60);
    f.Second = static_cast<int>(rest % 60);
    return f;
}

bool DateTime::IsMidnight() const { return SecondOfDay(seconds_) == 0; }

} // namespace tavik
