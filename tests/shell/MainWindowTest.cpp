// The window driven through its controls, headless, with clock, choosers and message boxes replaced.

#include "shell/AboutBox.h"
#include "shell/DopplerPlot.h"
#include "shell/IlluminationView.h"
#include "shell/MainWindow.h"
#include "shell/PassDetailsView.h"
#include "shell/PictureBox.h"
#include "shell/ShellServices.h"
#include "shell/SkyNowPanel.h"
#include "shell/SkyPlot.h"
#include "shell/UpcomingView.h"
#include "shell/StationDialog.h"
#include "shell/SunAngleChart.h"
#include "shell/YearView.h"

#include "catalogue/Settings.h"
#include "forecast/StripChart.h"
#include "forecast/Upcoming.h"
#include "orbit/Doppler.h"
#include "platform/Clock.h"
#include "output/YearReport.h"

#include <gtest/gtest.h>

#include <QtCharts>
#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>


// A text in a failure message, as GoogleTest would otherwise show its bytes.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using namespace tavik;
using namespace tavik::shell;

constexpr std::time_t March5At2330 = 1709681400; // 2024-03-05 23:30:00 UTC
constexpr std::time_t January2027 = 1798761600;  // 2027-01-01 00:00:00 UTC

QString TestData(const char* name) { return QStringLiteral(TAVIK_TEST_DATA "/") + QString::fromLatin1(name); }

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QStringList FileLines(const QString& path) { return QString::fromLatin1(Bytes(path)).split(QStringLiteral("\r\n")); }
void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program_.isValid());
        ASSERT_TRUE(config_.isValid());
        ASSERT_TRUE(QDir::setCurrent(work_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); // not the settings of whoever runs the tests
    }
    void TearDown() override
    {
        window_.reset();
        QDir::setCurrent(oldCwd_);
    }
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
        ShellServices services;
        services.Now = [now] { return now; };
        services.ProgramFolder = programFolder_;
        services.Formats = std::move(formats);
        services.DocumentsFolder = documents_.path();
        services.ChooseTleFile = [this](QWidget*, const QString&) { return chooserAnswer_; };
        services.ShowMessage = [this](QWidget*, MessageKind kind, const QString&, const QString& text) {
            messages_.push_back({kind, text});
        };
        services.AskUpdateUrl = [this](QWidget*, const QString&, const QString& previous) {
            previousUrl_ = previous;
            return UpdateRequest(updateUrl_, updateMode_);
        };
        services.Confirm = [this](QWidget*, const QString&, const QString& text) {
            questions_.push_back(text);
            return confirmAnswer_;
        };
        services.ChooseExport = [this](QWidget*, const QString&, const QString&, const QString& filterNote) {
            exportFilterNote_ = filterNote;
            return std::optional<ExportChoice>({true, exportFormat_, exportPath_, exportAll_});
        };
        window_ = std::make_unique<MainWindow>(std::move(services));
        window_->StartUp();
    }
    void Start(std::time_t now = March5At2330, RegionalFormats formats = IsoFormats())
    {
        StartOnly(now, std::move(formats));
        ASSERT_TRUE(WaitIdle());
    }
    // Lets the window work until it is idle; only a hung window reaches the minute's bound.
    bool WaitIdle()
    {
        const bool idle = QTest::qWaitFor([this] { return !window_->IsBusy(); }, 60000);
        QCoreApplication::processEvents();
        return idle;
    }
    QString OnlyMessage(MessageKind kind = MessageKind::Error)
    {
        const std::pair<MessageKind, QString> m = messages_.empty() ? std::pair(kind, QString()) : messages_.back();
        EXPECT_EQ(messages_.size(), 1u) << m.second.toStdString();
        EXPECT_EQ(m.first, kind) << m.second.toStdString();
        messages_.clear();
        return m.second;
    }
    template <typename T> T* Get(const char* name) { return window_->findChild<T*>(QString::fromLatin1(name)); }
    QStringList Items(const char* name)
    {
        const QAbstractItemModel* m =
            Get<QListWidget>(name) ? Get<QListWidget>(name)->model() : Get<QComboBox>(name)->model();
        QStringList items;
        for (int i = 0; i < m->rowCount(); ++i) items << m->index(i, 0).data().toString();
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
    void Trigger(const char* action)
    {
        Get<QAction>(action)->trigger();
        ASSERT_TRUE(WaitIdle());
    }
    void Choose(int i)
    {
        Get<QComboBox>("SatelliteBox")->setCurrentIndex(i);
        emit Get<QComboBox>("SatelliteBox")->activated(i);
        WaitIdle();
    }
    // Fills the Station dialog the start opened with the locator and the test TLE file, and presses OK.
    void AcceptStation(const char* locator = "JO40HC")
    {
        StationDialog* dialog = window_->StationEditor();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("LocatorEdit")->setText(QString::fromLatin1(locator));
        dialog->findChild<QLineEdit*>("TleFileEdit")->setText(TestData("three.tle"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
        ASSERT_TRUE(WaitIdle());
    }
    // A server on the window's own loop answering every GET with body, a path "/stall…" with the header alone.
    QString Serve(const QByteArray& body)
    {
        served_ = body;
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server_.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                if (const QByteArray head = s->peek(4096); head.contains("\r\n\r\n"))
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(served_.size()) + "\r\n\r\n"
                             + (head.startsWith("GET /stall") ? QByteArray() : served_));
            });
        });
        return QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort());
    }

    QTemporaryDir program_, work_, config_, documents_;
    QString oldCwd_ = QDir::currentPath();
    QString programFolder_ = program_.path();
    QString chooserAnswer_, updateUrl_, previousUrl_, exportPath_, exportFilterNote_;
    ExportFormat exportFormat_ = ExportFormat::Ics;
    bool exportAll_ = false;

    std::vector<std::pair<MessageKind, QString>> messages_;
    UpdateMode updateMode_ = UpdateMode::Merge;
    bool confirmAnswer_ = false;
    QStringList questions_;
    QTcpServer server_;
    QByteArray served_;
    std::unique_ptr<MainWindow> window_;
};

// The window started on JO40HC and three.tle, its first forecast on screen.
class StartedWindow : public WindowTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(WindowTest::SetUp());
        WriteSettings();
        Start();
    }
};

