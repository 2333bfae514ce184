// The main window: the start date and the satellite at the top, the strip
// chart, the passes, the eclipses and the sun-angle chart on four tabs, and
// the menus. Reading files, the forecast, the year file and saving run on a
// worker thread; while one runs, everything that would start another
// operation is disabled.
#pragma once

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/ComputeState.h"
#include "forecast/Forecast.h"
#include "forecast/PassDetails.h"
#include "forecast/StripChart.h"
#include "forecast/Upcoming.h"
#include "shell/ForecastController.h"
#include "shell/SettingsStore.h"
#include "shell/ShellServices.h"

#include <QMainWindow>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QImage;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QProgressDialog;
class QPushButton;
class QTabWidget;
template <typename T>
class QFutureWatcher;

namespace tavik::net {
class Download;
struct DownloadResult;
} // namespace tavik::net

namespace tavik::shell {

class AboutBox;
class AttitudeMenu;
class IlluminationView;
class Legend;
class PassDetailsView;
class PictureBox;
class PassesPage;
class ListPage;
class ElementAgeLabel;
class SatelliteBox;
class StartDateRow;
class StationDialog;
class SunAngleChart;
class UpcomingView;
class YearView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ShellServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A TLE file to open at start-up instead of the one the settings name.
    void SetStartTleFile(const QString& path) { startTleFile_ = path; }
    // Shows the window and fills the start date, then reads the settings
    // and the catalogue on the worker; when they are read, makes the last
    // satellite chosen (or entry 1) current and starts its forecast. Without
    // usable settings the Station dialog opens.
    void StartUp();

    // What the window computes and keeps.
    ForecastController* Controller() const { return controller_; }
    bool IsBusy() const { return controller_->IsBusy(); }
    // The forecast on screen; nothing before the first run and after the
    // year file has cleared it.
    const ForecastResult* ShownResult() const { return controller_->Shown(); }
    const CurrentElementSet* Current() const { return controller_->Current(); }
    const std::optional<Station>& StationInUse() const { return controller_->StationInUse(); }
    // The settings file in use, or empty.
    const QString& SettingsPath() const { return controller_->SettingsPath(); }
    // What the strip chart's tooltip says about the point (strip pixels).
    QString MinuteTip(QPoint at) const;
    AboutBox* About() const;
    PassDetailsView* PassDetails() const { return passDetails_; }
    UpcomingView* Upcoming() const { return upcoming_; }
    YearView* Year() const { return yearView_; }
    const PlanningDetails* ShownDetails() const { return controller_->ShownDetails(); }
    // The pass whose minutes the strip chart highlights, or -1.
    int HighlightedPass() const;
    // Selects in the pass table the pass at a point of the strip chart
    // (strip pixels), as a click there does; false when no pass is there.
    bool SelectPassAtStripPoint(QPoint at);
    StationDialog* StationEditor() const;
    AttitudeMenu* Attitudes() const { return attitudeMenu_; }

    // Opens the Station dialog; why says what made it open, if anything.
    void EditStation(const QString& why = {});
    // Grabs each tab, the about box, the legend, the attitude dialog and the
    // Station dialog as PNG files into the folder.
    bool SaveScreenshots(const QString& folder);

signals:
    void BusyChanged(bool busy);
    // "Update element sets…" has ended, replaced the file or not.
    void UpdateDone();
    // A forecast has ended and its results are on screen (also when it was
    // refused or failed: then nothing changed).
    void ForecastDone();
    void YearFileDone();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    using LoadJob = ForecastController::LoadJob;
    using YearJob = ForecastController::YearJob;
    enum class ListKind { Passes, Eclipses };

    void BuildControls();
    void BuildMenus();
    QSize DesignedSize() const;
    // Sizes the window to fit the screen it opens on: the remembered size
    // ("1200x800", maybe " maximized") or the designed one.
    void FitToScreen(const QString& remembered = {});
    QString SizeToRemember() const;

    // Start-up and the loading of a TLE file. Files are read on the worker;
    // what they gave is taken over on this thread.
    bool FillStartDate();
    void StartLoad(const std::shared_ptr<LoadJob>& job);
    void LoadFinished(const std::shared_ptr<LoadJob>& job);
    void ApplySettings(const LoadJob& job);
    bool ApplyCatalogue(LoadJob& job);
    void SelectElementSet(int index);
    void ShowElementAge();

