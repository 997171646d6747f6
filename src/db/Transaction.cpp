#include "db/Transaction.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/Reconnect.h"

Transaction::Transaction(Connection &c) : m_c(c)
{
    // A connection the server dropped since the last statement is opened
    // again here rather than failing the save.
    Reconnect::begin(c);
    m_open = true;
    c.setInTransaction(true);
}

Transaction::~Transaction()
{
    if (m_open) {
        QSqlDatabase db = m_c.db();
        m_c.dialect().rollback(db);
        m_c.setInTransaction(false);
    }
}

void Transaction::commit()
{
    QSqlDatabase db = m_c.db();
    m_c.dialect().commit(db);
    m_open = false;
    m_c.setInTransaction(false);
}
