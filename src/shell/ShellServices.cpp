#include "shell/ShellServices.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStringList>
#include <QVBoxLayout>

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
        QDialog dialog(parent);
        dialog.setWindowTitle(QStringLiteral("Update element sets"));
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(
            QStringLiteral("Update %1 from the element sets at this address (http:// or https://):").arg(tleFile)));
        auto* address = new QLineEdit(previous);
        layout->addWidget(address);
        auto* merge =
            new QRadioButton(QStringLiteral("Update the satellites the file holds where the download is newer"));
        auto* addNew = new QRadioButton(QStringLiteral("The same, and add the satellites only the download has"));
        auto* replace =
            new QRadioButton(QStringLiteral("Replace the file with the download (entries it lacks are removed)"));
        merge->setChecked(true);
        for (QRadioButton* choice : {merge, addNew, replace}) layout->addWidget(choice);
        layout->addWidget(new QLabel(QStringLiteral("The previous file is kept as %1.bak.").arg(tleFile)));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        if (dialog.exec() != QDialog::Accepted) return UpdateRequest();
        const UpdateMode mode = replace->isChecked()  ? UpdateMode::Replace
                                : addNew->isChecked() ? UpdateMode::AddNew
                                                      : UpdateMode::Merge;
        return UpdateRequest(address->text().trimmed(), mode);
    };
    s.Confirm = [](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    };
    return s;
}

} // namespace tavik::shell