// The start-up forecast, and again after Enter in the day box: lines and age, lists, strip pixels, labels, chart.
TEST_F(StartedWindow, StartUpAndRecalcShowTheWholeForecast)
{
    EXPECT_EQ(Text("LocatorLabel"), QStringLiteral("JO40HC"));
    EXPECT_EQ(Text("ElementLine1"), "1 90001U 20101A   20345.51234567  .00001234  00000-0  23456-4 0  9995");
    EXPECT_EQ(Text("ElementAge"), "Elements 1180.5 days old at the start date: passes drift, get fresh elements.");

    SetText("StartDayEdit", "10");
    QTest::keyClick(Get<QLineEdit>("StartDayEdit"), Qt::Key_Return);
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(messages_.empty());
    ASSERT_TRUE(window_->ShownResult()->Completed());
    const ForecastResult& r = *window_->ShownResult();
    EXPECT_TRUE(Items("PassList").value(0).startsWith("03/10/2024"));
    EXPECT_TRUE(Items("EclipseList").value(0).startsWith("2024-03-10"));
    EXPECT_EQ(Items("PassList").size(), int(r.Passes.size()));

    PixelBuffer expected = RenderStrip(r, StripStyle{.PassBand = true});
    DrawHourLines(expected, HourWidth(HourStripWidth));
    QImage want(StripWidth, StripHeight, QImage::Format_RGB888);
    for (int y = 0; y < StripHeight; ++y)
        for (int x = 0; x < StripWidth; ++x) {
            const Rgb c = expected.At(x, y);
            want.setPixelColor(x, y, QColor(c.R, c.G, c.B));
        }
    // Compared whole, not printed: a failure would show the bytes of two images.
    EXPECT_TRUE(Get<PictureBox>("StripChart")->Image().convertToFormat(QImage::Format_RGB888) == want);
    // The dates stand in their rows, none above the first; the hour numbers are drawn right of the UTC label.
    auto inked = [this](const char* widget, QRect area) {
        const QImage image = Get<QWidget>(widget)->grab().toImage();
        const QColor paper = image.pixelColor(0, 0);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixelColor(x, y) != paper) return true;
        return false;
    };
    const auto rows = [this](int first, int last) {
        const double scale = Get<IlluminationView>("IlluminationView")->RowScale();
        return QRect(0, int(RowTop(first) * scale), 80, int((RowTop(last) + 10) * scale) - int(RowTop(first) * scale));
    };
    EXPECT_FALSE(inked("DateColumn", rows(0, 0).adjusted(0, 0, 0, -1)));
    EXPECT_TRUE(inked("DateColumn", rows(59, 59)));
    const QWidget* utc = Get<QWidget>("UtcLabel");
    EXPECT_TRUE(inked("HourStrip", QRect(utc->geometry().right() + 4, 0, 200, utc->height())));
    const SunAngleChart* chart = Get<SunAngleChart>("SunAngleChart");
    ASSERT_EQ(chart->Bars()->count(), 59);
    for (int i = 0; i < 59; ++i) EXPECT_DOUBLE_EQ(chart->Bars()->at(i), r.DailySunAngle[static_cast<std::size_t>(i)]);

    // "Info" twice gives one box.
    Trigger("InfoAction");
    const AboutBox* about = window_->About();
    Trigger("InfoAction");
    ASSERT_TRUE(about);
    ASSERT_EQ(window_->About(), about);
    // The Info box kept the program running after File > Exit; Escape did nothing.
    QTest::keyClick(window_->About(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->About(), nullptr);
    Trigger("InfoAction");
    ASSERT_NE(window_->About(), nullptr);
    window_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->About(), nullptr);
}

// Unusable settings ended in "correct the settings file and restart": the Station dialog names the file.
TEST_F(WindowTest, StartUpProblemOpensTheStationDialogNamingTheFile)
{
    WriteSettings();
    const struct {
        std::optional<QByteArray> Ini;
        QString Says;
        std::time_t Now = March5At2330;
    } rows[] = {
        {"ZZ99\r\nthree.tle\r\n", ProgramFile("tavik.ini: line 1")},
        {"JO40HC\r\nnowhere.tle\r\n", ProgramFile("nowhere.tle")},
        {std::nullopt, QDir(config_.path()).filePath("tavik/tavik.ini")},
        {"JO40HC\r\nthree.tle\r\n", "outside the years 1 to 9999", 253402300800}, // 10000-01-01
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Says.toStdString());
        QFile::remove(ProgramFile("tavik.ini"));
        if (row.Ini) WriteAll(ProgramFile("tavik.ini"), *row.Ini);
        StartOnly(row.Now);
        EXPECT_TRUE(window_->IsBusy());
        EXPECT_TRUE(window_->isVisible());
        EXPECT_TRUE(WaitIdle());
        EXPECT_FALSE(window_->ShownResult());
        const QLabel* why = window_->StationEditor() ? window_->StationEditor()->findChild<QLabel*>("Why") : nullptr;
        const QString text = why ? why->text() : OnlyMessage();
        EXPECT_TRUE(text.contains(row.Says)) << text.toStdString();
    }
}

// First run of an installed program (folder not writable): settings to the user's folder, year file to documents.
TEST_F(WindowTest, StationDialogWritesSettingsTheReaderAcceptsAndRefusesABadLocator)
{
    WriteAll(ProgramFile("plain"), "not a folder");
    programFolder_ = ProgramFile("plain/bin");
    Start();
    StationDialog* dialog = window_->StationEditor();
    ASSERT_NE(dialog, nullptr);
    auto* ok = dialog->findChild<QPushButton*>("OkButton");
    const QLabel* position = dialog->findChild<QLabel*>("PositionLabel");
    dialog->findChild<QLineEdit*>("LocatorEdit")->setText("JO4");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(position->text().contains(QStringLiteral("4, 6, 8 or 10"))) << position->text().toStdString();
    dialog->findChild<QLineEdit*>("LocatorEdit")->setText(QStringLiteral("jo40hc"));
    EXPECT_EQ(position->text(), QStringLiteral("latitude 50.083° N, longitude 8.583° E"));
    AcceptStation("jo40hc");
    const QString ini = QDir(config_.path()).filePath("tavik/tavik.ini");
    const Settings read = ReadSettings(ini.toStdString());
    EXPECT_EQ(read.StationLocator, "JO40HC");
    EXPECT_EQ(read.TleFilePath, TestData("three.tle").toStdString());
    EXPECT_TRUE(window_->ShownResult());
    Trigger("YearFileAction");
    EXPECT_EQ(OnlyMessage(MessageKind::Information),
              QDir(documents_.path()).filePath("TAVSAT 1_sowi_2024.csv has been written"));
}

