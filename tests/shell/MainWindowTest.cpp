// The desktop window driven through its controls, headless. Each test starts
// a window on a settings file and TLE file of its own in a temporary program
// folder, with the clock, the file choosers and the message boxes replaced.

#include "shell/AboutBox.h"
#include "shell/MainWindow.h"
#include "shell/PictureBox.h"
#include "shell/ShellServices.h"
#include "shell/StationDialog.h"
#include "shell/SunAngleChart.h"

#include "catalogue/Settings.h"
#include "forecast/StripChart.h"

#include <gtest/gtest.h>

#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

#include <memory>
#include <optional>

namespace {

using namespace tavik;
using namespace tavik::shell;

constexpr std::time_t March5At2330 = 1709681400; // 2024-03-05 23:30:00 UTC

QString TestData(const char* name) { return QStringLiteral(TAVIK_TEST_DATA "/") + QString::fromLatin1(name); }

QStringList FileLines(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n")) : QStringList();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program_.isValid() && work_.isValid() && config_.isValid() && documents_.isValid());
        oldCwd_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(work_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); // not the settings of whoever runs the tests
        programFolder_ = program_.path();
    }
    void TearDown() override { window_.reset(), QDir::setCurrent(oldCwd_); }

    QString ProgramFile(const char* name) const { return QDir(program_.path()).filePath(QString::fromUtf8(name)); }
    QString WorkFile(const char* name) const { return QDir(work_.path()).filePath(QString::fromUtf8(name)); }

    // tavik.ini naming JO40HC and the TLE file, copied beside it.
    void WriteSettings(const char* tle = "three.tle")
    {
        ASSERT_TRUE(QFile::copy(TestData(tle), ProgramFile(tle)));
        WriteAll(ProgramFile("tavik.ini"), QByteArray("JO40HC\r\n") + tle + "\r\n");
    }

    void StartOnly(std::time_t now = March5At2330, RegionalFormats formats = IsoFormats())
    {
        ShellServices s;
        s.Now = [now] { return now; };
        s.ProgramFolder = programFolder_;
        s.DocumentsFolder = documents_.path();
        s.Formats = std::move(formats);
        s.ChooseKepFile = [this](QWidget*, const QString&) { return chooserAnswer_; };
        s.ShowMessage = [this](QWidget*, MessageKind kind, const QString&, const QString& text) {
            messages_.push_back({kind, text});
        };
        window_ = std::make_unique<MainWindow>(s);
        window_->StartUp();
    }
    void Start(RegionalFormats formats = IsoFormats())
    {
        StartOnly(March5At2330, std::move(formats));
        ASSERT_TRUE(WaitIdle());
    }

    // Lets the window work until no load, forecast, year file or save runs.
    bool WaitIdle()
    {
        const bool idle = QTest::qWaitFor([this] { return !window_->IsBusy(); }, 60000);
        QCoreApplication::processEvents();
        return idle;
    }

    // The one message since the last call, of the kind given.
    QString OnlyMessage(MessageKind kind = MessageKind::Error)
    {
        EXPECT_EQ(messages_.size(), 1u);
        const std::pair<MessageKind, QString> m = messages_.empty() ? std::pair(kind, QString()) : messages_.back();
        EXPECT_EQ(m.first, kind) << m.second.toStdString();
        messages_.clear();
        return m.second;
    }

