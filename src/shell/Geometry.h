// The window's layout is fixed and given in twips; at 15 twips a pixel every
// position and size becomes a whole number of pixels.
#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QRect>
#include <QSize>
#include <QTabWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace tavik::shell {

inline constexpr int TwipsPerPixel = 15;

constexpr QRect Twips(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel);
}
constexpr QSize Twips(int width, int height) { return QSize(width / TwipsPerPixel, height / TwipsPerPixel); }

// The system's sans-serif at the given size.
inline QFont SansFont(double points, bool bold = false)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The system's fixed-pitch font, so that the columns of the lists line up.
inline QFont FixedFont(double points, bool bold = false)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The layout was made for a narrower font than most systems have. A label
// whose text does not fit first takes up to `room` pixels, when there is
// free space to its right, and then a slightly smaller size, so that its
// text is never cut off.
inline void FitToWidth(QLabel* label, int room = 0)
{
    const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 1;
    if (needed > label->width() && room > label->width()) label->resize(std::min(needed, room), label->height());
    QFont f = label->font();
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(label->text()) + 1 > label->width())
        f.setPointSizeF(f.pointSizeF() - 0.25);
    label->setFont(f);
}

// A tab page whose controls are placed relative to the whole tab control,
// tab row included, whatever height the style gives that row.
class TabPage : public QWidget {
public:
    explicit TabPage(QTabWidget* tabs) : tabs_(tabs) {}

    template <typename W>
    W* Place(W* widget, QRect inTabControl)
    {
        widget->setParent(this);
        placed_.push_back({widget, inTabControl});
        Arrange();
        return widget;
    }

    void Arrange()
    {
        const QPoint offset = tabs_->isAncestorOf(this) ? mapTo(tabs_, QPoint(0, 0)) : QPoint();
        for (auto& [widget, rect] : placed_) widget->setGeometry(rect.translated(-offset));
    }

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        Arrange();
        QWidget::resizeEvent(e);
    }
    void moveEvent(QMoveEvent* e) override
    {
        Arrange();
        QWidget::moveEvent(e);
    }
    void showEvent(QShowEvent* e) override
    {
        Arrange();
        QWidget::showEvent(e);
    }

private:
    QTabWidget* tabs_;
    std::vector<std::pair<QWidget*, QRect>> placed_;
};

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect rect)
{
    auto* l = Named(new QLabel(text, parent), name);
    l->setGeometry(rect);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace tavik::shell
