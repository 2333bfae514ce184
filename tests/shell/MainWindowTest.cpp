// The desktop window driven through its controls, headless. Each test starts
// a window on a settings file and TLE file of its own in a temporary program
// folder, with the clock, the file chooser and the message boxes replaced.

#include "shell/AboutBox.h"
#include "shell/MainWindow.h"
#include "shell/PictureBox.h"
#include "shell/ShellServices.h"

#include "forecast/StripChart.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChartView>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tavik;
using namespace tavik::shell;

// 2024-03-05 23:30:00 UTC.
constexpr std::time_t March5At2330 = 1709681400;

struct Message {
    MessageKind Kind;
    QString Title, Text;
};

QString TestData(const char* name) { return QStringLiteral(TAVIK_TEST_DATA "/") + QString::fromLatin1(name); }

QString ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// Sets TZ for the life of the object.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) saved_ = old, hadZone_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (hadZone_) setenv("TZ", saved_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool hadZone_ = false;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program_.isValid() && work_.isValid() && config_.isValid());
        oldCwd_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(work_.path()));
        // Keep away from the settings of whoever runs the tests.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
    }

    void TearDown() override
    {
        window_.reset();
        QDir::setCurrent(oldCwd_);
    }

    QString ProgramFile(const QString& name) const { return QDir(program_.path()).filePath(name); }
    QString WorkFile(const QString& name) const { return QDir(work_.path()).filePath(name); }

    // tavik.ini with the locator and the TLE file, copied beside it.
    void WriteSettings(const char* locator = "JO40HC", const char* tle = "three.tle")
    {
        QFile::remove(ProgramFile(QString::fromLatin1(tle)));
        ASSERT_TRUE(QFile::copy(TestData(tle), ProgramFile(QString::fromLatin1(tle))));
        WriteAll(ProgramFile(QStringLiteral("tavik.ini")), QByteArray(locator) + "\r\n" + tle + "\r\n");
    }

    ShellServices Services(std::time_t now)
    {
        ShellServices s;
        s.Now = [now] { return now; };
        s.ProgramFolder = program_.path();
        s.Formats = IsoFormats();
        s.ChooseKepFile = [this](QWidget*, const QString&) {
            ++chooserCalls_;
            return chooserAnswer_;
        };
        s.ShowMessage = [this](QWidget*, MessageKind kind, const QString& title, const QString& text) {
            messages_.push_back({kind, title, text});
        };
        return s;
    }

    void Start(std::time_t now = March5At2330)
    {
        window_ = std::make_unique<MainWindow>(Services(now));
        window_->StartUp();
        ASSERT_TRUE(WaitIdle());
    }

    // Lets the window work until no forecast or year file is running.
    bool WaitIdle(int milliseconds = 30000)
    {
        QElapsedTimer timer;
        timer.start();
        while (window_->IsBusy()) {
            if (timer.elapsed() > milliseconds) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        QCoreApplication::processEvents();
        return true;
    }

    template <typename T> T* Get(const char* name)
    {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QStringList Items(const char* list)
    {
        QStringList items;
        if (auto* l = Get<QListWidget>(list))
            for (int i = 0; i < l->count(); ++i) items << l->item(i)->text();
        return items;
    }

    QStringList ComboItems()
    {
        QStringList items;
        auto* c = Get<QComboBox>("Combo1");
        for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
        return items;
    }

    QString Text(const char* name)
    {
        if (auto* l = window_->findChild<QLabel*>(QString::fromLatin1(name))) return l->text();
        if (auto* t = window_->findChild<QLineEdit*>(QString::fromLatin1(name))) return t->text();
        ADD_FAILURE() << "no label or text box " << name;
        return {};
    }

    void SetText(const char* box, const QString& text) { Get<QLineEdit>(box)->setText(text); }

    void ShowTab(int index) { Get<QTabWidget>("SSTab1")->setCurrentIndex(index); }

    void Click(const char* button, int tab)
    {
        ShowTab(tab);
        QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton);
    }
    void Recalc() { QTest::mouseClick(Get<QPushButton>("Command3"), Qt::LeftButton); }
    void Trigger(const char* action) { Get<QAction>(action)->trigger(); }

    // What a user's choice in the box does: select the item, then report it.
    void Choose(int index)
    {
        auto* c = Get<QComboBox>("Combo1");
        c->setCurrentIndex(index);
        emit c->activated(index);
    }

    QBarSet* SunAngleSet()
    {
        auto* view = Get<QChartView>("MSChart1");
        auto* series = qobject_cast<QBarSeries*>(view->chart()->series().value(0));
        return series ? series->barSets().value(0) : nullptr;
    }

    std::vector<Message> ErrorsAndWarnings() const
    {
        std::vector<Message> out;
        for (const Message& m : messages_)
            if (m.Kind != MessageKind::Information) out.push_back(m);
        return out;
    }

    QTemporaryDir program_, work_, config_;
    QString oldCwd_;
    std::vector<Message> messages_;
    QString chooserAnswer_;
    int chooserCalls_ = 0;
    std::unique_ptr<MainWindow> window_;
};

