#include "output/Batch.h"

#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/TextForms.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

namespace tavik {

namespace {

// One file stem per entry; a name that repeats gets "~2", "~3", ... so no
// satellite's files overwrite another's.
std::vector<std::string> UniqueStems(const SatelliteCatalogue& catalogue)
{
    std::vector<std::string> stems;
    std::set<std::string> used;
    for (int i = 1; i <= catalogue.CatalogueCount; ++i) {
        const std::string base = SafeFileStem(catalogue.Entry(i).SatName);
        std::string stem = base;
        for (int k = 2; used.count(stem) > 0; ++k) stem = base + "~" + std::to_string(k);
        used.insert(stem);
        stems.push_back(stem);
    }
    return stems;
}

BatchRow Forecast(const SatelliteCatalogue& catalogue, int index, const std::string& stem, DateTime start,
                  const BatchRequest& request)
{
    const CurrentElementSet elements = SelectElementSet(catalogue, index);
    BatchRow row;
    row.Name = elements.SatName;
    ForecastRequest q{start, elements, request.Site, request.Axis, OrbitModel::Design, 1};
    ShadowCarry carry;
    ForecastResult r;
    try {
        r = RunForecast(q, carry, [&](int, int) { return !(request.Cancel && request.Cancel->load()); });
    } catch (const InputError& e) {
        row.Reason = e.what();
        return row;
    }
    if (r.End == RunEnd::Cancelled) {
        row.Reason = "interrupted";
        return row;
    }
    row.Passes = static_cast<int>(r.Passes.size());
    row.Eclipses = static_cast<int>(r.Eclipses.size());
    for (const EclipseEvent& e : r.Eclipses) {
        row.LongestEclipse = std::max(row.LongestEclipse, e.DurationMinutes);
        row.TotalEclipse += e.DurationMinutes;
    }
    row.SunlitPercent = SunlitPercent(r);
    row.Reason = StopMessage(r, request.Formats);

    const std::filesystem::path dir(request.OutDir);
    const std::string passes = (dir / (stem + "_passes.txt")).string();
    const std::string eclipses = (dir / (stem + "_eclipses.txt")).string();
    try {
        WriteFileAtomically(passes, ListFileBytes(PassesHeader(row.Name), PassLines(r)));
        row.PassesFile = passes;
        WriteFileAtomically(eclipses, ListFileBytes(EclipsesHeader(row.Name), EclipseLines(r, request.Formats)));
        row.EclipsesFile = eclipses;
    } catch (const OutputError& e) {
        row.Reason = e.what();
        row.WriteFailed = true;
    }
    return row;
}

std::string CsvField(const std::string& s)
{
    // A spreadsheet takes a cell that begins with one of these for a formula
    // ("=HYPERLINK(...)" in a name line would run); a "'" in front, inside
    // quotes, makes it text.
    const bool formula = !s.empty() && std::string_view("=+-@").find(s.front()) != std::string_view::npos;
    if (!formula && s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = formula ? "\"'" : "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string Percent(double p)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", p);
    return buffer;
}

} // namespace

double SunlitPercent(const ForecastResult& result)
{
    std::size_t counted = 0, sunlit = 0;
    for (std::size_t i = 0; i < result.Minutes.size(); ++i) {
        // Minute 1440 repeats the next day's minute 0; keep it only for the last day.
        const bool repeat = i % StepsPerDay == StepsPerDay - 1 && i + 1 < static_cast<std::size_t>(ForecastDays) * StepsPerDay;
        if (repeat) continue;
        ++counted;
        sunlit += !result.Minutes[i].InEclipse;
    }
    return counted == 0 ? 0 : 100.0 * static_cast<double>(sunlit) / static_cast<double>(counted);
}

std::vector<BatchRow> RunBatch(const SatelliteCatalogue& catalogue, const BatchRequest& request)
{
    const ParsedDate start = ParseDateTexts(request.DayText, request.MonthText, request.YearText);
    if (!start) throw InputError(start.Error);
    std::error_code ec;
    std::filesystem::create_directories(request.OutDir, ec);
    if (ec || !std::filesystem::is_directory(request.OutDir))
        throw OutputError("cannot create the folder " + request.OutDir + ": "
                          + (ec ? ec.message() : std::string("a file of that name is in the way")));

    const int count = catalogue.CatalogueCount;
    const std::vector<std::string> stems = UniqueStems(catalogue);
    std::vector<BatchRow> rows(static_cast<std::size_t>(count));
    std::atomic<int> next{0}, done{0};

    auto worker = [&] {
        for (;;) {
            const int i = next.fetch_add(1);
            if (i >= count) return;
            BatchRow& row = rows[static_cast<std::size_t>(i)];
            if (request.Cancel && request.Cancel->load()) {
                row.Name = catalogue.Entry(i + 1).SatName;
                row.Reason = "interrupted";
                continue;
            }
            row = Forecast(catalogue, i + 1, stems[static_cast<std::size_t>(i)], *start.Date, request);
            const int finished = done.fetch_add(1) + 1;
            if (request.Progress) request.Progress(finished, count, row.Name);
        }
    };
    // One more than the cores: while one satellite's files are flushed to
    // disk, the cores keep computing the others.
    int threads = request.Threads > 0 ? request.Threads
                                      : static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) + 1;
    threads = std::min(threads, std::max(count, 1));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
    return rows;
}

std::string SummaryCsv(const std::vector<BatchRow>& rows)
{
    std::string out = "name,passes,eclipses,longest eclipse (min),total eclipse (min),sunlit (%),reason\n";
    for (const BatchRow& r : rows) {
        out += CsvField(r.Name) + "," + std::to_string(r.Passes) + "," + std::to_string(r.Eclipses) + ","
               + std::to_string(r.LongestEclipse) + "," + std::to_string(r.TotalEclipse) + ","
               + Percent(r.SunlitPercent) + "," + CsvField(r.Reason) + "\n";
    }
    return out;
}

std::string SummaryTable(const std::vector<BatchRow>& rows)
{
    std::size_t nameWidth = 9;
    for (const BatchRow& r : rows) nameWidth = std::max(nameWidth, r.Name.size());
    auto pad = [](std::string s, std::size_t width, bool right) {
        if (s.size() >= width) return s;
        return right ? std::string(width - s.size(), ' ') + s : s + std::string(width - s.size(), ' ');
    };
    std::string out = pad("satellite", nameWidth, false) + "  passes  eclipses  longest  total min  sunlit %  reason\n";
    for (const BatchRow& r : rows) {
        out += pad(r.Name, nameWidth, false) + "  " + pad(std::to_string(r.Passes), 6, true) + "  "
               + pad(std::to_string(r.Eclipses), 8, true) + "  " + pad(std::to_string(r.LongestEclipse), 7, true)
               + "  " + pad(std::to_string(r.TotalEclipse), 9, true) + "  " + pad(Percent(r.SunlitPercent), 8, true)
               + "  " + r.Reason + "\n";
    }
    return out;
}

} // namespace tavik
