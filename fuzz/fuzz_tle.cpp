// Any bytes as the text of a TLE file. The loader either refuses the file
// with an InputError or gives a catalogue whose every entry is either refused
// by name before a run or computes to finite numbers at any instant a run or
// the year file can reach. Merging a download into the text is refused by
// name or gives a text that a second merge of the same download leaves as it
// is.
#include "FuzzChecks.h"

#include "catalogue/CatalogueUpdate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)LenientNumber(text.substr(0, 80)); // the field reader alone, on the raw bytes
    static const std::string Download =
        "TAVIK-LEO\n1 99101U 26041A   26335.51234567  .00012345  00000-0  21962-3 0  9993\n"
        "2 99101  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030\n"
        "NEW ONE\n1 00005U 26041A   26335.51234567  .00012345  00000-0  21962-3 0  9993\n"
        "2 00005  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030\n";
    try {
        const TleUpdate once = UpdateTleText(std::string(text), Download, UpdateMode::AddNew, "fuzz.tle", "download");
        const TleUpdate twice = UpdateTleText(once.Text, Download, UpdateMode::AddNew, "fuzz.tle", "download");
        fuzz::Require(twice.Text == once.Text, "a second merge of the same download changes nothing", once.Text);
    } catch (const InputError& e) {
        fuzz::RequireRefusal(e.what(), "fuzz.tle: ", true);
    }
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    LoadResult loaded;
    try {
        loaded = ParseCatalogue(text, "fuzz.tle", *catalogue);
    } catch (const InputError& e) {
        fuzz::RequireRefusal(e.what(), "fuzz.tle: ", true);
        fuzz::Require(catalogue->CatalogueCount == 0, "a refused file leaves the catalogue as it was");
        return 0;
    }
    const int count = catalogue->CatalogueCount;
    fuzz::Require(count >= 1 && count <= CatalogueCapacity && loaded.Names.size() == static_cast<std::size_t>(count)
                      && (loaded.IgnoredNames == 0 || count == CatalogueCapacity),
                  "one name per entry, 1..500, names left out only past 500");
    static const Station Sites[] = {MakeStation("JO40HC"), MakeStation("AA00AA"), MakeStation("RR99XX")};
    for (int i = 1; i <= count; ++i) {
        const CurrentElementSet e = SelectElementSet(*catalogue, i);
        const std::string &name = e.SatName, stem = SafeFileStem(name);
        fuzz::Require(name == loaded.Names[static_cast<std::size_t>(i - 1)] && !name.empty() && name.front() != ' '
                          && name.back() != ' ' && fuzz::ValidUtf8(name) && !fuzz::HasControl(name, true),
                      "names in file order, UTF-8 without outer blanks or controls", name);
        // Whatever the name, the files named after it stay in their folder.
        fuzz::Require(!stem.empty() && stem.size() <= 200 && stem != "." && stem != ".."
                          && stem.find('/') == std::string::npos && fuzz::ValidUtf8(stem)
                          && !fuzz::HasControl(stem, true),
                      "a file stem of 1..200 bytes of UTF-8 that stays in its folder", stem);
        if (const auto why = PropagationProblem(e)) {
            fuzz::Require(why->find("\"" + name + "\"") != std::string::npos, "a refusal names the satellite", *why);
            continue;
        }
        // The first and last minute of the date range the start texts allow, a
        // date of our time, and the element set's own epoch and the days after
        // it (DayNumber 0 is 1978 January 1).
        std::vector<DateTime> at{*DateTime::FromCalendar(1, 1, 1),
                                 DateTime::FromCalendar(9999, 12, 31)->AddDays(ForecastDays),
                                 *DateTime::FromCalendar(2026, 12, 6, 12, 30)};
        if (const double day = EpochToDayNumber(e.Epoch); std::isfinite(day) && std::fabs(day) < 1e7) {
            const DateTime epoch =
                DateTime::FromCalendar(1978, 1, 1)->AddSeconds(static_cast<std::int64_t>(std::floor(day * 86400)));
            at.insert(at.end(), {epoch, epoch.AddMinutes(1), epoch.AddDays(ForecastDays)});
        }
        for (const Station& site : Sites) {
            ShadowCarry carry;
            for (DateTime t : at) {
                const StepState st = ComputeState(e, site, Attitude{}, CalcInstantOf(t), carry);
                const std::string who = name + " / " + e.Line1 + " / " + e.Line2;
                // The year file writes these whatever the height.
                fuzz::Require(std::isfinite(st.SunAngle()) && std::isfinite(st.Sun().SubSolarLat)
                                  && std::isfinite(st.Sun().SubSolarLon),
                              "sun angle and sub-solar point finite", who);
                // A run stops at a failed Kepler solution before reading anything
                // else, and at a height below 150 km, which a NaN would slip past.
                if (!st.Orbit.KeplerConverged) continue;
                fuzz::Require(!std::isnan(st.SatHeight()), "height is a number", who);
                fuzz::Require(!(st.SatHeight() >= MinimumHeight)
                                  || (std::isfinite(st.SatHeight()) && std::isfinite(st.Illumination())
                                      && st.SatAzimuth() >= 0 && st.SatAzimuth() < 360 && st.SatElevation() >= -90
                                      && st.SatElevation() <= 90),
                              "height and illumination finite, azimuth 0 up to 360, elevation -90..90", who);
            }
        }
    }
    return 0;
}
