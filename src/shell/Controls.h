// Small helpers for making the window's controls: the designed fonts, and
// names by which the tests and the screenshots find each control.
#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QLabel>

namespace tavik::shell {

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

template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QLabel* MakeLabel(const char* name, const QString& text)
{
    auto* l = Named(new QLabel(text), name);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace tavik::shell