    template <typename T> T* Get(const char* name)
    {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList Items(const char* name)
    {
        QStringList items;
        if (auto* l = window_->findChild<QListWidget*>(QString::fromLatin1(name)))
            for (int i = 0; i < l->count(); ++i) items << l->item(i)->text();
        if (auto* c = window_->findChild<QComboBox*>(QString::fromLatin1(name)))
            for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
        return items;
    }
    QString Text(const char* label) { return Get<QLabel>(label)->text(); }
    void SetText(const char* box, const char* text) { Get<QLineEdit>(box)->setText(QString::fromLatin1(text)); }
    void Click(const char* button, int tab = 0)
    {
        Get<QTabWidget>("Tabs")->setCurrentIndex(tab);
        QTest::mouseClick(Get<QAbstractButton>(button), Qt::LeftButton);
        ASSERT_TRUE(WaitIdle());
    }
    void Trigger(const char* action) { Get<QAction>(action)->trigger(); }
    // What a user's choice in the box does: select the item, then report it.
    void Choose(int index) { Get<QComboBox>("SatelliteBox")->setCurrentIndex(index), emit Get<QComboBox>("SatelliteBox")->activated(index); }

    QTemporaryDir program_, work_, config_, documents_;
    QString oldCwd_, programFolder_, chooserAnswer_;
    std::vector<std::pair<MessageKind, QString>> messages_;
    std::unique_ptr<MainWindow> window_;
};

// The start-up forecast, and again after Enter in the day box: element lines,
// both lists, every pixel of the strip with its hour lines, a date label per
// row, the hour numbers and the chart, labelled with what its bars belong to.
TEST_F(WindowTest, StartUpAndRecalcShowTheWholeForecastOfTheCurrentSatellite)
{
    WriteSettings();
    Start();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Text("LocatorLabel"), QStringLiteral("JO40HC"));
    EXPECT_EQ(Text("ElementLine1"), QStringLiteral("1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995"));
    EXPECT_EQ(Items("SatelliteBox"), (QStringList{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    EXPECT_EQ(Text("ElementAge"), QStringLiteral("Elements 1180.5 days old at the start date: passes drift, get fresh elements."));

    SetText("StartDayEdit", "10");
    QTest::keyClick(Get<QLineEdit>("StartDayEdit"), Qt::Key_Return);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    const ForecastResult& r = *window_->ShownResult();
    ASSERT_TRUE(r.Completed());
    EXPECT_TRUE(Items("PassList").value(0).startsWith(QStringLiteral("03/10/2024")));
    EXPECT_TRUE(Items("EclipseList").value(0).startsWith(QStringLiteral("2024-03-10")));
    EXPECT_EQ(Items("PassList").size(), static_cast<int>(r.Passes.size()));
    EXPECT_EQ(Items("EclipseList").size(), static_cast<int>(r.Eclipses.size()));

    const QImage strip = Get<PictureBox>("StripChart")->Image();
    ASSERT_EQ(strip.size(), QSize(StripWidth, StripHeight));
    PixelBuffer expected = RenderStrip(r, StripStyle{.PassBand = true});
    DrawHourLines(expected, HourWidth(HourStripWidth));
    int differing = 0;
    for (int y = 0; y < StripHeight; ++y)
        for (int x = 0; x < StripWidth; ++x) {
            const Rgb p = expected.At(x, y);
            differing += QColor(strip.pixel(x, y)) != QColor(p.R, p.G, p.B);
        }
    EXPECT_EQ(differing, 0);
    auto inked = [](const QImage& image, int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0) return true;
        return false;
    };
    const QImage dates = Get<PictureBox>("DateColumn")->Image(), hours = Get<PictureBox>("HourStrip")->Image();
    EXPECT_FALSE(inked(dates, 0, RowTop(1) - 1));
    EXPECT_TRUE(inked(dates, RowTop(59), RowTop(59) + 10));
    EXPECT_TRUE(inked(hours, 0, hours.height() - 1));
    const SunAngleChart* chart = Get<SunAngleChart>("MSChart1");
    EXPECT_EQ(chart->BarsOf(), QStringLiteral("TAVSAT 1 from 2024-03-10"));
    ASSERT_EQ(chart->Bars()->count(), 59);
    for (int i = 0; i < 59; ++i) EXPECT_DOUBLE_EQ(chart->Bars()->at(i), r.DailySunAngle[static_cast<std::size_t>(i)]);
}

// The designed 1002 x 812 layout did not fit a 1366 x 768 laptop: Save and the
// progress bar were off the screen. The window fits the screen and scrolls.
TEST_F(WindowTest, MinimumSizeFits1366x768AndSaveCanBeScrolledTo)
{
    WriteSettings();
    Start();
    EXPECT_LE(window_->minimumSize().width(), 1366);
    EXPECT_LE(window_->minimumSize().height(), 768 - 60);
    const QSize screen = window_->screen()->availableGeometry().size();
    EXPECT_LE(window_->width(), std::max(screen.width(), 1002));
    EXPECT_LE(window_->height(), screen.height());
    auto* area = Get<QScrollArea>("ScrollArea");
    auto* save = Get<QPushButton>("SavePassesButton");
    Get<QTabWidget>("Tabs")->setCurrentIndex(1);
    window_->resize(640, 400);
    QCoreApplication::processEvents();
    area->ensureWidgetVisible(save);
    EXPECT_TRUE(area->viewport()->rect().contains(QRect(save->mapTo(area->viewport(), QPoint()), save->size())));
}

// Settings that cannot be used ended in "correct the settings file and
// restart". The Station dialog opens and says why, naming the file; a clock
// past 9999 is still said in a message. The window is never blocked.
TEST_F(WindowTest, StartUpProblemOpensTheStationDialogNamingTheFile)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(ProgramFile("kep.tle")).constData(), 0600), 0);
    WriteSettings();
    const struct {
        std::optional<QByteArray> Ini;
        QString Says;
        std::time_t Now = March5At2330;
    } rows[] = {
        {"ZZ99\r\nthree.tle\r\n", ProgramFile("tavik.ini: line 1")},
        {"JO40HC\r\nnowhere.tle\r\n", ProgramFile("nowhere.tle")},
        {"JO40HC\r\nkep.tle\r\n", ProgramFile("kep.tle: is a named pipe, not a regular file")},
        {std::nullopt, QDir(config_.path()).filePath("tavik/tavik.ini")},
        {"JO40HC\r\nthree.tle\r\n", "outside the years 1 to 9999", 253402300800}, // 10000-01-01
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Says.toStdString());
        QFile::remove(ProgramFile("tavik.ini"));
        if (row.Ini) WriteAll(ProgramFile("tavik.ini"), *row.Ini);
        StartOnly(row.Now);
        EXPECT_TRUE(window_->IsBusy() && window_->isVisible());
        ASSERT_TRUE(WaitIdle());
        const QLabel* why = window_->StationEditor() ? window_->StationEditor()->findChild<QLabel*>("Why") : nullptr;
        const QString text = why ? why->text() : OnlyMessage();
        EXPECT_TRUE(text.contains(row.Says)) << text.toStdString();
        EXPECT_EQ(window_->ShownResult(), nullptr);
    }
}

