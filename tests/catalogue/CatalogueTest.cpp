// The three satellites are made up; tests/data/three.tle holds the same nine lines with CR LF endings.
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueUpdate.h"
#include "platform/AtomicFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <memory>

namespace tavik {
namespace {

using test::Contains, test::InputErrorMessage;

// Columns:                             1        10        20        30        40        50        60       69
constexpr std::string_view TavsatL1 =  "1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995";
constexpr std::string_view TavsatL2 =  "2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123455";
constexpr std::string_view KestrelL1 = "1 90002U 23055B   24123.25000000  .00000152  00000-0  84210-4 0  4122";
constexpr std::string_view KestrelL2 = "2 90002  98.7012  12.3456 0001420  87.6543 272.4890 14.21876543 67894";
constexpr std::string_view OrbisL1 =   "1 90003U 22077A   24200.75312500 -.00000123  00000-0  10000-3 0   577";
constexpr std::string_view OrbisL2 =   "2 90003  63.4215 301.2000 7201234 270.1234  15.6789  2.00612345 12348";

// Decay is "0." and columns 36-43, without the sign of column 34; B* is a mantissa and an exponent.
const struct { int Line; std::size_t First, Last; double ElementSet::*Field; } Fields[] = {
    {1, 19, 33, &ElementSet::Epoch}, {1, 36, 43, &ElementSet::Decay}, {1, 54, 61, &ElementSet::BStar},
    {2, 9, 16, &ElementSet::Inclination},
    {2, 18, 25, &ElementSet::RAAN}, {2, 27, 33, &ElementSet::Eccentricity}, {2, 35, 42, &ElementSet::ArgPerigee},
    {2, 44, 51, &ElementSet::MeanAnomaly}, {2, 53, 63, &ElementSet::MeanMotion}, {2, 64, 68, &ElementSet::RevNumber},
};
struct Expected { std::string_view Name, Line1, Line2; double Values[10]; }; // values in the order of Fields
const Expected Tavsat{"TAVSAT 1", TavsatL1, TavsatL2, {20345.51234567, 0.00001234, 0.23456e-4, 51.6416, 247.4627,
                                                       0.0012345, 130.5360, 123.4567, 15.50123456, 12345}};
const Expected Kestrel{"KESTREL-2", KestrelL1, KestrelL2, {24123.25, 0.00000152, 0.84210e-4, 98.7012, 12.3456,
                                                           0.0001420, 87.6543, 272.4890, 14.21876543, 6789}};
const Expected Orbis{"ORBIS M", OrbisL1, OrbisL2, {24200.753125, 0.00000123, 0.10000e-3, 63.4215, 301.2000,
                                                   0.7201234, 270.1234, 15.6789, 2.00612345, 1234}};

void ExpectEntry(const ElementSet& e, const Expected& x)
{
    EXPECT_EQ(e.SatName, x.Name);
    EXPECT_EQ(e.Line1, x.Line1);
    EXPECT_EQ(e.Line2, x.Line2);
    for (std::size_t i = 0; i < std::size(Fields); ++i)
        EXPECT_DOUBLE_EQ(e.*Fields[i].Field, x.Values[i]) << "field " << i;
}

// A TLE line with another epoch in columns 19-23 (year and day).
std::string WithEpochDay(std::string_view line, const char* yyddd) { return std::string(line).replace(18, 5, yyddd); }

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
// TAVSAT 1 alone and five days later, and a download of the later one with ORBIS M: the updates' files.
const std::string NewerL1 = WithEpochDay(TavsatL1, "20350");
const std::string OnlyTavsat = Join({"TAVSAT 1", TavsatL1, TavsatL2});
const std::string NewerTavsat = Join({"TAVSAT 1", NewerL1, TavsatL2});
const std::string Download = NewerTavsat + Join({"ORBIS M", OrbisL1, OrbisL2});
// 500 records: off the stack.
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
        {" 12.5", 12.5}, {"\t1\n2", 12}, {"-3.5e2", -350}, {"1.5d+1", 15}, {"12abc", 12}, {".5", 0.5}, {"-", 0},
        {"--5", 0}, {"- 5", -5}, {"1E-", 1}, {"-1E999", -inf}, {"1E-999", 0}, {"1E0000001", 10}, {"1.2.3", 1.2},
        {"1E1234567", inf},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LenientNumber(c.Text), c.Value) << '"' << c.Text << '"';
}

