#include "ui/ReadOnlyGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QHash>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

namespace {

const char *FitterName = "zapoGridFitter";

bool namesAName(QString title)
{
    title = title.trimmed();
    return title.startsWith(QStringLiteral("Nome"), Qt::CaseInsensitive)
           || title.compare(QStringLiteral("Proprietario"), Qt::CaseInsensitive) == 0
           || title.compare(QStringLiteral("Proprietário"), Qt::CaseInsensitive) == 0
           || title.compare(QStringLiteral("Animal"), Qt::CaseInsensitive) == 0;
}

// The column titles of a table or of a list with columns.
QHeaderView *headerOf(QAbstractItemView *view)
{
    if (auto *t = qobject_cast<QTableView *>(view))
        return t->horizontalHeader();
    if (auto *t = qobject_cast<QTreeView *>(view))
        return t->header();
    return nullptr;
}

bool columnHidden(QAbstractItemView *view, int column)
{
    if (auto *t = qobject_cast<QTableView *>(view))
        return t->isColumnHidden(column);
    if (auto *t = qobject_cast<QTreeView *>(view))
        return t->isColumnHidden(column);
    return false;
}

// Keeps a grid's columns readable: fitted to their contents on every load,
// widths a screen set kept as minimums, the name column filling the rest.
class Fitter : public QObject {
public:
    explicit Fitter(QAbstractItemView *grid) : QObject(grid), m_grid(grid)
    {
        setObjectName(QString::fromLatin1(FitterName));
        m_pending.setSingleShot(true);
        m_pending.setInterval(0);
        connect(&m_pending, &QTimer::timeout, this, &Fitter::fit);
        grid->viewport()->installEventFilter(this);
        watchModel();
    }

    void watchModel()
    {
        for (const QMetaObject::Connection &c : std::as_const(m_modelConnections))
            disconnect(c);
        m_modelConnections.clear();
        QAbstractItemModel *model = m_grid->model();
        if (!model)
            return;
        auto later = [this] { m_pending.start(); };
        m_modelConnections << connect(model, &QAbstractItemModel::modelReset, this, later)
                           << connect(model, &QAbstractItemModel::layoutChanged, this, later)
                           << connect(model, &QAbstractItemModel::headerDataChanged, this, later)
                           << connect(model, &QAbstractItemModel::rowsInserted, this,
                                      [this, later](const QModelIndex &parent, int first) {
                                          // The first rows of a load; pages read later keep the widths.
                                          if (!parent.isValid() && first == 0)
                                              later();
                                      });
        m_pending.start();
    }

    void setStretchColumn(int column)
    {
        m_stretch = column;
        spread();
    }

    void fit()
    {
        QAbstractItemModel *model = m_grid->model();
        if (!model)
            return;
        // Out of sight (a closed drop-down list, a tab not chosen, a window
        // not shown yet) the view would measure every row loaded, not the
        // rows in sight: a picker's page of 200 names took longer than
        // opening its screen. It is fitted when it shows.
        if (!m_grid->isVisible()) {
            m_stale = true;
            return;
        }
        m_stale = false;
        QHeaderView *h = headerOf(m_grid);
        const int columns = model->columnCount();
        if (!m_minimumsTaken) {
            // Widths a screen set before the first load stay as minimums.
            m_minimumsTaken = true;
            for (int c = 0; c < columns; ++c)
                if (h->sectionSize(c) != h->defaultSectionSize())
                    m_minimum.insert(c, h->sectionSize(c));
        }
        h->setStretchLastSection(false);
        m_fitted.clear();
        for (int c = 0; c < columns; ++c) {
            if (columnHidden(m_grid, c)) {
                m_fitted << 0;
                continue;
            }
            const QAbstractItemView *view = m_grid; // the views keep it protected
            const int wanted = qMax(view->sizeHintForColumn(c), h->sectionSizeHint(c));
            m_fitted << qMax(wanted, m_minimum.value(c, 0));
        }
        spread();
    }

    // The fitted widths, the width left over given to the name column.
    void spread()
    {
        QAbstractItemModel *model = m_grid->model();
        if (!model || m_fitted.size() != model->columnCount())
            return;
        const int column = stretchColumn();
        int total = 0;
        for (int c = 0; c < m_fitted.size(); ++c)
            if (!columnHidden(m_grid, c))
                total += m_fitted.at(c);
        const int room = m_grid->viewport()->width();
        QScopedValueRollback<bool> busy(m_spreading, true);
        for (int c = 0; c < m_fitted.size(); ++c) {
            if (columnHidden(m_grid, c))
                continue;
            int w = m_fitted.at(c);
            if (c == column && room > total)
                w += room - total;
            headerOf(m_grid)->resizeSection(c, w);
        }
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && m_stale)
            fit();
        if (event->type() == QEvent::Resize && !m_spreading)
            spread();
        return false;
    }

private:
    int stretchColumn() const
    {
        QAbstractItemModel *model = m_grid->model();
        if (m_stretch >= 0)
            return m_stretch;
        for (int c = 0; c < model->columnCount(); ++c)
            if (!columnHidden(m_grid, c) && namesAName(model->headerData(c, Qt::Horizontal).toString()))
                return c;
        for (int c = model->columnCount() - 1; c >= 0; --c)
            if (!columnHidden(m_grid, c))
                return c;
        return -1;
    }

    QAbstractItemView *m_grid;
    QTimer m_pending;
    QList<QMetaObject::Connection> m_modelConnections;
    QHash<int, int> m_minimum;
    QList<int> m_fitted;
    int m_stretch = -1;
    bool m_minimumsTaken = false;
    bool m_spreading = false;
    bool m_stale = false;
};

Fitter *fitterOf(QAbstractItemView *grid)
{
    return grid ? grid->findChild<Fitter *>(QString::fromLatin1(FitterName), Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

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
    // Titles are never cut short: a column is at least as wide as its title.
    g->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    // Contents are measured on the rows in sight: a large list is never
    // read further to size its columns.
    g->horizontalHeader()->setResizeContentsPrecision(0);
    g->setTextElideMode(Qt::ElideRight);
    new Fitter(g);
    return g;
}

namespace ReadOnlyGrid {

void fitColumns(QAbstractItemView *view)
{
    QHeaderView *h = headerOf(view);
    if (!h || fitterOf(view))
        return;
    h->setTextElideMode(Qt::ElideNone);
    h->setResizeContentsPrecision(0);
    view->setTextElideMode(Qt::ElideRight);
    new Fitter(view);
}

void fit(QTableView *grid)
{
    if (Fitter *f = fitterOf(grid))
        f->fit();
}

void setStretchColumn(QTableView *grid, int column)
{
    if (Fitter *f = fitterOf(grid))
        f->setStretchColumn(column);
}

} // namespace ReadOnlyGrid
