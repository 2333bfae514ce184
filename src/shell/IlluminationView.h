// The Illumination tab: a row of minute ticks for each day of the run, the
// day's date at its left, under an hour scale that stays in view while the
// rows scroll. The chart keeps the pixels the forecast draws and is shown
// stretched to the width the tab has; a row is never shorter than drawn,
// and grows with the tab's height above that.
#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QScrollArea;
class QToolButton;

namespace tavik::shell {

class PictureBox;

class IlluminationView : public QWidget {
    Q_OBJECT
public:
    explicit IlluminationView(QWidget* parent = nullptr);

    // The chart; its image has the drawn size, whatever the widget's.
    PictureBox* Chart() const { return chart_; }
    // The date of each row from the top; empty leaves the column blank.
    void SetDayLabels(const QStringList& labels);
    // The hour numbers above the rows, or none (while a run replaces them).
    void SetHourScaleShown(bool shown);
    bool HourScaleShown() const { return hourScaleShown_; }
    // How many pixels of the screen a drawn pixel row takes, at least 1.
    double RowScale() const;

signals:
    void LegendRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class HourScale;
    class DayColumn;

    void ArrangeRows();

    HourScale* hourScale_ = nullptr;
    QScrollArea* rows_ = nullptr;
    DayColumn* days_ = nullptr;
    PictureBox* chart_ = nullptr;
    QLabel* utcLabel_ = nullptr;
    QToolButton* legendButton_ = nullptr;
    bool hourScaleShown_ = false;
};

} // namespace tavik::shell
