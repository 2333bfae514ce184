// The window's screenshots, for the documentation and for looking at the
// layout: each tab, the about box, the legend, the attitude dialog and the
// Station dialog.

#include "shell/AboutBox.h"
#include "shell/AttitudeDialog.h"
#include "shell/Legend.h"
#include "shell/MainWindow.h"
#include "shell/PassDetailsView.h"
#include "shell/StationDialog.h"
#include "shell/UpcomingView.h"
#include "shell/YearView.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTabWidget>

namespace tavik::shell {

bool MainWindow::SaveScreenshots(const QString& folder)
{
    QDir().mkpath(folder);
    static const char* const Names[] = {"illumination", "passes",   "eclipses", "sun-angle",
                                        "pass-details", "upcoming", "year"};
    const int shown = tabs_->currentIndex();
    bool ok = true;
    // A pass on the sky plot and its frame on the strip chart.
    if (passDetails_->SelectedPass() < 0) SelectTypicalPass();
    auto save = [&](QWidget* w, const QString& name) {
        QApplication::processEvents();
        ok = w->grab().save(QDir(folder).filePath(name)) && ok;
    };
    for (int i = 0; i < tabs_->count(); ++i) {
        tabs_->setCurrentIndex(i);
        // The upcoming list and the year are computed on being seen: the
        // picture waits for them.
        if (tabs_->widget(i) == upcoming_ && controller_->IsBusy()) {
            QEventLoop loop;
            connect(upcoming_, &UpcomingView::Computed, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (tabs_->widget(i) == yearView_) {
            QEventLoop loop;
            connect(yearView_, &YearView::Computed, &loop, &QEventLoop::quit);
            QApplication::processEvents();
            if (IsBusy()) loop.exec();
        }
        save(this, QStringLiteral("tab-%1-%2.png").arg(i + 1).arg(QString::fromLatin1(Names[i])));
    }
    tabs_->setCurrentIndex(shown);
    OnInfo();
    save(about_, QStringLiteral("about.png"));
    about_->close();
    OnLegend();
    save(legend_, QStringLiteral("legend.png"));
    legend_->close();
    AttitudeDialog attitude(AttitudeKind::Plane, controller_->AttitudeInUse(), this);
    attitude.show();
    save(&attitude, QStringLiteral("attitude.png"));
    if (!stationDialog_) EditStation();
    if (stationDialog_) save(stationDialog_, QStringLiteral("station.png"));
    return ok;
}

} // namespace tavik::shell
