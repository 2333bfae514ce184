// The window's side of the one-year sun-angle file: the year typed, the
// rows computed on the worker, the file written, and what is said of it.

#include "shell/ForecastController.h"
#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "output/YearFile.h"
#include "shell/IlluminationView.h"
#include "shell/StartDateRow.h"

#include <QStatusBar>

namespace tavik::shell {

void MainWindow::OnWriteYearFile()
{
    if (controller_->IsBusy()) return;
    if (!ReadyToCompute(QStringLiteral("Sun angle file"))) {
        emit YearFileDone();
        return;
    }
    const ParsedYear year = startDate_->TypedYear();
    if (!year) {
        Report(MessageKind::Error, QStringLiteral("Sun angle file"),
               Q(year.Error) + QStringLiteral("\n\nType the year of the file into the year box."));
        startDate_->Select(DateTextField::Year);
        emit YearFileDone();
        return;
    }

    SetProgress(0, YearProgressMaximum);
    controller_->ComputeYear(*year.Year, [this](const std::shared_ptr<YearJob>& job) { YearFileFinished(job); });
}

void MainWindow::YearFileFinished(const std::shared_ptr<YearJob>& job)
{
    SetProgress(0, YearProgressMaximum);
    if (job->Rows.empty() && job->Error.isEmpty()) { // stopped: the window is closing
        controller_->SetBusy(false);
        return;
    }
    const std::string path = controller_->YearFilePath(*job);
    if (!job->Error.isEmpty()) {
        Report(MessageKind::Error, QStringLiteral("Sun angle file"), job->Error);
        controller_->SetBusy(false);
        emit YearFileDone();
        return;
    }
    const std::string bytes = YearFileBytes(job->Rows);
    controller_->WriteFile(path, bytes, [this, job, path](const QString& error) {
        if (error.isEmpty()) {
            // The year file takes the place of the forecast on screen;
            // a file that failed leaves the screen as it was.
            ClearResults();
            controller_->DropShown();
            illumination_->DrawHourGrid();
            statusBar()->clearMessage();
            Report(MessageKind::Information, QStringLiteral("Sun angle file"),
                   FromPath(path) + QStringLiteral(" has been written"));
            if (!job->FormsNote.empty()) NoteFileForms(job->FormsNote);
        } else {
            Report(MessageKind::Error, QStringLiteral("Sun angle file"),
                   QStringLiteral("%1 has not been written:\n%2").arg(FromPath(path), error));
        }
        controller_->SetBusy(false);
        emit YearFileDone();
    });
}

} // namespace tavik::shell