// First run where the program's folder cannot be written (an installed
// program): the dialog refuses a bad locator as it is typed, then saves a
// settings file the reader accepts in the user's folder, and the forecast
// runs at once; the year file goes to the documents folder.
TEST_F(WindowTest, StationDialogWritesSettingsTheReaderAcceptsAndRefusesABadLocator)
{
    WriteAll(ProgramFile("plain"), "not a folder");
    programFolder_ = ProgramFile("plain/bin");
    StartOnly();
    ASSERT_TRUE(WaitIdle());
    StationDialog* dialog = window_->StationEditor();
    ASSERT_NE(dialog, nullptr);
    auto* locator = dialog->findChild<QLineEdit*>("LocatorEdit");
    auto* ok = dialog->findChild<QPushButton*>("OkButton");
    dialog->findChild<QLineEdit*>("TleFileEdit")->setText(TestData("three.tle"));
    locator->setText(QStringLiteral("JO4"));
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(dialog->findChild<QLabel*>("PositionLabel")->text().isEmpty());
    locator->setText(QStringLiteral("jo40hc"));
    EXPECT_EQ(dialog->findChild<QLabel*>("PositionLabel")->text(), QStringLiteral("latitude 50.083° N, longitude 8.583° E"));
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    const QString ini = QDir(config_.path()).filePath("tavik/tavik.ini");
    const Settings read = ReadSettings(ini.toStdString());
    EXPECT_EQ(read.StationLocator, "JO40HC");
    EXPECT_EQ(read.TleFilePath, TestData("three.tle").toStdString());
    EXPECT_EQ(window_->SettingsPath(), ini);
    ASSERT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(window_->ShownResult()->SatName, "TAVSAT 1");

    Trigger("YearFileAction");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(OnlyMessage(MessageKind::Information), QDir(documents_.path()).filePath("TAVSAT 1_sowi_2024.csv has been written"));
}

