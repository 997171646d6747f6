#pragma once
#include "db/OwnerSearch.h"

#include <QAbstractTableModel>
#include <QList>
#include <functional>

class BackgroundCount;

// Read-only grid model over a search statement: shows the first page as soon
// as it is read and fetches the others as the view scrolls, while the rows
// are counted on a connection of their own (totalChanged()).
class SearchResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString caption;
        QString field;   // column of the result, or empty for a computed one
        bool sortable = true;
    };
    SearchResultModel(QList<Column> columns, QObject *parent = nullptr);

    // Runs the statement (throws DbError); an empty query empties the grid.
    void setQuery(Connection &c, const std::optional<OwnerSearch::Query> &q);
    // Orders by a column's field; computed columns cannot be sorted.
    void sortBy(int column);
    // The rows found: exact once totalExact(), until then those read so far.
    int totalRows() const { return m_total; }
    bool totalExact() const { return m_exact; }
    // Stops a count under way (the clerk is typing a new search).
    void cancelCount();
    QVariant field(int row, const QString &name) const;

    // Rows computed from the result (the address column).
    std::function<QString(const QVariantMap &row)> computed;
    static constexpr int PageSize = 200;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void totalChanged(int rows, bool exact);

private:
    void reload();
    void readPage(); // throws DbError
    QList<Column> m_columns;
    Connection *m_c = nullptr;
    std::optional<OwnerSearch::Query> m_query;
    QString m_order;
    QList<QVariantMap> m_rows;
    int m_total = 0;
    bool m_exact = true;
    BackgroundCount *m_counter;
};
