// What the window computes and keeps, without a widget: the settings, the
// catalogue and the satellite chosen from it, the orbit model, the forecast
// on screen and the shadow flag one computation leaves for the next. Files
// are read, runs computed and files written on a worker thread, one job at
// a time; each job's end comes back on the window's thread.
#pragma once

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/ComputeState.h"
#include "forecast/Forecast.h"
#include "forecast/PassDetails.h"
#include "forecast/Upcoming.h"
#include "forecast/YearOfLight.h"
#include "shell/SettingsStore.h"
#include "shell/ShellServices.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

template <typename T>
class QFutureWatcher;

namespace tavik::shell {

class ForecastController : public QObject {
    Q_OBJECT
public:
    // Reading the input files: at start-up the settings file and the TLE
    // file it names (or the last one opened, or the one given on the command
    // line), after "Open Kep File" or the Station dialog the file chosen.
    struct LoadJob {
        bool StartUp = false;
        bool RunForecast = false; // after a load, for the satellite chosen
        std::string ProgramFolder;
        std::string TlePath;
        std::string FallbackTlePath; // when TlePath, the last file opened, is gone
        QString PreferredSatellite;
        std::unique_ptr<SatelliteCatalogue> Catalogue; // a copy of the one in use, loaded into
        // What the start-up found.
        std::string SettingsPath; // empty: there is none
        std::vector<std::string> SettingsCandidates;
        std::optional<Station> Site;
        std::string SettingsTle;
        std::string SettingsError;
        std::string SkippedSettings; // a file passed over for the user's own, and why
        Remembered Keys;
        // What the load gave.
        std::optional<LoadResult> Loaded;
        std::string LoadError;
    };
    struct ForecastJob {
        ForecastRequest Request;
        ShadowCarry Carry;
        std::optional<ForecastResult> Result;
        std::optional<PlanningDetails> Details;
        QString Error;
    };
    struct YearJob {
        int Year = 0;
        CurrentElementSet Elements;
        Station Site;
        Attitude Axis;
        RegionalFormats Formats;
        std::string FormsNote; // why Formats are not the screen's
        ShadowCarry Carry;
        std::vector<std::string> Rows;
        QString Error;
    };
    struct UpcomingJob {
        UpcomingRequest Request;
        std::optional<UpcomingList> List;
        QString Error;
    };
    struct LightJob {
        ForecastRequest Request;
        std::optional<YearOfLight> Year;
        QString Error;
    };
    // Why something cannot be computed, and how grave that is.
    struct Refusal {
        MessageKind Kind;
        QString Text;
    };

    explicit ForecastController(const ShellServices& services, QObject* parent = nullptr);
    ~ForecastController() override;

    bool IsBusy() const { return busy_; }
    bool Stopping() const { return stop_; }
    const ForecastResult* Shown() const { return shown_ ? &*shown_ : nullptr; }
    const PlanningDetails* ShownDetails() const { return shown_ && details_ ? &*details_ : nullptr; }
    const ForecastRequest& ShownRequest() const { return shownRequest_; }
    // Whether the forecast on screen was computed for the satellite chosen.
    bool ShownIsCurrent() const { return shownIsCurrent_; }
    // The forecast on screen has made way (for a run, or the year file).
    void DropShown() { shown_.reset(); }
    const CurrentElementSet* Current() const { return current_ ? &*current_ : nullptr; }
    const SatelliteCatalogue& Catalogue() const { return *catalogue_; }
    const std::optional<Station>& StationInUse() const { return station_; }
    OrbitModel Model() const { return model_; }
    const QString& TleFilePath() const { return tleFilePath_; }
    const QString& SettingsPath() const { return settingsPath_; }
    // The TLE file the settings' line 2 names, resolved.
    const QString& SettingsTle() const { return settingsTle_; }
    // The last folder of "Save As…".
    const QString& SaveFolder() const { return saveFolder_; }
    void SetSaveFolder(const QString& folder);

