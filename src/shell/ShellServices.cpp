#include "shell/ShellServices.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

namespace tavik::shell {

ShellServices ShellServices::System()
{
    ShellServices s;
    s.Now = [] { return std::time(nullptr); };
    s.ProgramFolder = QCoreApplication::applicationDirPath();
    s.DocumentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    s.Formats = FormatsFromProcessLocale();
    s.ChooseTleFile = [](QWidget* parent, const QString& startFolder) {
        QFileDialog dialog(parent, QStringLiteral("Open Kep File"), startFolder);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setNameFilters({QString::fromLatin1(TleFileFilters[0]), QString::fromLatin1(TleFileFilters[1])});
        dialog.selectNameFilter(QString::fromLatin1(TleFileFilters[0]));
        if (dialog.exec() != QDialog::Accepted) return QString();
        return dialog.selectedFiles().value(0);
    };
    s.ChooseFolder = [](QWidget* parent, const QString& startFolder) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Save As"), startFolder);
    };
    s.ChooseExport = &AskExport;
    s.ShowMessage = [](QWidget* parent, MessageKind kind, const QString& title, const QString& text) {
        switch (kind) {
        case MessageKind::Information: QMessageBox::information(parent, title, text); break;
        case MessageKind::Warning: QMessageBox::warning(parent, title, text); break;
        case MessageKind::Error: QMessageBox::critical(parent, title, text); break;
        }
    };
    s.AskUpdateUrl = [](QWidget* parent, const QString& tleFile, const QString& previous) {
        bool ok = false;
        const QString url = QInputDialog::getText(
            parent, QStringLiteral("Update element sets"),
            QStringLiteral("Replace %1 with the element sets at this address (http:// or https://):").arg(tleFile),
            QLineEdit::Normal, previous, &ok);
        return ok ? url.trimmed() : QString();
    };
    return s;
}

} // namespace tavik::shell
