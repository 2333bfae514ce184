// The Forecast menu's choice of the attitude the satellite flies, which the
// sun angle and the illumination are measured against.
#pragma once

#include "orbit/Attitude.h"

#include <QMenu>
#include <QString>

#include <map>

namespace tavik::shell {

// A sentence for the legend: where the axis points, and how it moves.
QString AttitudeDescription(const Attitude& attitude);

class AttitudeMenu : public QMenu {
    Q_OBJECT
public:
    explicit AttitudeMenu(QWidget* parent = nullptr);

    // Checks the entry of the attitude in use, which the number dialogs
    // start from.
    void Show(const Attitude& attitude);
    QAction* Entry(AttitudeKind kind) const { return entries_.at(kind); }

signals:
    void Chosen(const Attitude& attitude);

private:
    void OnEntry(AttitudeKind kind);

    std::map<AttitudeKind, QAction*> entries_;
    Attitude shown_;
};

} // namespace tavik::shell
