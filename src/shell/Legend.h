// What the strip chart's colours mean, opened from the Illumination tab.
#pragma once

#include <QDialog>

namespace tavik::shell {

class Legend : public QDialog {
    Q_OBJECT
public:
    explicit Legend(QWidget* parent = nullptr);
};

} // namespace tavik::shell
