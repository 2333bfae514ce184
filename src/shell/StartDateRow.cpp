#include "shell/StartDateRow.h"

#include "shell/Controls.h"
#include "shell/QtText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace tavik::shell {

StartDateRow::StartDateRow()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    const struct {
        const char *LabelName, *EditName;
        QString Caption, Placeholder;
        QLineEdit** Edit;
    } boxes[] = {
        {"StartDayLabel", "StartDayEdit", QStringLiteral("start at &day:"), QStringLiteral("DD"), &day_},
        {"StartMonthLabel", "StartMonthEdit", QStringLiteral("&month:"), QStringLiteral("MM"), &month_},
        {"StartYearLabel", "StartYearEdit", QStringLiteral("&year:"), QStringLiteral("YYYY"), &year_},
    };
    for (const auto& box : boxes) {
        QLabel* label = MakeLabel(box.LabelName, box.Caption);
        auto* edit = *box.Edit = Named(new QLineEdit(box.Placeholder), box.EditName);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setBuddy(edit);
        // Room for the placeholder's letters or the digits, whichever is wider.
        const QFontMetrics m(edit->font());
        const int text = std::max(m.horizontalAdvance(edit->text()), m.horizontalAdvance(QStringLiteral("0000")));
        edit->setTextMargins(0, 0, 0, 0);
        edit->setFixedWidth(text + 12);
        row->addWidget(label);
        row->addWidget(edit);
        row->addSpacing(4);
        connect(edit, &QLineEdit::returnPressed, this, &StartDateRow::RecalcRequested);
        connect(edit, &QLineEdit::textEdited, this, &StartDateRow::Edited);
    }
    recalc_ = Named(new QPushButton(QStringLiteral("&recalc")), "RecalcButton");
    connect(recalc_, &QPushButton::clicked, this, &StartDateRow::RecalcRequested);
    row->addWidget(recalc_);
    setTabOrder(day_, month_);
    setTabOrder(month_, year_);
    setTabOrder(year_, recalc_);
}

void StartDateRow::Show(DateTime date)
{
    const CalendarFields f = date.Fields();
    day_->setText(QStringLiteral("%1").arg(f.Day, 2, 10, QLatin1Char('0')));
    month_->setText(QStringLiteral("%1").arg(f.Month, 2, 10, QLatin1Char('0')));
    year_->setText(QStringLiteral("%1").arg(f.Year, 4, 10, QLatin1Char('0')));
}

ParsedDate StartDateRow::Typed() const
{
    return ParseForecastDate(S(day_->text()), S(month_->text()), S(year_->text()));
}

ParsedYear StartDateRow::TypedYear() const { return ParseForecastYear(S(year_->text())); }

void StartDateRow::Select(DateTextField field)
{
    QLineEdit* box = field == DateTextField::Month ? month_ : field == DateTextField::Year ? year_ : day_;
    box->setFocus();
    box->selectAll();
}

void StartDateRow::ShowYear(int year) { year_->setText(QString::number(year)); }

} // namespace tavik::shell
