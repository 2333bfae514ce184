// A drawing surface that keeps what is drawn into it until it is cleared, as
// the window's date column, hour strip and strip chart need: the forecast
// draws once and the widget repaints from the kept image.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

namespace tavik::shell {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Empties the surface to the background colour; the size follows the widget.
    void Clear();
    // Prints text with its top left corner at (x, y) in the widget's font.
    void PrintAt(int x, int y, const QString& text);
    // Replaces the whole surface.
    void SetImage(const QImage& image);
    const QImage& Image() const { return image_; }

    // Keeps the image at this size whatever the widget's (an empty size
    // undoes it): the image is shown stretched to the widget, and pointer
    // positions reach the handlers in the image's pixels.
    void SetImageSize(QSize size);
    // The image's pixel under a point of the widget, and the widget's point
    // that shows an image pixel.
    QPoint ToImage(QPoint widgetPoint) const;
    QPoint ToWidget(QPoint imagePoint) const;

    // Without a background colour (the default) the surface is transparent
    // and the parent shows through where nothing is drawn.
    void SetBackground(const QColor& colour);
    QColor Background() const { return background_; }

    // Text for the tooltip at a point of the surface; empty for none.
    void SetToolTipSource(std::function<QString(QPoint)> source) { tipSource_ = std::move(source); }
    // Called with the point of a left click on the surface.
    void SetClickHandler(std::function<void(QPoint)> handler) { clickHandler_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor background_;
    QImage image_;
    QSize imageSize_;
    std::function<QString(QPoint)> tipSource_;
    std::function<void(QPoint)> clickHandler_;
};

} // namespace tavik::shell
