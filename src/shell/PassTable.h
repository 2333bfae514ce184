// What the window's two tables of passes share: the roles their items carry,
// the filter on the maximum elevation and the table's look and behaviour.
#pragma once

#include <QSortFilterProxyModel>

class QTableView;

namespace tavik::shell {

inline constexpr int SortRole = Qt::UserRole;     // the number a column sorts and filters by
inline constexpr int PassRole = Qt::UserRole + 1; // which pass of the result a row shows

// Hides passes whose maximum (the sort value of the column given) lies below
// the chosen elevation.
class ElevationFilter : public QSortFilterProxyModel {
public:
    ElevationFilter(int maxElevationColumn, QObject* parent);
    void SetMinimum(double degrees);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    int column_;
    double minimum_ = 0;
};

// A read-only table of whole rows, one selected at a time, sorted by the
// column given and showing the filter's rows.
QTableView* MakePassTable(ElevationFilter* filter, int sortColumn, const char* name);

} // namespace tavik::shell
