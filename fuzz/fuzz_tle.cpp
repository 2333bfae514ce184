// Any bytes as the text of a TLE file. The loader either refuses the file
// with an InputError or gives a catalogue whose every entry is either refused
// by name before a run or computes to finite numbers at any instant a run or
// the year file can reach.
#include "FuzzChecks.h"

#include "astro/Locator.h"
#include "astro/TimeScales.h"
#include "catalogue/Catalogue.h"
#include "forecast/ComputeState.h"
#include "forecast/Forecast.h"
#include "output/ListFiles.h"
#include "platform/DateTime.h"
#include "platform/Error.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tavik;

// Instants a run or the year file can reach: the first and last minute of the
// date range the start texts allow, a date of our time, and the element
// set's own epoch and the days after it.
std::vector<DateTime> Instants(const CurrentElementSet& e)
{
    std::vector<DateTime> at;
    at.push_back(*DateTime::FromCalendar(1, 1, 1));
    at.push_back(DateTime::FromCalendar(9999, 12, 31)->AddDays(ForecastDays));
    at.push_back(*DateTime::FromCalendar(2026, 12, 6, 12, 30));
    // DayNumber 0 is 1978 January 1.
    const double epochDay = EpochToDayNumber(e.Epoch);
    if (std::isfinite(epochDay) && std::fabs(epochDay) < 1e7) {
        const DateTime epoch = DateTime::FromCalendar(1978, 1, 1)->AddSeconds(
            static_cast<std::int64_t>(std::floor(epochDay * 86400)));
        at.push_back(epoch);
        at.push_back(epoch.AddMinutes(1));
        at.push_back(epoch.AddDays(ForecastDays));
    }
    return at;
}

void CheckStep(const CurrentElementSet& e, const Station& site, DateTime t, ShadowCarry& carry)
{
    const StepState s = ComputeState(e, site, Attitude{}, CalcInstantOf(t), carry);
    const std::string who = e.CurrentSatName + " / " + e.Line1 + " / " + e.Line2;
    // The year file writes these whatever the height.
    fuzz::Require(std::isfinite(s.SunAngle()), "sun angle finite", who);
    fuzz::Require(std::isfinite(s.Sun().SubSolarLat), "sub-solar latitude finite", who);
    fuzz::Require(std::isfinite(s.Sun().SubSolarLon), "sub-solar longitude finite", who);
    // A run stops at a failed Kepler solution before reading anything else,
    // and at a height below 150 km, which a NaN would slip past.
    if (!s.Orbit.KeplerConverged) return;
    fuzz::Require(!std::isnan(s.SatHeight()), "height is a number", who);
    if (!(s.SatHeight() >= MinimumHeight)) return;
    fuzz::Require(std::isfinite(s.SatHeight()), "height finite", who);
    fuzz::Require(std::isfinite(s.SatAzimuth()), "azimuth finite", who);
    fuzz::Require(std::isfinite(s.SatElevation()), "elevation finite", who);
    fuzz::Require(std::isfinite(s.Illumination()), "illumination finite", who);
    fuzz::Require(s.SatAzimuth() >= 0 && s.SatAzimuth() < 360, "azimuth 0 up to 360", who);
    fuzz::Require(s.SatElevation() >= -90 && s.SatElevation() <= 90, "elevation -90..90", who);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The field reader alone, on the raw bytes.
    (void)LenientNumber(text.substr(0, 80));

    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadResult loaded;
    try {
        loaded = ParseCatalogue(text, "fuzz.tle", *catalogue);
    } catch (const InputError& e) {
        const std::string why = e.what();
        fuzz::Require(why.rfind("fuzz.tle: ", 0) == 0, "a refusal names the file", why);
        fuzz::Require(catalogue->CatalogueCount == 0, "a refused file leaves the catalogue as it was");
        return 0;
    }

    const int count = catalogue->CatalogueCount;
    fuzz::Require(count >= 1 && count <= CatalogueCapacity, "count 1..500");
    fuzz::Require(loaded.Names.size() == static_cast<std::size_t>(count), "one name per entry");
    fuzz::Require(loaded.IgnoredNames == 0 || count == CatalogueCapacity, "names left out only past 500");

    static const Station Sites[] = {MakeStation("JO40HC"), MakeStation("AA00AA"), MakeStation("RR99XX")};

    for (int i = 1; i <= count; ++i) {
        const CurrentElementSet e = SelectElementSet(*catalogue, i);
        const std::string& name = e.CurrentSatName;
        fuzz::Require(name == loaded.Names[static_cast<std::size_t>(i - 1)], "names in file order", name);
        fuzz::Require(!name.empty(), "a name is never empty");
        fuzz::Require(fuzz::ValidUtf8(name), "a name is UTF-8", name);
        fuzz::Require(name.front() != ' ' && name.back() != ' ', "a name has no outer blanks", name);
        fuzz::Require(!fuzz::HasControl(name), "a name holds no control characters", name);

        // Whatever the name, the files named after it stay in their folder.
        const std::string stem = SafeFileStem(name);
        fuzz::Require(!stem.empty() && stem.size() <= 200, "file stem 1..200 bytes", stem);
        fuzz::Require(stem != "." && stem != "..", "file stem not . or ..", stem);
        fuzz::Require(stem.find('/') == std::string::npos, "file stem has no slash", stem);
        fuzz::Require(!fuzz::HasControl(stem), "file stem has no control character", stem);
        fuzz::Require(fuzz::ValidUtf8(stem), "file stem is UTF-8", stem);

        const std::string why = PropagationProblem(e);
        if (!why.empty()) {
            fuzz::Require(why.find("\"" + name + "\"") != std::string::npos, "a refusal names the satellite", why);
            continue;
        }
        for (const Station& site : Sites) {
            ShadowCarry carry;
            for (DateTime t : Instants(e)) CheckStep(e, site, t, carry);
        }
    }
    return 0;
}
