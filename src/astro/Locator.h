// Station position from a Maidenhead locator: the south-west corner of the
// subsquare (or of the square, for a four-character locator). The grid is the
// IARU's (adopted at Maidenhead, 1980; recalled, not checked against the
// IARU's text): fields of 20 x 10 degrees from 180 W, 90 S, squares of 2 x 1,
// subsquares of 5' x 2.5'.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

struct Station {
    std::string StationLocator; // as written in the settings file
    double StationLon = 0;      // degrees, east positive
    double StationLat = 0;      // degrees, north positive
};

// Why the text is not a locator tavik can use, or nothing when it is. Letters
// may be in either case; surrounding blanks are ignored. Accepted: 4, 6, 8 or
// 10 characters (field A-R, square 0-9, subsquare A-X, extended square 0-9,
// extended subsquare A-X), of which only the first six are converted.
std::optional<std::string> LocatorProblem(std::string_view locator);

// Conversions of a locator that LocatorProblem accepts. Letters are folded to
// upper case first: a lower-case subsquare is the common way to write one.
double LocatorLongitude(std::string_view locator);
double LocatorLatitude(std::string_view locator);

// Validates and converts; throws InputError with LocatorProblem's reason.
Station MakeStation(const std::string& locator);

} // namespace tavik
