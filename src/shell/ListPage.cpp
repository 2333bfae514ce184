#include "shell/ListPage.h"

#include "shell/Controls.h"

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

} // namespace tavik::shell