// The Station dialog overwrote a link to a copy of /etc/passwd and cut a 1.6 MB file to 1 MiB it had called unusable.
TEST_F(WindowTest, UnusableSettingsFileIsLeftAsItIsAndTheUsersOwnIsWrittenAndTakenInstead)
{
    ASSERT_TRUE(QFile::copy(TestData("three.tle"), ProgramFile("three.tle")));
    const QString ini = ProgramFile("tavik.ini");
    const QString copy = ProgramFile("passwd");
    const QString user = QDir(config_.path()).filePath("tavik/tavik.ini");
    const struct { const char* Name; QByteArray Bytes; bool Linked; } rows[] = {
        {"LinkToACopyOfThePasswordFile", "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1::/usr/sbin:/bin/false\n", true},
        {"LargerThanOneMiB", "JO40HC\r\nthree.tle\r\n" + QByteArray(1 << 20, '#') + "\r\n", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        for (const QString& gone : {ini, copy, user}) QFile::remove(gone);
        WriteAll(row.Linked ? copy : ini, row.Bytes);
        if (row.Linked) {
            ASSERT_TRUE(QFile::link(copy, ini));
        }
        Start();
        ASSERT_NE(window_->StationEditor(), nullptr);
        EXPECT_TRUE(window_->StationEditor()->findChild<QLabel*>("Why")->text().contains(ini));
        AcceptStation();
        EXPECT_EQ(Bytes(row.Linked ? copy : ini), row.Bytes);
        EXPECT_EQ(QFileInfo(ini).isSymLink(), row.Linked);
        EXPECT_EQ(OnlyMessage(MessageKind::Information),
                  ini + " cannot be used as a settings file and is left as it is; the settings have been saved in "
                      + user + ".");
        EXPECT_EQ(ReadSettings(user.toStdString()).StationLocator, "JO40HC");
        window_.reset();
        Start();
        EXPECT_EQ(window_->StationEditor(), nullptr);
        EXPECT_EQ(window_->SettingsPath(), user);
        const QString skipped = OnlyMessage(MessageKind::Warning);
        EXPECT_TRUE(skipped.contains(ini)) << skipped.toStdString();
        EXPECT_TRUE(skipped.endsWith("the settings in " + user + " are used.")) << skipped.toStdString();
        EXPECT_EQ(Bytes(row.Linked ? copy : ini), row.Bytes);
        window_.reset();
    }
}

// Where the user's own file cannot be used either, nothing is written and the message says which file is in the way.
TEST_F(WindowTest, StationDialogWritesNoFileWhereNeitherSettingsFileCanBeUsed)
{
    const QString user = QDir(config_.path()).filePath("tavik/tavik.ini");
    const QByteArray passwd = "root:x:0:0:root:/root:/bin/bash\n";
    ASSERT_TRUE(QDir().mkpath(QDir(config_.path()).filePath("tavik")));
    WriteAll(ProgramFile("tavik.ini"), passwd);
    WriteAll(user, passwd);
    Start();
    AcceptStation();
    EXPECT_TRUE(OnlyMessage().contains(user + " cannot be used as a settings file and is left as it is"));
    EXPECT_EQ(Bytes(ProgramFile("tavik.ini")), passwd);
    EXPECT_EQ(Bytes(user), passwd);
}

// A bad start date is refused and keeps the lists; "26" is 2026; a choice that cannot run leaves no old lists.
TEST_F(StartedWindow, ChoiceRerunsAndABadStartDateIsRefusedNamingTheBox)
{
    Click("SavePassesButton", 1);
    Choose(2);
    // A passes file of the satellite before is not this one's.
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(Text("PassesStatus").isEmpty());
    const QStringList orbis = Items("PassList");
    SetText("StartDayEdit", "29");
    SetText("StartMonthEdit", "02");
    SetText("StartYearEdit", "2100");
    Click("RecalcButton");
    EXPECT_TRUE(OnlyMessage().startsWith(QStringLiteral("The day \"29\" does not exist: February 2100 has 28 days.")));
    EXPECT_EQ(Items("PassList"), orbis);
    SetText("StartDayEdit", "05");
    SetText("StartMonthEdit", "03");
    SetText("StartYearEdit", "26");
    Click("RecalcButton");
    EXPECT_EQ(window_->ShownResult()->Start, *DateTime::FromCalendar(2026, 3, 5));
    EXPECT_EQ(Get<QLineEdit>("StartYearEdit")->text(), QStringLiteral("2026"));
    SetText("StartMonthEdit", "Mar");
    Choose(1);
    EXPECT_TRUE(OnlyMessage().contains(QStringLiteral("\"Mar\"")));
    EXPECT_TRUE(Text("ElementLine1").startsWith(QStringLiteral("1 90002U")));
    EXPECT_TRUE(Items("PassList").isEmpty());
    EXPECT_FALSE(Get<QPushButton>("SavePassesButton")->isEnabled());
}

// Typing "ISS" or "SO-50" and pressing Enter went back to the satellite before: Enter takes the best match.
TEST_F(StartedWindow, EnterInTheSatelliteBoxChoosesTheBestMatchOfWhatWasTyped)
{
    QLineEdit* typed = Get<QComboBox>("SatelliteBox")->lineEdit();
    const std::pair<const char*, const char*> cases[] = {
        {"orbis", "ORBIS M"},        // part of a name, in another case
        {"kestrel-2", "KESTREL-2"},  // a whole name in another case
        {"S", "TAVSAT 1"},           // several hold it: the first listed
        {"no such", "TAVSAT 1"},     // none: the satellite in use stays
    };
    for (const auto& [text, chosen] : cases) {
        typed->setText(QString::fromLatin1(text));
        QTest::keyClick(typed, Qt::Key_Return);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(window_->ShownResult()->SatName, chosen) << text;
        EXPECT_EQ(typed->text(), QString::fromLatin1(chosen)) << text;
    }
}

// Long names were cut at the left ("SAT 1C (SO-50)" showed its end).
TEST_F(WindowTest, SatelliteBoxShowsALongNameWhole)
{
    const QByteArray three = Bytes(TestData("three.tle"));
    WriteAll(ProgramFile("long.tle"), "SAT 1C (SO-50) AMSAT-NA" + three.mid(three.indexOf("\r\n")));
    WriteAll(ProgramFile("tavik.ini"), "JO40HC\r\nlong.tle\r\n");
    Start();
    const QComboBox* box = Get<QComboBox>("SatelliteBox");
    const QLineEdit* shown = box->lineEdit();
    EXPECT_EQ(shown->cursorPosition(), 0);
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->text()), shown->contentsRect().width());
}

