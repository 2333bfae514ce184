// The forecast for every satellite of a catalogue from one start date, on all
// cores, with each satellite's passes and eclipses files and a summary.
#pragma once

#include "catalogue/Catalogue.h"
#include "forecast/Forecast.h"
#include "platform/RegionalFormats.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

struct BatchRow {
    std::string Name;
    int Passes = 0;
    int Eclipses = 0;
    std::int64_t LongestEclipse = 0;      // minutes
    std::int64_t TotalEclipse = 0;        // minutes
    double SunlitPercent = 0;             // of the distinct minutes computed
    std::string Reason;                   // why there is no full forecast; empty when there is
    std::string PassesFile, EclipsesFile; // as written, empty when not written
    bool WriteFailed = false;
    bool Interrupted = false;               // stopped before it was computed, or while
    OrbitModel Model = OrbitModel::Classic; // the model that made the row
    std::optional<double> ElementAge = {};  // days from the epoch to the start, for a set that was computed
};

struct BatchRequest {
    std::string DayText, MonthText, YearText;
    Station Site;
    Attitude Axis;
    OrbitModel Model = OrbitModel::Classic;
    RegionalFormats Formats;
    std::string OutDir;                        // created if missing
    int Threads = 0;                           // satellites computed at once; 0: one more than the machine's cores
    const std::atomic<bool>* Cancel = nullptr; // set it to stop between and inside runs
    // Called after each satellite, from the thread that computed it, with the
    // number done so far.
    std::function<void(int done, int total, const std::string& name)> Progress;
};

// The entries of a batch: every name, in catalogue order, and each whole
// element set on demand (index from 0), so that a large file's entries are
// made one at a time by the threads that compute them.
struct BatchSource {
    std::vector<std::string> Names;
    std::function<CurrentElementSet(std::size_t index)> Entry;
};

// Takes each row as it is made, in catalogue order (index from 0), one at a
// time, from whichever thread finished it.
using BatchRowSink = std::function<void(std::size_t index, const BatchRow& row)>;

// The batch streamed: each satellite's files are written as it finishes and
// its row handed on in order; no thread keeps more than one satellite's
// minutes. Throws as RunBatch does, before anything is computed.
void StreamBatch(const BatchSource& source, const BatchRequest& request, const BatchRowSink& sink);

// Throws InputError for start texts that name no date and OutputError when
// the folder cannot be created; a satellite that cannot be computed or whose
// files cannot be written gets its reason in its row.
std::vector<BatchRow> RunBatch(const SatelliteCatalogue& catalogue, const BatchRequest& request);

// The share of distinct minutes in sunlight, in percent (minute 1440 of a day
// is minute 0 of the next and counts once).
double SunlitPercent(const ForecastResult& result);

// The summary as CSV (UTF-8 with LF line ends, comma separated, names quoted
// when they need it, "." decimals; a name or reason that begins with "=",
// "+", "-" or "@" is quoted with a "'" in front, so that a spreadsheet takes
// it as text, not as a formula) and as an aligned text table for a terminal.
// Both name the model that made each row. The CSV's last column warns of a
// start far from the element set's epoch (columns are only ever added at the
// end, so that sheets reading them by position go on working).
std::string SummaryCsv(const std::vector<BatchRow>& rows);
std::string SummaryTable(const std::vector<BatchRow>& rows);
// The same piece by piece, for rows written as they come; the table's name
// column is as wide as the longest of the names.
std::string SummaryCsvHeader();
std::string SummaryCsvRow(const BatchRow& row);
std::size_t SummaryNameWidth(const std::vector<std::string>& names);
std::string SummaryTableHeader(std::size_t nameWidth);
std::string SummaryTableRow(const BatchRow& row, std::size_t nameWidth);

} // namespace tavik
