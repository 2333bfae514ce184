#include "shell/AttitudeDialog.h"
#include "shell/Controls.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace tavik::shell {

namespace {

QDoubleSpinBox* AngleBox(const char* name, double low, double high, double value)
{
    auto* box = Named(new QDoubleSpinBox, name);
    box->setRange(low, high);
    box->setDecimals(3);
    box->setSuffix(QStringLiteral("°"));
    box->setValue(value);
    return box;
}

} // namespace

AttitudeDialog::AttitudeDialog(AttitudeKind kind, const Attitude& current, QWidget* parent)
    : QDialog(parent), kind_(kind)
{
    auto* form = new QFormLayout;
    if (kind == AttitudeKind::Inertial) {
        setWindowTitle(QStringLiteral("Inertial attitude"));
        first_ = AngleBox("RightAscensionBox", 0, 360, current.RightAscension);
        second_ = AngleBox("DeclinationBox", -90, 90, current.Declination);
        form->addRow(QStringLiteral("&Right ascension:"), first_);
        form->addRow(QStringLiteral("&Declination:"), second_);
    } else {
        setWindowTitle(QStringLiteral("Attitude in the orbit plane"));
        first_ = AngleBox("AttitudeLonBox", -360, 360, current.AttitudeLon);
        second_ = AngleBox("AttitudeLatBox", -90, 90, current.AttitudeLat);
        form->addRow(QStringLiteral("&Longitude from perigee:"), first_);
        form->addRow(QStringLiteral("L&atitude towards the orbit normal:"), second_);
    }
    auto* note =
        new QLabel(kind == AttitudeKind::Inertial ? QStringLiteral("The axis stays fixed among the stars.")
                                                  : QStringLiteral("0° and 0° point the axis away from perigee."));
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

Attitude AttitudeDialog::Chosen() const
{
    Attitude a;
    a.Kind = kind_;
    (kind_ == AttitudeKind::Inertial ? a.RightAscension : a.AttitudeLon) = first_->value();
    (kind_ == AttitudeKind::Inertial ? a.Declination : a.AttitudeLat) = second_->value();
    return a;
}

} // namespace tavik::shell
