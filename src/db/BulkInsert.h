#pragma once
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class Connection;

// Loads many rows into one table quickly: rows are gathered and sent as
// multi-row inserts through one prepared statement that is bound again for
// every batch (a round trip per batch instead of per row). The caller owns
// the transaction. Throws DbError.
class BulkInsert {
public:
    BulkInsert(Connection &c, const QString &table, const QStringList &columns);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // One row, its values in the order of the columns.
    void add(const QVariantList &values);
    // Sends what is still gathered. Called by the destructor too (where a
    // failure cannot be reported), so call it when the table is done.
    void finish();
    qint64 rows() const { return m_rows; }
    int rowsPerStatement() const { return m_perStatement; }

private:
    void send(int rowCount);
    QString statement(int rowCount) const;

    Connection &m_c;
    QString m_table;
    QStringList m_columns;
    int m_perStatement = 1;
    QVariantList m_pending;
    std::unique_ptr<QSqlQuery> m_full; // prepared once for a full batch
    qint64 m_rows = 0;
};