// ------------------------------------------------------------------- layout

TEST_F(WindowTest, WindowHasItsCaptionSizeTabsAndControls)
{
    WriteSettings();
    Start();
    EXPECT_EQ(window_->objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("60 days long-range forecast for illumination (QQ0XX)"));
    EXPECT_EQ(window_->centralWidget()->size(), QSize(1002, 794));
    EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());

    auto* tabs = Get<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Illumination"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Passes"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Eclipses"));
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("Sun Angle"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->geometry(), QRect(8, 32, 987, 737));

    // Controls on the tabs are placed relative to the tab control.
    auto inTabs = [&](const char* name) {
        QWidget* w = window_->findChild<QWidget*>(QString::fromLatin1(name));
        return w ? QRect(w->mapTo(tabs, QPoint(0, 0)), w->size()) : QRect();
    };
    EXPECT_EQ(inTabs("Picture2"), QRect(8, 32, 81, 681));
    EXPECT_EQ(inTabs("Picture1"), QRect(88, 32, 889, 681));
    EXPECT_EQ(inTabs("Picture3"), QRect(80, 712, 881, 17));
    EXPECT_EQ(inTabs("Label4"), QRect(32, 712, 41, 17));
    EXPECT_EQ(inTabs("Label1_0"), QRect(24, 44, 513, 17));
    EXPECT_EQ(inTabs("Label1_1"), QRect(24, 60, 513, 17));
    EXPECT_EQ(inTabs("Label3"), QRect(808, 44, 73, 17));
    EXPECT_EQ(inTabs("List1"), QRect(24, 96, 881, 619));
    EXPECT_EQ(inTabs("Command1"), QRect(912, 688, 57, 25));
    EXPECT_EQ(inTabs("List3"), QRect(24, 48, 881, 664));
    EXPECT_EQ(inTabs("Command2"), QRect(912, 688, 57, 25));
    EXPECT_EQ(inTabs("MSChart1"), QRect(16, 32, 961, 697));
    EXPECT_EQ(Get<QProgressBar>("ProgressBar1")->geometry(), QRect(8, 776, 985, 17));
    EXPECT_EQ(Get<QComboBox>("Combo1")->geometry().topLeft(), QPoint(760, 8));
    EXPECT_EQ(Get<QComboBox>("Combo1")->width(), 233);
    EXPECT_EQ(Get<QLineEdit>("Text2")->x(), 80);
    EXPECT_EQ(Get<QLineEdit>("Text3")->x(), 152);
    EXPECT_EQ(Get<QLineEdit>("Text4")->x(), 216);
    EXPECT_EQ(Get<QPushButton>("Command3")->x(), 264);
    EXPECT_EQ(Get<QPushButton>("Command3")->text(), QStringLiteral("recalc"));
    EXPECT_EQ(Text("Label6"), QStringLiteral("start at day:"));
    EXPECT_EQ(Text("Label7"), QStringLiteral("month:"));
    EXPECT_EQ(Text("Label8"), QStringLiteral("year:"));
    EXPECT_EQ(Text("Label4"), QStringLiteral("UTC"));
    EXPECT_EQ(Get<QLabel>("Label1_1")->property("index").toInt(), 1);
}

TEST_F(WindowTest, FontsAndColoursOfTheControls)
{
    WriteSettings();
    Start();
    auto* combo = Get<QComboBox>("Combo1");
    EXPECT_TRUE(combo->font().bold());
    EXPECT_DOUBLE_EQ(combo->font().pointSizeF(), 18);
    EXPECT_EQ(combo->palette().color(QPalette::ButtonText), QColor(0, 64, 64));
    EXPECT_EQ(combo->palette().color(QPalette::Button), QColor(224, 224, 224));
    for (const char* list : {"List1", "List3"}) {
        auto* l = Get<QListWidget>(list);
        EXPECT_TRUE(QFontInfo(l->font()).fixedPitch()) << list;
        EXPECT_DOUBLE_EQ(l->font().pointSizeF(), 9) << list;
        EXPECT_EQ(l->palette().color(QPalette::Base), window_->palette().color(QPalette::Button)) << list;
    }
    EXPECT_TRUE(QFontInfo(Get<QLabel>("Label1_0")->font()).fixedPitch());
    EXPECT_TRUE(Get<QLabel>("Label4")->font().bold());
    EXPECT_TRUE(Get<QLabel>("Label3")->font().bold());
    EXPECT_TRUE(Get<QPushButton>("Command1")->font().bold());
}

TEST_F(WindowTest, MenusHoldTheirItems)
{
    WriteSettings();
    Start();
    auto* file = Get<QMenu>("MenuFile");
    EXPECT_EQ(file->title(), QStringLiteral("File"));
    ASSERT_EQ(file->actions().size(), 3);
    EXPECT_EQ(file->actions()[0]->objectName(), QStringLiteral("MenuFileOpen"));
    EXPECT_EQ(file->actions()[0]->text(), QStringLiteral("Open Kep File"));
    EXPECT_EQ(file->actions()[1]->text(), QStringLiteral("Write Sun Angle File for one year"));
    EXPECT_EQ(file->actions()[2]->text(), QStringLiteral("Exit"));
    EXPECT_EQ(Get<QAction>("MnuInfo")->text(), QStringLiteral("Info"));
    EXPECT_EQ(Get<QAction>("MnuInfo")->menu(), nullptr);
    EXPECT_STREQ(KepFileFilters[0], "TLE Files (*.txt)");
    EXPECT_STREQ(KepFileFilters[1], "All Files (*)");
}