    // Reads the files a job names on the worker (into a copy of the
    // catalogue, so that a file that cannot be used changes nothing), then
    // calls done here.
    void Load(const std::shared_ptr<LoadJob>& job, std::function<void()> done);
    // What a start-up load found in the settings file: the station, the
    // model and the folders remembered.
    void TakeSettings(const LoadJob& job);
    // What keeps a start-up load from a forecast (no settings file, one that
    // cannot be used, a TLE file that cannot be loaded), for the Station
    // dialog to say.
    QString WhatStopsStartUp(const LoadJob& job) const;
    // Makes a load's catalogue the one in use; false when it gave none.
    bool TakeCatalogue(LoadJob& job);
    // Makes entry index (from 1) of the catalogue the satellite chosen.
    void SelectElementSet(int index);
    void SetStation(const Station& station) { station_ = station; }
    // The downlink and uplink frequencies remembered for the satellite
    // chosen, MHz; 0 for none.
    std::pair<double, double> Frequencies() const;
    void SetFrequencies(double downlinkMHz, double uplinkMHz);
    // The attitude flown by the satellite chosen: the one remembered for it
    // when it was chosen (0,0 when none is), or the one set since.
    const Attitude& AttitudeInUse() const { return attitude_; }
    // Chooses the attitude of the satellite chosen; true when it changed,
    // which is remembered for that satellite.
    bool SetAttitude(const Attitude& attitude);
    // Chooses the model; true when it changed, which is remembered.
    bool SetModel(OrbitModel model);
    // Writes the remembered choices, where the settings file can be written.
    void Remember(const Remembered& keys);
    // Saves the Station dialog's locator and TLE file as the settings. An
    // error when they could not be saved; a note when they went elsewhere.
    struct StationSaved {
        QString Error, Note;
    };
    StationSaved SaveStation(const QString& locator, const QString& tleFile);

    // Why the satellite chosen cannot be computed for the station, if it cannot.
    std::optional<Refusal> Problem() const;
    // Computes the forecast from the start date for the satellite chosen;
    // done gets the job, whose result (if any) is then the one on screen.
    void RunForecast(DateTime start, std::function<void(ForecastJob&)> done);
    // Computes the passes of every satellite of the catalogue from the
    // instant on, in the model chosen; done gets the job. The station must
    // be known.
    void ComputeUpcoming(DateTime from, int hours, std::function<void(UpcomingJob&)> done);
    // Computes the rows of the year file; done gets the job.
    void ComputeYear(int year, std::function<void(const std::shared_ptr<YearJob>&)> done);
    // Computes the year of light from start for the satellite chosen, in
    // model; done gets the job (busy until done ends it).
    void ComputeYearOfLight(DateTime start, OrbitModel model,
                            std::function<void(const std::shared_ptr<LightJob>&)> done);
    // Writes a file on the worker; done gets the reason it failed, or nothing.
    void WriteFile(std::string path, std::string bytes, std::function<void(const QString& error)> done);
    // Saves the list of passes or of eclipses of the forecast on screen, as
    // its file in the folder (the working folder when empty); done gets the
    // outcome.
    struct ListSaved {
        std::string Path, FileName;
        QString Error;         // empty: written
        std::string FormsNote; // the file's forms are not the screen's, and why
    };
    void SaveList(bool passes, const QString& folder, std::function<void(const ListSaved&)> done);
    // Where a list's file goes by default: the working folder, or the
    // documents folder where that cannot be written.
    QString DefaultListFolder(bool passes) const;
    // Where the year file for the satellite chosen goes: the program's
    // folder, or the documents folder where that cannot be written.
    std::string YearFilePath(const YearJob& job) const;
    // Runs work on the worker, busy meanwhile, then finished here; work that
    // ends early because of a stop finishes all the same.
    void StartJob(std::function<void()> work, std::function<void()> finished);
    // Busy while a job, or a download on this thread, runs.
    void SetBusy(bool busy);
    // Stops the job that runs, waiting for it: the window is closing.
    void Stop();

signals:
    void BusyChanged(bool busy);
    // How far the job on the worker has come.
    void Progress(int value, int maximum);

private:
    static void ReadInputFiles(LoadJob& job);
    // A progress callback for the worker; it ends a job that is stopped.
    std::function<void(int, int)> ProgressPoster();

    ShellServices services_;
    QString settingsPath_;
    bool settingsUsable_ = false; // settingsPath_ was read whole and as settings, so it may be rewritten
    QString settingsTle_;
    std::optional<Station> station_;
    Attitude attitude_;
    OrbitModel model_ = OrbitModel::Classic;
    std::unique_ptr<SatelliteCatalogue> catalogue_;
    QString tleFilePath_;
    QString saveFolder_;
    std::optional<CurrentElementSet> current_;
    // The shadow flag one computation leaves for the next, in the order the
    // runs and year files happen; only one of them runs at a time.
    ShadowCarry carry_;
    std::optional<ForecastResult> shown_;
    std::optional<PlanningDetails> details_; // of shown_
    ForecastRequest shownRequest_;           // what computed shown_
    bool shownIsCurrent_ = false;

    bool busy_ = false;
    std::atomic<bool> stop_{false};
    QFutureWatcher<void>* watcher_ = nullptr;
    std::function<void()> finished_;
};

} // namespace tavik::shell
