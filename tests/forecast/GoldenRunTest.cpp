// A whole run on the bundled example file against its stored output. The
// stored lines were checked by hand at the points the second test verifies
// with the per-minute chain; set TAVIK_UPDATE_GOLDEN=1 to write them anew.
#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "output/ListLines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavik {
namespace {

const std::string Golden = std::string(TAVIK_TEST_DATA) + "/golden/";

ForecastRequest LeoRequest()
{
    SatelliteCatalogue catalogue;
    LoadCatalogue(std::string(TAVIK_EXAMPLES) + "/example.tle", catalogue);
    ForecastRequest q{*DateTime::FromCalendar(2026, 12, 6), SelectElementSet(catalogue, 1), MakeStation("JO40hc"),
                      Attitude{}, 0};
    return q;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void Compare(const std::vector<std::string>& lines, const std::string& name)
{
    const std::string path = Golden + name;
    if (std::getenv("TAVIK_UPDATE_GOLDEN")) {
        std::ofstream out(path);
        for (const auto& l : lines) out << l << '\n';
    }
    std::vector<std::string> expected = ReadLines(path);
    ASSERT_FALSE(expected.empty()) << path;
    EXPECT_EQ(lines, expected) << path;
}

TEST(GoldenRun, ExampleLeoFromJO40)
{
    ShadowCarry carry;
    ForecastResult r = RunForecast(LeoRequest(), carry);
    ASSERT_TRUE(r.Completed());
    EXPECT_EQ(r.SatName, "TAVIK-LEO");
    Compare(PassLines(r), "TAVIK-LEO_passes.txt");
    Compare(EclipseLines(r, GermanLikeFormats()), "TAVIK-LEO_eclipses.txt");
}

// The chain for one minute of 2026-12-06 onwards, from scratch.
StepState At(const ForecastRequest& q, int day, int hour, int minute, bool inEclipse = false)
{
    CalcInstant at;
    at.CalcDay = static_cast<std::int16_t>(day);
    at.CalcMonth = 12;
    at.CalcYear = 2026;
    at.CalcHour = hour;
    at.CalcMinute = minute;
    ShadowCarry carry{inEclipse};
    return ComputeState(q.Elements, q.Site, q.Axis, at, carry);
}

TEST(GoldenRun, FirstPassAndFirstEclipseCheckedMinuteByMinute)
{
    const ForecastRequest q = LeoRequest();
    const std::vector<std::string> passes = ReadLines(Golden + "TAVIK-LEO_passes.txt");
    const std::vector<std::string> eclipses = ReadLines(Golden + "TAVIK-LEO_eclipses.txt");
    ASSERT_FALSE(passes.empty());
    ASSERT_FALSE(eclipses.empty());

    // "12/06/2026  06:59 (Az 171°) ... -> 07:07 (Az 081°) ...  maxEl: 06°"
    EXPECT_EQ(passes[0].substr(0, 17), "12/06/2026  06:59");
    EXPECT_LE(At(q, 6, 6, 58).SatElevation(), 0);
    EXPECT_GT(At(q, 6, 6, 59).SatElevation(), 0);
    EXPECT_EQ(static_cast<int>(At(q, 6, 6, 59).SatAzimuth()), 171);
    EXPECT_GT(At(q, 6, 7, 6).SatElevation(), 0);
    EXPECT_LT(At(q, 6, 7, 7).SatElevation(), 0);
    double highest = 0;
    for (int m = 59; m <= 66; ++m) highest = std::max(highest, At(q, 6, 6 + m / 60, m % 60).SatElevation());
    EXPECT_EQ(static_cast<int>(highest), 6);
    EXPECT_NE(passes[0].find("-> 07:07 (Az 081"), std::string::npos);

    // "08.12.2026 23:35:00   ->   08.12.2026 23:38:00    duration: 3 min"
    EXPECT_EQ(eclipses[0], "08.12.2026 23:35:00   ->   08.12.2026 23:38:00    duration: 3 min");
    EXPECT_FALSE(At(q, 8, 23, 34).InEclipse);
    for (int m = 35; m <= 37; ++m) EXPECT_TRUE(At(q, 8, 23, m).InEclipse) << m;
    EXPECT_FALSE(At(q, 8, 23, 38).InEclipse);
    // No shadow at all before that: the orbit plane faces the sun at first.
    for (int d = 6; d <= 8; ++d)
        for (int m = 0; m < 1440; m += 1) {
            if (d == 8 && m >= 23 * 60 + 35) break;
            ASSERT_FALSE(At(q, d, m / 60, m % 60).InEclipse) << d << " " << m;
        }
}

} // namespace
} // namespace tavik