// ----------------------------------------------------------------- start-up

TEST_F(WindowTest, StartDateIsTheUtcDateInEveryZone)
{
    // No settings file: the date is filled all the same, and nothing runs.
    for (const char* zone : {"UTC0", "LINT-14", "NZST-12NZDT,M9.5.0,M4.1.0/3", "PST8PDT,M3.2.0,M11.1.0", "IST-5:30"}) {
        ZoneScope scope(zone);
        Start();
        EXPECT_EQ(Text("Text2"), QStringLiteral("05")) << zone;
        EXPECT_EQ(Text("Text3"), QStringLiteral("03")) << zone;
        EXPECT_EQ(Text("Text4"), QStringLiteral("2024")) << zone;
        window_.reset();
    }
}

// A clock past 9999-12-31 made the start date 1899-12-30 without a word.
TEST_F(WindowTest, ClockPastTheYear9999IsReportedAndNothingRuns)
{
    WriteSettings();
    Start(253402300800); // 10000-01-01 00:00:00 UTC
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("outside the years 1 to 9999"))) << messages_[0].Text.toStdString();
    EXPECT_EQ(Text("Text2"), QStringLiteral("DD"));
    EXPECT_EQ(Text("Text4"), QStringLiteral("YYYY"));
    EXPECT_EQ(window_->Current()->SatName, "TAVSAT 1");
    EXPECT_EQ(window_->ShownResult(), nullptr);
}

TEST_F(WindowTest, StartUpShowsLocatorElementLinesItemsAndEntryOnesForecast)
{
    WriteSettings("JO40HC12");
    Start();
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->SettingsPath(), ProgramFile(QStringLiteral("tavik.ini")));
    EXPECT_EQ(Text("Label3"), QStringLiteral("JO40HC12"));
    EXPECT_EQ(Text("Label1_0"), QStringLiteral("1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995"));
    EXPECT_EQ(Text("Label1_1"), QStringLiteral("2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123455"));
    EXPECT_EQ(ComboItems(), (QStringList{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    EXPECT_EQ(Get<QComboBox>("Combo1")->currentText(), QStringLiteral("TAVSAT 1"));
    ASSERT_NE(window_->Current(), nullptr);
    EXPECT_EQ(window_->Current()->SatName, "TAVSAT 1");

    // The shown name, lines and lists belong to the same satellite.
    ASSERT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(window_->ShownResult()->SatName, "TAVSAT 1");
    EXPECT_FALSE(Items("List1").isEmpty());
    EXPECT_FALSE(Items("List3").isEmpty());
    EXPECT_TRUE(Items("List1")[0].startsWith(QStringLiteral("03/05/2024")));
    EXPECT_TRUE(Items("List3")[0].startsWith(QStringLiteral("2024-03-05")));
    EXPECT_EQ(SunAngleSet()->count(), 59);
}

TEST_F(WindowTest, MissingSettingsFileIsReportedAndTheWindowStillOpens)
{
    Start();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(ProgramFile(QStringLiteral("tavik.ini"))));
    EXPECT_TRUE(messages_[0].Text.contains(QDir(config_.path()).filePath(QStringLiteral("tavik/tavik.ini"))));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(Get<QComboBox>("Combo1")->count(), 0);
    EXPECT_EQ(Text("Label3"), QString());
    EXPECT_FALSE(window_->StationInUse().has_value());

    // A Kep file can still be opened; without a station nothing is computed,
    // and the user is told why.
    messages_.clear();
    chooserAnswer_ = TestData("three.tle");
    Trigger("MenuFileOpen");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(ComboItems(), (QStringList{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    EXPECT_EQ(window_->ShownResult(), nullptr);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("no station")));
}

TEST_F(WindowTest, SettingsFileInTheUserConfigFolderIsUsedWhenTheProgramFolderHasNone)
{
    QDir(config_.path()).mkpath(QStringLiteral("tavik"));
    const QString ini = QDir(config_.path()).filePath(QStringLiteral("tavik/tavik.ini"));
    WriteAll(ini, "JN58td\n" + QFile::encodeName(TestData("three.tle")) + "\n");
    Start();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->SettingsPath(), ini);
    EXPECT_EQ(Text("Label3"), QStringLiteral("JN58td"));
    EXPECT_EQ(Get<QComboBox>("Combo1")->count(), 3);
}

TEST_F(WindowTest, MalformedSettingsFileIsReportedNamingFileAndLine)
{
    WriteAll(ProgramFile(QStringLiteral("tavik.ini")), "ZZ99\r\nthree.tle\r\n");
    Start();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(ProgramFile(QStringLiteral("tavik.ini"))));
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("line 1")));
    EXPECT_EQ(Get<QComboBox>("Combo1")->count(), 0);
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(WindowTest, MissingKepFileIsReportedAndLeavesTheBoxEmpty)
{
    WriteAll(ProgramFile(QStringLiteral("tavik.ini")), "JO40HC\r\nnowhere.tle\r\n");
    Start();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(ProgramFile(QStringLiteral("nowhere.tle"))));
    EXPECT_EQ(Text("Label3"), QStringLiteral("JO40HC"));
    EXPECT_EQ(Get<QComboBox>("Combo1")->count(), 0);
    EXPECT_EQ(Text("Label1_0"), QStringLiteral("TLE Line1"));
}

