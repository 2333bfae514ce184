#include "shell/AttitudeMenu.h"
#include "shell/AttitudeDialog.h"
#include "shell/Controls.h"
#include "shell/QtText.h"

#include <QActionGroup>

namespace tavik::shell {

QString AttitudeDescription(const Attitude& a)
{
    const QString holds = QStringLiteral(" Sun angle and illumination hold for that attitude.");
    switch (a.Kind) {
    case AttitudeKind::Plane:
        return QStringLiteral("The attitude axis is fixed in the orbit plane at longitude %1° from perigee and "
                              "latitude %2° (0° and 0°: along the line of apsides, away from perigee) and never "
                              "turned.")
                   .arg(a.AttitudeLon)
                   .arg(a.AttitudeLat)
               + holds;
    case AttitudeKind::Sun:
        return QStringLiteral("The attitude axis points at the Sun (sun-pointing), so the sun angle is -90°.") + holds;
    case AttitudeKind::Nadir:
        return QStringLiteral("The attitude axis points from the satellite to the Earth's centre (nadir-pointing), "
                              "turned again every minute.")
               + holds;
    case AttitudeKind::OrbitNormal:
        return QStringLiteral("The attitude axis lies along the orbit normal (r × v), so the sun angle is minus "
                              "the beta angle.")
               + holds;
    case AttitudeKind::Velocity:
        return QStringLiteral("The attitude axis points along the satellite's velocity, turned again every minute.")
               + holds;
    case AttitudeKind::Inertial:
        return QStringLiteral("The attitude axis is fixed among the stars at right ascension %1° and declination "
                              "%2°.")
                   .arg(a.RightAscension)
                   .arg(a.Declination)
               + holds;
    }
    return {};
}

AttitudeMenu::AttitudeMenu(QWidget* parent) : QMenu(QStringLiteral("&Attitude"), parent)
{
    setObjectName(QStringLiteral("AttitudeMenu"));
    const struct {
        AttitudeKind Kind;
        const char* Text;
        const char* Name;
    } entries[] = {
        {AttitudeKind::Plane, "Fixed in the &orbit plane…", "AttitudePlaneAction"},
        {AttitudeKind::Sun, "&Sun-pointing", "AttitudeSunAction"},
        {AttitudeKind::Nadir, "&Nadir-pointing", "AttitudeNadirAction"},
        {AttitudeKind::OrbitNormal, "Orbit n&ormal (r × v)", "AttitudeOrbitNormalAction"},
        {AttitudeKind::Velocity, "&Velocity-pointing", "AttitudeVelocityAction"},
        {AttitudeKind::Inertial, "&Inertial (right ascension, declination)…", "AttitudeInertialAction"},
    };
    auto* group = new QActionGroup(this);
    for (const auto& e : entries) {
        QAction* a = Named(addAction(QString::fromUtf8(e.Text)), e.Name);
        a->setCheckable(true);
        group->addAction(a);
        entries_[e.Kind] = a;
        const AttitudeKind kind = e.Kind;
        connect(a, &QAction::triggered, this, [this, kind] { OnEntry(kind); });
    }
    Show(shown_);
}

void AttitudeMenu::Show(const Attitude& attitude)
{
    shown_ = attitude;
    entries_.at(attitude.Kind)->setChecked(true);
    const bool plane = attitude.Kind == AttitudeKind::Plane;
    const bool inertial = attitude.Kind == AttitudeKind::Inertial;
    entries_.at(AttitudeKind::Plane)
        ->setText(plane ? QStringLiteral("Fixed in the &orbit plane (%1)…").arg(Q(AttitudeName(attitude)))
                        : QStringLiteral("Fixed in the &orbit plane…"));
    entries_.at(AttitudeKind::Inertial)
        ->setText(inertial ? QStringLiteral("&Inertial (%1)…").arg(Q(AttitudeName(attitude).substr(9)))
                           : QStringLiteral("&Inertial (right ascension, declination)…"));
}

void AttitudeMenu::OnEntry(AttitudeKind kind)
{
    if (kind != AttitudeKind::Plane && kind != AttitudeKind::Inertial) {
        Attitude a;
        a.Kind = kind;
        emit Chosen(a);
        return;
    }
    // The check stays on the attitude in use until the dialog is accepted.
    Show(shown_);
    auto* dialog = new AttitudeDialog(kind, shown_, parentWidget());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { emit Chosen(dialog->Chosen()); });
    dialog->open();
}

} // namespace tavik::shell
