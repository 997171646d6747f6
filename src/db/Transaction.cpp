#include "db/Transaction.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/Reconnect.h"

#include <QHash>

namespace {
// Open transactions per connection; the user interface runs on one thread.
QHash<const Connection *, int> &depths()
{
    static QHash<const Connection *, int> d;
    return d;
}
} // namespace

Transaction::Transaction(Connection &c) : m_c(c)
{
    // A connection the server dropped since the last statement is opened
    // again here rather than failing the save.
    Reconnect::begin(c);
    m_open = true;
    ++depths()[&c];
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
    auto &d = depths();
    if (--d[&m_c] <= 0)
        d.remove(&m_c);
    m_c.setInTransaction(false);
}

int Transaction::openOn(const Connection &c)
{
    return depths().value(&c, 0);
}
