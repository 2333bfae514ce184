#include "shell/MainWindow.h"
#include "shell/ForecastController.h"
#include "shell/QtText.h"

#include "output/ListLines.h"
#include "platform/Clock.h"
#include "platform/TextForms.h"
#include "shell/AboutBox.h"
#include "shell/AttitudeMenu.h"
#include "shell/Controls.h"
#include "shell/ElementAge.h"
#include "shell/IlluminationView.h"
#include "shell/Legend.h"
#include "shell/ListPage.h"
#include "shell/PassDetailsView.h"
#include "shell/SatelliteBox.h"
#include "shell/StartDateRow.h"
#include "shell/StationDialog.h"
#include "shell/SunAngleChart.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>
#include <string>
#include <utility>

namespace tavik::shell {

MainWindow::MainWindow(ShellServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), controller_(new ForecastController(services_, this))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("60 days long-range forecast for illumination (QQ0XX)"));
    setFont(SansFont(8.25));

    connect(controller_, &ForecastController::BusyChanged, this, &MainWindow::ShowBusy);
    connect(controller_, &ForecastController::Progress, this, &MainWindow::SetProgress);
    BuildMenus();
    BuildControls();
    statusBar()->setObjectName(QStringLiteral("StatusLine"));
    FitToScreen();
}

MainWindow::~MainWindow()
{
    controller_->Stop();
    delete about_.data();
}

// ---------------------------------------------------------------- start-up

void MainWindow::StartUp()
{
    // Visible while the rest draws into it.
    show();
    illumination_->DrawHourGrid();
    const bool dated = FillStartDate();
    // The settings file, the station and the catalogue are read on the
    // worker, so that a slow or stuck file never holds up the window; then
    // the satellite becomes current and its forecast runs, so that the name,
    // the element lines and the lists belong to one satellite.
    auto job = std::make_shared<LoadJob>();
    job->StartUp = true;
    job->ProgramFolder = PathOf(services_.ProgramFolder);
    job->TlePath = PathOf(startTleFile_);
    job->RunForecast = dated;
    StartLoad(job);
}

void MainWindow::StartLoad(const std::shared_ptr<LoadJob>& job)
{
    controller_->Load(job, [this, job] { LoadFinished(job); });
}

void MainWindow::LoadFinished(const std::shared_ptr<LoadJob>& job)
{
    if (job->StartUp) ApplySettings(*job);
    if (job->StartUp && !job->SkippedSettings.empty())
        Report(MessageKind::Warning, QStringLiteral("Settings"),
               QStringLiteral("The settings file cannot be used:\n%1\nIt is left as it is; the settings in %2 "
                              "are used.")
                   .arg(Q(job->SkippedSettings), FromPath(job->SettingsPath)));
    const bool loaded = ApplyCatalogue(*job);
    controller_->SetBusy(false);
    if (job->StartUp && (!controller_->StationInUse() || !loaded) && !controller_->Stopping()) {
        // Set up without a text editor: the dialog says what is wrong.
        const QString why = controller_->WhatStopsStartUp(*job);
        EditStation(why);
        return;
    }
    if (!loaded) {
        if (!job->LoadError.empty())
            Report(MessageKind::Error, QStringLiteral("TLE file"),
                   QStringLiteral("The TLE file cannot be loaded:\n%1").arg(Q(job->LoadError)));
        return;
    }
    int index = 1;
    if (!job->PreferredSatellite.isEmpty())
        if (const int found = satelliteBox_->findText(job->PreferredSatellite, Qt::MatchExactly); found >= 0)
            index = found + 1;
    satelliteBox_->setCurrentIndex(index - 1);
    SelectElementSet(index);
    if (!job->StartUp) controller_->Remember({{QString::fromLatin1(LastTleFileKey), controller_->TleFilePath()}});
    // Not for a window that is closing.
    if (job->RunForecast && !controller_->Stopping()) RunForecast();
}

void MainWindow::ApplySettings(const LoadJob& job)
{
    controller_->TakeSettings(job);
    if (controller_->StationInUse()) passesPage_->ShowLocator(Q(controller_->StationInUse()->StationLocator));
    (controller_->Model() == OrbitModel::Sgp4 ? sgp4ModelAction_ : classicModelAction_)->setChecked(true);
    if (job.Site && job.Keys.count(QString::fromLatin1(WindowSizeKey))) {
        rememberedSize_ = job.Keys.at(QString::fromLatin1(WindowSizeKey));
        // Read after the window opened: it takes the size it was left at.
        FitToScreen(rememberedSize_);
    }
}

