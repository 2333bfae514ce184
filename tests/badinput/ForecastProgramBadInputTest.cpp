// Bad input given to tavik-forecast run as a process: exit status 1, one
// line on standard error naming the file or option and what is wrong, and
// everything that was there left as it was: no file announced, none
// replaced, no temporary file.
#include "Program.h"

#include <cerrno>
#include <cstring>

namespace tavik::program {
namespace {

// A made-up low orbit without drag: any epoch keeps it above 150 km for the whole run.
const std::string Line1 = "1 90021U 26001A   26338.50000000  .00000000  00000-0  00000-0 0  9998";
const std::string Line2 = "2 90021  51.6400 120.0000 0005000  90.0000 270.0000 15.50000000 12347";
const std::string MeanMotion0 = "2 90021  51.6400 120.0000 0005000  90.0000 270.0000  0.00000000 12346";

const std::string Good = "BADIN-1\r\n" + Line1 + "\r\n" + Line2 + "\r\n";
const std::string OldList = "visible passes forecast for BADIN-1\r\nan older line\r\n";

std::vector<std::string> With(std::vector<std::string> more, const char* tle = "{root}/good.tle")
{
    std::vector<std::string> args = {"--tle", tle, "--locator", "JO40HC", "--start", "2026-12-06"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

Invocation Bad(const char* name, std::vector<std::string> args, std::vector<std::string> says,
               std::map<std::string, std::string> before = {{"good.tle", Good}})
{
    return {.Name = name, .Args = std::move(args), .Status = 1, .ErrHas = std::move(says), .Before = std::move(before),
            .Unchanged = true};
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
    Bad("TleEndlessDevice", With({}, "/dev/zero"), {"/dev/zero: is larger than 64 MiB"}),
    Bad("TleEmptyStandardInput", With({}, "-"), {"TLE text on standard input: no satellite found"}),
    Bad("UnknownSatellite", With({"--satellite", "6"}),
        {"no satellite \"6\" in {root}/good.tle, which holds 1 satellite; give its name or a number from 1 to 1"}),
    // Past the 500 entries read, it is there but cannot be chosen.
    Bad("SatelliteBeyondThe500th", With({"--satellite", "SAT 550"}),
        {"satellite \"SAT 550\" lies past the 500 entries that are read from {root}/good.tle: it is number 551 of 600"},
        {{"good.tle", CopiesOfTheLowSatellite(600)}}),
    Bad("MeanMotionZero", With({"--save-passes"}), {"\"BADIN-1\"", "mean motion"},
        {{"good.tle", "BADIN-1\r\n" + Line1 + "\r\n" + MeanMotion0 + "\r\n"},
         {"work/BADIN-1_passes.txt", OldList}}),
    Bad("StartWithoutALayout", {"--tle", "{root}/good.tle", "--locator", "JO40HC", "--start", "tomorrow"},
        {"--start \"tomorrow\"", "YYYY-MM-DD or DD.MM.YYYY"}),
    Bad("YearOfLetters", With({"--year", "abc"}), {"--year \"abc\"", "whole number"}),
    // A frequency that is no frequency would give Doppler shifts of nothing.
    Bad("FrequencyNegative", With({"--format", "json", "--frequency", "-145.8"}),
        {"--frequency \"-145.8\" is not a frequency: give MHz above 0 up to 300000"}));

} // namespace
} // namespace tavik::program
