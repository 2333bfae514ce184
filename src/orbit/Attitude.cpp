#include "orbit/Attitude.h"

#include "platform/Error.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace tavik {

namespace {

std::string Number(double v)
{
    char buffer[32];
    // -0 reads as 0: the same axis, and one name for it.
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v == 0 ? 0.0 : v);
    return std::string(buffer, r.ptr);
}

// A finite decimal number filling the whole text, within [low, high].
std::optional<double> NumberIn(std::string_view text, double low, double high)
{
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (text.empty() || r.ec != std::errc{} || r.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(v) || v < low || v > high) return std::nullopt;
    return v;
}

// "A,B" with A in [lowA, highA] and B in [-90, 90].
std::optional<std::pair<double, double>> Pair(std::string_view text, double lowA, double highA)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const auto a = NumberIn(text.substr(0, comma), lowA, highA);
    const auto b = NumberIn(text.substr(comma + 1), -90, 90);
    if (!a || !b) return std::nullopt;
    return std::pair{*a, *b};
}

} // namespace

std::string AttitudeName(const Attitude& a)
{
    switch (a.Kind) {
    case AttitudeKind::Plane: return Number(a.AttitudeLon) + "," + Number(a.AttitudeLat);
    case AttitudeKind::Sun: return "sun";
    case AttitudeKind::Nadir: return "nadir";
    case AttitudeKind::OrbitNormal: return "orbit-normal";
    case AttitudeKind::Velocity: return "velocity";
    case AttitudeKind::Inertial: return "inertial:" + Number(a.RightAscension) + "," + Number(a.Declination);
    }
    return {};
}

Attitude ParseAttitude(std::string_view text)
{
    Attitude a;
    constexpr std::string_view inertial = "inertial:";
    if (text == "sun") {
        a.Kind = AttitudeKind::Sun;
    } else if (text == "nadir") {
        a.Kind = AttitudeKind::Nadir;
    } else if (text == "orbit-normal") {
        a.Kind = AttitudeKind::OrbitNormal;
    } else if (text == "velocity") {
        a.Kind = AttitudeKind::Velocity;
    } else if (text.starts_with(inertial)) {
        const auto radec = Pair(text.substr(inertial.size()), 0, 360);
        if (!radec) throw InputError("the attitude \"" + std::string(text) + "\" is not one of " + AttitudeForms);
        a.Kind = AttitudeKind::Inertial;
        a.RightAscension = radec->first;
        a.Declination = radec->second;
    } else {
        const auto lonlat = Pair(text, -360, 360);
        if (!lonlat) throw InputError("the attitude \"" + std::string(text) + "\" is not one of " + AttitudeForms);
        a.AttitudeLon = lonlat->first;
        a.AttitudeLat = lonlat->second;
    }
    return a;
}

} // namespace tavik
