#pragma once
#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

// The read-only result grid every list and search window shows: whole-row
// single selection, no editing, no row numbers, fixed row height, clickable
// column titles. Each time the model is loaded anew its columns are sized to
// their titles and contents (never narrower than a width the screen set), and
// the name column (the first whose title begins with "Nome" or names the
// owner or the animal; else the last) takes the width left over.
QTableView *makeReadOnlyGrid(QWidget *parent, QAbstractItemModel *model, const QString &objectName,
                             const QString &accessibleName = {});

namespace ReadOnlyGrid {
// Sizes the columns now, as a new load does.
void fit(QTableView *grid);
// Makes `column` the one that takes the width left over (-1: the heuristic).
void setStretchColumn(QTableView *grid, int column);
} // namespace ReadOnlyGrid
