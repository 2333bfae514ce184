// The start date, typed as day, month and year, and the "recalc" button
// that computes the forecast from it.
#pragma once

#include "platform/DateTime.h"
#include "platform/TextForms.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tavik::shell {

class StartDateRow : public QWidget {
    Q_OBJECT
public:
    StartDateRow();

    // Fills the boxes with a date.
    void Show(DateTime date);
    // The date typed; a wrong one says which box is wrong.
    ParsedDate Typed() const;
    // The year typed, for the year file.
    ParsedYear TypedYear() const;
    // Puts the cursor in a box, its text selected, to be corrected.
    void Select(DateTextField field);
    // Shows the year a two-digit year was taken for ("26" is 2026).
    void ShowYear(int year);
    QPushButton* RecalcButton() const { return recalc_; }
    QLineEdit* LastBox() const { return year_; }

signals:
    // Enter in a box, or the button.
    void RecalcRequested();
    // The user changed the date.
    void Edited();

private:
    QLineEdit* day_ = nullptr;
    QLineEdit* month_ = nullptr;
    QLineEdit* year_ = nullptr;
    QPushButton* recalc_ = nullptr;
};

} // namespace tavik::shell
