#pragma once
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class QSqlQuery;

// Column names of a data source, looked up without regard to case (PostgreSQL
// folds unquoted names to lower case, the report texts use mixed case).
class ReportColumns {
public:
    explicit ReportColumns(const QStringList &names = {});
    int indexOf(const QString &name) const;
    const QStringList &names() const { return m_names; }

private:
    int lookUp(const QString &name) const;
    QStringList m_names;
    QHash<QString, int> m_index;
    quint64 m_id; // tells this set of columns apart in the memo of names asked for
};

// One row of a report's data. Copying is cheap: the column index is shared
// and QVariant values are implicitly shared.
class ReportRow {
public:
    ReportRow() = default;
    ReportRow(std::shared_ptr<const ReportColumns> columns, QList<QVariant> values)
        : m_columns(std::move(columns)), m_values(std::move(values)) {}

    bool isEmpty() const { return !m_columns || m_values.isEmpty(); }
    bool has(const QString &column) const;
    // An invalid QVariant for an unknown column or an empty row.
    QVariant value(const QString &column) const;
    // Trimmed text; empty for null (char(n) columns come back blank-padded).
    QString text(const QString &column) const;
    // The day of a date or date-time column (the date-time read as local
    // time, as QVariant::toDateTime() reads it); invalid for null or not a date.
    QDate date(const QString &column) const;
    const QList<QVariant> &values() const { return m_values; }
    QList<QVariant> &values() { return m_values; }
    const std::shared_ptr<const ReportColumns> &columns() const { return m_columns; }

private:
    std::shared_ptr<const ReportColumns> m_columns;
    QList<QVariant> m_values;
};

// Where a report's rows come from. Rows are read once, front to back, so a
// query result is never held in memory by the report.
class ReportDataSource {
public:
    virtual ~ReportDataSource() = default;
    virtual std::shared_ptr<const ReportColumns> columns() const = 0;
    // Fills the next row's values; false at the end.
    virtual bool next(QList<QVariant> &values) = 0;
    // Number of rows when known in advance, else -1 (progress shows a count).
    virtual qint64 sizeHint() const { return -1; }
};

class Connection;

// Reads an executed query. A forward-only query (as Sql::exec returns it)
// streams its rows; on PostgreSQL such a query loses its pending rows when
// another statement runs on the same connection, so a report that looks
// values up while it reads opens its main query Buffered. Rows lost that way
// are reported as a database failure, never as a shorter report.
class QueryDataSource : public ReportDataSource {
public:
    enum class Reading {
        Streamed, // forward-only: nothing else may run on the connection meanwhile
        Buffered  // the driver keeps the result; lookups may run meanwhile
    };
    // Prepares, binds (Sql::bind rules) and executes; throws DbError.
    static std::unique_ptr<QueryDataSource> open(Connection &c, const QString &sql, const QVariantMap &params = {},
                                                 Reading reading = Reading::Streamed);
    explicit QueryDataSource(QSqlQuery query);
    ~QueryDataSource() override;
    std::shared_ptr<const ReportColumns> columns() const override { return m_columns; }
    bool next(QList<QVariant> &values) override;

private:
    std::unique_ptr<QSqlQuery> m_query;
    std::shared_ptr<const ReportColumns> m_columns;
};

// Rows held in memory: small auxiliary lists and tests.
class RowListDataSource : public ReportDataSource {
public:
    RowListDataSource(const QStringList &columns, QList<QList<QVariant>> rows);
    std::shared_ptr<const ReportColumns> columns() const override { return m_columns; }
    bool next(QList<QVariant> &values) override;
    qint64 sizeHint() const override { return m_rows.size(); }

private:
    std::shared_ptr<const ReportColumns> m_columns;
    QList<QList<QVariant>> m_rows;
    qsizetype m_pos = 0;
};

// Rows produced one at a time by a function (generated data, adapters).
class GeneratedDataSource : public ReportDataSource {
public:
    using Producer = std::function<bool(QList<QVariant> &values)>;
    GeneratedDataSource(const QStringList &columns, Producer producer, qint64 sizeHint = -1);
    std::shared_ptr<const ReportColumns> columns() const override { return m_columns; }
    bool next(QList<QVariant> &values) override { return m_producer(values); }
    qint64 sizeHint() const override { return m_size; }

private:
    std::shared_ptr<const ReportColumns> m_columns;
    Producer m_producer;
    qint64 m_size;
};
