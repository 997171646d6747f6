#include "db/Keys.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/Sql.h"

namespace Keys {

int nextProgramKey(Connection &c, const QString &table, const QString &keyColumn)
{
    if (!c.inTransaction())
        throw DbError(QStringLiteral("Chave gerada fora de uma transação (%1).").arg(table));
    QSqlDatabase db = c.db();
    c.dialect().lockForKey(db, table);
    const QVariant max = Sql::scalar(c, c.dialect().maxKeyStatement(table, keyColumn));
    return (max.isNull() ? 0 : max.toInt()) + 1;
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
