#include "db/Reconnect.h"
#include "db/DataModule.h"
#include "db/Dialect.h"

#include <QHash>
#include <QMutex>
#include <QSqlDriver>
#include <atomic>
#include <libpq-fe.h>
#include <sql.h>
#include <sqlext.h>

namespace Reconnect {

namespace {

struct Watched {
    std::function<void(QSqlDatabase &)> prepare;
    bool lost = false;
};

// Workstations of load tests live on several threads, hence the lock; the
// count spares every statement the lookup while nothing is lost.
QMutex g_lock;
QHash<const Connection *, Watched> g_watched;
std::atomic<int> g_lostCount{0};

// Asks the driver whether the connection itself is gone: libpq knows once a
// statement met a closed socket; ODBC drivers answer SQL_ATTR_CONNECTION_DEAD.
// An embedded SQLite file has no connection to lose.
bool driverSaysDead(const QSqlDatabase &db)
{
    if (!db.isOpen())
        return true;
    const QVariant h = db.driver()->handle();
    if (!h.isValid() || !h.data())
        return false;
    const QString driver = db.driverName();
    if (driver == QLatin1String("QPSQL")) {
        PGconn *conn = *static_cast<PGconn *const *>(h.data());
        return !conn || PQstatus(conn) == CONNECTION_BAD;
    }
    if (driver == QLatin1String("QODBC")) {
        SQLHANDLE hdbc = *static_cast<const SQLHANDLE *>(h.data());
        if (!hdbc)
            return true;
        SQLUINTEGER dead = SQL_CD_FALSE;
        const SQLRETURN r = SQLGetConnectAttr(hdbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
        return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
    }
    return false;
}

void setLost(const Connection &c, bool lost)
{
    QMutexLocker l(&g_lock);
    auto it = g_watched.find(&c);
    if (it == g_watched.end() || it->lost == lost)
        return;
    it->lost = lost;
    g_lostCount += lost ? 1 : -1;
}

} // namespace

void watch(Connection &c, std::function<void(QSqlDatabase &)> prepare)
{
    QMutexLocker l(&g_lock);
    g_watched.insert(&c, Watched{std::move(prepare), false});
}

void forget(Connection &c)
{
    QMutexLocker l(&g_lock);
    auto it = g_watched.find(&c);
    if (it == g_watched.end())
        return;
    if (it->lost)
        --g_lostCount;
    g_watched.erase(it);
}

QString lostWriteText()
{
    return QStringLiteral("A conexão com o servidor foi perdida. Nada foi gravado.\rTente gravar novamente.");
}

QString lostReadText()
{
    return QStringLiteral("A conexão com o servidor foi perdida e não pôde ser refeita.\rTente novamente em instantes.");
}

bool isLost(const Connection &c)
{
    if (g_lostCount.load() == 0)
        return false;
    QMutexLocker l(&g_lock);
    auto it = g_watched.constFind(&c);
    return it != g_watched.constEnd() && it->lost;
}

bool checkLost(Connection &c)
{
    if (isLost(c))
        return true;
    {
        QMutexLocker l(&g_lock);
        if (!g_watched.contains(&c))
            return false; // not opened by a data module: nothing to reopen
    }
    if (!driverSaysDead(c.db()))
        return false;
    setLost(c, true);
    return true;
}

void reopen(Connection &c)
{
    std::function<void(QSqlDatabase &)> prepare;
    {
        QMutexLocker l(&g_lock);
        prepare = g_watched.value(&c).prepare;
    }
    QSqlDatabase d = c.db();
    d.close();
    if (!d.open())
        throw ConnectionLost(lostReadText());
    try {
        if (prepare)
            prepare(d);
    } catch (const DbError &) {
        d.close();
        throw ConnectionLost(lostReadText());
    }
    setLost(c, false);
}

void ensureUsable(Connection &c)
{
    if (!isLost(c))
        return;
    // The transaction died with the connection: nothing of it may go on
    // through a new one as if it were still open.
    if (c.inTransaction())
        throw ConnectionLost(lostWriteText());
    reopen(c);
}

void begin(Connection &c)
{
    ensureUsable(c);
    QSqlDatabase d = c.db();
    try {
        c.dialect().begin(d);
    } catch (const DbError &) {
        if (!checkLost(c))
            throw;
        reopen(c);
        d = c.db();
        c.dialect().begin(d);
    }
}

} // namespace Reconnect