bool MainWindow::ApplyCatalogue(LoadJob& job)
{
    if (!controller_->TakeCatalogue(job)) return false;
    satelliteBox_->SetNames(job.Loaded->Names);
    if (job.Loaded->IgnoredNames > 0)
        Report(MessageKind::Warning, QStringLiteral("TLE file"),
               QStringLiteral("%1 holds more than %2 satellites; the last %3 are left out.")
                   .arg(controller_->TleFilePath())
                   .arg(CatalogueCapacity)
                   .arg(job.Loaded->IgnoredNames));
    return true;
}

bool MainWindow::FillStartDate()
{
    const std::optional<DateTime> now = UtcAt(services_.Now());
    if (!now) {
        Report(MessageKind::Error, QStringLiteral("Start date"),
               QStringLiteral("The system clock reads a date outside the years 1 to 9999, so today cannot be the "
                              "start date.\n\nType the start date and press \"recalc\"."));
        return false;
    }
    startDate_->Show(*now);
    return true;
}

void MainWindow::SelectElementSet(int index)
{
    controller_->SelectElementSet(index);
    const CurrentElementSet& chosen = *controller_->Current();
    satelliteBox_->SetInUse(Q(chosen.SatName));
    passesPage_->ShowElementSet(chosen);
    const auto [downlink, uplink] = controller_->Frequencies();
    passDetails_->SetFrequencies(downlink, uplink);
    attitudeMenu_->Show(controller_->AttitudeInUse());
    ShowElementAge();
}

void MainWindow::ShowElementAge()
{
    const ParsedDate start = startDate_->Typed();
    elementAge_->Show(controller_->Current(), start ? std::optional<DateTime>(*start.Date) : std::nullopt);
}

// ---------------------------------------------------------------- handlers

void MainWindow::OnSatelliteChosen(int listIndex)
{
    if (controller_->IsBusy() || listIndex < 0 || listIndex >= controller_->Catalogue().CatalogueCount) return;
    ClearSaveStatus();
    SelectElementSet(listIndex + 1);
    controller_->Remember({{QString::fromLatin1(LastSatelliteKey), Q(controller_->Current()->SatName)}});
    RunForecast();
}

void MainWindow::OnRecalc()
{
    if (controller_->IsBusy()) return;
    RunForecast();
}

void MainWindow::OnStartDateEdited()
{
    ClearSaveStatus();
    ShowElementAge();
}

void MainWindow::OnSave(ListKind kind) { SaveList(kind, controller_->DefaultListFolder(kind == ListKind::Passes)); }

void MainWindow::OnSaveCurrentList() { OnSave(tabs_->currentIndex() == 2 ? ListKind::Eclipses : ListKind::Passes); }

void MainWindow::OnSaveAs()
{
    if (controller_->IsBusy() || !controller_->Shown()) return;
    const QString start = controller_->SaveFolder().isEmpty() ? QDir::currentPath() : controller_->SaveFolder();
    const QString folder = services_.ChooseFolder ? services_.ChooseFolder(this, start) : QString();
    if (folder.isEmpty()) return;
    controller_->SetSaveFolder(folder);
    SaveList(tabs_->currentIndex() == 2 ? ListKind::Eclipses : ListKind::Passes, folder);
}

void MainWindow::OnOpenTleFile()
{
    if (controller_->IsBusy()) return;
    const QString start = controller_->TleFilePath().isEmpty() ? QDir::currentPath()
                                                               : QFileInfo(controller_->TleFilePath()).absolutePath();
    const QString path = services_.ChooseTleFile ? services_.ChooseTleFile(this, start) : QString();
    if (path.isEmpty()) return; // cancelled: nothing changes
    auto job = std::make_shared<LoadJob>();
    job->TlePath = PathOf(path);
    job->RunForecast = true;
    ClearSaveStatus();
    StartLoad(job);
}

void MainWindow::ReloadTleFile()
{
    auto job = std::make_shared<LoadJob>();
    job->TlePath = PathOf(controller_->TleFilePath());
    if (controller_->Current()) job->PreferredSatellite = Q(controller_->Current()->SatName);
    job->RunForecast = true;
    StartLoad(job);
}