// A failed "Open Kep File" changes nothing; last file, satellite and model come back; tavik.ini's two lines stay.
TEST_F(StartedWindow, OpenTleFileIsRememberedAndACancelOrFailureChangesNothing)
{
    chooserAnswer_ = TestData("five.tle");
    Trigger("OpenAction");
    const QStringList items = Items("SatelliteBox");
    EXPECT_EQ(items, (QStringList{"HERON 4", "0 PIPIT", "TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    Choose(1);
    Trigger("Sgp4ModelAction");
    const QStringList passes = Items("PassList");
    // A text file of two lines showed a satellite "hello", 9,838 days old, and was remembered for every start.
    WriteAll(ProgramFile("hello.txt"), "hello\r\nworld\r\n");
    for (const QString& answer : {QString(), ProgramFile("missing.txt"), ProgramFile("hello.txt")}) {
        chooserAnswer_ = answer;
        Trigger("OpenAction");
        if (!answer.isEmpty()) {
            const QString message = OnlyMessage();
            EXPECT_TRUE(message.contains(answer)) << message.toStdString();
        }
        EXPECT_EQ(Items("SatelliteBox"), items);
        EXPECT_EQ(Items("PassList"), passes);
    }
    EXPECT_EQ(FileLines(ProgramFile("tavik.ini")).mid(0, 2), (QStringList{"JO40HC", "three.tle"}));
    window_.reset();
    Start();
    EXPECT_EQ(Items("SatelliteBox"), items);
    EXPECT_EQ(Items("PassList"), passes);
    EXPECT_TRUE(Get<QAction>("Sgp4ModelAction")->isChecked());
}

// The download runs on the window's event loop, as the server here does: the window is busy when the menu returns.
TEST_F(StartedWindow, UpdateElementSetsReloadsKeepingTheChoiceAndACancelChangesNothing)
{
    Choose(1);
    const QByteArray old = Bytes(ProgramFile("three.tle"));
    const QString base = Serve(Bytes(TestData("five.tle")));
    updateUrl_ = base + "stall";
    Get<QAction>("UpdateAction")->trigger();
    ASSERT_TRUE(window_->IsBusy());
    ASSERT_TRUE(Get<QProgressDialog>("UpdateProgress"));
    Get<QProgressDialog>("UpdateProgress")->findChild<QPushButton*>()->click();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Bytes(ProgramFile("three.tle")), old);
    // By default the file's own entries only: the two new ones are listed, and the file stays as it was.
    updateUrl_ = base + "five.tle";
    Trigger("UpdateAction");
    const QString merged = OnlyMessage(MessageKind::Information);
    EXPECT_TRUE(merged.contains(QStringLiteral("only in the download, not added: 2 (HERON 4 (")))
        << merged.toStdString();
    updateMode_ = UpdateMode::AddNew;
    Trigger("UpdateAction");
    EXPECT_TRUE(OnlyMessage(MessageKind::Information).contains(QStringLiteral("added: 2 (HERON 4 (")));
    EXPECT_EQ(Items("SatelliteBox").size(), 5);
    EXPECT_EQ(window_->Current()->SatName, "KESTREL-2");
    EXPECT_TRUE(questions_.isEmpty());
    window_.reset();
    Start();
    Trigger("UpdateAction");
    EXPECT_EQ(previousUrl_, base + "five.tle");
    messages_.clear();
    updateUrl_ = QStringLiteral("http://127.0.0.1:1/five.tle"); // nothing listens there
    Trigger("UpdateAction");
    EXPECT_TRUE(OnlyMessage().contains(QStringLiteral("has not been updated")));
    // The status line kept saying "Downloading …" after a failed update.
    EXPECT_TRUE(window_->statusBar()->currentMessage().startsWith(QStringLiteral("Update failed;")));
}

// A replacement that would remove entries says which, and the shown satellite, and is done only after a yes.
TEST_F(StartedWindow, UpdateThatReplacesAsksFirstNamingTheEntriesItRemoves)
{
    Choose(1);
    const QByteArray old = Bytes(ProgramFile("three.tle"));
    const QByteArray orbis = old.mid(old.indexOf("ORBIS M"));
    updateUrl_ = Serve(orbis) + "orbis.tle";
    updateMode_ = UpdateMode::Replace;
    Trigger("UpdateAction");
    ASSERT_EQ(questions_.size(), 1);
    for (const char* said : {"removes 2 of its entries:\n\nTAVSAT 1 (90001)\nKESTREL-2 (90002)",
                             "The satellite shown, KESTREL-2, is among them.", "three.tle.bak. Replace the file?"})
        EXPECT_TRUE(questions_.front().contains(QString::fromLatin1(said))) << questions_.front().toStdString();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Bytes(ProgramFile("three.tle")), old);
    EXPECT_FALSE(QFile::exists(ProgramFile("three.tle.bak")));
    confirmAnswer_ = true;
    Trigger("UpdateAction");
    const QString replaced = OnlyMessage(MessageKind::Information);
    EXPECT_TRUE(replaced.contains(QStringLiteral("removed: 2 (TAVSAT 1 (90001), KESTREL-2 (90002))")))
        << replaced.toStdString();
    EXPECT_EQ(Bytes(ProgramFile("three.tle")), orbis);
    EXPECT_EQ(Items("SatelliteBox"), QStringList{"ORBIS M"});
}

// Arabic AM/PM designators became "?" in Windows-1252: the file takes 24-hour time (the hours: the formats' tests).
TEST_F(WindowTest, SaveWritesTheListsInFormsWindows1252HoldsAndAFailureNamesTheWholePath)
{
    WriteSettings();
    RegionalFormats arabic = UsLikeFormats();
    arabic.AmDesignator = "\xD8\xB5";
    arabic.PmDesignator = "\xD9\x85";
    Start(March5At2330, arabic);
    Click("SavePassesButton", 1);
    EXPECT_EQ(Text("PassesStatus"), QStringLiteral("TAVSAT 1_passes.txt has been written"));
    const QStringList passes = FileLines(WorkFile("TAVSAT 1_passes.txt"));
    EXPECT_EQ(passes.mid(2, passes.size() - 3), Items("PassList"));
    Click("SaveEclipsesButton", 2);
    const QString eclipses = FileLines(WorkFile("TAVSAT 1_eclipses.txt")).join('\n');
    EXPECT_FALSE(eclipses.contains(QLatin1Char('?')));
    EXPECT_TRUE(OnlyMessage(MessageKind::Information).contains(QStringLiteral("24-hour time")));
    ASSERT_TRUE(QFile::remove(WorkFile("TAVSAT 1_passes.txt")));
    ASSERT_TRUE(QDir(work_.path()).mkdir(QStringLiteral("TAVSAT 1_passes.txt")));
    Click("SavePassesButton", 1);
    EXPECT_TRUE(OnlyMessage().startsWith(WorkFile("TAVSAT 1_passes.txt has not been written")));
    EXPECT_TRUE(Text("PassesStatus").isEmpty());
}

// After the year file Save wrote a passes file of its header alone; a failed year file still cleared the screen.
TEST_F(StartedWindow, YearFileDisablesSaveAndAFailedOneLeavesTheScreen)
{
    const QStringList passes = Items("PassList");
    SetText("StartYearEdit", "2023");
    ASSERT_TRUE(QDir(program_.path()).mkdir(QStringLiteral("TAVSAT 1_sowi_2023.csv")));
    Trigger("YearFileAction");
    EXPECT_TRUE(OnlyMessage().startsWith(ProgramFile("TAVSAT 1_sowi_2023.csv has not been written")));
    EXPECT_EQ(Items("PassList"), passes);
    SetText("StartYearEdit", "24");
    Trigger("YearFileAction");
    EXPECT_EQ(OnlyMessage(MessageKind::Information), ProgramFile("TAVSAT 1_sowi_2024.csv has been written"));
    EXPECT_TRUE(Items("PassList").isEmpty());
    EXPECT_FALSE(Get<QPushButton>("SavePassesButton")->isEnabled());
    EXPECT_FALSE(Get<QAction>("SaveAction")->isEnabled());
}

// A stopped run was silent with its progress bar at 25 %, and the chart showed the satellite before's bars.
TEST_F(WindowTest, NoStaleBarsAfterAStoppedRun)
{
    WriteAll(ProgramFile("sinking.tle"), Bytes(TestData("three.tle")).left(152) // TAVSAT 1, then one that sinks
             + "SINKER\r\n1 90009U 24010A   24064.00000000  .00400000  00000-0  23456-4 0  9995\r\n"
               "2 90009  51.6416 247.4627 0012345 130.5360 123.4567 16.20000000123455\r\n");
    WriteAll(ProgramFile("tavik.ini"), "JO40HC\r\nsinking.tle\r\n");
    Start();
    Choose(1);
    ASSERT_TRUE(window_->ShownResult());
    ASSERT_FALSE(window_->ShownResult()->Completed());
    const QRegularExpression stopped("^Stopped on day [0-9]+: .*sank below 150 km at ");
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains(stopped));
    // The reason was cut at the window's edge, over a white chart: in full in the tooltip, and a banner after the stop.
    EXPECT_EQ(window_->statusBar()->toolTip(), window_->statusBar()->currentMessage());
    const QImage strip = Get<PictureBox>("StripChart")->Image();
    const int below = std::min(RowTop(window_->ShownResult()->StopDay + 1) + 12, strip.height() - 12);
    EXPECT_EQ(strip.pixelColor(2, below), QColor(48, 48, 64));
    EXPECT_EQ(Get<QProgressBar>("ProgressBar")->value(), 0);
    EXPECT_TRUE(Get<SunAngleChart>("SunAngleChart")->chart()->title().endsWith(": TAVSAT 1 from 2024-03-05"));
}

