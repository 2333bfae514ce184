// The settings file: line 1 the station's locator, line 2 the TLE file.

#include "catalogue/Catalogue.h"
#include "TestSupport.h"
#include "catalogue/Settings.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#ifndef TAVIK_TEST_DATA
#error "TAVIK_TEST_DATA must name the folder of the test fixtures"
#endif

namespace tavik {
namespace {

namespace fs = std::filesystem;

using test::Contains;
using test::InputErrorMessage;
using test::TempFolder;


TEST(ParseSettings, GoodFileGivesLocatorAndPathAsWritten)
{
    Settings s = ParseSettings("JO40HC\r\n/home/op/tle/amateur.tle\r\n", "tavik.ini");
    EXPECT_EQ(s.StationLocator, "JO40HC");
    EXPECT_EQ(s.TleFilePath, "/home/op/tle/amateur.tle");
}

TEST(ParseSettings, EveryLineEndGivesTheSameSettings)
{
    struct Case { const char* Label; const char* Text; } cases[] = {
        {"CR LF", "JO40HC\r\n/tle/a.tle\r\n"},
        {"LF", "JO40HC\n/tle/a.tle\n"},
        {"lone CR", "JO40HC\r/tle/a.tle\r"},
        {"mixed", "JO40HC\r/tle/a.tle\r\n"},
        {"no end after line 2", "JO40HC\r\n/tle/a.tle"},
        {"third line ignored", "JO40HC\r\n/tle/a.tle\r\n; written by hand, do not share\r\n"},
        {"third line without a locator's shape", "JO40HC\r\n/tle/a.tle\r\nXX\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        Settings s = ParseSettings(c.Text, "tavik.ini");
        EXPECT_EQ(s.StationLocator, "JO40HC");
        EXPECT_EQ(s.TleFilePath, "/tle/a.tle"); // no CR or LF left on it
    }
}

TEST(ParseSettings, LinesAreKeptAsWritten)
{
    struct Case { const char* Text; const char* Locator; const char* Path; const char* Why; } cases[] = {
        {"JO40HC12\r\na.tle\r\n", "JO40HC12", "a.tle", "eight-character locator, shown in full"},
        {"jo40hc\r\na.tle\r\n", "jo40hc", "a.tle", "lower case is accepted and not folded here"},
        {"JO40\r\na.tle\r\n", "JO40", "a.tle", "four-character locator"},
        {"JO40HC\r\n tles/my sats.tle \r\n", "JO40HC", " tles/my sats.tle ", "path not trimmed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Why);
        Settings s = ParseSettings(c.Text, "tavik.ini");
        EXPECT_EQ(s.StationLocator, c.Locator);
        EXPECT_EQ(s.TleFilePath, c.Path);
    }
}

TEST(ParseSettings, UnusableFileIsRefusedNamingTheSourceAndTheLine)
{
    struct Case {
        const char* Label;
        std::string Text;
        std::vector<std::string> MustContain;
        const char* MustNotContain; // the other line's number
    } cases[] = {
        {"empty file", "", {"line 1"}, nullptr},
        {"one line, no end", "JO40HC", {"line 2"}, "line 1"},
        {"one line", "JO40HC\r\n", {"line 2"}, "line 1"},
        {"empty line 2", "JO40HC\r\n\r\n/tle/a.tle\r\n", {"line 2"}, "line 1"},
        {"empty locator", "\r\n/tle/a.tle\r\n", {"line 1"}, "line 2"},
        {"three characters", "JO4\r\n/tle/a.tle\r\n", {"line 1", "JO4"}, "line 2"},
        {"five characters", "JO40h\r\n/tle/a.tle\r\n", {"line 1", "JO40h"}, "line 2"},
        {"field letter beyond R", "SS00AA\r\n/tle/a.tle\r\n", {"line 1", "SS00AA"}, "line 2"},
        {"letters where the digits go", "JOAAHC\r\n/tle/a.tle\r\n", {"line 1", "JOAAHC"}, "line 2"},
        {"subsquare letter beyond X", "JO40YZ\r\n/tle/a.tle\r\n", {"line 1", "JO40YZ"}, "line 2"},
        {"NUL bytes", std::string("JO40HC\r\n/tle/a\0.tle\r\n", 21), {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        std::string message = InputErrorMessage([&] { ParseSettings(c.Text, "station.ini"); });
        EXPECT_TRUE(Contains(message, "station.ini")) << message;
        for (const auto& part : c.MustContain) EXPECT_TRUE(Contains(message, part)) << message;
        if (c.MustNotContain) {
            EXPECT_FALSE(Contains(message, c.MustNotContain)) << message;
        }
    }
}

// A settings file saved as UTF-8 by a Windows editor starts with a byte
// order mark, which was read as part of the locator and refused it.
TEST(ParseSettings, ByteOrderMarkIsNotPartOfTheLocator)
{
    Settings s = ParseSettings("\xEF\xBB\xBFJO40HC\r\nexample.tle\r\n", "tavik.ini");
    EXPECT_EQ(s.StationLocator, "JO40HC");
    EXPECT_EQ(s.TleFilePath, "example.tle");
}

// A long locator line is shown cut to 40 bytes in the message; the cut fell
// inside a character of more than one byte and left the message no UTF-8.
TEST(ParseSettings, LongLocatorLineIsCutBetweenCharactersInTheMessage)
{
    std::string line;
    for (int i = 0; i < 30; ++i) line += "\u03A9"; // two bytes each: byte 40 ends one
    line = "J" + line;                            // now byte 40 is inside one
    std::string message = InputErrorMessage([&] { ParseSettings(line + "\r\na.tle\r\n", "tavik.ini"); });
    EXPECT_TRUE(IsValidUtf8(message)) << message;
    EXPECT_TRUE(Contains(message, "\"J\u03A9")) << message;
    EXPECT_TRUE(Contains(message, "...\"")) << message;
}

TEST(ReadSettings, RelativeTlePathIsTakenFromTheSettingsFolder)
{
    TempFolder folder;
    struct Case { const char* Line2; fs::path Expected; } cases[] = {
        {"kep/weekly.tle", folder.Path / "kep" / "weekly.tle"},
        {"weekly.tle", folder.Path / "weekly.tle"},
        {"/srv/tle/weekly.tle", "/srv/tle/weekly.tle"}, // absolute: left alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Line2);
        fs::path ini = folder.Write("tavik.ini", std::string("IO91WM\r\n") + c.Line2 + "\r\n");
        Settings s = ReadSettings(ini.string());
        EXPECT_EQ(s.StationLocator, "IO91WM");
        EXPECT_EQ(fs::path(s.TleFilePath).lexically_normal(), c.Expected.lexically_normal());
    }
}

TEST(ReadSettings, FixtureNamesTheThreeSatelliteCatalogue)
{
    // tests/data/tavik.ini: "JO40HC", then the relative "three.tle".
    Settings s = ReadSettings(std::string(TAVIK_TEST_DATA) + "/tavik.ini");
    EXPECT_EQ(s.StationLocator, "JO40HC");
    ASSERT_TRUE(fs::exists(s.TleFilePath)) << s.TleFilePath;
    EXPECT_TRUE(fs::equivalent(s.TleFilePath, fs::path(TAVIK_TEST_DATA) / "three.tle"));
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadCatalogue(s.TleFilePath, *catalogue);
    EXPECT_EQ(catalogue->CatalogueCount, 3);
}

TEST(ReadSettings, MissingFileIsRefusedNamingThePath)
{
    TempFolder folder;
    const std::string path = (folder.Path / "tavik.ini").string();
    std::string message = InputErrorMessage([&] { ReadSettings(path); });
    EXPECT_TRUE(Contains(message, path)) << message;
}

TEST(ReadSettings, BadLocatorInAFileIsRefusedNamingTheFile)
{
    TempFolder folder;
    fs::path ini = folder.Write("tavik.ini", "JO40YZ\r\nthree.tle\r\n");
    std::string message = InputErrorMessage([&] { ReadSettings(ini.string()); });
    EXPECT_TRUE(Contains(message, ini.string())) << message;
    EXPECT_TRUE(Contains(message, "JO40YZ")) << message;
}

} // namespace
} // namespace tavik
