#include "shell/StationDialog.h"
#include "shell/QtText.h"

#include "astro/Locator.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace tavik::shell {

namespace {

QString Degrees(double value, char positive, char negative)
{
    return QStringLiteral("%1° %2").arg(std::fabs(value), 0, 'f', 3).arg(QLatin1Char(value < 0 ? negative : positive));
}

} // namespace

StationDialog::StationDialog(const QString& locator, const QString& tleFile, const QString& why,
                             std::function<QString(QWidget*, const QString&)> chooseFile, QWidget* parent)
    : QDialog(parent), chooseFile_(std::move(chooseFile))
{
    setObjectName(QStringLiteral("StationDialog"));
    setWindowTitle(QStringLiteral("Station"));

    auto* layout = new QVBoxLayout(this);
    if (!why.isEmpty()) {
        auto* reason = new QLabel(why);
        reason->setObjectName(QStringLiteral("Why"));
        reason->setWordWrap(true);
        layout->addWidget(reason);
    }
    auto* form = new QFormLayout;
    locatorEdit_ = new QLineEdit(locator);
    locatorEdit_->setObjectName(QStringLiteral("LocatorEdit"));
    locatorEdit_->setMaxLength(10);
    locatorEdit_->setPlaceholderText(QStringLiteral("for example JO40HC"));
    positionLabel_ = new QLabel;
    positionLabel_->setObjectName(QStringLiteral("PositionLabel"));
    positionLabel_->setWordWrap(true);
    tleEdit_ = new QLineEdit(tleFile);
    tleEdit_->setObjectName(QStringLiteral("TleFileEdit"));
    tleEdit_->setMinimumWidth(360);
    auto* browse = new QPushButton(QStringLiteral("&Browse…"));
    browse->setObjectName(QStringLiteral("BrowseButton"));
    auto* tleRow = new QHBoxLayout;
    tleRow->addWidget(tleEdit_, 1);
    tleRow->addWidget(browse);
    auto* locatorLabel = new QLabel(QStringLiteral("&Locator:"));
    locatorLabel->setBuddy(locatorEdit_);
    auto* tleLabel = new QLabel(QStringLiteral("&TLE file:"));
    tleLabel->setBuddy(tleEdit_);
    form->addRow(locatorLabel, locatorEdit_);
    form->addRow(QString(), positionLabel_);
    form->addRow(tleLabel, tleRow);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    okButton_->setObjectName(QStringLiteral("OkButton"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(locatorEdit_, &QLineEdit::textChanged, this, &StationDialog::Check);
    connect(tleEdit_, &QLineEdit::textChanged, this, &StationDialog::Check);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString current = TleFile();
        const QString start = current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
        const QString chosen = chooseFile_ ? chooseFile_(this, start) : QString();
        if (!chosen.isEmpty()) tleEdit_->setText(chosen);
    });
    Check();
}

QString StationDialog::Locator() const { return locatorEdit_->text().trimmed().toUpper(); }
QString StationDialog::TleFile() const { return tleEdit_->text().trimmed(); }

void StationDialog::Check()
{
    const std::string locator = Locator().toStdString();
    const std::optional<std::string> problem = LocatorProblem(locator);
    QPalette p = positionLabel_->palette();
    if (problem) {
        positionLabel_->setText(locator.empty() ? QStringLiteral("Type your station's Maidenhead locator.")
                                                : Q(*problem));
        // Red for a locator that is wrong, not for one not yet typed.
        if (!locator.empty()) p.setColor(QPalette::WindowText, QColor(176, 0, 0));
    } else {
        const Station s = MakeStation(locator);
        positionLabel_->setText(QStringLiteral("latitude %1, longitude %2")
                                    .arg(Degrees(s.StationLat, 'N', 'S'), Degrees(s.StationLon, 'E', 'W')));
        p = palette();
    }
    positionLabel_->setPalette(p);
    const QFileInfo tle(TleFile());
    okButton_->setEnabled(!problem && !TleFile().isEmpty());
    tleEdit_->setToolTip(TleFile().isEmpty() || tle.isFile() ? QString()
                                                             : QStringLiteral("There is no file of that name."));
}

} // namespace tavik::shell
