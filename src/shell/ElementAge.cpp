#include "shell/ElementAge.h"

#include "astro/TimeScales.h"

#include <cmath>

namespace tavik::shell {

void ElementAgeLabel::Show(const CurrentElementSet* elements, std::optional<DateTime> start)
{
    clear();
    if (!elements || elements->LineProblem || !start) return;
    const double age = EpochAgeDays(elements->Epoch, *start);
    const QString days = QString::number(std::fabs(age), 'f', 1);
    QString text;
    // Dark amber and red on a light window, light ones on a dark window: each
    // keeps a contrast of at least 4.5:1 with it.
    // The window's palette: a style sheet keeps the label's own from following it.
    const QPalette& shown = window()->palette();
    const bool dark = shown.color(QPalette::Window).lightness() < 128;
    const QColor amber = dark ? QColor(255, 190, 80) : QColor(150, 90, 0);
    const QColor red = dark ? QColor(255, 120, 120) : QColor(176, 0, 0);
    QColor colour = shown.color(QPalette::WindowText);
    if (age < 0) {
        text =
            QStringLiteral("The start date lies %1 days before the epoch of these elements: passes drift.").arg(days);
        colour = amber;
    } else if (age > 30) {
        text = QStringLiteral("Elements %1 days old at the start date: passes drift, get fresh elements.").arg(days);
        colour = red;
    } else if (age > 14) {
        text = QStringLiteral("Elements %1 days old at the start date: passes drift.").arg(days);
        colour = amber;
    } else {
        text = QStringLiteral("Elements %1 days old at the start date.").arg(days);
    }
    setText(text);
    setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
}

} // namespace tavik::shell
