// The exports read back by parsers of their formats: CSV by RFC 4180's rules,
// JSON by Python's json module, iCalendar by Debian's python3-icalendar.
#include "output/Exports.h"
#include "TestSupport.h"
#include "WorkedExample.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavik {
namespace {

using test::TempFolder;

// A name with a comma and quotes, which every format must carry whole.
constexpr const char* OddName = "ISS \"ZARYA\", 2";

struct Exported {
    ForecastResult Result;
    PlanningDetails Details;
    ExportContext Context;
};

Exported Export(std::int64_t writtenSeconds = 0)
{
    ForecastRequest request{*DateTime::FromCalendar(2026, 12, 7), test::WorkedExampleSet(OddName),
                            MakeStation("JO40hc"), {}, 0, OrbitModel::Precise};
    ShadowCarry carry;
    Exported e{RunForecast(request, carry), {}, {}};
    e.Details = MakePlanningDetails(e.Result, request);
    e.Context = MakeExportContext(e.Result, request, DateTime::FromSeconds(3'000'000'000 + writtenSeconds));
    return e;
}

// RFC 4180: fields split at commas outside quotes, records at CR LF outside
// quotes, "" inside quotes is one quote.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.emplace_back(1);
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "a bare LF outside quotes at " << i;
            field += c;
        }
    }
    EXPECT_TRUE(records.back().size() == 1 && records.back()[0].empty()) << "the last record lacks its CR LF";
    records.pop_back();
    return records;
}

TEST(Export, CsvReadsBackByRfc4180WithTheNameWhole)
{
    const Exported e = Export();
    const auto records = ParseCsv(PassesCsv(e.Context, e.Details));
    ASSERT_GT(records.size(), 10u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"satellite", OddName}));
    std::size_t table = 0;
    while (table < records.size() && !(records[table].size() == 1 && records[table][0].empty())) ++table;
    ASSERT_EQ(records.size() - table - 2, e.Details.Passes.size());
    const std::size_t columns = records[table + 1].size();
    for (std::size_t i = table + 2; i < records.size(); ++i) {
        ASSERT_EQ(records[i].size(), columns) << "row " << i;
        EXPECT_EQ(records[i][4], IsoUtc(e.Details.Passes[i - table - 2].Max.At));
    }
    EXPECT_EQ(ParseCsv(EclipsesCsv(e.Context, e.Details)).size(), table + 2 + e.Details.Eclipses.size());
}

// Runs a Python check on a file; Debian's interpreter, where python3-icalendar lives.
int RunPython(const TempFolder& folder, const std::string& script, const std::string& file)
{
    const auto path = folder.Write("check.py", script);
    return std::system(("/usr/bin/python3 " + path.string() + " " + (folder.Path / file).string()).c_str());
}

TEST(Export, JsonReadsBackWithEveryPassAndItsRefinedTime)
{
    const Exported e = Export();
    TempFolder folder;
    folder.Write("out.json", DetailsJson(e.Context, e.Details, true, true));
    const std::string script = "import json, sys\n"
                               "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                               "assert d['satellite'] == '" + std::string("ISS \\\"ZARYA\\\", 2") + "', d['satellite']\n"
                               "assert d['model'] == 'precise' and d['station']['locator'] == 'JO40hc'\n"
                               "assert len(d['passes']) == " + std::to_string(e.Details.Passes.size()) + "\n"
                               "assert d['passes'][0]['max']['time'] == '" + IsoUtc(e.Details.Passes[0].Max.At) + "'\n"
                               "assert all(x['penumbra_entry'] < x['entry'] for x in d['eclipses'][1:])\n";
    EXPECT_EQ(RunPython(folder, script, "out.json"), 0);
}

// A calendar updates an event whose UID it knows: two exports of the same run
// at different times must give the same UIDs, each event its pass's UTC times.
TEST(Export, ICalendarReadsBackWithUtcTimesAndStableUids)
{
    const Exported first = Export(0), second = Export(3600);
    TempFolder folder;
    folder.Write("a.ics", DetailsIcs(first.Context, first.Details, true, false));
    folder.Write("b.ics", DetailsIcs(second.Context, second.Details, true, false));
    const PassDetail& p = first.Details.Passes.at(1);
    const CalendarFields rise = p.Rise.At.Fields(), set = p.Set.At.Fields();
    char when[160];
    std::snprintf(when, sizeof when, "(%d, %d, %d, %d, %d), (%d, %d, %d, %d, %d)", rise.Year, rise.Month, rise.Day,
                  rise.Hour, rise.Minute, set.Year, set.Month, set.Day, set.Hour, set.Minute);
    const std::string script =
        "import sys, datetime, icalendar\n"
        "def events(path):\n"
        "    cal = icalendar.Calendar.from_ical(open(path, 'rb').read())\n"
        "    return [c for c in cal.walk() if c.name == 'VEVENT']\n"
        "a, b = events(sys.argv[1]), events(sys.argv[1].replace('a.ics', 'b.ics'))\n"
        "assert len(a) == " + std::to_string(first.Details.Passes.size()) + ", len(a)\n"
        "assert [str(x['UID']) for x in a] == [str(x['UID']) for x in b]\n"
        "assert len({str(x['UID']) for x in a}) == len(a)\n"
        "assert a[0]['DTSTAMP'].dt != b[0]['DTSTAMP'].dt\n"
        "utc = datetime.timezone.utc\n"
        "start, end = a[1]['DTSTART'].dt, a[1]['DTEND'].dt\n"
        "assert start.utcoffset() == datetime.timedelta(0)\n"
        "expect = [datetime.datetime(*t, tzinfo=utc) for t in [" + when + "]]\n"
        "assert [start, end] == expect, (start, end, expect)\n"
        "assert str(a[1]['SUMMARY']).startswith('ISS \"ZARYA\", 2 pass, max ')\n"
        "assert 'Rise: ' in str(a[1]['DESCRIPTION'])\n";
    EXPECT_EQ(RunPython(folder, script, "a.ics"), 0);
    // Folded at 75 octets, with CR LF.
    const std::string text = DetailsIcs(first.Context, first.Details, true, false);
    for (std::size_t from = 0, end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        ASSERT_LE(end - from, 75u);
}

} // namespace
} // namespace tavik
