#include "shell/IlluminationView.h"

#include "forecast/StripChart.h"
#include "shell/Controls.h"
#include "shell/PictureBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tavik::shell {

namespace {

// The date column's drawn width; the chart begins where it ends.
constexpr int DayColumnWidth = 88;

} // namespace

// The hour numbers, each above its hour line of the chart below, wherever
// the chart lies and however wide it is shown.
class IlluminationView::HourScale : public QWidget {
public:
    HourScale(IlluminationView* view) : view_(view) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!view_->hourScaleShown_) return;
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const PictureBox* chart = view_->chart_;
        const int left = chart->mapTo(view_, QPoint(0, 0)).x() - mapTo(view_, QPoint(0, 0)).x();
        const double scale = static_cast<double>(chart->width()) / StripWidth;
        const float hourWidth = HourWidth(HourStripWidth);
        // The numbers stand as they were drawn beneath the designed chart:
        // from 8 pixels left of the chart, one blank before each.
        for (int h = 0; h < 24; ++h) {
            const int x = left + static_cast<int>((PixelColumn(10 + static_cast<float>(h) * hourWidth) - 8) * scale);
            p.drawText(x, 1 + p.fontMetrics().ascent(), QStringLiteral(" %1").arg(h));
        }
    }

private:
    IlluminationView* view_;
};

// The row dates, each at the top of its row however tall rows are shown.
class IlluminationView::DayColumn : public QWidget {
public:
    explicit DayColumn(IlluminationView* view) : view_(view) {}
    QStringList Labels;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const double scale = view_->RowScale();
        for (int i = 0; i < Labels.size(); ++i) {
            const int top = static_cast<int>(RowTop(i + 1) * scale);
            p.drawText(10, top + p.fontMetrics().ascent(), Labels[i]);
        }
    }

private:
    IlluminationView* view_;
};

IlluminationView::IlluminationView(QWidget* parent) : QWidget(parent)
{
    hourScale_ = Named(new HourScale(this), "HourStrip");
    legendButton_ = Named(new QToolButton, "LegendButton");
    legendButton_->setText(QStringLiteral("?"));
    legendButton_->setToolTip(QStringLiteral("Legend: what the colours of the chart mean"));
    legendButton_->setAutoRaise(true);
    connect(legendButton_, &QToolButton::clicked, this, &IlluminationView::LegendRequested);
    utcLabel_ = Named(new QLabel(QStringLiteral("UTC")), "UtcLabel");
    utcLabel_->setFont(SansFont(9.75, true));
    auto* header = new QHBoxLayout(hourScale_);
    header->setContentsMargins(8, 0, 0, 0);
    header->setSpacing(4);
    header->addWidget(legendButton_);
    header->addWidget(utcLabel_);
    header->addStretch(1);
    hourScale_->setFixedHeight(std::max(QFontMetrics(font()).height() + 4, legendButton_->sizeHint().height()));

    auto* content = new QWidget;
    days_ = Named(new DayColumn(this), "DateColumn");
    days_->setParent(content);
    chart_ = Named(new PictureBox(content), "StripChart");
    chart_->SetImageSize(QSize(StripWidth, StripHeight));
    rows_ = Named(new QScrollArea, "DayRows");
    rows_->setFrameShape(QFrame::NoFrame);
    rows_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_->setWidget(content);
    rows_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(hourScale_);
    layout->addWidget(rows_, 1);
    // Some height for the rows where the tab is very short; they scroll.
    rows_->setMinimumHeight(8 * RowTop(1));
}

void IlluminationView::SetDayLabels(const QStringList& labels)
{
    days_->Labels = labels;
    days_->update();
}

void IlluminationView::SetHourScaleShown(bool shown)
{
    hourScaleShown_ = shown;
    hourScale_->update();
}

double IlluminationView::RowScale() const { return std::max(1.0, static_cast<double>(chart_->height()) / StripHeight); }

bool IlluminationView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == rows_->viewport() && event->type() == QEvent::Resize) ArrangeRows();
    return QWidget::eventFilter(watched, event);
}

void IlluminationView::ArrangeRows()
{
    // The rows fill the width; they take the height there is, but never
    // less than drawn, scrolling then.
    const QSize room = rows_->viewport()->size();
    const int height = std::max(StripHeight, room.height());
    rows_->widget()->resize(room.width(), height);
    days_->setGeometry(0, 0, DayColumnWidth, height);
    chart_->setGeometry(DayColumnWidth, 0, std::max(1, room.width() - DayColumnWidth), height);
    hourScale_->update();
}

} // namespace tavik::shell
