// Bad input given to tavik-forecast run as a process: exit status 1, one
// line on standard error naming the file or option and what is wrong, and
// everything that was there left as it was: no file announced, none
// replaced, no temporary file.
#include "Support.h"

#include <cerrno>
#include <cstring>

namespace tavik::badinput {
namespace {

const std::string Good = Entry("BADIN-1");
const std::string OldList = "visible passes forecast for BADIN-1\r\nan older line\r\n";

std::vector<std::string> With(std::vector<std::string> more, const char* tle = "{root}/good.tle",
                              const char* start = "2026-12-06")
{
    std::vector<std::string> args = {"--tle", tle, "--locator", "JO40HC", "--start", start};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

Invocation Bad(const char* name, std::vector<std::string> args, std::vector<std::string> says,
               std::map<std::string, std::string> before = {{"good.tle", Good}})
{
    return {.Name = name, .Args = std::move(args), .Status = 1, .ErrHas = std::move(says), .Before = std::move(before),
            .Unchanged = true};
}

std::string SixHundred()
{
    std::string s;
    for (int i = 1; i <= 600; ++i) s += Entry("SAT " + std::to_string(i));
    return s;
}

TAVIK_PROGRAM_TABLE(
    ForecastProgramBadInput, ExitsWithOneLineNamingTheProblemAndChangesNothing,
    Bad("SettingsFileMissing", {"--settings", "{root}/none.ini"},
        {"settings file {root}/none.ini", std::strerror(ENOENT)}),
    Bad("SettingsTlePathEndsWithABlank", {"--settings", "{root}/tavik.ini"},
        {"TLE file \"{root}/good.tle \": ", std::strerror(ENOENT), "(the name ends with a blank)"},
        {{"tavik.ini", "JO40HC\r\ngood.tle \r\n"}, {"good.tle", Good}}),
    Bad("LocatorWithACyrillicO", {"--tle", "{root}/good.tle", "--locator", "J\xD0\x9E" "40HC"},
        {"--locator \"J\xD0\x9E" "40HC\"", "character 2 is \"\xD0\x9E\" (U+041E)"}),
    Bad("TleFileMissing", With({}, "{root}/none.tle"), {"TLE file {root}/none.tle", std::strerror(ENOENT)}),
    Bad("TleEndlessDevice", With({}, "/dev/zero"), {"/dev/zero: is larger than 64 MiB"}),
    Bad("TleEmptyStandardInput", With({}, "-"), {"TLE text on standard input: no satellite found"}),
    Bad("UnknownSatellite", With({"--satellite", "6"}),
        {"no satellite \"6\" in {root}/good.tle, which holds 1 satellite; give its name or a number from 1 to 1"}),
    // Past the 500 entries read, it is there but cannot be chosen.
    Bad("SatelliteBeyondThe500th", With({"--satellite", "SAT 550"}),
        {"satellite \"SAT 550\" lies past the 500 entries that are read from {root}/good.tle: it is number 550 of 600"},
        {{"good.tle", SixHundred()}}),
    Bad("MeanMotionZero", With({"--save-passes"}), {"\"BADIN-1\"", "mean motion"},
        {{"good.tle", Entry("BADIN-1", GoodLine1, Replaced(GoodLine2, 53, 63, " 0.00000000"))},
         {"work/BADIN-1_passes.txt", OldList}}),
    Bad("StartWithoutALayout", With({}, "{root}/good.tle", "tomorrow"),
        {"--start \"tomorrow\"", "YYYY-MM-DD or DD.MM.YYYY"}),
    Bad("YearOfLetters", With({"--year", "abc"}), {"--year \"abc\"", "whole number"}),
    // A frequency that is no frequency would give Doppler shifts of nothing.
    Bad("FrequencyNegative", With({"--format", "json", "--frequency", "-145.8"}),
        {"--frequency \"-145.8\" is not a frequency: give MHz above 0 up to 300000"}));

} // namespace
} // namespace tavik::badinput