// Laid out in fixed pixels, the window hid its Save buttons below a laptop's screen and left a large one a third empty.
TEST_F(StartedWindow, EveryControlLiesInsideTheWindowAtCommonScreenSizes)
{
    const struct { const char* Screen; QSize Window; } sizes[] = {
        {"1366x768 laptop", {1350, 700}},
        {"1920x1080 maximised", {1920, 1040}},
        {"800x600", {784, 552}},
        {"1920x1080 at scale 2", {960, 500}},
    };
    const struct { int Tab; const char* Name; } controls[] = {
        {0, "StartDayEdit"}, {0, "StartYearEdit"}, {0, "RecalcButton"}, {0, "SatelliteBox"}, {0, "HourStrip"},
        {0, "LegendButton"}, {1, "SavePassesButton"}, {1, "PassesStatus"}, {1, "ElementLine2"},
        {2, "SaveEclipsesButton"}, {4, "MinimumElevation"}, {4, "SkyPlot"}, {4, "SkyNowDownlink"},
        {5, "UpcomingCompute"}, {5, "UpcomingTable"}, {0, "ProgressBar"},
    };
    auto* tabs = Get<QTabWidget>("Tabs");
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.Screen);
        window_->resize(size.Window);
        for (const auto& control : controls) {
            SCOPED_TRACE(control.Name);
            tabs->setCurrentIndex(control.Tab);
            QCoreApplication::processEvents();
            EXPECT_EQ(window_->size(), size.Window);
            const QWidget* w = Get<QWidget>(control.Name);
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(w->isVisible());
            EXPECT_TRUE(window_->rect().contains(QRect(w->mapTo(window_.get(), QPoint()), w->size())));
        }
        // No sideways scrolling on a laptop or wider: everything fits the width.
        for (int tab = 0; tab < tabs->count() && size.Window.width() >= 1350; ++tab) {
            tabs->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            for (const QScrollBar* bar : window_->findChildren<QScrollBar*>())
                if (bar->orientation() == Qt::Horizontal) {
                    EXPECT_FALSE(bar->isVisible()) << tab;
                }
        }
        // The day rows keep at least their drawn height, scrolling where the window is short, and fill the width.
        tabs->setCurrentIndex(0);
        QCoreApplication::processEvents();
        const QWidget* chart = Get<QWidget>("StripChart");
        EXPECT_GE(chart->height(), StripHeight);
        EXPECT_GT(chart->mapTo(window_.get(), QPoint(chart->width(), 0)).x(), size.Window.width() - 40);
    }
    // Maximised on a large screen the rows grow with the height instead of leaving it empty.
    window_->resize(1920, 1040);
    QCoreApplication::processEvents();
    EXPECT_GT(Get<IlluminationView>("IlluminationView")->RowScale(), 1.0);
    EXPECT_FALSE(Get<QScrollArea>("DayRows")->verticalScrollBar()->isVisible());
    window_->resize(1350, 700);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(Get<IlluminationView>("IlluminationView")->RowScale(), 1.0);
    EXPECT_TRUE(Get<QScrollArea>("DayRows")->verticalScrollBar()->isVisible());
}

// The window opens at the size it was closed at, no larger than the screen it opens on.
TEST_F(StartedWindow, RemembersItsSize)
{
    window_->resize(760, 520);
    window_->close();
    Start();
    EXPECT_EQ(window_->size(), QSize(760, 520));
    WriteAll(ProgramFile("tavik.ini"), "JO40HC\r\nthree.tle\r\nwindow size=5000x4000\r\n");
    Start();
    EXPECT_LE(window_->width(), window_->screen()->availableGeometry().width());
}

// WCAG's relative luminance.
double Luminance(const QColor& c)
{
    auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// A 734-day-old set showed no word on two tabs, and the dark red had a contrast of 1.5:1 in a dark palette.
TEST_F(StartedWindow, ElementAgeShowsOnEveryTabInColoursThatHoldContrast)
{
    QTabWidget* tabs = Get<QTabWidget>("Tabs");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        EXPECT_TRUE(Get<QLabel>("ElementAge")->isVisibleTo(window_.get())) << tabs->tabText(tab).toStdString();
    }
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        window_->setPalette(palette);
        Choose(1);
        const QString style = Get<QLabel>("ElementAge")->styleSheet();
        const QColor shown(style.mid(style.indexOf(QLatin1Char('#')), 7));
        ASSERT_TRUE(shown.isValid()) << style.toStdString();
        const double light = std::max(Luminance(shown), Luminance(palette.color(QPalette::Window)));
        const double dark = std::min(Luminance(shown), Luminance(palette.color(QPalette::Window)));
        EXPECT_GE((light + 0.05) / (dark + 0.05), 4.5) << style.toStdString(); // WCAG's contrast ratio
    }
}

