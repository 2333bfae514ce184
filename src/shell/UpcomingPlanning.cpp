// The window's side of the Upcoming tab: a pass chosen there becomes the
// satellite chosen and the pass selected on Pass details.

#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "catalogue/Settings.h"
#include "shell/PassDetailsView.h"
#include "shell/SatelliteBox.h"
#include "shell/StartDateRow.h"

#include <QTabWidget>

namespace tavik::shell {

void MainWindow::OnUpcomingChosen(int entry, const UpcomingPass& pass)
{
    if (controller_->IsBusy() || entry < 1 || entry > controller_->Catalogue().CatalogueCount) return;
    // A list of a file since replaced names other satellites.
    if (controller_->Catalogue().Entry(entry).SatName != pass.SatName) {
        Report(MessageKind::Warning, QStringLiteral("Upcoming"),
               QStringLiteral("The TLE file has changed since the list was computed: compute it again."));
        return;
    }
    const DateTime rise = pass.Pass.RiseToTheSecond().At, max = pass.Pass.Max.At;
    const auto holds = [rise, max](DateTime start) {
        return start.Seconds() <= rise.Seconds()
               && max.Seconds() < start.AddMinutes(std::int64_t{ForecastDays} * MinutesPerDay).Seconds();
    };
    const auto select = [this, max] {
        if (const ForecastResult* shown = controller_->Shown())
            passDetails_->SelectPassAt(DateTime::MinutesBetween(shown->Start, max));
    };
    tabs_->setCurrentWidget(passDetails_);
    const bool chosen = satelliteBox_->currentIndex() == entry - 1 && controller_->Current()
                        && controller_->Current()->SatName == pass.SatName;
    if (chosen && controller_->Shown() && controller_->ShownIsCurrent() && holds(controller_->Shown()->Start)) {
        select();
        return;
    }
    // The start date stays where its run holds the pass, else the pass's day.
    const ParsedDate typed = startDate_->Typed();
    if (!typed || !holds(*typed.Date)) {
        const CalendarFields day = rise.Fields();
        startDate_->Show(*DateTime::FromCalendar(day.Year, day.Month, day.Day));
    }
    if (!chosen) {
        satelliteBox_->setCurrentIndex(entry - 1);
        SelectElementSet(entry);
        controller_->Remember({{QString::fromLatin1(LastSatelliteKey), Q(pass.SatName)}});
    }
    // Selected once the run is on screen.
    auto* once = new QObject(this);
    connect(this, &MainWindow::ForecastDone, once, [select, once] {
        select();
        once->deleteLater();
    });
    RunForecast();
}

} // namespace tavik::shell
