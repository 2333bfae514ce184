#include "shell/ListPage.h"

#include "shell/Controls.h"
#include "shell/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tavik::shell {

FittedList::FittedList(QString longest) : longest_(std::move(longest))
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The designed grey of the list's background, the buttons' face.
    QPalette p = palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    setPalette(p);
    Fit();
}

void FittedList::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    Fit();
}

void FittedList::Fit()
{
    // The designed size, or smaller where the longest line would not fit.
    QFont f = FixedFont(9);
    const int room = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width() - 8;
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(longest_) > room)
        f.setPointSizeF(f.pointSizeF() - 0.25);
    if (f != font()) setFont(f);
}

ListPage::ListPage(const QString& longestLine, const char* listName, const char* buttonName, const char* statusName)
{
    list_ = Named(new FittedList(longestLine), listName);
    save_ = Named(new QPushButton(QStringLiteral("&Save")), buttonName);
    save_->setFont(SansFont(8.25, true));
    status_ = Named(new QLabel, statusName);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path wraps, or is cut, rather than widening the window.
    status_->setWordWrap(true);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    connect(save_, &QPushButton::clicked, this, &ListPage::SaveClicked);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(save_);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(16, 8, 16, 8);
    layout_->addWidget(list_, 1);
    layout_->addLayout(bottom);
}

void ListPage::AddHeader(QWidget* header) { layout_->insertWidget(layout_->count() - 2, header); }

void ListPage::ShowLines(const std::vector<std::string>& lines, const QString& emptyNote)
{
    list_->clear();
    for (const std::string& line : lines) list_->addItem(Q(line));
    if (!lines.empty()) return;
    auto* note = new QListWidgetItem(emptyNote, list_);
    note->setFlags(Qt::NoItemFlags);
    note->setData(Qt::UserRole, QStringLiteral("EmptyNote"));
}

PassesPage::PassesPage(const QString& longestLine)
    : ListPage(longestLine, "PassList", "SavePassesButton", "PassesStatus")
{
    auto* header = new QWidget;
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < 2; ++i) {
        lines_[i] = MakeLabel(i == 0 ? "ElementLine1" : "ElementLine2",
                              i == 0 ? QStringLiteral("TLE Line1") : QStringLiteral("TLE Line2"));
        lines_[i]->setFont(FixedFont(8.25));
        lines_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(lines_[i], i, 0);
    }
    locator_ = MakeLabel("LocatorLabel", QString());
    locator_->setFont(SansFont(9.75, true));
    grid->addWidget(locator_, 0, 1, Qt::AlignRight | Qt::AlignTop);
    // Doubts about the element lines shown above it (a check digit that does
    // not match), between the lines and the pass list.
    warning_ = MakeLabel("LineWarning", QString());
    warning_->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0)"));
    warning_->setWordWrap(true);
    grid->addWidget(warning_, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    AddHeader(header);
}

void PassesPage::ShowElementSet(const CurrentElementSet& elements)
{
    lines_[0]->setText(Q(elements.Line1));
    lines_[1]->setText(Q(elements.Line2));
    // A refused set says why in its own message; a usable one with doubtful
    // lines runs, with the doubt in sight.
    QStringList warnings;
    if (!elements.LineProblem)
        for (const std::string& w : elements.LineWarnings) warnings << Q(w);
    warning_->setText(warnings.isEmpty() ? QString()
                                         : QStringLiteral("Warning: ") + warnings.join(QStringLiteral("  ")));
    warning_->setToolTip(warnings.join(QLatin1Char('\n')));
}

void PassesPage::ShowLocator(const QString& locator) { locator_->setText(locator); }

} // namespace tavik::shell
