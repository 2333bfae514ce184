// The main window: the start date and the satellite at the top, the strip
// chart, the passes, the eclipses and the sun-angle chart on four tabs, and
// the menus. The forecast and the year file run on a worker thread; while one
// runs, everything that would start another operation is disabled.
#pragma once

#include "astro/Locator.h"
#include "catalogue/Catalogue.h"
#include "forecast/ComputeState.h"
#include "forecast/Forecast.h"
#include "forecast/StripChart.h"
#include "shell/ShellServices.h"

#include <QMainWindow>
#include <QPointer>

#include <atomic>
#include <memory>
#include <optional>

class QAction;
class QBarSet;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
template <typename T> class QFutureWatcher;

namespace tavik::shell {

class AboutBox;
class PictureBox;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ShellServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the window and fills the start date, then reads the settings
    // and the catalogue on the worker; when they are read, makes entry 1
    // current and starts its forecast.
    void StartUp();

    bool IsBusy() const { return busy_; }
    // The forecast on screen; nothing before the first run and after the
    // year file has cleared it.
    const ForecastResult* ShownResult() const { return shown_ ? &*shown_ : nullptr; }
    const CurrentElementSet* Current() const { return current_ ? &*current_ : nullptr; }
    const std::optional<Station>& StationInUse() const { return station_; }
    // The settings file that was read, or empty.
    const QString& SettingsPath() const { return settingsPath_; }
    // What the strip chart's tooltip says about the point (strip pixels).
    QString MinuteTip(QPoint at) const;
    // The open about box, if any.
    AboutBox* About() const { return about_; }

    // Grabs each tab, and the about box, as PNG files into the folder.
    bool SaveScreenshots(const QString& folder);

signals:
    void BusyChanged(bool busy);
    // A forecast has ended and its results are on screen (also when it was
    // refused or failed: then nothing changed).
    void ForecastDone();
    void YearFileDone();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct LoadJob;
    struct ForecastJob;
    struct YearJob;

    void BuildControls();
    void BuildMenus();
    void BuildChart();

    // Start-up steps and the loading of a Kep file. Files are read on the
    // worker; what they gave is taken over on this thread.
    bool FillStartDate();
    void StartLoad(const std::shared_ptr<LoadJob>& job);
    static void ReadInputFiles(LoadJob& job);
    void LoadFinished();
    void ApplySettings(const LoadJob& job);
    bool ApplyCatalogue(LoadJob& job);
    void SelectElementSet(int index);

    // Handlers.
    void Combo1_Click(int listIndex);
    void Command3_Click();
    void Command1_Click();
    void Command2_Click();
    void MenuFileOpen_Click();
    void MnuWriteSunYear_Click();
    void MnuInfo_Click();

    // Checks what a run needs; reports what is missing and returns false.
    bool ReadyToCompute(const QString& what);
    void RunForecast();
    void ForecastRefused();
    void ForecastFinished();
    void YearFileFinished();
    void ShowForecast(const ForecastResult& result);
    void ClearResults();
    void DrawHourGrid();
    void ShowStrip();
    void SaveList(bool passes);
    void NoteFileForms(const std::string& note);
    void SetBusy(bool busy);
    void SetProgress(int value, int maximum);
    void StopWorker();
    void Report(MessageKind kind, const QString& title, const QString& text);

    ShellServices services_;

    // State.
    QString settingsPath_;
    QString settingsProblem_; // why there is no station, for the user
    std::optional<Station> station_;
    Attitude attitude_;
    std::unique_ptr<SatelliteCatalogue> catalogue_;
    QString tleFilePath_;
    std::optional<CurrentElementSet> current_;
    // The shadow flag one computation leaves for the next, in the order the
    // runs and year files happen; only one of them runs at a time.
    ShadowCarry carry_;
    std::optional<ForecastResult> shown_;
    bool shownIsCurrent_ = false; // shown_ was computed for current_
    bool fileFormsNoted_ = false; // the user has been told that files use other forms
    PixelBuffer strip_{StripWidth, StripHeight, StripStyle{}.Background};

    // Worker.
    bool busy_ = false;
    std::atomic<bool> stop_{false};
    std::shared_ptr<LoadJob> loadJob_;
    std::shared_ptr<ForecastJob> forecastJob_;
    std::shared_ptr<YearJob> yearJob_;
    QFutureWatcher<void>* watcher_ = nullptr;

    // Controls.
    QLabel* label6_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLabel* label7_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLabel* label8_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QPushButton* command3_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QTabWidget* ssTab1_ = nullptr;
    PictureBox* picture1_ = nullptr;
    PictureBox* picture2_ = nullptr;
    PictureBox* picture3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label1_[2] = {nullptr, nullptr};
    QLabel* label3_ = nullptr;
    QLabel* lineWarning_ = nullptr;
    QListWidget* list1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QLabel* label5_ = nullptr;
    QListWidget* list3_ = nullptr;
    QPushButton* command2_ = nullptr;
    QLabel* label2_ = nullptr;
    QWidget* msChart1_ = nullptr;
    QBarSet* sunAngles_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QMenu* menuFile_ = nullptr;
    QAction* menuFileOpen_ = nullptr;
    QAction* mnuWriteSunYear_ = nullptr;
    QAction* menuFileExit_ = nullptr;
    QAction* mnuInfo_ = nullptr;
    QPointer<AboutBox> about_;
};

} // namespace tavik::shell
