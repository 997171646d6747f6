#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/DbError.h"

#include <QSqlError>

namespace {
// SQLite builds before 3.32 accept at most 999 parameters per statement;
// PostgreSQL's protocol allows 65535. Batches of a few hundred rows already
// take away nearly all of the per-statement cost.
int parameterLimit(Engine e) { return e == Engine::PostgreSQL ? 30000 : 999; }
constexpr int kMaxRows = 500;
} // namespace

BulkInsert::BulkInsert(Connection &c, const QString &table, const QStringList &columns)
    : m_c(c), m_table(table), m_columns(columns)
{
    const int cols = int(qMax<qsizetype>(1, columns.size()));
    m_perStatement = qBound(1, parameterLimit(c.dialect().engine()) / cols, kMaxRows);
    m_pending.reserve(m_perStatement * cols);
}

BulkInsert::~BulkInsert()
{
    try {
        finish();
    } catch (...) {
        // The transaction that owns these rows is rolled back by its owner.
    }
}

QString BulkInsert::statement(int rowCount) const
{
    const QString tuple = QLatin1Char('(') + QStringList(m_columns.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("insert into %1 (%2) values %3")
        .arg(m_table, m_columns.join(QLatin1Char(',')), QStringList(rowCount, tuple).join(QLatin1Char(',')));
}

void BulkInsert::add(const QVariantList &values)
{
    Q_ASSERT(values.size() == m_columns.size());
    m_pending += values;
    if (m_pending.size() >= qsizetype(m_perStatement) * m_columns.size())
        send(m_perStatement);
}

void BulkInsert::finish()
{
    const int rowsLeft = int(m_pending.size() / qMax<qsizetype>(1, m_columns.size()));
    if (rowsLeft > 0)
        send(rowsLeft);
}

void BulkInsert::send(int rowCount)
{
    std::unique_ptr<QSqlQuery> tail;
    QSqlQuery *q = nullptr;
    if (rowCount == m_perStatement) {
        if (!m_full) {
            m_full = std::make_unique<QSqlQuery>(m_c.db());
            if (!m_full->prepare(statement(rowCount))) {
                const QSqlError e = m_full->lastError();
                m_full.reset();
                throw DbError::from(e, statement(rowCount));
            }
        }
        q = m_full.get();
    } else {
        tail = std::make_unique<QSqlQuery>(m_c.db());
        if (!tail->prepare(statement(rowCount)))
            throw DbError::from(tail->lastError(), statement(rowCount));
        q = tail.get();
    }
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        // A null without a type would reach an ODBC server as binary, which
        // it will not turn into a number or a date: a null text it converts.
        const QVariant &v = m_pending.at(i);
        q->bindValue(int(i), v.metaType().isValid() ? v : QVariant(QMetaType::fromType<QString>()));
    }
    m_pending.clear();
    if (!q->exec())
        throw DbError::from(q->lastError(), QStringLiteral("insert into %1").arg(m_table));
    m_rows += rowCount;
}
