// The desktop window driven through its controls, headless. Each test starts
// a window on a settings file and TLE file of its own in a temporary program
// folder, with the clock, the file chooser and the message boxes replaced.

#include "shell/AboutBox.h"
#include "shell/MainWindow.h"
#include "shell/PictureBox.h"
#include "shell/ShellServices.h"

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
        ASSERT_TRUE(program_.isValid() && work_.isValid() && config_.isValid());
        oldCwd_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(work_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); // not the settings of whoever runs the tests
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
        s.ProgramFolder = program_.path();
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

    // Lets the window work until no load, forecast or year file is running.
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
        Get<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton);
    }
    void Trigger(const char* action) { Get<QAction>(action)->trigger(); }
    // What a user's choice in the box does: select the item, then report it.
    void Choose(int index) { Get<QComboBox>("Combo1")->setCurrentIndex(index), emit Get<QComboBox>("Combo1")->activated(index); }

    QTemporaryDir program_, work_, config_;
    QString oldCwd_;
    std::vector<std::pair<MessageKind, QString>> messages_;
    QString chooserAnswer_;
    std::unique_ptr<MainWindow> window_;
};

// The start-up forecast, and again after a recalc for another day: element
// lines, both lists, every pixel of the strip with its hour lines, a date
// label per row, the hour numbers and the chart.
TEST_F(WindowTest, StartUpAndRecalcShowTheWholeForecastOfTheCurrentSatellite)
{
    WriteSettings();
    Start();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Text("Label3"), QStringLiteral("JO40HC"));
    EXPECT_EQ(Text("Label1_0"), QStringLiteral("1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995"));
    EXPECT_EQ(Text("Label1_1"), QStringLiteral("2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123455"));
    EXPECT_EQ(Items("Combo1"), (QStringList{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    ASSERT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(window_->ShownResult()->SatName, "TAVSAT 1");
    EXPECT_TRUE(Items("List1").value(0).startsWith(QStringLiteral("03/05/2024")));
    EXPECT_TRUE(Items("List3").value(0).startsWith(QStringLiteral("2024-03-05")));

    SetText("Text2", "10");
    Click("Command3");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    const ForecastResult& r = *window_->ShownResult();
    ASSERT_TRUE(r.Completed());
    EXPECT_TRUE(Items("List1").value(0).startsWith(QStringLiteral("03/10/2024")));
    EXPECT_TRUE(Items("List3").value(0).startsWith(QStringLiteral("2024-03-10")));
    EXPECT_EQ(Items("List1").size(), static_cast<int>(r.Passes.size()));
    EXPECT_EQ(Items("List3").size(), static_cast<int>(r.Eclipses.size()));

    const QImage strip = Get<PictureBox>("Picture1")->Image();
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
    const QImage dates = Get<PictureBox>("Picture2")->Image(), hours = Get<PictureBox>("Picture3")->Image();
    EXPECT_FALSE(inked(dates, 0, RowTop(1) - 1));
    EXPECT_TRUE(inked(dates, RowTop(1), RowTop(1) + 10));
    EXPECT_TRUE(inked(dates, RowTop(59), RowTop(59) + 10));
    EXPECT_TRUE(inked(hours, 0, hours.height() - 1));
    auto* series = qobject_cast<QBarSeries*>(Get<QChartView>("MSChart1")->chart()->series().value(0));
    const QBarSet* chart = series->barSets().value(0);
    ASSERT_EQ(chart->count(), 59);
    for (int i = 0; i < 59; ++i) EXPECT_DOUBLE_EQ(chart->at(i), r.DailySunAngle[static_cast<std::size_t>(i)]);
}

// The files are read on the worker, after StartUp has returned: a named pipe
// in tavik.ini froze the window before it appeared. A clock past 9999-12-31
// made the start date 1899-12-30 without a word. Whatever is wrong is said,
// naming the file; the window opens and computes nothing.
TEST_F(WindowTest, StartUpProblemIsReportedByNameWithoutBlocking)
{
    WriteAll(ProgramFile("broken.tle"),
             "BROKEN SAT\r\n1 90009U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995\r\n2 90009  51.6416\r\n");
    ASSERT_EQ(mkfifo(QFile::encodeName(ProgramFile("kep.tle")).constData(), 0600), 0);
    WriteSettings();
    const struct {
        std::optional<QByteArray> Ini;
        QStringList Says;
        std::time_t Now = March5At2330;
    } rows[] = {
        {"ZZ99\r\nthree.tle\r\n", {ProgramFile("tavik.ini"), "line 1"}},
        {"JO40HC\r\nnowhere.tle\r\n", {ProgramFile("nowhere.tle")}},
        {"JO40HC\r\nkep.tle\r\n", {ProgramFile("kep.tle: is a named pipe, not a regular file")}},
        {"JO40HC\r\nbroken.tle\r\n", {"BROKEN SAT"}},
        {"JO40HC\r\nthree.tle\r\n", {"outside the years 1 to 9999"}, 253402300800}, // 10000-01-01
        {std::nullopt, {ProgramFile("tavik.ini"), QDir(config_.path()).filePath("tavik/tavik.ini")}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Says.join(' ').toStdString());
        QFile::remove(ProgramFile("tavik.ini"));
        if (row.Ini) WriteAll(ProgramFile("tavik.ini"), *row.Ini);
        StartOnly(row.Now);
        EXPECT_TRUE(window_->IsBusy());
        EXPECT_TRUE(window_->isVisible());
        ASSERT_TRUE(WaitIdle());
        const QString text = OnlyMessage();
        for (const QString& part : row.Says) EXPECT_TRUE(text.contains(part)) << text.toStdString();
        EXPECT_EQ(window_->ShownResult(), nullptr);
        EXPECT_TRUE(Items("List1").isEmpty());
    }
}

// A choice reruns for the chosen satellite. A start date that cannot be used
// is refused naming the box and keeps the lists; a choice that cannot run
// leaves no lists of the satellite before beside the new lines.
TEST_F(WindowTest, ChoiceRerunsAndABadStartDateIsRefusedNamingTheBox)
{
    WriteSettings();
    Start();
    const QStringList first = Items("List1");
    Choose(2);
    EXPECT_TRUE(window_->IsBusy());
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->ShownResult()->SatName, "ORBIS M");
    EXPECT_EQ(Text("Label1_0"), QStringLiteral("1 90003U 22077A   24200.75312500 -.00000123  00000-0  10000-3 0   577"));
    const QStringList orbis = Items("List1");
    EXPECT_NE(orbis, first);

    SetText("Text2", "29");
    SetText("Text3", "02");
    SetText("Text4", "2100");
    Click("Command3");
    EXPECT_FALSE(window_->IsBusy());
    EXPECT_TRUE(OnlyMessage().startsWith(QStringLiteral("The day \"29\" does not exist: February 2100 has 28 days.")));
    SetText("Text4", "2024");
    SetText("Text3", "Mar");
    Click("Command3");
    EXPECT_TRUE(OnlyMessage().startsWith(QStringLiteral("The month \"Mar\" is not a whole number.")));
    EXPECT_EQ(Items("List1"), orbis);

    Choose(1);
    EXPECT_TRUE(OnlyMessage().contains(QStringLiteral("\"Mar\"")));
    EXPECT_TRUE(Text("Label1_0").startsWith(QStringLiteral("1 90002U")));
    EXPECT_TRUE(Items("List1").isEmpty());
    EXPECT_TRUE(Items("List3").isEmpty());
    EXPECT_EQ(window_->ShownResult(), nullptr);
}

// "Open Kep File" reads on the worker and runs entry 1; cancelled, missing,
// without satellites or a device, it changes nothing. A changed digit under
// its old check digit was taken without a word: it is shown beside the
// lines, and goes with them.
TEST_F(WindowTest, OpenKepFileRunsEntryOneAndACancelOrFailureChangesNothing)
{
    WriteAll(ProgramFile("doubtful.tle"),
             "DOUBTFUL\r\n1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995\r\n"
             "2 90001  51.6416 247.4627 0012345 130.5360 123.4567 15.50123456123450\r\n");
    WriteAll(ProgramFile("tavik.ini"), "JO40HC\r\ndoubtful.tle\r\n");
    Start();
    EXPECT_NE(window_->ShownResult(), nullptr);
    EXPECT_EQ(Text("LineWarning"), QStringLiteral("Warning: \"DOUBTFUL\": element line 2: its check digit is 0, but its "
                                                  "columns 1-68 give 5; the line may be damaged"));
    chooserAnswer_ = TestData("five.tle");
    Trigger("MenuFileOpen");
    EXPECT_TRUE(window_->IsBusy());
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Text("LineWarning"), QString());
    const QStringList items = Items("Combo1"), passes = Items("List1");
    EXPECT_EQ(items, (QStringList{"HERON 4", "0 PIPIT", "TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    EXPECT_EQ(window_->ShownResult()->SatName, "HERON 4");

    WriteAll(ProgramFile("empty.txt"), "\r\n   \r\n");
    for (const QString& answer : {QString(), ProgramFile("missing.txt"), ProgramFile("empty.txt"), QStringLiteral("/dev/zero")}) {
        chooserAnswer_ = answer;
        Trigger("MenuFileOpen");
        ASSERT_TRUE(WaitIdle());
        EXPECT_TRUE(answer.isEmpty() || OnlyMessage().contains(answer));
        EXPECT_TRUE(messages_.empty());
        EXPECT_EQ(Items("Combo1"), items);
        EXPECT_EQ(Items("List1"), passes);
        EXPECT_EQ(window_->Current()->SatName, "HERON 4");
    }
}

// The lists go into the working folder, a failure naming the whole path
// since the window shows that folder nowhere. Saved in Windows-1252, Arabic
// AM/PM designators became "?": morning and evening could no longer be told
// apart. The file takes 24-hour time, and the user is told once.
TEST_F(WindowTest, SaveWritesTheListsInFormsWindows1252HoldsAndAFailureNamesTheWholePath)
{
    WriteSettings();
    RegionalFormats arabic = UsLikeFormats();
    arabic.AmDesignator = "\xD8\xB5";
    arabic.PmDesignator = "\xD9\x85";
    Start(arabic);
    Click("Command1", 1);
    EXPECT_EQ(Text("Label5"), QStringLiteral("TAVSAT 1_passes.txt has been written"));
    const QStringList passes = FileLines(WorkFile("TAVSAT 1_passes.txt"));
    EXPECT_EQ(passes.value(0), QStringLiteral("visible passes forecast for TAVSAT 1"));
    EXPECT_EQ(passes.mid(2, passes.size() - 3), Items("List1"));
    const QStringList screen = Items("List3");
    EXPECT_TRUE(screen.value(0).contains(QRegularExpression(QString::fromUtf8("\xD8\xB5|\xD9\x85"))));
    Click("Command2", 2);
    Click("Command2", 2);
    EXPECT_EQ(Text("Label2"), QStringLiteral("TAVSAT 1_eclipses.txt has been written"));
    const QStringList eclipses = FileLines(WorkFile("TAVSAT 1_eclipses.txt"));
    ASSERT_EQ(eclipses.size(), screen.size() + 3);
    int afternoons = 0;
    for (const QString& line : eclipses) {
        EXPECT_FALSE(line.contains(QLatin1Char('?'))) << line.toStdString();
        afternoons += line.contains(QRegularExpression(QStringLiteral("^[0-9/]+ (1[3-9]|2[0-3]):[0-5][0-9]:00   ->   ")));
    }
    EXPECT_GT(afternoons, 0);
    EXPECT_TRUE(OnlyMessage(MessageKind::Information).contains(QStringLiteral("24-hour time")));
    EXPECT_EQ(Items("List3"), screen) << "the screen keeps the regional forms";

    ASSERT_TRUE(QFile::remove(WorkFile("TAVSAT 1_passes.txt")));
    ASSERT_TRUE(QDir(work_.path()).mkdir(QStringLiteral("TAVSAT 1_passes.txt")));
    Click("Command1", 1);
    EXPECT_TRUE(OnlyMessage().startsWith(WorkFile("TAVSAT 1_passes.txt has not been written")));
    EXPECT_EQ(Text("Label5"), QString());
}

// The year file goes to the program folder and takes the place of the
// forecast; a year that is no year and a file that cannot be written are said.
TEST_F(WindowTest, YearFileIsWrittenToTheProgramFolderAndAFailureIsReported)
{
    WriteSettings();
    Start();
    SetText("Text4", "20x4");
    Trigger("MnuWriteSunYear");
    EXPECT_FALSE(window_->IsBusy());
    EXPECT_TRUE(OnlyMessage().startsWith(QStringLiteral("The year \"20x4\" is not a whole number.")));
    EXPECT_NE(window_->ShownResult(), nullptr);

    SetText("Text4", "2024");
    Trigger("MnuWriteSunYear");
    EXPECT_TRUE(window_->IsBusy());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(OnlyMessage(MessageKind::Information), ProgramFile("TAVSAT 1_sowi_2024.csv has been written"));
    const QStringList lines = FileLines(ProgramFile("TAVSAT 1_sowi_2024.csv"));
    ASSERT_EQ(lines.size(), 368);
    EXPECT_EQ(lines[0], QStringLiteral("date;sun angle;sun_lat; sun_long"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2024-01-01 ; ")));
    EXPECT_TRUE(lines[366].startsWith(QStringLiteral("2024-12-31 ; ")));
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_TRUE(Items("List1").isEmpty());

    SetText("Text4", "2023");
    ASSERT_TRUE(QDir(program_.path()).mkdir(QStringLiteral("TAVSAT 1_sowi_2023.csv")));
    Trigger("MnuWriteSunYear");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(OnlyMessage().startsWith(ProgramFile("TAVSAT 1_sowi_2023.csv has not been written")));
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
    Click("Command3");
    ASSERT_TRUE(window_->IsBusy());
    Trigger("MenuFileExit");
    held.release(threads);
    pool->waitForDone();
    EXPECT_FALSE(window_->isVisible());
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window_->ShownResult(), nullptr);
    EXPECT_TRUE(Items("List1").isEmpty());
    EXPECT_TRUE(Items("List3").isEmpty());
    EXPECT_TRUE(messages_.empty());
}

// The about box's texts, exactly; "Info" twice gives one box, and it does
// not block the main window.
TEST_F(WindowTest, AboutBoxIsOneWithItsTextsExact)
{
    WriteSettings();
    Start();
    Trigger("MnuInfo");
    AboutBox* about = window_->About();
    ASSERT_NE(about, nullptr);
    Trigger("MnuInfo");
    EXPECT_EQ(window_->About(), about);
    EXPECT_FALSE(about->isModal());
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