// A named pipe in tavik.ini froze the window before it appeared: the file
// was opened on the interface thread, and opening a pipe waits for a writer.
TEST_F(WindowTest, PipeOrDeviceAsKepFileIsRefusedByNameWithoutBlocking)
{
    const QString pipe = ProgramFile(QStringLiteral("kep.tle"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    WriteAll(ProgramFile(QStringLiteral("tavik.ini")), "JO40HC\r\nkep.tle\r\n");
    window_ = std::make_unique<MainWindow>(Services(March5At2330));
    window_->StartUp();
    EXPECT_TRUE(window_->IsBusy()) << "the files are read on the worker, after StartUp has returned";
    EXPECT_TRUE(window_->isVisible());
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(pipe + QStringLiteral(": is a named pipe, not a regular file")))
        << messages_[0].Text.toStdString();
    EXPECT_EQ(Text("Label3"), QStringLiteral("JO40HC"));
    EXPECT_EQ(Get<QComboBox>("Combo1")->count(), 0);

    messages_.clear();
    chooserAnswer_ = QStringLiteral("/dev/zero");
    Trigger("MenuFileOpen");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("/dev/zero: is a device, not a regular file")))
        << messages_[0].Text.toStdString();
    EXPECT_EQ(Get<QComboBox>("Combo1")->count(), 0);
}

TEST_F(WindowTest, ElementSetThatCannotBePropagatedIsReportedByName)
{
    WriteAll(ProgramFile(QStringLiteral("broken.tle")),
             "BROKEN SAT\r\n1 90009U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995\r\n2 90009  51.6416\r\n");
    WriteAll(ProgramFile(QStringLiteral("tavik.ini")), "JO40HC\r\nbroken.tle\r\n");
    Start();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("BROKEN SAT")));
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_TRUE(Items("List1").isEmpty());
    EXPECT_FALSE(window_->IsBusy());
}

TEST_F(WindowTest, CheckDigitThatDoesNotMatchIsShownBesideTheLinesAndTheForecastRuns)
{
    WriteAll(ProgramFile(QStringLiteral("doubtful.tle")),
             "DOUBTFUL\r\n1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995\r\n"
             "2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123450\r\n");
    WriteAll(ProgramFile(QStringLiteral("tavik.ini")), "JO40HC\r\ndoubtful.tle\r\n");
    Start();
    EXPECT_TRUE(messages_.empty());
    ASSERT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(Text("LineWarning"),
              QStringLiteral("Warning: \"DOUBTFUL\": element line 2: its check digit is 0, but its columns 1-68 give 5; "
                             "the line may be damaged"));

    chooserAnswer_ = TestData("three.tle");
    Trigger("MenuFileOpen");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Text("LineWarning"), QString());
}

// ----------------------------------------------------------------- triggers

TEST_F(WindowTest, ChoosingTheThirdItemMakesEntryThreeCurrentAndFillsListsAndChart)
{
    WriteSettings();
    Start();
    const QStringList passesBefore = Items("List1");
    Choose(2);
    EXPECT_TRUE(window_->IsBusy());
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->Current()->SatName, "ORBIS M");
    EXPECT_EQ(Text("Label1_0"), QStringLiteral("1 90003U 22077A   24200.75312500 -.00000123  00000-0  10000-3 0   577"));
    EXPECT_EQ(Text("Label1_1"), QStringLiteral("2 90003  63.4215 301.2000 7201234 270.1234  15.6789  2.00612345 12348"));
    ASSERT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(window_->ShownResult()->SatName, "ORBIS M");
    EXPECT_FALSE(Items("List1").isEmpty());
    EXPECT_FALSE(Items("List3").isEmpty());
    EXPECT_NE(Items("List1"), passesBefore);
    EXPECT_EQ(Items("List1").size(), static_cast<int>(window_->ShownResult()->Passes.size()));

    QBarSet* set = SunAngleSet();
    ASSERT_EQ(set->count(), 59);
    for (int i = 0; i < 59; ++i) EXPECT_DOUBLE_EQ(set->at(i), window_->ShownResult()->DailySunAngle[static_cast<std::size_t>(i)]);
    auto* days = qobject_cast<QCategoryAxis*>(Get<QChartView>("MSChart1")->chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(days, nullptr);
    EXPECT_DOUBLE_EQ(days->min(), -0.5);
    EXPECT_DOUBLE_EQ(days->max(), 58.5);
    EXPECT_EQ(days->categoriesLabels().first(), QStringLiteral("1"));
    EXPECT_EQ(days->categoriesLabels().last(), QStringLiteral("59"));
    EXPECT_DOUBLE_EQ(days->endValue(QStringLiteral("59")), 58);
}

