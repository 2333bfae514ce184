#include "astro/Locator.h"

#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/Text.h"

#include <cstdio>
#include <vector>

namespace tavik {

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool LetterIn(char c, char last)
{
    c = Upper(c);
    return c >= 'A' && c <= last;
}
bool Digit(char c) { return c >= '0' && c <= '9'; }

// Value of character i (0-based) of a validated, trimmed locator; absent
// characters count 0.
int LetterValue(std::string_view s, std::size_t i) { return i < s.size() ? Upper(s[i]) - 'A' : 0; }
int DigitValue(std::string_view s, std::size_t i) { return i < s.size() ? s[i] - '0' : 0; }

// One character of a message: printable ASCII quoted; anything else by its
// code point, with the character itself in quotes only where showing it
// cannot upset the message (a Cyrillic O looks like a Latin one).
std::string CharacterForMessage(std::string_view c)
{
    const char32_t cp = Utf8CodePoint(c);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    if (cp >= 0x20 && cp < 0x7F) return "\"" + std::string(c) + "\"";
    if (IsControlCharacter(cp)) return code;
    return "\"" + std::string(c) + "\" (" + code + ")";
}

} // namespace

std::optional<std::string> LocatorProblem(std::string_view locator)
{
    // Counted in characters, not bytes: a locator typed with a Cyrillic O
    // has six, and the message says which one is not allowed. A settings
    // file in Windows-1252 is read as such.
    const std::string text = TextToUtf8(TrimBlanks(locator));
    const std::vector<std::string_view> chars = Utf8Characters(text);
    if (chars.empty()) return "the locator is empty";
    const std::size_t n = chars.size();
    if (n != 4 && n != 6 && n != 8 && n != 10)
        return "a locator has 4, 6, 8 or 10 characters, this one has " + std::to_string(n);

    struct Group {
        std::size_t First; // 0-based
        const char* Rule;
        char LastLetter; // 0: digits
    };
    const Group groups[] = {
        {0, "characters 1 and 2 must be field letters A to R", 'R'},
        {2, "characters 3 and 4 must be digits 0 to 9", 0},
        {4, "characters 5 and 6 must be subsquare letters A to X", 'X'},
        {6, "characters 7 and 8 must be digits 0 to 9", 0},
        {8, "characters 9 and 10 must be letters A to X", 'X'},
    };
    for (const Group& g : groups) {
        if (g.First >= n) break;
        for (std::size_t i = g.First; i < g.First + 2; ++i) {
            const std::string_view c = chars[i];
            const bool fits = c.size() == 1 && (g.LastLetter ? LetterIn(c[0], g.LastLetter) : Digit(c[0]));
            if (!fits)
                return std::string(g.Rule) + "; character " + std::to_string(i + 1) + " is " + CharacterForMessage(c);
        }
    }
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
