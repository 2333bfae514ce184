#include "shell/SkyPlot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tavik::shell {

namespace {

const QColor SunlitColour(230, 160, 0);
const QColor EclipsedColour(40, 60, 160);
const QColor GridColour(170, 170, 170);
const QColor PresentColour(220, 0, 200);

} // namespace

SkyPlot::SkyPlot(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(200, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkyPlot::SetPass(const PassDetail& pass, std::vector<PassPointDetail> track, QString title)
{
    hasPass_ = true;
    pass_ = pass;
    track_ = std::move(track);
    title_ = std::move(title);
    update();
}

void SkyPlot::SetPresent(std::optional<QPointF> azimuthElevation)
{
    if (azimuthElevation == present_) return;
    present_ = azimuthElevation;
    update();
}

void SkyPlot::Clear(QString why)
{
    hasPass_ = false;
    present_.reset();
    track_.clear();
    title_ = std::move(why);
    update();
}

QPointF SkyPlot::Place(double azimuth, double elevation) const
{
    // Room around the horizon for the compass letters, whose centres lie 0.7
    // of a line outside it, and below it for the legend or the note.
    const int h = fontMetrics().height();
    const int legend = 2 * h + 6;
    const QRectF area = QRectF(rect()).adjusted(2 * h, 2 * h, -2 * h, -legend - 2 * h);
    const double radius = std::min(area.width(), area.height()) / 2;
    const double r = radius * (90 - std::clamp(elevation, 0.0, 90.0)) / 90;
    const double a = azimuth * M_PI / 180;
    return area.center() + QPointF(r * std::sin(a), -r * std::cos(a));
}

QRectF SkyPlot::CompassLabelRect(int azimuth) const
{
    const QPointF centre = Place(0, 90);
    const double radius = centre.y() - Place(0, 0).y();
    const int h = fontMetrics().height();
    const QPointF at = centre + (Place(azimuth, 0) - centre) * (1 + (h * 0.7) / radius);
    return QRectF(at.x() - h, at.y() - h / 2.0, 2 * h, h);
}

QRectF SkyPlot::NoteRect() const
{
    // The legend's place, which is empty while no pass is shown.
    const int legend = 2 * fontMetrics().height() + 6;
    return QRectF(4, height() - legend, width() - 8, legend - 2);
}

void SkyPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = Place(0, 90);
    const double radius = centre.y() - Place(0, 0).y();

    // Elevation rings at 0, 30 and 60 degrees, azimuth spokes every 30.
    p.setPen(QPen(GridColour, 1));
    for (int el : {0, 30, 60}) {
        const double r = radius * (90 - el) / 90;
        p.drawEllipse(centre, r, r);
    }
    for (int az = 0; az < 360; az += 30) p.drawLine(centre, Place(az, 0));
    p.setPen(palette().color(QPalette::Text));
    const int h = fontMetrics().height();
    const struct {
        int Az;
        const char* Name;
    } points[] = {{0, "N"}, {90, "E"}, {180, "S"}, {270, "W"}};
    for (const auto& c : points) p.drawText(CompassLabelRect(c.Az), Qt::AlignCenter, QString::fromLatin1(c.Name));
    p.setPen(GridColour);
    for (int el : {30, 60}) p.drawText(Place(0, el) + QPointF(3, -2), QStringLiteral("%1°").arg(el));

    if (!hasPass_) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(NoteRect(), Qt::AlignVCenter | Qt::AlignHCenter | Qt::TextWordWrap,
                   title_.isEmpty() ? QStringLiteral("Select a pass to see its track.") : title_);
        return;
    }

    // The track, minute by minute; the light changes somewhere between two
    // minutes, so each half of a segment takes the light of its own end.
    for (std::size_t i = 1; i < track_.size(); ++i) {
        const PassPointDetail& a = track_[i - 1];
        const PassPointDetail& b = track_[i];
        const QPointF from = Place(a.Azimuth, a.Elevation), to = Place(b.Azimuth, b.Elevation);
        const QPointF middle = (from + to) / 2;
        p.setPen(QPen(a.Sunlit ? SunlitColour : EclipsedColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, middle);
        p.setPen(QPen(b.Sunlit ? SunlitColour : EclipsedColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(middle, to);
    }
    if (track_.size() == 1) {
        p.setPen(QPen(track_[0].Sunlit ? SunlitColour : EclipsedColour, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(Place(track_[0].Azimuth, track_[0].Elevation));
    }
    auto mark = [&](const PassPointDetail& at, const QColor& colour, const QString& label, bool square) {
        const QPointF c = Place(at.Azimuth, at.Elevation);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(colour);
        if (square)
            p.drawRect(QRectF(c.x() - 4, c.y() - 4, 8, 8));
        else
            p.drawEllipse(c, 5, 5);
        p.setBrush(Qt::NoBrush);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(c + QPointF(7, -5), label);
    };
    if (pass_.RiseKnown) mark(pass_.Rise, QColor(0, 170, 0), QStringLiteral("rise"), false);
    if (pass_.SetKnown) mark(pass_.Set, QColor(200, 0, 0), QStringLiteral("set"), true);
    mark(pass_.Max, Qt::white, QStringLiteral("max %1°").arg(pass_.Max.Elevation, 0, 'f', 1), false);
    if (present_) {
        // Now: a diamond in a colour of its own, larger than the other marks.
        const QPointF c = Place(present_->x(), present_->y());
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(PresentColour);
        p.drawPolygon(QPolygonF({c + QPointF(0, -8), c + QPointF(8, 0), c + QPointF(0, 8), c + QPointF(-8, 0)}));
        p.setBrush(Qt::NoBrush);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(c + QPointF(10, 12), QStringLiteral("now"));
    }

    // Title and legend below the plot.
    p.setPen(palette().color(QPalette::Text));
    const int bottom = height() - 2 * h - 4;
    p.drawText(QRectF(4, bottom, width() - 8, h), Qt::AlignLeft | Qt::AlignVCenter, title_);
    int x = 4;
    const int y = bottom + h + 2;
    for (auto [colour, text] :
         {std::pair{SunlitColour, QStringLiteral("sunlit")}, std::pair{EclipsedColour, QStringLiteral("in shadow")}}) {
        p.fillRect(QRect(x, y + h / 2 - 2, 18, 4), colour);
        x += 22;
        p.drawText(QRect(x, y, 100, h), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += fontMetrics().horizontalAdvance(text) + 16;
    }
}

} // namespace tavik::shell