// Frequencies give the Doppler shift at rise, maximum and set, its curve, and the export's Doppler fields.
TEST_F(StartedWindow, FrequenciesGiveTheDopplerShiftAndAreRememberedPerSatellite)
{
    auto* view = Get<PassDetailsView>("PassDetails");
    view->Table()->selectRow(2);
    EXPECT_TRUE(view->Doppler()->Samples().empty());
    Get<QDoubleSpinBox>("DownlinkFrequency")->setValue(145.8);
    Get<QDoubleSpinBox>("UplinkFrequency")->setValue(435.25);
    EXPECT_EQ(Text("PassSummary").count(QStringLiteral("Doppler ")), 3);
    const auto& curve = view->Doppler()->Samples();
    ASSERT_GT(curve.size(), 10u);
    EXPECT_GT(curve.front().second, 0); // approaching after the rise
    EXPECT_LT(curve.back().second, 0);  // moving away before the set
    EXPECT_TRUE(Bytes(ProgramFile("tavik.ini")).contains("\nfrequencies 90001=145.8000,435.2500"));

    exportFormat_ = ExportFormat::Json;
    exportPath_ = WorkFile("passes.json");
    Trigger("ExportAction");
    EXPECT_TRUE(Bytes(exportPath_).contains("\"doppler_hz\""));
    EXPECT_TRUE(Bytes(exportPath_).contains("\"uplink_doppler_hz\""));

    Choose(2);
    EXPECT_DOUBLE_EQ(view->DownlinkMHz(), 0);
    Choose(0);
    EXPECT_DOUBLE_EQ(view->DownlinkMHz(), 145.8);
}

// The attitude chosen reruns the forecast and is named in the status line and the legend.
TEST_F(StartedWindow, AttitudeIsChosenInTheMenuAndRememberedPerSatellite)
{
    Trigger("AttitudeSunAction");
    EXPECT_EQ(window_->Controller()->ShownRequest().Axis.Kind, AttitudeKind::Sun);
    EXPECT_TRUE(window_->statusBar()->currentMessage().endsWith(QStringLiteral(", attitude sun.")));
    EXPECT_TRUE(Bytes(ProgramFile("tavik.ini")).contains("\nattitude 90001=sun"));
    Trigger("LegendAction");
    EXPECT_TRUE(Text("LegendTerms").contains(QStringLiteral("points at the Sun")));

    Choose(2);
    EXPECT_EQ(window_->Controller()->ShownRequest().Axis.Kind, AttitudeKind::Plane);
    EXPECT_TRUE(Get<QAction>("AttitudePlaneAction")->isChecked());
    Choose(0);
    EXPECT_EQ(window_->Controller()->ShownRequest().Axis.Kind, AttitudeKind::Sun);
}

// Alt+M was both "month" and "Minimum elevation" on Pass details: on every tab each mnemonic leads to one control.
TEST_F(StartedWindow, MnemonicsAreUniqueOnEveryTab)
{
    auto mnemonic = [](const QString& text) {
        const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        return at < 0 ? QChar() : text.at(at + 1).toLower();
    };
    QTabWidget* tabs = Get<QTabWidget>("Tabs");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        std::map<QChar, QString> seen;
        QStringList texts;
        for (const QAction* a : window_->menuBar()->actions()) texts << a->text();
        for (const QLabel* l : window_->findChildren<QLabel*>())
            if (l->isVisibleTo(window_.get())) texts << l->text();
        for (const QAbstractButton* b : window_->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(window_.get())) texts << b->text();
        for (const QString& text : texts) {
            const QChar key = mnemonic(text);
            if (key.isNull()) continue;
            const auto [it, added] = seen.emplace(key, text);
            EXPECT_TRUE(added) << tabs->tabText(tab).toStdString() << ": \"" << text.toStdString() << "\" and \""
                               << it->second.toStdString() << "\"";
        }
    }
}

// "Select a pass…" was drawn over the N of the sky plot: the note keeps clear of every compass letter.
TEST(SkyPlot, NoteWithoutAPassKeepsClearOfTheCompassLetters)
{
    SkyPlot plot;
    for (const QSize size : {QSize(200, 200), QSize(320, 240), QSize(240, 420), QSize(600, 400)}) {
        plot.resize(size);
        for (const int azimuth : {0, 90, 180, 270}) {
            EXPECT_FALSE(plot.NoteRect().intersects(plot.CompassLabelRect(azimuth)))
                << size.width() << "x" << size.height() << " at " << azimuth;
            EXPECT_TRUE(QRectF(plot.rect()).contains(plot.CompassLabelRect(azimuth)))
                << size.width() << "x" << size.height() << " at " << azimuth;
        }
    }
}

// Empty lists looked like a forecast that failed: they say so, in a note that is no line of the list or its file.
TEST_F(WindowTest, EmptyListsSaySoAndTheirFilesHoldNoNote)
{
    WriteAll(ProgramFile("low.tle"), "LOW\r\n1 90009U 24010A   24064.00000000  .00000000  00000-0  23456-4 0  9995\r\n"
                                     "2 90009  51.6416 247.4627 0012345 130.5360 123.4567 16.60000000123454\r\n");
    WriteAll(ProgramFile("tavik.ini"), "JO40HC\r\nlow.tle\r\n");
    Start();
    ASSERT_TRUE(window_->ShownResult());
    EXPECT_EQ(Items("PassList"), QStringList{"No passes over the station in the days computed."});
    EXPECT_EQ(Get<QListWidget>("EclipseList")->item(0)->flags(), Qt::NoItemFlags);
    Click("SavePassesButton", 1);
    // The header, the rule and the empty string after the last CR LF.
    const QStringList file = FileLines(WorkFile("LOW_passes.txt"));
    EXPECT_EQ(file.size(), 3) << file.join('|').toStdString();
}

// A row selected is framed on the strip chart, a pass clicked there is selected; File > Export… names what fails.
TEST_F(StartedWindow, PassTableAndStripChartSelectEachOtherAndExportNamesAFileItCannotWrite)
{
    PassDetailsView* view = window_->PassDetails();
    QTableView* table = view->Table();
    table->selectRow(2);
    const int selected = view->SelectedPass();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(window_->HighlightedPass(), selected);
    auto* strip = Get<PictureBox>("StripChart");
    const QImage framed = strip->Image(); // the frame's colour is no tick's
    int magenta = 0;
    for (int i = 0; i < framed.width() * framed.height(); ++i)
        magenta += framed.pixelColor(i % framed.width(), i / framed.width()) == QColor(230, 0, 230);
    EXPECT_GT(magenta, 10);

    table->clearSelection();
    EXPECT_EQ(window_->HighlightedPass(), -1);
    const int wanted = selected + 1;
    const PassDetail& pass = window_->ShownDetails()->Passes.at(static_cast<std::size_t>(wanted));
    const std::int64_t middle = (pass.FirstMinute + pass.EndMinute) / 2;
    const QPoint at(static_cast<int>(std::lround((middle % 1440) * MinuteWidth(StripWidth))),
                    RowTop(static_cast<int>(middle / 1440) + 1) + 2);
    // Wider and taller than designed, the chart is shown stretched, and the click still names the minute.
    window_->resize(1600, 1000);
    QCoreApplication::processEvents();
    ASSERT_GT(strip->width(), StripWidth);
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->ToWidget(at));
    EXPECT_EQ(view->SelectedPass(), wanted);

    exportPath_ = WorkFile("passes.ics");
    Trigger("ExportAction");
    EXPECT_TRUE(Bytes(exportPath_).startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(messages_.empty());
    exportPath_ = WorkFile("missing/passes.ics");
    Trigger("ExportAction");
    EXPECT_TRUE(OnlyMessage().contains(exportPath_));
}

