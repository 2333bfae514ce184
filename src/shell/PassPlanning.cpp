// The window's side of the pass details: the selected pass framed on the
// strip chart, a click there selecting it, and File > Export….

#include "shell/ForecastController.h"
#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "output/Exports.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "platform/AtomicFile.h"
#include "shell/ExportDialog.h"
#include "shell/IlluminationView.h"
#include "shell/PassDetailsView.h"
#include "shell/PictureBox.h"
#include "shell/SkyNowPanel.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

namespace tavik::shell {

namespace {} // namespace

void MainWindow::OnPassSelected(int index) { illumination_->SetHighlightedPass(index); }

bool MainWindow::SelectPassAtStripPoint(QPoint at)
{
    const auto minute = illumination_->MinuteAt(at);
    return controller_->Shown() && controller_->ShownDetails() && minute && passDetails_->SelectPassAt(*minute);
}

QString MainWindow::MinuteTip(QPoint at) const { return illumination_->MinuteTip(at); }
int MainWindow::HighlightedPass() const { return illumination_->HighlightedPass(); }

void MainWindow::OnExport()
{
    if (controller_->IsBusy() || !controller_->Shown() || !controller_->ShownDetails() || !services_.ChooseExport)
        return;
    const QString start = controller_->SaveFolder().isEmpty() ? QDir::currentPath() : controller_->SaveFolder();
    const QString filterNote = passDetails_->FilterNote();
    const std::optional<ExportChoice> choice =
        services_.ChooseExport(this, Q(controller_->Shown()->SatName), start, filterNote);
    if (!choice) return;
    // The passes as the Pass details tab shows them, unless all were asked
    // for; the text list is the design's whole list either way.
    PlanningDetails exported = *controller_->ShownDetails();
    const bool filtered = choice->Passes && !choice->AllPasses && !filterNote.isEmpty();
    if (filtered) {
        const int minimum = passDetails_->MinimumElevation();
        std::erase_if(exported.Passes, [minimum](const PassDetail& p) { return p.Max.Elevation < minimum; });
    }
    std::string bytes;
    if (choice->Format == ExportFormat::Text) {
        // The list files exactly as Save writes them.
        bytes = choice->Passes ? PassesFileBytes(*controller_->Shown())
                               : EclipsesFileBytes(*controller_->Shown(), Cp1252FileFormats(services_.Formats).Formats);
    } else {
        const auto now = DateTime::FromCalendar(1970, 1, 1)->AddSeconds(services_.Now ? services_.Now() : 0);
        ExportContext context = MakeExportContext(*controller_->Shown(), controller_->ShownRequest(), now);
        // The Doppler shifts of the frequencies the Pass details tab holds.
        if (passDetails_->DownlinkMHz() > 0) context.DownlinkFrequency = passDetails_->DownlinkMHz() * 1e6;
        if (passDetails_->UplinkMHz() > 0) context.UplinkFrequency = passDetails_->UplinkMHz() * 1e6;
        bytes = ExportBytes(choice->Format, context, exported, choice->Passes, !choice->Passes);
    }
    const QString what =
        filtered && choice->Format != ExportFormat::Text ? QStringLiteral(" (%1)").arg(filterNote) : QString();
    controller_->WriteFile(PathOf(choice->Path), std::move(bytes),
                           [this, path = choice->Path, what](const QString& error) {
                               controller_->SetBusy(false);
                               if (!error.isEmpty()) {
                                   Report(MessageKind::Error, QStringLiteral("Export"), error);
                                   return;
                               }
                               statusBar()->showMessage(QStringLiteral("%1 has been written%2.").arg(path, what));
                           });
}

void MainWindow::SelectTypicalPass()
{
    if (!controller_->Shown() || !controller_->ShownDetails() || controller_->ShownDetails()->Passes.empty()) return;
    // The pass in progress, on which the present place shows.
    passDetails_->SkyNow()->Update();
    if (const auto& now = passDetails_->SkyNow()->Last();
        now && now->Up
        && passDetails_->SelectPassAt(DateTime::MinutesBetween(controller_->Shown()->Start, now->Point.At)))
        return;
    // Else the pass most evenly split between sunlight and shadow, else the highest.
    auto score = [&](const PassDetail& p) {
        int lit = 0, dark = 0;
        for (const PassPointDetail& q : PassTrack(*controller_->Shown(), p)) ++(q.Sunlit ? lit : dark);
        return std::pair(std::min(lit, dark), p.Max.Elevation);
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < controller_->ShownDetails()->Passes.size(); ++i)
        if (score(controller_->ShownDetails()->Passes[i]) > score(controller_->ShownDetails()->Passes[best])) best = i;
    passDetails_->SelectPassAt(controller_->ShownDetails()->Passes[best].FirstMinute);
}

} // namespace tavik::shell
