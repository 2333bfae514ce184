#include "cli/StripImage.h"

#include "forecast/StripChart.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

namespace tavik::cli {

namespace {

// The window's controls in pixels (twips / 15), moved up so that the image
// keeps an 8-pixel margin above the two pictures as on their left.
constexpr int Top = 8;
const QRect DateColumn(8, Top, 81, StripHeight);          // date label of every row
const QRect Strip(88, Top, StripWidth, StripHeight);      // the day-by-minute strip
const QRect HourScale(80, Top + 680, HourStripWidth, 17); // hour numbers beneath
const QRect UtcLabel(32, Top + 680, 41, 17);              // "UTC" beside the hour numbers

const QColor Face(240, 240, 240);
const QColor Paper(255, 255, 255);
const QColor Ink(0, 0, 0);

QFont SansFont(int pixelSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QImage ToImage(const PixelBuffer& buffer)
{
    QImage image(buffer.Width, buffer.Height, QImage::Format_RGB32);
    for (int y = 0; y < buffer.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < buffer.Width; ++x) {
            Rgb c = buffer.At(x, y);
            line[x] = qRgb(c.R, c.G, c.B);
        }
    }
    return image;
}

// Text whose top edge lies at (x, y) of the area, cut at the area's edges as
// a picture box cuts what is printed into it.
void PrintAt(QPainter& painter, const QRect& area, int x, int y, const QString& text)
{
    painter.save();
    painter.setClipRect(area);
    painter.drawText(QRect(area.left() + x, area.top() + y, area.width(), area.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.restore();
}

} // namespace

std::string StripPngBytes(const ForecastResult& result, const std::vector<std::string>& rowLabels)
{
    PixelBuffer buffer = RenderStrip(result, StripStyle{.PassBand = true});
    const float hourWidth = HourWidth(HourStripWidth);
    DrawHourLines(buffer, hourWidth);

    QImage image(StripImageWidth, StripImageHeight, QImage::Format_RGB32);
    image.fill(Face);
    {
        QPainter painter(&image);
        painter.fillRect(DateColumn, Paper);
        painter.drawImage(Strip.topLeft(), ToImage(buffer));
        // The hour scale overlaps the strip's bottom pixel row, as in the
        // window; no tick reaches that row.
        painter.fillRect(HourScale, Paper);
        painter.setPen(Ink);

        painter.setFont(SansFont(10));
        for (std::size_t i = 0; i < rowLabels.size(); ++i)
            PrintAt(painter, DateColumn, 10, RowTop(static_cast<int>(i) + 1), QString::fromStdString(rowLabels[i]));
        for (int h = 0; h < 24; ++h) {
            // A printed number gets one blank in front: " 5".
            const int x = PixelColumn(10 + static_cast<float>(h) * hourWidth);
            PrintAt(painter, HourScale, x, 1, QStringLiteral(" %1").arg(h));
        }
        painter.setFont(SansFont(12, true));
        PrintAt(painter, UtcLabel, 0, 1, QStringLiteral("UTC"));
    }

    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    if (!image.save(&device, "PNG")) return {};
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace tavik::cli
