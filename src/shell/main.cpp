// tavik: the desktop window.

#include "shell/AboutBox.h"
#include "shell/MainWindow.h"
#include "shell/ShellServices.h"
#include "shell/Usage.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char* argv[])
{
    // Answered before Qt starts, so that they work without a display.
    if (const auto info = tavik::shell::InfoRequested(std::vector<std::string>(argv + 1, argv + argc)))
        return tavik::shell::PrintInfo(*info);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavik"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.tavik.Tavik"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("tavik"), QIcon(QPixmap::fromImage(tavik::shell::AboutPicture()))));

    // A TLE file to open may be given, as the desktop entry does for a file
    // opened with tavik. Not for users: "--screenshot-dir DIR" saves every
    // tab, the about box, the legend and the Station dialog as PNG files once
    // the first forecast is on screen, then quits. It is how the window's
    // look is checked on a machine without a screen.
    QString screenshotDir, kepFile;
    const QStringList args = QApplication::arguments();
    bool options = true;
    for (int i = 1; i < args.size(); ++i) {
        if (options && args[i] == QLatin1String("--")) {
            options = false;
        } else if (options && args[i] == QLatin1String("--screenshot-dir") && i + 1 < args.size()) {
            screenshotDir = args[++i];
        } else if (options && args[i].startsWith(QLatin1String("--screenshot-dir="))) {
            screenshotDir = args[i].mid(17);
        } else if ((!options || !args[i].startsWith(QLatin1Char('-'))) && kepFile.isEmpty()) {
            kepFile = args[i];
        } else {
            std::fprintf(stderr, "tavik: unknown argument \"%s\"; tavik takes one TLE file to open\n",
                         qPrintable(args[i]));
            return 2;
        }
    }

    tavik::shell::ShellServices services = tavik::shell::ShellServices::System();
    if (!screenshotDir.isEmpty()) {
        // Nobody is there to close a message box.
        services.ShowMessage = [](QWidget*, tavik::shell::MessageKind, const QString& title, const QString& text) {
            std::fprintf(stderr, "tavik: %s: %s\n", qPrintable(title), qPrintable(text));
        };
    }
    tavik::shell::MainWindow window(std::move(services));
    window.SetStartTleFile(kepFile);
    if (!screenshotDir.isEmpty()) {
        auto shoot = [&window, screenshotDir] {
            static bool taken = false;
            if (taken) return;
            taken = true;
            QApplication::exit(window.SaveScreenshots(screenshotDir) ? 0 : 1);
        };
        QObject::connect(&window, &tavik::shell::MainWindow::ForecastDone, &window,
                         [shoot] { QTimer::singleShot(200, shoot); });
        // Settings that cannot be used end in the Station dialog, not a forecast.
        QObject::connect(&window, &tavik::shell::MainWindow::BusyChanged, &window, [&window, shoot](bool busy) {
            if (!busy)
                QTimer::singleShot(500, &window, [&window, shoot] {
                    if (!window.IsBusy()) shoot();
                });
        });
        QTimer::singleShot(0, &window, [&window, shoot] {
            window.StartUp();
            if (!window.IsBusy()) QTimer::singleShot(200, shoot);
        });
    } else {
        QTimer::singleShot(0, &window, [&window] { window.StartUp(); });
    }
    return QApplication::exec();
}
