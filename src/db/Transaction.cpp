#include "db/Transaction.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/Reconnect.h"

#include <QHash>
#include <QMutex>

namespace {
// Open transactions per connection. Workstations of load tests and the web
// booking stand-in open and close transactions on several threads at once,
// so the table is locked: unguarded, two threads growing and shrinking it
// together corrupted the heap.
QMutex g_depthsLock;
QHash<const Connection *, int> g_depths;
} // namespace

Transaction::Transaction(Connection &c) : m_c(c)
{
    // A connection the server dropped since the last statement is opened
    // again here rather than failing the save.
    Reconnect::begin(c);
    m_open = true;
    {
        QMutexLocker l(&g_depthsLock);
        ++g_depths[&c];
    }
    c.setInTransaction(true);
}

Transaction::~Transaction()
{
    if (m_open) {
        QSqlDatabase db = m_c.db();
        m_c.dialect().rollback(db);
        closed();
    }
}

void Transaction::commit()
{
    QSqlDatabase db = m_c.db();
    m_c.dialect().commit(db);
    closed();
}

void Transaction::closed()
{
    m_open = false;
    {
        QMutexLocker l(&g_depthsLock);
        if (--g_depths[&m_c] <= 0)
            g_depths.remove(&m_c);
    }
    m_c.setInTransaction(false);
}

int Transaction::openOn(const Connection &c)
{
    QMutexLocker l(&g_depthsLock);
    return g_depths.value(&c, 0);
}
