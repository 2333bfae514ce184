#include "catalogue/Catalogue.h"

#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/Text.h"
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
            if (digit) {
                number += c;
                anyDigit = true;
                continue;
            }
            if (c == '.') {
                number += '.';
                stage = Stage::Fraction;
                continue;
            }
        } else if (stage == Stage::Fraction) {
            if (digit) {
                number += c;
                anyDigit = true;
                continue;
            }
        } else if (stage == Stage::ExponentSign) {
            stage = Stage::Exponent;
            if (c == '-' || c == '+') {
                exponentNegative = c == '-';
                continue;
            }
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
        if ((stage == Stage::Mantissa || stage == Stage::Fraction) && (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
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
    double value = 0; // from_chars leaves it so where it reads nothing
    if (std::from_chars(first, last, value, std::chars_format::general).ec == std::errc::result_out_of_range)
        value = exponentNegative ? 0.0 : std::numeric_limits<double>::infinity();
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
// are they would act on terminals and upset message boxes, and the
// bidirectional ones would turn the text around them. A tab reads as a
// blank, the others as "?". The name is UTF-8.
std::string WithoutControlCharacters(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::string_view c : Utf8Characters(name)) {
        const char32_t cp = Utf8CodePoint(c);
        if (cp == '\t')
            out += ' ';
        else if (IsControlCharacter(cp))
            out += '?';
        else
            out += c;
    }
    return out;
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

// A missing line is the orbit model's refusal; there is nothing to check.
void CheckLines(ElementSet& e)
{
    if (e.Line1.empty() || e.Line2.empty()) return;
    ElementLineCheck check = CheckElementLines(e.Line1, e.Line2);
    e.LineProblem = std::move(check.Problem);
    for (std::string& w : check.Warnings) e.LineWarnings.push_back("\"" + e.SatName + "\": " + std::move(w));
}

} // namespace

CatalogueScan ScanCatalogue(std::string_view text, const std::string& sourceName)
{
    CatalogueScan scan;
    LineReader lines(WithoutByteOrderMark(text, sourceName));
    while (const std::optional<std::string_view> read = lines.Next()) {
        const std::string_view line = *read;
        const bool isLine1 = line.substr(0, 2) == "1 ";
        if (isLine1 || line.substr(0, 2) == "2 ") {
            if (scan.Entries.empty())
                ++scan.OrphanElementLines;
            else
                (isLine1 ? scan.Entries.back().Line1 : scan.Entries.back().Line2) = line; // the last one counts
            continue;
        }
        const std::string_view name = TrimBlanks(line);
        if (!name.empty()) scan.Entries.push_back({name, {}, {}});
    }
    if (scan.Entries.empty())
        throw InputError(sourceName
                         + ": no satellite found (a TLE file holds a name line "
                           "followed by its two element lines)");
    return scan;
}

std::string EntryName(const EntryLines& lines)
{
    // Names from Windows come in its code page, names from Linux in UTF-8.
    return WithoutControlCharacters(TextToUtf8(lines.Name));
}

ElementSet EntryOf(const EntryLines& lines)
{
    ElementSet entry;
    entry.SatName = EntryName(lines);
    if (!lines.Line1.empty()) ReadLine1(entry, lines.Line1);
    if (!lines.Line2.empty()) ReadLine2(entry, lines.Line2);
    CheckLines(entry);
    return entry;
}

LoadResult ParseCatalogue(std::string_view text, const std::string& sourceName, SatelliteCatalogue& catalogue)
{
    // A file without a single satellite throws here and leaves the previous
    // catalogue untouched.
    const CatalogueScan scan = ScanCatalogue(text, sourceName);
    auto next = std::make_unique<SatelliteCatalogue>(catalogue);
    next->CatalogueCount = 0;
    LoadResult result;
    result.OrphanElementLines = scan.OrphanElementLines;
    for (const EntryLines& lines : scan.Entries) {
        if (next->CatalogueCount == CatalogueCapacity) {
            ++result.IgnoredNames;
            result.LeftOutNames.push_back(EntryName(lines));
            continue;
        }
        ++next->CatalogueCount;
        // A fresh entry: fields a short entry lacks must not come from an
        // older load.
        ElementSet& entry = next->Entries[static_cast<std::size_t>(next->CatalogueCount)];
        entry = EntryOf(lines);
        result.Names.push_back(entry.SatName);
    }
    catalogue = std::move(*next);
    return result;
}

LoadResult LoadCatalogue(const std::string& path, SatelliteCatalogue& catalogue, FileKinds kinds)
{
    std::string text = ReadTextFile(path, TextFileMaxBytes, kinds);
    return ParseCatalogue(text, path, catalogue);
}

int TleCheckDigit(std::string_view line)
{
    int sum = 0;
    for (char c : line.substr(0, 68)) {
        if (c >= '0' && c <= '9')
            sum += c - '0';
        else if (c == '-')
            sum += 1;
    }
    return sum % 10;
}

namespace {

struct NeededField {
    std::size_t First, Last; // columns, from 1
    const char* What;
};

// The fields the orbit reads, in column order; the revolution number of
// line 2 is not among them.
constexpr NeededField Line1Fields[] = {
    {19, 32, "epoch"},
    {34, 43, "first derivative of the mean motion"},
};
constexpr NeededField Line2Fields[] = {
    {9, 16, "inclination"},   {18, 25, "right ascension of the ascending node"},
    {27, 33, "eccentricity"}, {35, 42, "argument of perigee"},
    {44, 51, "mean anomaly"}, {53, 63, "mean motion"},
};

// A line cut short, as a download caught half way leaves it: its fields
// would read as other numbers (a mean motion of "15.4" instead of
// 15.49823110 moves every pass).
template <std::size_t N>
std::optional<std::string> CutShort(std::string_view line, int number, const NeededField (&fields)[N])
{
    for (const NeededField& f : fields) {
        if (line.size() >= f.Last) continue;
        return "its element line " + std::to_string(number) + " is cut off after column " + std::to_string(line.size())
               + (line.size() >= f.First ? ", inside" : ", before") + " the " + f.What + " (columns "
               + std::to_string(f.First) + "-" + std::to_string(f.Last) + ")";
    }
    return std::nullopt;
}

std::string Shown(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) ? '?' : c;
    return out;
}

void CheckDigitAndLength(std::string_view line, int number, std::vector<std::string>& warnings)
{
    const std::string which = "element line " + std::to_string(number) + ": ";
    if (line.size() != 69) warnings.push_back(which + "it has " + std::to_string(line.size()) + " characters, not 69");
    if (line.size() < 69) return;
    const char digit = line[68];
    if (digit < '0' || digit > '9') {
        warnings.push_back(which + "column 69 holds no check digit");
    } else if (digit - '0' != TleCheckDigit(line)) {
        warnings.push_back(which + "its check digit is " + std::string(1, digit) + ", but its columns 1-68 give "
                           + std::to_string(TleCheckDigit(line)) + "; the line may be damaged");
    }
}

} // namespace

ElementLineCheck CheckElementLines(std::string_view line1, std::string_view line2)
{
    ElementLineCheck check;
    check.Problem = CutShort(line1, 1, Line1Fields);
    if (!check.Problem) check.Problem = CutShort(line2, 2, Line2Fields);
    if (!check.Problem) {
        const std::string first = CatalogueNumber(line1), second = CatalogueNumber(line2);
        if (first != second)
            check.Problem = "its element lines belong to two satellites: line 1 has the catalogue number \""
                            + Shown(Columns(line1, 3, 7)) + "\", line 2 \"" + Shown(Columns(line2, 3, 7)) + "\"";
    }
    CheckDigitAndLength(line1, 1, check.Warnings);
    CheckDigitAndLength(line2, 2, check.Warnings);
    return check;
}

CurrentElementSet SelectElementSet(const SatelliteCatalogue& catalogue, int index)
{
    if (index < 1 || index > catalogue.CatalogueCount)
        throw InputError("there is no satellite number " + std::to_string(index) + " in the catalogue, which holds "
                         + std::to_string(catalogue.CatalogueCount));
    return catalogue.Entry(index);
}

bool HoldsElementSet(const SatelliteCatalogue& catalogue)
{
    for (int i = 1; i <= catalogue.CatalogueCount; ++i) {
        const ElementSet& e = catalogue.Entry(i);
        if (e.Line1.starts_with("1 ") && e.Line2.starts_with("2 ")) return true;
    }
    return false;
}

std::string CatalogueNumber(std::string_view line)
{
    std::string_view n = Columns(line, 3, 7);
    while (!n.empty() && (n.front() == ' ' || n.front() == '0')) n.remove_prefix(1);
    while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
    return std::string(n);
}

} // namespace tavik
