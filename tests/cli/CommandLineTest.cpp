// The command line read without running the program: options, their values and the choice of satellite.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace tavik::cli {
namespace {

// The options set, in one line: "name=value" or "name".
std::string Shown(const Options& o)
{
    std::string s;
    const std::pair<const char*, const std::optional<std::string>*> values[] = {
        {"settings", &o.Settings}, {"tle", &o.Tle}, {"locator", &o.Locator}, {"satellite", &o.Satellite},
        {"start", &o.Start}, {"year", &o.Year}, {"year-dir", &o.YearDir}, {"strip", &o.Strip}, {"out", &o.Out},
        {"update-tle", &o.UpdateTle}, {"timeout", &o.Timeout}, {"format", &o.Format}, {"frequency", &o.Frequency},
        {"uplink", &o.Uplink}, {"attitude", &o.Attitude}};
    for (const auto& [name, value] : values) s += *value ? std::string(name) + "=" + **value + " " : "";
    const std::pair<const char*, bool> flags[] = {{"save-passes", o.SavePasses}, {"save-eclipses", o.SaveEclipses},
                                                  {"all", o.All}, {"help", o.Help}, {"version", o.Version},
                                                  {"add-new", o.AddNew}, {"replace", o.Replace},
                                                  {"year-report", o.YearReport}};
    for (const auto& [name, set] : flags) s += set ? std::string(name) + " " : "";
    return s;
}

TEST(ParseCommandLine, TakesEachOptionOnceWithSpaceOrEqualsAndRefusesTheRest)
{
    const struct {
        std::vector<std::string> Args;
        std::string Options; // as Shown, or a part of the usage error
        bool Refused = false;
    } rows[] = {
        {{}, ""},
        {{"--settings", "a.ini", "--tle=b.tle", "--locator", "JO40hc", "--satellite", "TAVIK SSO", "--start=2026-12-06",
          "--year", "2027", "--year-dir", "out", "--strip", "s.png", "--save-passes", "--save-eclipses"},
         "settings=a.ini tle=b.tle locator=JO40hc satellite=TAVIK SSO start=2026-12-06 year=2027 year-dir=out "
         "strip=s.png save-passes save-eclipses "},
        // "=" keeps a value that looks like an option; an empty path is for the file check.
        {{"--satellite=--odd--", "--tle=", "-h"}, "tle= satellite=--odd-- help "},
        {{"--frob=1"}, "unknown option \"--frob\"", true},
        {{"--tle"}, "--tle needs a value", true}, {{"--tle", "--locator", "JO40hc"}, "--tle needs a value", true},
        {{"--save-passes=yes"}, "--save-passes takes no value", true},
        {{"stray"}, "unexpected argument \"stray\"", true},
        {{"--help", "-h"}, "is given more than once", true}, {{"--year-dir", "out"}, "--year-dir needs --year", true},
        {{"--out", "o"}, "option --out needs --all", true},
        {{"--all", "--save-passes"}, "option --save-passes is for one satellite, not with --all", true},
        {{"--update-tle", "https://x/a.txt", "--satellite", "2"}, "--satellite does not go with --update-tle", true},
        {{"--update-tle", "https://x/a.txt", "--tle", "-"},
         "--update-tle needs a TLE file to replace, not standard input", true},
        {{"--model", "fast"}, "option --model takes classic or sgp4, not \"fast\"", true},
        // Mixing up the two would replace a user's file where a merge was asked for.
        {{"--update-tle", "u", "--timeout", "5", "--add-new"}, "update-tle=u timeout=5 add-new "},
        {{"--update-tle=u", "--replace", "--timeout=86400"}, "update-tle=u timeout=86400 replace "},
        {{"--update-tle", "u", "--add-new", "--replace"}, "options --add-new and --replace exclude each other", true},
        {{"--add-new"}, "option --add-new needs --update-tle", true},
        {{"--frequency", "145.8"}, "option --frequency needs --format csv, json or ics, or --now", true},
        {{"--year-report", "--format", "json", "--model", "classic"}, "format=json year-report "},
        {{"--year-report", "--format", "ics"}, "option --format takes text, csv or json with --year-report", true},
        {{"--year-report", "--all"}, "option --all does not go with --year-report", true},
        {{"--attitude", "10,-5", "--year-report"}, "attitude=10,-5 year-report "},
        {{"--attitude", "sideways"}, "option --attitude: the attitude \"sideways\" is not one of LON,LAT", true},
        {{"--now", "--attitude", "sun"}, "option --attitude does not go with --now", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Args.empty() ? "(nothing)" : row.Args.front());
        const ParsedCommandLine p = ParseCommandLine(row.Args);
        if (row.Refused) EXPECT_NE(p.UsageError.find(row.Options), std::string::npos) << p.UsageError;
        else EXPECT_EQ(p.UsageError + Shown(p.Values), row.Options);
    }
}

TEST(ParseCommandLine, TakesATimeoutOfWholeSecondsFromOneToADay)
{
    const std::pair<const char*, bool> rows[] = {
        {"1", true}, {"0007", true}, {"86400", true}, {"0", false}, {"86401", false}, {"1.5", false}, {"", false},
        {"99999999999999999999", false}};
    for (const auto& [value, taken] : rows) {
        const ParsedCommandLine p = ParseCommandLine({"--update-tle", "u", std::string("--timeout=") + value});
        EXPECT_EQ(p.UsageError.empty(), taken) << '"' << value << "\": " << p.UsageError;
    }
}

TEST(FrequencyMHz, TakesADecimalNumberAboveZeroUpTo300000)
{
    const std::pair<const char*, std::optional<double>> rows[] = {
        {"145.8", 145.8},           {"300000", 300000},      {"1e3", 1000},            {"0", std::nullopt},
        {"300000.1", std::nullopt}, {"145,8", std::nullopt}, {" 145.8", std::nullopt}, {"", std::nullopt},
        {"nan", std::nullopt}};
    for (const auto& [text, mhz] : rows) EXPECT_EQ(FrequencyMHz(text), mhz) << '"' << text << '"';
}

TEST(FindSatellite, TakesAnExactNameThenANumberThenANameInAnyCase)
{
    const std::vector<std::string> names = {"TAVIK-LEO", "tavik-leo", "2", "Tavik-GEO", "NOAA 19"};
    const std::pair<const char*, int> rows[] = {
        {"TAVIK-LEO", 1}, {"tavik-leo", 2}, {"TAVIK-geo", 4}, {"NOAA 19", 5}, {"2", 3}, {"4", 4}, {"004", 4},
        {"5", 5}, {"0", 0}, {"6", 0}, {"99999999999", 0}, {"NOAA  19", 0}, {"TAVIK", 0}, {"", 0}};
    for (const auto& [wanted, index] : rows) EXPECT_EQ(FindSatellite(names, wanted), index) << '"' << wanted << '"';
}

} // namespace
} // namespace tavik::cli
