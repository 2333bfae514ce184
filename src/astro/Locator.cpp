#include "astro/Locator.h"

#include "platform/Error.h"

namespace tavik {

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool LetterIn(char c, char last) { c = Upper(c); return c >= 'A' && c <= last; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// Value of character i (0-based) of a validated, trimmed locator; absent
// characters count 0.
int LetterValue(std::string_view s, std::size_t i) { return i < s.size() ? Upper(s[i]) - 'A' : 0; }
int DigitValue(std::string_view s, std::size_t i) { return i < s.size() ? s[i] - '0' : 0; }

} // namespace

std::optional<std::string> LocatorProblem(std::string_view locator)
{
    std::string_view s = TrimBlanks(locator);
    if (s.empty()) return "the locator is empty";
    if (s.size() != 4 && s.size() != 6 && s.size() != 8 && s.size() != 10)
        return "a locator has 4, 6, 8 or 10 characters, this one has " + std::to_string(s.size());
    if (!LetterIn(s[0], 'R') || !LetterIn(s[1], 'R'))
        return "characters 1 and 2 must be field letters A to R";
    if (!Digit(s[2]) || !Digit(s[3])) return "characters 3 and 4 must be digits 0 to 9";
    if (s.size() >= 6 && (!LetterIn(s[4], 'X') || !LetterIn(s[5], 'X')))
        return "characters 5 and 6 must be subsquare letters A to X";
    if (s.size() >= 8 && (!Digit(s[6]) || !Digit(s[7])))
        return "characters 7 and 8 must be digits 0 to 9";
    if (s.size() >= 10 && (!LetterIn(s[8], 'X') || !LetterIn(s[9], 'X')))
        return "characters 9 and 10 must be letters A to X";
    return std::nullopt;
}

double LocatorLongitude(std::string_view locator)
{
    std::string_view s = TrimBlanks(locator);
    return 20 * LetterValue(s, 0) - 180 + 2 * DigitValue(s, 2) + LetterValue(s, 4) / 12.0;
}

double LocatorLatitude(std::string_view locator)
{
    std::string_view s = TrimBlanks(locator);
    return 10 * LetterValue(s, 1) - 90 + DigitValue(s, 3) + LetterValue(s, 5) / 24.0;
}

Station MakeStation(const std::string& locator)
{
    if (auto problem = LocatorProblem(locator)) throw InputError(*problem);
    Station station;
    station.StationLocator = locator;
    station.StationLon = LocatorLongitude(locator);
    station.StationLat = LocatorLatitude(locator);
    return station;
}

} // namespace tavik
