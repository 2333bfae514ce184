// The window's controls and menus: the designed arrangement, laid out to
// grow and shrink with the window.

#include "shell/ForecastController.h"
#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "output/ListLines.h"
#include "platform/TextForms.h"
#include "shell/AttitudeMenu.h"
#include "shell/Controls.h"
#include "shell/ElementAge.h"
#include "shell/IlluminationView.h"
#include "shell/Legend.h"
#include "shell/ListPage.h"
#include "shell/PassDetailsView.h"
#include "shell/PictureBox.h"
#include "shell/SatelliteBox.h"
#include "shell/SkyNowPanel.h"
#include "shell/StartDateRow.h"
#include "shell/SunAngleChart.h"
#include "shell/UpcomingView.h"
#include "shell/YearView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavik::shell {

namespace {

const QColor LightGrey(224, 224, 224);
const QColor DarkTeal(0, 64, 64);

// The longest line each list's format can make: every field at its widest,
// a sun angle of -90 and an eclipse as long as the run.
QString LongestPassLine()
{
    return QStringLiteral("12/31/2200  23:59 (Az 359°)  illum: 100%   sun angle: -90° -> "
                          "23:59 (Az 359°)  illum: 100%   sun angle: -90°  maxEl: 90°");
}
QString LongestEclipseLine(const RegionalFormats& formats)
{
    const DateTime widest = *DateTime::FromCalendar(2200, 12, 28, 23, 59, 58);
    const QString when = Q(FormatGeneralDateTime(widest, formats));
    return when + QStringLiteral("   ->   ") + when + QStringLiteral("    duration: ")
           + QString::number(ForecastDays * MinutesPerDay) + QStringLiteral(" min");
}

} // namespace

void MainWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    openAction_ = Named(file->addAction(QStringLiteral("&Open Kep File")), "OpenAction");
    openAction_->setShortcut(QKeySequence::Open);
    updateAction_ = Named(file->addAction(QStringLiteral("&Update element sets…")), "UpdateAction");
    saveAction_ = Named(file->addAction(QStringLiteral("&Save List")), "SaveAction");
    saveAction_->setShortcut(QKeySequence::Save);
    saveAsAction_ = Named(file->addAction(QStringLiteral("Save List &As…")), "SaveAsAction");
    saveAsAction_->setShortcut(QKeySequence::SaveAs);
    exportAction_ = Named(file->addAction(QStringLiteral("&Export…")), "ExportAction");
    exportAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    yearFileAction_ = Named(file->addAction(QStringLiteral("&Write Sun Angle File for one year")), "YearFileAction");
    yearReportAction_ = Named(file->addAction(QStringLiteral("Export &year report…")), "YearReportAction");
    file->addSeparator();
    exitAction_ = Named(file->addAction(QStringLiteral("E&xit")), "ExitAction");
    exitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* forecast = menuBar()->addMenu(QStringLiteral("F&orecast"));
    recalcAction_ = Named(forecast->addAction(QStringLiteral("&Recalc")), "RecalcAction");
    recalcAction_->setShortcut(QKeySequence(Qt::Key_F5));
    stationAction_ = Named(forecast->addAction(QStringLiteral("&Station…")), "StationAction");
    QMenu* model = forecast->addMenu(QStringLiteral("&Model"));
    auto* models = new QActionGroup(this);
    classicModelAction_ =
        Named(model->addAction(QStringLiteral("&Classic (Kepler ellipse, cylindrical shadow)")), "ClassicModelAction");
    sgp4ModelAction_ = Named(model->addAction(QStringLiteral("&SGP4/SDP4 (conical shadow)")), "Sgp4ModelAction");
    for (QAction* a : {classicModelAction_, sgp4ModelAction_}) {
        a->setCheckable(true);
        models->addAction(a);
    }
    classicModelAction_->setChecked(true);
    attitudeMenu_ = new AttitudeMenu(this);
    forecast->addMenu(attitudeMenu_);
    legendAction_ = Named(forecast->addAction(QStringLiteral("&Legend")), "LegendAction");

    infoAction_ = Named(menuBar()->addAction(QStringLiteral("&Info")), "InfoAction");

    connect(openAction_, &QAction::triggered, this, &MainWindow::OnOpenTleFile);
    connect(updateAction_, &QAction::triggered, this, &MainWindow::OnUpdateElementSets);
    connect(saveAction_, &QAction::triggered, this, &MainWindow::OnSaveCurrentList);
    connect(saveAsAction_, &QAction::triggered, this, &MainWindow::OnSaveAs);
    connect(exportAction_, &QAction::triggered, this, &MainWindow::OnExport);
    connect(yearFileAction_, &QAction::triggered, this, &MainWindow::OnWriteYearFile);
    connect(yearReportAction_, &QAction::triggered, this, [this] { yearView_->ExportReport(); });
    connect(controller_, &ForecastController::BusyChanged, yearReportAction_,
            [this](bool busy) { yearReportAction_->setEnabled(!busy); });
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(recalcAction_, &QAction::triggered, this, &MainWindow::OnRecalc);
    connect(stationAction_, &QAction::triggered, this, [this] { EditStation(); });
    connect(classicModelAction_, &QAction::triggered, this, [this] { OnModelChosen(OrbitModel::Classic); });
    connect(sgp4ModelAction_, &QAction::triggered, this, [this] { OnModelChosen(OrbitModel::Sgp4); });
    // A new attitude reruns the forecast, as a new model does.
    connect(attitudeMenu_, &AttitudeMenu::Chosen, this, [this](const Attitude& attitude) {
        if (controller_->SetAttitude(attitude) && !controller_->IsBusy() && controller_->Current()
            && controller_->StationInUse())
            RunForecast();
        attitudeMenu_->Show(controller_->AttitudeInUse());
        if (legend_) legend_->ShowAttitude(controller_->AttitudeInUse());
    });
    connect(legendAction_, &QAction::triggered, this, &MainWindow::OnLegend);
    connect(infoAction_, &QAction::triggered, this, &MainWindow::OnInfo);
}

