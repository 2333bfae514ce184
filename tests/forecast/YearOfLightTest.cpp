// The year of light: the beta angle against python3-sgp4 and ephem's Sun, the eclipse seasons of a geostationary
// satellite, a season cut by the report's start, and passages through the penumbra alone.
#include "forecast/YearOfLight.h"
#include "forecast/PassDetails.h"

#include "PythonReference.h"

#include <gtest/gtest.h>

#include <memory>

namespace tavik {
namespace {

struct Orbit {
    const char* What;
    const char* Line1;
    const char* Line2;
};

constexpr Orbit Leo = {"low orbit, 51.6 degrees",
    "1 99101U 26041A   26335.51234567  .00012345  00000-0  21962-3 0  9993",
                       "2 99101  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030"};
constexpr Orbit Sso = {"sun-synchronous, 98.6 degrees",
    "1 99102U 26050A   26336.25000000  .00000150  00000-0  80000-4 0  9999",
                       "2 99102  98.6000 340.0000 0011000  90.0000 270.2000 14.30000000 10004"};
constexpr Orbit Geo = {"geostationary", "1 99104U 23077A   26338.39583333 -.00000287  00000-0  00000+0 0  9943",
                       "2 99104   0.0357  84.2114 0002149 301.7761 218.5547  1.00272385 12880"};

ForecastRequest RequestFor(const Orbit& o, DateTime start, OrbitModel model)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    ParseCatalogue(std::string("TEST\n") + o.Line1 + "\n" + o.Line2 + "\n", "test.tle", *catalogue);
    return {start, SelectElementSet(*catalogue, 1), MakeStation("JO40hc"), {}, 0, model};
}

TEST(YearOfLight, BetaAtMidnightWithinFiveHundredthsOfADegreeOfAnIndependentReference)
{
    const DateTime start = *DateTime::FromCalendar(2026, 12, 7);
    const int days[] = {0, 45, 100, 182, 250, 364};
    for (const Orbit* o : {&Leo, &Sso}) {
        SCOPED_TRACE(o->What);
        const YearOfLight year = ComputeYearOfLight(RequestFor(*o, start, OrbitModel::Sgp4));
        ASSERT_EQ(year.Days.size(), 365u);
        std::vector<std::string> arguments{o->Line1, o->Line2};
        for (int d : days) arguments.push_back(std::to_string(start.AddDays(d).Seconds()));
        const auto rows = test::NumberRows(test::RunReference("beta.py", arguments));
        ASSERT_EQ(rows.size(), std::size(days));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(days[i]);
            EXPECT_NEAR(year.Days[static_cast<std::size_t>(days[i])].Beta, rows[i][0], 0.05);
        }
    }
}

TEST(YearOfLight, GeostationaryHasTwoSeasonsOfAboutFortyFiveDaysAroundTheEquinoxes)
{
    // The longest eclipse, at the equinox: the umbra's chord at 42,164 km
    // (the cone has narrowed to about 6,180 km), the classic cylinder's wider.
    // The classic model counts whole minutes.
    const struct { OrbitModel Model; double Longest, Within; } rows[] = {{OrbitModel::Sgp4, 67.5, 0.5},
                                                                          {OrbitModel::Classic, 69.1, 1.0}};
    for (const auto& [model, longest, within] : rows) {
        SCOPED_TRACE(ModelName(model));
        const YearOfLight year = ComputeYearOfLight(RequestFor(Geo, *DateTime::FromCalendar(2027, 1, 1), model));
        ASSERT_EQ(year.Seasons.size(), 2u);
        const DateTime equinoxes[] = {*DateTime::FromCalendar(2027, 3, 20), *DateTime::FromCalendar(2027, 9, 23)};
        for (std::size_t i = 0; i < 2; ++i) {
            const EclipseSeason& s = year.Seasons[i];
            const std::int64_t length = DateTime::MinutesBetween(s.First, s.Last) / 1440 + 1;
            EXPECT_GE(length, 44);
            EXPECT_LE(length, 46);
            EXPECT_LT(s.First.Seconds(), equinoxes[i].Seconds());
            EXPECT_GT(s.Last.Seconds(), equinoxes[i].Seconds());
            EXPECT_NEAR(s.LongestEclipse, longest, within);
        }
    }
}

