#include "batch/Batch.h"

#include "output/Exports.h"

#include "astro/TimeScales.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/TextForms.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace tavik {

namespace {

// One file stem per entry; a name that repeats gets "~2", "~3", ... so no
// satellite's files overwrite another's.
std::vector<std::string> UniqueStems(const std::vector<std::string>& names)
{
    std::vector<std::string> stems;
    stems.reserve(names.size());
    std::set<std::string> used;
    for (const std::string& name : names) {
        const std::string base = SafeFileStem(name);
        std::string stem = base;
        for (int k = 2; used.count(stem) > 0; ++k) stem = base + "~" + std::to_string(k);
        used.insert(stem);
        stems.push_back(stem);
    }
    return stems;
}

BatchRow Forecast(const CurrentElementSet& elements, const std::string& stem, DateTime start,
                  const BatchRequest& request)
{
    BatchRow row;
    row.Name = elements.SatName;
    row.Model = request.Model;
    ForecastRequest q{start, elements, request.Site, request.Axis, 1, request.Model};
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
        row.Interrupted = true;
        return row;
    }
    row.ElementAge = EpochAgeDays(elements.Epoch, start);
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
        WriteFileAtomically(passes, PassesFileBytes(r));
        row.PassesFile = passes;
        WriteFileAtomically(eclipses, EclipsesFileBytes(r, request.Formats));
        row.EclipsesFile = eclipses;
    } catch (const OutputError& e) {
        row.Reason = e.what();
        row.WriteFailed = true;
    }
    return row;
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
    const std::int64_t count = RunMinuteCount(result);
    std::int64_t sunlit = 0;
    for (std::int64_t k = 0; k < count; ++k) sunlit += !RunMinute(result, k).InEclipse;
    return count == 0 ? 0 : 100.0 * static_cast<double>(sunlit) / static_cast<double>(count);
}

void StreamBatch(const BatchSource& source, const BatchRequest& request, const BatchRowSink& sink)
{
    const ParsedDate start = ParseDateTexts(request.DayText, request.MonthText, request.YearText);
    if (!start) throw InputError(start.Error);
    std::error_code ec;
    std::filesystem::create_directories(request.OutDir, ec);
    if (ec || !std::filesystem::is_directory(request.OutDir))
        throw OutputError("cannot create the folder " + request.OutDir + ": "
                          + (ec ? ec.message() : std::string("a file of that name is in the way")));

    const std::size_t count = source.Names.size();
    const std::vector<std::string> stems = UniqueStems(source.Names);
    std::atomic<std::size_t> next{0};
    std::atomic<int> done{0};
    // Rows finished ahead of an earlier one wait here, so that the sink sees
    // catalogue order whatever the threads' timing; a worker takes the next
    // entry as soon as it is free, so few ever wait.
    std::mutex order;
    std::map<std::size_t, BatchRow> waiting;
    std::size_t nextOut = 0;
    auto hand = [&](std::size_t i, BatchRow row) {
        std::lock_guard<std::mutex> lock(order);
        waiting.emplace(i, std::move(row));
        for (auto it = waiting.find(nextOut); it != waiting.end(); it = waiting.find(nextOut)) {
            if (sink) sink(nextOut, it->second);
            waiting.erase(it);
            ++nextOut;
        }
    };

    auto worker = [&] {
        for (;;) {
            const std::size_t i = next.fetch_add(1);
            if (i >= count) return;
            BatchRow row;
            if (request.Cancel && request.Cancel->load()) {
                row.Name = source.Names[i];
                row.Model = request.Model;
                row.Reason = "interrupted";
                row.Interrupted = true;
                hand(i, std::move(row));
                continue;
            }
            row = Forecast(source.Entry(i), stems[i], *start.Date, request);
            const int finished = done.fetch_add(1) + 1;
            if (request.Progress) request.Progress(finished, static_cast<int>(count), row.Name);
            hand(i, std::move(row));
        }
    };
    // One more than the cores: while one satellite's files are flushed to
    // disk, the cores keep computing the others.
    std::size_t threads = request.Threads > 0 ? static_cast<std::size_t>(request.Threads)
                                              : std::max(1u, std::thread::hardware_concurrency()) + 1u;
    threads = std::min(threads, std::max<std::size_t>(count, 1));
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
}

std::vector<BatchRow> RunBatch(const SatelliteCatalogue& catalogue, const BatchRequest& request)
{
    BatchSource source;
    for (int i = 1; i <= catalogue.CatalogueCount; ++i) source.Names.push_back(catalogue.Entry(i).SatName);
    source.Entry = [&catalogue](std::size_t i) { return SelectElementSet(catalogue, static_cast<int>(i) + 1); };
    std::vector<BatchRow> rows;
    StreamBatch(source, request, [&rows](std::size_t, const BatchRow& row) { rows.push_back(row); });
    return rows;
}

std::string SummaryCsvHeader()
{
    return "name,passes,eclipses,longest eclipse (min),total eclipse (min),sunlit (%),model,reason,epoch warning\n";
}

std::string SummaryCsvRow(const BatchRow& r)
{
    return CsvField(r.Name) + "," + std::to_string(r.Passes) + "," + std::to_string(r.Eclipses) + ","
           + std::to_string(r.LongestEclipse) + "," + std::to_string(r.TotalEclipse) + "," + Percent(r.SunlitPercent)
           + "," + ModelName(r.Model) + "," + CsvField(r.Reason) + ","
           + CsvField(r.ElementAge ? EpochDistanceWarning(*r.ElementAge) : std::string()) + "\n";
}

std::string SummaryCsv(const std::vector<BatchRow>& rows)
{
    std::string out = SummaryCsvHeader();
    for (const BatchRow& r : rows) out += SummaryCsvRow(r);
    return out;
}

namespace {

std::string Pad(std::string s, std::size_t width, bool right)
{
    if (s.size() >= width) return s;
    return right ? std::string(width - s.size(), ' ') + s : s + std::string(width - s.size(), ' ');
}

} // namespace

std::size_t SummaryNameWidth(const std::vector<std::string>& names)
{
    std::size_t width = 9; // "satellite"
    for (const std::string& name : names) width = std::max(width, name.size());
    return width;
}

std::string SummaryTableHeader(std::size_t nameWidth)
{
    return Pad("satellite", nameWidth, false) + "  passes  eclipses  longest  total min  sunlit %  model    reason\n";
}

std::string SummaryTableRow(const BatchRow& r, std::size_t nameWidth)
{
    return Pad(r.Name, nameWidth, false) + "  " + Pad(std::to_string(r.Passes), 6, true) + "  "
           + Pad(std::to_string(r.Eclipses), 8, true) + "  " + Pad(std::to_string(r.LongestEclipse), 7, true) + "  "
           + Pad(std::to_string(r.TotalEclipse), 9, true) + "  " + Pad(Percent(r.SunlitPercent), 8, true) + "  "
           + Pad(ModelName(r.Model), 7, false) + "  " + r.Reason + "\n";
}

std::string SummaryTable(const std::vector<BatchRow>& rows)
{
    std::vector<std::string> names;
    for (const BatchRow& r : rows) names.push_back(r.Name);
    const std::size_t width = SummaryNameWidth(names);
    std::string out = SummaryTableHeader(width);
    for (const BatchRow& r : rows) out += SummaryTableRow(r, width);
    return out;
}

} // namespace tavik
