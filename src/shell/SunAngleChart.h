// The Sun Angle tab's chart: one bar per forecast day. Its title names the
// satellite and the start date the bars belong to, since a run that stops
// early leaves the bars of the run before.
#pragma once

#include "platform/RegionalFormats.h"

#include <QString>
#include <QtCharts/QChartView>

#include <array>

class QBarSet;

namespace tavik::shell {

class SunAngleChart : public QChartView {
    Q_OBJECT
public:
    explicit SunAngleChart(RegionalFormats formats, QWidget* parent = nullptr);

    template <std::size_t N>
    void SetBars(const std::array<double, N>& values, const QString& satellite, const QString& start)
    {
        QList<qreal> list;
        for (double v : values) list << v;
        SetBars(list, satellite, start);
    }
    void SetBars(const QList<qreal>& values, const QString& satellite, const QString& start);
    // "SAT from 2024-03-05", or empty before the first complete run.
    const QString& BarsOf() const { return barsOf_; }
    const QBarSet* Bars() const { return bars_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void FollowPalette();

    RegionalFormats formats_;
    QBarSet* bars_ = nullptr;
    QString barsOf_;
};

} // namespace tavik::shell
