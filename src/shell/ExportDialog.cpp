#include "shell/ExportDialog.h"
#include "shell/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>

namespace tavik::shell {

namespace {

struct FormatEntry {
    ExportFormat Format;
    const char* Label;
    const char* Filter;
};

const FormatEntry Formats[] = {
    {ExportFormat::Csv, "CSV (spreadsheets, scripts)", "CSV files (*.csv)"},
    {ExportFormat::Json, "JSON (scripts)", "JSON files (*.json)"},
    {ExportFormat::Ics, "iCalendar (calendars)", "iCalendar files (*.ics)"},
    {ExportFormat::Text, "Text (the list as shown)", "Text files (*.txt)"},
};

} // namespace

std::optional<ExportChoice> AskExport(QWidget* parent, const QString& satName, const QString& folder,
                                      const QString& filterNote)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Export"));
    auto* list = new QComboBox;
    list->addItems({QStringLiteral("Passes"), QStringLiteral("Eclipses")});
    auto* format = new QComboBox;
    for (const FormatEntry& f : Formats) format->addItem(QString::fromUtf8(f.Label));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("&List:"), list);
    form->addRow(QStringLiteral("&Format:"), format);
    auto* filtered = new QCheckBox(QStringLiteral("Only the passes shown: %1").arg(filterNote));
    filtered->setObjectName(QStringLiteral("OnlyPassesShown"));
    filtered->setChecked(true);
    filtered->setVisible(!filterNote.isEmpty());
    QObject::connect(list, &QComboBox::currentIndexChanged, filtered, [filtered, list, filterNote] {
        filtered->setVisible(!filterNote.isEmpty() && list->currentIndex() == 0);
    });
    form->addRow(filtered);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;

    ExportChoice choice;
    choice.Passes = list->currentIndex() == 0;
    choice.AllPasses = !filtered->isChecked();
    const FormatEntry& f = Formats[format->currentIndex()];
    choice.Format = f.Format;
    const QString name = Q(ExportFileName(satName.toStdString(), choice.Passes, f.Format));
    choice.Path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), QDir(folder).filePath(name),
                                               QString::fromUtf8(f.Filter));
    if (choice.Path.isEmpty()) return std::nullopt;
    return choice;
}

} // namespace tavik::shell
