// The window's controls and menus: the designed layout, inside a scroll
// area so that a screen smaller than it can still reach every control.

#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "output/ListLines.h"
#include "platform/TextForms.h"
#include "shell/Geometry.h"
#include "shell/PassDetailsView.h"
#include "shell/PictureBox.h"
#include "shell/SunAngleChart.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

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

// The list's fixed-pitch font at the designed size, or smaller where the
// longest line would not fit its width: no line is cut or scrolled.
void FitListFont(QListWidget* list, const QString& longest)
{
    QFont f = FixedFont(9);
    const int room = list->width() - 2 * list->frameWidth() - list->verticalScrollBar()->sizeHint().width() - 8;
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(longest) > room)
        f.setPointSizeF(f.pointSizeF() - 0.25);
    list->setFont(f);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
    legendAction_ = Named(forecast->addAction(QStringLiteral("&Legend")), "LegendAction");

    infoAction_ = Named(menuBar()->addAction(QStringLiteral("&Info")), "InfoAction");

    connect(openAction_, &QAction::triggered, this, &MainWindow::OnOpenTleFile);
    connect(updateAction_, &QAction::triggered, this, &MainWindow::OnUpdateElementSets);
    connect(saveAction_, &QAction::triggered, this, &MainWindow::OnSaveCurrentList);
    connect(saveAsAction_, &QAction::triggered, this, &MainWindow::OnSaveAs);
    connect(exportAction_, &QAction::triggered, this, &MainWindow::OnExport);
    connect(yearFileAction_, &QAction::triggered, this, &MainWindow::OnWriteYearFile);
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    connect(recalcAction_, &QAction::triggered, this, &MainWindow::OnRecalc);
    connect(stationAction_, &QAction::triggered, this, [this] { EditStation(); });
    connect(classicModelAction_, &QAction::triggered, this, [this] { OnModelChosen(OrbitModel::Classic); });
    connect(sgp4ModelAction_, &QAction::triggered, this, [this] { OnModelChosen(OrbitModel::Sgp4); });
    connect(legendAction_, &QAction::triggered, this, &MainWindow::OnLegend);
    connect(infoAction_, &QAction::triggered, this, &MainWindow::OnInfo);
}

