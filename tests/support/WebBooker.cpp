#include "support/WebBooker.h"
#include "support/TestDatabase.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/Transaction.h"

#include <QRandomGenerator>
#include <QSqlQuery>

#include <chrono>

namespace {
// Opening connections touches process-wide registries; one at a time.
QMutex g_openMutex;
} // namespace

WebBooker::WebBooker(const TestDatabase &db, int threads, int operationsPerThread, int firstMaxKey)
    : m_db(db), m_threads(threads), m_ops(operationsPerThread), m_maxKey(firstMaxKey)
{
}

WebBooker::~WebBooker() { wait(); }

void WebBooker::start()
{
    m_running.store(m_threads);
    for (int i = 0; i < m_threads; ++i)
        m_workers.emplace_back([this, i] { run(i); });
}

void WebBooker::wait()
{
    for (std::thread &t : m_workers)
        if (t.joinable())
            t.join();
    m_workers.clear();
}

void WebBooker::run(int index)
{
    QHash<int, int> general, female;
    QStringList errors;
    std::unique_ptr<DataModule> dm;
    {
        QMutexLocker lock(&g_openMutex);
        dm = m_db.openAnother();
    }
    Connection &c = dm->main();
    // SQLite hands its write lock to no one in particular: four threads that
    // begin again the moment they commit keep it among themselves while the
    // map's transaction, polling every 100 ms, waits out its 15 s and fails
    // "database is locked" (1 run in 30 under load). Requests to the real
    // service arrive apart, so here each booking is followed by a pause.
    const bool pause = c.dialect().engine() == Engine::SQLite;
    QRandomGenerator rng(1000 + index);
    for (int i = 0; i < m_ops; ++i) {
        const int key = 1 + int(rng.bounded(quint32(qMax(1, m_maxKey.load()))));
        const bool femaleCounter = rng.bounded(5) == 0;
        const bool take = rng.bounded(2) == 0;
        const QString used = femaleCounter ? QStringLiteral("Qt_vaga_usada_f_grande_porte") : QStringLiteral("Qt_vaga_usada_geral");
        const QString offered = femaleCounter ? QStringLiteral("Qt_vaga_disp_f_grande_porte") : QStringLiteral("Qt_vaga_disponivel_geral");
        const QString sql = take ? QStringLiteral("update mapa_disponibilidade_agenda set %1 = coalesce(%1, 0) + 1 "
                                                  "where Id_Mapa_disponibilidade_agenda = :k and coalesce(%1, 0) < %2")
                                       .arg(used, offered)
                                 : QStringLiteral("update mapa_disponibilidade_agenda set %1 = %1 - 1 "
                                                  "where Id_Mapa_disponibilidade_agenda = :k and %1 > 0")
                                       .arg(used);
        try {
            // As the service does: one short transaction per booking.
            Transaction tx(c);
            QSqlQuery q = Sql::exec(c, sql, {{QStringLiteral("k"), key}});
            const bool done = q.numRowsAffected() == 1;
            q = QSqlQuery();
            tx.commit();
            if (done) {
                (femaleCounter ? female : general)[key] += take ? 1 : -1;
                ++m_accepted;
            } else {
                ++m_refused;
            }
        } catch (const DbError &e) {
            errors << e.text();
        }
        if (pause)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = general.cbegin(); it != general.cend(); ++it)
            m_general[it.key()] += it.value();
        for (auto it = female.cbegin(); it != female.cend(); ++it)
            m_female[it.key()] += it.value();
        m_errors += errors;
    }
    {
        QMutexLocker lock(&g_openMutex);
        dm.reset();
    }
    --m_running;
}

QHash<int, int> WebBooker::netGeneral() const
{
    QMutexLocker lock(&m_mutex);
    return m_general;
}

QHash<int, int> WebBooker::netFemale() const
{
    QMutexLocker lock(&m_mutex);
    return m_female;
}

QStringList WebBooker::errors() const
{
    QMutexLocker lock(&m_mutex);
    return m_errors;
}