    // Handlers.
    void OnSatelliteChosen(int listIndex);
    void OnRecalc();
    void OnSave(ListKind kind);
    void OnSaveCurrentList();
    void OnSaveAs();
    void OnOpenTleFile();
    // "Update element sets…": the download runs on this thread's event loop,
    // the check and the replacement on the worker; then the file is loaded
    // again. Defined in ElementUpdate.cpp.
    void OnUpdateElementSets();
    void ElementSetsDownloaded(const net::DownloadResult& result, const QString& url, const QString& tleFile,
                               UpdateMode mode);
    void CancelElementUpdate();
    // Loads the TLE file in use again, keeping the satellite chosen.
    void ReloadTleFile();
    void OnWriteYearFile();
    // The pass details' side of the window, in PassPlanning.cpp.
    void OnExport();
    void OnPassSelected(int index);
    // For the screenshots: a pass that shows both colours of the sky plot.
    void SelectTypicalPass();
    // A pass chosen on the Upcoming tab, in UpcomingPlanning.cpp: its
    // satellite chosen and the pass selected on Pass details, after a run
    // from its date where the run on screen does not hold it.
    void OnUpcomingChosen(int entry, const UpcomingPass& pass);
    void OnInfo();
    void OnLegend();
    void OnStationAccepted();
    void OnModelChosen(OrbitModel model);
    void OnStartDateEdited();

    // Checks what a run needs; reports what is missing and returns false.
    bool ReadyToCompute(const QString& what);
    void RunForecast();
    void ForecastRefused();
    void ForecastFinished(const ForecastController::ForecastJob& job);
    void YearFileFinished(const std::shared_ptr<YearJob>& job);
    void ShowForecast(const ForecastResult& result);
    void ClearResults();
    void ClearSaveStatus();
    void SaveList(ListKind kind, const QString& folder);
    void NoteFileForms(const std::string& note);
    // The controls while a job runs: what would start another is disabled.
    void ShowBusy(bool busy);
    void UpdateSaveEnabled();
    void SetProgress(int value, int maximum);
    void Report(MessageKind kind, const QString& title, const QString& text);

    ShellServices services_;

    ForecastController* controller_ = nullptr;
    QString startTleFile_;
    QString rememberedSize_;      // the window's size as the settings hold it
    bool fileFormsNoted_ = false; // the user has been told that files use other forms
    bool busyShown_ = false;
    QPointer<QWidget> focusBeforeJob_;

    // Controls.
    StartDateRow* startDate_ = nullptr;
    SatelliteBox* satelliteBox_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    IlluminationView* illumination_ = nullptr;
    PassesPage* passesPage_ = nullptr;
    ListPage* eclipsesPage_ = nullptr;
    ElementAgeLabel* elementAge_ = nullptr;
    QListWidget* passList_ = nullptr;
    QPushButton* savePassesButton_ = nullptr;
    QLabel* passesStatus_ = nullptr;
    QListWidget* eclipseList_ = nullptr;
    QPushButton* saveEclipsesButton_ = nullptr;
    QLabel* eclipsesStatus_ = nullptr;
    SunAngleChart* sunAngleChart_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* yearFileAction_ = nullptr;
    QAction* yearReportAction_ = nullptr;
    YearView* yearView_ = nullptr;
    QAction* exportAction_ = nullptr;
    PassDetailsView* passDetails_ = nullptr;
    UpcomingView* upcoming_ = nullptr;
    QAction* updateAction_ = nullptr;
    QPointer<net::Download> download_;
    QPointer<QProgressDialog> updateProgress_;
    QAction* exitAction_ = nullptr;
    QAction* recalcAction_ = nullptr;
    QAction* stationAction_ = nullptr;
    QAction* classicModelAction_ = nullptr;
    QAction* sgp4ModelAction_ = nullptr;
    AttitudeMenu* attitudeMenu_ = nullptr;
    QAction* legendAction_ = nullptr;
    QAction* infoAction_ = nullptr;
    QPointer<AboutBox> about_;
    QPointer<Legend> legend_;
    QPointer<StationDialog> stationDialog_;
};

} // namespace tavik::shell
