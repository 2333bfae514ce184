#include "platform/Clock.h"

namespace tavik {

std::int16_t UtcOffsetMinutes(std::time_t at)
{
    ::tzset(); // the zone may have changed since the last call
    std::tm local{};
    if (::localtime_r(&at, &local) == nullptr) return 0;
    return static_cast<std::int16_t>(local.tm_gmtoff / 60);
}

std::int16_t UtcOffsetMinutes()
{
    return UtcOffsetMinutes(std::time(nullptr));
}

DateTime UtcAt(std::time_t at)
{
    std::int16_t offset = UtcOffsetMinutes(at);
    std::tm local{};
    ::localtime_r(&at, &local);
    auto localTime = DateTime::FromCalendar(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min,
                                            local.tm_sec > 59 ? 59 : local.tm_sec);
    return localTime.value_or(DateTime{}).AddMinutes(-offset);
}

DateTime UtcNow()
{
    return UtcAt(std::time(nullptr));
}

} // namespace tavik