void MainWindow::BuildControls()
{
    // The layout keeps its designed size; a smaller screen gets scroll bars
    // around it instead of controls out of reach.
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(Twips(15030, 11910));
    scrollArea_ = Named(new QScrollArea(this), "ScrollArea");
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setWidget(client);
    scrollArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(scrollArea_);

    // The top row. Heights are not part of the layout; these suit the font.
    const int top = 120, rowHeight = 19 * TwipsPerPixel;
    startDayLabel_ =
        MakeLabel(client, "StartDayLabel", QStringLiteral("start at &day:"), Twips(240, top, 855, rowHeight));
    startDayEdit_ = Named(new QLineEdit(QStringLiteral("DD"), client), "StartDayEdit");
    startDayEdit_->setGeometry(Twips(1200, top, 375, rowHeight));
    startMonthLabel_ =
        MakeLabel(client, "StartMonthLabel", QStringLiteral("&month:"), Twips(1680, top, 495, rowHeight));
    startMonthEdit_ = Named(new QLineEdit(QStringLiteral("MM"), client), "StartMonthEdit");
    startMonthEdit_->setGeometry(Twips(2280, top, 375, rowHeight));
    startYearLabel_ = MakeLabel(client, "StartYearLabel", QStringLiteral("&year:"), Twips(2760, top, 495, rowHeight));
    startYearEdit_ = Named(new QLineEdit(QStringLiteral("YYYY"), client), "StartYearEdit");
    startYearEdit_->setGeometry(Twips(3240, top, 615, rowHeight));
    const std::pair<QLabel*, QLineEdit*> dateFields[] = {
        {startDayLabel_, startDayEdit_}, {startMonthLabel_, startMonthEdit_}, {startYearLabel_, startYearEdit_}};
    for (auto [label, edit] : dateFields) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setBuddy(edit);
        FitToWidth(label, edit->x() - label->x() - 1);
        edit->setTextMargins(0, 0, 0, 0);
        connect(edit, &QLineEdit::returnPressed, this, &MainWindow::OnRecalc);
        connect(edit, &QLineEdit::textEdited, this, &MainWindow::OnStartDateEdited);
    }
    recalcButton_ = Named(new QPushButton(QStringLiteral("&recalc"), client), "RecalcButton");
    recalcButton_->setGeometry(Twips(3960, top - 15, 1095, rowHeight + 2 * 15));
    connect(recalcButton_, &QPushButton::clicked, this, &MainWindow::OnRecalc);

    // The tab control.
    tabs_ = Named(new QTabWidget(client), "Tabs");
    tabs_->setGeometry(Twips(120, 480, 14805, 11055));
    auto* illumination = new TabPage(tabs_);
    auto* passes = new TabPage(tabs_);
    auto* eclipses = new TabPage(tabs_);
    auto* sunAngle = new TabPage(tabs_);
    auto* details = new TabPage(tabs_);
    tabs_->addTab(illumination, QStringLiteral("Illumination"));
    tabs_->addTab(passes, QStringLiteral("Passes"));
    tabs_->addTab(eclipses, QStringLiteral("Eclipses"));
    tabs_->addTab(sunAngle, QStringLiteral("Sun Angle"));
    tabs_->addTab(details, QStringLiteral("Pass details"));
    tabs_->setCurrentIndex(0);
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(nextTab, &QShortcut::activated, this,
            [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count()); });
    connect(previousTab, &QShortcut::activated, this,
            [this] { tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count()); });

    // Illumination: date column, strip chart, hour strip, and the way to
    // what their colours mean.
    dateColumn_ = illumination->Place(Named(new PictureBox, "DateColumn"), Twips(120, 480, 1215, 10215));
    stripChart_ = illumination->Place(Named(new PictureBox, "StripChart"), Twips(1320, 480, 13335, 10215));
    hourStrip_ = illumination->Place(Named(new PictureBox, "HourStrip"), Twips(1200, 10680, 13215, 255));
    stripChart_->SetBackground(QColor(strip_.Pixels[0].R, strip_.Pixels[0].G, strip_.Pixels[0].B));
    stripChart_->SetToolTipSource([this](QPoint at) { return MinuteTip(at); });
    stripChart_->SetClickHandler([this](QPoint at) { SelectPassAtStripPoint(at); });
    utcLabel_ =
        illumination->Place(MakeLabel(nullptr, "UtcLabel", QStringLiteral("UTC"), {}), Twips(480, 10680, 615, 255));
    utcLabel_->setFont(SansFont(9.75, true));
    FitToWidth(utcLabel_);
    legendButton_ = illumination->Place(Named(new QToolButton, "LegendButton"), Twips(120, 10650, 330, 300));
    legendButton_->setText(QStringLiteral("?"));
    legendButton_->setToolTip(QStringLiteral("Legend: what the colours of the chart mean"));
    connect(legendButton_, &QToolButton::clicked, this, &MainWindow::OnLegend);

    // Passes: the element lines, their age, the locator, the pass lines and
    // their saving.
    const QColor buttonFace = palette().color(QPalette::Button);
    auto makeList = [&](const char* name) {
        auto* list = Named(new QListWidget, name);
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        QPalette p = list->palette();
        p.setColor(QPalette::Base, buttonFace);
        list->setPalette(p);
        return list;
    };
    for (int i = 0; i < 2; ++i) {
        elementLines_[i] =
            passes->Place(MakeLabel(nullptr, i == 0 ? "ElementLine1" : "ElementLine2",
                                    i == 0 ? QStringLiteral("TLE Line1") : QStringLiteral("TLE Line2"), {}),
                          Twips(360, 660 + 240 * i, 7695, 255));
        elementLines_[i]->setFont(FixedFont(8.25));
        elementLines_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // How old the element set is at the start date: in the status bar, so
    // that every tab's forecast shows it.
    elementAge_ = MakeLabel(nullptr, "ElementAge", QString(), {});
    statusBar()->addPermanentWidget(elementAge_);
    // Doubts about the element lines shown above it (a check digit that does
    // not match), between the lines and the pass list.
    lineWarning_ = passes->Place(MakeLabel(nullptr, "LineWarning", QString(), {}), Twips(360, 1155, 13215, 255));
    lineWarning_->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0)"));
    locatorLabel_ = passes->Place(MakeLabel(nullptr, "LocatorLabel", QString(), {}), Twips(12120, 660, 1095, 255));
    locatorLabel_->setFont(SansFont(9.75, true));
    passList_ = passes->Place(makeList("PassList"), Twips(360, 1440, 13215, 9285));
    FitListFont(passList_, LongestPassLine());
    savePassesButton_ = passes->Place(Named(new QPushButton(QStringLiteral("&Save")), "SavePassesButton"),
                                      Twips(13680, 10320, 855, 375));
    savePassesButton_->setFont(SansFont(8.25, true));
    passesStatus_ = passes->Place(MakeLabel(nullptr, "PassesStatus", QString(), {}), Twips(360, 10680, 13215, 255));
    connect(savePassesButton_, &QPushButton::clicked, this, [this] { OnSave(ListKind::Passes); });

    // Eclipses.
    eclipseList_ = eclipses->Place(makeList("EclipseList"), Twips(360, 720, 13215, 9960));
    FitListFont(eclipseList_, LongestEclipseLine(services_.Formats));
    saveEclipsesButton_ = eclipses->Place(Named(new QPushButton(QStringLiteral("&Save")), "SaveEclipsesButton"),
                                          Twips(13680, 10320, 855, 375));
    saveEclipsesButton_->setFont(SansFont(8.25, true));
    eclipsesStatus_ =
        eclipses->Place(MakeLabel(nullptr, "EclipsesStatus", QString(), {}), Twips(360, 10680, 13215, 255));
    connect(saveEclipsesButton_, &QPushButton::clicked, this, [this] { OnSave(ListKind::Eclipses); });

    // Sun Angle.
    sunAngleChart_ = sunAngle->Place(new SunAngleChart(services_.Formats), Twips(240, 480, 14415, 10455));

    // Pass details: the table and the sky plot of the selected pass.
    passDetails_ = details->Place(Named(new PassDetailsView, "PassDetails"), Twips(240, 480, 14415, 10455));
    connect(passDetails_, &PassDetailsView::PassSelected, this, &MainWindow::OnPassSelected);

    progressBar_ = Named(new QProgressBar(client), "ProgressBar");
    progressBar_->setGeometry(Twips(120, 11640, 14775, 255));
    progressBar_->setRange(0, ProgressMaximum);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);

    // The satellite box last, so that it lies above the tab control's empty
    // right-hand part of the tab row, which its large font reaches into.
    // Typing searches the names anywhere in them.
    satelliteBox_ = Named(new QComboBox(client), "SatelliteBox");
    satelliteBox_->setFont(SansFont(18, true));
    satelliteBox_->setEditable(true);
    satelliteBox_->setInsertPolicy(QComboBox::NoInsert);
    satelliteBox_->setMaxVisibleItems(20);
    satelliteBox_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    satelliteBox_->completer()->setFilterMode(Qt::MatchContains);
    satelliteBox_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    QPalette cp = satelliteBox_->palette();
    for (auto role : {QPalette::Button, QPalette::Base, QPalette::Window}) cp.setColor(role, LightGrey);
    for (auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText}) cp.setColor(role, DarkTeal);
    satelliteBox_->setPalette(cp);
    satelliteBox_->setGeometry(
        QRect(Twips(11400, 120, 3495, 0).topLeft(), QSize(3495 / TwipsPerPixel, satelliteBox_->sizeHint().height())));
    // Only a user's choice counts, not the filling of the box.
    connect(satelliteBox_, &QComboBox::activated, this, &MainWindow::OnSatelliteChosen);
    connect(satelliteBox_->completer(), qOverload<const QString&>(&QCompleter::activated), this,
            &MainWindow::OnSatelliteTyped);
    // Enter takes the best match of what was typed ("ISS", "so-50"), not only
    // a name typed whole.
    connect(satelliteBox_->lineEdit(), &QLineEdit::returnPressed, this, &MainWindow::OnSatelliteEntered);
    connect(satelliteBox_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        // A name typed but not chosen goes back to the satellite in use.
        if (current_ && satelliteBox_->findText(satelliteBox_->currentText(), Qt::MatchExactly) < 0)
            satelliteBox_->setEditText(Q(current_->SatName));
    });
    connect(satelliteBox_, &QComboBox::currentTextChanged, this, &MainWindow::FitSatelliteName);

    setTabOrder(startDayEdit_, startMonthEdit_);
    setTabOrder(startMonthEdit_, startYearEdit_);
    setTabOrder(startYearEdit_, recalcButton_);
    setTabOrder(recalcButton_, satelliteBox_);
    setTabOrder(satelliteBox_, tabs_);
    UpdateSaveEnabled();
}

void MainWindow::FitToScreen()
{
    // The designed size where the screen holds it, else what the screen
    // has; the scroll bars reach the rest. Never larger than the layout.
    const QSize layoutSize = scrollArea_->widget()->size();
    const int chrome = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    const QSize designed(layoutSize.width(), layoutSize.height() + chrome);
    setMaximumSize(designed);
    setMinimumSize(QSize(320, 240));
    QSize size = designed;
    if (const QScreen* s = screen()) {
        // Room for the window frame and title bar, which the desktop adds.
        const QSize room = s->availableGeometry().size() - QSize(16, 48);
        if (room.width() < size.width() || room.height() < size.height())
            size = size.boundedTo(room).expandedTo(minimumSize());
    }
    resize(size);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Hidden tab pages get their size only when first shown; place their
    // controls now so that every tab is laid out from the start.
    for (int i = 0; i < tabs_->count(); ++i) static_cast<TabPage*>(tabs_->widget(i))->Arrange();
}

} // namespace tavik::shell
