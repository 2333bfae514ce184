#include "astro/Angles.h"

#include <charconv>
#include <cstdlib>
#include <limits>

namespace tavik {

std::string DecimalText15(double x)
{
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

namespace {

// The text before the point: digits with an optional sign, read toward zero.
std::int32_t ReadWholePart(std::string_view digits)
{
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            // Saturate: the callers pass epochs and day numbers far below this.
            value = std::numeric_limits<std::int32_t>::max();
            break;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

bool HasExponent(std::string_view text) { return text.find_first_of("eE") != std::string_view::npos; }

} // namespace

std::int32_t IntegerPartOfText(std::string_view text)
{
    auto point = text.find_first_of(".,");
    return ReadWholePart(text.substr(0, point));
}

double FractionPartOfText(std::string_view text)
{
    auto point = text.find_first_of(".,");
    if (point == std::string_view::npos) return 0;
    std::string digits = "0.";
    for (char c : text.substr(point + 1)) {
        if (c < '0' || c > '9') break;
        digits += c;
    }
    double value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

std::int32_t IntegerPart(double x)
{
    std::string text = DecimalText15(x);
    if (HasExponent(text)) {
        // Exponent forms never come from epochs or day numbers; split by value.
        double whole = std::trunc(x);
        if (!(std::fabs(whole) < 2147483647.0)) return x < 0 ? -2147483647 : 2147483647;
        return static_cast<std::int32_t>(whole);
    }
    return IntegerPartOfText(text);
}

double FractionPart(double x)
{
    std::string text = DecimalText15(x);
    if (HasExponent(text)) {
        double f = std::fabs(x - std::trunc(x));
        return std::isfinite(f) ? f : 0;
    }
    return FractionPartOfText(text);
}

} // namespace tavik
