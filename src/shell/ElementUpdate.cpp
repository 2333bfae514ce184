// "Update element sets…": the TLE file in use replaced by a fresh download.
// The transfer runs on the event loop with a cancel button; the check of the
// text and the replacement of the file run on the worker, then the file is
// loaded again with the same satellite chosen.

#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "catalogue/CatalogueUpdate.h"
#include "net/TleDownload.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStatusBar>

#include <climits>
#include <exception>
#include <memory>
#include <string>

namespace tavik::shell {

namespace {

const QString Title = QStringLiteral("Update element sets");

struct ReplaceOutcome {
    std::string Changes;
    std::string Error;
};

QString KeptAsItWas(const QString& tleFile)
{
    return QStringLiteral("\n\n%1 is left as it was.").arg(tleFile);
}

} // namespace

void MainWindow::OnUpdateElementSets()
{
    if (busy_) return;
    if (tleFilePath_.isEmpty()) {
        Report(MessageKind::Warning, Title,
               QStringLiteral("There is no TLE file to update. Open one with File > Open Kep File first."));
        return;
    }
    const QString tleFile = tleFilePath_;
    const QString key = UpdateUrlKey(QFileInfo(tleFile).absoluteFilePath());
    const Remembered keys = settingsPath_.isEmpty() ? Remembered{} : ReadRemembered(settingsPath_);
    const QString previous = keys.count(key) ? keys.at(key) : QString();
    const QString url = services_.AskUpdateUrl ? services_.AskUpdateUrl(this, tleFile, previous).trimmed() : QString();
    if (url.isEmpty()) return; // cancelled
    if (const QString problem = net::UrlProblem(url); !problem.isEmpty()) {
        Report(MessageKind::Error, Title, problem + KeptAsItWas(tleFile));
        return;
    }
    // Offered again next time, also after a failure such as a lost network.
    Remember({{key, url}});

    SetBusy(true);
    statusBar()->showMessage(QStringLiteral("Downloading %1…").arg(url));
    download_ = new net::Download(this);
    updateProgress_ = new QProgressDialog(QStringLiteral("Downloading element sets from\n%1").arg(url),
                                          QStringLiteral("Cancel"), 0, 0, this);
    updateProgress_->setObjectName(QStringLiteral("UpdateProgress"));
    updateProgress_->setWindowTitle(Title);
    updateProgress_->setWindowModality(Qt::WindowModal);
    updateProgress_->setMinimumDuration(400);
    connect(updateProgress_, &QProgressDialog::canceled, download_, &net::Download::Cancel);
    connect(download_, &net::Download::Progress, updateProgress_, [dialog = updateProgress_](qint64 received, qint64 total) {
        if (total <= 0 || total > INT_MAX || !dialog) return;
        dialog->setMaximum(static_cast<int>(total));
        dialog->setValue(static_cast<int>(received));
    });
    connect(download_, &net::Download::Finished, this, [this, url, tleFile](const net::DownloadResult& result) {
        ElementSetsDownloaded(result, url, tleFile);
    });
    download_->Start(QUrl(url));
}

void MainWindow::ElementSetsDownloaded(const net::DownloadResult& result, const QString& url, const QString& tleFile)
{
    if (updateProgress_) {
        updateProgress_->disconnect(this);
        updateProgress_->reset();
        updateProgress_->deleteLater();
    }
    if (download_) download_->deleteLater();
    if (!result.Ok()) {
        SetBusy(false);
        if (result.Cancelled)
            statusBar()->showMessage(QStringLiteral("Update cancelled; %1 is left as it was.").arg(tleFile));
        else
            Report(MessageKind::Error, Title,
                   QStringLiteral("%1 has not been updated:\n%2: %3").arg(tleFile, url, result.Error) + KeptAsItWas(tleFile));
        emit UpdateDone();
        return;
    }
    auto outcome = std::make_shared<ReplaceOutcome>();
    StartJob(
        [outcome, bytes = result.Bytes.toStdString(), path = PathOf(tleFile),
         source = url.toStdString()] {
            try {
                outcome->Changes = DescribeTleChanges(ReplaceTleFile(path, bytes, source));
            } catch (const std::exception& e) {
                outcome->Error = e.what();
            }
        },
        [this, outcome, url, tleFile] {
            SetBusy(false);
            if (!outcome->Error.empty()) {
                statusBar()->clearMessage();
                Report(MessageKind::Error, Title,
                       QStringLiteral("%1 has not been updated:\n%2").arg(tleFile, Q(outcome->Error))
                           + KeptAsItWas(tleFile));
                emit UpdateDone();
                return;
            }
            statusBar()->showMessage(QStringLiteral("%1 has been updated from %2").arg(tleFile, url));
            // Loaded again behind the report, with the same satellite chosen.
            ReloadTleFile();
            Report(MessageKind::Information, Title,
                   QStringLiteral("%1 has been updated from %2:\n\n%3").arg(tleFile, url, Q(outcome->Changes)));
            emit UpdateDone();
        });
}

void MainWindow::CancelElementUpdate()
{
    if (download_) download_->Cancel();
}

} // namespace tavik::shell
