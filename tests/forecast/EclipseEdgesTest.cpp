// The SGP4 model's eclipse edges against an independent reference: the same
// element sets through python3-sgp4, ephem's apparent Sun turned into TEME,
// and the shadow as the two cones tangent to a spherical Earth (6378.137 km)
// and Sun (696,000 km), no atmosphere, each edge found by halving to a
// millisecond. Grazing passages included: the penumbra alone before a
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

constexpr const char* ReferenceScript = R"(import ephem, math, sys
from sgp4.api import Satrec
from sgp4.propagation import gstime
RE, RS, AU = 6378.137, 696000.0, 149597870.7
greenwich = ephem.Observer()
greenwich.lon, greenwich.lat, greenwich.pressure = '0', '0', 0
def sun_teme(jd):
    date = ephem.Date(jd - 2415020)
    s = ephem.Sun(date)
    greenwich.date = date
    ra = s.g_ra - math.remainder(float(greenwich.sidereal_time()) - gstime(jd), 2 * math.pi)
    d = s.earth_distance * AU
    return [d * math.cos(s.g_dec) * math.cos(ra), d * math.cos(s.g_dec) * math.sin(ra), d * math.sin(s.g_dec)]
def zone(sat, t):
    jd = t / 86400 + 2415018.5  # seconds from 1899 December 30, as DateTime counts
    e, r, v = sat.sgp4(math.floor(jd), jd - math.floor(jd))
    sun = sun_teme(jd)
    D = math.sqrt(sum(c * c for c in sun))
    u = [c / D for c in sun]
    x = -sum(a * b for a, b in zip(r, u))            # behind the Earth along the anti-sun axis
    d = math.sqrt(max(0.0, sum(c * c for c in r) - x * x))  # from the axis
    au = math.asin((RS - RE) / D); xu = RE / math.sin(au)
    ap = math.asin((RS + RE) / D); xp = RE / math.sin(ap)
    umbra = x > 0 and x < xu and d < (xu - x) * math.tan(au)
    shade = x > -RE * math.sin(ap) and d < (xp + x) * math.tan(ap)
    return 2 if umbra else (1 if shade else 0)
def edge(sat, a, b, test):
    fa = test(zone(sat, a))
    while b - a > 1e-3:
        m = (a + b) / 2
        if test(zone(sat, m)) == fa: a = m
        else: b = m
    return (a + b) / 2
def passages(line1, line2, start, hours, step):
    # Every shadow passage wholly within the window: penumbra entry, umbra
    # entry, umbra exit, penumbra exit, seconds from 1899 December 30 (-1: no umbra).
    sat = Satrec.twoline2rv(line1, line2)
    t, z, end, open_ = start, zone(sat, start), start + hours * 3600, None
    while t < end:
        n = min(t + step, end)
        zn = zone(sat, n)
        if zn >= 1 and z == 0:
            open_ = [edge(sat, t, n, lambda q: q >= 1), -1, -1]
        if open_ is not None and zn == 2 and z < 2:
            open_[1] = edge(sat, t, n, lambda q: q == 2)
        if open_ is not None and zn < 2 and z == 2:
            open_[2] = edge(sat, t, n, lambda q: q == 2)
        if open_ is not None and zn == 0 and z >= 1:
            print(*(repr(x) for x in open_ + [edge(sat, t, n, lambda q: q >= 1)]))
            open_ = None
        t, z = n, zn
passages(sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5]))
)";

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
    const std::string script = ReferenceScript;
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
        const auto rows = test::NumberRows(test::RunPython(
            "import sys\nsys.argv = ['', '" + std::string(o.Line1) + "', '" + o.Line2 + "', '" + std::to_string(from)
            + "', '" + std::to_string(o.Hours) + "', '" + std::to_string(o.StepSeconds) + "']\n" + script));
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
