// The exports read back by real parsers run by Debian's Python: csv (RFC 4180
// quoting), json, and python3-icalendar.
#include "output/Exports.h"
#include "platform/Cp1252.h"
#include "TestSupport.h"
#include "WorkedExample.h"

#include <cstdlib>

namespace tavik {
namespace {

// A name with a comma and quotes, which every format must carry whole.
constexpr const char* OddName = "ISS \"ZARYA\", 2";
constexpr const char* OddNameInPython = "'ISS \"ZARYA\", 2'";

struct Exported {
    PlanningDetails Details;
    ExportContext Context;
};

Exported Export(std::int64_t writtenSeconds = 0)
{
    ForecastRequest request{*DateTime::FromCalendar(2026, 12, 7), test::WorkedExampleSet(OddName),
                            MakeStation("JO40hc"), {}, 0, OrbitModel::Sgp4};
    ShadowCarry carry;
    const ForecastResult result = RunForecast(request, carry);
    return {MakePlanningDetails(result, request),
            MakeExportContext(result, request, DateTime::FromSeconds(3'000'000'000 + writtenSeconds))};
}

int Check(const std::vector<std::pair<std::string, std::string>>& files, const std::string& python)
{
    test::TempFolder folder;
    for (const auto& [name, bytes] : files) folder.Write(name, bytes);
    const auto script = folder.Write("check.py", "import csv, datetime, json, os, sys\nd = sys.argv[1]\n" + python);
    return std::system(("/usr/bin/python3 " + script.string() + " " + folder.Path.string()).c_str());
}

// A calendar line folded inside a character is broken for every reader.
TEST(IcsFold, FoldsAt75OctetsBetweenCharactersOfEachLength)
{
    for (const std::string ch : {"a", "\xC3\xA9", "\xE0\xA4\x95", "\xEF\xBC\xA1", "\xF0\x9F\x9B\xB0"}) {
        std::string line = "SUMMARY:";
        while (line.size() < 300) line += ch;
        std::string folded = IcsFold(line);
        ASSERT_TRUE(folded.ends_with("\r\n"));
        folded.resize(folded.size() - 2);
        std::string unfolded;
        for (std::size_t from = 0, to; from < folded.size(); from = to + 3) {
            to = std::min(folded.find("\r\n ", from), folded.size());
            const std::string piece = folded.substr(from, to - from);
            EXPECT_LE(piece.size() + (from > 0), 75) << piece;
            EXPECT_TRUE(IsValidUtf8(piece)) << piece;
            unfolded += piece;
        }
        EXPECT_EQ(unfolded, line);
    }
}

// Names come from downloaded files: a spreadsheet must show them as text,
// never run them, while the numbers tavik writes stay numbers.
TEST(CsvField, TextThatASpreadsheetWouldTakeForAFormulaGetsAQuoteInFront)
{
    const std::pair<const char*, const char*> cases[] = {
        {"=HYPERLINK(\"http://x\",\"x\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"x\"\")\""},
        {"+cmd|' /C calc'!A0", "\"'+cmd|' /C calc'!A0\""},
        {"-2+3", "\"'-2+3\""},
        {"@SUM(1+1)", "\"'@SUM(1+1)\""},
        {"\tTAB", "\"'\tTAB\""},
        {"\rCR", "\"'\rCR\""},
        {"ISS (ZARYA)", "ISS (ZARYA)"},
        {"A=B", "A=B"},
        {"a,b", "\"a,b\""},
    };
    for (const auto& [text, cell] : cases) EXPECT_EQ(CsvField(text), cell) << text;
}

TEST(Export, CsvAndJsonReadBackWithTheNameWholeAndEveryPassAtItsRefinedTime)
{
    const Exported e = Export();
    const std::string passes = std::to_string(e.Details.Passes.size());
    const std::string max = "'" + IsoUtc(e.Details.Passes[0].Max.At) + "'";
    const std::string script =
        "raw = open(os.path.join(d, 'p.csv'), 'rb').read()\n"
        "assert b'\\n' not in raw.replace(b'\\r\\n', b''), 'a line end without CR'\n"
        "rows = list(csv.reader(open(os.path.join(d, 'p.csv'), newline='', encoding='utf-8')))\n"
        "assert rows[0] == ['satellite', " + std::string(OddNameInPython) + "], rows[0]\n"
        // Epoch 26340.5: day 340 of 2026 at noon.
        "assert dict(rows[:rows.index([])])['element_set_epoch'] == '2026-12-06T12:00:00Z'\n"
        "table = rows[rows.index([]) + 1:]\n"
        "assert len(table) == 1 + " + passes + " and all(len(r) == len(table[0]) for r in table)\n"
        "assert table[1][4] == " + max + "\n"
        "j = json.load(open(os.path.join(d, 'a.json'), encoding='utf-8'))\n"
        "assert j['satellite'] == " + std::string(OddNameInPython) + " and j['model'] == 'sgp4'\n"
        "assert len(j['passes']) == " + passes + " and j['passes'][0]['max']['time'] == " + max + "\n"
        "umbrae = [x for x in j['eclipses'] if x['umbra']]\n"
        "assert all(x['penumbra_entry'] < x['entry'] for x in umbrae[1:])\n"
        // The umbra to the second lies in the minute before the list's entry and before its exit.
        "iso = datetime.datetime.fromisoformat\n"
        "assert all(0 <= (iso(x['entry'][:-1]) - iso(x['umbra_entry'][:-1])).total_seconds() < 60\n"
        "           and 0 < (iso(x['exit'][:-1]) - iso(x['umbra_exit'][:-1])).total_seconds() <= 60\n"
        "           for x in umbrae[1:-1])\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"p.csv", PassesCsv(e.Context, e.Details)}, {"a.json", DetailsJson(e.Context, e.Details, true, true)}};
    EXPECT_EQ(Check(files, script), 0);
}

// Range, range rate and, with frequencies, the Doppler shifts: JSON keys on rise, max and set, CSV columns after
// the older ones, which keep their places. -f v / c with v rounded to 1 m/s is within 1.5 Hz of the written shift.
TEST(Export, RangeRangeRateAndDopplerAtRiseMaxAndSetWithTheOlderCsvColumnsInPlace)
{
    Exported e = Export();
    const std::string plain = DetailsJson(e.Context, e.Details, true, false);
    e.Context.DownlinkFrequency = 145.8e6;
    e.Context.UplinkFrequency = 435.3e6;
    const std::string script =
        "plain = json.load(open(os.path.join(d, 'plain.json')))['passes'][1]\n"
        "shifted = json.load(open(os.path.join(d, 'shifted.json')))['passes'][1]\n"
        "motion = ['range_km', 'range_rate_km_s']\n"
        "doppler = ['doppler_hz', 'uplink_doppler_hz']\n"
        "for at in ('rise', 'max', 'set'):\n"
        "    assert [k for k in plain[at] if k in motion + doppler] == motion, plain[at]\n"
        "    assert [k for k in shifted[at] if k in motion + doppler] == motion + doppler, shifted[at]\n"
        "    for key, f in (('doppler_hz', 145.8e6), ('uplink_doppler_hz', 435.3e6)):\n"
        "        expected = -f * shifted[at]['range_rate_km_s'] / 299792.458\n"
        "        assert abs(shifted[at][key] - expected) <= 1.5, (at, key, shifted[at][key], expected)\n"
        "assert shifted['rise']['range_rate_km_s'] < 0 < shifted['set']['range_rate_km_s']\n"
        "rows = list(csv.reader(open(os.path.join(d, 'p.csv'), newline='', encoding='utf-8')))\n"
        "table = rows[rows.index([]) + 1:]\n"
        "older = ['rise_utc', 'set_utc', 'duration_min', 'max_elevation_deg', 'max_utc', 'rise_azimuth_deg',\n"
        "         'max_azimuth_deg', 'set_azimuth_deg', 'rise_sunlit', 'rise_illumination_pct', 'rise_sun_angle_deg',\n"
        "         'max_sunlit', 'max_illumination_pct', 'max_sun_angle_deg', 'set_sunlit', 'set_illumination_pct',\n"
        "         'set_sun_angle_deg', 'note']\n"
        "added = [at + k for k in motion + doppler for at in ('rise_', 'max_', 'set_')]\n"
        "assert table[0] == older + added, table[0]\n"
        "assert all(len(r) == len(table[0]) for r in table)\n"
        "assert float(table[2][table[0].index('set_doppler_hz')]) == shifted['set']['doppler_hz']\n";
    EXPECT_EQ(Check({{"plain.json", plain}, {"shifted.json", DetailsJson(e.Context, e.Details, true, false)},
                     {"p.csv", PassesCsv(e.Context, e.Details)}},
                    script),
              0);
}

// A calendar updates an event whose UID it knows: two exports of the same run
// at different times must give the same UIDs, each event its pass's UTC times.
TEST(Export, ICalendarReadsBackWithUtcTimesAndUidsStableAcrossExports)
{
    const Exported first = Export(0), second = Export(3600);
    const PassDetail& p = first.Details.Passes.at(1);
    auto py = [](DateTime t) {
        const CalendarFields f = t.Fields();
        return "datetime.datetime(" + std::to_string(f.Year) + ", " + std::to_string(f.Month) + ", "
               + std::to_string(f.Day) + ", " + std::to_string(f.Hour) + ", " + std::to_string(f.Minute) + ", "
               + std::to_string(f.Second) + ", tzinfo=datetime.timezone.utc)";
    };
    const std::string script =
        "import icalendar\n"
        "def events(name):\n"
        "    cal = icalendar.Calendar.from_ical(open(os.path.join(d, name), 'rb').read())\n"
        "    return [c for c in cal.walk() if c.name == 'VEVENT']\n"
        "a, b = events('a.ics'), events('b.ics')\n"
        "assert len(a) == " + std::to_string(first.Details.Passes.size()) + ", len(a)\n"
        "assert [str(x['UID']) for x in a] == [str(x['UID']) for x in b]\n"
        "assert len({str(x['UID']) for x in a}) == len(a)\n"
        "assert a[0]['DTSTAMP'].dt != b[0]['DTSTAMP'].dt\n"
        "assert [a[1]['DTSTART'].dt, a[1]['DTEND'].dt] == [" + py(p.RiseCrossing->At) + ", " + py(p.SetCrossing->At)
            + "]\n"
        "assert str(a[1]['SUMMARY']).startswith(" + std::string(OddNameInPython).insert(
            std::string(OddNameInPython).size() - 1, " pass, max ") + ")\n"
        "assert all(len(l) <= 75 for l in open(os.path.join(d, 'a.ics'), 'rb').read().split(b'\\r\\n'))\n";
    EXPECT_EQ(Check({{"a.ics", DetailsIcs(first.Context, first.Details, true, false)},
                     {"b.ics", DetailsIcs(second.Context, second.Details, true, false)}},
                    script),
              0);
}

// A passage through the penumbra alone is its own entry: JSON "umbra": false with the penumbra's edges and no
// umbra fields, the CSV's umbra column false, an iCalendar event of its own. A graze wholly between two minutes
// lasts seconds: its event says so rather than "0 min".
TEST(Export, PenumbraAloneIsAnEntryMarkedAsSuch)
{
    ExportContext c;
    c.SatName = "GEO";
    PlanningDetails d;
    d.HasPenumbra = true;
    EclipseDetail e;
    e.Umbra = false;
    e.Entry = *DateTime::FromCalendar(2027, 2, 23, 22, 41);
    e.Exit = e.Entry.AddMinutes(12);
    e.DurationMinutes = 12;
    e.PenumbraEntry = e.Entry.AddSeconds(-23);
    e.PenumbraExit = e.Exit.AddSeconds(-8);
    EclipseDetail graze = e;
    graze.Entry = graze.Exit = *DateTime::FromCalendar(2027, 2, 24, 19, 45);
    graze.PenumbraEntry = graze.Entry.AddSeconds(-54);
    graze.PenumbraExit = graze.Entry.AddSeconds(-30);
    d.Eclipses = {e, graze};
    const std::string json = DetailsJson(c, d, false, true);
    EXPECT_NE(json.find("{\"umbra\": false, \"penumbra_entry\": \"2027-02-23T22:40:37Z\", "
                        "\"penumbra_exit\": \"2027-02-23T22:52:52Z\"}"),
              std::string::npos)
        << json;
    const std::string csv = EclipsesCsv(c, d);
    EXPECT_NE(csv.find("\r\n,,,,,2027-02-23T22:40:37Z,2027-02-23T22:52:52Z,penumbra only,false\r\n"), std::string::npos)
        << csv;
    const std::string ics = DetailsIcs(c, d, false, true);
    EXPECT_NE(ics.find("SUMMARY:GEO penumbra only\\, 12 min"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTSTART:20270223T224037Z"), std::string::npos) << ics;
    EXPECT_NE(ics.find("SUMMARY:GEO penumbra only\\, 25 s"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTEND:20270224T194431Z"), std::string::npos) << ics;
}

// A pass or an eclipse that the run cut at one end has no duration in any format: the minutes counted are only
// those inside the run.
TEST(Export, PassAndEclipseCutByTheRunHaveNoDuration)
{
    ExportContext c;
    c.SatName = "LEO";
    PlanningDetails d;
    PassDetail p;
    p.RiseKnown = false;
    p.DurationMinutes = 7;
    d.Passes.push_back(p);
    EclipseDetail e;
    e.ExitKnown = false;
    e.DurationMinutes = 9;
    d.Eclipses.push_back(e);
    const std::string json = DetailsJson(c, d, true, true);
    EXPECT_NE(json.find("\"duration_min\": null,\n"), std::string::npos) << json;
    EXPECT_NE(json.find(", \"duration_min\": null, "), std::string::npos) << json;
    const std::string passes = PassesCsv(c, d);
    EXPECT_NE(passes.find("\r\n,1899-12-30T00:00:00Z,,0.00,1899-12-30T00:00:00Z,"), std::string::npos) << passes;
    const std::string eclipses = EclipsesCsv(c, d);
    EXPECT_NE(eclipses.find("\r\n1899-12-30T00:00:00Z,,,"), std::string::npos) << eclipses;
}

} // namespace
} // namespace tavik
