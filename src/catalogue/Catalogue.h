// The catalogue of up to 500 two-line element sets read from a TLE ("Kep")
// file, and the current element set that the orbit model reads.
#pragma once

#include "platform/TextFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

inline constexpr int CatalogueCapacity = 500;

struct ElementSet {
    std::string Line1;       // element line 1 as read
    std::string Line2;       // element line 2 as read
    std::string SatName;     // name line, outer blanks removed, control characters as "?", UTF-8
    double Epoch = 0;        // YYDDD.dddddddd
    double Decay = 0;        // first derivative of mean motion field, rev/day^2, sign not read
    double Inclination = 0;  // degrees
    double RAAN = 0;         // degrees
    double Eccentricity = 0; // 0 up to below 1
    double ArgPerigee = 0;   // degrees
    double MeanAnomaly = 0;  // degrees
    double MeanMotion = 0;   // revolutions per day
    double RevNumber = 0;    // revolutions at epoch
    double BStar = 0;        // drag term B*, per Earth radius, with its sign; SGP4 reads it
};

// Indices 1 to 500. A load overwrites entries from 1 upward and leaves those
// above the new count as they were, unlisted.
struct SatelliteCatalogue {
    std::array<ElementSet, CatalogueCapacity + 1> Entries{}; // [0] unused
    std::int16_t CatalogueCount = 0;

    const ElementSet& Entry(int index) const { return Entries.at(static_cast<std::size_t>(index)); }
};

struct LoadResult {
    std::vector<std::string> Names;  // the names of entries 1..CatalogueCount, in order
    int IgnoredNames = 0;            // name lines past the 500th, left out
    std::vector<std::string> LeftOutNames; // their names, as they would have been listed
    int OrphanElementLines = 0;      // element lines before the first name line
};

// The lenient, locale-independent number rule of the TLE fields: blanks, tabs
// and line feeds are skipped anywhere; sign, digits, "." and an exponent (E or
// D) are read up to the first character that does not fit; no digits give 0.
double LenientNumber(std::string_view text);

// Reads TLE text into the catalogue. A line ends at CR LF, a lone CR or a lone
// LF. Throws InputError (naming sourceName) when the text holds no name line;
// the catalogue is then left as it was.
LoadResult ParseCatalogue(std::string_view text, const std::string& sourceName,
                          SatelliteCatalogue& catalogue);

// Reads the file at path; a missing or unreadable file, or one without any
// name line, throws InputError naming the path and leaves the catalogue as it was.
LoadResult LoadCatalogue(const std::string& path, SatelliteCatalogue& catalogue,
                         FileKinds kinds = FileKinds::RegularOnly);

// What two element lines tell about themselves beyond their fields.
struct ElementLineCheck {
    // Why the set cannot be used, without the satellite's name: a line too
    // short to hold a field the orbit needs, or lines of two catalogue
    // numbers. Empty when it can be used.
    std::string Problem;
    // A check digit that does not match its line, a line that is not 69
    // characters long: worth a word, not a refusal, since stored files may
    // carry wrong check digits. Without the name, e.g. "element line 2: ...".
    std::vector<std::string> Warnings;
};

// The check digit of a TLE line: the digits of columns 1 to 68 added up, a
// minus sign counting 1, modulo 10.
int TleCheckDigit(std::string_view line);

ElementLineCheck CheckElementLines(std::string_view line1, std::string_view line2);

// The element set the orbit model works on: a copy of one catalogue entry.
struct CurrentElementSet {
    std::string CurrentSatName;
    std::string Line1, Line2; // for the window to show
    // CheckElementLines of the two lines, filled by SelectElementSet; the
    // warnings begin with the quoted name. Empty for sets made otherwise.
    std::string LineProblem;
    std::vector<std::string> LineWarnings;
    double Epoch = 0;
    double Inclination = 0;
    double RAAN = 0;
    double Eccentricity = 0;
    double ArgPerigee = 0;
    double MeanAnomaly = 0;
    double MeanMotion = 0;
    double Decay = 0;
    double RevNumber = 0;
    double BStar = 0;
};

// Copies entry index (1..CatalogueCount) of the catalogue and checks its
// element lines. Throws InputError for an index outside the loaded entries.
CurrentElementSet SelectElementSet(const SatelliteCatalogue& catalogue, int index);

} // namespace tavik
