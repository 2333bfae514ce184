// "Update element sets…": the TLE file in use updated from a fresh download,
// by default only in the entries it holds. The transfer runs on the event
// loop with a cancel button; the check of the text and the writing of the
// file run on the worker, with a question in between when the update would
// remove entries; then the file is loaded again with the same satellite
// chosen.

#include "shell/ForecastController.h"
#include "shell/MainWindow.h"
#include "shell/QtText.h"

#include "catalogue/CatalogueUpdate.h"
#include "net/TleDownload.h"
#include "platform/FileAccess.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStatusBar>
#include <QStringList>

#include <climits>
#include <exception>
#include <memory>
#include <string>

namespace tavik::shell {

namespace {

const QString Title = QStringLiteral("Update element sets");

struct UpdateOutcome {
    TleUpdatePlan Plan;
    std::string Changes;
    std::string Error;
};

QString KeptAsItWas(const QString& tleFile) { return QStringLiteral("\n\n%1 is left as it was.").arg(tleFile); }

} // namespace

void MainWindow::OnUpdateElementSets()
{
    if (controller_->IsBusy()) return;
    if (controller_->TleFilePath().isEmpty()) {
        Report(MessageKind::Warning, Title,
               QStringLiteral("There is no TLE file to update. Open one with File > Open Kep File first."));
        return;
    }
    const QString tleFile = controller_->TleFilePath();
    const QString key = UpdateUrlKey(QFileInfo(tleFile).absoluteFilePath());
    const Remembered keys =
        controller_->SettingsPath().isEmpty() ? Remembered{} : ReadRemembered(controller_->SettingsPath());
    const QString previous = keys.count(key) ? keys.at(key) : QString();
    const UpdateRequest request =
        services_.AskUpdateUrl ? services_.AskUpdateUrl(this, tleFile, previous) : UpdateRequest();
    const QString url = request.Url.trimmed();
    if (url.isEmpty()) return; // cancelled
    if (const QString problem = net::UrlProblem(url); !problem.isEmpty()) {
        Report(MessageKind::Error, Title, problem + KeptAsItWas(tleFile));
        return;
    }
    // Said before the download, which would be in vain.
    if (const auto why = ReadOnlyReason(PathOf(tleFile))) {
        Report(MessageKind::Error, Title,
               QStringLiteral("%1 cannot be updated: %2.").arg(tleFile, Q(*why)) + KeptAsItWas(tleFile));
        return;
    }
    // Offered again next time, also after a failure such as a lost network.
    controller_->Remember({{key, url}});

    controller_->SetBusy(true);
    statusBar()->showMessage(QStringLiteral("Downloading %1…").arg(url));
    download_ = new net::Download(this);
    updateProgress_ = new QProgressDialog(QStringLiteral("Downloading element sets from\n%1").arg(url),
                                          QStringLiteral("Cancel"), 0, 0, this);
    updateProgress_->setObjectName(QStringLiteral("UpdateProgress"));
    updateProgress_->setWindowTitle(Title);
    updateProgress_->setWindowModality(Qt::WindowModal);
    updateProgress_->setMinimumDuration(400);
    connect(updateProgress_, &QProgressDialog::canceled, download_, &net::Download::Cancel);
    connect(download_, &net::Download::Progress, updateProgress_,
            [dialog = updateProgress_](qint64 received, qint64 total) {
                if (total <= 0 || total > INT_MAX || !dialog) return;
                dialog->setMaximum(static_cast<int>(total));
                dialog->setValue(static_cast<int>(received));
            });
    connect(download_, &net::Download::Finished, this,
            [this, url, tleFile, mode = request.Mode](const net::DownloadResult& result) {
                ElementSetsDownloaded(result, url, tleFile, mode);
            });
    download_->Start(QUrl(url));
}

void MainWindow::ElementSetsDownloaded(const net::DownloadResult& result, const QString& url, const QString& tleFile,
                                       UpdateMode mode)
{
    if (updateProgress_) {
        updateProgress_->disconnect(this);
        updateProgress_->reset();
        updateProgress_->deleteLater();
    }
    if (download_) download_->deleteLater();
    if (!result.Ok()) {
        controller_->SetBusy(false);
        if (result.Cancelled)
            statusBar()->showMessage(QStringLiteral("Update cancelled; %1 is left as it was.").arg(tleFile));
        else {
            // The status line said "Downloading …" until the next message.
            statusBar()->showMessage(QStringLiteral("Update failed; %1 is left as it was.").arg(tleFile));
            Report(MessageKind::Error, Title,
                   QStringLiteral("%1 has not been updated:\n%2: %3").arg(tleFile, url, result.Error)
                       + KeptAsItWas(tleFile));
        }
        emit UpdateDone();
        return;
    }
    auto outcome = std::make_shared<UpdateOutcome>();
    auto failed = [this, outcome, tleFile] {
        controller_->SetBusy(false);
        statusBar()->showMessage(QStringLiteral("Update failed; %1 is left as it was.").arg(tleFile));
        Report(MessageKind::Error, Title,
               QStringLiteral("%1 has not been updated:\n%2").arg(tleFile, Q(outcome->Error)) + KeptAsItWas(tleFile));
        emit UpdateDone();
    };
    auto write = [this, outcome, url, tleFile, failed] {
        controller_->StartJob(
            [outcome] {
                try {
                    outcome->Changes = DescribeTleChanges(ApplyTleUpdate(outcome->Plan));
                } catch (const std::exception& e) {
                    outcome->Error = e.what();
                }
            },
            [this, outcome, url, tleFile, failed] {
                if (!outcome->Error.empty()) return failed();
                controller_->SetBusy(false);
                const bool changed = outcome->Plan.Changed();
                statusBar()->showMessage(changed ? QStringLiteral("%1 has been updated from %2").arg(tleFile, url)
                                                 : QStringLiteral("%1 is up to date").arg(tleFile));
                // Loaded again behind the report, with the same satellite chosen.
                if (changed) ReloadTleFile();
                Report(MessageKind::Information, Title,
                       (changed ? QStringLiteral("%1 has been updated from %2:\n\n%3")
                                : QStringLiteral("%1 is up to date with %2; nothing changed:\n\n%3"))
                           .arg(tleFile, url, Q(outcome->Changes)));
                emit UpdateDone();
            });
    };
    controller_->StartJob(
        [outcome, bytes = result.Bytes.toStdString(), path = PathOf(tleFile), source = url.toStdString(), mode] {
            try {
                outcome->Plan = PlanTleUpdate(path, bytes, mode, source);
            } catch (const std::exception& e) {
                outcome->Error = e.what();
            }
        },
        [this, outcome, tleFile, failed, write] {
            if (!outcome->Error.empty()) return failed();
            const std::vector<std::string>& removed = outcome->Plan.Changes.Removed;
            if (removed.empty()) return write();
            // Entries gone from the file are gone from the window too: said
            // by name, and only done when the user agrees.
            QStringList names;
            for (const std::string& name : removed) names << Q(name);
            constexpr int Shown = 15;
            QString list = names.mid(0, Shown).join(QStringLiteral("\n"));
            if (names.size() > Shown) list += QStringLiteral("\nand %1 more").arg(names.size() - Shown);
            QString shown;
            if (controller_->Current()) {
                for (const std::string& name : removed)
                    if (name.rfind(controller_->Current()->SatName + " (", 0) == 0)
                        shown = QStringLiteral("\n\nThe satellite shown, %1, is among them.")
                                    .arg(Q(controller_->Current()->SatName));
            }
            const QString question =
                QStringLiteral("Replacing %1 with the download removes %2 of its entries:\n\n%3%4\n\n"
                               "The previous file is kept as %1.bak. Replace the file?")
                    .arg(tleFile)
                    .arg(names.size())
                    .arg(list, shown);
            if (services_.Confirm && services_.Confirm(this, Title, question)) return write();
            controller_->SetBusy(false);
            statusBar()->showMessage(QStringLiteral("Update not done; %1 is left as it was.").arg(tleFile));
            emit UpdateDone();
        });
}

void MainWindow::CancelElementUpdate()
{
    if (download_) download_->Cancel();
}

} // namespace tavik::shell