// An export at "20°" held every pass, and the count beside the filter stayed; all passes are still to be had.
TEST_F(StartedWindow, ExportAndThePassCountFollowTheMinimumElevation)
{
    const std::vector<PassDetail>& passes = window_->ShownDetails()->Passes;
    const auto high =
        std::count_if(passes.begin(), passes.end(), [](const PassDetail& p) { return p.Max.Elevation >= 20; });
    ASSERT_GT(high, 0);
    ASSERT_LT(static_cast<std::size_t>(high), passes.size());
    const QString note = QStringLiteral("%1 of %2 passes, at least 20\u00B0").arg(high).arg(passes.size());
    Get<QSpinBox>("MinimumElevation")->setValue(20);
    EXPECT_TRUE(window_->PassDetails()->findChild<QLabel*>(QStringLiteral("PassDetailsNote"))->text().startsWith(note));
    exportFormat_ = ExportFormat::Csv;
    const std::pair<bool, std::size_t> cases[] = {{false, static_cast<std::size_t>(high)}, {true, passes.size()}};
    for (const auto& [all, rows] : cases) {
        exportAll_ = all;
        exportPath_ = WorkFile(all ? "all.csv" : "high.csv");
        Trigger("ExportAction");
        EXPECT_EQ(exportFilterNote_, note);
        // The header records, an empty record, the table's header row, then a row a pass.
        const QStringList lines = FileLines(exportPath_);
        const qsizetype table = lines.indexOf(QString()) + 2;
        EXPECT_EQ(static_cast<std::size_t>(lines.size() - table - 1), rows) << all;
        EXPECT_EQ(window_->statusBar()->currentMessage().contains(note), !all) << all;
    }
}

// Closing the window stops a run and shows nothing of it; the pool is held so the run cannot start before.
TEST_F(StartedWindow, ClosingDuringARunStopsItAndShowsNothingOfIt)
{
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
    EXPECT_TRUE(WaitIdle());
    EXPECT_TRUE(Items("PassList").isEmpty());
    EXPECT_TRUE(messages_.empty());
}

// Every satellite's passes by rise, filtered, through quick re-clicks; a row chosen is shown on Pass details.
TEST_F(StartedWindow, UpcomingListsEveryPassAndChoosingOneSelectsItOnPassDetails)
{
    auto* upcoming = Get<UpcomingView>("Upcoming");
    QSignalSpy computed(upcoming, &UpcomingView::Computed);
    Get<QTabWidget>("Tabs")->setCurrentWidget(upcoming); // computed on being seen; the clicks wait for it
    QTest::mouseClick(Get<QPushButton>("UpcomingCompute"), Qt::LeftButton);
    QTest::mouseClick(Get<QPushButton>("UpcomingCompute"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return computed.count() == 2 && !window_->IsBusy(); }, 60000));
    QTableView* table = upcoming->Table();
    ASSERT_GT(table->model()->rowCount(), 3);
    std::vector<qint64> rises;
    QStringList names;
    for (int r = 0; r < table->model()->rowCount(); ++r) {
        rises.push_back(table->model()->index(r, 1).data(Qt::UserRole).toLongLong());
        names << table->model()->index(r, 0).data().toString();
    }
    EXPECT_TRUE(std::is_sorted(rises.begin(), rises.end()));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()), (QSet<QString>{"TAVSAT 1", "KESTREL-2", "ORBIS M"}));
    Get<QSpinBox>("UpcomingMinimumElevation")->setValue(90);
    EXPECT_EQ(table->model()->rowCount(), 0);
    EXPECT_TRUE(Text("UpcomingStatus").startsWith("No passes above 90° in the 24 hours"));
    Get<QSpinBox>("UpcomingMinimumElevation")->setValue(0);

    const int row = static_cast<int>(names.indexOf("KESTREL-2"));
    ASSERT_GE(row, 0);
    table->setCurrentIndex(table->model()->index(row, 0));
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(WaitIdle());
    const auto& list = upcoming->List()->Passes;
    const auto chosen = std::find_if(list.begin(), list.end(), [](const UpcomingPass& u) {
        return u.SatName == "KESTREL-2";
    });
    EXPECT_EQ(window_->Current()->SatName, "KESTREL-2");
    EXPECT_EQ(Get<QTabWidget>("Tabs")->currentWidget(), window_->PassDetails());
    const int selected = window_->PassDetails()->SelectedPass();
    ASSERT_GE(selected, 0);
    const PassDetail& shown = window_->ShownDetails()->Passes.at(static_cast<std::size_t>(selected));
    EXPECT_EQ(shown.RiseToTheSecond().At.Seconds(), chosen->Pass.RiseToTheSecond().At.Seconds());
}

// A pass beyond the run on screen: the start date moves to its day, a run starts, and the pass is selected after.
TEST_F(StartedWindow, UpcomingPassOutsideTheRunStartsARunFromItsDay)
{
    auto* upcoming = Get<UpcomingView>("Upcoming");
    QSignalSpy computed(upcoming, &UpcomingView::Computed);
    Get<QComboBox>("UpcomingFrom")->setCurrentIndex(1); // from the start date
    SetText("StartMonthEdit", "6");
    Get<QTabWidget>("Tabs")->setCurrentWidget(upcoming);
    ASSERT_TRUE(QTest::qWaitFor([&] { return computed.count() == 1 && !window_->IsBusy(); }, 60000));
    SetText("StartMonthEdit", "3");
    ASSERT_GT(upcoming->Table()->model()->rowCount(), 0);
    upcoming->Table()->setCurrentIndex(upcoming->Table()->model()->index(0, 0));
    const UpcomingPass first = upcoming->List()->Passes.front();
    QTest::keyClick(upcoming->Table(), Qt::Key_Return);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window_->ShownResult()->Start.Fields().Month, 6);
    EXPECT_EQ(window_->Current()->SatName, first.SatName);
    const int selected = window_->PassDetails()->SelectedPass();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(window_->ShownDetails()->Passes.at(static_cast<std::size_t>(selected)).Max.At.Seconds() / 60,
              first.Pass.Max.At.Seconds() / 60);
}

