// The pass table and the strip chart point at each other: a row selected is
// framed on the chart, a pass clicked on the chart is selected in the table;
// File > Export… writes its file or names it in the error.
#include "shell/MainWindow.h"
#include "shell/PassDetailsView.h"
#include "shell/PictureBox.h"

#include "forecast/StripChart.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

namespace {

using namespace tavik;
using namespace tavik::shell;

TEST(PassDetailsWindow, TableAndStripChartSelectEachOtherAndExportNamesAFileItCannotWrite)
{
    QTemporaryDir program, work, config;
    ASSERT_TRUE(QDir::setCurrent(work.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(TAVIK_TEST_DATA "/three.tle"), program.filePath(QStringLiteral("three.tle"))));

    QFile ini(program.filePath(QStringLiteral("tavik.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ASSERT_GT(ini.write("JO40HC\r\nthree.tle\r\n"), 0);
    ASSERT_TRUE(ini.flush());
    ShellServices services;
    services.Now = [] { return std::time_t{1709681400}; }; // 2024-03-05 23:30 UTC
    services.ProgramFolder = program.path();
    services.DocumentsFolder = work.path();
    QStringList messages;
    services.ShowMessage = [&](QWidget*, MessageKind, const QString&, const QString& text) { messages << text; };
    QString exportPath;
    services.ChooseExport = [&](QWidget*, const QString&, const QString&) {
        return std::optional<ExportChoice>({true, ExportFormat::Ics, exportPath});
    };
    MainWindow window(services);
    window.StartUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ShownResult() && !window.IsBusy(); }, 60000));

    PassDetailsView* view = window.PassDetails();
    QTableView* table = view->Table();
    table->selectRow(2);
    const int selected = view->SelectedPass();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(window.HighlightedPass(), selected);
    auto* strip = window.findChild<PictureBox*>(QStringLiteral("StripChart"));
    const QImage framed = strip->Image(); // the frame's colour is no tick's
    int magenta = 0;
    for (int i = 0; i < framed.width() * framed.height(); ++i)
        magenta += framed.pixelColor(i % framed.width(), i / framed.width()) == QColor(230, 0, 230);
    EXPECT_GT(magenta, 10);

    // A click in the middle of another pass's minutes on the chart.
    table->clearSelection();
    EXPECT_EQ(window.HighlightedPass(), -1);
    const int wanted = selected + 1;
    const PassDetail& pass = window.ShownDetails()->Passes.at(static_cast<std::size_t>(wanted));
    const std::int64_t middle = (pass.FirstMinute + pass.EndMinute) / 2;
    const QPoint at(static_cast<int>(std::lround((middle % 1440) * MinuteWidth(StripWidth))),
                    RowTop(static_cast<int>(middle / 1440) + 1) + 2);
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(view->SelectedPass(), wanted);
    EXPECT_EQ(window.HighlightedPass(), wanted);

    // File > Export… writes the file, or names it in the error.
    auto* exportAction = window.findChild<QAction*>(QStringLiteral("ExportAction"));
    exportPath = work.filePath(QStringLiteral("passes.ics"));
    exportAction->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsBusy(); }, 60000));
    QFile written(exportPath);
    EXPECT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(messages.isEmpty());
    exportPath = work.filePath(QStringLiteral("missing/passes.ics"));
    exportAction->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 60000));
    EXPECT_TRUE(messages[0].contains(exportPath)) << messages[0].toStdString();
}

} // namespace
