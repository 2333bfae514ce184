#include "shell/PictureBox.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>

#include <cmath>

namespace tavik::shell {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::Clear()
{
    const QSize size = imageSize_.isValid() ? imageSize_ : this->size();
    image_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image_.fill(background_.isValid() ? background_ : QColor(Qt::transparent));
    update();
}

void PictureBox::PrintAt(int x, int y, const QString& text)
{
    QPainter p(&image_);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(x, y + p.fontMetrics().ascent(), text);
    update();
}

void PictureBox::SetImage(const QImage& image)
{
    image_ = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    update();
}

void PictureBox::SetImageSize(QSize size)
{
    imageSize_ = size;
    Clear();
}

QPoint PictureBox::ToImage(QPoint at) const
{
    if (!imageSize_.isValid() || width() <= 0 || height() <= 0) return at;
    // Pixel centres map to pixel centres, so that each image column is
    // reached from the middle of the widget columns showing it.
    const auto map = [](int v, int from, int to) { return static_cast<int>(std::floor((v + 0.5) * to / from)); };
    return {map(at.x(), width(), image_.width()), map(at.y(), height(), image_.height())};
}

QPoint PictureBox::ToWidget(QPoint at) const
{
    if (!imageSize_.isValid() || image_.width() <= 0 || image_.height() <= 0) return at;
    const auto map = [](int v, int from, int to) { return static_cast<int>(std::floor((v + 0.5) * to / from)); };
    return {map(at.x(), image_.width(), width()), map(at.y(), image_.height(), height())};
}

void PictureBox::SetBackground(const QColor& colour)
{
    background_ = colour;
    setAttribute(Qt::WA_OpaquePaintEvent, colour.isValid() && colour.alpha() == 255);
    Clear();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (background_.isValid()) p.fillRect(rect(), background_);
    if (imageSize_.isValid()) {
        // Shrunk, one-pixel ticks would drop out unless blended.
        p.setRenderHint(QPainter::SmoothPixmapTransform, width() < image_.width());
        p.drawImage(rect(), image_);
    } else {
        p.drawImage(0, 0, image_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && clickHandler_) clickHandler_(ToImage(event->position().toPoint()));
    QWidget::mousePressEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    // A surface of the widget's size starts again empty; a kept image size
    // is only shown larger or smaller.
    if (!imageSize_.isValid() && image_.size() != event->size()) Clear();
    QWidget::resizeEvent(event);
}

bool PictureBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tipSource_ ? tipSource_(ToImage(help->pos())) : QString();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace tavik::shell
