// The command line read without running the program: options, their values and the choice of satellite.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace tavik::cli {
namespace {

TEST(ParseCommandLine, TakesEachOptionOnceWithSpaceOrEqualsAndRefusesTheRest)
{
    const struct {
        std::vector<std::string> Args;
        std::string Error; // a part of the usage error; none: taken
    } rows[] = {
        {{}, ""},
        {{"--settings", "a.ini", "--tle=b.tle", "--locator", "JO40hc", "--satellite", "TAVIK SSO", "--start=2026-12-06",
          "--year", "2027", "--year-dir", "out", "--strip", "s.png", "--save-passes", "--save-eclipses"}, ""},
        {{"--frob=1"}, "unknown option \"--frob\""},
        {{"--tle"}, "--tle needs a value"}, {{"--tle", "--locator", "JO40hc"}, "--tle needs a value"},
        {{"--save-passes=yes"}, "--save-passes takes no value"},
        {{"stray"}, "unexpected argument \"stray\""},
        {{"--help", "-h"}, "is given more than once"}, {{"--year-dir", "out"}, "--year-dir needs --year"},
        {{"--out", "o"}, "option --out needs --all"},
        {{"--all", "--save-passes"}, "option --save-passes is for one satellite, not with --all"},
        {{"--update-tle", "https://x/a.txt", "--satellite", "2"}, "--satellite does not go with --update-tle"},
        {{"--update-tle", "https://x/a.txt", "--tle", "-"},
         "--update-tle needs a TLE file to replace, not standard input"},
        {{"--model", "fast"}, "option --model takes classic or sgp4, not \"fast\""},
        {{"--update-tle", "u", "--timeout", "5", "--add-new"}, ""},
        {{"--update-tle", "u", "--add-new", "--replace"}, "options --add-new and --replace exclude each other"},
        {{"--add-new"}, "option --add-new needs --update-tle"},
        {{"--frequency", "145.8"}, "option --frequency needs --format csv, json or ics, or --now"},
        {{"--year-report", "--format", "json", "--model", "classic"}, ""},
        {{"--year-report", "--format", "ics"}, "option --format takes text, csv or json with --year-report"},
        {{"--year-report", "--all"}, "option --all does not go with --year-report"},
        {{"--attitude", "10,-5", "--year-report"}, ""},
        {{"--attitude", "sideways"}, "option --attitude: the attitude \"sideways\" is not one of LON,LAT"},
        {{"--now", "--attitude", "sun"}, "option --attitude does not go with --now"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Args.empty() ? "(nothing)" : row.Args.front());
        const ParsedCommandLine p = ParseCommandLine(row.Args);
        if (row.Error.empty()) EXPECT_EQ(p.UsageError, "");
        else EXPECT_NE(p.UsageError.find(row.Error), std::string::npos) << p.UsageError;
    }
    // "=" keeps a value that looks like an option; an empty path is for the file check.
    const Options o = ParseCommandLine({"--satellite=--odd--", "--tle=", "-h"}).Values;
    EXPECT_EQ(o.Satellite, "--odd--");
    EXPECT_EQ(o.Tle, "");
    EXPECT_TRUE(o.Help);
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
