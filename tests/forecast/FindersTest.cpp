// The pass and eclipse finders on short synthetic sequences, and the list lines made of what they find.
#include "forecast/EclipseFinder.h"
#include "forecast/PassFinder.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tavik {
namespace {

CalcInstant At(int day, int m)
{
    return {static_cast<std::int16_t>(day), 12, 2026, static_cast<double>(m / 60), static_cast<double>(m % 60)};
}

TEST(PassFinder, RulesOnSyntheticElevations)
{
    // Elevations one a minute from 00:00; expected rise minute, set minute and maximum elevation.
    const struct {
        const char* What;
        std::vector<double> Elevations;
        std::vector<std::array<double, 3>> Expected;
    } cases[] = {
        {"exactly 0 neither opens nor closes", {0, 0, 3, 0, 2, -1}, {{2, 5, 3}}},
        {"highest elevation below 1 degree", {-1, 0.4, 0.9, -0.2}, {{1, 3, 0.9}}},
        {"two passes, maximum reset between", {-1, 30, -1, -3, 0.5, -1}, {{1, 2, 30}, {4, 5, 0.5}}},
        {"open at the end gives nothing", {-1, 4, 8, 9}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        PassFinder finder;
        std::vector<PassEvent> passes;
        for (std::size_t m = 0; m < c.Elevations.size(); ++m)
            if (auto p = finder.Step(At(6, static_cast<int>(m)), {c.Elevations[m], 123.7, 29.4, 0.87}))
                passes.push_back(*p);
        ASSERT_EQ(passes.size(), c.Expected.size());
        for (std::size_t i = 0; i < passes.size(); ++i) {
            const auto& [rise, set, highest] = c.Expected[i];
            EXPECT_EQ(passes[i].Rise.At.CalcMinute, rise) << i;
            EXPECT_EQ(passes[i].Set.At.CalcMinute, set) << i;
            EXPECT_EQ(passes[i].MaxElevation, highest) << i;
        }
    }
}

TEST(PassFinder, SetAtMidnightIsDatedByTheNextDayAndNotRepeated)
{
    PassFinder finder; // minute 1440 of day 6 is 00:00 of day 7, computed twice
    std::vector<PassEvent> passes;
    for (const auto& [day, minute, elevation] : {std::tuple{6, 1438, -1.0}, {6, 1439, 4.0}, {7, 0, -0.5}, {7, 0, -0.5}})
        if (auto p = finder.Step(At(day, minute), {elevation, 0, 0, 1})) passes.push_back(*p);
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(PassLine(passes[0]).substr(0, 28), "12/07/2026  23:59 (Az 000\u00B0)");
}

TEST(PassLine, FiguresRoundedAsTheListShowsThem)
{
    // Rounding of negative and half figures is TextForms' own; the azimuth alone is floored.
    EXPECT_EQ(PassStepSummary({At(6, 0), 359.99, 29.5, 1.0}).substr(6),
              "(Az 359\u00B0)  illum: 100%   sun angle: 30\u00B0");
}

// A day's minute 1440 is the next day's minute 0 computed again: the eclipse it ends is ended once.
TEST(EclipseFinder, LinesOnSyntheticShadowWithTheRepeatedMidnightEndingItOnce)
{
    // Shadow: a step a minute from FirstMinute of 2026-12-06: '#' in shadow, '-' not, '=' the last again.
    const struct {
        const char* What;
        std::string Shadow;
        int FirstMinute;
        std::vector<std::string> Expected;
    } cases[] = {
        {"in shadow at the start: bare start date", std::string(21, '#') + "-", 0,
         {"06.12.2026   ->   06.12.2026 00:21:00    duration: 21 min"}},
        {"single step", "-#-", 313, {"06.12.2026 05:14:00   ->   06.12.2026 05:15:00    duration: 1 min"}},
        {"across midnight, exit at 00:00", "-##-=", 1437, {"06.12.2026 23:58:00   ->   07.12.2026    duration: 2 min"}},
        {"spans midnight", "-###-", 1438, {"06.12.2026 23:59:00   ->   07.12.2026 00:02:00    duration: 3 min"}},
        {"open at the end", "-##", 0, {}},
    };
    const DateTime start = *DateTime::FromCalendar(2026, 12, 6);
    for (const auto& c : cases) {
        EclipseFinder finder;
        std::vector<std::string> lines;
        for (int m = 0, step = 0; step < static_cast<int>(c.Shadow.size()); ++step) {
            const char s = c.Shadow[static_cast<std::size_t>(step)];
            m += step > 0 && s != '=';
            if (auto e = finder.Step(s == '#', start.AddMinutes(c.FirstMinute + m)))
                lines.push_back(EclipseLine(*e, GermanLikeFormats()));

        }
        EXPECT_EQ(lines, c.Expected) << c.What;
    }
}

} // namespace
} // namespace tavik
