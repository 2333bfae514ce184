#include "shell/SunAngleChart.h"
#include "shell/QtText.h"

#include "forecast/Forecast.h"

#include <QEvent>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

namespace tavik::shell {

namespace {

const QString Title = QStringLiteral("Sun angle at 24:00 UTC of each forecast day");

} // namespace

SunAngleChart::SunAngleChart(RegionalFormats formats, QWidget* parent)
    : QChartView(parent), formats_(std::move(formats))
{
    setObjectName(QStringLiteral("SunAngleChart"));
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(Title);
    chart->setMargins(QMargins(4, 4, 4, 4));

    bars_ = new QBarSet(QStringLiteral("sun angle"));
    bars_->setColor(QColor(0, 96, 160));
    bars_->setBorderColor(QColor(0, 64, 112));
    auto* series = new QBarSeries;
    series->setBarWidth(0.7);
    series->append(bars_);
    chart->addSeries(series);

    // Day d's bar stands at d - 1. A category axis would label all 59 bars,
    // but at this width Qt Charts shortens every label to "..."; the labels
    // go to every fifth day instead, and the tooltip of a bar names its day.
    auto* days = new QCategoryAxis;
    days->setObjectName(QStringLiteral("DayAxis"));
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int d : {1, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 59}) days->append(QString::number(d), d - 1);
    days->setTitleText(QStringLiteral("day"));
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);
    connect(bars_, &QBarSet::hovered, this, [this](bool entered, int index) {
        if (!entered || index < 0 || index >= bars_->count()) {
            setToolTip(QString());
            return;
        }
        setToolTip(
            QStringLiteral("%1, day %2: %3°")
                .arg(barsOf_)
                .arg(index + 1)
                .arg(
                    QString::number(bars_->at(index), 'f', 1).replace(QLatin1Char('.'), Q(formats_.DecimalSeparator))));
    });

    auto* degrees = new QValueAxis;
    degrees->setObjectName(QStringLiteral("AngleAxis"));
    degrees->setRange(-90, 90);
    degrees->setTickCount(7);
    degrees->setMinorTickCount(2);
    degrees->setLabelFormat(QStringLiteral("%d"));
    degrees->setTitleText(QStringLiteral("sun angle (degrees)"));
    chart->addAxis(degrees, Qt::AlignLeft);
    series->attachAxis(degrees);
    days->setStartValue(-0.5);
    days->setRange(-0.5, ForecastDays - 0.5);

    QChart* madeByTheView = this->chart();
    setChart(chart);
    delete madeByTheView; // the view gives up the chart it was made with; nobody else frees it
    setRenderHint(QPainter::Antialiasing);
    FollowPalette();
}

void SunAngleChart::SetBars(const QList<qreal>& values, const QString& satellite, const QString& start)
{
    bars_->remove(0, bars_->count());
    bars_->append(values);
    barsOf_ = QStringLiteral("%1 from %2").arg(satellite, start);
    chart()->setTitle(Title + QStringLiteral(": ") + barsOf_);
}

void SunAngleChart::changeEvent(QEvent* event)
{
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) FollowPalette();
}

void SunAngleChart::FollowPalette()
{
    // The chart's own theme is light whatever the desktop is; a dark style
    // would leave a white plate in a dark window.
    const QPalette p = palette();
    QChart* c = chart();
    c->setBackgroundBrush(p.color(QPalette::Base));
    c->setPlotAreaBackgroundVisible(false);
    c->setTitleBrush(p.color(QPalette::Text));
    setBackgroundBrush(p.color(QPalette::Window));
    for (QAbstractAxis* axis : c->axes()) {
        axis->setLabelsColor(p.color(QPalette::Text));
        axis->setTitleBrush(p.color(QPalette::Text));
        QColor grid = p.color(QPalette::Text);
        grid.setAlpha(60);
        axis->setGridLineColor(grid);
        axis->setLinePenColor(p.color(QPalette::Text));
    }
}

} // namespace tavik::shell
