#include "db/ServerClock.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"

QDateTime serverNow(Connection &c)
{
    const QVariant v = Sql::scalar(c, c.dialect().serverNowStatement());
    QDateTime t = v.toDateTime();
    if (!t.isValid())
        t = QDateTime::fromString(v.toString(), Qt::ISODate);
    if (!t.isValid())
        throw DbError(QStringLiteral("O servidor não informou a data e hora."));
    // Stamps carry whole seconds, like the server's own date-time columns.
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}
