#include "shell/MainWindow.h"

#include "catalogue/Settings.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "output/YearFile.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/SettingsLocation.h"
#include "platform/TextForms.h"
#include "shell/AboutBox.h"
#include "shell/Geometry.h"
#include "shell/PictureBox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tavik::shell {

namespace {

const QColor LightGrey(224, 224, 224);
const QColor DarkTeal(0, 64, 64);

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
// Paths go to the engine in the file system's encoding.
std::string PathOf(const QString& s) { return QFile::encodeName(s).toStdString(); }
QString FromPath(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

// A tab page whose controls are placed relative to the whole tab control,
// tab row included, whatever height the style gives that row.
class TabPage : public QWidget {
public:
    explicit TabPage(QTabWidget* tabs) : tabs_(tabs) {}

    template <typename W> W* Place(W* widget, QRect inTabControl)
    {
        widget->setParent(this);
        placed_.push_back({widget, inTabControl});
        Arrange();
        return widget;
    }

    void Arrange()
    {
        const QPoint offset = tabs_->isAncestorOf(this) ? mapTo(tabs_, QPoint(0, 0)) : QPoint();
        for (auto& [widget, rect] : placed_) widget->setGeometry(rect.translated(-offset));
    }

protected:
    void resizeEvent(QResizeEvent* e) override { Arrange(); QWidget::resizeEvent(e); }
    void moveEvent(QMoveEvent* e) override { Arrange(); QWidget::moveEvent(e); }
    void showEvent(QShowEvent* e) override { Arrange(); QWidget::showEvent(e); }

private:
    QTabWidget* tabs_;
    std::vector<std::pair<QWidget*, QRect>> placed_;
};

template <typename W> W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect rect)
{
    auto* l = Named(new QLabel(text, parent), name);
    l->setGeometry(rect);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QImage ImageOf(const PixelBuffer& buffer)
{
    static_assert(sizeof(Rgb) == 3, "pixels are packed RGB");
    QImage image(buffer.Width, buffer.Height, QImage::Format_RGB888);
    for (int y = 0; y < buffer.Height; ++y)
        std::memcpy(image.scanLine(y), &buffer.Pixels[static_cast<std::size_t>(y) * buffer.Width],
                    static_cast<std::size_t>(buffer.Width) * 3);
    return image;
}

QString WithDecimalSeparator(QString number, const RegionalFormats& formats)
{
    return number.replace(QLatin1Char('.'), Q(formats.DecimalSeparator));
}

std::vector<std::string> ItemsOf(const QListWidget* list)
{
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) items.push_back(S(list->item(i)->text()));
    return items;
}

} // namespace

struct MainWindow::ForecastJob {
    ForecastRequest Request;
    ShadowCarry Carry;
    std::optional<ForecastResult> Result;
    QString Error;
};

// Reading the input files: at start-up the settings file and the TLE file it
// names, after "Open Kep File" the chosen file.
struct MainWindow::LoadJob {
    bool StartUp = false;
    bool RunForecast = false; // after a load, for entry 1
    std::string ProgramFolder;
    std::string TlePath;
    std::unique_ptr<SatelliteCatalogue> Catalogue; // a copy of the one in use, loaded into
    // What the start-up found.
    std::string SettingsPath; // empty: there is none
    std::vector<std::string> SettingsCandidates;
    std::optional<Station> Site;
    std::string SettingsError;
    // What the load gave.
    std::optional<LoadResult> Loaded;
    std::string LoadError;
};

struct MainWindow::YearJob {
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

MainWindow::MainWindow(ShellServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), catalogue_(std::make_unique<SatelliteCatalogue>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("60 days long-range forecast for illumination (QQ0XX)"));
    // Fixed layout: no maximise button, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(SansFont(8.25));

    watcher_ = new QFutureWatcher<void>(this);
    BuildMenus();
    BuildControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow()
{
    StopWorker();
    delete about_.data();
}

void MainWindow::BuildMenus()
{
    menuFile_ = Named(menuBar()->addMenu(QStringLiteral("File")), "MenuFile");
    menuFile_->menuAction()->setObjectName(QStringLiteral("MenuFileAction"));
    menuFileOpen_ = Named(menuFile_->addAction(QStringLiteral("Open Kep File")), "MenuFileOpen");
    mnuWriteSunYear_ = Named(menuFile_->addAction(QStringLiteral("Write Sun Angle File for one year")), "MnuWriteSunYear");
    menuFileExit_ = Named(menuFile_->addAction(QStringLiteral("Exit")), "MenuFileExit");
    mnuInfo_ = Named(menuBar()->addAction(QStringLiteral("Info")), "MnuInfo");

    connect(menuFileOpen_, &QAction::triggered, this, &MainWindow::MenuFileOpen_Click);
    connect(mnuWriteSunYear_, &QAction::triggered, this, &MainWindow::MnuWriteSunYear_Click);
    connect(menuFileExit_, &QAction::triggered, this, &QWidget::close);
    connect(mnuInfo_, &QAction::triggered, this, &MainWindow::MnuInfo_Click);
}

void MainWindow::BuildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(Twips(15030, 11910));
    setCentralWidget(client);