// A choice reruns for the chosen satellite. A start date that cannot be used
// is refused naming the box and keeps the lists; "26" is 2026; a choice that
// cannot run leaves no lists of the satellite before beside the new lines.
TEST_F(WindowTest, ChoiceRerunsAndABadStartDateIsRefusedNamingTheBox)
{
    WriteSettings();
    Start();
    Click("SavePassesButton", 1);
    Choose(2);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->ShownResult()->SatName, "ORBIS M");
    EXPECT_EQ(Text("PassesStatus"), QString()) << "a file of the satellite before is not this one's";
    const QStringList orbis = Items("PassList");

    const char* const refused[][4] = {{"29", "02", "2100", "The day \"29\" does not exist: February 2100 has 28 days."},
                                      {"05", "Mar", "2024", "The month \"Mar\" is not a whole number."},
                                      {"05", "03", "2201", "The year \"2201\" is outside 1957 to 2200"}};
    for (const auto& [day, month, year, says] : refused) {
        SetText("StartDayEdit", day), SetText("StartMonthEdit", month), SetText("StartYearEdit", year);
        Click("RecalcButton");
        EXPECT_TRUE(OnlyMessage().startsWith(QString::fromUtf8(says)));
        EXPECT_EQ(Items("PassList"), orbis);
    }
    SetText("StartYearEdit", "26");
    Click("RecalcButton");
    EXPECT_EQ(window_->ShownResult()->Start, *DateTime::FromCalendar(2026, 3, 5));
    EXPECT_EQ(Get<QLineEdit>("StartYearEdit")->text(), QStringLiteral("2026"));

    SetText("StartMonthEdit", "Mar");
    Choose(1);
    EXPECT_TRUE(OnlyMessage().contains(QStringLiteral("\"Mar\"")));
    EXPECT_TRUE(Text("ElementLine1").startsWith(QStringLiteral("1 90002U")));
    EXPECT_TRUE(Items("PassList").isEmpty());
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_FALSE(Get<QPushButton>("SavePassesButton")->isEnabled());
}

