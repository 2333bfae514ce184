// The command line read without running the program: options, values, the
// start date's two layouts and the choice of satellite.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tavik::cli {
namespace {

TEST(ParseCommandLine, AcceptsEveryOptionWithSpaceOrEquals)
{
    ParsedCommandLine p = ParseCommandLine({"--settings", "a.ini", "--tle=b.tle", "--locator", "JO40hc",
                                            "--satellite", "TAVIK SSO", "--start=2026-12-06", "--year",
                                            "2027", "--year-dir", "out", "--strip", "s.png", "--save-passes",
                                            "--save-eclipses"});
    ASSERT_EQ(p.UsageError, "");
    const Options& o = p.Values;
    EXPECT_EQ(o.Settings, "a.ini");
    EXPECT_EQ(o.Tle, "b.tle");
    EXPECT_EQ(o.Locator, "JO40hc");
    EXPECT_EQ(o.Satellite, "TAVIK SSO");
    EXPECT_EQ(o.Start, "2026-12-06");
    EXPECT_EQ(o.Year, "2027");
    EXPECT_EQ(o.YearDir, "out");
    EXPECT_EQ(o.Strip, "s.png");
    EXPECT_TRUE(o.SavePasses);
    EXPECT_TRUE(o.SaveEclipses);
    EXPECT_FALSE(o.Help);
}

TEST(ParseCommandLine, NothingGivenLeavesEveryInputToTheSettingsFile)
{
    ParsedCommandLine p = ParseCommandLine({});
    ASSERT_EQ(p.UsageError, "");
    EXPECT_FALSE(p.Values.Settings || p.Values.Tle || p.Values.Locator || p.Values.Start);
    EXPECT_FALSE(p.Values.SavePasses || p.Values.SaveEclipses || p.Values.Strip || p.Values.Year);
}

TEST(ParseCommandLine, EqualsKeepsAValueThatLooksLikeAnOption)
{
    ParsedCommandLine p = ParseCommandLine({"--satellite=--odd--", "--tle=", "-h"});
    ASSERT_EQ(p.UsageError, "");
    EXPECT_EQ(p.Values.Satellite, "--odd--");
    EXPECT_EQ(p.Values.Tle, ""); // an empty path is for the file check to refuse
    EXPECT_TRUE(p.Values.Help);
}

struct UsageCase {
    std::vector<std::string> Args;
    std::string Expected; // part of the message
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    for (const std::string& a : c.Args) *os << '[' << a << ']';
}

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, AreRefusedWithAMessage)
{
    ParsedCommandLine p = ParseCommandLine(GetParam().Args);
    EXPECT_NE(p.UsageError.find(GetParam().Expected), std::string::npos) << p.UsageError;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    testing::Values(UsageCase{{"--frob"}, "unknown option \"--frob\""},
                    UsageCase{{"--frob=1"}, "unknown option \"--frob\""},
                    UsageCase{{"-x"}, "unknown option \"-x\""},
                    UsageCase{{"--tle"}, "--tle needs a value"},
                    UsageCase{{"--tle", "--locator", "JO40hc"}, "--tle needs a value"},
                    UsageCase{{"--start"}, "--start needs a value"},
                    UsageCase{{"--save-passes=yes"}, "--save-passes takes no value"},
                    UsageCase{{"stray"}, "unexpected argument \"stray\""},
                    UsageCase{{"-"}, "unexpected argument \"-\""},
                    UsageCase{{"--tle", "a", "--tle=b"}, "--tle is given more than once"},
                    UsageCase{{"--help", "-h"}, "is given more than once"},
                    UsageCase{{"--year-dir", "out"}, "--year-dir needs --year"}));

struct DateCase {
    std::string Text;
    bool Splits;
    std::string Day, Month, Year;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }

class StartDates : public testing::TestWithParam<DateCase> {};

TEST_P(StartDates, SplitIntoDayMonthYear)
{
    const DateCase& c = GetParam();
    auto texts = SplitStartDate(c.Text);
    ASSERT_EQ(texts.has_value(), c.Splits) << c.Text;
    if (!texts) return;
    EXPECT_EQ(texts->Day, c.Day);
    EXPECT_EQ(texts->Month, c.Month);
    EXPECT_EQ(texts->Year, c.Year);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, StartDates,
    testing::Values(DateCase{"2026-12-06", true, "06", "12", "2026"},
                    DateCase{"06.12.2026", true, "06", "12", "2026"},
                    DateCase{"6.1.2027", true, "6", "1", "2027"},
                    // The layout is right; that no such day exists is for the date check.
                    DateCase{"2026-02-31", true, "31", "02", "2026"},
                    DateCase{"abc", false, "", "", ""},
                    DateCase{"", false, "", "", ""},
                    DateCase{"2026/12/06", false, "", "", ""},
                    DateCase{"2026-12", false, "", "", ""},
                    DateCase{"2026-12-06-01", false, "", "", ""},
                    DateCase{"2026-12-x6", false, "", "", ""},
                    DateCase{"-2026-12-06", false, "", "", ""},
                    DateCase{"06.12.", false, "", "", ""}));

struct SatelliteCase {
    std::string Wanted;
    int Index;
};

void PrintTo(const SatelliteCase& c, std::ostream* os) { *os << '"' << c.Wanted << "\" -> " << c.Index; }

class SatelliteChoice : public testing::TestWithParam<SatelliteCase> {};

TEST_P(SatelliteChoice, FindsNameThenNumberThenNameInAnyCase)
{
    const std::vector<std::string> names = {"TAVIK-LEO", "tavik-leo", "2", "Tavik-GEO", "NOAA 19"};
    EXPECT_EQ(FindSatellite(names, GetParam().Wanted), GetParam().Index) << GetParam().Wanted;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, SatelliteChoice,
    testing::Values(SatelliteCase{"TAVIK-LEO", 1}, SatelliteCase{"tavik-leo", 2},
                    SatelliteCase{"TAVIK-geo", 4},  // no exact match: case is ignored
                    SatelliteCase{"NOAA 19", 5},
                    SatelliteCase{"2", 3},          // a satellite named "2" wins over position 2
                    SatelliteCase{"4", 4}, SatelliteCase{"004", 4}, SatelliteCase{"5", 5},
                    SatelliteCase{"0", 0}, SatelliteCase{"6", 0}, SatelliteCase{"99999999999", 0},
                    SatelliteCase{"NOAA  19", 0}, SatelliteCase{"TAVIK", 0}, SatelliteCase{"", 0}));

TEST(UsageText, DocumentsOptionsAndExitStatuses)
{
    const std::string text = UsageText();
    for (const char* part : {"--settings", "--tle", "--locator", "--satellite", "--start", "--save-passes",
                             "--save-eclipses", "--year", "--year-dir", "--strip", "--help", "--version",
                             "Exit status", "  0  ", "  1  ", "  2  "})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

} // namespace
} // namespace tavik::cli