    // The top row. Heights are not part of the layout; these suit the font.
    const int top = 120, rowHeight = 19 * TwipsPerPixel;
    label6_ = MakeLabel(client, "Label6", QStringLiteral("start at day:"), Twips(240, top, 855, rowHeight));
    text2_ = Named(new QLineEdit(QStringLiteral("DD"), client), "Text2");
    text2_->setGeometry(Twips(1200, top, 375, rowHeight));
    label7_ = MakeLabel(client, "Label7", QStringLiteral("month:"), Twips(1680, top, 495, rowHeight));
    text3_ = Named(new QLineEdit(QStringLiteral("MM"), client), "Text3");
    text3_->setGeometry(Twips(2280, top, 375, rowHeight));
    label8_ = MakeLabel(client, "Label8", QStringLiteral("year:"), Twips(2760, top, 495, rowHeight));
    text4_ = Named(new QLineEdit(QStringLiteral("YYYY"), client), "Text4");
    text4_->setGeometry(Twips(3240, top, 615, rowHeight));
    for (QLabel* l : {label6_, label7_, label8_}) l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FitToWidth(label6_, text2_->x() - label6_->x() - 1);
    FitToWidth(label7_, text3_->x() - label7_->x() - 1);
    FitToWidth(label8_, text4_->x() - label8_->x() - 1);
    for (QLineEdit* t : {text2_, text3_, text4_}) t->setTextMargins(0, 0, 0, 0);
    command3_ = Named(new QPushButton(QStringLiteral("recalc"), client), "Command3");
    command3_->setGeometry(Twips(3960, top - 15, 1095, rowHeight + 2 * 15));
    connect(command3_, &QPushButton::clicked, this, &MainWindow::Command3_Click);

    // The tab control.
    ssTab1_ = Named(new QTabWidget(client), "SSTab1");
    ssTab1_->setGeometry(Twips(120, 480, 14805, 11055));
    auto* illumination = new TabPage(ssTab1_);
    auto* passes = new TabPage(ssTab1_);
    auto* eclipses = new TabPage(ssTab1_);
    auto* sunAngle = new TabPage(ssTab1_);
    ssTab1_->addTab(illumination, QStringLiteral("Illumination"));
    ssTab1_->addTab(passes, QStringLiteral("Passes"));
    ssTab1_->addTab(eclipses, QStringLiteral("Eclipses"));
    ssTab1_->addTab(sunAngle, QStringLiteral("Sun Angle"));
    ssTab1_->setCurrentIndex(0);

    // Illumination: date column, strip chart, hour strip.
    picture2_ = illumination->Place(Named(new PictureBox, "Picture2"), Twips(120, 480, 1215, 10215));
    picture1_ = illumination->Place(Named(new PictureBox, "Picture1"), Twips(1320, 480, 13335, 10215));
    picture3_ = illumination->Place(Named(new PictureBox, "Picture3"), Twips(1200, 10680, 13215, 255));
    picture1_->SetBackground(QColor(strip_.Pixels[0].R, strip_.Pixels[0].G, strip_.Pixels[0].B));
    picture1_->SetToolTipSource([this](QPoint at) { return MinuteTip(at); });
    label4_ = illumination->Place(MakeLabel(nullptr, "Label4", QStringLiteral("UTC"), {}), Twips(480, 10680, 615, 255));
    label4_->setFont(SansFont(9.75, true));
    FitToWidth(label4_);

