// A date-time value: an instant counted from 1899 December 30, 00:00:00, held
// in whole seconds so that stepping by minutes and days is exact.
#pragma once

#include <cstdint>
#include <optional>

namespace tavik {

struct CalendarFields {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0;
};

class DateTime {
public:
    DateTime() = default;

    // Nothing for fields that do not name a real instant (31 February, month
    // 13, hour 24, year 0 or beyond 9999).
    static std::optional<DateTime> FromCalendar(int year, int month, int day, int hour = 0, int minute = 0,
                                                int second = 0);
    static DateTime FromSeconds(std::int64_t seconds) { return DateTime(seconds); }

    CalendarFields Fields() const;
    std::int64_t Seconds() const { return seconds_; }
    // Days since 1899 December 30 with the time of day as fraction.
    double Days() const { return static_cast<double>(seconds_) / 86400.0; }

    DateTime AddSeconds(std::int64_t s) const { return DateTime(seconds_ + s); }
    DateTime AddMinutes(std::int64_t m) const { return DateTime(seconds_ + 60 * m); }
    DateTime AddDays(std::int64_t d) const { return DateTime(seconds_ + 86400 * d); }
    // Whole minutes from a to b.
    static std::int64_t MinutesBetween(DateTime a, DateTime b) { return (b.seconds_ - a.seconds_) / 60; }
    bool IsMidnight() const;

    friend bool operator==(DateTime, DateTime) = default;

private:
    explicit DateTime(std::int64_t seconds) : seconds_(seconds) {}
    std::int64_t seconds_ = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

} // namespace tavik
