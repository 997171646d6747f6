#include "db/Sql.h"
#include "db/DataModule.h"
#include "db/DbError.h"

#include <QDate>
#include <QDateTime>

namespace Sql {

namespace {
Observer &observer()
{
    static Observer o;
    return o;
}
} // namespace

void setObserver(Observer o)
{
    observer() = std::move(o);
}

void bind(QSqlQuery &q, const QString &name, const QVariant &value)
{
    const QString key = name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name;
    if (value.typeId() == QMetaType::QDate && value.toDate().isValid())
        q.bindValue(key, QDateTime(value.toDate(), QTime(0, 0)));
    else
        q.bindValue(key, value);
}

void bindAll(QSqlQuery &q, const QVariantMap &params)
{
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        bind(q, it.key(), it.value());
}

QSqlQuery exec(QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    if (observer())
        observer()(sql, params);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (params.isEmpty()) {
        // Nothing to bind: run as is (PostgreSQL cannot prepare DDL or SET).
        if (!q.exec(sql))
            throw DbError::from(q.lastError(), sql);
        return q;
    }
    if (!q.prepare(sql))
        throw DbError::from(q.lastError(), sql);
    bindAll(q, params);
    if (!q.exec())
        throw DbError::from(q.lastError(), sql);
    return q;
}

QSqlQuery exec(Connection &c, const QString &sql, const QVariantMap &params)
{
    return exec(c.db(), sql, params);
}

QVariant scalar(Connection &c, const QString &sql, const QVariantMap &params)
{
    QSqlQuery q = exec(c, sql, params);
    return q.next() ? q.value(0) : QVariant();
}

QString text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString().trimmed();
}

QString text(const QSqlQuery &q, const QString &column)
{
    return text(q.value(column));
}

} // namespace Sql
