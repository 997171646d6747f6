#include "reports/engine/ReportData.h"

#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

ReportColumns::ReportColumns(const QStringList &names) : m_names(names)
{
    for (int i = 0; i < names.size(); ++i)
        m_index.insert(names.at(i).toLower(), i);
}

int ReportColumns::indexOf(const QString &name) const
{
    // Asked for every item of every row of a report: a column name in
    // plain letters is lower-cased on the stack instead of in a new string.
    constexpr qsizetype Room = 64;
    const qsizetype n = name.size();
    if (n <= Room) {
        char16_t folded[Room];
        qsizetype k = 0;
        for (; k < n; ++k) {
            const char16_t ch = name.at(k).unicode();
            if (ch >= 0x80)
                break;
            folded[k] = ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch;
        }
        if (k == n)
            return m_index.value(QString::fromRawData(reinterpret_cast<const QChar *>(folded), n), -1);
    }
    return m_index.value(name.toLower(), -1);
}

bool ReportRow::has(const QString &column) const
{
    return m_columns && m_columns->indexOf(column) >= 0;
}

QVariant ReportRow::value(const QString &column) const
{
    if (!m_columns)
        return {};
    const int i = m_columns->indexOf(column);
    return i >= 0 && i < m_values.size() ? m_values.at(i) : QVariant();
}

QString ReportRow::text(const QString &column) const
{
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString().trimmed();
}

QueryDataSource::QueryDataSource(QSqlQuery query) : m_query(std::make_unique<QSqlQuery>(std::move(query)))
{
    const QSqlRecord rec = m_query->record();
    QStringList names;
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i);
    m_columns = std::make_shared<ReportColumns>(names);
}

QueryDataSource::~QueryDataSource() = default;

std::unique_ptr<QueryDataSource> QueryDataSource::open(Connection &c, const QString &sql, const QVariantMap &params,
                                                       Reading reading)
{
    if (reading == Reading::Streamed)
        return std::make_unique<QueryDataSource>(Sql::exec(c, sql, params));
    QSqlQuery q(c.db());
    q.setForwardOnly(false);
    if (!q.prepare(sql))
        throw DbError::from(q.lastError(), sql);
    Sql::bindAll(q, params);
    if (!q.exec())
        throw DbError::from(q.lastError(), sql);
    return std::make_unique<QueryDataSource>(std::move(q));
}

bool QueryDataSource::next(QList<QVariant> &values)
{
    if (!m_query->next()) {
        if (m_query->lastError().isValid())
            throw DbError::from(m_query->lastError(), m_query->lastQuery());
        return false;
    }
    const int n = int(m_columns->names().size());
    values.resize(n);
    for (int i = 0; i < n; ++i)
        values[i] = m_query->value(i);
    return true;
}

RowListDataSource::RowListDataSource(const QStringList &columns, QList<QList<QVariant>> rows)
    : m_columns(std::make_shared<ReportColumns>(columns)), m_rows(std::move(rows))
{
}

bool RowListDataSource::next(QList<QVariant> &values)
{
    if (m_pos >= m_rows.size())
        return false;
    values = m_rows.at(m_pos++);
    values.resize(m_columns->names().size());
    return true;
}

GeneratedDataSource::GeneratedDataSource(const QStringList &columns, Producer producer, qint64 sizeHint)
    : m_columns(std::make_shared<ReportColumns>(columns)), m_producer(std::move(producer)), m_size(sizeHint)
{
}