// A text without a name line is refused and leaves the catalogue as it was; a file that cannot be read is named
// by the command line's TleFileMissing.
TEST(ParseCatalogue, LineEndsBlankLinesByteOrderMarkAndLineOrderGiveTheSameEntries)
{
    const std::string mixed = Join({"TAVSAT 1", TavsatL1, TavsatL2}, "\n")
                              + Join({"KESTREL-2", KestrelL1, KestrelL2}, "\r") + Join({"ORBIS M", OrbisL1, OrbisL2});
    const struct { std::string Text; int Orphans = 0; const char* Says = nullptr; } cases[] = {
        {mixed}, {"\xEF\xBB\xBF" + ThreeSatellites()},
        {Join({"", "  ", "TAVSAT 1", "", TavsatL1, "   ", TavsatL2, "\t", "KESTREL-2", KestrelL1, KestrelL2, " ",
               "ORBIS M", OrbisL1, OrbisL2, "", "     "})},
        {Join({"TAVSAT 1", TavsatL2, TavsatL1, "KESTREL-2", KestrelL1, KestrelL2, "ORBIS M", OrbisL2, OrbisL1})},
        {Join({"", OrbisL1, OrbisL2, "1 STRAY"}) + ThreeSatellites(), 3}, // before the first name: in no entry
        {Join({TavsatL1, TavsatL2}), 0, "weekly.tle: no satellite found"},
        {"\xFE\xFF", 0, "weekly.tle: the file is in UTF-16"},
        {std::string("\xFF\xFEN\0A\0M\0E\0\r\0\n\0", 14), 0, "weekly.tle: the file is in UTF-16"},
    };
    auto cat = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(TAVIK_TEST_DATA "/three.tle", *cat);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        if (c.Says) {
            const std::string message = InputErrorMessage([&] { ParseCatalogue(c.Text, "weekly.tle", *cat); });
            EXPECT_TRUE(Contains(message, c.Says)) << message;
        } else {
            const LoadResult r = ParseCatalogue(c.Text, "weekly.tle", *cat);
            EXPECT_EQ(r.Names, (std::vector<std::string>{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
            EXPECT_EQ(r.OrphanElementLines, c.Orphans);
        }
        ASSERT_EQ(cat->CatalogueCount, 3);
        ExpectEntry(cat->Entry(1), Tavsat); // no stray CR
        ExpectEntry(cat->Entry(2), Kestrel);
        ExpectEntry(cat->Entry(3), Orbis);
    }
}

// A field read one column too far or too short took in its neighbour's digit or lost its own.
// A line cut short yields the columns that exist: all after the last, nothing before the first, a part between.
TEST(ParseCatalogue, EachFieldReadsExactlyItsColumns)
{
    const auto read = [](int line, std::size_t cut, std::size_t flip, double ElementSet::*field) {
        std::string l1(TavsatL1), l2(TavsatL2), &l = line == 1 ? l1 : l2;
        if (flip > 0) l[flip - 1] = l[flip - 1] == '9' ? '8' : '9';
        l.resize(cut);
        return Loaded(Join({"TAVSAT 1", l1, l2}))->Entry(1).*field;
    };
    for (std::size_t i = 0; i < std::size(Fields); ++i) {
        const auto& f = Fields[i];
        for (std::size_t column : {f.First - 1, f.First, f.Last, f.Last + 1})
            EXPECT_EQ(read(f.Line, 69, column, f.Field) != Tavsat.Values[i], column >= f.First && column <= f.Last)
                << "line " << f.Line << ", column " << column;
        EXPECT_DOUBLE_EQ(read(f.Line, f.Last, 0, f.Field), Tavsat.Values[i]) << i;
        EXPECT_EQ(read(f.Line, f.First - 1, 0, f.Field), 0) << i;
    }
    const struct { int Line; std::size_t Cut; double ElementSet::*Field; double Value; } parts[] = {
        {1, 25, &ElementSet::Epoch, 20345.5}, {2, 47, &ElementSet::MeanAnomaly, 123}}; // columns 44-47: "123."
    for (const auto& p : parts) EXPECT_DOUBLE_EQ(read(p.Line, p.Cut, 0, p.Field), p.Value) << p.Cut;
}

// Names from Windows come in its code page; control characters of a damaged name line went into terminals,
// message boxes and file headers, and bidirectional overrides turned the text around them.
TEST(ParseCatalogue, NameIsTrimmedUtf8WithoutControlCharacters)
{
    const struct { std::string Line, Name; } cases[] = {
        {"   TAVSAT  1   ", "TAVSAT  1"}, {" 0 PIPIT\t", "0 PIPIT"}, {"1TAVSAT", "1TAVSAT"},
        {"CAF\xC9 SAT", "CAF\xC3\x89 SAT"}, {std::string("SAT\x1B[2J\0X\x7F", 10), "SAT?[2J?X?"},
        {"NOAA\t19", "NOAA 19"},
        {"SAT \xE2\x80\xAE" "1-ATAN\xE2\x80\xAC", "SAT ?1-ATAN?"},
    };
    for (const auto& c : cases) EXPECT_EQ(Loaded(Join({c.Line, TavsatL1, TavsatL2}))->Entry(1).SatName, c.Name);
}

// A name without element lines kept the fields an older load had put into its entry.
TEST(ParseCatalogue, ReloadGivesFreshEntriesAndALaterLineReplacesAllFieldsOfTheEarlier)
{
    auto cat = Loaded(ThreeSatellites()); // "1 KITTY" is an element line, not a name
    const std::string two = Join({"LONELY", "HALF", KestrelL1, TavsatL2, "1 KITTY", KestrelL2.substr(0, 51)});
    LoadResult r = ParseCatalogue(two, "two.tle", *cat);
    EXPECT_EQ(r.Names, (std::vector<std::string>{"LONELY", "HALF"}));
    EXPECT_TRUE(cat->Entry(1).Line1.empty());
    EXPECT_TRUE(cat->Entry(1).Line2.empty());
    for (const auto& f : Fields) EXPECT_EQ(cat->Entry(1).*f.Field, 0);
    // Line 1 "1 KITTY" and the first 51 columns of KESTREL's line 2: nothing of TAVSAT's line 2 is kept.
    EXPECT_EQ(cat->Entry(2).Line1, "1 KITTY");
    for (std::size_t i = 0; i < std::size(Fields); ++i)
        EXPECT_DOUBLE_EQ(cat->Entry(2).*Fields[i].Field, i >= 3 && i <= 7 ? Kestrel.Values[i] : 0) << i;
    EXPECT_EQ(cat->Entry(3).SatName, "ORBIS M"); // above the count: left as it was, unlisted
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
    EXPECT_EQ(r.IgnoredNames, 1);
    EXPECT_EQ(r.LeftOutNames, std::vector<std::string>{"GEN 501"}); // so that choosing it can say why it fails
    EXPECT_DOUBLE_EQ(cat->Entry(500).RevNumber, 500); // not 501 from the left-out entry
}

// A line cut inside a field gave another number for it, lines of two satellites were combined, and a
// damaged line with its old check digit went unnoticed.
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
    const std::string two =
        "its element lines belong to two satellites: line 1 has the catalogue number \"90001\", line 2 ";
    const struct {
        std::string Line1, Line2;
        std::optional<std::string> Problem;
        std::vector<std::string> Warnings;
    } cases[] = {
        {std::string(OrbisL1), std::string(OrbisL2), std::nullopt, {}}, // Orbis: "-" counts 1
        {l1, withLast(l2, '0'), std::nullopt, {digit(2, '0', 5)}},
        {withLast(l1, 'x'), l2, std::nullopt, {"element line 1: column 69 holds no check digit"}},
        {l1.substr(0, 68), l2, std::nullopt, {length(1, 68)}}, {l1, l2.substr(0, 63), std::nullopt, {length(2, 63)}},
        {l1, l2.substr(0, 62),
         "its element line 2 is cut off after column 62, inside the mean motion (columns 53-63)", {length(2, 62)}},
        {l1, "2 90002" + l2.substr(7), two + "\"90002\"", {digit(2, '5', 6)}},
        {"1 00005" + l1.substr(7), "2     5" + l2.substr(7), std::nullopt, {digit(1, '5', 0), digit(2, '5', 0)}},
    };
    // A line cut right after a field the orbit reads names the next one; a line 1 of 43 columns has all it needs.
    const struct { int Line; std::size_t Cut; std::string Next; } edges[] = {
        {1, 32, "first derivative of the mean motion (columns 34-43)"}, {2, 8, "inclination (columns 9-16)"},
        {2, 16, "right ascension of the ascending node (columns 18-25)"}, {2, 25, "eccentricity (columns 27-33)"},
        {2, 33, "argument of perigee (columns 35-42)"}, {2, 42, "mean anomaly (columns 44-51)"},
        {2, 51, "mean motion (columns 53-63)"}};
    for (const auto& e : edges) {
        const std::string cut1 = l1.substr(0, e.Line == 1 ? e.Cut : 69);
        const std::string cut2 = l2.substr(0, e.Line == 2 ? e.Cut : 69);
        EXPECT_EQ(CheckElementLines(cut1, cut2).Problem, "its element line " + std::to_string(e.Line)
                                                             + " is cut off after column " + std::to_string(e.Cut)
                                                             + ", before the " + e.Next);
    }
    EXPECT_FALSE(CheckElementLines(l1.substr(0, 43), l2).Problem);
    for (const auto& c : cases) {
        const ElementLineCheck check = CheckElementLines(c.Line1, c.Line2);
        SCOPED_TRACE(c.Line1 + " / " + c.Line2);
        EXPECT_EQ(check.Problem, c.Problem);
        EXPECT_EQ(check.Warnings, c.Warnings);
    }
}

TEST(SelectElementSet, RefusesNumbersOutsideTheCatalogueAndCarriesTheLineCheckNamingTheSatellite)
{
    auto cat = Loaded(ThreeSatellites() + Join({"CUT", TavsatL1, TavsatL2.substr(0, 62), "HALF", TavsatL1}));
    ExpectEntry(SelectElementSet(*cat, 2), Kestrel);
    const CurrentElementSet cut = SelectElementSet(*cat, 4);
    const CurrentElementSet half = SelectElementSet(*cat, 5); // HALF: the orbit model refuses it
    EXPECT_TRUE(cut.LineProblem);
    EXPECT_EQ(cut.LineWarnings, std::vector<std::string>{"\"CUT\": element line 2: it has 62 characters, not 69"});
    EXPECT_FALSE(half.LineProblem);
    EXPECT_TRUE(half.LineWarnings.empty());
    for (int index : {0, -1, 6, 32767}) {
        const std::string message = InputErrorMessage([&] { SelectElementSet(*cat, index); });
        EXPECT_TRUE(Contains(message, "number " + std::to_string(index) + " in the catalogue, which holds 5"))
            << message;
    }
}

// A download is refused before it replaces the old file when any entry is not whole.
TEST(CheckTleText, RefusesWhatIsNotWholeNamingTheEntry)
{
    std::string many;
    for (int i = 0; i < CatalogueCapacity + 2; ++i) many += Join({"SAT " + std::to_string(i), KestrelL1, KestrelL2});
    const struct { const char* Fault; std::string New, Error; } rows[] = {
        {"an entry cut inside a line", Join({"TAVSAT 1", TavsatL1, TavsatL2.substr(0, 47)}),
         "entry 1 \"TAVSAT 1\": its element line 2 is cut off"},
        {"an entry cut after its name", ThreeSatellites() + "NEXT\r\n", "entry 4 \"NEXT\" lacks its element line 1"},
        {"lines before the first name", Join({TavsatL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2}),
         "2 element lines come before the first name line"},
        {"one line before the first name", Join({TavsatL2, "KESTREL-2", KestrelL1, KestrelL2}),
         "1 element line comes before the first name line"},
        {"a cut entry past the 500th", many + "LAST\r\n" + std::string(KestrelL1),
         "entry 503 \"LAST\" lacks its element line 2"},
    };
    for (const auto& row : rows) {
        const std::string message = InputErrorMessage([&] { CheckTleText(row.New, "https://x/t.txt"); });
        EXPECT_TRUE(Contains(message, "https://x/t.txt: " + row.Error)) << row.Fault << ": " << message;
    }
}

// An update changes the entries the file holds in place, keeping names, line ends and all else; what it adds or
// removes depends on the mode. A replacing update and one that changes nothing: the download's tests.
TEST(UpdateTleText, MergesByNumberAndAddsOrReplacesOnlyWhenAsked)
{
    const std::string mine = Join({"My Tavsat", TavsatL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2}, "\n");
    using V = std::vector<std::string>;
    const struct Row {
        const char* Case;
        std::optional<std::string> Old;
        std::string Download;
        UpdateMode Mode;
        std::string Text;
        V Updated = {}, Kept = {}, Listed = {}, Added = {}, Removed = {}, Older = {};
    } rows[] = {
        {"merge: the newer entry's lines, the rest kept, the new one listed", mine, Download, UpdateMode::Merge,
         Join({"My Tavsat", NewerL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2}, "\n"), {"My Tavsat (90001)"},
         {"KESTREL-2 (90002)"}, {"ORBIS M (90003)"}},
        {"add new: the new one appended with the file's line ends", mine, Download, UpdateMode::AddNew,
         Join({"My Tavsat", NewerL1, TavsatL2, "KESTREL-2", KestrelL1, KestrelL2, "ORBIS M", OrbisL1, OrbisL2}, "\n"),
         {"My Tavsat (90001)"}, {"KESTREL-2 (90002)"}, {}, {"ORBIS M (90003)"}},
        {"an older entry in the download is not taken", NewerTavsat, OnlyTavsat, UpdateMode::Merge, NewerTavsat, {}, {},
         {}, {}, {}, {"TAVSAT 1 (90001)"}},
        {"a number the download holds twice gives its newest set, first or not", OnlyTavsat, NewerTavsat + OnlyTavsat,
         UpdateMode::Merge, NewerTavsat, {"TAVSAT 1 (90001)"}},
        {"a last line without its end gets one before an added entry", OnlyTavsat.substr(0, OnlyTavsat.size() - 2),
         Join({"ORBIS M", OrbisL1, OrbisL2}), UpdateMode::AddNew,
         OnlyTavsat + Join({"ORBIS M", OrbisL1, OrbisL2}), {}, {"TAVSAT 1 (90001)"}, {}, {"ORBIS M (90003)"}},
        {"an entry without its line 2 is completed", Join({"TAVSAT 1", TavsatL1}), OnlyTavsat, UpdateMode::Merge,
         OnlyTavsat, {"TAVSAT 1 (90001)"}},
        {"an entry without lines gets both after its name line, blanks and all", "KESTREL-2\nTAVSAT 1 \nORBIS M",
         OnlyTavsat, UpdateMode::Merge, "KESTREL-2\nTAVSAT 1 \n" + std::string(TavsatL1) + "\n" + std::string(TavsatL2)
         + "\nORBIS M", {"TAVSAT 1 (no number)"}, {"KESTREL-2 (no number)", "ORBIS M (no number)"}},
        {"an epoch no set can have is replaced",
         Join({"TAVSAT 1", std::string(TavsatL1).replace(18, 14, "99999999999999"), TavsatL2}), OnlyTavsat,
         UpdateMode::Merge, OnlyTavsat, {"TAVSAT 1 (90001)"}},
        {"an empty file stays empty when merged", "", Download, UpdateMode::Merge, "", {}, {},
         {"TAVSAT 1 (90001)", "ORBIS M (90003)"}},
        {"no file yet: the download", std::nullopt, Download, UpdateMode::Merge, Download, {}, {}, {},
         {"TAVSAT 1 (90001)", "ORBIS M (90003)"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Case);
        const TleUpdate u = UpdateTleText(row.Old, row.Download, row.Mode, "my.tle", "https://x/t.txt");
        EXPECT_EQ(u.Text, row.Text);
        EXPECT_EQ(u.Changes.Updated, row.Updated);
        EXPECT_EQ(u.Changes.NotInDownload, row.Kept);
        EXPECT_EQ(u.Changes.NotAdded, row.Listed);
        EXPECT_EQ(u.Changes.Added, row.Added);
        EXPECT_EQ(u.Changes.Removed, row.Removed);
        EXPECT_EQ(u.Changes.Older, row.Older);
    }
}

TEST(UpdateTleText, ReportsEachKindOfChangeInALineAndRefusesToMergeIntoWhatHoldsNoEntry)
{
    const std::string mine = OnlyTavsat + Join({"KESTREL-2", KestrelL1, KestrelL2});
    // The mode's line and the backup's: the download's tests.
    const std::string report =
        DescribeTleChanges(UpdateTleText(mine, Download, UpdateMode::Merge, "my.tle", "src").Changes);
    for (const char* line : {"2 entries in the file\n", "updated (newer epoch): 1 (TAVSAT 1 (90001))\n",
                             "not in the download, kept: 1 (KESTREL-2 (90002))\n",
                             "only in the download, not added: 1 (ORBIS M (90003))\n",
                             "oldest epoch now: 2020-12-15 12:17 UTC, TAVSAT 1 (90001)\n"})
        EXPECT_TRUE(Contains(report, line)) << line << "\n" << report;
    const std::string replaced =
        DescribeTleChanges(UpdateTleText(mine, Download, UpdateMode::Replace, "my.tle", "src").Changes);
    EXPECT_TRUE(Contains(replaced, "removed: 1 (KESTREL-2 (90002))\n")) << replaced;
    const std::string message = InputErrorMessage([&] {
        UpdateTleText(Join({TavsatL1, TavsatL2}), Download, UpdateMode::AddNew, "my.tle", "src");
    });
    EXPECT_TRUE(Contains(message, "my.tle: no satellite found")) << message;
    EXPECT_TRUE(Contains(message, "only replacing the file with the download can update it")) << message;
    EXPECT_EQ(UpdateTleText(Join({TavsatL1, TavsatL2}), Download, UpdateMode::Replace, "my.tle", "src").Text, Download);
}

// The previous file is kept beside it before any change, one copy, and an update whose file was edited meanwhile
// is refused. Its name, the first copy and an update that changes nothing: the download's tests.
TEST(ApplyTleUpdate, KeepsThePreviousFileAsBakAndRefusesAFileEditedMeanwhile)
{
    test::TempFolder folder;
    const std::string path = folder.Write("kep.txt", OnlyTavsat).string();
    const std::string newest = Join({"TAVSAT 1", WithEpochDay(TavsatL1, "20360"), TavsatL2});
    ApplyTleUpdate(PlanTleUpdate(path, NewerTavsat, UpdateMode::Merge, "src"));
    ApplyTleUpdate(PlanTleUpdate(path, newest, UpdateMode::Merge, "src"));
    EXPECT_EQ(test::ReadBytes(path + ".bak"), NewerTavsat);

    const TleUpdatePlan stale = PlanTleUpdate(path, Join({"ORBIS M", OrbisL1, OrbisL2}), UpdateMode::Replace, "src");
    folder.Write("kep.txt", OnlyTavsat);
    try {
        ApplyTleUpdate(stale);
        ADD_FAILURE() << "an update of a file edited meanwhile went through";
    } catch (const OutputError& e) {
        EXPECT_EQ(std::string(e.what()), "cannot update " + path + ": it changed while the update was prepared");
    }
    EXPECT_EQ(test::ReadBytes(path), OnlyTavsat);
    EXPECT_EQ(test::ReadBytes(path + ".bak"), NewerTavsat);
}

// Run as user nobody (only root can become it), a file of root's in a folder anyone may write is not replaced,
// by an update or a plain save (a list file): the rename would succeed and make the file nobody's.
TEST(ApplyTleUpdate, LeavesAFileTheUserMayNotWriteAndSaysItIsReadOnly)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play another user";
    test::TempFolder folder;
    const std::string path = folder.Write("kep.txt", OnlyTavsat).string();
    ::chmod(path.c_str(), 0644);
    ::chmod(folder.Path.c_str(), 0777);
    const TleUpdatePlan plan = PlanTleUpdate(path, NewerTavsat, UpdateMode::Merge, "src");
    const std::string why = ": it is read-only for you: it belongs to user 0 (mode 0644), so replacing it would make "
                            "it yours";
    const auto refusal = [](const std::function<void()>& write) -> std::string {
        try {
            write();
        } catch (const OutputError& e) {
            return e.what();
        }
        return "";
    };
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        if (refusal([&] { ApplyTleUpdate(plan); }) != "cannot update " + path + why) ::_exit(3);
        ::_exit(refusal([&] { WriteFileAtomically(path, "new"); }) == "cannot write " + path + why ? 0 : 4);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::ReadBytes(path), OnlyTavsat);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

} // namespace
} // namespace tavik
