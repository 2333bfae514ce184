// tavik-forecast: the 59-day forecast from a terminal. It reads the same
// settings file as the window, prints the passes and eclipses lists and
// writes the same files, plus the strip chart as a PNG image.

#include "cli/CommandLine.h"
#include "cli/StripImage.h"

#include "astro/Locator.h"
#include "astro/TimeScales.h"
#include "batch/Batch.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Settings.h"
#include "forecast/Forecast.h"
#include "forecast/Upcoming.h"
#include "forecast/YearOfLight.h"
#include "net/TleDownload.h"
#include "orbit/Doppler.h"
#include "output/Exports.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "output/YearFile.h"
#include "output/YearReport.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/FolderLock.h"
#include "platform/RegionalFormats.h"
#include "platform/SettingsLocation.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "platform/TextForms.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QString>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace tavik;
using namespace tavik::cli;

void Report(const std::string& message) { std::cerr << ProgramName << ": " << message << '\n'; }

// The engine's date and year checks speak in sentences for the window; on a
// command line they follow a colon.
std::string AsClause(std::string message)
{
    if (!message.empty() && message.back() == '.') message.pop_back();
    if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z')
        message[0] = static_cast<char>(message[0] - 'A' + 'a');
    return message;
}

// Qt speaks of platform details (a missing runtime folder and the like) that
// mean nothing to the user of a file tool; only its real failures are shown.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) Report(message.toStdString());
}

std::string ProgramFolder() { return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(); }

// The settings file: the one named on the command line, else the first of
// the places the window looks at too. Throws InputError when none exists.
std::string SettingsPath(const Options& o)
{
    if (o.Settings) return *o.Settings;
    if (auto found = FindSettingsFile(ProgramFolder())) return *found;
    const std::vector<std::string> places = SettingsCandidates(ProgramFolder());
    std::string where = places.size() == 1 ? places[0] + " does not exist" : "neither " + places[0];
    for (std::size_t i = 1; i < places.size(); ++i) where += " nor " + places[i];
    if (places.size() > 1) where += " exists";
    throw InputError("no settings file: " + where + "; give --settings FILE, or both --tle and --locator");
}

DateTexts StartTexts(const Options& o)
{
    if (!o.Start) {
        const std::optional<DateTime> now = UtcNow();
        if (!now)
            throw InputError("the system clock reads a date outside the years 1 to 9999, so today cannot be the "
                             "start day; give one with --start YYYY-MM-DD");
        CalendarFields today = now->Fields();
        return {std::to_string(today.Day), std::to_string(today.Month), std::to_string(today.Year)};
    }
    auto texts = SplitStartDate(*o.Start);
    if (!texts)
        throw InputError("--start " + Quoted(*o.Start) + " is not a date; write it as YYYY-MM-DD or DD.MM.YYYY");
    if (ParsedDate date = ParseDateTexts(texts->Day, texts->Month, texts->Year); !date)
        throw InputError("--start " + Quoted(*o.Start) + ": " + AsClause(date.Error));
    return *texts;
}

std::optional<int> YearOption(const Options& o)
{
    if (!o.Year) return std::nullopt;
    ParsedYear year = ParseYearText(*o.Year);
    if (!year) throw InputError("--year " + Quoted(*o.Year) + ": " + AsClause(year.Error));
    return year.Year;
}

// --frequency and --uplink in Hz, as the exports take them.
std::optional<double> FrequencyOption(const std::optional<std::string>& text, const char* option)
{
    if (!text) return std::nullopt;
    const std::optional<double> mhz = FrequencyMHz(*text);
    if (!mhz)
        throw InputError(std::string(option) + " " + Quoted(*text) + " is not a frequency: give MHz above 0 up to "
                         + std::to_string(static_cast<int>(MaxFrequencyMHz)) + ", e.g. 145.8");
    return *mhz * 1e6;
}

Station StationFrom(const Options& o, const Settings& settings)
{
    if (!o.Locator) return MakeStation(settings.StationLocator);
    try {
        return MakeStation(*o.Locator);
    } catch (const InputError& e) {
        throw InputError("--locator " + Quoted(*o.Locator) + " is not a Maidenhead locator: " + e.what());
    }
}

