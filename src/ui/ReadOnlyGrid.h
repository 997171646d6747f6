#pragma once
#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

// The read-only result grid every list and search window shows: whole-row
// single selection, no editing, no row numbers, fixed row height, clickable
// column titles, the last column filling the width.
QTableView *makeReadOnlyGrid(QWidget *parent, QAbstractItemModel *model, const QString &objectName,
                             const QString &accessibleName = {});
