#include "platform/Clock.h"

namespace tavik {

std::int16_t UtcOffsetMinutes(std::time_t at)
{
    ::tzset(); // the zone may have changed since the last call
    std::tm local{};
    if (::localtime_r(&at, &local) == nullptr) return 0;
    return static_cast<std::int16_t>(local.tm_gmtoff / 60);
}

std::int16_t UtcOffsetMinutes() { return UtcOffsetMinutes(std::time(nullptr)); }

std::optional<DateTime> UtcAt(std::time_t at)
{
    std::int16_t offset = UtcOffsetMinutes(at);
    std::tm local{};
    if (::localtime_r(&at, &local) == nullptr) return std::nullopt;
    auto localTime = DateTime::FromCalendar(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                            local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
    if (!localTime) return std::nullopt;
    const DateTime utc = localTime->AddMinutes(-offset);
    const int year = utc.Fields().Year;
    if (year < 1 || year > 9999) return std::nullopt;
    return utc;
}

std::optional<DateTime> UtcNow() { return UtcAt(std::time(nullptr)); }

} // namespace tavik