// "--tle -" reads standard input.
std::string TleName(const std::string& tlePath) { return tlePath == "-" ? "standard input" : tlePath; }

std::unique_ptr<SatelliteCatalogue> LoadTle(const std::string& tlePath, LoadResult& loaded)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    try {
        // Pipes, devices and process substitutions are read to their end.
        if (tlePath == "-")
            loaded = ParseCatalogue(ReadTextStream(STDIN_FILENO, TleName(tlePath)), TleName(tlePath), *catalogue);
        else
            loaded = LoadCatalogue(tlePath, *catalogue, FileKinds::StreamsToo);
    } catch (const InputError& e) {
        throw InputError(std::string(tlePath == "-" ? "TLE text on " : "TLE file ") + e.what());
    }
    return catalogue;
}

void ReportLeftOut(const LoadResult& loaded, const std::string& tlePath)
{
    if (loaded.IgnoredNames > 0)
        Report("warning: " + TleName(tlePath) + ": only the first " + std::to_string(CatalogueCapacity)
               + " satellites are read; " + std::to_string(loaded.IgnoredNames) + " more are left out");
}

// A check digit that does not match is worth a word, but stored files often
// carry them, so the forecast runs; a refused set says only why.
void ReportLineWarnings(const CurrentElementSet& elements)
{
    if (elements.LineProblem) return;
    for (const std::string& warning : elements.LineWarnings) Report("warning: " + warning);
}

CurrentElementSet ChooseSatellite(const Options& o, const std::string& tlePath)
{
    LoadResult loaded;
    auto catalogue = LoadTle(tlePath, loaded);

    const std::string wanted = o.Satellite.value_or("1");
    const int index = FindSatellite(loaded.Names, wanted);
    if (index == 0) {
        // Chosen among every name of the file, it would be found past the 500th.
        std::vector<std::string> all = loaded.Names;
        all.insert(all.end(), loaded.LeftOutNames.begin(), loaded.LeftOutNames.end());
        if (const int beyond = FindSatellite(all, wanted); beyond > CatalogueCapacity)
            throw InputError("satellite " + Quoted(wanted) + " lies past the " + std::to_string(CatalogueCapacity)
                             + " entries that are read from " + TleName(tlePath) + ": it is number "
                             + std::to_string(beyond) + " of " + std::to_string(all.size()));
        const std::size_t count = loaded.Names.size();
        throw InputError("no satellite " + Quoted(wanted) + " in " + TleName(tlePath) + ", which holds "
                         + std::to_string(count) + (count == 1 ? " satellite" : " satellites")
                         + "; give its name or a number from 1 to " + std::to_string(count));
    }
    ReportLeftOut(loaded, tlePath);
    CurrentElementSet elements = SelectElementSet(*catalogue, index);
    ReportLineWarnings(elements);
    return elements;
}

// Standard output, checked after every print. A reader that has gone away
// (EPIPE: "| head" has read enough) ends the listing quietly, as SIGPIPE
// did, but the files are still written; any other failure, such as a full
// disk, is said once on standard error and makes the exit status 1.
class StandardOutput {
public:
    // For --strip /dev/stdout: standard output carries the image, which the
    // lists would spoil.
    void Silence()
    {
        silent_ = true;
        documentOnly_ = true;
    }
    // Standard output carries one document (CSV, JSON, iCalendar or PNG) that
    // a script or a calendar reads whole: what the program has to say goes to
    // standard error instead.
    void DocumentOnly() { documentOnly_ = true; }

    // A line about what was done ("... has been written").
    void Announce(const std::string& text)
    {
        if (documentOnly_) {
            std::cerr << ProgramName << ": " << text;
            std::cerr.flush();
        } else {
            Print(text);
        }
    }

    void Print(const std::string& text)
    {
        if (silent_ || failed_) return;
        errno = 0;
        std::cout << text;
        std::cout.flush();
        if (std::cout) return;
        failed_ = true;
        const int error = errno;
        if (error == EPIPE) return;
        broken_ = true;
        std::string message = "cannot write standard output";
        if (error != 0) message += std::string(": ") + std::strerror(error);
        Report(message);
    }

