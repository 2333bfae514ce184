// The SGP4 model's eclipse edges against an independent reference
// (tests/reference/shadow_passages.py: python3-sgp4, ephem's Sun and a
// conical shadow, no atmosphere). Grazing passages included: the penumbra alone before a
// geostationary season's first umbra, and a sun-synchronous orbit's last
// passages of a season, shrinking from 74 s to 25 s (the last two wholly
// between two minutes), and a later one lasting 8 s.
#include "forecast/PassDetails.h"

#include "PythonReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tavik {
namespace {

struct Orbit {
    const char* What;
    const char* Line1;
    const char* Line2;
    int Year, Month, Day; // the run's first day
    int FromHour, Hours;  // the window compared, from the run's start
    int StepSeconds;      // the reference's sampling, below the shortest passage
};

constexpr Orbit Orbits[] = {
    {"low orbit, the season's first umbra", "1 99101U 26041A   26335.51234567  .00012345  00000-0  21962-3 0  9993",
     "2 99101  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030", 2026, 12, 7, 46, 14, 10},
    {"Molniya orbit, eclipses near apogee", "1 99103U 24090A   26337.74016204 -.00000135  00000-0  00000+0 0  3186",
     "2 99103  62.8104 279.6331 7107813 269.4772  14.9905  2.00591420 19630", 2026, 12, 7, 0, 72, 20},
    {"geostationary, grazing, then the season's first umbrae",
     "1 99104U 23077A   26338.39583333 -.00000287  00000-0  00000+0 0  9943",
     "2 99104   0.0357  84.2114 0002149 301.7761 218.5547  1.00272385 12880", 2027, 2, 20, 0, 336, 60},
    {"sun-synchronous, a season's last grazes", "1 99102U 26050A   26336.25000000  .00000150  00000-0  80000-4 0  9999",
     "2 99102  98.6000   3.0000 0011000  90.0000 270.2000 14.30000000 10000", 2026, 12, 7, 130, 14, 2},
    {"sun-synchronous, a graze of seconds", "1 99102U 26050A   26336.25000000  .00000150  00000-0  80000-4 0  9999",
     "2 99102  98.6000 318.0000 0011000  90.0000 270.2000 14.30000000 10009", 2026, 12, 30, 22, 2, 1},
};

// Each engine edge is a whole second: the first (entry) or last (exit) second
// in the zone, so an exact edge t lies in (s - 1, s] for an entry and in
// [s, s + 1) for an exit. What is measured is how far the edge is from that
// second, beyond the rounding: 0 when the engine is exact.
double Beyond(std::int64_t engine, double reference, bool entry)
{
    const double lower = entry ? static_cast<double>(engine) - 1 : static_cast<double>(engine);
    return std::max({0.0, lower - reference, reference - (lower + 1)});
}

TEST(EclipseEdges, UmbraAndPenumbraWithinASecondOfAnIndependentConicalShadowPenumbraAloneIncluded)
{
    double worst = 0;
    std::size_t grazed = 0, between = 0;
    for (const Orbit& o : Orbits) {
        SCOPED_TRACE(o.What);
        auto catalogue = std::make_unique<SatelliteCatalogue>();
        ParseCatalogue(std::string("TEST\n") + o.Line1 + "\n" + o.Line2 + "\n", "test.tle", *catalogue);
        const DateTime start = *DateTime::FromCalendar(o.Year, o.Month, o.Day);
        const ForecastRequest request{start, SelectElementSet(*catalogue, 1), MakeStation("JO40hc"), {}, 0,
                                      OrbitModel::Sgp4};
        ShadowCarry carry;
        const PlanningDetails details = MakePlanningDetails(RunForecast(request, carry), request);

        const std::int64_t from = start.Seconds() + std::int64_t{o.FromHour} * 3600;
        const std::int64_t to = from + std::int64_t{o.Hours} * 3600;
        const auto rows = test::NumberRows(test::RunReference("shadow_passages.py",
            {o.Line1, o.Line2, std::to_string(from), std::to_string(o.Hours), std::to_string(o.StepSeconds)}));
        std::size_t umbrae = 0, grazing = 0;
        for (const auto& row : rows) {
            ASSERT_EQ(row.size(), 4u);
            const bool umbra = row[1] >= 0;
            ++(umbra ? umbrae : grazing);
            // Penumbra alone, some wholly between two whole minutes.
            if (!umbra && std::floor(row[3] / 60) * 60 < row[0]) ++between;
            const auto match = std::find_if(details.Eclipses.begin(), details.Eclipses.end(), [&](const auto& e) {
                return e.Umbra == umbra && e.PenumbraEntry
                       && std::abs(static_cast<double>(e.PenumbraEntry->Seconds()) - row[0]) < 120;
            });
            ASSERT_NE(match, details.Eclipses.end()) << "no passage entering the penumbra near " << row[0];
            ASSERT_TRUE(match->PenumbraExit.has_value()) << row[0];
            ASSERT_EQ(match->UmbraEntry.has_value(), umbra) << row[0];
            ASSERT_EQ(match->UmbraExit.has_value(), umbra) << row[0];
            std::vector<double> edges = {Beyond(match->PenumbraEntry->Seconds(), row[0], true),
                                         Beyond(match->PenumbraExit->Seconds(), row[3], false)};
            if (umbra) {
                edges.push_back(Beyond(match->UmbraEntry->Seconds(), row[1], true));
                edges.push_back(Beyond(match->UmbraExit->Seconds(), row[2], false));
            }
            for (const double beyond : edges) {
                EXPECT_LT(beyond, 1.0) << "passage entering the penumbra at " << row[0];
                worst = std::max(worst, beyond);
            }
        }
        // Every passage the engine found in the window is one the reference has.
        const auto inWindow = std::count_if(details.Eclipses.begin(), details.Eclipses.end(), [&](const auto& e) {
            return e.PenumbraEntry && e.PenumbraEntry->Seconds() > from && e.PenumbraExit
                   && e.PenumbraExit->Seconds() < to;
        });
        EXPECT_EQ(static_cast<std::size_t>(inWindow), umbrae + grazing);
        EXPECT_GE(umbrae + grazing, 1u);
        grazed += grazing;
    }
    EXPECT_GT(grazed, 0u);
    EXPECT_EQ(between, 3u);
    RecordProperty("worst_edge_beyond_rounding_s", std::to_string(worst));
    RecordProperty("penumbra_alone_passages", std::to_string(grazed));
    RecordProperty("penumbra_alone_between_two_minutes", std::to_string(between));
}

} // namespace
} // namespace tavik
