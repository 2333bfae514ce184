// What the strip chart's colours mean, opened from the Illumination tab.
#pragma once

#include "orbit/Attitude.h"

#include <QDialog>

class QLabel;

namespace tavik::shell {

class Legend : public QDialog {
    Q_OBJECT
public:
    explicit Legend(QWidget* parent = nullptr);
    // Says which attitude the sun angle and illumination hold for.
    void ShowAttitude(const Attitude& attitude);

private:
    QLabel* terms_ = nullptr;
};

} // namespace tavik::shell
