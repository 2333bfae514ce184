#include "shell/PictureBox.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>

namespace tavik::shell {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::Clear()
{
    image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
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
    p.drawImage(0, 0, image_);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && clickHandler_) clickHandler_(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    // The window has a fixed layout, so this happens once, before anything is drawn.
    if (image_.size() != event->size()) Clear();
    QWidget::resizeEvent(event);
}

bool PictureBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tipSource_ ? tipSource_(help->pos()) : QString();
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
