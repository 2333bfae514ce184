// Bad input, case by case: what the user may feed tavik (settings files,
// locators, TLE files, start dates, year texts, satellite names, output
// folders and disks that fail), the message each must give, and the state
// each must leave. Every case runs the way a front end does it: the good
// state first, then the bad input, then a check that the good state is still
// there.
#include "Support.h"

#include "astro/Angles.h"
#include "astro/Locator.h"
#include "astro/TimeScales.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Settings.h"
#include "forecast/Forecast.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "output/YearFile.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/TextForms.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef TAVIK_TEST_DATA
#error "TAVIK_TEST_DATA must name the folder of the test fixtures"
#endif

namespace tavik::badinput {
namespace {

const fs::path TestData = TAVIK_TEST_DATA;

// ---------------------------------------------------------------------------
// Settings file and locator

struct SettingsCase {
    const char* Label;
    std::optional<std::string> Bytes;  // nothing: the file does not exist
    std::vector<std::string> Mentions; // besides the file's path
    const char* Locator;               // accepted: the station it gives, as written in capitals
};

std::ostream& operator<<(std::ostream& out, const SettingsCase& c) { return out << c.Label; }

class BadSettingsFile : public ::testing::TestWithParam<SettingsCase> {};

// What a front end does with the settings file: the station changes only
// when the whole file is good.
TEST_P(BadSettingsFile, RefusedNamingTheFileOrReadWithTheStationItNames)
{
    const SettingsCase& c = GetParam();
    ScratchFolder folder;
    const fs::path path = folder / "tavik.ini";
    if (c.Bytes) WriteBytes(path, *c.Bytes);

    const Station before = MakeStation("JO40HC");
    Station station = before;
    std::string message;
    try {
        const Settings s = ReadSettings(path.string());
        station = MakeStation(s.StationLocator);
    } catch (const InputError& e) {
        message = e.what();
    }

    if (c.Locator) {
        EXPECT_EQ(message, "");
        const Station expected = MakeStation(c.Locator);
        EXPECT_EQ(station.StationLon, expected.StationLon);
        EXPECT_EQ(station.StationLat, expected.StationLat);
    } else {
        std::vector<std::string> parts = c.Mentions;
        parts.push_back(path.string());
        ExpectClearMessage(message, parts);
        EXPECT_EQ(station.StationLocator, before.StationLocator);
        EXPECT_EQ(station.StationLon, before.StationLon);
        EXPECT_EQ(station.StationLat, before.StationLat);
    }
    // Reading never changes the file.
    if (c.Bytes) {
        EXPECT_EQ(ReadBytes(path), *c.Bytes);
    } else {
        EXPECT_FALSE(fs::exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadSettingsFile,
    ::testing::Values(
        SettingsCase{"Missing", std::nullopt, {std::strerror(ENOENT)}, nullptr},
        SettingsCase{"Empty", "", {"empty", "line 1"}, nullptr},
        SettingsCase{"OneLine", "JO40HC\r\n", {"line 2", "missing"}, nullptr},
        SettingsCase{"OneLineWithoutEnd", "JO40HC", {"line 2", "missing"}, nullptr},
        SettingsCase{"OnlyCr", "\r", {"line 1", "empty"}, nullptr},
        SettingsCase{"OnlyCrs", "\r\r\r", {"line 1", "empty"}, nullptr},
        SettingsCase{"Utf16", std::string("\xFF\xFEJ\0O\0" "4\0" "0\0\r\0\n\0", 14), {"UTF-16"}, nullptr},
        SettingsCase{"Binary", std::string("JO40HC\r\n\x7F" "ELF\0\0\x01\x02", 14), {"NUL"}, nullptr},
        SettingsCase{"TenMegabytes", "JO40HC\r\nexample.tle\r\n" + std::string(10u << 20, 'x'), {"larger than 1 MiB"}, nullptr},
        SettingsCase{"EmptyLocator", "\r\nexample.tle\r\n", {"line 1", "empty"}, nullptr},
        SettingsCase{"BlankLocator", "   \r\nexample.tle\r\n", {"line 1", "empty"}, nullptr},
        SettingsCase{"ThreeCharacters", "JO4\r\nexample.tle\r\n", {"line 1", "\"JO4\"", "this one has 3"}, nullptr},
        SettingsCase{"FiveCharacters", "JO40H\r\nexample.tle\r\n", {"line 1", "\"JO40H\"", "this one has 5"}, nullptr},
        SettingsCase{"FieldLetterBeyondR", "SO40HC\r\nexample.tle\r\n", {"line 1", "\"SO40HC\"", "A to R"}, nullptr},
        SettingsCase{"SubsquareLetterBeyondX", "JO40YC\r\nexample.tle\r\n", {"line 1", "A to X"}, nullptr},
        SettingsCase{"LetterForDigit", "JOA0HC\r\nexample.tle\r\n", {"line 1", "digits 0 to 9"}, nullptr},
        SettingsCase{"DigitForLetter", "J040HC\r\nexample.tle\r\n", {"line 1", "A to R"}, nullptr},
        SettingsCase{"DigitForSubsquareLetter", "JO40H1\r\nexample.tle\r\n", {"line 1", "A to X"}, nullptr},
        SettingsCase{"ControlCharacters", "JO\x1B[31m40\r\nexample.tle\r\n", {"line 1", "\"JO?[31m40\""}, nullptr},
        SettingsCase{"EmptyLine2", "JO40HC\r\n\r\nexample.tle\r\n", {"line 2 is empty"}, nullptr},
        SettingsCase{"BlankLine2", "JO40HC\r\n  \r\n", {"line 2 is empty"}, nullptr},
        SettingsCase{"LowerCaseIsFolded", "jo40hc\r\nexample.tle\r\n", {}, "JO40HC"},
        SettingsCase{"MixedCaseEightCharacters", "Jo40hC12\nexample.tle\n", {}, "JO40HC"},
        SettingsCase{"ByteOrderMark", "\xEF\xBB\xBFJO40HC\r\nexample.tle\r\n", {}, "JO40HC"},
        SettingsCase{"CrOnlyLineEnds", "JO40HC\rexample.tle\r", {}, "JO40HC"}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.Label); });

struct LocatorCase {
    const char* Label;
    const char* Text;
    const char* Mentions; // nullptr: accepted
    const char* SameAs;   // accepted: the capital form it equals
};

class BadLocator : public ::testing::TestWithParam<LocatorCase> {};

TEST_P(BadLocator, RefusedWithTheReasonOrFoldedToCapitals)
{
    const LocatorCase& c = GetParam();
    const Station before = MakeStation("JO40HC");
    Station station = before;
    if (!c.Mentions) {
        station = MakeStation(c.Text);
        const Station capitals = MakeStation(c.SameAs);
        EXPECT_EQ(station.StationLon, capitals.StationLon);
        EXPECT_EQ(station.StationLat, capitals.StationLat);
        EXPECT_EQ(station.StationLocator, c.Text) << "shown as written";
        return;
    }
    const std::string message = InputErrorOf([&] { station = MakeStation(c.Text); });
    ExpectClearMessage(message, {c.Mentions});
    EXPECT_EQ(LocatorProblem(c.Text).value_or(""), message);
    EXPECT_EQ(station.StationLon, before.StationLon);
    EXPECT_EQ(station.StationLat, before.StationLat);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadLocator,
    ::testing::Values(LocatorCase{"Empty", "", "empty", nullptr},
                      LocatorCase{"Blanks", " \t ", "empty", nullptr},
                      LocatorCase{"ThreeCharacters", "JO4", "this one has 3", nullptr},
                      LocatorCase{"FiveCharacters", "JO40h", "this one has 5", nullptr},
                      LocatorCase{"SevenCharacters", "JO40hc1", "this one has 7", nullptr},
                      LocatorCase{"ElevenCharacters", "JO40HC12AB1", "this one has 11", nullptr},
                      LocatorCase{"FieldLetterS", "SA00AA", "A to R", nullptr},
                      LocatorCase{"FieldNotALetter", "@A00AA", "A to R", nullptr},
                      LocatorCase{"SquareLetters", "JOXXHC", "digits 0 to 9", nullptr},
                      LocatorCase{"SubsquareY", "JO40YA", "A to X", nullptr},
                      LocatorCase{"ExtendedSquareLetters", "JO40HCAB", "digits 0 to 9", nullptr},
                      LocatorCase{"ExtendedSubsquareDigits", "JO40HC1234", "A to X", nullptr},
                      LocatorCase{"Umlaut", "J\xC3\x96" "40HC", "character 2 is \"\xC3\x96\" (U+00D6)", nullptr},
                      LocatorCase{"CyrillicO", "J\xD0\x9E" "40HC", "character 2 is \"\xD0\x9E\" (U+041E)", nullptr},
                      LocatorCase{"LowerCase", "jo40hc", nullptr, "JO40HC"},
                      LocatorCase{"LowerCaseFour", "jo40", nullptr, "JO40"},
                      LocatorCase{"LowerCaseTen", "rr99xx99xx", nullptr, "RR99XX99XX"},
                      LocatorCase{"BlanksAround", "  jo40hc\t", nullptr, "JO40HC"}),
    [](const ::testing::TestParamInfo<LocatorCase>& info) { return std::string(info.param.Label); });

// ---------------------------------------------------------------------------
// TLE file

enum class RunOutcome {
    Completes,    // the 59 days are computed
    Stops,        // the run ends early with a reason naming the satellite
    Refused,      // the element set is refused before any step
};

struct TleCase {
    const char* Label;
    // Makes the file (or not) in the folder and returns the path to load.
    std::function<fs::path(const ScratchFolder&)> Make;
    bool Loads;
    std::vector<std::string> Mentions; // refused load: besides the path; refused run: besides the name
    int Count = 0;                     // entries of a load
    int IgnoredNames = 0;
    int OrphanLines = 0;
    RunOutcome FirstEntry = RunOutcome::Completes;
    std::function<void(const SatelliteCatalogue&)> Extra = {};
};

std::ostream& operator<<(std::ostream& out, const TleCase& c) { return out << c.Label; }

fs::path FileWith(const ScratchFolder& folder, const std::string& bytes)
{
    const fs::path path = folder / "kep.tle";
    WriteBytes(path, bytes);
    return path;
}

std::function<fs::path(const ScratchFolder&)> Text(std::string bytes)
{
    return [bytes](const ScratchFolder& folder) { return FileWith(folder, bytes); };
}

std::string Line2With(std::size_t first, std::size_t last, std::string_view text)
{
    return Replaced(GoodLine2, first, last, text);
}

std::string Line1With(std::size_t first, std::size_t last, std::string_view text)
{
    return Replaced(GoodLine1, first, last, text);
}

std::string ManyEntries(int count)
{
    std::string s;
    for (int i = 1; i <= count; ++i) s += Entry("SAT " + std::to_string(i), GoodLine1, GoodLine2);
    return s;
}

// An epoch year field YY names 1957..1999 for 57..99.
void EpochIsInTheNineteenHundreds(const SatelliteCatalogue& catalogue)
{
    const CurrentElementSet e = SelectElementSet(catalogue, 1);
    const int yy = IntegerPart(e.Epoch / 1000);
    ASSERT_GE(yy, 57);
    const EpochSplit split = SplitEpoch(e.Epoch);
    EXPECT_EQ(split.Whole, DayNumber(0, 1, static_cast<std::int16_t>(1900 + yy)) + 100);
    EXPECT_EQ(split.Fraction, 0.5);
}

ForecastRequest RequestFor(const CurrentElementSet& elements)
{
    ForecastRequest r;
    r.Start = *DateTime::FromCalendar(2026, 12, 6);
    r.Elements = elements;
    r.Site = MakeStation("JO40HC");
    return r;
}

class BadTleFile : public ::testing::TestWithParam<TleCase> {};

TEST_P(BadTleFile, RefusedKeepingTheCatalogueOrLoadedAndEveryEntryClear)
{
    const TleCase& c = GetParam();
    ScratchFolder folder;

    // The catalogue a front end holds: the three satellites of the fixture.
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    const LoadResult good = LoadCatalogue((TestData / "three.tle").string(), *catalogue);
    const std::vector<std::string> goodNames = good.Names;
    const std::string goodLine1 = catalogue->Entry(1).Line1;

    const fs::path path = c.Make(folder);
    const std::string bytesBefore = fs::is_regular_file(path) ? ReadBytes(path) : std::string();

    LoadResult loaded;
    std::string message;
    try {
        loaded = LoadCatalogue(path.string(), *catalogue);
    } catch (const InputError& e) {
        message = e.what();
    }
    if (fs::is_regular_file(path)) {
        EXPECT_EQ(ReadBytes(path), bytesBefore) << "the file is only read";
    }

    if (!c.Loads) {
        std::vector<std::string> parts = c.Mentions;
        parts.push_back(path.string());
        ExpectClearMessage(message, parts);
        // The previous catalogue is still the one in use.
        EXPECT_EQ(catalogue->CatalogueCount, 3);
        for (int i = 1; i <= 3; ++i) EXPECT_EQ(catalogue->Entry(i).SatName, goodNames[static_cast<std::size_t>(i - 1)]);
        EXPECT_EQ(catalogue->Entry(1).Line1, goodLine1);
        return;
    }

    ASSERT_EQ(message, "");
    EXPECT_EQ(catalogue->CatalogueCount, c.Count);
    EXPECT_EQ(loaded.Names.size(), static_cast<std::size_t>(c.Count));
    EXPECT_EQ(loaded.IgnoredNames, c.IgnoredNames);
    EXPECT_EQ(loaded.OrphanElementLines, c.OrphanLines);
    for (const std::string& name : loaded.Names) {
        EXPECT_TRUE(IsValidUtf8(name)) << name;
        EXPECT_FALSE(name.empty());
    }
    if (c.Extra) c.Extra(*catalogue);

    // The first entry, made current and run from 2026-12-06.
    const CurrentElementSet elements = SelectElementSet(*catalogue, 1);
    const std::string quotedName = "\"" + elements.SatName + "\"";
    ShadowCarry carry{true};
    int progressCalls = 0;
    auto progress = [&progressCalls](int, int) { ++progressCalls; return true; };

    if (c.FirstEntry == RunOutcome::Refused) {
        const std::string why = InputErrorOf([&] { RunForecast(RequestFor(elements), carry, progress); });
        std::vector<std::string> parts = c.Mentions;
        parts.push_back(quotedName);
        ExpectClearMessage(why, parts, 400 + elements.SatName.size());
        EXPECT_EQ(progressCalls, 0) << "refused before any step";
        EXPECT_TRUE(carry.InEclipse) << "the shadow flag is left as it was";
        // The year file refuses it the same way.
        const std::string yearWhy = InputErrorOf([&] {
            SunAngleYearRows(2026, elements, MakeStation("JO40HC"), Attitude{}, carry, IsoFormats());
        });
        EXPECT_EQ(yearWhy, why);
        return;
    }

    const ForecastResult r = RunForecast(RequestFor(elements), carry, progress);
    if (c.FirstEntry == RunOutcome::Completes) {
        EXPECT_TRUE(r.Completed()) << StopMessage(r, IsoFormats());
        EXPECT_EQ(r.Minutes.size(), static_cast<std::size_t>(ForecastDays) * StepsPerDay);
    } else {
        EXPECT_FALSE(r.Completed());
        ExpectClearMessage(StopMessage(r, IsoFormats()), {quotedName, "stops"}, 400 + elements.SatName.size());
    }
    for (std::size_t i = 0; i < r.DrawnSteps; ++i) {
        const MinuteRecord& m = r.Minutes[i];
        ASSERT_TRUE(std::isfinite(m.SatHeight) && std::isfinite(m.SatAzimuth) && std::isfinite(m.SatElevation)
                    && std::isfinite(m.SunAngle) && std::isfinite(m.Illumination))
            << "step " << i;
    }
    for (const std::string& line : PassLines(r)) EXPECT_FALSE(Contains(line, "?")) << line;
}

const std::string Good = Entry(GoodName, GoodLine1, GoodLine2);

INSTANTIATE_TEST_SUITE_P(
    Table, BadTleFile,
    ::testing::Values(
        TleCase{"Missing", [](const ScratchFolder& f) { return f / "no-such.tle"; }, false, {std::strerror(ENOENT)}},
        TleCase{"Folder", [](const ScratchFolder& f) { fs::create_directory(f / "kep"); return f / "kep"; }, false,
                {"is a folder"}},
        TleCase{"NamedPipe", [](const ScratchFolder& f) { ::mkfifo((f / "kep").c_str(), 0600); return f / "kep"; }, false,
                {"is a named pipe, not a regular file"}},
        TleCase{"Device", [](const ScratchFolder&) { return fs::path("/dev/zero"); }, false,
                {"is a device, not a regular file"}},
        TleCase{"Empty", Text(""), false, {"no satellite found"}},
        TleCase{"Utf16LittleEndian", Text(std::string("\xFF\xFEN\0A\0M\0E\0\r\0\n\0", 14)), false, {"UTF-16"}},
        TleCase{"Utf16BigEndian", Text(std::string("\xFE\xFF\0N\0A\0M\0E\0\r\0\n", 14)), false, {"UTF-16"}},
        TleCase{"OnlyBlankLines", Text("\r\n   \r\n\t\r\n"), false, {"no satellite found"}},
        TleCase{"NoNameLines", Text(GoodLine1 + "\r\n" + GoodLine2 + "\r\n" + GoodLine1 + "\r\n" + GoodLine2 + "\r\n"),
                false, {"no satellite found"}},
        TleCase{"SixHundredNames", Text(ManyEntries(600)), true, {}, 500, 100, 0},
        TleCase{"ElementLinesBeforeAnyName", Text(GoodLine1 + "\r\n" + GoodLine2 + "\r\n" + Good), true, {}, 1, 0, 2},
        TleCase{"NameWithoutElementLines", Text("LONELY\r\n"), true, {"element line 1 is missing"}, 1, 0, 0,
                RunOutcome::Refused},
        TleCase{"NameWithLine1Only", Text("HALF\r\n" + GoodLine1 + "\r\n"), true, {"element line 2 is missing"}, 1, 0,
                0, RunOutcome::Refused},
        TleCase{"NameWithLine2Only", Text("HALF\r\n" + GoodLine2 + "\r\n"), true, {"element line 1 is missing"}, 1, 0,
                0, RunOutcome::Refused},
        // A tab after the line number makes the line a name line: three
        // names, none with element lines.
        TleCase{"TabsEverywhere", Text("TABBED\t1\r\n1\t" + GoodLine1.substr(2) + "\r\n2\t" + GoodLine2.substr(2) + "\r\n"),
                true, {"element line 1 is missing"}, 3, 0, 0, RunOutcome::Refused},
        // Tabs in place of the blanks inside the fields read as blanks.
        TleCase{"TabsInsideTheFields",
                Text(Entry(GoodName, "1 " + std::string(GoodLine1.substr(2)).replace(13, 3, "\t\t\t"),
                           "2 " + std::string(GoodLine2.substr(2)).replace(6, 1, "\t"))),
                true, {}, 1, 0, 0, RunOutcome::Completes,
                [](const SatelliteCatalogue& cat) {
                    EXPECT_EQ(cat.Entry(1).Epoch, 26338.5);
                    EXPECT_EQ(cat.Entry(1).Inclination, 51.64);
                }},
        TleCase{"NulInTheName", Text(Entry(std::string("BAD\0NAME", 8), GoodLine1, GoodLine2)), true, {}, 1, 0, 0},
        TleCase{"NulInTheMeanMotion", Text(Entry(GoodName, GoodLine1, Line2With(53, 63, std::string("\0" "5.50000000", 11)))),
                true, {"mean motion"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"NulBytesOnly", Text(std::string(4096, '\0')), true, {"element line 1 is missing"}, 1, 0, 0,
                RunOutcome::Refused},
        TleCase{"MegabyteNameLine", Text(Entry(std::string(1u << 20, 'N'), GoodLine1, GoodLine2)), true, {}, 1, 0, 0},
        TleCase{"MegabyteElementLine", Text(Entry(GoodName, GoodLine1 + std::string(1u << 20, '7'), GoodLine2)), true,
                {}, 1, 0, 0},
        TleCase{"LettersInTheMeanMotion", Text(Entry(GoodName, GoodLine1, Line2With(53, 63, "I5.5OOOOOOO"))), true,
                {"mean motion"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"LettersInTheEccentricity", Text(Entry(GoodName, GoodLine1, Line2With(27, 33, "OOO5OOO"))), true, {},
                1, 0, 0, RunOutcome::Completes,
                [](const SatelliteCatalogue& cat) { EXPECT_EQ(cat.Entry(1).Eccentricity, 0); }},
        // Read as 2633: day 633 of 2002.
        TleCase{"LettersInTheEpoch", Text(Entry(GoodName, Line1With(19, 32, "2633B.50000000"), GoodLine2)), true,
                {"names day 633 of 2002"}, 1, 0, 0, RunOutcome::Refused,
                [](const SatelliteCatalogue& cat) { EXPECT_EQ(cat.Entry(1).Epoch, 2633); }},
        TleCase{"EpochDay000", Text(Entry(GoodName, Line1With(19, 32, "26000.50000000"), GoodLine2)), true,
                {"names day 0.5 of 2026, which has days 1 to 365"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"EpochDay999", Text(Entry(GoodName, Line1With(19, 32, "26999.00000000"), GoodLine2)), true,
                {"names day 999 of 2026"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"EpochDay366InACommonYear", Text(Entry(GoodName, Line1With(19, 32, "26366.00000000"), GoodLine2)),
                true, {"names day 366 of 2026, which has days 1 to 365"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"EpochLastMomentOfALeapYear", Text(Entry(GoodName, Line1With(19, 32, "24366.99999999"), GoodLine2)),
                true, {}, 1, 0, 0, RunOutcome::Completes},
        TleCase{"Line2CutInsideTheMeanMotion", Text(Entry(GoodName, GoodLine1, GoodLine2.substr(0, 56))), true,
                {"element line 2 is cut off after column 56, inside the mean motion (columns 53-63)"}, 1, 0, 0,
                RunOutcome::Refused},
        TleCase{"Line1CutInsideTheDragTerm", Text(Entry(GoodName, GoodLine1.substr(0, 40), GoodLine2)), true,
                {"element line 1 is cut off after column 40, inside the first derivative"}, 1, 0, 0,
                RunOutcome::Refused},
        TleCase{"LinesOfTwoSatellites", Text(Entry(GoodName, GoodLine1, Line2With(3, 7, "25544"))), true,
                {"two satellites", "\"90021\"", "\"25544\""}, 1, 0, 0, RunOutcome::Refused},
        // Stored files may carry wrong check digits: a warning, and the run.
        TleCase{"WrongCheckDigit", Text(Entry(GoodName, GoodLine1, GoodLine2.substr(0, 68) + (GoodLine2[68] == '9' ? "0" : "9"))),
                true, {}, 1, 0, 0, RunOutcome::Completes,
                [](const SatelliteCatalogue& cat) {
                    const CurrentElementSet e = SelectElementSet(cat, 1);
                    ASSERT_EQ(e.LineWarnings.size(), 1u);
                    ExpectClearMessage(e.LineWarnings[0], {"\"BADIN-1\"", "element line 2", "check digit"});
                }},
        TleCase{"ExponentInTheDragTerm", Text(Entry(GoodName, Line1With(34, 43, " .9E+307  "), GoodLine2)), true,
                {"drag term"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"ExponentInTheMeanMotion", Text(Entry(GoodName, GoodLine1, Line2With(53, 63, "     1E+130"))), true,
                {"mean motion"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"Eccentricity9999999", Text(Entry(GoodName, GoodLine1, Line2With(27, 33, "9999999"))), true, {}, 1, 0,
                0, RunOutcome::Stops},
        TleCase{"MeanMotionZero", Text(Entry(GoodName, GoodLine1, Line2With(53, 63, " 0.00000000"))), true,
                {"mean motion (0 revolutions per day) is not above 0"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"MeanMotionNegative", Text(Entry(GoodName, GoodLine1, Line2With(53, 63, "-15.5000000"))), true,
                {"mean motion (-15.5 revolutions per day) is not above 0"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"MeanMotionMissing", Text(Entry(GoodName, GoodLine1, GoodLine2.substr(0, 52))), true,
                {"mean motion"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"EpochWithoutDecimalPoint", Text(Entry(GoodName, Line1With(19, 32, "26338         "), GoodLine2)), true,
                {}, 1, 0, 0, RunOutcome::Completes,
                [](const SatelliteCatalogue& cat) { EXPECT_EQ(cat.Entry(1).Epoch, 26338); }},
        TleCase{"EpochYear57", Text(Entry(GoodName, Line1With(19, 32, "57100.50000000"), GoodLine2)), true, {}, 1, 0, 0,
                RunOutcome::Completes, EpochIsInTheNineteenHundreds},
        TleCase{"EpochYear78", Text(Entry(GoodName, Line1With(19, 32, "78100.50000000"), GoodLine2)), true, {}, 1, 0, 0,
                RunOutcome::Completes, EpochIsInTheNineteenHundreds},
        TleCase{"EpochYear99", Text(Entry(GoodName, Line1With(19, 32, "99100.50000000"), GoodLine2)), true, {}, 1, 0, 0,
                RunOutcome::Completes, EpochIsInTheNineteenHundreds},
        TleCase{"EpochNegative", Text(Entry(GoodName, Line1With(19, 32, "-6338.50000000"), GoodLine2)), true,
                {"epoch"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"TruncatedLine2", Text(Entry(GoodName, GoodLine1, GoodLine2.substr(0, 20))), true,
                {"cut off after column 20, inside the right ascension"}, 1, 0, 0, RunOutcome::Refused},
        TleCase{"CrOnlyLineEnds", Text(Entry(GoodName, GoodLine1, GoodLine2, "\r")), true, {}, 1, 0, 0},
        TleCase{"LfOnlyLineEnds", Text(Entry(GoodName, GoodLine1, GoodLine2, "\n")), true, {}, 1, 0, 0},
        TleCase{"BinaryGarbage", Text(std::string("\x7F" "ELF\x02\x01\x01\0\0\0\xFF\xFE\r\n", 14)), true,
                {"element line 1 is missing"}, 1, 0, 0, RunOutcome::Refused}),
    [](const ::testing::TestParamInfo<TleCase>& info) { return std::string(info.param.Label); });

// ---------------------------------------------------------------------------
// Start texts and the year text

struct StartCase {
    const char* Label;
    const char* Day;
    const char* Month;
    const char* Year;
    DateTextField Wrong;
    const char* Mentions;
};

std::ostream& operator<<(std::ostream& out, const StartCase& c) { return out << c.Label; }

class BadStartTexts : public ::testing::TestWithParam<StartCase> {};

TEST_P(BadStartTexts, RefusedNamingTheBox)
{
    const StartCase& c = GetParam();
    const ParsedDate parsed = ParseDateTexts(c.Day, c.Month, c.Year);
    EXPECT_FALSE(parsed);
    EXPECT_EQ(parsed.WrongField, c.Wrong);
    ExpectClearMessage(parsed.Error, {c.Mentions});
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadStartTexts,
    ::testing::Values(StartCase{"AllEmpty", "", "", "", DateTextField::Day, "The day is empty"},
                      StartCase{"EmptyDay", "", "12", "2026", DateTextField::Day, "The day is empty"},
                      StartCase{"EmptyMonth", "6", " ", "2026", DateTextField::Month, "The month is empty"},
                      StartCase{"EmptyYear", "6", "12", "", DateTextField::Year, "The year is empty"},
                      StartCase{"February31", "31", "02", "2026", DateTextField::Day, "February 2026 has 28 days"},
                      StartCase{"February29InACommonYear", "29", "2", "2100", DateTextField::Day, "has 28 days"},
                      StartCase{"April31", "31", "04", "2026", DateTextField::Day, "April 2026 has 30 days"},
                      StartCase{"DayZero", "0", "1", "2026", DateTextField::Day, "\"0\""},
                      StartCase{"Month13", "1", "13", "2026", DateTextField::Month, "\"13\" is not between 1 and 12"},
                      StartCase{"YearZero", "1", "1", "0", DateTextField::Year, "\"0\" is not between 1 and 9999"},
                      StartCase{"Year10000", "1", "1", "10000", DateTextField::Year, "\"10000\" is not between 1 and 9999"},
                      StartCase{"NegativeYear", "1", "1", "-2026", DateTextField::Year, "\"-2026\""},
                      StartCase{"LettersInTheDay", "ab", "12", "2026", DateTextField::Day, "\"ab\" is not a whole number"},
                      StartCase{"LettersInTheMonth", "6", "Dec", "2026", DateTextField::Month, "\"Dec\""},
                      StartCase{"LetterOInTheYear", "6", "12", "2O26", DateTextField::Year, "\"2O26\""},
                      StartCase{"DecimalDay", "6.5", "12", "2026", DateTextField::Day, "\"6.5\""},
                      StartCase{"HugeYear", "6", "12", "99999999999999999999999", DateTextField::Year, "not between"},
                      StartCase{"ControlCharacter", "6", "1\x1B", "2026", DateTextField::Month, "\"1?\""}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.Label); });

struct YearCase {
    const char* Label;
    const char* Text;
    const char* Mentions;
};

class BadYearText : public ::testing::TestWithParam<YearCase> {};

TEST_P(BadYearText, RefusedNamingTheYear)
{
    const YearCase& c = GetParam();
    const ParsedYear parsed = ParseYearText(c.Text);
    EXPECT_FALSE(parsed);
    ExpectClearMessage(parsed.Error, {"year", c.Mentions});
}

INSTANTIATE_TEST_SUITE_P(Table, BadYearText,
                         ::testing::Values(YearCase{"Letters", "abc", "\"abc\" is not a whole number"},
                                           YearCase{"Empty", "", "is empty"},
                                           YearCase{"Blanks", "   ", "is empty"},
                                           YearCase{"Zero", "0", "not between 1 and 9999"},
                                           YearCase{"TenThousand", "10000", "not between 1 and 9999"},
                                           YearCase{"WithTime", "2024/01/01", "not a whole number"}),
                         [](const ::testing::TestParamInfo<YearCase>& info) { return std::string(info.param.Label); });

TEST(BadYearTextMegabyte, MessageStaysShort)
{
    const ParsedYear parsed = ParseYearText(std::string(1u << 20, '2') + "x");
    EXPECT_FALSE(parsed);
    ExpectClearMessage(parsed.Error, {"year", "...\""});
}

// ---------------------------------------------------------------------------
// Satellite names that make poor file names

struct NameCase {
    const char* Label;
    std::string Name;
};

std::ostream& operator<<(std::ostream& out, const NameCase& c) { return out << c.Label; }

class AwkwardSatelliteName : public ::testing::TestWithParam<NameCase> {};

// The three files named after the satellite land in the chosen folder, as
// one file each, whatever the name holds; the headers keep the name.
TEST_P(AwkwardSatelliteName, FilesStayInTheirFolderUnderASafeName)
{
    const NameCase& c = GetParam();
    ScratchFolder root;
    const fs::path folder = root / "out";
    fs::create_directory(folder);

    const std::vector<std::string> names = {PassesFileName(c.Name), EclipsesFileName(c.Name), YearFileName(c.Name, 2026)};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(name.find('/'), std::string::npos);
        const std::vector<std::string_view> characters = Utf8Characters(name);
        EXPECT_TRUE(std::none_of(characters.begin(), characters.end(),
                                 [](std::string_view ch) { return IsControlCharacter(Utf8CodePoint(ch)); }));
        EXPECT_TRUE(IsValidUtf8(name) || !IsValidUtf8(c.Name));
        WriteFileAtomically((folder / name).string(), ListFileBytes(PassesHeader(c.Name), {}));
    }
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(folder)) written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(root.Listing(), std::vector<std::string>{"out"}) << "nothing beside the folder";

    const std::string bytes = ReadBytes(folder / names[0]);
    EXPECT_EQ(bytes.rfind(Utf8ToCp1252("visible passes forecast for " + c.Name) + "\r\n", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AwkwardSatelliteName,
    ::testing::Values(NameCase{"Slash", "NOAA/19"}, NameCase{"OnlySlash", "/"},
                      NameCase{"ParentFolder", ".."}, NameCase{"CurrentFolder", "."},
                      NameCase{"ClimbsOut", "../../etc/passwd"}, NameCase{"AbsolutePath", "/tmp/x"},
                      NameCase{"ControlCharacters", "SAT\x01\x1B[2J\x7F" "1"}, NameCase{"NewLine", "SAT\r\n1"},
                      NameCase{"ThreeHundredCharacters", std::string(300, 'S')},
                      NameCase{"ThreeHundredOmegas", [] { std::string s; for (int i = 0; i < 300; ++i) s += "\u03A9"; return s; }()},
                      NameCase{"Blanks", "NOAA 19"}, NameCase{"Backslash", "C:\\KEP\\SAT"},
                      NameCase{"RightToLeftOverride", "SAT\xE2\x80\xAE" "txt.exe"},
                      NameCase{"C1Control", "SAT\xC2\x9B" "2J"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.Label); });

// ---------------------------------------------------------------------------
// Output that cannot be written

struct OutputCase {
    const char* Label;
    // The target path inside the scratch folder; may make things there.
    std::function<std::string(const ScratchFolder&)> Target;
    WriteFunction Write;                // empty: the real write
    std::vector<std::string> Mentions;  // besides the path
    bool OldFile;                       // a good file stands at the target before
};

std::ostream& operator<<(std::ostream& out, const OutputCase& c) { return out << c.Label; }

class UnwritableOutput : public ::testing::TestWithParam<OutputCase> {};

// A list file or year file that cannot be written: OutputError naming the
// path and the reason, an older file of that name as it was, and no
// temporary file left behind.
TEST_P(UnwritableOutput, ReportedLeavingTheOldFileWhole)
{
    const OutputCase& c = GetParam();
    ScratchFolder folder;
    const std::string target = c.Target(folder);
    const std::string old = ListFileBytes(PassesHeader("OLD"), {"an older pass line"});
    if (c.OldFile) WriteFileAtomically(target, old);
    const std::vector<std::string> before = folder.Listing();

    const std::string bytes = ListFileBytes(PassesHeader(GoodName), std::vector<std::string>(2000, std::string(100, 'p')));
    const std::string message = OutputErrorOf([&] {
        if (c.Write) WriteFileAtomically(target, bytes, c.Write);
        else WriteFileAtomically(target, bytes);
    });
    std::vector<std::string> parts = c.Mentions;
    parts.push_back(target);
    ExpectClearMessage(message, parts);
    if (c.OldFile) {
        EXPECT_EQ(ReadBytes(target), old);
    }
    EXPECT_EQ(folder.Listing(), before) << "no temporary file remains";
}

WriteFunction FillsUpAfter(std::size_t room, int error)
{
    auto left = std::make_shared<std::size_t>(room);
    return [left, error](int fd, const void* data, std::size_t size) -> ssize_t {
        if (*left == 0) {
            if (error == 0) return 0;
            errno = error;
            return -1;
        }
        const std::size_t n = std::min(size, *left);
        *left -= n;
        return ::write(fd, data, n);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnwritableOutput,
    ::testing::Values(
        OutputCase{"FolderIsARegularFile",
                   [](const ScratchFolder& f) { WriteBytes(f / "plain", "x"); return (f / "plain" / "SAT_passes.txt").string(); },
                   {}, {std::strerror(ENOTDIR)}, false},
        OutputCase{"FolderMissing", [](const ScratchFolder& f) { return (f / "gone" / "SAT_passes.txt").string(); }, {},
                   {std::strerror(ENOENT)}, false},
        OutputCase{"TargetIsAFolder",
                   [](const ScratchFolder& f) { fs::create_directory(f / "SAT_passes.txt"); return (f / "SAT_passes.txt").string(); },
                   {}, {"is a folder"}, false},
        OutputCase{"DiskFillsUpMidWrite", [](const ScratchFolder& f) { return (f / "SAT_passes.txt").string(); },
                   FillsUpAfter(4096, ENOSPC), {std::strerror(ENOSPC)}, true},
        OutputCase{"DiskTakesNothingMore", [](const ScratchFolder& f) { return (f / "SAT_passes.txt").string(); },
                   FillsUpAfter(100, 0), {std::strerror(ENOSPC)}, true},
        OutputCase{"DiskFullFromTheStart", [](const ScratchFolder& f) { return (f / "SAT_eclipses.txt").string(); },
                   FillsUpAfter(0, ENOSPC), {std::strerror(ENOSPC)}, true},
        OutputCase{"NewFileOnAFullDisk", [](const ScratchFolder& f) { return (f / "SAT_sowi_2026.csv").string(); },
                   FillsUpAfter(10, ENOSPC), {std::strerror(ENOSPC)}, false},
        OutputCase{"InputOutputError", [](const ScratchFolder& f) { return (f / "SAT_passes.txt").string(); },
                   FillsUpAfter(50000, EIO), {std::strerror(EIO)}, true},
        OutputCase{"QuotaExceeded", [](const ScratchFolder& f) { return (f / "SAT_passes.txt").string(); },
                   FillsUpAfter(1, EDQUOT), {std::strerror(EDQUOT)}, true}),
    [](const ::testing::TestParamInfo<OutputCase>& info) { return std::string(info.param.Label); });

} // namespace
} // namespace tavik::badinput