    // Passes: the element lines, the locator, the pass lines and their saving.
    const QColor buttonFace = palette().color(QPalette::Button);
    auto makeList = [&](const char* name) {
        auto* list = Named(new QListWidget, name);
        list->setFont(FixedFont(9));
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        QPalette p = list->palette();
        p.setColor(QPalette::Base, buttonFace);
        list->setPalette(p);
        return list;
    };
    for (int i = 0; i < 2; ++i) {
        label1_[i] = passes->Place(MakeLabel(nullptr, i == 0 ? "Label1_0" : "Label1_1",
                                             i == 0 ? QStringLiteral("TLE Line1") : QStringLiteral("TLE Line2"), {}),
                                   Twips(360, 660 + 240 * i, 7695, 255));
        label1_[i]->setProperty("index", i);
        label1_[i]->setFont(FixedFont(8.25));
        label1_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // Doubts about the element lines shown above it (a check digit that does
    // not match), between the lines and the pass list.
    lineWarning_ = passes->Place(MakeLabel(nullptr, "LineWarning", QString(), {}), Twips(360, 1155, 13215, 255));
    lineWarning_->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0)"));
    label3_ = passes->Place(MakeLabel(nullptr, "Label3", QString(), {}), Twips(12120, 660, 1095, 255));
    label3_->setFont(SansFont(9.75, true));
    list1_ = passes->Place(makeList("List1"), Twips(360, 1440, 13215, 9285));
    command1_ = passes->Place(Named(new QPushButton(QStringLiteral("Save")), "Command1"), Twips(13680, 10320, 855, 375));
    command1_->setFont(SansFont(8.25, true));
    label5_ = passes->Place(MakeLabel(nullptr, "Label5", QString(), {}), Twips(360, 10680, 4575, 255));
    connect(command1_, &QPushButton::clicked, this, &MainWindow::Command1_Click);

    // Eclipses.
    list3_ = eclipses->Place(makeList("List3"), Twips(360, 720, 13215, 9960));
    command2_ = eclipses->Place(Named(new QPushButton(QStringLiteral("Save")), "Command2"), Twips(13680, 10320, 855, 375));
    command2_->setFont(SansFont(8.25, true));
    label2_ = eclipses->Place(MakeLabel(nullptr, "Label2", QString(), {}), Twips(360, 10680, 6015, 255));
    connect(command2_, &QPushButton::clicked, this, &MainWindow::Command2_Click);

    // Sun Angle.
    BuildChart();
    sunAngle->Place(msChart1_, Twips(240, 480, 14415, 10455));

    progressBar1_ = Named(new QProgressBar(client), "ProgressBar1");
    progressBar1_->setGeometry(Twips(120, 11640, 14775, 255));
    progressBar1_->setRange(0, ProgressMaximum);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);

    // The satellite box last, so that it lies above the tab control's empty
    // right-hand part of the tab row, which its large font reaches into.
    combo1_ = Named(new QComboBox(client), "Combo1");
    combo1_->setFont(SansFont(18, true));
    QPalette cp = combo1_->palette();
    for (auto role : {QPalette::Button, QPalette::Base, QPalette::Window}) cp.setColor(role, LightGrey);
    for (auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText}) cp.setColor(role, DarkTeal);
    combo1_->setPalette(cp);
    combo1_->setGeometry(QRect(Twips(11400, 120, 3495, 0).topLeft(), QSize(3495 / TwipsPerPixel, combo1_->sizeHint().height())));
    // Only a user's choice counts, not the filling of the box.
    connect(combo1_, &QComboBox::activated, this, &MainWindow::Combo1_Click);
}

void MainWindow::BuildChart()
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(QStringLiteral("Sun angle at 24:00 UTC of each forecast day"));
    chart->setMargins(QMargins(4, 4, 4, 4));

    sunAngles_ = new QBarSet(QStringLiteral("sun angle"));
    sunAngles_->setColor(QColor(0, 96, 160));
    sunAngles_->setBorderColor(QColor(0, 64, 112));
    auto* series = new QBarSeries;
    series->setBarWidth(0.7);
    series->append(sunAngles_);
    chart->addSeries(series);

    // Day d's bar stands at d - 1. A category axis would label all 59 bars,
    // but at this width Qt Charts shortens every label to "..."; the labels
    // go to every fifth day instead, and the tooltip of a bar names its day.
    auto* days = new QCategoryAxis;
    days->setObjectName(QStringLiteral("DayAxis"));
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int d : {1, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 59}) days->append(QString::number(d), d - 1);
    days->setTitleText(QStringLiteral("day"));
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);
    connect(sunAngles_, &QBarSet::hovered, this, [this](bool entered, int index) {
        if (!entered || index < 0 || index >= sunAngles_->count()) {
            msChart1_->setToolTip(QString());
            return;
        }
        msChart1_->setToolTip(QStringLiteral("day %1: %2°").arg(index + 1).arg(
            WithDecimalSeparator(QString::number(sunAngles_->at(index), 'f', 1), services_.Formats)));
    });

    auto* degrees = new QValueAxis;
    degrees->setObjectName(QStringLiteral("AngleAxis"));
    degrees->setRange(-90, 90);
    degrees->setTickCount(7);
    degrees->setMinorTickCount(2);
    degrees->setLabelFormat(QStringLiteral("%d"));
    degrees->setTitleText(QStringLiteral("sun angle (degrees)"));
    chart->addAxis(degrees, Qt::AlignLeft);
    series->attachAxis(degrees);
    days->setStartValue(-0.5);
    days->setRange(-0.5, ForecastDays - 0.5);

    auto* view = new QChartView(chart);
    view->setObjectName(QStringLiteral("MSChart1"));
    view->setRenderHint(QPainter::Antialiasing);
    msChart1_ = view;
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Hidden tab pages get their size only when first shown; place their
    // controls now so that every tab is laid out from the start.
    for (int i = 0; i < ssTab1_->count(); ++i) static_cast<TabPage*>(ssTab1_->widget(i))->Arrange();
}

