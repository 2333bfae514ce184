// The Illumination tab: a row of minute ticks for each day of the run, the
// day's date at its left, under an hour scale that stays in view while the
// rows scroll. The chart keeps the pixels the forecast draws and is shown
// stretched to the width the tab has; a row is never shorter than drawn,
// and grows with the tab's height above that.
#pragma once

#include "forecast/Forecast.h"
#include "forecast/PassDetails.h"
#include "forecast/StripChart.h"
#include "platform/TextForms.h"

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <optional>

class QLabel;
class QScrollArea;
class QToolButton;

namespace tavik::shell {

class PictureBox;

class IlluminationView : public QWidget {
    Q_OBJECT
public:
    explicit IlluminationView(RegionalFormats formats, QWidget* parent = nullptr);

    // Shows a run's ticks and the dates of its rows. Both must outlive
    // their showing, until Clear() or the next run; details may be null.
    void Show(const ForecastResult& result, const PlanningDetails* details);
    // Empty rows, no dates, no hour scale: while a run replaces them.
    void Clear();
    // The hour lines over the rows and the hour numbers above them.
    void DrawHourGrid();
    // Frames a pass of the details' on the rows; -1 for none.
    void SetHighlightedPass(int index);
    int HighlightedPass() const { return highlighted_; }

    // What the tooltip says about a point of the chart (drawn pixels).
    QString MinuteTip(QPoint at) const;
    // The run's minute, counted from its start, at a point of the chart
    // (drawn pixels): the minute whose tick lies nearest.
    std::optional<std::int64_t> MinuteAt(QPoint at) const;

    // The chart; its image has the drawn size, whatever the widget's.
    PictureBox* Chart() const { return chart_; }
    bool HourScaleShown() const { return hourScaleShown_; }
    // How many pixels of the screen a drawn pixel row takes, at least 1.
    double RowScale() const;

signals:
    void LegendRequested();
    // A left click on the chart, at a minute of the run.
    void MinuteClicked(std::int64_t minute);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class HourScale;
    class DayColumn;

    void ArrangeRows();
    void Refresh();

    RegionalFormats formats_;
    const ForecastResult* result_ = nullptr;
    const PlanningDetails* details_ = nullptr;
    PixelBuffer strip_{StripWidth, StripHeight, StripStyle{}.Background};
    int highlighted_ = -1;

    HourScale* hourScale_ = nullptr;
    QScrollArea* rows_ = nullptr;
    DayColumn* days_ = nullptr;
    PictureBox* chart_ = nullptr;
    QLabel* utcLabel_ = nullptr;
    QToolButton* legendButton_ = nullptr;
    bool hourScaleShown_ = false;
};

} // namespace tavik::shell
