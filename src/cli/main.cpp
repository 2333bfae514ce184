// tavik-forecast: the 59-day forecast from a terminal. It reads the same
// settings file as the window, prints the passes and eclipses lists and
// writes the same files, plus the strip chart as a PNG image.

#include "cli/CommandLine.h"
#include "cli/StripImage.h"

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Settings.h"
#include "forecast/Forecast.h"
#include "output/Batch.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "output/YearFile.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/RegionalFormats.h"
#include "platform/SettingsLocation.h"
#include "platform/TextForms.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QString>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
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
    if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z') message[0] = static_cast<char>(message[0] - 'A' + 'a');
    return message;
}

std::string Quoted(const std::string& s)
{
    std::string out(1, '"');
    out += s;
    out += '"';
    return out;
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
    throw InputError("no settings file: " + where
                     + "; give --settings FILE, or both --tle and --locator");
}

DateTexts StartTexts(const Options& o)
{
    if (!o.Start) {
        CalendarFields today = UtcNow().Fields();
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

Station StationFrom(const Options& o, const Settings& settings)
{
    if (!o.Locator) return MakeStation(settings.StationLocator);
    try {
        return MakeStation(*o.Locator);
    } catch (const InputError& e) {
        throw InputError("--locator " + Quoted(*o.Locator) + " is not a Maidenhead locator: " + e.what());
    }
}

std::unique_ptr<SatelliteCatalogue> LoadTle(const std::string& tlePath, LoadResult& loaded)
{
    auto catalogue = std::make_unique<SatelliteCatalogue>();
    try {
        loaded = LoadCatalogue(tlePath, *catalogue);
    } catch (const InputError& e) {
        throw InputError(std::string("TLE file ") + e.what());
    }
    if (loaded.IgnoredNames > 0)
        Report("warning: " + tlePath + ": only the first " + std::to_string(CatalogueCapacity)
               + " satellites are read; " + std::to_string(loaded.IgnoredNames) + " more are left out");
    return catalogue;
}

CurrentElementSet ChooseSatellite(const Options& o, const std::string& tlePath)
{
    LoadResult loaded;
    auto catalogue = LoadTle(tlePath, loaded);

    const std::string wanted = o.Satellite.value_or("1");
    const int index = FindSatellite(loaded.Names, wanted);
    if (index == 0) {
        const std::size_t count = loaded.Names.size();
        throw InputError("no satellite " + Quoted(wanted) + " in " + tlePath + ", which holds "
                         + std::to_string(count) + (count == 1 ? " satellite" : " satellites")
                         + "; give its name or a number from 1 to " + std::to_string(count));
    }
    return SelectElementSet(*catalogue, index);
}

void PrintList(const std::string& header, const std::vector<std::string>& lines)
{
    std::cout << header << '\n' << std::string(ListRuleWidth, '-') << '\n';
    for (const std::string& line : lines) std::cout << line << '\n';
}

// Writes one file and says so; a failure is reported and leaves any older
// file of that name as it was.
bool WriteOutput(const std::string& path, const std::string& bytes)
{
    try {
        WriteFileAtomically(path, bytes);
    } catch (const OutputError& e) {
        Report(e.what());
        return false;
    }
    std::cout << path << " has been written" << std::endl;
    return true;
}

// Set by an interrupt; --all stops between and inside forecasts, so every
// file already written is whole.
std::atomic<bool> Interrupted{false};

extern "C" void OnInterrupt(int) { Interrupted.store(true); }

int RunAll(const Options& o, const DateTexts& start, const Station& station, const std::string& tlePath)
{
    LoadResult loaded;
    auto catalogue = LoadTle(tlePath, loaded);
    BatchRequest request;
    request.DayText = start.Day;
    request.MonthText = start.Month;
    request.YearText = start.Year;
    request.Site = station;
    request.Formats = FormatsFromProcessLocale();
    request.OutDir = o.Out.value_or(".");
    request.Cancel = &Interrupted;
    if (::isatty(STDERR_FILENO)) {
        request.Progress = [](int done, int total, const std::string& name) {
            std::fprintf(stderr, "\r\033[K%d/%d %s", done, total, name.c_str());
            if (done == total) std::fputc('\n', stderr);
        };
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const std::vector<BatchRow> rows = RunBatch(*catalogue, request);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);

    std::cout << SummaryTable(rows);
    int status = ExitSuccess;
    for (const BatchRow& row : rows)
        if (row.WriteFailed) status = ExitFailure;
    const std::string summary = (std::filesystem::path(request.OutDir) / "summary.csv").string();
    if (!WriteOutput(summary, SummaryCsv(rows))) status = ExitFailure;
    if (Interrupted.load()) {
        Report("interrupted; the satellites marked \"interrupted\" were not computed");
        return ExitInterrupted;
    }
    return status;
}

int Run(int argc, char** argv)
{
    const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.UsageError.empty()) {
        Report(parsed.UsageError + " (see --help)");
        return ExitUsage;
    }
    const Options& o = parsed.Values;
    if (o.Help) {
        std::cout << UsageText();
        return ExitSuccess;
    }
    if (o.Version) {
        std::cout << ProgramName << ' ' << TAVIK_VERSION << '\n';
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

    Settings settings;
    if (o.Settings || !o.Tle || !o.Locator) {
        const std::string path = SettingsPath(o);
        try {
            settings = ReadSettings(path);
        } catch (const InputError& e) {
            throw InputError(std::string("settings file ") + e.what());
        }
    }
    const Station station = StationFrom(o, settings);
    const std::string tlePath = o.Tle ? *o.Tle : settings.TleFilePath;
    if (o.All) return RunAll(o, start, station, tlePath);
    const CurrentElementSet elements = ChooseSatellite(o, tlePath);

    const RegionalFormats formats = FormatsFromProcessLocale();
    ForecastRequest request;
    request.Start = *ParseDateTexts(start.Day, start.Month, start.Year).Date; // StartTexts checked it
    request.Elements = elements;
    request.Site = station;
    ShadowCarry carry;
    const ForecastResult result = RunForecast(request, carry);
    const std::vector<std::string> passLines = PassLines(result);
    const std::vector<std::string> eclipseLines = EclipseLines(result, formats);

    const std::string& name = elements.CurrentSatName;
    PrintList(PassesHeader(name), passLines);
    std::cout << '\n';
    PrintList(EclipsesHeader(name), eclipseLines);
    std::cout.flush();

    int status = ExitSuccess;
    if (!result.Completed()) {
        // Sinking below 150 km is what the forecast found, not a failure;
        // any other stop means the element set could not be followed.
        Report(StopMessage(result, formats));
        if (result.End != RunEnd::BelowMinimumHeight) status = ExitFailure;
    }

    auto write = [&status](const std::string& path, const std::string& bytes) {
        if (!WriteOutput(path, bytes)) status = ExitFailure;
    };
    if (o.SavePasses) write(PassesFileName(name), ListFileBytes(PassesHeader(name), passLines));
    if (o.SaveEclipses) write(EclipsesFileName(name), ListFileBytes(EclipsesHeader(name), eclipseLines));
    if (year) {
        const std::string folder = o.YearDir ? *o.YearDir : ProgramFolder();
        const std::vector<std::string> rows =
            SunAngleYearRows(*year, elements, station, request.Axis, carry, formats);
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
    try {
        return Run(argc, argv);
    } catch (const InputError& e) {
        Report(e.what());
    } catch (const OutputError& e) {
        Report(e.what());
    } catch (const std::exception& e) {
        Report(std::string("unexpected failure: ") + e.what());
    }
    return ExitFailure;
}