// ---------------------------------------------------------------- start-up

void MainWindow::StartUp()
{
    // 1. Visible while the rest draws into it.
    show();
    // 6. The spacecraft attitude.
    attitude_ = Attitude{0, 0};
    // 7. The hour scale.
    DrawHourGrid();
    // 8. The start date.
    const bool dated = FillStartDate();
    // 2. to 5., 9. and 10.: the settings file, the station and the catalogue
    // are read on the worker, so that a slow or stuck file never holds up
    // the window; then entry 1 becomes current and its forecast runs, so
    // that the name, the element lines and the lists belong to one satellite.
    auto job = std::make_shared<LoadJob>();
    job->StartUp = true;
    job->ProgramFolder = PathOf(services_.ProgramFolder);
    job->RunForecast = dated;
    StartLoad(job);
}

void MainWindow::StartLoad(const std::shared_ptr<LoadJob>& job)
{
    // Loaded into a copy: a file that cannot be used leaves the catalogue
    // in use as it was.
    job->Catalogue = std::make_unique<SatelliteCatalogue>(*catalogue_);
    loadJob_ = job;
    stop_ = false;
    SetBusy(true);
    disconnect(watcher_, nullptr, this, nullptr);
    connect(watcher_, &QFutureWatcher<void>::finished, this, &MainWindow::LoadFinished);
    watcher_->setFuture(QtConcurrent::run([job] { ReadInputFiles(*job); }));
}

void MainWindow::ReadInputFiles(LoadJob& job)
{
    if (job.StartUp) {
        const std::optional<std::string> found = FindSettingsFile(job.ProgramFolder);
        if (!found) {
            job.SettingsCandidates = SettingsCandidates(job.ProgramFolder);
            return;
        }
        job.SettingsPath = *found;
        try {
            const Settings settings = ReadSettings(*found);
            job.Site = MakeStation(settings.StationLocator);
            job.TlePath = settings.TleFilePath;
        } catch (const std::exception& e) {
            job.SettingsError = e.what();
            return;
        }
    }
    if (job.TlePath.empty()) return;
    try {
        job.Loaded = LoadCatalogue(job.TlePath, *job.Catalogue);
    } catch (const std::exception& e) {
        job.LoadError = e.what();
    }
}

void MainWindow::LoadFinished()
{
    std::shared_ptr<LoadJob> job = std::move(loadJob_);
    if (!job) return;
    if (job->StartUp) ApplySettings(*job);
    const bool loaded = ApplyCatalogue(*job);
    SetBusy(false);
    if (loaded) {
        SelectElementSet(1);
        // Not for a window that is closing.
        if (job->RunForecast && !stop_) RunForecast();
    }
}

void MainWindow::ApplySettings(const LoadJob& job)
{
    if (job.SettingsPath.empty()) {
        QStringList places;
        for (const std::string& c : job.SettingsCandidates) places << FromPath(c);
        settingsProblem_ = QStringLiteral("There is no settings file. tavik looks for %1.\n\n"
                                          "Line 1 of that file gives your station's Maidenhead locator "
                                          "(for example JO40hc), line 2 the TLE file to load.")
                               .arg(places.join(QStringLiteral(" and then for ")));
        Report(MessageKind::Error, QStringLiteral("Settings file"), settingsProblem_);
        return;
    }
    settingsPath_ = FromPath(job.SettingsPath);
    if (!job.Site) {
        settingsProblem_ = QStringLiteral("The settings file cannot be used:\n%1").arg(Q(job.SettingsError));
        Report(MessageKind::Error, QStringLiteral("Settings file"), settingsProblem_);
        return;
    }
    station_ = job.Site;
    label3_->setFont(SansFont(9.75, true));
    label3_->setText(Q(station_->StationLocator));
    FitToWidth(label3_);
}