TEST(YearOfLight, ASeasonUnderWayAtTheStartBeginsOnTheFirstDay)
{
    const DateTime start = *DateTime::FromCalendar(2027, 3, 20);
    const YearOfLight year = ComputeYearOfLight(RequestFor(Geo, start, OrbitModel::Sgp4));
    ASSERT_FALSE(year.Seasons.empty());
    EXPECT_EQ(year.Seasons.front().First, start);
    EXPECT_EQ(year.Days.front().Eclipses, 1);
    // The March season comes round again at the end: it is a season of its own.
    EXPECT_EQ(year.Seasons.size(), 3u);
    EXPECT_EQ(year.Seasons.back().Last, start.AddDays(364));
}

// Days before a geostationary season's first umbra the satellite grazes the penumbra alone: no eclipse on the
// day, but its longest penumbra; the classic model has none.
TEST(YearOfLight, PassagesThroughThePenumbraAloneCountInTheirDaysLongestPenumbra)
{
    const DateTime start = *DateTime::FromCalendar(2027, 2, 15);
    const YearOfLight year = ComputeYearOfLight(RequestFor(Geo, start, OrbitModel::Sgp4));
    ASSERT_FALSE(year.Seasons.empty());
    const auto first = (year.Seasons.front().First.Seconds() - start.Seconds()) / 86400;
    ASSERT_GE(first, 2);
    const LightDay& before = year.Days[static_cast<std::size_t>(first - 1)];
    EXPECT_EQ(before.Eclipses, 0);
    ASSERT_TRUE(before.LongestPenumbra.has_value());
    EXPECT_GT(*before.LongestPenumbra, 1.0);
    // The same passages as the eclipse details find them, each to the second: from the first second with part
    // of the Sun hidden to the first with all of it seen again, one after the last hidden.
    const ForecastRequest request = RequestFor(Geo, before.Date, OrbitModel::Sgp4);
    ShadowCarry carry;
    const PlanningDetails details = MakePlanningDetails(RunForecast(request, carry), request);
    double longest = 0;
    for (const EclipseDetail& e : details.Eclipses) {
        if (e.Umbra || e.PenumbraEntry->Seconds() >= before.Date.Seconds() + 86400) continue;
        const std::int64_t seconds = e.PenumbraExit->Seconds() + 1 - e.PenumbraEntry->Seconds();
        longest = std::max(longest, static_cast<double>(seconds) / 60);
    }
    EXPECT_EQ(*before.LongestPenumbra, longest);
    EXPECT_FALSE(year.Days.front().LongestPenumbra.has_value());
    const YearOfLight classic = ComputeYearOfLight(RequestFor(Geo, start, OrbitModel::Classic));
    EXPECT_FALSE(classic.Days[static_cast<std::size_t>(first - 1)].LongestPenumbra.has_value());
}

// A sun-synchronous orbit at the edge of its season: on 30 December 2026 its one passage through the shadow grazes the
// penumbra for seconds between 23:10 and 23:11, at no whole minute (the independent conical shadow of
// EclipseEdgesTest gives 8 s). The day has no eclipse but that longest penumbra.
TEST(YearOfLight, APassageThroughThePenumbraBetweenTwoMinutesCountsInItsDay)
{
    constexpr Orbit Edge = {"sun-synchronous at the season's edge",
        "1 99102U 26050A   26336.25000000  .00000150  00000-0  80000-4 0  9999",
                            "2 99102  98.6000 318.0000 0011000  90.0000 270.2000 14.30000000 10009"};
    const YearOfLight year = ComputeYearOfLight(RequestFor(Edge, *DateTime::FromCalendar(2026, 12, 30),
        OrbitModel::Sgp4));
    ASSERT_FALSE(year.Days.empty());
    const LightDay& day = year.Days.front();
    EXPECT_EQ(day.Eclipses, 0);
    ASSERT_TRUE(day.LongestPenumbra.has_value());
    EXPECT_GT(*day.LongestPenumbra, 0.0);
    EXPECT_LT(*day.LongestPenumbra, 1.0 / 6);
}

} // namespace
} // namespace tavik
