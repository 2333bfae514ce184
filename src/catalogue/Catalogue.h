// The catalogue of up to 500 two-line element sets read from a TLE ("Kep")
// file, and the current element set that the orbit model reads.
#pragma once

#include "platform/TextFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

inline constexpr int CatalogueCapacity = 500;

// One satellite's element set: an entry of the catalogue, and as a copy of
// one entry the current element set that the orbit model reads.
struct ElementSet {
    std::string SatName; // name line, outer blanks removed, control characters as "?", UTF-8
    std::string Line1;   // element line 1 as read
    std::string Line2;   // element line 2 as read
    // What CheckElementLines says of the two lines, with the warnings led by
    // the quoted name; nothing when a line is missing, which the orbit model
    // refuses by itself.
    std::optional<std::string> LineProblem = {};
    std::vector<std::string> LineWarnings = {};
    double Epoch = 0;        // YYDDD.dddddddd
    double Inclination = 0;  // degrees
    double RAAN = 0;         // degrees
    double Eccentricity = 0; // 0 up to below 1
    double ArgPerigee = 0;   // degrees
    double MeanAnomaly = 0;  // degrees
    double MeanMotion = 0;   // revolutions per day
    double Decay = 0;        // first derivative of mean motion field, rev/day^2, sign not read
    double RevNumber = 0;    // revolutions at epoch
    double BStar = 0;        // drag term B*, per Earth radius, with its sign; SGP4 reads it
};

// The element set the orbit model works on: a copy of one catalogue entry,
// so that a later load leaves it as it is.
using CurrentElementSet = ElementSet;

// Indices 1 to 500. A load overwrites entries from 1 upward and leaves those
// above the new count as they were, unlisted.
struct SatelliteCatalogue {
    std::array<ElementSet, CatalogueCapacity + 1> Entries{}; // [0] unused
    std::int16_t CatalogueCount = 0;

    const ElementSet& Entry(int index) const { return Entries.at(static_cast<std::size_t>(index)); }
};

struct LoadResult {
    std::vector<std::string> Names;        // the names of entries 1..CatalogueCount, in order
    int IgnoredNames = 0;                  // name lines past the 500th, left out
    std::vector<std::string> LeftOutNames; // their names, as they would have been listed
    int OrphanElementLines = 0;            // element lines before the first name line
};

// Whether any entry of the catalogue has its two element lines (lines
// beginning "1 " and "2 "): a text file of other lines loads as entries of
// names alone.
bool HoldsElementSet(const SatelliteCatalogue& catalogue);

// The catalogue number of element line 1 (columns 3-7) as one set is told
// from another: blanks and leading zeros do not tell numbers apart.
std::string CatalogueNumber(std::string_view line1);

// The lenient, locale-independent number rule of the TLE fields: blanks, tabs
// and line feeds are skipped anywhere; sign, digits, "." and an exponent (E or
// D) are read up to the first character that does not fit; no digits give 0.
double LenientNumber(std::string_view text);

// Where each entry's lines stand in a TLE text: the name line (outer blanks
// removed) and the last element line 1 and 2 after it, empty when missing.
// Views into the text, which must outlive them.
struct EntryLines {
    std::string_view Name, Line1, Line2;
};

// Every entry of the text, with no limit on their number: what --all reads.
// Element lines before the first name line are counted and left out. Throws
// InputError (naming sourceName) when the text holds no name line.
struct CatalogueScan {
    std::vector<EntryLines> Entries;
    int OrphanElementLines = 0;
};
CatalogueScan ScanCatalogue(std::string_view text, const std::string& sourceName);

// The entry's name as listed, and the whole element set with its lines checked.
std::string EntryName(const EntryLines& lines);
ElementSet EntryOf(const EntryLines& lines);

// Reads TLE text into the catalogue and checks the element lines of each
// entry. A line ends at CR LF, a lone CR or a lone LF. Throws InputError
// (naming sourceName) when the text holds no name line; the catalogue is then
// left as it was.
LoadResult ParseCatalogue(std::string_view text, const std::string& sourceName, SatelliteCatalogue& catalogue);

// Reads the file at path; a missing or unreadable file, or one without any
// name line, throws InputError naming the path and leaves the catalogue as it was.
LoadResult LoadCatalogue(const std::string& path, SatelliteCatalogue& catalogue,
                         FileKinds kinds = FileKinds::RegularOnly);

// What two element lines tell about themselves beyond their fields.
struct ElementLineCheck {
    // Why the set cannot be used, without the satellite's name: a line too
    // short to hold a field the orbit needs, or lines of two catalogue
    // numbers.
    std::optional<std::string> Problem;
    // A check digit that does not match its line, a line that is not 69
    // characters long: worth a word, not a refusal, since stored files may
    // carry wrong check digits. Without the name, e.g. "element line 2: ...".
    std::vector<std::string> Warnings;
};

// The check digit of a TLE line: the digits of columns 1 to 68 added up, a
// minus sign counting 1, modulo 10.
int TleCheckDigit(std::string_view line);

ElementLineCheck CheckElementLines(std::string_view line1, std::string_view line2);

// A copy of entry index (1..CatalogueCount) of the catalogue. Throws
// InputError for an index outside the loaded entries.
CurrentElementSet SelectElementSet(const SatelliteCatalogue& catalogue, int index);

} // namespace tavik