TEST_F(WindowTest, RecalcRunsForTheEditedStartDateAndKeepsTheHourScale)
{
    WriteSettings();
    Start();
    ASSERT_TRUE(Items("List3")[0].startsWith(QStringLiteral("2024-03-05")));
    SetText("Text2", QStringLiteral("10"));
    Recalc();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->ShownResult()->RowDates.front(), *DateTime::FromCalendar(2024, 3, 10));
    EXPECT_TRUE(Items("List3")[0].startsWith(QStringLiteral("2024-03-10"))) << Items("List3")[0].toStdString();
    EXPECT_TRUE(Items("List1")[0].startsWith(QStringLiteral("03/10/2024"))) << Items("List1")[0].toStdString();

    // The hour lines are on the strip and the numbers in the hour strip.
    const QImage strip = Get<PictureBox>("Picture1")->Image();
    const int x = PixelColumn(HourWidth(HourStripWidth));
    EXPECT_EQ(QColor(strip.pixel(x, 3)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(strip.pixel(x + 3, 3)), QColor(255, 255, 255));
    const QImage hours = Get<PictureBox>("Picture3")->Image();
    bool printed = false;
    for (int y = 0; y < hours.height() && !printed; ++y)
        for (int px = 0; px < 40 && !printed; ++px) printed = qAlpha(hours.pixel(px, y)) > 0;
    EXPECT_TRUE(printed);
}

TEST_F(WindowTest, StripShowsRowsPassBandDateColumnAndTooltip)
{
    WriteSettings();
    Start();
    const ForecastResult& r = *window_->ShownResult();
    ASSERT_TRUE(r.Completed());
    const QImage strip = Get<PictureBox>("Picture1")->Image();
    EXPECT_EQ(strip.size(), QSize(StripWidth, StripHeight));

    // Every minute of the strip is the engine's rendering with the pass band.
    PixelBuffer expected = RenderStrip(r, StripStyle{.PassBand = true});
    DrawHourLines(expected, HourWidth(HourStripWidth));
    int differing = 0, band = 0;
    for (int y = 0; y < StripHeight; ++y)
        for (int x = 0; x < StripWidth; ++x) {
            const Rgb p = expected.At(x, y);
            if (QColor(strip.pixel(x, y)) != QColor(p.R, p.G, p.B)) ++differing;
            if (p.R == 0 && p.G >= 128 && p.B == 0) ++band;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(band, 0);

    // One date label per row, its text beside the row.
    EXPECT_EQ(r.RowDates.size(), 59u);
    const QImage dates = Get<PictureBox>("Picture2")->Image();
    auto inked = [&](int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = 10; x < dates.width(); ++x)
                if (qAlpha(dates.pixel(x, y)) > 0) return true;
        return false;
    };
    EXPECT_FALSE(inked(0, RowTop(1) - 1));
    EXPECT_TRUE(inked(RowTop(1), RowTop(1) + 10));
    EXPECT_TRUE(inked(RowTop(59), RowTop(59) + 10));

    // The tooltip describes the minute under the pointer.
    int minute = -1;
    for (int m = 0; m < StepsPerDay && minute < 0; ++m)
        if (r.At(1, m)->SatElevation > 0) minute = m;
    ASSERT_GE(minute, 0);
    const int x = PixelColumn(static_cast<float>(minute) * MinuteWidth(StripWidth));
    const int shown = static_cast<int>(std::lround(x / MinuteWidth(StripWidth)));
    const MinuteRecord* rec = r.At(1, shown);
    const QString tip = window_->MinuteTip(QPoint(x, RowTop(1) + 5));
    EXPECT_TRUE(tip.startsWith(QStringLiteral("2024-03-05 %1:%2 UTC").arg(shown / 60, 2, 10, QLatin1Char('0')).arg(shown % 60, 2, 10, QLatin1Char('0'))))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(rec->InEclipse ? QStringLiteral("in shadow") : QStringLiteral("sunlit")));
    EXPECT_TRUE(tip.contains(QStringLiteral("illumination %1 %").arg(std::lround(rec->Illumination * 100))));
    EXPECT_EQ(tip.contains(QStringLiteral("elevation")), rec->SatElevation > 0);
    EXPECT_TRUE(window_->MinuteTip(QPoint(100, 5)).isEmpty());
    EXPECT_TRUE(window_->MinuteTip(QPoint(100, RowTop(60) + 2)).isEmpty());
    EXPECT_TRUE(window_->MinuteTip(QPoint(0, RowTop(59))).startsWith(QStringLiteral("2024-05-02 00:00 UTC")));
}