    bool Broken() const { return broken_; }

private:
    bool silent_ = false, documentOnly_ = false, failed_ = false, broken_ = false;
};

// Whether the path names the file standard output goes to (/dev/stdout,
// /dev/fd/1 or the file itself).
bool IsStandardOutput(const std::string& path)
{
    struct stat named {
    }, out{};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && named.st_dev == out.st_dev
           && named.st_ino == out.st_ino;
}

void PrintList(StandardOutput& out, const std::string& header, const std::vector<std::string>& lines)
{
    std::string text = header + '\n' + std::string(ListRuleWidth, '-') + '\n';
    for (const std::string& line : lines) text += line + '\n';
    out.Print(text);
}

// Writes one file and says so; a failure is reported and leaves any older
// file of that name as it was.
bool WriteOutput(StandardOutput& out, const std::string& path, const std::string& bytes)
{
    try {
        WriteFileAtomically(path, bytes);
    } catch (const OutputError& e) {
        Report(e.what());
        return false;
    }
    out.Announce(path + " has been written\n");
    return true;
}

// Set by SIGINT (Ctrl-C), SIGTERM or SIGHUP (a closed terminal): --all stops
// between and inside forecasts, so every file already written is whole, and
// exits with 128 + the number of the first of them.
std::atomic<bool> Interrupted{false};
std::atomic<int> StopSignal{0};

extern "C" void OnStopSignal(int signal)
{
    int none = 0;
    StopSignal.compare_exchange_strong(none, signal);
    Interrupted.store(true);
}

OrbitModel ModelOf(const Options& o)
{
    return o.Model ? OrbitModelNamed(*o.Model).value_or(OrbitModel::Classic) : OrbitModel::Classic;
}

// --attitude is checked by ParseCommandLine.
Attitude AttitudeOf(const Options& o) { return o.Attitude ? ParseAttitude(*o.Attitude) : Attitude{}; }

