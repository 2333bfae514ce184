// The TLE loader, the lenient number rule and the selection of the current
// element set.
//
// The three satellites below are made up for these tests (catalogue numbers
// 90001 to 90003, a 51.6 degree LEO, a sun-synchronous orbit and a
// Molniya-like eccentric orbit). tests/data/three.tle holds the same nine
// lines with CR LF endings; tests/data/five.tle puts HERON 4 and "0 PIPIT"
// in front of them, with LF endings.

#include "catalogue/Catalogue.h"
#include "TestSupport.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifndef TAVIK_TEST_DATA
#error "TAVIK_TEST_DATA must name the folder of the test fixtures"
#endif

namespace tavik {
namespace {

// Column numbers of the element lines, counted from 1:
//                                       1        10        20        30        40        50        60       69
//                                       |        |         |         |         |         |         |        |
constexpr std::string_view TavsatName = "TAVSAT 1";
constexpr std::string_view TavsatL1 =   "1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995";
constexpr std::string_view TavsatL2 =   "2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123455";
constexpr std::string_view KestrelName ="KESTREL-2";
constexpr std::string_view KestrelL1 =  "1 90002U 23055B   24123.25000000  .00000152  00000-0  84210-4 0  4122";
constexpr std::string_view KestrelL2 =  "2 90002  98.7012  12.3456 0001420  87.6543 272.4890 14.21876543 67894";
constexpr std::string_view OrbisName =  "ORBIS M";
constexpr std::string_view OrbisL1 =    "1 90003U 22077A   24200.75312500 -.00000123  00000-0  10000-3 0   577";
constexpr std::string_view OrbisL2 =    "2 90003  63.4215 301.2000 7201234 270.1234  15.6789  2.00612345 12348";
// TAVSAT 1's line 1 with a minus sign in column 34 (check digit 6 instead of 5).
constexpr std::string_view TavsatL1Minus =
                                        "1 90001U 20101A   20345.51234567 -.00001234  00000-0  23456-4 0  9996";

const std::string_view AllFixtureLines[] = {TavsatL1, TavsatL2,  KestrelL1, KestrelL2,
                                           OrbisL1,  OrbisL2,   TavsatL1Minus};

const std::string DataFolder = TAVIK_TEST_DATA;

// The fields each satellite must give, read off the columns of its lines.
struct Expected {
    std::string_view Name, Line1, Line2;
    double Epoch;        // line 1, columns 19-33
    double Decay;        // "0." + line 1, columns 36-43
    double Inclination;  // line 2, columns 9-16
    double RAAN;         // line 2, columns 18-25
    double Eccentricity; // "0." + line 2, columns 27-33
    double ArgPerigee;   // line 2, columns 35-42
    double MeanAnomaly;  // line 2, columns 44-51
    double MeanMotion;   // line 2, columns 53-63
    double RevNumber;    // line 2, columns 64-68
    double BStar;        // line 1: sign in 54, "0." + 55-59, exponent 60-61
};

const Expected Tavsat{TavsatName, TavsatL1, TavsatL2,
                      20345.51234567, 0.00001234, 51.6416, 247.4627, 0.0012345,
                      130.5360, 123.4567, 15.50123456, 12345, 0.23456e-4};
const Expected Kestrel{KestrelName, KestrelL1, KestrelL2,
                       24123.25, 0.00000152, 98.7012, 12.3456, 0.0001420,
                       87.6543, 272.4890, 14.21876543, 6789, 0.84210e-4};
// Column 34 holds "-", which is not read: Decay is the bare 0.00000123.
const Expected Orbis{OrbisName, OrbisL1, OrbisL2,
                     24200.753125, 0.00000123, 63.4215, 301.2000, 0.7201234,
                     270.1234, 15.6789, 2.00612345, 1234, 0.10000e-3};

void ExpectEntry(const ElementSet& e, const Expected& x)
{
    EXPECT_EQ(e.SatName, x.Name);
    EXPECT_EQ(e.Line1, x.Line1);
    EXPECT_EQ(e.Line2, x.Line2);
    EXPECT_DOUBLE_EQ(e.Epoch, x.Epoch);
    EXPECT_DOUBLE_EQ(e.Decay, x.Decay);
    EXPECT_DOUBLE_EQ(e.Inclination, x.Inclination);
    EXPECT_DOUBLE_EQ(e.RAAN, x.RAAN);
    EXPECT_DOUBLE_EQ(e.Eccentricity, x.Eccentricity);
    EXPECT_DOUBLE_EQ(e.ArgPerigee, x.ArgPerigee);
    EXPECT_DOUBLE_EQ(e.MeanAnomaly, x.MeanAnomaly);
    EXPECT_DOUBLE_EQ(e.MeanMotion, x.MeanMotion);
    EXPECT_DOUBLE_EQ(e.RevNumber, x.RevNumber);
    EXPECT_DOUBLE_EQ(e.BStar, x.BStar);
}

void ExpectBlankElements(const ElementSet& e)
{
    EXPECT_EQ(e.Line1, "");
    EXPECT_EQ(e.Line2, "");
    EXPECT_EQ(e.Epoch, 0);
    EXPECT_EQ(e.Decay, 0);
    EXPECT_EQ(e.Inclination, 0);
    EXPECT_EQ(e.RAAN, 0);
    EXPECT_EQ(e.Eccentricity, 0);
    EXPECT_EQ(e.ArgPerigee, 0);
    EXPECT_EQ(e.MeanAnomaly, 0);
    EXPECT_EQ(e.MeanMotion, 0);
    EXPECT_EQ(e.RevNumber, 0);
    EXPECT_EQ(e.BStar, 0);
}

// The catalogue is 500 records; keep it off the stack.
std::unique_ptr<SatelliteCatalogue> NewCatalogue() { return std::make_unique<SatelliteCatalogue>(); }

std::string Join(const std::vector<std::string_view>& lines, std::string_view eol)
{
    std::string text;
    for (auto line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

std::string ThreeSatellites(std::string_view eol = "\r\n")
{
    return Join({TavsatName, TavsatL1, TavsatL2, KestrelName, KestrelL1, KestrelL2,
                 OrbisName, OrbisL1, OrbisL2},
                eol);
}

using test::Contains;
using test::InputErrorMessage;

// The TLE check digit: the sum of the digits, each "-" counting 1, modulo 10.
int TleChecksum(std::string_view first68)
{
    int sum = 0;
    for (char c : first68) {
        if (c >= '0' && c <= '9') sum += c - '0';
        else if (c == '-') sum += 1;
    }
    return sum % 10;
}

// A well-formed element line for the generated catalogues: 68 columns plus
// the check digit.
std::string GeneratedLine1(int number)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "1 %05dU 24%03dA   24100.%08d  .00001000  00000-0  10000-4 0  999",
                  number % 100000, number % 1000, number);
    std::string line = buf;
    return line + static_cast<char>('0' + TleChecksum(line));
}

std::string GeneratedLine2(int number)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "2 %05d  51.6000 100.0000 0001000  90.0000 %8.4f 15.00000000%5d",
                  number % 100000, number * 0.5, number);
    std::string line = buf;
    return line + static_cast<char>('0' + TleChecksum(line));
}