// The panel shows SkyAt's sky, searches anew only once the crossing has passed, marks the pass, ticks while seen.
TEST_F(StartedWindow, SkyNowPanelAgreesWithSkyAtAndSearchesOnlyWhenTheCrossingHasPassed)
{
    SkyNowPanel* panel = window_->PassDetails()->SkyNow();
    EXPECT_FALSE(panel->Running()); // the Pass details tab is not shown
    Get<QTabWidget>("Tabs")->setCurrentWidget(window_->PassDetails());
    EXPECT_TRUE(panel->Running());
    std::time_t now = March5At2330 + 3600;
    panel->SetClock([&now] { return now; });
    Get<QDoubleSpinBox>("DownlinkFrequency")->setValue(145.8);
    ForecastRequest request;
    request.Elements = *window_->Current();
    request.Site = *window_->StationInUse();
    const SkyNow sky = SkyAt(request, *UtcAt(now));
    const SkyNow& shown = *panel->Last();
    EXPECT_EQ(shown.Point.Elevation, sky.Point.Elevation);
    EXPECT_EQ(shown.Next->At.Seconds(), sky.Next->At.Seconds());
    EXPECT_EQ(Text("SkyNowAzimuth"), QStringLiteral("%1°").arg(sky.Point.Azimuth, 0, 'f', 1));
    EXPECT_TRUE(Text("SkyNowDownlink").startsWith(
        QStringLiteral("%1 MHz heard").arg(145.8 + DopplerShift(145.8e6, sky.Point.RangeRate) / 1e6, 0, 'f', 6)));

    const int searches = panel->Searches();
    now += 1;
    panel->Update();
    EXPECT_EQ(panel->Searches(), searches);
    now = static_cast<std::time_t>(now + sky.Next->At.Seconds() - UtcAt(now)->Seconds() + 1);
    panel->Update();
    EXPECT_EQ(panel->Searches(), searches + 1);
    EXPECT_NE(panel->Last()->Up, sky.Up);

    SkyPlot* plot = window_->PassDetails()->Plot();
    window_->PassDetails()->Table()->selectRow(0);
    const int selected = window_->PassDetails()->SelectedPass();
    const PassPointDetail max = window_->ShownDetails()->Passes.at(static_cast<std::size_t>(selected)).Max;
    now = static_cast<std::time_t>(March5At2330 + max.At.Seconds() - UtcAt(March5At2330)->Seconds());
    panel->Update();
    ASSERT_TRUE(plot->Present().has_value());
    EXPECT_NEAR(plot->Present()->y(), max.Elevation, 0.01);
    now += 86400;
    panel->Update();
    EXPECT_FALSE(plot->Present().has_value());
    Get<QTabWidget>("Tabs")->setCurrentIndex(0);
    EXPECT_FALSE(panel->Running());
}

// A geostationary satellite in the precise model by default: 365 days, two seasons, the hover, and the export.
TEST_F(WindowTest, YearTabChartsTheYearAndExportsItsReport)
{
    WriteSettings("year.tle");
    Start(January2027);
    Choose(2);
    YearView* view = window_->Year();
    Get<QTabWidget>("Tabs")->setCurrentWidget(view);
    ASSERT_TRUE(WaitIdle());
    ASSERT_NE(view->Year(), nullptr) << view->Status().toStdString();
    EXPECT_EQ(view->Model(), OrbitModel::Sgp4);
    EXPECT_EQ(view->BetaSeries()->count(), 365);
    EXPECT_EQ(view->Seasons()->rowCount(), 2);

    // The hover over the beta line at the March equinox.
    const int day = 78;
    const LightDay& d = view->Year()->Days[day];
    QChart* chart = view->Chart()->chart();
    const QPoint at = view->Chart()->mapFromScene(chart->mapToScene(chart->mapToPosition(QPointF(day, d.Beta))));
    QMouseEvent move(QEvent::MouseMove, at, view->Chart()->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->Chart()->viewport(), &move);
    const QString tip = view->Chart()->toolTip();
    EXPECT_EQ(tip, view->DayTip(day));
    EXPECT_TRUE(tip.startsWith(QStringLiteral("2027-03-20\nbeta %1°").arg(d.Beta, 0, 'f', 2))) << tip.toStdString();

    // By the extension, else by the filter chosen; a folder that is not there is named in the error.
    struct Case {
        const char* Name;
        const char* Filter;
        const char* Written;
        std::string (*Bytes)(const YearOfLight&);
    };
    const Case exports[] = {{"geo.json", "", "geo.json", YearReportJson},
                            {"geo.txt", "JSON files (*.json)", "geo.txt", YearReportText},
                            {"geo", "CSV files (*.csv)", "geo.csv", YearReportCsv}};
    for (const auto& e : exports) {
        SCOPED_TRACE(e.Name);
        view->ChooseFile = [&](QWidget*, const QString&, QString* filter) {
            *filter = QString::fromLatin1(e.Filter);
            return WorkFile(e.Name);
        };
        Trigger("YearReportAction");
        EXPECT_EQ(Bytes(WorkFile(e.Written)), QByteArray::fromStdString(e.Bytes(*view->Year())));
    }
    EXPECT_TRUE(messages_.empty());
    view->ChooseFile = [&](QWidget*, const QString&, QString*) { return WorkFile("missing/geo.csv"); };
    Trigger("YearReportAction");
    EXPECT_TRUE(OnlyMessage().startsWith(WorkFile("missing/geo.csv") + QStringLiteral(" has not been written")));
}

// A year asked for before any is on screen is computed first, then written; the classic model when chosen.
TEST_F(WindowTest, YearReportExportComputesTheYearFirst)
{
    WriteSettings("year.tle");
    Start(January2027);
    YearView* view = window_->Year();
    view->SetModel(OrbitModel::Classic);
    view->ChooseFile = [&](QWidget*, const QString&, QString*) { return WorkFile("leo.csv"); };
    Trigger("YearReportAction");
    ASSERT_NE(view->Year(), nullptr);
    EXPECT_EQ(view->Year()->Model, OrbitModel::Classic);
    EXPECT_EQ(Bytes(WorkFile("leo.csv")), QByteArray::fromStdString(YearReportCsv(*view->Year())));
}

// A satellite that cannot be followed through one day of the year leaves the chart empty and says why.
TEST_F(WindowTest, YearTabSaysWhyItIsEmpty)
{
    WriteSettings("year.tle");
    Start(January2027);
    Choose(3);
    messages_.clear();
    YearView* view = window_->Year();
    Get<QTabWidget>("Tabs")->setCurrentWidget(view);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(view->BetaSeries()->count(), 0);
    EXPECT_TRUE(view->Status().startsWith(QStringLiteral("TAVIK-REENTRY cannot be followed through a single day from "
                                                         "2027-01-01: ")))
        << view->Status().toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
