// --upcoming and --now as a script sees them: the document on standard output, its shape checked by Python's own
// JSON reader, what is refused and the progress on standard error.
#include "Program.h"

namespace tavik::program {
namespace {

const std::string Tle = TAVIK_EXAMPLES "/example.tle";
const std::vector<std::string> Station = {"--tle", Tle, "--locator", "JO40hc"};
const std::vector<std::string> Day = {"--tle", Tle, "--locator", "JO40hc", "--upcoming", "--start", "2026-12-06"};

std::vector<std::string> Plus(std::vector<std::string> base, const std::vector<std::string>& more)
{
    base.insert(base.end(), more.begin(), more.end());
    return base;
}
// Standard output read by Python: the run and the check must both succeed.
std::string Checked(const std::string& python)
{
    return "set -o pipefail; \"$0\" \"$@\" | python3 -c 'import json, sys\nd = json.load(sys.stdin)\n" + python + "'";
}
const std::string Sorted = "p = d[\"passes\"]\n"
                           "rises = [x[\"rise\"][\"time\"] if x[\"rise\"] else \"\" for x in p]\n"
                           "assert p and rises == sorted(rises), rises\n";
const std::string Shape = "assert sorted(d) == [\"attitude\", \"passes\", \"station\"], sorted(d)\n"
                          "for x in d[\"passes\"]:\n"
                          "    assert {\"satellite\", \"catalogue_number\", \"rise\", \"max\", \"set\"} <= set(x), x\n"
                          "    assert x[\"max\"][\"elevation_deg\"] > 0, x\n";
const std::string NowFields = "for k in (\"satellite\", \"station\", \"time\", \"elevation_deg\", \"range_rate_km_s\", "
                              "\"height_km\", \"light\", \"next\", \"doppler_hz\", \"downlink_received_hz\"):\n"
                              "    assert json.dumps(d).count(\"\\\"\" + k + \"\\\"\"), k\n";

TAVIK_PROGRAM_TABLE(
    UpcomingProgram, GivesTheListOrRefuses,
    Invocation{.Name = "Text", .Args = Day,
               .OutHas = {"Passes over JO40hc from 2026-12-06 00:00:00 to 2026-12-07 00:00:00 UTC (classic model)\n",
                          "rise (UTC)           az    set (UTC)", "  TAVIK-LEO (99101)\n", "  TAVIK-SSO (99102)\n"}},
    Invocation{.Name = "TextOfAWindowWithoutPasses", .Args = Plus(Day, {"--hours", "1", "--min-elevation", "90"}),
               .OutHas = {"no passes in the window\n"}},
    Invocation{.Name = "JsonWeekInThePreciseModel",
               .Args = Plus(Day, {"--format", "json", "--hours", "168", "--model", "sgp4"}),
               .Shell = Checked(Shape + Sorted)},
    Invocation{.Name = "ZeroHours", .Args = Plus(Day, {"--hours", "0"}), .Status = 1,
               .ErrHas = {"--hours \"0\" is not a number of hours from 1 to 168"}, .Unchanged = true},
    Invocation{.Name = "ElevationAboveTheZenith", .Args = Plus(Day, {"--min-elevation", "91"}), .Status = 1,
               .ErrHas = {"--min-elevation \"91\" is not an elevation from 0 to 90 degrees"}, .Unchanged = true},
    // Progress as --all gives it on a terminal (here script(1)'s, which ends lines with "\r\n"); standard output,
    // the document alone, goes elsewhere. Where standard error is no terminal nothing is said (the Json row).
    Invocation{.Name = "ProgressOnATerminal",
               .Args = {"--tle", "{root}/many.tle", "--locator", "JO40hc", "--upcoming", "--start", "2026-12-06",
                        "--hours", "1", "--format", "json"},
               .OutHas = {"/500 satellites\r\x1b[K", "\r\x1b[K500/500 satellites\r\n"},
               .Files = {{"out.json", "^{"}}, .Before = {{"many.tle", CopiesOfTheLowSatellite(500)}},
               .Shell = "script -qec \"$(printf '%q ' \"$0\" \"$@\") > ../out.json\" /dev/null"});

TAVIK_PROGRAM_TABLE(
    NowProgram, SaysWhereTheSatelliteIs,
    Invocation{.Name = "TextWithFrequencies",
               .Args = Plus(Station, {"--now", "--satellite", "TAVIK-SSO", "--frequency=145.8", "--uplink=435.3"}),
               .OutHas = {"TAVIK-SSO from JO40hc at ", " deg\nelevation    ", " km/s\nunder it     ", "\nlight        ",
                          "\ndownlink     145.", " MHz heard (Doppler ", "\nuplink       435.", " MHz to transmit"}},
    Invocation{.Name = "JsonInThePreciseModel",
               .Args = Plus(Station, {"--now", "--format", "json", "--model", "precise", "--frequency", "145.8"}),
               .Shell = Checked(NowFields + "assert d[\"model\"] == \"sgp4\", d\n")},
    Invocation{.Name = "CsvRefused", .Args = Plus(Station, {"--now", "--format", "csv"}), .Status = 2,
               .ErrHas = {"tavik-forecast: option --now prints text or json, not \"csv\" (see --help)\n"},
               .Unchanged = true});

} // namespace
} // namespace tavik::program