std::string GeneratedName(int number)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "GEN %03d", number);
    return buf;
}

std::string GeneratedCatalogue(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += GeneratedName(i) + "\r\n" + GeneratedLine1(i) + "\r\n" + GeneratedLine2(i) + "\r\n";
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ReadFixture(const std::string& name)
{
    std::ifstream in(DataFolder + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "cannot open fixture " << name;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void ExpectWellFormed(std::string_view line)
{
    SCOPED_TRACE(std::string(line));
    ASSERT_EQ(line.size(), 69u);
    EXPECT_EQ(line[68] - '0', TleChecksum(line.substr(0, 68)));
}

// ---------------------------------------------------------------------------
// Fixtures

TEST(TleFixtures, ChecksumRuleOnHandCountedText)
{
    EXPECT_EQ(TleChecksum("1 2-3"), 7);         // 1 + 2 + 1 (the minus) + 3
    EXPECT_EQ(TleChecksum("U.+ABC"), 0);        // letters, points and plus count 0
    EXPECT_EQ(TleChecksum("99999 9"), 4);       // 54 modulo 10
}

TEST(TleFixtures, EveryElementLineHas69ColumnsAndItsCheckDigit)
{
    for (auto line : AllFixtureLines) ExpectWellFormed(line);
    for (int i : {1, 2, 9, 10, 99, 100, 499, 500, 501}) {
        ExpectWellFormed(GeneratedLine1(i));
        ExpectWellFormed(GeneratedLine2(i));
    }
    for (const char* file : {"three.tle", "five.tle"}) {
        SCOPED_TRACE(file);
        int elementLines = 0;
        for (const std::string& line : SplitLines(ReadFixture(file))) {
            if (line.rfind("1 ", 0) == 0 || line.rfind("2 ", 0) == 0) {
                ExpectWellFormed(line);
                ++elementLines;
            }
        }
        EXPECT_GT(elementLines, 0);
    }
}

TEST(TleFixtures, ThreeTleIsTheThreeSatellitesWithCrLf)
{
    EXPECT_EQ(ReadFixture("three.tle"), ThreeSatellites("\r\n"));
}

// ---------------------------------------------------------------------------
// Lenient number rule

struct NumberCase {
    const char* Text;
    double Value;
    const char* Why;
};

TEST(LenientNumber, Table)
{
    const double inf = std::numeric_limits<double>::infinity();
    const NumberCase cases[] = {
        {" 12.5", 12.5, "leading blank skipped"},
        {"1 2", 12, "a blank inside is skipped, so the digits join"},
        {"-3.5e2", -350, "-3.5 times 10^2"},
        {"1.5D1", 15, "D is the Fortran exponent letter: 1.5 times 10"},
        {"1.5E+1", 15, "explicit exponent sign"},
        {"abc", 0, "no digits"},
        {"", 0, "no text"},
        {"12abc", 12, "reading stops at the first letter"},
        {"+7", 7, "plus sign"},
        {".5", 0.5, "no digit before the point"},
        {"5.", 5, "no digit after the point"},
        {"-.5", -0.5, "sign then point"},
        {"-", 0, "a sign alone has no digits"},
        {"--5", 0, "a second sign does not fit"},
        {"- 5", -5, "blank between sign and digits skipped"},
        {"1E", 1, "an exponent letter without digits adds nothing"},
        {"1E-", 1, "an exponent sign without digits adds nothing"},
        {"1E999", inf, "beyond the double range"},
        {"-1E999", -inf, "beyond the double range, negative"},
        {"1E-999", 0, "below the smallest double"},
        {"1E0000001", 10, "leading zeros of an exponent do not make it large"},
        {"1E-0000001", 0.1, "leading zeros of a negative exponent"},
        {"\t1\n2", 12, "tab and line feed are skipped like blanks"},
        {"1.2.3", 1.2, "a second point stops reading"},
        {"1E5.5", 1e5, "a point in the exponent stops reading"},
        {"0.00001234", 0.00001234, "the Decay text of \" .00001234\""},
        {"0.0012345", 0.0012345, "the Eccentricity text of \"0012345\""},
        {"007", 7, "leading zeros"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.Text + "\": " + c.Why);
        EXPECT_DOUBLE_EQ(LenientNumber(c.Text), c.Value);
    }
}

// ---------------------------------------------------------------------------
// Loader

TEST(ParseCatalogue, ThreeLineLayoutGivesOneEntryPerSatelliteInFileOrder)
{
    auto cat = NewCatalogue();
    LoadResult r = ParseCatalogue(ThreeSatellites(), "three.tle", *cat);
    EXPECT_EQ(cat->CatalogueCount, 3);
    EXPECT_EQ(r.Names, (std::vector<std::string>{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    EXPECT_EQ(r.IgnoredNames, 0);
    EXPECT_EQ(r.OrphanElementLines, 0);
    const Expected* expected[] = {&Tavsat, &Kestrel, &Orbis};
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        ExpectEntry(cat->Entry(i), *expected[i - 1]);
    }
}

TEST(ParseCatalogue, EpochFieldEndsAtTheBlankOfColumn33)
{
    ASSERT_EQ(TavsatL1.substr(18, 14), "20345.51234567"); // columns 19-32
    ASSERT_EQ(TavsatL1[32], ' ');                         // column 33
    auto cat = NewCatalogue();
    ParseCatalogue(ThreeSatellites(), "three.tle", *cat);
    EXPECT_DOUBLE_EQ(cat->Entry(1).Epoch, 20345.51234567);
}

TEST(ParseCatalogue, DecayIgnoresTheSignColumn)
{
    struct Case { std::string_view Line1; const char* Field; } cases[] = {
        {TavsatL1, " .00001234"},
        {TavsatL1Minus, "-.00001234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Field);
        ASSERT_EQ(c.Line1.substr(33, 10), c.Field); // columns 34-43
        auto cat = NewCatalogue();
        ParseCatalogue(Join({TavsatName, c.Line1, TavsatL2}, "\r\n"), "t", *cat);
        EXPECT_DOUBLE_EQ(cat->Entry(1).Decay, 0.00001234); // "0." + columns 36-43
    }
}

TEST(ParseCatalogue, LineEndingsCrLfCrLfAndMixedGiveTheSameCatalogue)
{
    const std::vector<std::string_view> lines = {TavsatName, TavsatL1, TavsatL2, KestrelName, KestrelL1,
                                                 KestrelL2,  OrbisName, OrbisL1,  OrbisL2};
    std::string mixed;
    const char* eols[] = {"\r\n", "\n", "\r"};
    for (std::size_t i = 0; i < lines.size(); ++i) mixed += std::string(lines[i]) + eols[i % 3];
    std::string noFinalEnd = ThreeSatellites("\r\n");
    noFinalEnd.resize(noFinalEnd.size() - 2);

    struct Case { const char* Label; std::string Text; } cases[] = {
        {"CR LF", ThreeSatellites("\r\n")},
        {"LF", ThreeSatellites("\n")},
        {"CR", ThreeSatellites("\r")},
        {"mixed", mixed},
        {"last line without an end", noFinalEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        auto cat = NewCatalogue();
        ParseCatalogue(c.Text, "t", *cat);
        ASSERT_EQ(cat->CatalogueCount, 3);
        ExpectEntry(cat->Entry(1), Tavsat);
        ExpectEntry(cat->Entry(2), Kestrel);
        ExpectEntry(cat->Entry(3), Orbis); // its Line2 must carry no stray CR
    }
}

TEST(ParseCatalogue, BlankAndSpacesOnlyLinesChangeNothing)
{
    struct Case { const char* Label; std::vector<std::string_view> Lines; } cases[] = {
        {"between entries", {TavsatName, TavsatL1, TavsatL2, "", KestrelName, KestrelL1, KestrelL2,
                             "    ", OrbisName, OrbisL1, OrbisL2}},
        {"inside entries", {TavsatName, "", TavsatL1, "   ", TavsatL2, KestrelName, KestrelL1, "",
                            KestrelL2, OrbisName, " ", OrbisL1, OrbisL2}},
        {"before and after", {"", "  ", TavsatName, TavsatL1, TavsatL2, KestrelName, KestrelL1,
                              KestrelL2, OrbisName, OrbisL1, OrbisL2, "", "", "     "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        auto cat = NewCatalogue();
        LoadResult r = ParseCatalogue(Join(c.Lines, "\r\n"), "t", *cat);
        ASSERT_EQ(cat->CatalogueCount, 3);
        EXPECT_EQ(r.OrphanElementLines, 0);
        ExpectEntry(cat->Entry(1), Tavsat);
        ExpectEntry(cat->Entry(2), Kestrel);
        ExpectEntry(cat->Entry(3), Orbis);
    }
}

TEST(ParseCatalogue, NameLineIsTrimmedButKeepsALeadingZeroAndBlank)
{
    struct Case { std::string_view Line; const char* Name; } cases[] = {
        {"   TAVSAT 1   ", "TAVSAT 1"},
        {"TAVSAT  1", "TAVSAT  1"}, // blanks inside stay
        {"0 TAVSAT 1", "0 TAVSAT 1"},
        {"  0 TAVSAT 1 ", "0 TAVSAT 1"},
        {"1TAVSAT", "1TAVSAT"},     // a digit without a blank after it is a name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + std::string(c.Line) + "\"");
        auto cat = NewCatalogue();
        LoadResult r = ParseCatalogue(Join({c.Line, TavsatL1, TavsatL2}, "\r\n"), "t", *cat);
        ASSERT_EQ(cat->CatalogueCount, 1);
        EXPECT_EQ(cat->Entry(1).SatName, c.Name);
        EXPECT_EQ(r.Names, std::vector<std::string>{c.Name});
        EXPECT_DOUBLE_EQ(cat->Entry(1).MeanMotion, Tavsat.MeanMotion);
    }
}

TEST(ParseCatalogue, NameBeginningWithOneOrTwoAndBlankIsReadAsAnElementLine)
{
    struct Case { std::string_view Line; bool IsLine1; } cases[] = {
        {"1 KITTY", true},
        {"2 KITTY", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Line));
        auto cat = NewCatalogue();
        LoadResult r = ParseCatalogue(Join({TavsatName, TavsatL1, TavsatL2, c.Line}, "\r\n"), "t", *cat);
        // No second entry: the would-be name replaced one element line of entry 1.
        ASSERT_EQ(cat->CatalogueCount, 1);
        EXPECT_EQ(r.Names, std::vector<std::string>{"TAVSAT 1"});
        const ElementSet& e = cat->Entry(1);
        if (c.IsLine1) {
            EXPECT_EQ(e.Line1, c.Line);
            EXPECT_EQ(e.Epoch, 0);                   // columns 19-33 do not exist
            EXPECT_EQ(e.Decay, 0);
            EXPECT_EQ(e.Line2, TavsatL2);
        } else {
            EXPECT_EQ(e.Line2, c.Line);
            EXPECT_EQ(e.Inclination, 0);             // columns 9-16 do not exist
            EXPECT_EQ(e.MeanMotion, 0);
            EXPECT_EQ(e.Line1, TavsatL1);
        }
    }
}

TEST(ParseCatalogue, ShortLine2YieldsTheColumnsThatExist)
{
    // TavsatL2 cut after the given number of columns.
    struct Case { std::size_t Length; double MeanAnomaly, MeanMotion, RevNumber; const char* Why; } cases[] = {
        {51, 123.4567, 0, 0, "ends with the mean anomaly, before column 53"},
        {52, 123.4567, 0, 0, "ends with the blank of column 52"},
        {56, 123.4567, 15.5, 0, "columns 53-56 hold \"15.5\""},
        {63, 123.4567, 15.50123456, 0, "mean motion complete, no revolution number"},
        {66, 123.4567, 15.50123456, 123, "columns 64-66 hold \"123\""},
        {68, 123.4567, 15.50123456, 12345, "without the check digit"},
        {47, 123, 0, 0, "columns 44-47 hold \"123.\"; 48 onward missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Length) + " columns: " + c.Why);
        std::string_view line = TavsatL2.substr(0, c.Length);
        auto cat = NewCatalogue();
        ParseCatalogue(Join({TavsatName, TavsatL1, line}, "\r\n"), "t", *cat);
        const ElementSet& e = cat->Entry(1);
        EXPECT_EQ(e.Line2, line);
        EXPECT_DOUBLE_EQ(e.Inclination, Tavsat.Inclination);
        EXPECT_DOUBLE_EQ(e.ArgPerigee, Tavsat.ArgPerigee);
        EXPECT_DOUBLE_EQ(e.MeanAnomaly, c.MeanAnomaly);
        EXPECT_DOUBLE_EQ(e.MeanMotion, c.MeanMotion);
        EXPECT_DOUBLE_EQ(e.RevNumber, c.RevNumber);
    }
}

TEST(ParseCatalogue, ShortLine1YieldsTheColumnsThatExist)
{
    struct Case { std::size_t Length; double Epoch, Decay; const char* Why; } cases[] = {
        {33, 20345.51234567, 0, "ends after the epoch; Decay is \"0.\" alone"},
        {40, 20345.51234567, 0.00001, "columns 36-40 hold \"00001\""},
        {25, 20345.5, 0, "columns 19-25 hold \"20345.5\""},
        {10, 0, 0, "no epoch columns"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Length) + " columns: " + c.Why);
        auto cat = NewCatalogue();
        ParseCatalogue(Join({TavsatName, TavsatL1.substr(0, c.Length), TavsatL2}, "\r\n"), "t", *cat);
        EXPECT_DOUBLE_EQ(cat->Entry(1).Epoch, c.Epoch);
        EXPECT_DOUBLE_EQ(cat->Entry(1).Decay, c.Decay);
    }
}

// A line cut off inside a field gave another number for it, lines of two
// satellites were combined, and a damaged line with its old check digit went
// unnoticed.
TEST(CheckElementLines, Table)
{
    const std::string l1(TavsatL1), l2(TavsatL2);
    auto withLast = [](std::string line, char c) { line.back() = c; return line; };
    struct Case {
        std::string Line1, Line2;
        const char* Problem;
        std::vector<std::string> Warnings;
    } cases[] = {
        {l1, l2, "", {}},
        {std::string(TavsatL1Minus), l2, "", {}}, // the minus sign counts 1
        {std::string(OrbisL1), std::string(OrbisL2), "", {}},
        {l1, withLast(l2, '0'), "", {"element line 2: its check digit is 0, but its columns 1-68 give 5; the line may be damaged"}},
        {withLast(l1, 'x'), l2, "", {"element line 1: column 69 holds no check digit"}},
        {l1, l2 + " ", "", {"element line 2: it has 70 characters, not 69"}},
        {l1.substr(0, 68), l2, "", {"element line 1: it has 68 characters, not 69"}},
        {l1, l2.substr(0, 63), "", {"element line 2: it has 63 characters, not 69"}},
        {l1, l2.substr(0, 62), "its element line 2 is cut off after column 62, inside the mean motion (columns 53-63)",
         {"element line 2: it has 62 characters, not 69"}},
        {l1.substr(0, 33), l2, "its element line 1 is cut off after column 33, before the first derivative of the mean motion (columns 34-43)",
         {"element line 1: it has 33 characters, not 69"}},
        {l1, "2 90002" + l2.substr(7), "its element lines belong to two satellites: line 1 has the catalogue number \"90001\", line 2 \"90002\"",
         {"element line 2: its check digit is 5, but its columns 1-68 give 6; the line may be damaged"}},
        // Leading zeros or blanks write the same number.
        {"1 00005" + l1.substr(7), "2     5" + l2.substr(7), "",
         {"element line 1: its check digit is 5, but its columns 1-68 give 0; the line may be damaged",
          "element line 2: its check digit is 5, but its columns 1-68 give 0; the line may be damaged"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Line1 + " / " + c.Line2);
        const ElementLineCheck check = CheckElementLines(c.Line1, c.Line2);
        EXPECT_EQ(check.Problem, c.Problem);
        EXPECT_EQ(check.Warnings, c.Warnings);
    }
}

TEST(ParseCatalogue, ElementLinesBeforeTheFirstNameAreCountedAndBelongToNoEntry)
{
    auto cat = NewCatalogue();
    LoadResult r = ParseCatalogue(Join({"", OrbisL1, OrbisL2, "1 STRAY"}, "\r\n") + ThreeSatellites(), "t", *cat);
    EXPECT_EQ(r.OrphanElementLines, 3);
    ASSERT_EQ(cat->CatalogueCount, 3);
    ExpectEntry(cat->Entry(1), Tavsat);
    EXPECT_EQ(r.Names.front(), "TAVSAT 1");
}

TEST(ParseCatalogue, ElementLinesMayComeInEitherOrder)
{
    auto cat = NewCatalogue();
    ParseCatalogue(Join({KestrelName, KestrelL2, KestrelL1, OrbisName, OrbisL2, OrbisL1}, "\n"), "t", *cat);
    ASSERT_EQ(cat->CatalogueCount, 2);
    ExpectEntry(cat->Entry(1), Kestrel);
    ExpectEntry(cat->Entry(2), Orbis);
}

TEST(ParseCatalogue, LaterLineOfTheSameKindReplacesTheEarlierAndAllItsFields)
{
    {
        SCOPED_TRACE("both lines replaced");
        auto cat = NewCatalogue();
        ParseCatalogue(Join({TavsatName, TavsatL1, TavsatL2, KestrelL1, KestrelL2}, "\r\n"), "t", *cat);
        ASSERT_EQ(cat->CatalogueCount, 1);
        Expected x = Kestrel;
        x.Name = TavsatName; // the name stays; element lines are not matched to it
        ExpectEntry(cat->Entry(1), x);
    }
    {
        SCOPED_TRACE("only line 2 replaced, by a short one");
        auto cat = NewCatalogue();
        ParseCatalogue(Join({TavsatName, TavsatL1, TavsatL2, KestrelL2.substr(0, 51)}, "\r\n"), "t", *cat);
        const ElementSet& e = cat->Entry(1);
        EXPECT_EQ(e.Line1, TavsatL1);
        EXPECT_DOUBLE_EQ(e.Epoch, Tavsat.Epoch);
        EXPECT_DOUBLE_EQ(e.Inclination, Kestrel.Inclination);
        // Not kept from the replaced TAVSAT line 2: the short line has no column 53 on.
        EXPECT_EQ(e.MeanMotion, 0);
        EXPECT_EQ(e.RevNumber, 0);
    }
}

TEST(ParseCatalogue, FiveHundredNamesFillEveryEntry)
{
    auto cat = NewCatalogue();
    LoadResult r = ParseCatalogue(GeneratedCatalogue(500), "t", *cat);
    ASSERT_EQ(cat->CatalogueCount, 500);
    ASSERT_EQ(r.Names.size(), 500u);
    EXPECT_EQ(r.IgnoredNames, 0);
    for (int i : {1, 2, 250, 499, 500}) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(cat->Entry(i).SatName, GeneratedName(i));
        EXPECT_EQ(r.Names[static_cast<std::size_t>(i - 1)], GeneratedName(i));
        EXPECT_EQ(cat->Entry(i).Line1, GeneratedLine1(i));
        EXPECT_DOUBLE_EQ(cat->Entry(i).RevNumber, i);         // columns 64-68 hold i
        EXPECT_DOUBLE_EQ(cat->Entry(i).MeanAnomaly, i * 0.5); // columns 44-51 hold i / 2
    }
}

TEST(ParseCatalogue, The501stNameAndItsElementLinesAreLeftOut)
{
    auto cat = NewCatalogue();
    LoadResult r = ParseCatalogue(GeneratedCatalogue(501), "t", *cat);
    EXPECT_EQ(cat->CatalogueCount, 500);
    EXPECT_EQ(r.Names.size(), 500u);
    EXPECT_EQ(r.IgnoredNames, 1);
    EXPECT_EQ(r.LeftOutNames, std::vector<std::string>{"GEN 501"}); // so that choosing it can say why it fails
    EXPECT_EQ(r.OrphanElementLines, 0);
    const ElementSet& last = cat->Entry(500);
    EXPECT_EQ(last.SatName, "GEN 500");
    EXPECT_EQ(last.Line1, GeneratedLine1(500));
    EXPECT_EQ(last.Line2, GeneratedLine2(500));
    EXPECT_DOUBLE_EQ(last.RevNumber, 500); // not 501 from the left-out entry
}

TEST(ParseCatalogue, ShorterReloadListsOnlyTheNewNames)
{
    auto cat = NewCatalogue();
    ParseCatalogue(GeneratedCatalogue(5), "five", *cat);
    ASSERT_EQ(cat->CatalogueCount, 5);
    LoadResult r = ParseCatalogue(Join({KestrelName, KestrelL1, KestrelL2, OrbisName, OrbisL1, OrbisL2}, "\r\n"),
                                  "two", *cat);
    EXPECT_EQ(cat->CatalogueCount, 2);
    EXPECT_EQ(r.Names, (std::vector<std::string>{"KESTREL-2", "ORBIS M"}));
    ExpectEntry(cat->Entry(1), Kestrel);
    ExpectEntry(cat->Entry(2), Orbis);
    // Entries above the count are left as they were, unlisted and unselectable.
    EXPECT_EQ(cat->Entry(3).SatName, "GEN 003");
    EXPECT_THROW(SelectElementSet(*cat, 3), InputError);
}

TEST(ParseCatalogue, NameWithoutElementLinesGetsAFreshEntry)
{
    auto cat = NewCatalogue();
    ParseCatalogue(ThreeSatellites(), "three", *cat);
    {
        SCOPED_TRACE("no element line");
        ParseCatalogue("LONELY\r\n", "one", *cat);
        ASSERT_EQ(cat->CatalogueCount, 1);
        EXPECT_EQ(cat->Entry(1).SatName, "LONELY");
        ExpectBlankElements(cat->Entry(1)); // nothing left over from TAVSAT 1
    }
    ParseCatalogue(ThreeSatellites(), "three", *cat);
    {
        SCOPED_TRACE("line 1 only");
        ParseCatalogue(Join({"HALF", KestrelL1, "WHOLE", OrbisL1, OrbisL2}, "\r\n"), "two", *cat);
        ASSERT_EQ(cat->CatalogueCount, 2);
        const ElementSet& half = cat->Entry(1);
        EXPECT_EQ(half.Line1, KestrelL1);
        EXPECT_DOUBLE_EQ(half.Epoch, Kestrel.Epoch);
        EXPECT_EQ(half.Line2, "");
        EXPECT_EQ(half.Inclination, 0);
        EXPECT_EQ(half.MeanMotion, 0);
        EXPECT_EQ(half.RevNumber, 0);
        Expected whole = Orbis;
        whole.Name = "WHOLE";
        ExpectEntry(cat->Entry(2), whole);
    }
}

TEST(ParseCatalogue, TextWithoutANameLineIsRefusedAndTheCatalogueKept)
{
    const std::string cases[] = {
        "",
        "\r\n   \r\n\n",
        Join({TavsatL1, TavsatL2}, "\r\n"),
    };
    for (const auto& text : cases) {
        SCOPED_TRACE("\"" + text + "\"");
        auto cat = NewCatalogue();
        ParseCatalogue(ThreeSatellites(), "three", *cat);
        std::string message = InputErrorMessage([&] { ParseCatalogue(text, "weekly.tle", *cat); });
        EXPECT_TRUE(Contains(message, "weekly.tle")) << message;
        ASSERT_EQ(cat->CatalogueCount, 3);
        ExpectEntry(cat->Entry(1), Tavsat);
        ExpectEntry(cat->Entry(3), Orbis);
    }
}

TEST(ParseCatalogue, Utf8ByteOrderMarkIsNotPartOfTheFirstName)
{
    auto cat = NewCatalogue();
    ParseCatalogue("\xEF\xBB\xBF" + ThreeSatellites(), "t", *cat);
    ASSERT_EQ(cat->CatalogueCount, 3);
    EXPECT_EQ(cat->Entry(1).SatName, "TAVSAT 1");
}

// ---------------------------------------------------------------------------
// Loading files

TEST(LoadCatalogue, ReadsTheThreeLineFixture)
{
    auto cat = NewCatalogue();
    LoadResult r = LoadCatalogue(DataFolder + "/three.tle", *cat);
    ASSERT_EQ(cat->CatalogueCount, 3);
    EXPECT_EQ(r.Names, (std::vector<std::string>{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    ExpectEntry(cat->Entry(1), Tavsat);
    ExpectEntry(cat->Entry(2), Kestrel);
    ExpectEntry(cat->Entry(3), Orbis);
}

TEST(LoadCatalogue, ReloadReplacesTheListedEntries)
{
    auto cat = NewCatalogue();
    LoadResult five = LoadCatalogue(DataFolder + "/five.tle", *cat);
    EXPECT_EQ(five.Names, (std::vector<std::string>{"HERON 4", "0 PIPIT", "TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    // Line 2 of 0 PIPIT holds "14.80000000" in columns 53-63.
    EXPECT_DOUBLE_EQ(cat->Entry(2).MeanMotion, 14.8);
    LoadResult three = LoadCatalogue(DataFolder + "/three.tle", *cat);
    EXPECT_EQ(cat->CatalogueCount, 3);
    EXPECT_EQ(three.Names, (std::vector<std::string>{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    ExpectEntry(cat->Entry(1), Tavsat);
}

TEST(LoadCatalogue, MissingFileOrFolderIsRefusedNamingThePath)
{
    const std::string paths[] = {DataFolder + "/no-such-file.tle", DataFolder};
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        auto cat = NewCatalogue();
        ParseCatalogue(ThreeSatellites(), "three", *cat);
        std::string message = InputErrorMessage([&] { LoadCatalogue(path, *cat); });
        EXPECT_TRUE(Contains(message, path)) << message;
        EXPECT_EQ(cat->CatalogueCount, 3);
        ExpectEntry(cat->Entry(2), Kestrel);
    }
}

// ---------------------------------------------------------------------------
// Current element set

void ExpectCopyOf(const CurrentElementSet& c, const ElementSet& e)
{
    EXPECT_EQ(c.CurrentSatName, e.SatName);
    EXPECT_EQ(c.Line1, e.Line1);
    EXPECT_EQ(c.Line2, e.Line2);
    EXPECT_EQ(c.Epoch, e.Epoch);
    EXPECT_EQ(c.Inclination, e.Inclination);
    EXPECT_EQ(c.RAAN, e.RAAN);
    EXPECT_EQ(c.Eccentricity, e.Eccentricity);
    EXPECT_EQ(c.ArgPerigee, e.ArgPerigee);
    EXPECT_EQ(c.MeanAnomaly, e.MeanAnomaly);
    EXPECT_EQ(c.MeanMotion, e.MeanMotion);
    EXPECT_EQ(c.Decay, e.Decay);
    EXPECT_EQ(c.RevNumber, e.RevNumber);
    EXPECT_EQ(c.BStar, e.BStar);
}

TEST(SelectElementSet, CopiesEveryFieldOfTheChosenEntry)
{
    // Every field differs between the three satellites, so a field copied
    // from the wrong place or the wrong entry shows.
    auto cat = NewCatalogue();
    ParseCatalogue(ThreeSatellites(), "three", *cat);
    const Expected* expected[] = {&Tavsat, &Kestrel, &Orbis};
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        CurrentElementSet c = SelectElementSet(*cat, i);
        ExpectCopyOf(c, cat->Entry(i));
        EXPECT_EQ(c.CurrentSatName, expected[i - 1]->Name);
        EXPECT_DOUBLE_EQ(c.RAAN, expected[i - 1]->RAAN);
        EXPECT_DOUBLE_EQ(c.ArgPerigee, expected[i - 1]->ArgPerigee);
    }
}

TEST(SelectElementSet, SameIndexTwiceGivesTheSameState)
{
    auto cat = NewCatalogue();
    ParseCatalogue(ThreeSatellites(), "three", *cat);
    CurrentElementSet first = SelectElementSet(*cat, 3);
    SelectElementSet(*cat, 1);
    CurrentElementSet again = SelectElementSet(*cat, 3);
    ExpectCopyOf(first, cat->Entry(3));
    ExpectCopyOf(again, cat->Entry(3));
}

TEST(SelectElementSet, CopyIsIndependentOfLaterLoads)
{
    auto cat = NewCatalogue();
    ParseCatalogue(ThreeSatellites(), "three", *cat);
    CurrentElementSet current = SelectElementSet(*cat, 1);
    ParseCatalogue(Join({OrbisName, OrbisL1, OrbisL2}, "\r\n"), "one", *cat); // overwrites entry 1
    ASSERT_EQ(cat->Entry(1).SatName, "ORBIS M");
    EXPECT_EQ(current.CurrentSatName, "TAVSAT 1");
    EXPECT_EQ(current.Line1, TavsatL1);
    EXPECT_DOUBLE_EQ(current.MeanMotion, Tavsat.MeanMotion);
    EXPECT_DOUBLE_EQ(current.Eccentricity, Tavsat.Eccentricity);
    EXPECT_EQ(SelectElementSet(*cat, 1).CurrentSatName, "ORBIS M");
}

TEST(SelectElementSet, IndexOutsideTheLoadedEntriesIsRefused)
{
    auto cat = NewCatalogue();
    ParseCatalogue(ThreeSatellites(), "three", *cat);
    for (int index : {0, -1, 4, 500, 501, 32767}) {
        SCOPED_TRACE(index);
        std::string message = InputErrorMessage([&] { SelectElementSet(*cat, index); });
        EXPECT_TRUE(Contains(message, std::to_string(index))) << message;
    }
    auto empty = NewCatalogue();
    EXPECT_THROW(SelectElementSet(*empty, 1), InputError); // nothing loaded yet
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

TEST(ParseCatalogue, NamesInTheWindowsCodePageBecomeUtf8)
{
    SatelliteCatalogue catalogue;
    ParseCatalogue("CAF\xC9 SAT\nR\xC3\x96MER\n", "names.tle", catalogue);
    EXPECT_EQ(catalogue.Entry(1).SatName, "CAF\xC3\x89 SAT");
    EXPECT_EQ(catalogue.Entry(2).SatName, "R\xC3\x96MER"); // UTF-8 stays as it is
}

// Control characters of a damaged name line went into the name as they were,
// and from there into terminals (an escape sequence acts there), message
// boxes and list headers.
TEST(ParseCatalogue, ControlCharactersInANameAreShownAsQuestionMarks)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    ParseCatalogue(std::string("SAT\x1B[2J\0X\x7F\n\tNOAA\t19\t\n", 21), "names.tle", *catalogue);
    EXPECT_EQ(catalogue->Entry(1).SatName, "SAT?[2J?X?");
    EXPECT_EQ(catalogue->Entry(2).SatName, "NOAA 19");
    // The bidirectional overrides and isolates turn the text around them, and
    // a C1 control (here CSI) acts on some terminals as ESC [ does.
    ParseCatalogue("SAT \xE2\x80\xAE" "1-ATAN\xE2\x80\xAC\nA\xE2\x81\xA6" "B\xE2\x81\xA9\nC\xC2\x9B" "2J\nCAF\xC3\x89\n",
                   "names.tle", *catalogue);
    EXPECT_EQ(catalogue->Entry(1).SatName, "SAT ?1-ATAN?");
    EXPECT_EQ(catalogue->Entry(2).SatName, "A?B?");
    EXPECT_EQ(catalogue->Entry(3).SatName, "C?2J");
    EXPECT_EQ(catalogue->Entry(4).SatName, "CAF\xC3\x89");
}

} // namespace
} // namespace tavik
