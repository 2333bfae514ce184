#include "catalogue/Catalogue.h"

#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/TextFile.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>

namespace tavik {

double LenientNumber(std::string_view text)
{
    std::string number;
    bool exponentNegative = false;
    int exponentDigits = 0;
    enum class Stage { Sign, Mantissa, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    std::string exponent;
    bool anyDigit = false;

    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        bool digit = c >= '0' && c <= '9';
        if (stage == Stage::Sign) {
            stage = Stage::Mantissa;
            if (c == '-' || c == '+') {
                if (c == '-') number += '-';
                continue;
            }
        }
        if (stage == Stage::Mantissa) {
            if (digit) { number += c; anyDigit = true; continue; }
            if (c == '.') { number += '.'; stage = Stage::Fraction; continue; }
        } else if (stage == Stage::Fraction) {
            if (digit) { number += c; anyDigit = true; continue; }
        } else if (stage == Stage::ExponentSign) {
            stage = Stage::Exponent;
            if (c == '-' || c == '+') { exponentNegative = c == '-'; continue; }
        }
        if (stage == Stage::Exponent) {
            if (digit) {
                // Leading zeros carry no value; keeping them would make the
                // length clamp below read "E0000001" as a huge exponent.
                if (c != '0' || !exponent.empty()) exponent += c;
                ++exponentDigits;
                continue;
            }
            break;
        }
        if ((stage == Stage::Mantissa || stage == Stage::Fraction)
            && (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
            stage = Stage::ExponentSign;
            continue;
        }
        break;
    }
    if (!anyDigit) return 0;
    if (exponentDigits > 0) {
        // Keep the exponent bounded; beyond a few thousand the result is 0 or
        // infinite either way.
        if (exponent.empty()) exponent = "0";
        if (exponent.size() > 6) exponent = "99999";
        number += exponentNegative ? "e-" : "e";
        number += exponent;
    }
    const char* first = number.data();
    const char* last = number.data() + number.size();
    bool negative = *first == '-';
    if (negative) ++first;
    if (*first == '.' && first + 1 == last) return 0;
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        value = exponentNegative ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0;
    }
    (void)ptr;
    return negative ? -value : value;
}

namespace {

// Characters start..start+length-1 (columns counted from 1); a range past
// the end of the line yields what exists.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last)
{
    if (line.size() < first) return {};
    return line.substr(first - 1, last - first + 1);
}

double Field(std::string_view line, std::size_t first, std::size_t last)
{
    return LenientNumber(Columns(line, first, last));
}

double FieldAfterPoint(std::string_view line, std::size_t first, std::size_t last)
{
    std::string text = "0.";
    text += Columns(line, first, last);
    return LenientNumber(text);
}

// A field of eight columns in the element lines' exponent form: a sign,
// five digits after an assumed point and a signed exponent digit, so that
// "-13525-3" is -0.13525e-3.
double ExponentField(std::string_view line, std::size_t first)
{
    std::string text(Columns(line, first, first));
    text += "0.";
    text += Columns(line, first + 1, first + 5);
    text += 'E';
    text += Columns(line, first + 6, first + 7);
    return LenientNumber(text);
}

// A damaged file may hold control characters in a name line; shown as they
// are they would act on terminals and upset message boxes. A tab reads as a
// blank, the others as "?".
std::string WithoutControlCharacters(std::string name)
{
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\t') c = ' ';
        else if (u < 0x20 || u == 0x7F) c = '?';
    }
    return name;
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

void ReadLine1(ElementSet& e, std::string_view line)
{
    e.Line1 = std::string(line);
    e.Epoch = Field(line, 19, 33);
    // Column 34 holds the sign and is not read: Decay is never negative.
    e.Decay = FieldAfterPoint(line, 36, 43);
    e.BStar = ExponentField(line, 54);
}

void ReadLine2(ElementSet& e, std::string_view line)
{
    e.Line2 = std::string(line);
    e.Inclination = Field(line, 9, 16);
    e.RAAN = Field(line, 18, 25);
    e.Eccentricity = FieldAfterPoint(line, 27, 33);
    e.ArgPerigee = Field(line, 35, 42);
    e.MeanAnomaly = Field(line, 44, 51);
    e.MeanMotion = Field(line, 53, 63);
    e.RevNumber = Field(line, 64, 68);
}

} // namespace

LoadResult ParseCatalogue(std::string_view text, const std::string& sourceName,
                          SatelliteCatalogue& catalogue)
{
    // Work on a copy so that a file without a single satellite leaves the
    // previous catalogue untouched.
    auto next = std::make_unique<SatelliteCatalogue>(catalogue);
    next->CatalogueCount = 0;
    LoadResult result;
    bool pastCapacity = false;

    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
        if (end == std::string_view::npos) {
            pos = text.size();
        } else {
            pos = end + 1;
            if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        }

        bool isLine1 = line.substr(0, 2) == "1 ";
        bool isLine2 = line.substr(0, 2) == "2 ";
        if (isLine1 || isLine2) {
            if (pastCapacity) continue;
            if (next->CatalogueCount == 0) {
                ++result.OrphanElementLines;
                continue;
            }
            ElementSet& entry = next->Entries[static_cast<std::size_t>(next->CatalogueCount)];
            if (isLine1) ReadLine1(entry, line);
            else ReadLine2(entry, line);
            continue;
        }
        std::string_view name = TrimBlanks(line);
        if (name.empty()) continue;
        if (next->CatalogueCount == CatalogueCapacity) {
            pastCapacity = true;
            ++result.IgnoredNames;
            continue;
        }
        ++next->CatalogueCount;
        ElementSet& entry = next->Entries[static_cast<std::size_t>(next->CatalogueCount)];
        // A fresh entry: fields a short entry lacks must not come from an
        // older load.
        entry = ElementSet{};
        // Names from Windows come in its code page, names from Linux in UTF-8.
        entry.SatName = WithoutControlCharacters(TextToUtf8(name));
        result.Names.push_back(entry.SatName);
    }

    if (next->CatalogueCount == 0)
        throw InputError(sourceName + ": no satellite found (a TLE file holds a name line "
                                      "followed by its two element lines)");
    catalogue = std::move(*next);
    return result;
}

LoadResult LoadCatalogue(const std::string& path, SatelliteCatalogue& catalogue)
{
    std::string text = ReadTextFile(path);
    return ParseCatalogue(text, path, catalogue);
}

CurrentElementSet SelectElementSet(const SatelliteCatalogue& catalogue, int index)
{
    if (index < 1 || index > catalogue.CatalogueCount)
        throw InputError("there is no satellite number " + std::to_string(index)
                         + " in the catalogue, which holds "
                         + std::to_string(catalogue.CatalogueCount));
    const ElementSet& e = catalogue.Entry(index);
    CurrentElementSet c;
    c.Line1 = e.Line1;
    c.Line2 = e.Line2;
    c.CurrentSatName = e.SatName;
    c.Epoch = e.Epoch;
    c.Inclination = e.Inclination;
    c.RAAN = e.RAAN;
    c.Eccentricity = e.Eccentricity;
    c.ArgPerigee = e.ArgPerigee;
    c.MeanAnomaly = e.MeanAnomaly;
    c.MeanMotion = e.MeanMotion;
    c.Decay = e.Decay;
    c.RevNumber = e.RevNumber;
    c.BStar = e.BStar;
    return c;
}

} // namespace tavik
