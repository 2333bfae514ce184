#include "shell/ForecastController.h"
#include "shell/QtText.h"

#include "catalogue/Settings.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "output/YearFile.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <filesystem>
#include <utility>

namespace tavik::shell {

namespace {

bool MayHoldSettings(const QString& path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) return true;
    try {
        ReadSettings(PathOf(path));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Raised from a progress callback to end a job whose window is closing.
struct JobStopped {};

} // namespace

ForecastController::ForecastController(const ShellServices& services, QObject* parent)
    : QObject(parent), services_(services), catalogue_(std::make_unique<SatelliteCatalogue>())
{
    watcher_ = new QFutureWatcher<void>(this);
    connect(watcher_, &QFutureWatcher<void>::finished, this, [this] {
        if (auto finished = std::exchange(finished_, nullptr)) finished();
    });
}

ForecastController::~ForecastController() { Stop(); }

void ForecastController::SetSaveFolder(const QString& folder)
{
    saveFolder_ = folder;
    Remember({{QString::fromLatin1(SaveFolderKey), folder}});
}

// ---------------------------------------------------------------- loading

void ForecastController::Load(const std::shared_ptr<LoadJob>& job, std::function<void()> done)
{
    job->Catalogue = std::make_unique<SatelliteCatalogue>(*catalogue_);
    StartJob([job] { ReadInputFiles(*job); }, std::move(done));
}

void ForecastController::ReadInputFiles(LoadJob& job)
{
    if (job.StartUp) {
        std::optional<std::string> found = FindSettingsFile(job.ProgramFolder);
        // A settings file the Station dialog could not replace beside the
        // program was saved in the user's folder instead; that one is newer.
        const std::string user = UserSettingsPath();
        if (found && *found != user && !user.empty() && !CanReplace(FromPath(*found))
            && QFileInfo::exists(FromPath(user)))
            found = user;
        if (!found) {
            job.SettingsCandidates = SettingsCandidates(job.ProgramFolder);
            return;
        }
        job.SettingsPath = *found;
        auto read = [&job](const std::string& path) {
            const Settings settings = ReadSettings(path);
            job.Site = MakeStation(settings.StationLocator);
            job.SettingsTle = settings.TleFilePath;
        };
        try {
            read(*found);
        } catch (const std::exception& e) {
            job.SettingsError = e.what();
            // Where this file could not be used, the Station dialog saved the
            // settings in the user's own file, leaving this one alone.
            if (user.empty() || *found == user || !QFileInfo::exists(FromPath(user))) return;
            try {
                read(user);
            } catch (const std::exception&) {
                return; // the first file's problem is the one to show
            }
            job.SkippedSettings = job.SettingsError;
            job.SettingsError.clear();
            job.SettingsPath = user;
            found = user;
        }
        job.Keys = ReadRemembered(FromPath(*found));
        // The file given on the command line, else the last one opened, else
        // the settings' own.
        if (job.TlePath.empty()) {
            const QString last = job.Keys[QString::fromLatin1(LastTleFileKey)];
            job.TlePath = last.isEmpty() ? job.SettingsTle : PathOf(last);
            job.FallbackTlePath = job.SettingsTle;
            job.PreferredSatellite = job.Keys[QString::fromLatin1(LastSatelliteKey)];
        }
    }
    if (job.TlePath.empty()) return;
    // A text file of other lines reads as entries of names alone: refused by
    // name rather than shown as a satellite that cannot be computed.
    auto load = [&job] {
        LoadResult loaded = LoadCatalogue(job.TlePath, *job.Catalogue);
        if (!HoldsElementSet(*job.Catalogue))
            throw InputError(job.TlePath
                             + ": the file holds no element set (no name line followed by a line "
                               "beginning \"1 \" and one beginning \"2 \")");
        return loaded;
    };
    try {
        job.Loaded = load();
    } catch (const std::exception& e) {
        job.LoadError = e.what();
        if (job.FallbackTlePath.empty() || job.FallbackTlePath == job.TlePath) return;
        // The last file opened has gone: the settings' file instead.
        job.TlePath = job.FallbackTlePath;
        job.PreferredSatellite.clear();
        try {
            job.Loaded = load();
            job.LoadError.clear();
        } catch (const std::exception& again) {
            job.LoadError = again.what();
        }
    }
}

void ForecastController::TakeSettings(const LoadJob& job)
{
    if (job.SettingsPath.empty()) return;
    settingsPath_ = FromPath(job.SettingsPath);
    settingsUsable_ = job.Site.has_value();
    if (!job.Site) return;
    settingsTle_ = FromPath(job.SettingsTle);
    station_ = *job.Site;
    const QString model =
        job.Keys.count(QString::fromLatin1(ModelKey)) ? job.Keys.at(QString::fromLatin1(ModelKey)) : QString();
    model_ = OrbitModelNamed(model.toStdString()).value_or(OrbitModel::Classic);
    if (job.Keys.count(QString::fromLatin1(SaveFolderKey)))
        saveFolder_ = job.Keys.at(QString::fromLatin1(SaveFolderKey));
}

QString ForecastController::WhatStopsStartUp(const LoadJob& job) const
{
    if (job.SettingsPath.empty()) {
        QStringList places;
        for (const std::string& c : job.SettingsCandidates) places << FromPath(c);
        return QStringLiteral("There is no settings file yet (tavik looks for %1). Give your station and the TLE "
                              "file to load.")
            .arg(places.join(QStringLiteral(" and then for ")));
    }
    if (!station_) return QStringLiteral("The settings file cannot be used:\n%1").arg(Q(job.SettingsError));
    return QStringLiteral("The TLE file cannot be loaded:\n%1").arg(Q(job.LoadError));
}

bool ForecastController::TakeCatalogue(LoadJob& job)
{
    if (!job.Loaded) return false;
    catalogue_ = std::move(job.Catalogue);
    tleFilePath_ = FromPath(job.TlePath);
    return true;
}

void ForecastController::SelectElementSet(int index)
{
    current_ = tavik::SelectElementSet(*catalogue_, index);
    shownIsCurrent_ = false;
    const Remembered keys = ReadRemembered(settingsPath_);
    const auto found = keys.find(AttitudeKey(Q(CatalogueNumber(current_->Line1))));
    attitude_ = {};
    try {
        if (found != keys.end()) attitude_ = ParseAttitude(found->second.toStdString());
    } catch (const InputError&) {
        // A line edited by hand into nonsense: the satellite flies the default.
    }
}

bool ForecastController::SetAttitude(const Attitude& attitude)
{
    if (attitude == attitude_) return false;
    attitude_ = attitude;
    if (current_) Remember({{AttitudeKey(Q(CatalogueNumber(current_->Line1))), Q(AttitudeName(attitude))}});
    return true;
}

std::pair<double, double> ForecastController::Frequencies() const
{
    if (!current_) return {0, 0};
    const QString key = FrequencyKey(Q(CatalogueNumber(current_->Line1)));
    const Remembered keys = ReadRemembered(settingsPath_);
    const QStringList mhz = keys.count(key) ? keys.at(key).split(QLatin1Char(',')) : QStringList();
    return {mhz.value(0).toDouble(), mhz.value(1).toDouble()};
}

void ForecastController::SetFrequencies(double downlinkMHz, double uplinkMHz)
{
    if (!current_) return;
    Remember({{FrequencyKey(Q(CatalogueNumber(current_->Line1))),
               QStringLiteral("%1,%2").arg(downlinkMHz, 0, 'f', 4).arg(uplinkMHz, 0, 'f', 4)}});
}

bool ForecastController::SetModel(OrbitModel model)
{
    if (model == model_) return false;
    model_ = model;
    Remember({{QString::fromLatin1(ModelKey), QString::fromLatin1(ModelName(model))}});
    return true;
}

// ---------------------------------------------------------------- settings

void ForecastController::Remember(const Remembered& keys)
{
    if (settingsPath_.isEmpty() || !station_) return;
    const bool here = settingsUsable_ && CanReplace(settingsPath_);
    const QString target = here ? settingsPath_ : FromPath(UserSettingsPath());
    if (target.isEmpty() || (!here && !MayHoldSettings(target))) return;
    try {
        // Elsewhere the station and the TLE file go along, so that the copy
        // is a settings file of its own.
        if (here)
            WriteSettingsFile(target, {}, {}, keys);
        else
            WriteSettingsFile(target, Q(station_->StationLocator), settingsTle_, keys);
        settingsPath_ = target;
    } catch (const std::exception&) {
        // Remembering is a convenience; the work goes on without it.
    }
}

ForecastController::StationSaved ForecastController::SaveStation(const QString& locator, const QString& tle)
{
    // Where the settings were found, or the user's folder where that place
    // cannot be written. A file that could not be read whole and as settings
    // (a link to some other file, one larger than the limit) is never
    // rewritten: its first lines would replace someone's text.
    const bool unusable = !settingsPath_.isEmpty() && !settingsUsable_;
    QString target = settingsPath_;
    if (target.isEmpty() || unusable || !CanReplace(target)) target = FromPath(UserSettingsPath());
    const bool known = target == settingsPath_ && settingsUsable_;
    if (target.isEmpty() || (!known && !MayHoldSettings(target)))
        return {QStringLiteral("The settings have not been saved: %1 cannot be used as a settings file and is "
                               "left as it is. Move it away or correct it, then try again.")
                    .arg(target.isEmpty() ? settingsPath_ : target),
                {}};
    try {
        WriteSettingsFile(target, locator, tle, {});
    } catch (const std::exception& e) {
        return {QStringLiteral("The settings have not been saved:\n%1").arg(Q(e.what())), {}};
    }
    StationSaved saved;
    if (unusable)
        saved.Note = QStringLiteral("%1 cannot be used as a settings file and is left as it is; the settings have "
                                    "been saved in %2.")
                         .arg(settingsPath_, target);
    settingsPath_ = target;
    settingsUsable_ = true;
    settingsTle_ = tle;
    station_ = MakeStation(S(locator));
    return saved;
}

// ---------------------------------------------------------------- computing

std::optional<ForecastController::Refusal> ForecastController::Problem() const
{
    if (!current_)
        return Refusal{MessageKind::Warning,
                       QStringLiteral("There is no satellite to compute. Open a TLE file with File > Open Kep File.")};
    if (!station_)
        return Refusal{MessageKind::Error,
                       QStringLiteral("There is no station to compute for. Give it with Forecast > Station….")};
    if (const auto why = PropagationProblem(*current_)) return Refusal{MessageKind::Error, Q(*why)};
    return std::nullopt;
}

void ForecastController::RunForecast(DateTime start, std::function<void(ForecastJob&)> done)
{
    auto job = std::make_shared<ForecastJob>();
    job->Request.Start = start;
    job->Request.Elements = *current_;
    job->Request.Site = *station_;
    job->Request.Axis = attitude_;
    job->Request.Model = model_;
    job->Carry = carry_;
    const auto progress = ProgressPoster();
    StartJob(
        [this, job, progress] {
            try {
                job->Result = tavik::RunForecast(job->Request, job->Carry, [this, progress](int value, int maximum) {
                    if (stop_) return false;
                    progress(value, maximum);
                    return true;
                });
                if (job->Result->End != RunEnd::Cancelled)
                    job->Details = MakePlanningDetails(*job->Result, job->Request);
            } catch (const std::exception& e) {
                job->Error = Q(e.what());
            }
        },
        [this, job, done = std::move(done)] {
            carry_ = job->Carry;
            // A run stopped because the window closed leaves nothing worth showing.
            if (job->Result && job->Result->End != RunEnd::Cancelled) {
                shown_ = std::move(job->Result);
                details_ = std::move(job->Details);
                shownRequest_ = job->Request;
                shownIsCurrent_ = true;
            }
            done(*job);
        });
}

void ForecastController::ComputeUpcoming(DateTime from, int hours, std::function<void(UpcomingJob&)> done)
{
    auto job = std::make_shared<UpcomingJob>();
    job->Request.From = from;
    job->Request.Hours = hours;
    job->Request.Site = *station_;
    job->Request.Axis = attitude_;
    job->Request.Model = model_;
    std::vector<ElementSet> sets;
    for (int i = 1; i <= catalogue_->CatalogueCount; ++i)
        sets.push_back(catalogue_->Entries[static_cast<std::size_t>(i)]);
    StartJob(
        [this, job, sets = std::move(sets)] {
            // Called from the engine's own threads, where no stop may be
            // thrown: a stopped window only stops hearing of it.
            const auto progress = [this](std::size_t value, std::size_t count) {
                if (stop_) return;
                QMetaObject::invokeMethod(
                    this, [this, value, count] { emit Progress(static_cast<int>(value), static_cast<int>(count)); },
                    Qt::QueuedConnection);
            };
            try {
                job->List = UpcomingPasses(sets, job->Request, progress);
            } catch (const std::exception& e) {
                job->Error = Q(e.what());
            }
        },
        [job, done = std::move(done)] { done(*job); });
}

void ForecastController::ComputeYear(int year, std::function<void(const std::shared_ptr<YearJob>&)> done)
{
    auto job = std::make_shared<YearJob>();
    job->Year = year;
    job->Elements = *current_;
    job->Site = *station_;
    job->Axis = attitude_;
    // A file only: the forms Windows-1252 can hold.
    const FileFormats files = Cp1252FileFormats(services_.Formats);
    job->Formats = files.Formats;
    job->FormsNote = files.Note;
    job->Carry = carry_;
    const auto progress = ProgressPoster();
    StartJob(
        [job, progress] {
            try {
                job->Rows = SunAngleYearRows(job->Year, job->Elements, job->Site, job->Axis, job->Carry, job->Formats,
                                             progress);
            } catch (const std::exception& e) {
                job->Error = Q(e.what());
            }
        },
        [this, job, done = std::move(done)] {
            // Stopped (the window is closing): the flag stays as it was.
            if (!job->Rows.empty() || !job->Error.isEmpty()) carry_ = job->Carry;
            done(job);
        });
}

void ForecastController::ComputeYearOfLight(DateTime start, OrbitModel model,
                                            std::function<void(const std::shared_ptr<LightJob>&)> done)
{
    auto job = std::make_shared<LightJob>();
    job->Request.Start = start;
    job->Request.Elements = *current_;
    job->Request.Site = station_.value_or(Station{}); // the year does not depend on it
    job->Request.Axis = attitude_;
    job->Request.Model = model;
    const auto progress = ProgressPoster();
    StartJob(
        [job, progress] {
            progress(0, 1);
            try {
                job->Year = tavik::ComputeYearOfLight(job->Request);
            } catch (const std::exception& e) {
                job->Error = Q(e.what());
            }
            progress(1, 1);
        },
        [this, job, done = std::move(done)] {
            emit Progress(0, 1);
            done(job);
        });
}

// ---------------------------------------------------------------- files

QString ForecastController::DefaultListFolder(bool passes) const
{
    // Where the working folder cannot be written (a system folder, a
    // read-only mount), the documents folder.
    const std::string satellite = current_ ? current_->SatName : std::string();
    const QString name = FromPath(passes ? PassesFileName(satellite) : EclipsesFileName(satellite));
    return CanReplace(QDir(QDir::currentPath()).filePath(name)) ? QString() : services_.DocumentsFolder;
}

void ForecastController::SaveList(bool passes, const QString& folder, std::function<void(const ListSaved&)> done)
{
    auto saved = std::make_shared<ListSaved>();
    const std::string& name = current_->SatName;
    saved->FileName = passes ? PassesFileName(name) : EclipsesFileName(name);
    // The eclipse lines in forms Windows-1252 can hold; the pass lines have
    // no regional forms.
    const FileFormats files = Cp1252FileFormats(services_.Formats);
    if (!passes) saved->FormsNote = files.Note;
    // In the current working directory, like a file saved from a shell,
    // unless another folder is given.
    std::error_code noFolder;
    const std::filesystem::path base =
        folder.isEmpty() ? std::filesystem::current_path(noFolder) : std::filesystem::path(PathOf(folder));
    saved->Path = noFolder ? saved->FileName : (base / saved->FileName).string();
    const std::string bytes = passes ? PassesFileBytes(*shown_) : EclipsesFileBytes(*shown_, files.Formats);
    WriteFile(saved->Path, bytes, [saved, done = std::move(done)](const QString& error) {
        saved->Error = error;
        done(*saved);
    });
}

std::string ForecastController::YearFilePath(const YearJob& job) const
{
    const std::string fileName = YearFileName(job.Elements.SatName, job.Year);
    QString folder = services_.ProgramFolder;
    if (!CanReplace(QDir(folder).filePath(FromPath(fileName)))) folder = services_.DocumentsFolder;
    return (std::filesystem::path(PathOf(folder)) / fileName).string();
}

// ---------------------------------------------------------------- worker

void ForecastController::WriteFile(std::string path, std::string bytes, std::function<void(const QString& error)> done)
{
    auto error = std::make_shared<QString>();
    StartJob(
        [path = std::move(path), bytes = std::move(bytes), error] {
            try {
                WriteFileAtomically(path, bytes);
            } catch (const std::exception& e) {
                *error = Q(e.what());
            }
        },
        [error, done = std::move(done)] { done(*error); });
}

void ForecastController::StartJob(std::function<void()> work, std::function<void()> finished)
{
    stop_ = false;
    SetBusy(true);
    finished_ = std::move(finished);
    watcher_->setFuture(QtConcurrent::run([work = std::move(work)] {
        try {
            work();
        } catch (const JobStopped&) {
            // The window is closing; nothing of the job is wanted.
        }
    }));
}

std::function<void(int, int)> ForecastController::ProgressPoster()
{
    return [this](int value, int maximum) {
        if (stop_) throw JobStopped{};
        QMetaObject::invokeMethod(
            this, [this, value, maximum] { emit Progress(value, maximum); }, Qt::QueuedConnection);
    };
}

void ForecastController::SetBusy(bool busy)
{
    busy_ = busy;
    emit BusyChanged(busy);
}

void ForecastController::Stop()
{
    stop_ = true;
    if (watcher_) watcher_->waitForFinished();
}

} // namespace tavik::shell
