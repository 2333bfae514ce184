#include "shell/SatelliteBox.h"

#include "shell/Controls.h"
#include "shell/QtText.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace tavik::shell {

SatelliteBox::SatelliteBox()
{
    setFont(SansFont(18, true));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    completer()->setCompletionMode(QCompleter::PopupCompletion);
    completer()->setFilterMode(Qt::MatchContains);
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
    // The designed dark teal on light grey.
    QPalette p = palette();
    for (auto role : {QPalette::Button, QPalette::Base, QPalette::Window}) p.setColor(role, QColor(224, 224, 224));
    for (auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText}) p.setColor(role, QColor(0, 64, 64));
    setPalette(p);
    // Only a user's choice counts, not the filling of the box.
    connect(this, &QComboBox::activated, this, &SatelliteBox::Chosen);
    // The completion may report the choice the list reports too; the second
    // finds the box disabled by the run the first started.
    connect(completer(), qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& name) { Choose(findText(name, Qt::MatchExactly)); });
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] { Choose(BestMatch(currentText())); });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (!inUse_.isEmpty() && findText(currentText(), Qt::MatchExactly) < 0) setEditText(inUse_);
    });
    connect(this, &QComboBox::currentTextChanged, this, &SatelliteBox::FitName);
}

void SatelliteBox::SetNames(const std::vector<std::string>& names)
{
    clear();
    int widest = 0;
    const QFontMetrics metrics(view()->font());
    for (const std::string& name : names) {
        addItem(Q(name));
        widest = std::max(widest, metrics.horizontalAdvance(Q(name)));
    }
    // The box keeps its width; its list opens as wide as the longest name.
    view()->setMinimumWidth(widest + view()->verticalScrollBar()->sizeHint().width() + 24);
    setCurrentIndex(0);
}

int SatelliteBox::BestMatch(const QString& typed) const
{
    const QString wanted = typed.trimmed();
    if (wanted.isEmpty()) return -1;
    const int whole = findText(wanted, Qt::MatchFixedString);
    return whole >= 0 ? whole : findText(wanted, Qt::MatchContains);
}

void SatelliteBox::Choose(int index)
{
    if (index < 0 || !isEnabled()) return;
    setCurrentIndex(index);
    emit Chosen(index);
}

void SatelliteBox::FitName(const QString& name)
{
    // A long name ("SAT 1C (SO-50)") showed only its end: the designed font
    // gives way, a point at a time, until the whole name fits, and the name
    // shows from its start; the tooltip always holds it whole.
    setToolTip(name);
    QLineEdit* edit = lineEdit();
    QFont f = SansFont(18, true);
    const int room = edit->contentsRect().width() - 2 * edit->textMargins().left() - 6;
    while (f.pointSizeF() > 9 && QFontMetrics(f).horizontalAdvance(name) > room) f.setPointSizeF(f.pointSizeF() - 1);
    edit->setFont(f);
    edit->setCursorPosition(0);
}

} // namespace tavik::shell
