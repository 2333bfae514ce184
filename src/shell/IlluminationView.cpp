#include "shell/IlluminationView.h"

#include "output/ListLines.h"
#include "shell/Controls.h"
#include "shell/PictureBox.h"
#include "shell/QtText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavik::shell {

namespace {

// The date column's drawn width; the chart begins where it ends.
constexpr int DayColumnWidth = 88;

// The stop banner across the rows: no colour of the chart's own.
const QColor StopBanner(48, 48, 64);

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

IlluminationView::IlluminationView(RegionalFormats formats, QWidget* parent)
    : QWidget(parent), formats_(std::move(formats))
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
    chart_->SetBackground(QColor(strip_.Pixels[0].R, strip_.Pixels[0].G, strip_.Pixels[0].B));
    chart_->SetToolTipSource([this](QPoint at) { return MinuteTip(at); });
    chart_->SetClickHandler([this](QPoint at) {
        if (const auto minute = MinuteAt(at)) emit MinuteClicked(*minute);
    });
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

void IlluminationView::Show(const ForecastResult& result, const PlanningDetails* details)
{
    result_ = &result;
    details_ = details;
    highlighted_ = -1;
    strip_ = RenderStrip(result, StripStyle{.PassBand = true});
    days_->Labels.clear();
    for (const std::string& label : RowLabels(result, formats_)) days_->Labels << Q(label);
    days_->update();
    Refresh();
}

void IlluminationView::Clear()
{
    result_ = nullptr;
    details_ = nullptr;
    highlighted_ = -1;
    strip_ = PixelBuffer(StripWidth, StripHeight, StripStyle{}.Background);
    days_->Labels.clear();
    days_->update();
    hourScaleShown_ = false;
    hourScale_->update();
    Refresh();
}

void IlluminationView::DrawHourGrid()
{
    hourScaleShown_ = true;
    hourScale_->update();
    DrawHourLines(strip_, HourWidth(HourStripWidth));
    Refresh();
}

void IlluminationView::SetHighlightedPass(int index)
{
    highlighted_ = index;
    Refresh();
}

void IlluminationView::Refresh()
{
    static_assert(sizeof(Rgb) == 3, "pixels are packed RGB");
    QImage image(strip_.Width, strip_.Height, QImage::Format_RGB888);
    for (int y = 0; y < strip_.Height; ++y)
        std::memcpy(image.scanLine(y), &strip_.Pixels[static_cast<std::size_t>(y) * strip_.Width],
                    static_cast<std::size_t>(strip_.Width) * 3);
    QPainter painter(&image);
    if (details_ && highlighted_ >= 0 && static_cast<std::size_t>(highlighted_) < details_->Passes.size()) {
        // A frame around the selected pass's minutes in each day row it
        // touches, over the ticks, which stay readable inside it.
        const PassDetail& p = details_->Passes[static_cast<std::size_t>(highlighted_)];
        painter.setPen(QPen(QColor(230, 0, 230), 2));
        painter.setBrush(QColor(230, 0, 230, 70));
        for (std::int64_t k = p.FirstMinute; k < p.EndMinute;) {
            const std::int64_t day = k / MinutesPerDay;
            const std::int64_t end = std::min(p.EndMinute, (day + 1) * MinutesPerDay);
            const int x0 = PixelColumn(static_cast<float>(k - day * MinutesPerDay) * MinuteWidth(StripWidth));
            const int x1 = PixelColumn(static_cast<float>(end - day * MinutesPerDay) * MinuteWidth(StripWidth));
            const int top = RowTop(static_cast<int>(day) + 1);
            painter.drawRect(QRect(x0 - 3, top - 1, std::max(x1 - x0, 1) + 5, 12));
            k = end;
        }
    }
    if (result_ && !result_->Completed()) {
        // A stopped run left white rows and no word where the user looks: a
        // banner across the rows after the stop says why.
        const QString text =
            QStringLiteral("Stopped on day %1: %2").arg(result_->StopDay).arg(Q(StopMessage(*result_, formats_)));
        const int height = 24;
        const int top = std::min(RowTop(result_->StopDay + 1) + 2, image.height() - height);
        painter.setPen(Qt::NoPen);
        painter.fillRect(QRect(0, top, image.width(), height), StopBanner);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setPixelSize(13);
        painter.setFont(font);
        const QRect box(6, top, image.width() - 12, height);
        painter.drawText(box, Qt::AlignVCenter | Qt::AlignLeft,
                         QFontMetrics(font).elidedText(text, Qt::ElideRight, box.width()));
    }
    painter.end();
    chart_->SetImage(image);
}

std::optional<std::int64_t> IlluminationView::MinuteAt(QPoint at) const
{
    const int day = at.y() / RowTop(1);
    if (at.y() < 0 || day < 1 || day > ForecastDays) return std::nullopt;
    const int minute =
        std::clamp(static_cast<int>(std::lround(at.x() / MinuteWidth(StripWidth))), 0, MinutesPerDay - 1);
    return static_cast<std::int64_t>(day - 1) * MinutesPerDay + minute;
}

QString IlluminationView::MinuteTip(QPoint at) const
{
    const auto minute = MinuteAt(at);
    if (!result_ || !minute) return {};
    const int day = static_cast<int>(*minute / MinutesPerDay) + 1;
    const int inDay = static_cast<int>(*minute % MinutesPerDay);
    const DateTime when = result_->Start.AddDays(day - 1).AddMinutes(inDay);
    const CalendarFields c = when.Fields();
    QString tip = QStringLiteral("%1 %2:%3 UTC")
                      .arg(Q(FormatDatePattern(when, formats_)))
                      .arg(c.Hour, 2, 10, QLatin1Char('0'))
                      .arg(c.Minute, 2, 10, QLatin1Char('0'));
    const MinuteRecord* r = result_->At(day, inDay);
    if (!r || *minute >= static_cast<std::int64_t>(result_->WalkedSteps)) {
        tip += QStringLiteral("\nnot computed");
        if (!result_->Completed()) tip += QStringLiteral(": ") + Q(StopMessage(*result_, formats_));
        return tip;
    }
    const auto decimal = [this](double value, int places) {
        return QString::number(value, 'f', places).replace(QLatin1Char('.'), Q(formats_.DecimalSeparator));
    };
    tip += r->InEclipse ? QStringLiteral("\nin shadow") : QStringLiteral("\nsunlit");
    tip += QStringLiteral("\nillumination %1 %").arg(std::lround(r->Illumination * 100));
    if (r->SatElevation > 0)
        tip +=
            QStringLiteral("\nelevation %1°, azimuth %2°").arg(decimal(r->SatElevation, 1), decimal(r->SatAzimuth, 0));
    return tip;
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
