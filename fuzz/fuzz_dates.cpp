// Any bytes as the three start-date texts (split at the first two line
// feeds) and as the year text of the year file. An accepted date is a real
// calendar day named by the texts, on the right day of the scale; a refusal
// names the wrong text, briefly. The calendar is judged by rules written out
// here, so that a fault in the engine's own cannot judge itself.
#include "FuzzChecks.h"

namespace {

// The texts as a person reads them: blanks around a whole number with an
// optional sign. Nothing for anything else; huge numbers saturate.
std::optional<long long> Reference(std::string_view t)
{
    t.remove_prefix(std::min(t.size(), t.find_first_not_of(" \t")));
    t.remove_suffix(t.size() - std::min(t.size(), t.find_last_not_of(" \t") + 1));
    const bool negative = t.starts_with('-');
    if (t.starts_with('+') || negative) t.remove_prefix(1);
    if (t.empty() || t.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    long long v = 0;
    for (char c : t) v = v > 100000000000LL ? v : v * 10 + (c - '0');
    return negative ? -v : v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t a = text.find('\n'), b = a == std::string_view::npos ? a : text.find('\n', a + 1);
    const std::string_view parts[3] = {text.substr(0, a),
                                       a == std::string_view::npos ? "" : text.substr(a + 1, b - a - 1),
                                       b == std::string_view::npos ? "" : text.substr(b + 1)};
    const auto day = Reference(parts[0]), month = Reference(parts[1]), year = Reference(parts[2]);
    // The Gregorian month lengths: every fourth year a leap year, except the
    // centuries not divisible by 400.
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool real =
        day && month && year && *year >= 1 && *year <= 9999 && *month >= 1 && *month <= 12 && *day >= 1
        && *day <= Days[*month - 1] + (*month == 2 && *year % 4 == 0 && (*year % 100 != 0 || *year % 400 == 0));
    const ParsedDate parsed = ParseDateTexts(parts[0], parts[1], parts[2]);
    fuzz::Require(static_cast<bool>(parsed) == real, "a date is accepted exactly when it is a real day", text);
    if (parsed) {
        // Its place on the scale by the C library's calendar: 1899 December 30
        // lies 25569 days before 1970.
        std::tm t{.tm_mday = static_cast<int>(*day),
                  .tm_mon = static_cast<int>(*month) - 1,
                  .tm_year = static_cast<int>(*year) - 1900};
        fuzz::Require(parsed.Date->Days() == static_cast<double>(::timegm(&t) / 86400 + 25569),
                      "the day the texts name", text);
        fuzz::Require(parsed.Error.empty() && parsed.WrongField == DateTextField::None, "no error with a date");
    } else {
        fuzz::Require(parsed.WrongField != DateTextField::None, "a refusal points at a box");
        fuzz::RequireRefusal(parsed.Error, std::array{"", "day", "month", "year"}[static_cast<int>(parsed.WrongField)],
                             false, 300);
    }
    for (std::string_view y : {text, parts[2]}) {
        const auto expected = Reference(y);
        const ParsedYear py = ParseYearText(y);
        fuzz::Require(static_cast<bool>(py) == (expected && *expected >= 1 && *expected <= 9999),
                      "a year is accepted exactly when it is 1..9999", y);
        if (py)
            fuzz::Require(*py.Year == *expected, "the year named", y);
        else
            fuzz::RequireRefusal(py.Error, "year", false, 300);
    }
    return 0;
}
