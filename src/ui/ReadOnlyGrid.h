#pragma once
#include <QString>

class QAbstractItemModel;
class QAbstractItemView;
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
// The same fitting for a grid or a list with columns a screen built itself
// (filled row by row): every column as wide as its title and its values,
// the name column taking the rest; what a narrow window still cannot show
// ends in "…" and the grid scrolls sideways.
void fitColumns(QAbstractItemView *view);
// Sizes the columns now, as a new load does.
void fit(QTableView *grid);
// Makes `column` the one that takes the width left over (-1: the heuristic).
void setStretchColumn(QTableView *grid, int column);
} // namespace ReadOnlyGrid
