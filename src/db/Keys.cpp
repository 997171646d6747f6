#include "db/Keys.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/Reconnect.h"
#include "db/Sql.h"

namespace Keys {

namespace {

QVariant lockedMax(Connection &c, const QString &table, const QString &keyColumn)
{
    if (!c.inTransaction())
        throw DbError(QStringLiteral("Chave gerada fora de uma transação (%1).").arg(table));
    lockForKey(c, table);
    // Where the engine locks through the read itself (T-SQL's updlock,
    // holdlock), this read is what holds the others back.
    return Sql::scalar(c, c.dialect().maxKeyStatement(table, keyColumn));
}

} // namespace

void lockForKey(Connection &c, const QString &table)
{
    Reconnect::ensureUsable(c);
    QSqlDatabase db = c.db();
    try {
        c.dialect().lockForKey(db, table);
    } catch (const DbError &) {
        // Always inside a transaction: the transaction died with the
        // connection, so nothing of this save reached the server.
        if (Reconnect::checkLost(c))
            throw ConnectionLost(Reconnect::lostWriteText());
        throw;
    }
}

int nextProgramKey(Connection &c, const QString &table, const QString &keyColumn)
{
    const QVariant max = lockedMax(c, table, keyColumn);
    return (max.isNull() ? 0 : max.toInt()) + 1;
}

void lockTable(Connection &c, const QString &table, const QString &keyColumn)
{
    lockedMax(c, table, keyColumn);
}

QVariant insertReturningKey(Connection &c, const QString &insert, const QVariantMap &params,
                            const QString &keyColumn)
{
    const QString sql = c.dialect().insertReturning(insert, keyColumn);
    QSqlQuery q = Sql::exec(c, sql, params);
    QSqlDatabase db = c.db();
    const QVariant key = c.dialect().insertedKey(q, db);
    if (!key.isValid() || key.isNull())
        throw DbError(QStringLiteral("O servidor não informou a chave do registro inserido."), sql);
    return key.toInt();
}

} // namespace Keys