void MainWindow::BuildControls()
{
    // The designed arrangement, laid out by Qt: the start date and the
    // satellite in a row that never scrolls away, the tabs taking the room
    // that is left, the progress bar beneath them.
    auto* client = Named(new QWidget, "ClientArea");
    setCentralWidget(client);

    startDate_ = Named(new StartDateRow, "StartDateRow");
    connect(startDate_, &StartDateRow::RecalcRequested, this, &MainWindow::OnRecalc);
    connect(startDate_, &StartDateRow::Edited, this, &MainWindow::OnStartDateEdited);
    auto* row = new QHBoxLayout;
    row->addWidget(startDate_);
    row->addStretch(1);

    // The satellite, in its large font at the row's right. Typing searches
    // the names anywhere in them.
    satelliteBox_ = Named(new SatelliteBox, "SatelliteBox");
    row->addWidget(satelliteBox_);
    connect(satelliteBox_, &SatelliteBox::Chosen, this, &MainWindow::OnSatelliteChosen);

    // The tab control.
    tabs_ = Named(new QTabWidget, "Tabs");
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(nextTab, &QShortcut::activated, this,
            [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count()); });
    connect(previousTab, &QShortcut::activated, this,
            [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count()); });

    // Illumination: the day rows under their hour scale, and the way to what
    // their colours mean.
    illumination_ = Named(new IlluminationView(services_.Formats), "IlluminationView");
    connect(illumination_, &IlluminationView::MinuteClicked, this, [this](std::int64_t minute) {
        if (controller_->Shown() && controller_->ShownDetails()) passDetails_->SelectPassAt(minute);
    });
    connect(illumination_, &IlluminationView::LegendRequested, this, &MainWindow::OnLegend);

    // Passes: the element lines, their age, the locator, the pass lines and
    // their saving.
    passesPage_ = new PassesPage(LongestPassLine());
    auto* passes = passesPage_;
    passList_ = passes->List();
    savePassesButton_ = passes->SaveButton();
    passesStatus_ = passes->Status();
    connect(passes, &ListPage::SaveClicked, this, [this] { OnSave(ListKind::Passes); });
    // How old the element set is at the start date: in the status bar, so
    // that every tab's forecast shows it.
    elementAge_ = Named(new ElementAgeLabel, "ElementAge");
    statusBar()->addPermanentWidget(elementAge_);

    // Eclipses.
    auto* eclipses = eclipsesPage_ =
        new ListPage(LongestEclipseLine(services_.Formats), "EclipseList", "SaveEclipsesButton", "EclipsesStatus");
    eclipseList_ = eclipses->List();
    saveEclipsesButton_ = eclipses->SaveButton();
    eclipsesStatus_ = eclipses->Status();
    connect(eclipses, &ListPage::SaveClicked, this, [this] { OnSave(ListKind::Eclipses); });

    // Sun Angle, and the Pass details: the table and the sky plot of the
    // selected pass.
    sunAngleChart_ = new SunAngleChart(services_.Formats);
    passDetails_ = Named(new PassDetailsView, "PassDetails");
    connect(passDetails_, &PassDetailsView::PassSelected, this, &MainWindow::OnPassSelected);
    connect(passDetails_, &PassDetailsView::FrequenciesChanged, controller_, &ForecastController::SetFrequencies);

    tabs_->addTab(illumination_, QStringLiteral("Illumination"));
    tabs_->addTab(passes, QStringLiteral("Passes"));
    tabs_->addTab(eclipses, QStringLiteral("Eclipses"));
    tabs_->addTab(sunAngleChart_, QStringLiteral("Sun Angle"));
    tabs_->addTab(passDetails_, QStringLiteral("Pass details"));
    // Upcoming: every satellite's passes over the coming hours; the sky now
    // sits on Pass details, beside the sky plot it marks.
    upcoming_ = Named(new UpcomingView(controller_, services_.Now), "Upcoming");
    upcoming_->SetStartDate([this] { return startDate_->Typed().Date; });
    connect(upcoming_, &UpcomingView::PassChosen, this, &MainWindow::OnUpcomingChosen);
    tabs_->addTab(upcoming_, QStringLiteral("Upcoming"));
    passDetails_->SkyNow()->Follow(controller_);
    if (services_.Now) passDetails_->SkyNow()->SetClock(services_.Now);
    // Year: the year of light of the satellite chosen from the start date.
    yearView_ = new YearView(controller_, services_, [this]() -> std::optional<DateTime> {
        const ParsedDate start = startDate_->Typed();
        return start ? std::optional<DateTime>(*start.Date) : std::nullopt;
    });
    tabs_->addTab(yearView_, QStringLiteral("Year"));
    connect(this, &MainWindow::ForecastDone, yearView_, &YearView::Refresh);
    tabs_->setCurrentIndex(0);

    progressBar_ = Named(new QProgressBar, "ProgressBar");
    progressBar_->setRange(0, ProgressMaximum);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setFixedHeight(17);

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->setSpacing(4);
    layout->addLayout(row);
    layout->addWidget(tabs_, 1);
    layout->addWidget(progressBar_);

    setTabOrder(startDate_->RecalcButton(), satelliteBox_);
    setTabOrder(satelliteBox_, tabs_);
    UpdateSaveEnabled();
}

