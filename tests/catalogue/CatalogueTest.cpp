// The TLE loader, the lenient number rule, the line checks and the selection
// of the current element set. The three satellites are made up (catalogue
// numbers 90001 to 90003); tests/data/three.tle holds the same nine lines
// with CR LF endings.
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueUpdate.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace tavik {
namespace {

using test::Contains;
using test::InputErrorMessage;

// Columns:                             1        10        20        30        40        50        60       69
constexpr std::string_view TavsatL1 =  "1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995";
constexpr std::string_view TavsatL2 =  "2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123455";
constexpr std::string_view KestrelL1 = "1 90002U 23055B   24123.25000000  .00000152  00000-0  84210-4 0  4122";
constexpr std::string_view KestrelL2 = "2 90002  98.7012  12.3456 0001420  87.6543 272.4890 14.21876543 67894";
constexpr std::string_view OrbisL1 =   "1 90003U 22077A   24200.75312500 -.00000123  00000-0  10000-3 0   577";
constexpr std::string_view OrbisL2 =   "2 90003  63.4215 301.2000 7201234 270.1234  15.6789  2.00612345 12348";

// The fields read off the columns: epoch, decay ("0." and columns 36-43,
// without the sign of column 34), inclination, RAAN, eccentricity, argument
// of perigee, mean anomaly, mean motion, revolution number and B*.
struct Expected {
    std::string_view Name, Line1, Line2;
    double Fields[10];
};
const Expected Tavsat{"TAVSAT 1", TavsatL1, TavsatL2, {20345.51234567, 0.00001234, 51.6416, 247.4627, 0.0012345,
                                                       130.5360, 123.4567, 15.50123456, 12345, 0.23456e-4}};
const Expected Kestrel{"KESTREL-2", KestrelL1, KestrelL2, {24123.25, 0.00000152, 98.7012, 12.3456, 0.0001420,
                                                           87.6543, 272.4890, 14.21876543, 6789, 0.84210e-4}};
const Expected Orbis{"ORBIS M", OrbisL1, OrbisL2, {24200.753125, 0.00000123, 63.4215, 301.2000, 0.7201234,
                                                   270.1234, 15.6789, 2.00612345, 1234, 0.10000e-3}};

void ExpectEntry(const ElementSet& e, const Expected& x)
{
    EXPECT_TRUE(e.SatName == x.Name && e.Line1 == x.Line1 && e.Line2 == x.Line2) << e.SatName << "|" << e.Line2;
    const double got[] = {e.Epoch, e.Decay, e.Inclination, e.RAAN, e.Eccentricity, e.ArgPerigee,
                          e.MeanAnomaly, e.MeanMotion, e.RevNumber, e.BStar};
    for (std::size_t i = 0; i < std::size(got); ++i) EXPECT_DOUBLE_EQ(got[i], x.Fields[i]) << "field " << i;
}

std::string Join(const std::vector<std::string_view>& lines, std::string_view eol = "\r\n")
{
    std::string text;
    for (auto line : lines) (text += line) += eol;
    return text;
}

std::string ThreeSatellites(std::string_view eol = "\r\n")
{
    return Join({"TAVSAT 1", TavsatL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2, "ORBIS M", OrbisL1, OrbisL2}, eol);
}

// The catalogue is 500 records; keep it off the stack.
std::unique_ptr<SatelliteCatalogue> Loaded(std::string_view text, LoadResult* result = nullptr)
{
    auto cat = std::make_unique<SatelliteCatalogue>();
    const LoadResult r = ParseCatalogue(text, "t.tle", *cat);
    if (result) *result = r;
    return cat;
}

TEST(LenientNumber, ReadsTheLongestPrefixThatFitsTheNumberRule)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct { const char* Text; double Value; } cases[] = {
        {" 12.5", 12.5}, {"1 2", 12}, {"\t1\n2", 12}, {"-3.5e2", -350}, {"1.5D1", 15}, {"1.5d+1", 15},
        {"abc", 0}, {"", 0}, {"12abc", 12}, {"+7", 7}, {".5", 0.5}, {"5.", 5}, {"-.5", -0.5}, {"-", 0},
        {".", 0}, {"--5", 0}, {"- 5", -5}, {"1E", 1}, {"1E-", 1}, {"1E999", inf}, {"-1E999", -inf},
        {"1E-999", 0}, {"1E0000001", 10}, {"1E-0000001", 0.1}, {"1E00", 1}, {"1.2.3", 1.2}, {"1E5.5", 1e5},
        {"1E1234567", inf}, {"0.00001234", 0.00001234},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LenientNumber(c.Text), c.Value) << '"' << c.Text << '"';
}

// Every way of writing the three satellites gives the same three entries.
TEST(ParseCatalogue, LineEndsBlankLinesByteOrderMarkAndLineOrderGiveTheSameEntries)
{
    std::string mixed, noFinalEnd = ThreeSatellites();
    const std::string_view lines[] = {"TAVSAT 1", TavsatL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2, "ORBIS M",
                                      OrbisL1, OrbisL2};
    for (std::size_t i = 0; i < std::size(lines); ++i) (mixed += lines[i]) += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
    noFinalEnd.resize(noFinalEnd.size() - 2);
    const struct { std::string Text; int Orphans = 0; } cases[] = {
        {ThreeSatellites()}, {ThreeSatellites("\n")}, {ThreeSatellites("\r")}, {mixed}, {noFinalEnd},
        {"\xEF\xBB\xBF" + ThreeSatellites()},
        {Join({"", "  ", "TAVSAT 1", "", TavsatL1, "   ", TavsatL2, "\t", "KESTREL-2", KestrelL1, KestrelL2, " ",
               "ORBIS M", OrbisL1, OrbisL2, "", "     "})},
        {Join({"TAVSAT 1", TavsatL2, TavsatL1, "KESTREL-2", KestrelL1, KestrelL2, "ORBIS M", OrbisL2, OrbisL1})},
        {Join({"", OrbisL1, OrbisL2, "1 STRAY"}) + ThreeSatellites(), 3}, // before the first name: in no entry
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        LoadResult r;
        const auto cat = Loaded(c.Text, &r);
        ASSERT_EQ(cat->CatalogueCount, 3);
        EXPECT_EQ(r.Names, (std::vector<std::string>{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
        EXPECT_EQ(r.OrphanElementLines, c.Orphans);
        ExpectEntry(cat->Entry(1), Tavsat);
        ExpectEntry(cat->Entry(2), Kestrel);
        ExpectEntry(cat->Entry(3), Orbis); // its Line2 must carry no stray CR
    }
}

// A field read one column too far or too short took in its neighbour's
// digit or lost its own: a digit written just outside a field changes
// nothing, one written in its first or last column changes it.
TEST(ParseCatalogue, EachFieldReadsExactlyItsColumns)
{
    const struct { int Line; std::size_t First, Last; double ElementSet::*Field; } fields[] = {
        {1, 19, 33, &ElementSet::Epoch}, {1, 36, 43, &ElementSet::Decay}, {1, 54, 61, &ElementSet::BStar},
        {2, 9, 16, &ElementSet::Inclination}, {2, 18, 25, &ElementSet::RAAN}, {2, 27, 33, &ElementSet::Eccentricity},
        {2, 35, 42, &ElementSet::ArgPerigee}, {2, 44, 51, &ElementSet::MeanAnomaly},
        {2, 53, 63, &ElementSet::MeanMotion}, {2, 64, 68, &ElementSet::RevNumber},
    };
    const auto original = Loaded(ThreeSatellites());
    for (const auto& f : fields) {
        for (std::size_t column : {f.First - 1, f.First, f.Last, f.Last + 1}) {
            std::string l1(TavsatL1), l2(TavsatL2);
            char& c = (f.Line == 1 ? l1 : l2)[column - 1];
            c = c == '9' ? '8' : '9';
            const double read = Loaded(Join({"TAVSAT 1", l1, l2}))->Entry(1).*f.Field;
            EXPECT_EQ(read != original->Entry(1).*f.Field, column >= f.First && column <= f.Last)
                << "line " << f.Line << ", digit in column " << column << ": " << read;
        }
    }
}

TEST(ParseCatalogue, CutLinesYieldTheColumnsThatExist)
{
    const struct { std::size_t Length1, Length2; double Epoch, Decay, MeanAnomaly, MeanMotion, RevNumber; } cases[] = {
        {69, 47, 20345.51234567, 0.00001234, 123, 0, 0}, // columns 44-47 hold "123."
        {69, 52, 20345.51234567, 0.00001234, 123.4567, 0, 0},
        {69, 53, 20345.51234567, 0.00001234, 123.4567, 1, 0}, // the mean motion's first column only
        {69, 66, 20345.51234567, 0.00001234, 123.4567, 15.50123456, 123},
        {33, 69, 20345.51234567, 0, 123.4567, 15.50123456, 12345}, // Decay is "0." alone
        {25, 0, 20345.5, 0, 0, 0, 0},
        {10, 69, 0, 0, 123.4567, 15.50123456, 12345},
    };
    for (const auto& c : cases) {
        const auto cat = Loaded(Join({"TAVSAT 1", TavsatL1.substr(0, c.Length1), TavsatL2.substr(0, c.Length2)}));
        const ElementSet& e = cat->Entry(1);
        const double got[] = {e.Epoch, e.Decay, e.MeanAnomaly, e.MeanMotion, e.RevNumber};
        const double want[] = {c.Epoch, c.Decay, c.MeanAnomaly, c.MeanMotion, c.RevNumber};
        for (std::size_t i = 0; i < std::size(got); ++i)
            EXPECT_DOUBLE_EQ(got[i], want[i]) << c.Length1 << " and " << c.Length2 << " columns, field " << i;
    }
}

// Names from Windows come in its code page; control characters of a damaged
// name line went as they were into terminals (an escape sequence acts
// there), message boxes and file headers, and bidirectional overrides turned
// the text around them.
TEST(ParseCatalogue, NameIsTrimmedUtf8WithoutControlCharacters)
{
    const struct { std::string Line, Name; } cases[] = {
        {"   TAVSAT  1   ", "TAVSAT  1"}, {" 0 PIPIT\t", "0 PIPIT"}, {"1TAVSAT", "1TAVSAT"},
        {"CAF\xC9 SAT", "CAF\xC3\x89 SAT"}, {"R\xC3\x96MER", "R\xC3\x96MER"},
        {std::string("SAT\x1B[2J\0X\x7F", 10), "SAT?[2J?X?"}, {"NOAA\t19", "NOAA 19"},
        {"SAT \xE2\x80\xAE" "1-ATAN\xE2\x80\xAC", "SAT ?1-ATAN?"}, {"A\xE2\x81\xA6" "B\xE2\x81\xA9", "A?B?"},
        {"C\xC2\x9B" "2J", "C?2J"},
    };
    for (const auto& c : cases) {
        LoadResult r;
        EXPECT_EQ(Loaded(Join({c.Line, TavsatL1, TavsatL2}), &r)->Entry(1).SatName, c.Name);
        EXPECT_EQ(r.Names, std::vector<std::string>{c.Name});
    }
}

// A name without element lines kept the fields an older load had put into
// its entry.
TEST(ParseCatalogue, ReloadGivesFreshEntriesAndALaterLineReplacesAllFieldsOfTheEarlier)
{
    auto cat = Loaded(ThreeSatellites());
    // "1 KITTY" is an element line, not a name.
    LoadResult r = ParseCatalogue(Join({"LONELY", "HALF", KestrelL1, TavsatL2, "1 KITTY", KestrelL2.substr(0, 51)}),
                                  "two.tle", *cat);
    EXPECT_EQ(r.Names, (std::vector<std::string>{"LONELY", "HALF"}));
    const ElementSet& lonely = cat->Entry(1);
    EXPECT_TRUE(lonely.Line1.empty() && lonely.Line2.empty());
    for (double v : {lonely.Epoch, lonely.Decay, lonely.Inclination, lonely.RAAN, lonely.Eccentricity,
                     lonely.ArgPerigee, lonely.MeanAnomaly, lonely.MeanMotion, lonely.RevNumber, lonely.BStar})
        EXPECT_EQ(v, 0);
    const ElementSet& half = cat->Entry(2);
    EXPECT_EQ(half.Line1, "1 KITTY");
    EXPECT_TRUE(half.Epoch == 0 && half.Decay == 0 && half.BStar == 0);
    EXPECT_DOUBLE_EQ(half.Inclination, Kestrel.Fields[2]);
    EXPECT_TRUE(half.MeanMotion == 0 && half.RevNumber == 0); // not kept from TAVSAT's line 2
    // Entries above the count are left as they were, unlisted and unselectable.
    EXPECT_EQ(cat->Entry(3).SatName, "ORBIS M");
    EXPECT_THROW(SelectElementSet(*cat, 3), InputError);
}

TEST(ParseCatalogue, The501stNameAndItsElementLinesAreLeftOut)
{
    std::string text;
    for (int i = 1; i <= 501; ++i) {
        const std::string n = std::to_string(i);
        text += "GEN " + n + "\n1 90001U 20101A   20345.5\n2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.5"
                + std::string(12 - n.size(), ' ') + n + "\n";
    }
    LoadResult r;
    const auto cat = Loaded(text, &r);
    EXPECT_EQ(cat->CatalogueCount, 500);
    EXPECT_TRUE(r.Names.size() == 500 && r.Names.back() == "GEN 500");
    EXPECT_EQ(r.IgnoredNames, 1);
    EXPECT_EQ(r.LeftOutNames, std::vector<std::string>{"GEN 501"}); // so that choosing it can say why it fails
    EXPECT_EQ(r.OrphanElementLines, 0);
    EXPECT_DOUBLE_EQ(cat->Entry(500).RevNumber, 500); // not 501 from the left-out entry
}

TEST(ParseCatalogue, TextOrFileWithoutANameLineIsRefusedAndTheCatalogueKept)
{
    const std::string data = TAVIK_TEST_DATA;
    const struct { std::string Text, Path, Says; } cases[] = {
        {"", "", "weekly.tle: no satellite found"},
        {"\r\n   \r\n\n", "", "weekly.tle: no satellite found"},
        {Join({TavsatL1, TavsatL2}), "", "weekly.tle: no satellite found"},
        {"\xFF\xFE", "", "weekly.tle: the file is in UTF-16"},
        {"\xFE\xFF", "", "weekly.tle: the file is in UTF-16"},
        {"", data + "/no-such-file.tle", data + "/no-such-file.tle: "},
        {"", data, data + ": "},
    };
    auto cat = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(data + "/three.tle", *cat);
    for (const auto& c : cases) {
        const std::string message = InputErrorMessage([&] {
            if (c.Path.empty()) ParseCatalogue(c.Text, "weekly.tle", *cat);
            else LoadCatalogue(c.Path, *cat);
        });
        EXPECT_TRUE(Contains(message, c.Says)) << message;
        ASSERT_EQ(cat->CatalogueCount, 3);
        ExpectEntry(cat->Entry(1), Tavsat);
        ExpectEntry(cat->Entry(3), Orbis);
    }
}

// A line cut off inside a field gave another number for it, lines of two
// satellites were combined, and a damaged line with its old check digit went
// unnoticed.
TEST(CheckElementLines, CutLinesAndTwoSatellitesAreProblemsWrongCheckDigitsWarnings)
{
    const std::string l1(TavsatL1), l2(TavsatL2);
    const auto withLast = [](std::string line, char c) { line.back() = c; return line; };
    const auto digit = [](int line, char is, int gives) {
        return "element line " + std::to_string(line) + ": its check digit is " + is + ", but its columns 1-68 give "
               + std::to_string(gives) + "; the line may be damaged";
    };
    const auto length = [](int line, int n) {
        return "element line " + std::to_string(line) + ": it has " + std::to_string(n) + " characters, not 69";
    };
    const std::string two = "its element lines belong to two satellites: line 1 has the catalogue number \"90001\", line 2 ";
    const struct { std::string Line1, Line2; std::optional<std::string> Problem; std::vector<std::string> Warnings; } cases[] = {
        {l1, l2, std::nullopt, {}},
        {std::string(OrbisL1), std::string(OrbisL2), std::nullopt, {}}, // the minus sign counts 1
        {l1, withLast(l2, '0'), std::nullopt, {digit(2, '0', 5)}},
        {withLast(l1, 'x'), l2, std::nullopt, {"element line 1: column 69 holds no check digit"}},
        {l1, l2 + " ", std::nullopt, {length(2, 70)}},
        {l1.substr(0, 68), l2, std::nullopt, {length(1, 68)}},
        {l1, l2.substr(0, 63), std::nullopt, {length(2, 63)}},
        {l1, l2.substr(0, 62), "its element line 2 is cut off after column 62, inside the mean motion (columns 53-63)",
         {length(2, 62)}},
        {l1.substr(0, 33), l2, "its element line 1 is cut off after column 33, before the first derivative of the mean "
                               "motion (columns 34-43)", {length(1, 33)}},
        {l1, "2 90002" + l2.substr(7), two + "\"90002\"", {digit(2, '5', 6)}},
        {l1, "2 9 0\x7F" "1" + l2.substr(7), two + "\"9 0?1\"", {}}, // shown with what is not printable as "?"
        {"1 00005" + l1.substr(7), "2     5" + l2.substr(7), std::nullopt, {digit(1, '5', 0), digit(2, '5', 0)}},
    };
    for (const auto& c : cases) {
        const ElementLineCheck check = CheckElementLines(c.Line1, c.Line2);
        EXPECT_EQ(check.Problem, c.Problem) << c.Line1 << " / " << c.Line2;
        EXPECT_EQ(check.Warnings, c.Warnings) << c.Line1 << " / " << c.Line2;
    }
}

TEST(SelectElementSet, CopiesTheChosenEntryWithItsLineCheckNamingTheSatellite)
{
    auto cat = Loaded(ThreeSatellites() + Join({"CUT", TavsatL1, TavsatL2.substr(0, 62), "HALF", TavsatL1}));
    const Expected* expected[] = {&Tavsat, &Kestrel, &Orbis};
    for (int i = 1; i <= 3; ++i) ExpectEntry(SelectElementSet(*cat, i), *expected[i - 1]);
    const CurrentElementSet cut = SelectElementSet(*cat, 4);
    EXPECT_EQ(cut.LineProblem.value_or(""), "its element line 2 is cut off after column 62, inside the mean motion "
                                            "(columns 53-63)");
    EXPECT_EQ(cut.LineWarnings, std::vector<std::string>{"\"CUT\": element line 2: it has 62 characters, not 69"});
    const CurrentElementSet half = SelectElementSet(*cat, 5); // a missing line is the orbit model's refusal
    EXPECT_TRUE(!half.LineProblem && half.LineWarnings.empty()) << half.LineProblem.value_or("");
    ParseCatalogue(Join({"ORBIS M", OrbisL1, OrbisL2}), "one.tle", *cat);
    EXPECT_EQ(cut.SatName, "CUT"); // a copy: a later load leaves it as it is
    for (int index : {0, -1, 2, 501, 32767}) {
        const std::string message = InputErrorMessage([&] { SelectElementSet(*cat, index); });
        EXPECT_TRUE(Contains(message, "number " + std::to_string(index) + " in the catalogue, which holds 1")) << message;
    }
}

// A downloaded file is refused before it replaces the old one when any entry
// is not whole; what the replacement changes is told by catalogue number.
TEST(CheckTleText, RefusesWhatIsNotWholeAndReportsChangesByNumber)
{
    const std::string newerTavsat = std::string(TavsatL1).replace(18, 5, "20350");
    std::string many;
    for (int i = 0; i < CatalogueCapacity + 2; ++i) many += Join({"SAT " + std::to_string(i), KestrelL1, KestrelL2});
    struct Row {
        const char* Fault;
        std::string New;
        std::string Error; // empty: accepted
        std::vector<std::string> Added = {}, Updated = {}, Removed = {};
        std::string Oldest = {};
    } rows[] = {
        {"an entry cut inside a line", Join({"TAVSAT 1", TavsatL1, TavsatL2.substr(0, 47)}), "entry 1 \"TAVSAT 1\": its element line 2 is cut off"},
        {"an entry cut after its name", ThreeSatellites() + "NEXT\r\n", "entry 4 \"NEXT\" lacks its element line 1"},
        {"an HTML page", "\n <!DOCTYPE html><html><body>Not Found</body></html>", "an HTML or XML page"},
        {"lines before the first name", Join({TavsatL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2}), "2 element lines come before the first name line"},
        {"a cut entry past the 500th", many + "LAST\r\n" + std::string(KestrelL1), "entry 503 \"LAST\" lacks its element line 2"},
        {"a newer epoch, a new and a missing number",
         Join({"TAVSAT 1", newerTavsat, TavsatL2, "ORBIS M", OrbisL1, OrbisL2}), "", {"ORBIS M (90003)"},
         {"TAVSAT 1 (90001)"}, {"KESTREL-2 (90002)"}, "2020-12-15 12:17 UTC, TAVSAT 1 (90001)"},
    };
    TleContents before = CheckTleText(Join({"TAVSAT 1", TavsatL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2}), "old");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Fault);
        if (!row.Error.empty()) {
            const std::string message = InputErrorMessage([&] { CheckTleText(row.New, "https://x/t.txt"); });
            EXPECT_TRUE(Contains(message, "https://x/t.txt: " + row.Error)) << message;
            continue;
        }
        const TleChanges c = CompareTleContents(before, CheckTleText(row.New, "new"));
        EXPECT_EQ(c.Added, row.Added);
        EXPECT_EQ(c.Updated, row.Updated);
        EXPECT_EQ(c.Removed, row.Removed);
        EXPECT_TRUE(Contains(DescribeTleChanges(c), "oldest epoch now: " + row.Oldest)) << DescribeTleChanges(c);
    }
}

} // namespace
} // namespace tavik
