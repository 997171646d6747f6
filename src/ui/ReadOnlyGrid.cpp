#include "ui/ReadOnlyGrid.h"

#include <QHeaderView>
#include <QTableView>

QTableView *makeReadOnlyGrid(QWidget *parent, QAbstractItemModel *model, const QString &objectName,
                             const QString &accessibleName)
{
    auto *g = new QTableView(parent);
    g->setObjectName(objectName);
    if (!accessibleName.isEmpty())
        g->setAccessibleName(accessibleName);
    g->setModel(model);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    g->horizontalHeader()->setSectionsClickable(true);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}