void MainWindow::OnInfo()
{
    if (!about_) {
        // A window of its own that stays in front of this one and closes
        // with it.
        about_ = new AboutBox(this);
        about_->setAttribute(Qt::WA_DeleteOnClose);
        about_->setWindowIcon(windowIcon());
        about_->CentreOn(this);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::OnLegend()
{
    if (!legend_) legend_ = new Legend(this);
    legend_->ShowAttitude(controller_->AttitudeInUse());
    legend_->show();
    legend_->raise();
    legend_->activateWindow();
}

StationDialog* MainWindow::StationEditor() const { return stationDialog_; }
AboutBox* MainWindow::About() const { return about_; }

void MainWindow::EditStation(const QString& why)
{
    if (controller_->IsBusy()) return;
    if (stationDialog_) {
        stationDialog_->raise();
        return;
    }
    const QString tle = controller_->SettingsTle().isEmpty() ? controller_->TleFilePath() : controller_->SettingsTle();
    stationDialog_ =
        new StationDialog(controller_->StationInUse() ? Q(controller_->StationInUse()->StationLocator) : QString(), tle,
                          why, services_.ChooseTleFile, this);
    stationDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(stationDialog_, &QDialog::accepted, this, &MainWindow::OnStationAccepted);
    // Not blocking: the window stays drawn and the worker keeps going.
    stationDialog_->open();
}

void MainWindow::OnStationAccepted()
{
    const QString locator = stationDialog_->Locator(), tle = QFileInfo(stationDialog_->TleFile()).absoluteFilePath();
    const ForecastController::StationSaved saved = controller_->SaveStation(locator, tle);
    if (!saved.Error.isEmpty()) {
        Report(MessageKind::Error, QStringLiteral("Station"), saved.Error);
        return;
    }
    if (!saved.Note.isEmpty()) Report(MessageKind::Information, QStringLiteral("Station"), saved.Note);
    passesPage_->ShowLocator(Q(controller_->StationInUse()->StationLocator));
    ClearSaveStatus();
    // The new TLE file, keeping the satellite where the file has it.
    auto job = std::make_shared<LoadJob>();
    job->TlePath = PathOf(tle);
    job->RunForecast = true;
    if (controller_->Current()) job->PreferredSatellite = Q(controller_->Current()->SatName);
    StartLoad(job);
}

void MainWindow::OnModelChosen(OrbitModel model)
{
    if (controller_->SetModel(model) && !controller_->IsBusy() && controller_->Current() && controller_->StationInUse())
        RunForecast();
}

// ---------------------------------------------------------------- saving

void MainWindow::SaveList(ListKind kind, const QString& folder)
{
    if (controller_->IsBusy() || !controller_->Shown() || !controller_->Current()) return;
    QLabel* status = kind == ListKind::Passes ? passesStatus_ : eclipsesStatus_;
    controller_->SaveList(
        kind == ListKind::Passes, folder, [this, status, folder](const ForecastController::ListSaved& saved) {
            controller_->SetBusy(false);
            // The window shows no folder, so a failure names the whole path.
            if (!saved.Error.isEmpty()) {
                status->clear();
                Report(MessageKind::Error, QStringLiteral("Save"),
                       QStringLiteral("%1 has not been written:\n%2").arg(FromPath(saved.Path), saved.Error));
                return;
            }
            // The designed place says the name; any other the whole path.
            status->setText((folder.isEmpty() ? FromPath(saved.FileName) : FromPath(saved.Path))
                            + QStringLiteral(" has been written"));
            status->setToolTip(FromPath(saved.Path));
            if (!saved.FormsNote.empty()) NoteFileForms(saved.FormsNote);
        });
}

void MainWindow::NoteFileForms(const std::string& note)
{
    // Once a session: the forms do not change while it lasts.
    if (fileFormsNoted_) return;
    fileFormsNoted_ = true;
    Report(MessageKind::Information, QStringLiteral("Files"), Q(note) + QStringLiteral("."));
}

void MainWindow::ClearSaveStatus()
{
    passesStatus_->clear();
    eclipsesStatus_->clear();
}

// ---------------------------------------------------------------- forecast

bool MainWindow::ReadyToCompute(const QString& what)
{
    const auto problem = controller_->Problem();
    if (problem) Report(problem->Kind, what, problem->Text);
    return !problem;
}

void MainWindow::RunForecast()
{
    if (controller_->IsBusy()) return;
    if (!ReadyToCompute(QStringLiteral("Forecast"))) {
        ForecastRefused();
        return;
    }
    const ParsedDate start = startDate_->Typed();
    if (!start) {
        Report(MessageKind::Error, QStringLiteral("Start date"),
               Q(start.Error) + QStringLiteral("\n\nCorrect the start date and press \"recalc\"."));
        startDate_->Select(start.WrongField);
        ForecastRefused();
        return;
    }
    // "26" is shown as the year it was taken for.
    startDate_->ShowYear(start.Date->Fields().Year);

    ClearResults();
    controller_->DropShown();
    statusBar()->clearMessage();
    SetProgress(0, ProgressMaximum);
    controller_->RunForecast(*start.Date, [this](ForecastController::ForecastJob& job) { ForecastFinished(job); });
}

void MainWindow::ForecastRefused()
{
    // Results of the satellite before stay only while they belong to the
    // current one; the name and the lists must never disagree.
    if (controller_->Shown() && !controller_->ShownIsCurrent()) {
        ClearResults();
        controller_->DropShown();
        illumination_->DrawHourGrid();
        UpdateSaveEnabled();
    }
    emit ForecastDone();
}

void MainWindow::ForecastFinished(const ForecastController::ForecastJob& job)
{
    if (job.Result && job.Result->End != RunEnd::Cancelled)
        ShowForecast(*controller_->Shown());
    else if (!job.Error.isEmpty())
        Report(MessageKind::Error, QStringLiteral("Forecast"), job.Error);
    // The hour scale after every run, not only after a new satellite.
    illumination_->DrawHourGrid();
    controller_->SetBusy(false);
    emit ForecastDone();
}

void MainWindow::ShowForecast(const ForecastResult& result)
{
    // An empty list says so instead of looking like a forecast that failed.
    const QString span = result.Completed() ? QStringLiteral("in these %1 days").arg(ForecastDays)
                                            : QStringLiteral("in the days computed");
    passesPage_->ShowLines(PassLines(result), QStringLiteral("No passes over the station %1.").arg(span));
    eclipsesPage_->ShowLines(EclipseLines(result, services_.Formats), QStringLiteral("No eclipses %1.").arg(span));

    const QString start = Q(FormatDatePattern(result.Start, services_.Formats));
    statusBar()->setToolTip(QString());
    if (result.Completed()) {
        sunAngleChart_->SetBars(result.DailySunAngle, Q(result.SatName), start);
        const QString done = QStringLiteral("Forecast for %1 from %2, computed with %3, attitude %4.")
                                 .arg(Q(result.SatName), start, QString::fromLatin1(ModelDescription(result.Model)),
                                      Q(AttitudeName(controller_->ShownRequest().Axis)));
        statusBar()->showMessage(done);
        // The whole of it, where a narrow window cuts the line.
        statusBar()->setToolTip(done);
    } else {
        // A run that stopped early keeps the previous series in the chart,
        // whose title names what the bars belong to; the reason is shown,
        // and the progress bar does not stay as if the run hung.
        const QString stopped =
            QStringLiteral("Stopped on day %1: %2 (%3, attitude %4).")
                .arg(result.StopDay)
                .arg(Q(StopMessage(result, services_.Formats)), QString::fromLatin1(ModelDescription(result.Model)),
                     Q(AttitudeName(controller_->ShownRequest().Axis)));
        statusBar()->showMessage(stopped);
        // The whole of it, where the status line cuts it at the window's edge.
        statusBar()->setToolTip(stopped);
    }
    SetProgress(0, ProgressMaximum);
    if (controller_->ShownDetails())
        passDetails_->Show(result, *controller_->ShownDetails(), controller_->ShownRequest());
    else
        passDetails_->Clear();
    illumination_->Show(result, controller_->ShownDetails() ? &*controller_->ShownDetails() : nullptr);
}

void MainWindow::ClearResults()
{
    illumination_->Clear();
    passList_->clear();
    eclipseList_->clear();
    passDetails_->Clear();
}

// ---------------------------------------------------------------- busy state

void MainWindow::ShowBusy(bool busy)
{
    if (busy && !busyShown_) focusBeforeJob_ = QApplication::focusWidget();
    busyShown_ = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{satelliteBox_, startDate_->RecalcButton()}) w->setEnabled(!busy);
    for (QAction* a : {openAction_, updateAction_, yearFileAction_, recalcAction_, stationAction_, classicModelAction_,
                       sgp4ModelAction_, attitudeMenu_->menuAction()})
        a->setEnabled(!busy);
    UpdateSaveEnabled();
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
        // Focus stays where the user had it before the job.
        if (focusBeforeJob_ && focusBeforeJob_->isEnabled() && focusBeforeJob_->window() == this)
            focusBeforeJob_->setFocus();
    }
    emit BusyChanged(busy);
}

void MainWindow::UpdateSaveEnabled()
{
    // Nothing to save while the lists hold no forecast: a save then would
    // replace a file of passes with its header alone.
    const bool can = !controller_->IsBusy() && controller_->Shown();
    for (QWidget* w : std::initializer_list<QWidget*>{savePassesButton_, saveEclipsesButton_}) w->setEnabled(can);
    for (QAction* a : {saveAction_, saveAsAction_, exportAction_}) a->setEnabled(can);
}

void MainWindow::SetProgress(int value, int maximum)
{
    progressBar_->setMaximum(maximum);
    progressBar_->setValue(value);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A forecast or year file still running is stopped; its results are not wanted.
    CancelElementUpdate();
    controller_->Stop();
    if (about_) about_->close();
    if (const QString size = SizeToRemember(); size != rememberedSize_) {
        controller_->Remember({{QString::fromLatin1(WindowSizeKey), size}});
        rememberedSize_ = size;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::Report(MessageKind kind, const QString& title, const QString& text)
{
    if (services_.ShowMessage) services_.ShowMessage(this, kind, title, text);
}

} // namespace tavik::shell