TEST_F(WindowTest, SaveButtonsWriteTheListsIntoTheWorkingFolder)
{
    WriteSettings();
    Start();
    Click("Command1", 1);
    const QString passes = WorkFile(QStringLiteral("TAVSAT 1_passes.txt"));
    ASSERT_TRUE(QFile::exists(passes));
    EXPECT_EQ(Text("Label5"), QStringLiteral("TAVSAT 1_passes.txt has been written"));
    QStringList lines = ReadAll(passes).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString());
    EXPECT_EQ(lines.takeFirst(), QStringLiteral("visible passes forecast for TAVSAT 1"));
    EXPECT_EQ(lines.takeFirst(), QString(121, QLatin1Char('-')));
    EXPECT_EQ(lines.size(), Items("List1").size());
    EXPECT_EQ(Text("Label2"), QString());

    Click("Command2", 2);
    const QString eclipses = WorkFile(QStringLiteral("TAVSAT 1_eclipses.txt"));
    ASSERT_TRUE(QFile::exists(eclipses));
    EXPECT_EQ(Text("Label2"), QStringLiteral("TAVSAT 1_eclipses.txt has been written"));
    lines = ReadAll(eclipses).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("eclipses forecast for TAVSAT 1"));
    EXPECT_EQ(lines[2], Items("List3")[0]);
    EXPECT_EQ(lines.size(), Items("List3").size() + 3);
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(QFile::exists(ProgramFile(QStringLiteral("TAVSAT 1_passes.txt"))));
}

// Saved in Windows-1252, Arabic AM/PM designators became "?": morning and
// evening could no longer be told apart in the file.
TEST_F(WindowTest, FilesGetFormsWindows1252HoldsAndTheUserIsToldOnce)
{
    WriteSettings();
    ShellServices services = Services(March5At2330);
    services.Formats = UsLikeFormats();
    services.Formats.AmDesignator = "\xD8\xB5";
    services.Formats.PmDesignator = "\xD9\x85";
    window_ = std::make_unique<MainWindow>(services);
    window_->StartUp();
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(messages_.empty());
    const QStringList screen = Items("List3");
    ASSERT_FALSE(screen.isEmpty());
    EXPECT_TRUE(screen[0].contains(QString::fromUtf8("\xD8\xB5")) || screen[0].contains(QString::fromUtf8("\xD9\x85")));

    for (int save = 0; save < 2; ++save) Click("Command2", 2);
    const QStringList lines = ReadAll(WorkFile(QStringLiteral("TAVSAT 1_eclipses.txt"))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), screen.size() + 3);
    const QRegularExpression twentyFourHours(QStringLiteral("^[0-9/]+ (1[3-9]|2[0-3]):[0-5][0-9]:00   ->   "));
    int afternoons = 0;
    for (int i = 2; i < lines.size() - 1; ++i) {
        EXPECT_FALSE(lines[i].contains(QLatin1Char('?'))) << lines[i].toStdString();
        afternoons += lines[i].contains(twentyFourHours);
    }
    EXPECT_GT(afternoons, 0);
    ASSERT_EQ(messages_.size(), 1u) << "said once";
    EXPECT_EQ(messages_[0].Kind, MessageKind::Information);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("24-hour time"))) << messages_[0].Text.toStdString();
    EXPECT_EQ(Items("List3"), screen) << "the screen keeps the regional forms";
}

TEST_F(WindowTest, SaveThatFailsIsReportedAndClaimsNothing)
{
    WriteSettings();
    Start();
    // A folder where the file should go: the rename over it must fail.
    ASSERT_TRUE(QDir(work_.path()).mkdir(QStringLiteral("TAVSAT 1_passes.txt")));
    Click("Command1", 1);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    // The whole path: the window shows the working folder nowhere.
    EXPECT_TRUE(messages_[0].Text.startsWith(WorkFile(QStringLiteral("TAVSAT 1_passes.txt")))) << messages_[0].Text.toStdString();
    EXPECT_FALSE(Text("Label5").contains(QStringLiteral("written")));
}

TEST_F(WindowTest, OpenKepFileReplacesTheItemsAndRunsEntryOne)
{
    WriteSettings();
    Start();
    chooserAnswer_ = TestData("five.tle");
    Trigger("MenuFileOpen");
    EXPECT_EQ(chooserCalls_, 1);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(ComboItems(), (QStringList{"HERON 4", "0 PIPIT", "TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    EXPECT_EQ(Get<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_EQ(window_->Current()->SatName, "HERON 4");
    EXPECT_TRUE(Text("Label1_0").startsWith(QStringLiteral("1 90004U")));
    ASSERT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(window_->ShownResult()->SatName, "HERON 4");

    Choose(1);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window_->Current()->SatName, "0 PIPIT");
}

TEST_F(WindowTest, CancelledOrFailedOpenKepFileChangesNothing)
{
    WriteSettings();
    Start();
    Choose(1);
    ASSERT_TRUE(WaitIdle());
    const QStringList items = ComboItems(), passes = Items("List1");
    const QString line1 = Text("Label1_0");

    chooserAnswer_.clear();
    Trigger("MenuFileOpen");
    EXPECT_EQ(chooserCalls_, 1);
    EXPECT_FALSE(window_->IsBusy());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(ComboItems(), items);
    EXPECT_EQ(Get<QComboBox>("Combo1")->currentIndex(), 1);
    EXPECT_EQ(Text("Label1_0"), line1);
    EXPECT_EQ(window_->Current()->SatName, "KESTREL-2");

    chooserAnswer_ = ProgramFile(QStringLiteral("missing.txt"));
    Trigger("MenuFileOpen");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(ProgramFile(QStringLiteral("missing.txt"))));
    EXPECT_EQ(ComboItems(), items);
    EXPECT_EQ(Items("List1"), passes);
    EXPECT_EQ(window_->Current()->SatName, "KESTREL-2");

    // A file without any satellite is refused the same way.
    messages_.clear();
    WriteAll(ProgramFile(QStringLiteral("empty.txt")), "\r\n   \r\n");
    chooserAnswer_ = ProgramFile(QStringLiteral("empty.txt"));
    Trigger("MenuFileOpen");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(ProgramFile(QStringLiteral("empty.txt"))));
    EXPECT_EQ(ComboItems(), items);
}

