#include "shell/PassTable.h"

#include <QHeaderView>
#include <QTableView>

namespace tavik::shell {

ElevationFilter::ElevationFilter(int maxElevationColumn, QObject* parent)
    : QSortFilterProxyModel(parent), column_(maxElevationColumn)
{
    setSortRole(SortRole);
}

void ElevationFilter::SetMinimum(double degrees)
{
    minimum_ = degrees;
    invalidateFilter();
}

bool ElevationFilter::filterAcceptsRow(int row, const QModelIndex& parent) const
{
    return sourceModel()->index(row, column_, parent).data(SortRole).toDouble() >= minimum_;
}

QTableView* MakePassTable(ElevationFilter* filter, int sortColumn, const char* name)
{
    auto* table = new QTableView;
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(filter);
    table->setSortingEnabled(true);
    table->sortByColumn(sortColumn, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace tavik::shell