// "Open Kep File" reads on the worker and runs entry 1; cancelled, missing,
// without satellites or a device, it changes nothing. The file and the
// satellite last chosen, and the model, come back at the next start, with
// the two lines every reader of tavik.ini takes unchanged.
TEST_F(WindowTest, OpenKepFileIsRememberedAndACancelOrFailureChangesNothing)
{
    WriteSettings();
    Start();
    chooserAnswer_ = TestData("five.tle");
    Trigger("OpenAction");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    const QStringList items = Items("SatelliteBox");
    EXPECT_EQ(items, (QStringList{"HERON 4", "0 PIPIT", "TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    Choose(1);
    ASSERT_TRUE(WaitIdle());
    const QStringList passes = Items("PassList");
    Trigger("PreciseModelAction");
    ASSERT_TRUE(WaitIdle());

    WriteAll(ProgramFile("empty.txt"), "\r\n   \r\n");
    for (const QString& answer : {QString(), ProgramFile("missing.txt"), ProgramFile("empty.txt"), QStringLiteral("/dev/zero")}) {
        chooserAnswer_ = answer;
        Trigger("OpenAction");
        ASSERT_TRUE(WaitIdle());
        EXPECT_TRUE(answer.isEmpty() || OnlyMessage().contains(answer));
        EXPECT_EQ(Items("SatelliteBox"), items);
        EXPECT_EQ(Items("PassList"), passes);
    }
    EXPECT_EQ(FileLines(ProgramFile("tavik.ini")).mid(0, 2), (QStringList{"JO40HC", "three.tle"}));
    window_.reset();
    Start();
    EXPECT_EQ(Items("SatelliteBox"), items);
    EXPECT_EQ(window_->Current()->SatName, "0 PIPIT");
    EXPECT_EQ(Items("PassList"), passes);
    EXPECT_TRUE(Get<QAction>("PreciseModelAction")->isChecked());
}

// The lists go into the working folder, a failure naming the whole path.
// Saved in Windows-1252, Arabic AM/PM designators became "?": the file takes
// 24-hour time, and the user is told once.
TEST_F(WindowTest, SaveWritesTheListsInFormsWindows1252HoldsAndAFailureNamesTheWholePath)
{
    WriteSettings();
    RegionalFormats arabic = UsLikeFormats();
    arabic.AmDesignator = "\xD8\xB5";
    arabic.PmDesignator = "\xD9\x85";
    Start(arabic);
    Click("SavePassesButton", 1);
    EXPECT_EQ(Text("PassesStatus"), QStringLiteral("TAVSAT 1_passes.txt has been written"));
    const QStringList passes = FileLines(WorkFile("TAVSAT 1_passes.txt"));
    EXPECT_EQ(passes.value(0), QStringLiteral("visible passes forecast for TAVSAT 1"));
    EXPECT_EQ(passes.mid(2, passes.size() - 3), Items("PassList"));
    const QStringList screen = Items("EclipseList");
    Click("SaveEclipsesButton", 2);
    Click("SaveEclipsesButton", 2);
    const QStringList eclipses = FileLines(WorkFile("TAVSAT 1_eclipses.txt"));
    ASSERT_EQ(eclipses.size(), screen.size() + 3);
    int afternoons = 0;
    for (const QString& line : eclipses) {
        EXPECT_FALSE(line.contains(QLatin1Char('?'))) << line.toStdString();
        afternoons += line.contains(QRegularExpression(QStringLiteral("^[0-9/]+ (1[3-9]|2[0-3]):[0-5][0-9]:00   ->   ")));
    }
    EXPECT_GT(afternoons, 0);
    EXPECT_TRUE(OnlyMessage(MessageKind::Information).contains(QStringLiteral("24-hour time")));

    ASSERT_TRUE(QFile::remove(WorkFile("TAVSAT 1_passes.txt")));
    ASSERT_TRUE(QDir(work_.path()).mkdir(QStringLiteral("TAVSAT 1_passes.txt")));
    Click("SavePassesButton", 1);
    EXPECT_TRUE(OnlyMessage().startsWith(WorkFile("TAVSAT 1_passes.txt has not been written")));
    EXPECT_EQ(Text("PassesStatus"), QString());
}

// The year file takes the place of the forecast, and then Save replaced a
// passes file with its header alone: Save is off until the next forecast. A
// year file that fails leaves the screen as it was.
TEST_F(WindowTest, YearFileDisablesSaveAndAFailedOneLeavesTheScreen)
{
    WriteSettings();
    Start();
    const QStringList passes = Items("PassList");
    SetText("StartYearEdit", "2023");
    ASSERT_TRUE(QDir(program_.path()).mkdir(QStringLiteral("TAVSAT 1_sowi_2023.csv")));
    Trigger("YearFileAction");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(OnlyMessage().startsWith(ProgramFile("TAVSAT 1_sowi_2023.csv has not been written")));
    EXPECT_EQ(Items("PassList"), passes);
    EXPECT_TRUE(Get<QPushButton>("SavePassesButton")->isEnabled());

    SetText("StartYearEdit", "24");
    Trigger("YearFileAction");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(OnlyMessage(MessageKind::Information), ProgramFile("TAVSAT 1_sowi_2024.csv has been written"));
    const QStringList lines = FileLines(ProgramFile("TAVSAT 1_sowi_2024.csv"));
    ASSERT_EQ(lines.size(), 368);
    EXPECT_EQ(lines[0], QStringLiteral("date;sun angle;sun_lat; sun_long"));
    EXPECT_TRUE(lines[366].startsWith(QStringLiteral("2024-12-31 ; ")));
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_TRUE(Items("PassList").isEmpty());
    EXPECT_FALSE(Get<QPushButton>("SavePassesButton")->isEnabled());
    EXPECT_FALSE(Get<QAction>("SaveAction")->isEnabled());
}

// A run that stopped early was silent, its progress bar at 25 %, and the Sun
// Angle tab showed the satellite before's bars under the new name. The
// reason and the day are shown, the bar is reset, and the chart names the
// satellite and start its bars belong to.
TEST_F(WindowTest, NoStaleBarsAfterAStoppedRun)
{
    QByteArray tle = "TAVSAT 1\r\n1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995\r\n"
                     "2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123455\r\n";
    tle += "SINKER\r\n1 90009U 24010A   24064.00000000  .00400000  00000-0  23456-4 0  9995\r\n"
           "2 90009  51.6416 247.4627 0012345 130.5360 123.4567 16.20000000123455\r\n";
    WriteAll(ProgramFile("sinking.tle"), tle);
    WriteAll(ProgramFile("tavik.ini"), "JO40HC\r\nsinking.tle\r\n");
    Start();
    Choose(1);
    ASSERT_TRUE(WaitIdle());
    ASSERT_NE(window_->ShownResult(), nullptr);
    ASSERT_FALSE(window_->ShownResult()->Completed());
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains(QStringLiteral("Stopped on day")));
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains(QStringLiteral("sank below 150 km")));
    EXPECT_EQ(Get<QProgressBar>("ProgressBar")->value(), 0);
    const SunAngleChart* chart = Get<SunAngleChart>("MSChart1");
    EXPECT_EQ(chart->BarsOf(), QStringLiteral("TAVSAT 1 from 2024-03-05"));
    EXPECT_FALSE(chart->chart()->title().contains(QStringLiteral("SINKER")));
}

// Closing the window stops a forecast that runs: its progress callback says
// stop, and nothing of the stopped run is shown. Every pool thread is held,
// so the run cannot start before the window is closed.
TEST_F(WindowTest, ClosingDuringARunStopsItAndShowsNothingOfIt)
{
    WriteSettings();
    Start();
    QThreadPool* pool = QThreadPool::globalInstance();
    QSemaphore held;
    const int threads = pool->maxThreadCount();
    for (int i = 0; i < threads; ++i) pool->start([&held] { held.tryAcquire(1, 20000); });
    Get<QPushButton>("RecalcButton")->click();
    ASSERT_TRUE(window_->IsBusy());
    Trigger("ExitAction");
    held.release(threads);
    pool->waitForDone();
    EXPECT_FALSE(window_->isVisible());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_TRUE(Items("PassList").isEmpty());
    EXPECT_TRUE(messages_.empty());
}

// The about box's texts, exactly; "Info" twice gives one box, and it does
// not block the main window.
TEST_F(WindowTest, AboutBoxIsOneWithItsTextsExact)
{
    WriteSettings();
    Start();
    Trigger("InfoAction");
    AboutBox* about = window_->About();
    ASSERT_NE(about, nullptr);
    Trigger("InfoAction");
    EXPECT_EQ(window_->About(), about);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("60 days long-range forecast for illumination (QQ0XX)"));
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Info"));
    const std::pair<const char*, const char*> texts[] = {
        {"Label1", "60 days long-term forcast for illumination"}, {"Label9", "US Version"}, {"Label8", "QQ0XX"},
        {"Label2", "Version 1.9b    (09 Dec 2019)"}, {"Label6", "Homepage:"}, {"Label7", "e-mail:"}};
    for (const auto& [name, text] : texts) {
        auto* label = about->findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_EQ(label ? label->text() : QString(), QString::fromLatin1(text));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