bool MainWindow::ApplyCatalogue(LoadJob& job)
{
    if (!job.Loaded) {
        if (!job.LoadError.empty())
            Report(MessageKind::Error, QStringLiteral("Kep file"),
                   QStringLiteral("The Kep file cannot be loaded:\n%1").arg(Q(job.LoadError)));
        return false;
    }
    catalogue_ = std::move(job.Catalogue);
    tleFilePath_ = FromPath(job.TlePath);
    combo1_->clear();
    for (const std::string& name : job.Loaded->Names) combo1_->addItem(Q(name));
    combo1_->setCurrentIndex(0);
    if (job.Loaded->IgnoredNames > 0)
        Report(MessageKind::Warning, QStringLiteral("Kep file"),
               QStringLiteral("%1 holds more than %2 satellites; the last %3 are left out.")
                   .arg(tleFilePath_)
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
    const CalendarFields today = now->Fields();
    text2_->setText(QStringLiteral("%1").arg(today.Day, 2, 10, QLatin1Char('0')));
    text3_->setText(QStringLiteral("%1").arg(today.Month, 2, 10, QLatin1Char('0')));
    text4_->setText(QStringLiteral("%1").arg(today.Year, 4, 10, QLatin1Char('0')));
    return true;
}

void MainWindow::SelectElementSet(int index)
{
    current_ = tavik::SelectElementSet(*catalogue_, index);
    shownIsCurrent_ = false;
    label1_[0]->setText(Q(current_->Line1));
    label1_[1]->setText(Q(current_->Line2));
    // A refused set says why in its own message; a usable one with doubtful
    // lines runs, with the doubt in sight.
    QStringList warnings;
    if (!current_->LineProblem)
        for (const std::string& w : current_->LineWarnings) warnings << Q(w);
    const QString text = warnings.isEmpty() ? QString() : QStringLiteral("Warning: ") + warnings.join(QStringLiteral("  "));
    lineWarning_->setFont(SansFont(8.25));
    lineWarning_->setText(text);
    lineWarning_->setToolTip(warnings.join(QLatin1Char('\n')));
    FitToWidth(lineWarning_);
}

// ---------------------------------------------------------------- handlers

void MainWindow::Combo1_Click(int listIndex)
{
    if (busy_ || listIndex < 0 || listIndex >= catalogue_->CatalogueCount) return;
    SelectElementSet(listIndex + 1);
    RunForecast();
}

void MainWindow::Command3_Click()
{
    if (busy_) return;
    RunForecast();
}

void MainWindow::Command1_Click() { SaveList(true); }
void MainWindow::Command2_Click() { SaveList(false); }

void MainWindow::MenuFileOpen_Click()
{
    if (busy_) return;
    const QString start = tleFilePath_.isEmpty() ? QDir::currentPath() : QFileInfo(tleFilePath_).absolutePath();
    const QString path = services_.ChooseKepFile ? services_.ChooseKepFile(this, start) : QString();
    if (path.isEmpty()) return; // cancelled: nothing changes
    auto job = std::make_shared<LoadJob>();
    job->TlePath = PathOf(path);
    job->RunForecast = true;
    StartLoad(job);
}

void MainWindow::MnuInfo_Click()
{
    if (!about_) {
        // A window of its own, not a child of this one: closing the main
        // window first leaves it open until the user closes it too.
        about_ = new AboutBox;
        about_->setAttribute(Qt::WA_DeleteOnClose);
        about_->setWindowIcon(windowIcon());
        about_->CentreOn(this);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::SaveList(bool passes)
{
    if (busy_) return;
    QLabel* status = passes ? label5_ : label2_;
    if (!current_) {
        Report(MessageKind::Warning, QStringLiteral("Save"), QStringLiteral("There is no satellite, so there is no list to save."));
        return;
    }
    const std::string& name = current_->SatName;
    const std::string fileName = passes ? PassesFileName(name) : EclipsesFileName(name);
    const std::string header = passes ? PassesHeader(name) : EclipsesHeader(name);
    // The eclipse lines in forms Windows-1252 can hold; the pass lines have
    // no regional forms.
    const FileFormats files = Cp1252FileFormats(services_.Formats);
    const bool otherForms = !passes && !files.Note.empty() && shown_;
    const std::vector<std::string> lines = otherForms ? EclipseLines(*shown_, files.Formats)
                                                      : ItemsOf(passes ? list1_ : list3_);
    // In the current working directory, like a file saved from a shell. The
    // window shows that folder nowhere, so a failure names the whole path.
    std::error_code noFolder;
    const std::filesystem::path whole = std::filesystem::absolute(fileName, noFolder);
    const std::string path = noFolder ? fileName : whole.string();
    try {
        WriteFileAtomically(path, ListFileBytes(header, lines));
    } catch (const std::exception& e) {
        status->clear();
        Report(MessageKind::Error, QStringLiteral("Save"),
               QStringLiteral("%1 has not been written:\n%2").arg(FromPath(path), Q(e.what())));
        return;
    }
    status->setFont(SansFont(8.25));
    status->setText(FromPath(fileName) + QStringLiteral(" has been written"));
    FitToWidth(status);
    if (otherForms) NoteFileForms(files.Note);
}

void MainWindow::NoteFileForms(const std::string& note)
{
    // Once a session: the forms do not change while it lasts.
    if (fileFormsNoted_) return;
    fileFormsNoted_ = true;
    Report(MessageKind::Information, QStringLiteral("Files"), Q(note) + QStringLiteral("."));
}

// ---------------------------------------------------------------- forecast

bool MainWindow::ReadyToCompute(const QString& what)
{
    if (!current_) {
        Report(MessageKind::Warning, what,
               QStringLiteral("There is no satellite to compute. Open a Kep file with File > Open Kep File."));
        return false;
    }
    if (!station_) {
        Report(MessageKind::Error, what,
               QStringLiteral("There is no station to compute for, because the settings file could not be used.\n\n%1\n\n"
                              "Correct it and start tavik again.")
                   .arg(settingsProblem_));
        return false;
    }
    if (const auto why = PropagationProblem(*current_)) {
        Report(MessageKind::Error, what, Q(*why));
        return false;
    }
    return true;
}

void MainWindow::RunForecast()
{
    if (busy_) return;
    if (!ReadyToCompute(QStringLiteral("Forecast"))) {
        ForecastRefused();
        return;
    }
    const ParsedDate start = ParseDateTexts(S(text2_->text()), S(text3_->text()), S(text4_->text()));
    if (!start) {
        QLineEdit* wrong = start.WrongField == DateTextField::Month ? text3_
                           : start.WrongField == DateTextField::Year ? text4_
                                                                     : text2_;
        Report(MessageKind::Error, QStringLiteral("Start date"),
               Q(start.Error) + QStringLiteral("\n\nCorrect the start date and press \"recalc\"."));
        wrong->setFocus();
        wrong->selectAll();
        ForecastRefused();
        return;
    }

    auto job = std::make_shared<ForecastJob>();
    job->Request.Start = *start.Date;
    job->Request.Elements = *current_;
    job->Request.Site = *station_;
    job->Request.Axis = attitude_;
    job->Carry = carry_;
    forecastJob_ = job;

    ClearResults();
    shown_.reset();
    SetBusy(true);
    SetProgress(0, ProgressMaximum);
    stop_ = false;
    disconnect(watcher_, nullptr, this, nullptr);
    connect(watcher_, &QFutureWatcher<void>::finished, this, &MainWindow::ForecastFinished);
    watcher_->setFuture(QtConcurrent::run([this, job] {
        try {
            job->Result = tavik::RunForecast(job->Request, job->Carry, [this](int value, int maximum) {
                if (stop_) return false;
                QMetaObject::invokeMethod(this, [this, value, maximum] { SetProgress(value, maximum); }, Qt::QueuedConnection);
                return true;
            });
        } catch (const std::exception& e) {
            job->Error = Q(e.what());
        }
    }));
}

void MainWindow::ForecastRefused()
{
    // Results of the satellite before stay only while they belong to the
    // current one; the name and the lists must never disagree.
    if (shown_ && !shownIsCurrent_) {
        ClearResults();
        shown_.reset();
        DrawHourGrid();
    }
    emit ForecastDone();
}

void MainWindow::ForecastFinished()
{
    std::shared_ptr<ForecastJob> job = std::move(forecastJob_);
    if (!job) return;
    carry_ = job->Carry;
    // A run stopped because the window closed leaves nothing worth showing.
    if (job->Result && job->Result->End != RunEnd::Cancelled) {
        shown_ = std::move(job->Result);
        shownIsCurrent_ = true;
        ShowForecast(*shown_);
    } else if (!job->Error.isEmpty()) {
        Report(MessageKind::Error, QStringLiteral("Forecast"), job->Error);
    }
    // The hour scale after every run, not only after a new satellite.
    DrawHourGrid();
    SetBusy(false);
    emit ForecastDone();
}

void MainWindow::ShowForecast(const ForecastResult& result)
{
    list1_->clear();
    for (const std::string& line : PassLines(result)) list1_->addItem(Q(line));
    list3_->clear();
    for (const std::string& line : EclipseLines(result, services_.Formats)) list3_->addItem(Q(line));

    strip_ = RenderStrip(result, StripStyle{.PassBand = true});
    picture2_->Clear();
    const std::vector<std::string> labels = RowLabels(result, services_.Formats);
    for (std::size_t i = 0; i < labels.size(); ++i) picture2_->PrintAt(10, RowTop(static_cast<int>(i) + 1), Q(labels[i]));

    // A run that stopped early keeps the previous series in the chart.
    if (result.Completed()) {
        QList<qreal> values;
        for (double v : result.DailySunAngle) values << v;
        sunAngles_->remove(0, sunAngles_->count());
        sunAngles_->append(values);
    }
    ShowStrip();
}

void MainWindow::ClearResults()
{
    strip_ = PixelBuffer(StripWidth, StripHeight, StripStyle{}.Background);
    ShowStrip();
    picture2_->Clear();
    picture3_->Clear();
    list1_->clear();
    list3_->clear();
}

void MainWindow::DrawHourGrid()
{
    const float hourWidth = HourWidth(HourStripWidth);
    // A printed number has one blank in front of it.
    for (int h = 0; h < 24; ++h)
        picture3_->PrintAt(PixelColumn(10 + static_cast<float>(h) * hourWidth), 1, QStringLiteral(" %1").arg(h));
    DrawHourLines(strip_, hourWidth);
    ShowStrip();
}

void MainWindow::ShowStrip() { picture1_->SetImage(ImageOf(strip_)); }

QString MainWindow::MinuteTip(QPoint at) const
{
    if (!shown_) return {};
    const int day = at.y() / 11;
    if (at.y() < 0 || day < 1 || day > ForecastDays) return {};
    // The minute whose tick lies nearest the pointer.
    const int minute = std::clamp(static_cast<int>(std::lround(at.x() / MinuteWidth(StripWidth))), 0, StepsPerDay - 1);
    const RegionalFormats& f = services_.Formats;
    const DateTime when = shown_->Start.AddDays(day - 1).AddMinutes(minute);
    const CalendarFields c = when.Fields();
    QString tip = QStringLiteral("%1 %2:%3 UTC")
                      .arg(Q(FormatDatePattern(when, f)))
                      .arg(c.Hour, 2, 10, QLatin1Char('0'))
                      .arg(c.Minute, 2, 10, QLatin1Char('0'));
    const MinuteRecord* r = shown_->At(day, minute);
    if (!r || (day - 1) * StepsPerDay + minute >= static_cast<int>(shown_->DrawnSteps)) {
        tip += QStringLiteral("\nnot computed");
        if (!shown_->Completed()) tip += QStringLiteral(": ") + Q(StopMessage(*shown_, f));
        return tip;
    }
    tip += r->InEclipse ? QStringLiteral("\nin shadow") : QStringLiteral("\nsunlit");
    tip += QStringLiteral("\nillumination %1 %").arg(std::lround(r->Illumination * 100));
    if (r->SatElevation > 0)
        tip += QStringLiteral("\nelevation %1°, azimuth %2°")
                   .arg(WithDecimalSeparator(QString::number(r->SatElevation, 'f', 1), f))
                   .arg(WithDecimalSeparator(QString::number(r->SatAzimuth, 'f', 0), f));
    return tip;
}

// ---------------------------------------------------------------- year file

void MainWindow::MnuWriteSunYear_Click()
{
    if (busy_) return;
    if (!ReadyToCompute(QStringLiteral("Sun angle file"))) {
        emit YearFileDone();
        return;
    }
    const ParsedYear year = ParseYearText(S(text4_->text()));
    if (!year) {
        Report(MessageKind::Error, QStringLiteral("Sun angle file"),
               Q(year.Error) + QStringLiteral("\n\nType the year of the file into the year box."));
        text4_->setFocus();
        text4_->selectAll();
        emit YearFileDone();
        return;
    }

    auto job = std::make_shared<YearJob>();
    job->Year = *year.Year;
    job->Elements = *current_;
    job->Site = *station_;
    job->Axis = attitude_;
    // A file only: the forms Windows-1252 can hold.
    const FileFormats files = Cp1252FileFormats(services_.Formats);
    job->Formats = files.Formats;
    job->FormsNote = files.Note;
    job->Carry = carry_;
    yearJob_ = job;

    // The year file takes the place of the forecast on screen.
    ClearResults();
    shown_.reset();
    SetBusy(true);
    SetProgress(0, YearProgressMaximum);
    stop_ = false;
    disconnect(watcher_, nullptr, this, nullptr);
    connect(watcher_, &QFutureWatcher<void>::finished, this, &MainWindow::YearFileFinished);
    watcher_->setFuture(QtConcurrent::run([this, job] {
        try {
            job->Rows = SunAngleYearRows(job->Year, job->Elements, job->Site, job->Axis, job->Carry, job->Formats,
                                         [this](int value, int maximum) {
                                             QMetaObject::invokeMethod(
                                                 this, [this, value, maximum] { SetProgress(value, maximum); },
                                                 Qt::QueuedConnection);
                                         });
        } catch (const std::exception& e) {
            job->Error = Q(e.what());
        }
    }));
}

void MainWindow::YearFileFinished()
{
    std::shared_ptr<YearJob> job = std::move(yearJob_);
    if (!job) return;
    carry_ = job->Carry;
    SetProgress(0, YearProgressMaximum);
    const std::string path = (std::filesystem::path(PathOf(services_.ProgramFolder)) / YearFileName(job->Elements.SatName, job->Year)).string();
    if (!job->Error.isEmpty()) {
        Report(MessageKind::Error, QStringLiteral("Sun angle file"), job->Error);
    } else {
        try {
            WriteFileAtomically(path, YearFileBytes(job->Rows));
            // The file goes to the program's folder, which the user may not
            // know; say where it is.
            Report(MessageKind::Information, QStringLiteral("Sun angle file"), FromPath(path) + QStringLiteral(" has been written"));
            if (!job->FormsNote.empty()) NoteFileForms(job->FormsNote);
        } catch (const std::exception& e) {
            Report(MessageKind::Error, QStringLiteral("Sun angle file"),
                   QStringLiteral("%1 has not been written:\n%2").arg(FromPath(path), Q(e.what())));
        }
    }
    SetBusy(false);
    emit YearFileDone();
}

// ---------------------------------------------------------------- busy state

void MainWindow::SetBusy(bool busy)
{
    busy_ = busy;
    for (QWidget* w : std::initializer_list<QWidget*>{combo1_, command3_, command1_, command2_}) w->setEnabled(!busy);
    for (QAction* a : {menuFileOpen_, mnuWriteSunYear_}) a->setEnabled(!busy);
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
    emit BusyChanged(busy);
}

void MainWindow::SetProgress(int value, int maximum)
{
    progressBar1_->setMaximum(maximum);
    progressBar1_->setValue(value);
}

void MainWindow::StopWorker()
{
    stop_ = true;
    if (watcher_) watcher_->waitForFinished();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A forecast still running is stopped; its results are not wanted.
    StopWorker();
    QMainWindow::closeEvent(event);
}

void MainWindow::Report(MessageKind kind, const QString& title, const QString& text)
{
    if (services_.ShowMessage) services_.ShowMessage(this, kind, title, text);
}

// ---------------------------------------------------------------- screenshots

bool MainWindow::SaveScreenshots(const QString& folder)
{
    QDir().mkpath(folder);
    static const char* const Names[] = {"illumination", "passes", "eclipses", "sun-angle"};
    const int shown = ssTab1_->currentIndex();
    bool ok = true;
    for (int i = 0; i < ssTab1_->count(); ++i) {
        ssTab1_->setCurrentIndex(i);
        QApplication::processEvents();
        ok = grab().save(QDir(folder).filePath(QStringLiteral("tab-%1-%2.png").arg(i + 1).arg(QString::fromLatin1(Names[i])))) && ok;
    }
    ssTab1_->setCurrentIndex(shown);
    MnuInfo_Click();
    QApplication::processEvents();
    ok = about_->grab().save(QDir(folder).filePath(QStringLiteral("about.png"))) && ok;
    return ok;
}

} // namespace tavik::shell