QSize MainWindow::DesignedSize() const
{
    // The designed form's size: 1002 by 794 pixels of controls, with the
    // menu and status bars.
    return {1002, 794 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height()};
}

void MainWindow::FitToScreen(const QString& remembered)
{
    // The size the user left it at, or the designed size, in either case no
    // larger than the screen it opens on.
    QSize size = DesignedSize();
    const QStringList parts = remembered.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!parts.isEmpty()) {
        const QStringList wh = parts.front().split(QLatin1Char('x'));
        bool w = false, h = false;
        if (wh.size() == 2) {
            const QSize asked(wh[0].toInt(&w), wh[1].toInt(&h));
            if (w && h && asked.width() > 0 && asked.height() > 0) size = asked;
        }
    }
    if (const QScreen* s = screen()) {
        // Room for the window frame and title bar, which the desktop adds.
        const QSize room = s->availableGeometry().size() - QSize(16, 48);
        size = size.boundedTo(room);
    }
    resize(size.expandedTo(minimumSizeHint()));
    if (parts.size() > 1 && parts[1] == QLatin1String("maximized")) setWindowState(windowState() | Qt::WindowMaximized);
}

QString MainWindow::SizeToRemember() const
{
    const QSize size = isMaximized() ? normalGeometry().size() : this->size();
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height())
           + (isMaximized() ? QStringLiteral(" maximized") : QString());
}

} // namespace tavik::shell
