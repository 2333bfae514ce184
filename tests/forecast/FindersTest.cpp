// The pass finder and the eclipse finder on short synthetic sequences.
#include "forecast/EclipseFinder.h"
#include "forecast/PassFinder.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

CalcInstant At(int day, int minuteOfDay)
{
    CalcInstant at;
    at.CalcYear = 2026;
    at.CalcMonth = 12;
    at.CalcDay = static_cast<std::int16_t>(day);
    at.CalcHour = minuteOfDay / 60;
    at.CalcMinute = minuteOfDay % 60;
    return at;
}

// Feeds one elevation per minute from 00:00 of day 6; other figures fixed.
std::vector<std::string> PassLinesFor(const std::vector<double>& elevations)
{
    PassFinder finder;
    std::vector<std::string> lines;
    for (std::size_t m = 0; m < elevations.size(); ++m)
        finder.Step(At(6, static_cast<int>(m)), {elevations[m], 123.7, 29.4, 0.87}, lines);
    return lines;
}

std::size_t CodePoints(const std::string& s)
{
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

TEST(PassFinder, ExampleLineIsExact)
{
    PassFinder finder;
    std::vector<std::string> lines;
    finder.Step(At(6, 5 * 60 + 12), {-0.5, 120, 29, 0.87}, lines);
    finder.Step(At(6, 5 * 60 + 13), {0.8, 123.99, 29.4, 0.8749}, lines);
    finder.Step(At(6, 5 * 60 + 18), {43.9, 80, 29.1, 0.87}, lines);
    finder.Step(At(6, 5 * 60 + 24), {-0.1, 45.2, 28.6, 0.8650}, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "12/06/2026  05:13 (Az 123\u00B0)  illum: 087%   sun angle: 29\u00B0 -> 05:24 "
                        "(Az 045\u00B0)  illum: 087%   sun angle: 29\u00B0  maxEl: 43\u00B0");
    EXPECT_EQ(CodePoints(lines[0]), 118u);
}

TEST(PassFinder, RulesOnSyntheticElevations)
{
    struct Case {
        const char* What;
        std::vector<double> Elevations;
        std::vector<std::string> Expected; // "rise-set maxEl" per line
    };
    const Case cases[] = {
        {"rise at the first step", {5, 10, -1}, {"00:00-00:02 10"}},
        {"exactly 0 neither opens nor closes", {0, 0, 3, 0, 2, -1}, {"00:02-00:05 03"}},
        {"highest elevation below 1 degree shows 00", {-1, 0.4, 0.9, -0.2}, {"00:01-00:03 00"}},
        {"two passes, maximum reset between", {-1, 30, -1, -3, 2, -1}, {"00:01-00:02 30", "00:04-00:05 02"}},
        {"open at the end emits nothing", {-1, 4, 8, 9}, {}},
        {"never above the horizon", {-5, -4, 0, -1}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        std::vector<std::string> lines = PassLinesFor(c.Elevations);
        ASSERT_EQ(lines.size(), c.Expected.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& e = c.Expected[i];
            EXPECT_EQ(lines[i].substr(12, 5), e.substr(0, 5)) << lines[i];
            EXPECT_NE(lines[i].find("-> " + e.substr(6, 5)), std::string::npos) << lines[i];
            EXPECT_NE(lines[i].find("maxEl: " + e.substr(12) + "\u00B0"), std::string::npos) << lines[i];
        }
    }
}

TEST(PassFinder, SetAtMidnightCarriesTheNextDayAndIsNotRepeated)
{
    PassFinder finder;
    std::vector<std::string> lines;
    finder.Step(At(6, 1438), {-1, 0, 0, 1}, lines);
    finder.Step(At(6, 1439), {4, 0, 0, 1}, lines);
    // Minute 1440 of day 6 is 00:00 of day 7, computed twice.
    finder.Step(At(7, 0), {-0.5, 0, 0, 1}, lines);
    finder.Step(At(7, 0), {-0.5, 0, 0, 1}, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 10), "12/07/2026");
    EXPECT_NE(lines[0].find("23:59"), std::string::npos);
    EXPECT_NE(lines[0].find("-> 00:00"), std::string::npos);
}

TEST(PassFinder, FiguresInTheStepSummary)
{
    struct Case {
        PassStepValues V;
        const char* Expected;
    };
    const Case cases[] = {
        {{1, 359.99, 29.5, 1.0}, "(Az 359\u00B0)  illum: 100%   sun angle: 30\u00B0"},
        {{1, 0.2, -0.3, 0.0}, "(Az 000\u00B0)  illum: 000%   sun angle: -00\u00B0"},
        {{1, 7.5, -7.4, 0.005}, "(Az 007\u00B0)  illum: 001%   sun angle: -07\u00B0"},
        {{1, 45, -89.6, 0.994}, "(Az 045\u00B0)  illum: 099%   sun angle: -90\u00B0"},
    };
    for (const auto& c : cases) {
        std::string s = PassStepSummary(At(6, 0), c.V);
        EXPECT_EQ(s.substr(6), c.Expected);
    }
}

// Feeds one shadow flag per minute from 00:00 of 2026-12-06.
std::vector<std::string> EclipseLinesFor(const std::vector<bool>& shadow, int firstMinute = 0)
{
    EclipseFinder finder;
    std::vector<std::string> lines;
    DateTime start = *DateTime::FromCalendar(2026, 12, 6);
    for (std::size_t m = 0; m < shadow.size(); ++m)
        finder.Step(shadow[m], start.AddMinutes(firstMinute + static_cast<int>(m)), GermanLikeFormats(), lines);
    return lines;
}

TEST(EclipseFinder, LinesOnSyntheticShadow)
{
    struct Case {
        const char* What;
        std::vector<bool> Shadow;
        int FirstMinute;
        std::vector<std::string> Expected;
    };
    std::vector<bool> from0to21(22, true);
    from0to21[21] = false;
    std::vector<bool> acrossMidnight = {false, true, true, true, false};
    const Case cases[] = {
        {"in shadow at the start: bare start date", from0to21, 0,
         {"06.12.2026   ->   06.12.2026 00:21:00    duration: 21 min"}},
        {"single step", {false, true, false}, 313, {"06.12.2026 05:14:00   ->   06.12.2026 05:15:00    duration: 1 min"}},
        {"across midnight, exit at 00:00", {false, true, true, false}, 1437,
         {"06.12.2026 23:58:00   ->   07.12.2026    duration: 2 min"}},
        {"spans midnight", acrossMidnight, 1438, {"06.12.2026 23:59:00   ->   07.12.2026 00:02:00    duration: 3 min"}},
        {"open at the end", {false, true, true}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(EclipseLinesFor(c.Shadow, c.FirstMinute), c.Expected);
    }
}

TEST(EclipseFinder, ExampleLineAndRepeatedMidnight)
{
    EclipseFinder finder;
    std::vector<std::string> lines;
    DateTime t = *DateTime::FromCalendar(2026, 12, 6, 5, 13);
    finder.Step(true, t, GermanLikeFormats(), lines);
    finder.Step(false, t.AddMinutes(35), GermanLikeFormats(), lines);
    finder.Step(false, t.AddMinutes(35), GermanLikeFormats(), lines); // the same instant again
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "06.12.2026 05:13:00   ->   06.12.2026 05:48:00    duration: 35 min");
    EXPECT_EQ(finder.LastDuration, 35);
}

} // namespace
} // namespace tavik
