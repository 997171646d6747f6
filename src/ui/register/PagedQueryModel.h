#pragma once
#include <QAbstractTableModel>
#include <QMap>
#include <QString>
#include <QVariantMap>
#include <QVector>

class BackgroundCount;
class Connection;

// A read-only grid model over one statement the model builds itself:
//   select <columns>, <key> from <source> [where <filter>] order by <sort>, <key>
// It counts the rows once and reads them a page at a time as the view asks
// for them, so a table of hundreds of thousands of rows opens at once.
// With the count in the background the first page shows as soon as it is
// read; the grid grows a page at a time as the view scrolls until the exact
// count arrives from another connection (countChanged()).
// The order is always completed by the key, so pages never overlap.
class PagedQueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;
        QString expression;     // "t.Nome", or a sub-select for computed text
        bool sortable = true;
        int width = 0;
        QString sortExpression; // empty: the expression itself
    };

    explicit PagedQueryModel(QObject *parent = nullptr);

    void setConnection(Connection *c) { m_conn = c; }
    // `source` is the from-clause ("medicamento t"); `keyExpression` identifies a row.
    void setSource(const QString &source, const QList<Column> &columns, const QString &keyExpression);
    // A condition written by the program with named placeholders; empty: every row.
    void setFilter(const QString &condition, const QVariantMap &params = {});
    QString filter() const { return m_filter; }
    const QVariantMap &filterParams() const { return m_params; }
    // A lighter from-clause for the count (only the joins the filter needs);
    // empty: the source itself.
    void setCountSource(const QString &source) { m_countSource = source; }
    // The order before the key while no column is sorted; empty: the key.
    void setDefaultOrder(const QString &order) { m_defaultOrder = order; }
    // The order the pages are read in ("a.Nome, a.Id"), for a statement
    // that must give the grid's rows in the grid's order.
    QString orderClause() const;
    // Only the grid's own sortable columns; -1 restores the key order.
    bool sortBy(int column);
    int sortColumn() const { return m_sortColumn; }
    void setShadedColumn(int column) { m_shadedColumn = column; }
    // For a grid sorted on a column that is never null and has no sort
    // expression of its own: the rows next to rows already read are read
    // from their neighbour's value and key (an index range) instead of by
    // their row number, which the engine would count through from the top.
    void setSeekable(bool on) { m_seekable = on; }
    bool seekable() const;
    void setPageSize(int rows) { m_pageSize = qMax(1, rows); }
    int pageSize() const { return m_pageSize; }

    // The total is counted on a connection of its own while the first page
    // shows (off: reload() counts before anything shows).
    void setBackgroundCount(bool on);
    // False while the rows shown are only those read so far.
    bool countExact() const { return m_exact; }
    // Makes the count exact now, on the grid's own connection (for "the
    // last row"); throws DbError.
    void ensureCount();
    // Stops a background count under way; the grid keeps the rows it has.
    void cancelCount();

    // Counts (or, with the count in the background, reads the first page)
    // and forgets cached pages; throws DbError.
    void reload();
    // Empties the grid without asking the database.
    void clear();
    // Reads one row again (after it was saved).
    void refreshRow(int row);

    // The first row, in the grid's current order, of those that also meet
    // `condition` (named placeholders, not clashing with the filter's); -1
    // when none does. Throws DbError.
    int rowOf(const QString &condition, const QVariantMap &params = {}) const;

    // The rows of the grid's order from the first whose sorted value is not
    // below `value` (and, with `key`, whose key is not below it among those
    // of that value), at most `limit`; each row holds the columns, then the
    // key. Needs seekable(); throws DbError.
    QVector<QVector<QVariant>> rowsFrom(const QVariant &value, const QVariant &key, int limit) const;
    // Keeps rows read elsewhere (rowsFrom) as the rows from `firstRow` on;
    // `last`: no row follows them. A grid still growing grows to hold them.
    void placeRows(int firstRow, const QVector<QVector<QVariant>> &rows, bool last);

    QVariant key(int row) const;
    QVariant rawValue(int row, int column) const;
    const QList<Column> &columns() const { return m_columns; }
    // Statements sent so far for pages (tests check that a big table is not read whole).
    int pagesRead() const { return m_pagesRead; }
    // The statement of a page, as sent (without the paging clause).
    QString selectStatement() const;

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a grid shows for a stored value.
    static QString displayText(const QVariant &v);

signals:
    // A page could not be read (the grid shows blanks); the text is the database's.
    void readFailed(const QString &text) const;
    // The rows the grid has now, and whether that is every row.
    void countChanged(int rows, bool exact);

private:
    const QVector<QVariant> *rowData(int row) const;
    using Rows = QVector<QVector<QVariant>>;
    using Blocks = QMap<int, Rows>;
    // The block of rows read so far that holds `row`, or end().
    Blocks::const_iterator blockOf(int row) const;
    // Reads the rows around a row not read yet into a block of their own
    // (end() when the table has none there); `reachedEnd`: no row follows
    // the block. Throws DbError.
    Blocks::iterator readAround(int row, bool *reachedEnd = nullptr) const;
    Rows readOffset(int first, int limit) const;
    Rows readSeek(const QVector<QVariant> &from, bool forward, int limit) const;
    QString statement(const QString &extra, const QString &order) const;
    QString seekCondition(const char *op) const;
    void makeRoomFor(int row) const;
    QString whereClause() const;
    QString countStatement() const;
    void setExactCount(qint64 rows);

    Connection *m_conn = nullptr;
    QString m_source;
    QString m_key;
    QList<Column> m_columns;
    QString m_filter;
    QVariantMap m_params;
    QString m_countSource;
    QString m_defaultOrder;
    int m_sortColumn = -1;
    int m_shadedColumn = -1;
    int m_pageSize = 200;
    int m_count = 0;
    bool m_exact = true;
    BackgroundCount *m_counter = nullptr;
    mutable int m_pagesRead = 0;
    bool m_seekable = false;
    // Contiguous blocks of rows read, by their first row; pages read by row
    // number start at multiples of the page size, rows placed or read from a
    // neighbour anywhere.
    mutable Blocks m_blocks;
    mutable bool m_failed = false;
};