// Every entry of the file, however many: the text is held (it is at most
// 64 MiB) and each entry made from its lines when a thread takes it.
int RunAll(StandardOutput& out, const Options& o, const DateTexts& start, const Station& station,
           const std::string& tlePath)
{
    std::string text;
    CatalogueScan scan;
    try {
        text = tlePath == "-" ? ReadTextStream(STDIN_FILENO, TleName(tlePath))
                              : ReadTextFile(tlePath, TextFileMaxBytes, FileKinds::StreamsToo);
        scan = ScanCatalogue(text, TleName(tlePath));
    } catch (const InputError& e) {
        throw InputError(std::string(tlePath == "-" ? "TLE text on " : "TLE file ") + e.what());
    }
    BatchSource source;
    source.Names.reserve(scan.Entries.size());
    for (const EntryLines& lines : scan.Entries) {
        const ElementSet entry = EntryOf(lines);
        ReportLineWarnings(entry);
        source.Names.push_back(entry.SatName);
    }
    source.Entry = [&scan](std::size_t i) { return EntryOf(scan.Entries[i]); };

    BatchRequest request;
    request.DayText = start.Day;
    request.MonthText = start.Month;
    request.YearText = start.Year;
    request.Site = station;
    request.Model = ModelOf(o);
    request.Axis = AttitudeOf(o);
    // Every form here goes into files.
    const FileFormats files = Cp1252FileFormats(FormatsFromProcessLocale());
    if (!files.Note.empty()) Report("note: " + files.Note);
    request.Formats = files.Formats;
    request.OutDir = o.Out.value_or(".");
    request.Cancel = &Interrupted;

    // One run per folder: a second one is refused before anything is written.
    const FolderLock folder(request.OutDir);
    // The summary grows row by row, in file order, as satellites finish, so
    // that a run that is killed leaves the rows done; a file that cannot be
    // written is said once (it keeps its whole rows) and the forecasts go on.
    const std::string summary = (std::filesystem::path(request.OutDir) / "summary.csv").string();
    std::unique_ptr<GrowingFile> csv;
    bool csvFailed = false;
    auto csvFail = [&](const OutputError& e) {
        Report(e.what());
        csvFailed = true;
        csv.reset();
    };
    try {
        csv = std::make_unique<GrowingFile>(summary, SummaryCsvHeader());
    } catch (const OutputError& e) {
        csvFail(e);
    }
    auto csvWrite = [&](const std::string& bytes) {
        if (!csv) return;
        try {
            csv->Append(bytes);
        } catch (const OutputError& e) {
            csvFail(e);
        }
    };

    const std::size_t total = source.Names.size();
    const std::size_t nameWidth = SummaryNameWidth(source.Names);
    const bool terminal = ::isatty(STDERR_FILENO);
    bool writeFailed = false;
    bool started = false;
    std::size_t computed = 0, stopped = 0, farFromEpoch = 0;
    auto sink = [&](std::size_t index, const BatchRow& row) {
        if (!started) {
            started = true;
            out.Print(SummaryTableHeader(nameWidth));
        }
        out.Print(SummaryTableRow(row, nameWidth));
        csvWrite(SummaryCsvRow(row));
        writeFailed = writeFailed || row.WriteFailed;
        farFromEpoch += row.ElementAge && !EpochDistanceWarning(*row.ElementAge).empty();
        // Satellites a stop left uncomputed are not counted as done.
        (row.Interrupted ? stopped : computed) += 1;
        const bool last = index + 1 == total;
        if (terminal && !row.Interrupted) std::fprintf(stderr, "\r\033[K%zu/%zu %s", computed, total, row.Name.c_str());
        if (last && stopped > 0) {
            if (terminal)
                std::fprintf(stderr, "\r\033[K%zu of %zu satellites done before the stop\n", computed, total);
            else
                std::fprintf(stderr, "%s: %zu of %zu satellites done before the stop\n", ProgramName, computed, total);
        } else if (terminal) {
            if (last) std::fputc('\n', stderr);
        } else if (!row.Interrupted && (computed % 1000 == 0 || (last && total >= 1000))) {
            std::fprintf(stderr, "%s: %zu of %zu satellites done\n", ProgramName, computed, total);
        }
    };
    // Held until summary.csv is written, so that it marks what was stopped.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnStopSignal);
    StreamBatch(source, request, sink);

    int status = writeFailed ? ExitFailure : ExitSuccess;
    try {
        if (csv) csv->Close();
    } catch (const OutputError& e) {
        csvFail(e);
    }
    if (farFromEpoch > 0)
        Report("warning: for " + std::to_string(farFromEpoch) + " of " + std::to_string(total)
               + " satellites the start lies too far from the element set's epoch for passes to be trusted; see the "
                 "column \"epoch warning\" of "
               + summary);
    if (csvFailed)
        status = ExitFailure;
    else
        out.Announce(summary + " has been written\n");
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, SIG_DFL);
    if (const int signal = StopSignal.load(); signal != 0) {
        const char* how = signal == SIGINT    ? "interrupted"
                          : signal == SIGTERM ? "stopped by SIGTERM"
                                              : "stopped by SIGHUP";
        Report(std::string(how) + "; the satellites marked \"interrupted\" were not computed");
        return ExitStoppedBy(signal);
    }
    return status;
}

// "2026-12-07 06:59:12", UTC: the list is read beside a UTC clock.
std::string UtcText(DateTime t)
{
    const CalendarFields f = t.Fields();
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
    return b;
}

std::string Decimals(double value, int decimals)
{
    char b[48];
    std::snprintf(b, sizeof b, "%.*f", decimals, value == 0 ? 0.0 : value);
    return b;
}

