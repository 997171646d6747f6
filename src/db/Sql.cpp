#include "db/Sql.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Reconnect.h"

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

namespace {

bool isDropped(QChar ch)
{
    const char16_t u = ch.unicode();
    return (u < 0x20 && u != u'\n' && u != u'\r' && u != u'\t') || u == 0x7f;
}

QString withoutControlCharacters(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && !isDropped(text.at(i)))
        ++i;
    if (i == text.size())
        return text;
    QString out = text.left(i);
    out.reserve(text.size());
    for (; i < text.size(); ++i)
        if (!isDropped(text.at(i)))
            out.append(text.at(i));
    return out;
}

} // namespace

void bind(QSqlQuery &q, const QString &name, const QVariant &value)
{
    const QString key = name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name;
    // A NUL or another control character pasted into a field means nothing
    // in our data, and PostgreSQL's driver cannot even send a NUL: every
    // value on its way to a statement loses them (line breaks and tabs of
    // multi-line fields stay).
    if (value.typeId() == QMetaType::QString)
        q.bindValue(key, withoutControlCharacters(value.toString()));
    else if (value.typeId() == QMetaType::QDate && value.toDate().isValid())
        q.bindValue(key, QDateTime(value.toDate(), QTime(0, 0)));
    else if (!value.metaType().isValid())
        // A null without a type goes through ODBC as binary, which a T-SQL
        // server will not turn into a float or a date even when it is null.
        // A null text is converted into any column's type.
        q.bindValue(key, QVariant(QMetaType::fromType<QString>()));
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

namespace {

// A statement that changes nothing may be sent again on a new connection.
bool isRead(const QString &sql)
{
    const QString s = sql.trimmed();
    return s.startsWith(QLatin1String("select"), Qt::CaseInsensitive)
           || s.startsWith(QLatin1String("with"), Qt::CaseInsensitive);
}

} // namespace

QSqlQuery exec(Connection &c, const QString &sql, const QVariantMap &params)
{
    if (Reconnect::isLost(c)) {
        try {
            Reconnect::ensureUsable(c);
        } catch (const ConnectionLost &) {
            throw ConnectionLost(isRead(sql) && !c.inTransaction() ? Reconnect::lostReadText() : Reconnect::lostWriteText(),
                                 sql);
        }
    }
    try {
        return exec(c.db(), sql, params);
    } catch (const DbError &) {
        if (!Reconnect::checkLost(c))
            throw;
        // A write, or anything of a transaction, died with the connection:
        // the server has none of it. Said once; the next statement opens
        // the connection again, so the clerk can simply save again.
        if (c.inTransaction() || !isRead(sql))
            throw ConnectionLost(Reconnect::lostWriteText(), sql);
        try {
            Reconnect::reopen(c);
        } catch (const DbError &) {
            throw ConnectionLost(Reconnect::lostReadText(), sql);
        }
    }
    // A read is repeated once on the new connection.
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
