#include "shell/DopplerPlot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tavik::shell {

DopplerPlot::DopplerPlot()
{
    setObjectName(QStringLiteral("DopplerPlot"));
    setMinimumSize(160, 140);
}

void DopplerPlot::SetCurve(std::vector<std::pair<double, double>> samples, QString title)
{
    samples_ = std::move(samples);
    title_ = std::move(title);
    setToolTip(title_);
    update();
}

void DopplerPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics m(font());
    const QColor ink = palette().color(QPalette::WindowText);
    if (samples_.size() < 2) {
        p.setPen(ink);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("Give a downlink frequency to see the Doppler curve of the selected pass."));
        return;
    }
    // Symmetric about zero, so that approach and recession read alike.
    double extent = 1;
    for (const auto& [t, hz] : samples_) extent = std::max(extent, std::fabs(hz));
    const double duration = std::max(1.0, samples_.back().first);
    const QRect area =
        rect().adjusted(m.horizontalAdvance(QStringLiteral("-00.0 kHz")) + 8, m.height() + 8, -8, -m.height() - 6);
    const auto at = [&](double t, double hz) {
        return QPointF(area.left() + area.width() * t / duration,
                       area.center().y() - area.height() / 2.0 * hz / extent);
    };
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.drawRect(area);
    p.drawLine(at(0, 0), at(duration, 0));
    p.setPen(ink);
    const auto kHz = [](double hz) { return QStringLiteral("%1 kHz").arg(hz / 1000, 0, 'f', 1); };
    p.drawText(QRect(0, area.top() - m.height() / 2, area.left() - 4, m.height()), Qt::AlignRight, kHz(extent));
    p.drawText(QRect(0, area.center().y() - m.height() / 2, area.left() - 4, m.height()), Qt::AlignRight, kHz(0));
    p.drawText(QRect(0, area.bottom() - m.height() / 2, area.left() - 4, m.height()), Qt::AlignRight, kHz(-extent));
    p.drawText(QRect(area.left(), area.bottom() + 2, area.width(), m.height()), Qt::AlignRight,
               QStringLiteral("%1 min").arg(duration / 60, 0, 'f', 1));
    // The title takes the whole width, above the scale too; what still does
    // not fit is elided, and the tooltip holds it whole.
    p.drawText(QRect(2, 2, width() - 4, m.height()), Qt::AlignLeft, m.elidedText(title_, Qt::ElideRight, width() - 4));
    QPainterPath curve(at(samples_.front().first, samples_.front().second));
    for (const auto& [t, hz] : samples_) curve.lineTo(at(t, hz));
    p.setPen(QPen(QColor(200, 60, 0), 2));
    p.drawPath(curve);
}

} // namespace tavik::shell
