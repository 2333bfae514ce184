// The two angles of an attitude given by numbers: longitude and latitude in
// the orbit plane, or right ascension and declination in the sky.
#pragma once

#include "orbit/Attitude.h"

#include <QDialog>

class QDoubleSpinBox;

namespace tavik::shell {

class AttitudeDialog : public QDialog {
    Q_OBJECT
public:
    // kind is Plane or Inertial; the boxes start at current's angles of
    // that kind.
    AttitudeDialog(AttitudeKind kind, const Attitude& current, QWidget* parent = nullptr);

    Attitude Chosen() const;

private:
    AttitudeKind kind_;
    QDoubleSpinBox* first_ = nullptr;
    QDoubleSpinBox* second_ = nullptr;
};

} // namespace tavik::shell
