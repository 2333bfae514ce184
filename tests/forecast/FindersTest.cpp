// The pass finder and the eclipse finder on short synthetic sequences, and
// the list lines made of what they find.
#include "forecast/EclipseFinder.h"
#include "forecast/PassFinder.h"
#include "output/ListLines.h"

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

struct Step {
    int Day, Minute;
    PassStepValues Values;
};

std::vector<PassEvent> PassesFor(const std::vector<Step>& steps)
{
    PassFinder finder;
    std::vector<PassEvent> passes;
    for (const Step& s : steps)
        if (auto p = finder.Step(At(s.Day, s.Minute), s.Values)) passes.push_back(*p);
    return passes;
}

TEST(PassFinder, RulesOnSyntheticElevations)
{
    struct Case {
        const char* What;
        std::vector<double> Elevations; // one a minute from 00:00
        std::vector<std::array<double, 3>> Expected; // rise minute, set minute, maximum elevation
    };
    const Case cases[] = {
        {"rise at the first step", {5, 10, -1}, {{0, 2, 10}}},
        {"exactly 0 neither opens nor closes", {0, 0, 3, 0, 2, -1}, {{2, 5, 3}}},
        {"highest elevation below 1 degree", {-1, 0.4, 0.9, -0.2}, {{1, 3, 0.9}}},
        {"two passes, maximum reset between", {-1, 30, -1, -3, 0.5, -1}, {{1, 2, 30}, {4, 5, 0.5}}},
        {"open at the end gives nothing", {-1, 4, 8, 9}, {}},
        {"never above the horizon", {-5, -4, 0, -1}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        std::vector<Step> steps;
        for (double e : c.Elevations) steps.push_back({6, static_cast<int>(steps.size()), {e, 123.7, 29.4, 0.87}});
        const std::vector<PassEvent> passes = PassesFor(steps);
        ASSERT_EQ(passes.size(), c.Expected.size());
        for (std::size_t i = 0; i < passes.size(); ++i) {
            EXPECT_EQ(passes[i].Rise.At.CalcMinute, c.Expected[i][0]);
            EXPECT_EQ(passes[i].Set.At.CalcMinute, c.Expected[i][1]);
            EXPECT_EQ(passes[i].MaxElevation, c.Expected[i][2]);
        }
    }
}

TEST(PassFinder, ExampleLineIsExact)
{
    const std::vector<PassEvent> passes = PassesFor({{6, 312, {-0.5, 120, 29, 0.87}}, {6, 313, {0.8, 123.99, 29.4, 0.8749}},
                                                     {6, 318, {43.9, 80, 29.1, 0.87}}, {6, 324, {-0.1, 45.2, 28.6, 0.8650}}});
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(PassLine(passes[0]), "12/06/2026  05:13 (Az 123\u00B0)  illum: 087%   sun angle: 29\u00B0 -> 05:24 "
                                   "(Az 045\u00B0)  illum: 087%   sun angle: 29\u00B0  maxEl: 43\u00B0");
}

TEST(PassFinder, SetAtMidnightIsDatedByTheNextDayAndNotRepeated)
{
    // Minute 1440 of day 6 is 00:00 of day 7, computed twice.
    const std::vector<PassEvent> passes =
        PassesFor({{6, 1438, {-1, 0, 0, 1}}, {6, 1439, {4, 0, 0, 1}}, {7, 0, {-0.5, 0, 0, 1}}, {7, 0, {-0.5, 0, 0, 1}}});
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(PassLine(passes[0]).substr(0, 28), "12/07/2026  23:59 (Az 000\u00B0)");
}

TEST(PassLine, FiguresRoundedAsTheListShowsThem)
{
    const std::pair<PassPoint, const char*> cases[] = {
        {{At(6, 0), 359.99, 29.5, 1.0}, "(Az 359\u00B0)  illum: 100%   sun angle: 30\u00B0"},
        {{At(6, 0), 0.2, -0.3, 0.0}, "(Az 000\u00B0)  illum: 000%   sun angle: -00\u00B0"},
        {{At(6, 0), 7.5, -7.4, 0.005}, "(Az 007\u00B0)  illum: 001%   sun angle: -07\u00B0"},
        {{At(6, 0), 45, -89.6, 0.994}, "(Az 045\u00B0)  illum: 099%   sun angle: -90\u00B0"},
    };
    for (const auto& [point, expected] : cases) EXPECT_EQ(PassStepSummary(point).substr(6), expected);
}

TEST(EclipseFinder, LinesOnSyntheticShadow)
{
    struct Case {
        const char* What;
        std::vector<bool> Shadow; // one a minute from FirstMinute of 2026-12-06
        int FirstMinute;
        std::vector<std::string> Expected;
    };
    std::vector<bool> from0to21(22, true);
    from0to21[21] = false;
    const Case cases[] = {
        {"in shadow at the start: bare start date", from0to21, 0,
         {"06.12.2026   ->   06.12.2026 00:21:00    duration: 21 min"}},
        {"single step", {false, true, false}, 313, {"06.12.2026 05:14:00   ->   06.12.2026 05:15:00    duration: 1 min"}},
        {"across midnight, exit at 00:00", {false, true, true, false}, 1437,
         {"06.12.2026 23:58:00   ->   07.12.2026    duration: 2 min"}},
        {"spans midnight", {false, true, true, true, false}, 1438,
         {"06.12.2026 23:59:00   ->   07.12.2026 00:02:00    duration: 3 min"}},
        {"open at the end", {false, true, true}, 0, {}},
    };
    const DateTime start = *DateTime::FromCalendar(2026, 12, 6);
    for (const auto& c : cases) {
        EclipseFinder finder;
        std::vector<std::string> lines;
        for (std::size_t m = 0; m < c.Shadow.size(); ++m)
            if (auto e = finder.Step(c.Shadow[m], start.AddMinutes(c.FirstMinute + static_cast<int>(m))))
                lines.push_back(EclipseLine(*e, GermanLikeFormats()));
        EXPECT_EQ(lines, c.Expected) << c.What;
    }
}

TEST(EclipseFinder, RepeatedMidnightEndsTheEclipseOnce)
{
    EclipseFinder finder;
    const DateTime t = *DateTime::FromCalendar(2026, 12, 6, 5, 13);
    EXPECT_FALSE(finder.Step(true, t));
    const std::optional<EclipseEvent> e = finder.Step(false, t.AddMinutes(35));
    EXPECT_FALSE(finder.Step(false, t.AddMinutes(35))); // the same instant again
    ASSERT_TRUE(e);
    EXPECT_EQ(EclipseLine(*e, GermanLikeFormats()), "06.12.2026 05:13:00   ->   06.12.2026 05:48:00    duration: 35 min");
}

} // namespace
} // namespace tavik