TEST_F(WindowTest, InfoTwiceGivesOneAboutBoxAndTheMainWindowStillWorks)
{
    WriteSettings();
    Start();
    Trigger("MnuInfo");
    AboutBox* about = window_->About();
    ASSERT_NE(about, nullptr);
    Trigger("MnuInfo");
    EXPECT_EQ(window_->About(), about);
    int boxes = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("Form2") && w->isVisible()) ++boxes;
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The main window still computes.
    SetText("Text2", QStringLiteral("07"));
    Recalc();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->ShownResult()->RowDates.front(), *DateTime::FromCalendar(2024, 3, 7));

    // Closed, it goes; the next choice brings a new one.
    about->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->About(), nullptr);
    Trigger("MnuInfo");
    EXPECT_NE(window_->About(), nullptr);
}

TEST_F(WindowTest, AboutBoxShowsItsTextsAndPicture)
{
    WriteSettings();
    Start();
    Trigger("MnuInfo");
    AboutBox* about = window_->About();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->objectName(), QStringLiteral("Form2"));
    const QPoint offCentre = about->frameGeometry().center() - window_->frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 6);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(about->size(), QSize(386, 197));
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(224, 224, 224));
    auto label = [&](const char* name) { return about->findChild<QLabel*>(QString::fromLatin1(name)); };
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("60 days long-term forcast for illumination"));
    EXPECT_TRUE(label("Label1")->font().bold());
    EXPECT_EQ(label("Label9")->text(), QStringLiteral("US Version"));
    EXPECT_EQ(label("Label9")->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(label("Label8")->text(), QStringLiteral("QQ0XX"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("Version 1.9b    (09 Dec 2019)"));
    EXPECT_EQ(label("Label2")->parentWidget()->objectName(), QStringLiteral("Frame1"));
    EXPECT_EQ(label("Label6")->text(), QStringLiteral("Homepage:"));
    EXPECT_EQ(label("Label7")->text(), QStringLiteral("e-mail:"));
    for (const char* link : {"Label4", "Label5"}) {
        EXPECT_TRUE(label(link)->font().underline()) << link;
        EXPECT_EQ(label(link)->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << link;
        EXPECT_EQ(label(link)->textInteractionFlags(), Qt::NoTextInteraction) << link;
        EXPECT_FALSE(label(link)->openExternalLinks()) << link;
    }
    ASSERT_NE(label("Image1"), nullptr);
    EXPECT_EQ(label("Image1")->pixmap().size(), QSize(159, 150));
    EXPECT_EQ(label("Image1")->geometry(), QRect(224, 32, 159, 150));
}

TEST_F(WindowTest, BadStartDateIsReportedAndTheListsStay)
{
    WriteSettings();
    Start();
    const QStringList passes = Items("List1"), eclipses = Items("List3");
    SetText("Text2", QStringLiteral("31"));
    SetText("Text3", QStringLiteral("02"));
    Recalc();
    EXPECT_FALSE(window_->IsBusy());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("day")));
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("\"31\"")));
    EXPECT_EQ(Items("List1"), passes);
    EXPECT_EQ(Items("List3"), eclipses);
    EXPECT_EQ(window_->ShownResult()->RowDates.front(), *DateTime::FromCalendar(2024, 3, 5));

    messages_.clear();
    SetText("Text2", QStringLiteral("05"));
    SetText("Text3", QStringLiteral("Mar"));
    Recalc();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("month")));
    EXPECT_EQ(Items("List1"), passes);
}

TEST_F(WindowTest, ChoiceThatCannotRunLeavesNoListsOfTheSatelliteBefore)
{
    WriteSettings();
    Start();
    ASSERT_FALSE(Items("List1").isEmpty());
    SetText("Text2", QStringLiteral("32"));
    Choose(1);
    EXPECT_FALSE(window_->IsBusy());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("\"32\"")));
    // The element lines are KESTREL-2's; TAVSAT 1's lists are gone.
    EXPECT_EQ(window_->Current()->SatName, "KESTREL-2");
    EXPECT_TRUE(Text("Label1_0").startsWith(QStringLiteral("1 90002U")));
    EXPECT_TRUE(Items("List1").isEmpty());
    EXPECT_TRUE(Items("List3").isEmpty());
    EXPECT_EQ(window_->ShownResult(), nullptr);

    // Corrected, "recalc" computes the chosen satellite.
    SetText("Text2", QStringLiteral("05"));
    Recalc();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window_->ShownResult()->SatName, "KESTREL-2");
    EXPECT_FALSE(Items("List1").isEmpty());
}