// "1h 02m 05s", "12m 40s", "35s".
std::string SpanText(std::int64_t seconds)
{
    char b[48];
    if (seconds >= 3600)
        std::snprintf(b, sizeof b, "%lldh %02lldm %02llds", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else if (seconds >= 60)
        std::snprintf(b, sizeof b, "%lldm %02llds", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    else
        std::snprintf(b, sizeof b, "%llds", static_cast<long long>(seconds));
    return b;
}

DateTime NowOrThrow()
{
    const std::optional<DateTime> now = UtcNow();
    if (!now)
        throw InputError("the system clock reads a date outside the years 1 to 9999; give the start with --start "
                         "YYYY-MM-DD");
    return *now;
}

int RunUpcoming(StandardOutput& out, const Options& o, const Station& station, const std::string& tlePath)
{
    UpcomingRequest request;
    request.Site = station;
    request.Model = ModelOf(o);
    request.Axis = AttitudeOf(o);
    if (o.Hours) {
        const std::string& h = *o.Hours;
        const bool digits = !h.empty() && h.size() <= 3 && h.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || std::stoi(h) < 1 || std::stoi(h) > UpcomingHoursAtMost)
            throw InputError("--hours " + Quoted(h) + " is not a number of hours from 1 to "
                             + std::to_string(UpcomingHoursAtMost));
        request.Hours = std::stoi(h);
    }
    if (o.MinElevation) {
        double deg = 0;
        const std::string& m = *o.MinElevation;
        const auto r = std::from_chars(m.data(), m.data() + m.size(), deg);
        if (r.ec != std::errc() || r.ptr != m.data() + m.size() || !(deg >= 0 && deg <= 90))
            throw InputError("--min-elevation " + Quoted(m) + " is not an elevation from 0 to 90 degrees");
        request.MinElevation = deg;
    }
    if (o.Start) {
        const DateTexts start = StartTexts(o);
        request.From = *ParseDateTexts(start.Day, start.Month, start.Year).Date; // StartTexts checked it
    } else {
        request.From = NowOrThrow();
    }
    LoadResult loaded;
    const auto catalogue = LoadTle(tlePath, loaded);
    ReportLeftOut(loaded, tlePath);
    std::vector<ElementSet> sets;
    for (int i = 1; i <= catalogue->CatalogueCount; ++i)
        sets.push_back(catalogue->Entries[static_cast<std::size_t>(i)]);
    // Progress as --all gives it: a line kept up to date on a terminal, else
    // a line every thousand satellites; standard output holds the list alone.
    const bool terminal = ::isatty(STDERR_FILENO);
    std::mutex said;
    std::size_t shown = 0; // the threads report out of order: never a count smaller than one shown
    const auto progress = [&](std::size_t done, std::size_t count) {
        const std::lock_guard<std::mutex> lock(said);
        if (done <= shown) return;
        shown = done;
        if (terminal)
            std::fprintf(stderr, "\r\033[K%zu/%zu satellites%s", done, count, done == count ? "\n" : "");
        else if (done % 1000 == 0 || (done == count && count >= 1000))
            std::fprintf(stderr, "%s: %zu of %zu satellites done\n", ProgramName, done, count);
    };
    const UpcomingList list = UpcomingPasses(sets, request, progress);
    for (const std::string& skipped : list.Skipped) Report("warning: left out " + skipped);

    const ExportFormat format = ExportFormatNamed(o.Format.value_or("text")).value_or(ExportFormat::Text);
    if (format != ExportFormat::Text) {
        ExportContext context;
        context.Site = station;
        context.Model = request.Model;
        context.Axis = request.Axis;
        context.Start = request.From;
        context.Written = UtcNow().value_or(request.From);
        out.DocumentOnly();
        out.Print(UpcomingBytes(format, context, list));
        return out.Broken() ? ExitFailure : ExitSuccess;
    }
    out.Print("Passes over " + station.StationLocator + " from " + UtcText(request.From) + " to " + UtcText(list.End)
              + " UTC (" + ModelName(request.Model) + " model)\n");
    out.Print("rise (UTC)           az    set (UTC)            az    duration     max el  at (UTC)  sunlit   "
              "eye  satellite\n");
    for (const UpcomingPass& u : list.Passes) {
        const PassDetail& p = u.Pass;
        char line[256];
        const std::string rise = p.RiseKnown ? UtcText(p.RiseToTheSecond().At) : "(up at the start)";
        const std::string set = p.SetKnown ? UtcText(p.SetToTheSecond().At) : "(up at the end)";
        const std::string duration = p.RiseKnown && p.SetKnown
                                         ? SpanText(p.SetToTheSecond().At.Seconds() - p.RiseToTheSecond().At.Seconds())
                                         : "";
        std::snprintf(line, sizeof line, "%-19s %5s  %-19s %5s  %-11s %6s  %-8s  %-7s  %-3s  %s (%s)\n", rise.c_str(),
                      p.RiseKnown ? Decimals(p.RiseToTheSecond().Azimuth, 0).c_str() : "", set.c_str(),
                      p.SetKnown ? Decimals(p.SetToTheSecond().Azimuth, 0).c_str() : "", duration.c_str(),
                      Decimals(p.Max.Elevation, 1).c_str(), UtcText(p.Max.At).substr(11).c_str(),
                      p.Max.Sunlit ? "sunlit" : "shadow", u.VisibleToEye ? "yes" : "no", u.SatName.c_str(),
                      u.CatalogueNumber.c_str());
        out.Print(line);
    }
    if (list.Passes.empty()) out.Print("no passes in the window\n");
    return out.Broken() ? ExitFailure : ExitSuccess;
}

int RunNow(StandardOutput& out, const Options& o, const Station& station, const std::string& tlePath,
           std::optional<double> downlink, std::optional<double> uplink)
{
    const CurrentElementSet elements = ChooseSatellite(o, tlePath);
    const DateTime now = NowOrThrow();
    ForecastRequest request;
    request.Start = now;
    request.Elements = elements;
    request.Site = station;
    request.Model = ModelOf(o);
    request.Axis = AttitudeOf(o);
    const SkyNow sky = SkyAt(request, now);
    if (o.Format && *o.Format == "json") {
        ExportContext context;
        context.SatName = elements.SatName;
        context.Site = station;
        context.Model = request.Model;
        context.Start = now;
        context.Written = now;
        context.DownlinkFrequency = downlink;
        context.UplinkFrequency = uplink;
        out.DocumentOnly();
        out.Print(SkyNowJson(context, now, sky));
        return out.Broken() ? ExitFailure : ExitSuccess;
    }
    const PassPointDetail& p = sky.Point;
    std::string text = elements.SatName + " from " + station.StationLocator + " at " + UtcText(now) + " UTC ("
                       + ModelName(request.Model) + " model)\n";
    text += "azimuth      " + Decimals(p.Azimuth, 1) + " deg\n";
    text += "elevation    " + Decimals(p.Elevation, 2) + " deg (" + (sky.Up ? "above" : "below") + " the horizon)\n";
    text += "range        " + Decimals(p.Range, 1) + " km\n";
    text += "range rate   " + Decimals(p.RangeRate, 3) + " km/s\n";
    text += "under it     " + Decimals(sky.SubLatitude, 4) + " deg N, " + Decimals(sky.SubLongitude, 4) + " deg E\n";
    text += "height       " + Decimals(sky.Height, 1) + " km\n";
    text += std::string("light        ") + LightName(sky.Light) + "\n";
    if (downlink) {
        const double shift = DopplerShift(*downlink, p.RangeRate);
        text += "downlink     " + Decimals((*downlink + shift) / 1e6, 6) + " MHz heard (Doppler " + Decimals(shift, 0)
                + " Hz)\n";
    }
    if (uplink) {
        const double shift = DopplerShift(*uplink, p.RangeRate);
        text += "uplink       " + Decimals((*uplink - shift) / 1e6, 6) + " MHz to transmit (Doppler "
                + Decimals(shift, 0) + " Hz)\n";
    }
    if (sky.Next)
        text += std::string(sky.Up ? "next set     " : "next rise    ") + UtcText(sky.Next->At) + " UTC, azimuth "
                + Decimals(sky.Next->Azimuth, 1) + " deg, in " + SpanText(sky.Next->At.Seconds() - now.Seconds())
                + "\n";
    else
        text += std::string(sky.Up ? "next set     " : "next rise    ") + "none within "
                + std::to_string(SkyNowSearchHours) + " hours\n";
    out.Print(text);
    return out.Broken() ? ExitFailure : ExitSuccess;
}

// The year of light on standard output. A stop before the year's end is
// reported as the forecast reports it.
int RunYearReport(StandardOutput& out, const Options& o, const DateTexts& start, const Station& station,
                  const CurrentElementSet& elements)
{
    ForecastRequest request;
    request.Start = *ParseDateTexts(start.Day, start.Month, start.Year).Date; // StartTexts checked it
    request.Elements = elements;
    request.Site = station;
    // The SGP4 model is this report's default: it has the velocity and the penumbra.
    request.Model = o.Model ? ModelOf(o) : OrbitModel::Sgp4;
    request.Axis = AttitudeOf(o);
    if (const std::string far = EpochDistanceWarning(EpochAgeDays(elements.Epoch, request.Start)); !far.empty())
        Report("warning: " + Quoted(elements.SatName) + ": " + far);
    const YearOfLight year = ComputeYearOfLight(request);
    const std::string format = o.Format.value_or("text");
    if (format != "text") out.DocumentOnly();
    out.Print(format == "json" ? YearReportJson(year) : format == "csv" ? YearReportCsv(year) : YearReportText(year));
    if (year.End == RunEnd::Completed) return ExitSuccess;
    Report(Quoted(elements.SatName) + ": the orbit could not be followed beyond " + IsoUtc(year.StopTime) + "; "
           + std::to_string(year.Days.size()) + " of " + std::to_string(YearOfLightDays) + " days in the report");
    return year.End == RunEnd::BelowMinimumHeight || year.End == RunEnd::BelowSurface ? ExitSuccess : ExitFailure;
}

int Run(int argc, char** argv, StandardOutput& out)
{
    const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.UsageError.empty()) {
        Report(parsed.UsageError + " (see --help)");
        return ExitUsage;
    }
    const Options& o = parsed.Values;
    if (o.Help) {
        out.Print(UsageText());
        return ExitSuccess;
    }
    if (o.Version) {
        out.Print(std::string(ProgramName) + ' ' + TAVIK_VERSION + '\n');
        return ExitSuccess;
    }

    // Qt sees none of the arguments: they are all ours. The image needs fonts
    // and so a GUI application, which a file tool runs without a display.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    qInstallMessageHandler(QtMessages);
    std::unique_ptr<QCoreApplication> app;
    if (o.Strip) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, qtArgv);
    }

    // Every text option is checked before anything is read or computed.
    const DateTexts start = StartTexts(o);
    const std::optional<int> year = YearOption(o);
    const std::optional<double> downlink = FrequencyOption(o.Frequency, "--frequency");
    const std::optional<double> uplink = FrequencyOption(o.Uplink, "--uplink");

    Settings settings;
    if (o.Settings || !o.Tle || (!o.Locator && !o.UpdateTle)) {
        const std::string path = SettingsPath(o);
        try {
            settings = ReadSettings(path, FileKinds::StreamsToo);
        } catch (const InputError& e) {
            throw InputError(std::string("settings file ") + e.what());
        }
    }
    // Only --tle - means standard input; a settings file naming "-" names a file.
    const std::string tlePath = o.Tle ? *o.Tle : settings.TleFilePath == "-" ? "./-" : settings.TleFilePath;
    if (o.UpdateTle) {
        net::DownloadLimits limits;
        // --timeout is checked by ParseCommandLine.
        limits.OverallMs = (o.Timeout ? std::stoi(*o.Timeout) : DefaultTimeoutSeconds) * 1000;
        const UpdateMode mode = o.Replace ? UpdateMode::Replace : o.AddNew ? UpdateMode::AddNew : UpdateMode::Merge;
        out.Print(net::UpdateTleFile(tlePath, QString::fromStdString(*o.UpdateTle), mode, limits));
        return ExitSuccess;
    }
    const Station station = StationFrom(o, settings);
    if (o.All) return RunAll(out, o, start, station, tlePath);
    if (o.Upcoming) return RunUpcoming(out, o, station, tlePath);
    if (o.Now) return RunNow(out, o, station, tlePath, downlink, uplink);
    const CurrentElementSet elements = ChooseSatellite(o, tlePath);
    if (o.YearReport) return RunYearReport(out, o, start, station, elements);

    const RegionalFormats formats = FormatsFromProcessLocale();
    ForecastRequest request;
    request.Start = *ParseDateTexts(start.Day, start.Month, start.Year).Date; // StartTexts checked it
    request.Elements = elements;
    request.Site = station;
    request.Model = ModelOf(o);
    request.Axis = AttitudeOf(o);
    ShadowCarry carry;
    const ForecastResult result = RunForecast(request, carry);
    if (const std::string far = EpochDistanceWarning(EpochAgeDays(elements.Epoch, request.Start)); !far.empty())
        Report("warning: " + Quoted(elements.SatName) + ": " + far);
    const std::vector<std::string> passLines = PassLines(result);
    const std::vector<std::string> eclipseLines = EclipseLines(result, formats);

    if (o.Strip && IsStandardOutput(*o.Strip)) out.Silence();
    const std::string& name = elements.SatName;
    const ExportFormat format = ExportFormatNamed(o.Format.value_or("text")).value_or(ExportFormat::Text);
    std::optional<PlanningDetails> details;
    std::optional<ExportContext> context;
    if (format != ExportFormat::Text) {
        details = MakePlanningDetails(result, request);
        context = MakeExportContext(result, request, UtcNow().value_or(result.Start));
        context->DownlinkFrequency = downlink;
        context->UplinkFrequency = uplink;
        out.DocumentOnly();
        out.Print(ExportBytes(format, *context, *details, true, true));
    } else {
        PrintList(out, PassesHeader(name), passLines);
        out.Print("\n");
        PrintList(out, EclipsesHeader(name), eclipseLines);
    }

    int status = ExitSuccess;
    if (!result.Completed()) {
        // Sinking below 150 km (or the surface) is what the forecast found,
        // not a failure; any other stop means the element set could not be
        // followed.
        Report(StopMessage(result, formats));
        if (result.End != RunEnd::BelowMinimumHeight && result.End != RunEnd::BelowSurface) status = ExitFailure;
    }

    auto write = [&status, &out](const std::string& path, const std::string& bytes) {
        if (!WriteOutput(out, path, bytes)) status = ExitFailure;
    };
    // The eclipses and year files hold dates and numbers in the forms
    // Windows-1252 can hold; the pass lines have no regional forms.
    const FileFormats files = Cp1252FileFormats(formats);
    if (((o.SaveEclipses && !details) || year) && !files.Note.empty()) Report("note: " + files.Note);
    if (details) {
        if (o.SavePasses)
            write(ExportFileName(name, true, format), ExportBytes(format, *context, *details, true, false));
        if (o.SaveEclipses)
            write(ExportFileName(name, false, format), ExportBytes(format, *context, *details, false, true));
    } else {
        if (o.SavePasses) write(PassesFileName(name), PassesFileBytes(result));
        if (o.SaveEclipses) write(EclipsesFileName(name), EclipsesFileBytes(result, files.Formats));
    }
    if (year) {
        const std::string folder = o.YearDir ? *o.YearDir : ProgramFolder();
        const std::vector<std::string> rows =
            SunAngleYearRows(*year, elements, station, request.Axis, carry, files.Formats);
        write((std::filesystem::path(folder) / YearFileName(name, *year)).string(), YearFileBytes(rows));
    }
    if (o.Strip) {
        const std::string png = StripPngBytes(result, RowLabels(result, formats));
        if (png.empty()) {
            Report(*o.Strip + ": the image could not be encoded as PNG");
            status = ExitFailure;
        } else {
            write(*o.Strip, png);
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that goes away gives EPIPE where the program can handle it,
    // instead of SIGPIPE ending it before its files are written.
    std::signal(SIGPIPE, SIG_IGN);
    StandardOutput out;
    int status = ExitFailure;
    try {
        status = Run(argc, argv, out);
    } catch (const InputError& e) {
        Report(e.what());
    } catch (const OutputError& e) {
        Report(e.what());
    } catch (const std::exception& e) {
        Report(std::string("unexpected failure: ") + e.what());
    }
    return status == ExitSuccess && out.Broken() ? ExitFailure : status;
}
