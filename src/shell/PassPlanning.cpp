// The window's side of the pass details: the selected pass framed on the
// strip chart, a click there selecting it, and File > Export….

#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "output/Exports.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "platform/AtomicFile.h"
#include "shell/ExportDialog.h"
#include "shell/PassDetailsView.h"
#include "shell/PictureBox.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

namespace tavik::shell {

namespace {} // namespace

void MainWindow::FramePass(QImage& image) const
{
    if (highlighted_ < 0 || !details_ || static_cast<std::size_t>(highlighted_) >= details_->Passes.size()) return;
    // A frame around the selected pass's minutes in each day row it touches,
    // over the ticks, which stay readable inside it.
    const PassDetail& p = details_->Passes[static_cast<std::size_t>(highlighted_)];
    QPainter painter(&image);
    painter.setPen(QPen(QColor(230, 0, 230), 2));
    painter.setBrush(QColor(230, 0, 230, 70));
    for (std::int64_t k = p.FirstMinute; k < p.EndMinute;) {
        const std::int64_t day = k / MinutesPerDay;
        const std::int64_t end = std::min(p.EndMinute, (day + 1) * MinutesPerDay);
        const int x0 = PixelColumn(static_cast<float>(k - day * MinutesPerDay) * MinuteWidth(StripWidth));
        const int x1 = PixelColumn(static_cast<float>(end - day * MinutesPerDay) * MinuteWidth(StripWidth));
        const int top = RowTop(static_cast<int>(day) + 1);
        painter.drawRect(QRect(x0 - 3, top - 1, std::max(x1 - x0, 1) + 5, 12));
        k = end;
    }
}

void MainWindow::OnPassSelected(int index)
{
    highlighted_ = index;
    ShowStrip();
}

bool MainWindow::SelectPassAtStripPoint(QPoint at)
{
    if (!shown_ || !details_) return false;
    const int day = at.y() / 11;
    if (at.y() < 0 || day < 1 || day > ForecastDays) return false;
    const int minute =
        std::clamp(static_cast<int>(std::lround(at.x() / MinuteWidth(StripWidth))), 0, MinutesPerDay - 1);
    return passDetails_->SelectPassAt(static_cast<std::int64_t>(day - 1) * MinutesPerDay + minute);
}

void MainWindow::OnExport()
{
    if (busy_ || !shown_ || !details_ || !services_.ChooseExport) return;
    const QString start = saveFolder_.isEmpty() ? QDir::currentPath() : saveFolder_;
    const QString filterNote = passDetails_->FilterNote();
    const std::optional<ExportChoice> choice = services_.ChooseExport(this, Q(shown_->SatName), start, filterNote);
    if (!choice) return;
    // The passes as the Pass details tab shows them, unless all were asked
    // for; the text list is the design's whole list either way.
    PlanningDetails exported = *details_;
    const bool filtered = choice->Passes && !choice->AllPasses && !filterNote.isEmpty();
    if (filtered) {
        const int minimum = passDetails_->MinimumElevation();
        std::erase_if(exported.Passes, [minimum](const PassDetail& p) { return p.Max.Elevation < minimum; });
    }
    std::string bytes;
    if (choice->Format == ExportFormat::Text) {
        // The list files exactly as Save writes them.
        bytes = choice->Passes ? PassesFileBytes(*shown_)
                               : EclipsesFileBytes(*shown_, Cp1252FileFormats(services_.Formats).Formats);
    } else {
        const auto now = DateTime::FromCalendar(1970, 1, 1)->AddSeconds(services_.Now ? services_.Now() : 0);
        bytes = ExportBytes(choice->Format, MakeExportContext(*shown_, shownRequest_, now), exported, choice->Passes,
                            !choice->Passes);
    }
    const QString what =
        filtered && choice->Format != ExportFormat::Text ? QStringLiteral(" (%1)").arg(filterNote) : QString();
    WriteOnWorker(PathOf(choice->Path), std::move(bytes), [this, path = choice->Path, what](const QString& error) {
        SetBusy(false);
        if (!error.isEmpty()) {
            Report(MessageKind::Error, QStringLiteral("Export"), error);
            return;
        }
        statusBar()->showMessage(QStringLiteral("%1 has been written%2.").arg(path, what));
    });
}

void MainWindow::SelectTypicalPass()
{
    // The pass most evenly split between sunlight and shadow, else the highest.
    if (!shown_ || !details_ || details_->Passes.empty()) return;
    auto score = [&](const PassDetail& p) {
        int lit = 0, dark = 0;
        for (const PassPointDetail& q : PassTrack(*shown_, p)) ++(q.Sunlit ? lit : dark);
        return std::pair(std::min(lit, dark), p.Max.Elevation);
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < details_->Passes.size(); ++i)
        if (score(details_->Passes[i]) > score(details_->Passes[best])) best = i;
    passDetails_->SelectPassAt(details_->Passes[best].FirstMinute);
}

} // namespace tavik::shell