TEST_F(WindowTest, BusyStateDisablesTheTriggersUntilTheRunEnds)
{
    WriteSettings();
    Start();
    std::vector<int> progress;
    auto* bar = Get<QProgressBar>("ProgressBar1");
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { progress.push_back(v); });
    Recalc();
    ASSERT_TRUE(window_->IsBusy());
    EXPECT_FALSE(Get<QComboBox>("Combo1")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Command3")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Command1")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Command2")->isEnabled());
    EXPECT_FALSE(Get<QAction>("MenuFileOpen")->isEnabled());
    EXPECT_FALSE(Get<QAction>("MnuWriteSunYear")->isEnabled());
    EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(bar->maximum(), 60);

    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Get<QComboBox>("Combo1")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("Command3")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("Command1")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("Command2")->isEnabled());
    EXPECT_TRUE(Get<QAction>("MenuFileOpen")->isEnabled());
    EXPECT_TRUE(Get<QAction>("MnuWriteSunYear")->isEnabled());
    EXPECT_NE(window_->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(bar->value(), 0);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(*std::max_element(progress.begin(), progress.end()), 59);
    EXPECT_EQ(progress.back(), 0);
}

TEST_F(WindowTest, SunAngleYearFileGoesToTheProgramFolderAndClearsTheForecast)
{
    WriteSettings();
    Start();
    const QBarSet* set = SunAngleSet();
    const double firstDay = set->at(0);
    SetText("Text4", QStringLiteral("2024"));
    Trigger("MnuWriteSunYear");
    ASSERT_TRUE(window_->IsBusy());
    EXPECT_EQ(Get<QProgressBar>("ProgressBar1")->maximum(), 365);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(ErrorsAndWarnings().empty());
    const QString path = ProgramFile(QStringLiteral("TAVSAT 1_sowi_2024.csv"));
    ASSERT_TRUE(QFile::exists(path));
    QStringList lines = ReadAll(path).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString());
    EXPECT_EQ(lines.size(), 367);
    EXPECT_EQ(lines[0], QStringLiteral("date;sun angle;sun_lat; sun_long"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2024-01-01 ; ")));
    EXPECT_TRUE(lines[366].startsWith(QStringLiteral("2024-12-31 ; ")));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].Text.contains(path));

    // The forecast on screen is gone; the chart keeps its series.
    EXPECT_TRUE(Items("List1").isEmpty());
    EXPECT_TRUE(Items("List3").isEmpty());
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_TRUE(window_->MinuteTip(QPoint(100, 20)).isEmpty());
    EXPECT_EQ(Get<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_EQ(SunAngleSet()->count(), 59);
    EXPECT_DOUBLE_EQ(SunAngleSet()->at(0), firstDay);
    const QImage strip = Get<PictureBox>("Picture1")->Image();
    EXPECT_EQ(QColor(strip.pixel(100, RowTop(1) + 5)), QColor(255, 255, 255));
}

TEST_F(WindowTest, YearFileThatCannotBeWrittenIsReported)
{
    WriteSettings();
    Start();
    SetText("Text4", QStringLiteral("2023"));
    ASSERT_TRUE(QDir(program_.path()).mkdir(QStringLiteral("TAVSAT 1_sowi_2023.csv")));
    Trigger("MnuWriteSunYear");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(ProgramFile(QStringLiteral("TAVSAT 1_sowi_2023.csv"))));
    EXPECT_FALSE(messages_[0].Text.contains(QStringLiteral("has been written")));
    EXPECT_TRUE(Get<QComboBox>("Combo1")->isEnabled());
}

TEST_F(WindowTest, BadYearIsReportedAndChangesNothing)
{
    WriteSettings();
    Start();
    const QStringList passes = Items("List1");
    SetText("Text4", QStringLiteral("20x4"));
    Trigger("MnuWriteSunYear");
    EXPECT_FALSE(window_->IsBusy());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Kind, MessageKind::Error);
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("year")));
    EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("20x4")));
    EXPECT_EQ(Items("List1"), passes);
    EXPECT_NE(window_->ShownResult(), nullptr);
    EXPECT_TRUE(QDir(program_.path()).entryList({QStringLiteral("*.csv")}).isEmpty());
}

TEST_F(WindowTest, ExitClosesTheMainWindow)
{
    WriteSettings();
    Start();
    Trigger("MenuFileExit");
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(WindowTest, ClosingDuringARunStopsIt)
{
    WriteSettings();
    Start();
    Recalc();
    ASSERT_TRUE(window_->IsBusy());
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    window_.reset(); // must not wait for a whole run or crash
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
