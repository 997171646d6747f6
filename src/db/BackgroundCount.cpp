#include "db/BackgroundCount.h"
#include "db/DbError.h"
#include "db/SideConnection.h"
#include "db/Sql.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <libpq-fe.h>
#include <mutex>
#include <optional>
#include <sql.h>
#include <sqlite3.h>

namespace {

// An idle counting connection is closed after this; the next count opens it again.
constexpr auto kIdle = std::chrono::seconds(20);
std::atomic<int> g_names{0};

struct Job {
    quint64 generation = 0;
    QString sql;
    QVariantMap params;
    SideConnection::Target target;
};

bool sameDatabase(const DatabaseSpec &a, const DatabaseSpec &b)
{
    return a.kind == b.kind && a.path == b.path && a.host == b.host && a.port == b.port && a.database == b.database
           && a.user == b.user && a.password == b.password && a.dsn == b.dsn;
}

} // namespace

struct BackgroundCount::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<Job> pending;
    // Written with the mutex held; atomic so that SQLite's progress handler
    // can read them while a statement runs.
    std::atomic<quint64> latest{0};  // the generation whose result is still wanted
    std::atomic<quint64> running{0}; // the generation being counted; 0: none
    std::atomic<bool> stop{false};
    int interrupted = 0;
    // How to stop the statement under way from another thread; set and
    // cleared by the counting thread while it holds the mutex, so that no
    // one interrupts a connection that is being closed.
    sqlite3 *lite = nullptr;
    PGcancel *pgCancel = nullptr;
    // The ODBC statement while it runs (set just before it is executed,
    // cleared right after): SQLCancel is the one ODBC call meant to come
    // from another thread.
    SQLHSTMT odbcStatement = SQL_NULL_HSTMT;

    // With the mutex held.
    void interruptRunning()
    {
        if (!running)
            return;
        if (lite) {
            sqlite3_interrupt(lite);
            ++interrupted;
        } else if (pgCancel) {
            char error[256];
            if (PQcancel(pgCancel, error, sizeof error))
                ++interrupted;
        } else if (odbcStatement != SQL_NULL_HSTMT) {
            if (SQL_SUCCEEDED(SQLCancel(odbcStatement)))
                ++interrupted;
        }
    }
};

namespace {

int staleCount(void *shared)
{
    const auto *s = static_cast<const BackgroundCount::Shared *>(shared);
    return s->stop || s->latest.load() != s->running.load() ? 1 : 0;
}

} // namespace

class CountThread : public QThread {
public:
    CountThread(std::shared_ptr<BackgroundCount::Shared> shared, BackgroundCount *owner)
        : m_s(std::move(shared)), m_owner(owner)
    {
    }

protected:
    void run() override
    {
        std::unique_lock lock(m_s->mutex);
        for (;;) {
            while (!m_s->stop && !m_s->pending) {
                if (!m_open) {
                    m_s->wake.wait(lock);
                } else if (m_s->wake.wait_for(lock, kIdle) == std::cv_status::timeout && !m_s->pending && !m_s->stop) {
                    closeConnection(lock);
                }
            }
            if (m_s->stop)
                break;
            Job job = std::move(*m_s->pending);
            m_s->pending.reset();
            m_s->running = job.generation;
            lock.unlock();

            qint64 rows = -1;
            QString error;
            // A cancel meant for the count before may reach this one (the
            // engine takes it a moment later): while this one is still
            // wanted it is counted again.
            for (int attempt = 0; attempt < 3; ++attempt) {
                error = count(job, &rows);
                if (error.isNull())
                    break;
                std::lock_guard g(m_s->mutex);
                if (m_s->stop || m_s->latest != job.generation)
                    break;
            }

            lock.lock();
            m_s->running = 0;
            if (!m_s->stop && m_s->latest == job.generation) {
                BackgroundCount *owner = m_owner;
                const quint64 generation = job.generation;
                // Queued to the owner's thread; dropped if the owner is gone
                // by then (it waits for this thread before it goes).
                QMetaObject::invokeMethod(
                    owner, [owner, generation, rows, error] { owner->deliver(generation, rows, error); },
                    Qt::QueuedConnection);
            }
        }
        closeConnection(lock);
    }

private:
    // Without the mutex held; a null text when counted.
    QString count(const Job &job, qint64 *rows)
    {
        try {
            if (!m_open || !sameDatabase(m_spec, job.target.spec)) {
                std::unique_lock lock(m_s->mutex);
                closeConnection(lock);
                lock.unlock();
                open(job);
            }
            if (m_s->stop || m_s->latest != job.generation)
                return QStringLiteral("cancelled"); // while the connection was opened
            QSqlQuery q(QSqlDatabase::database(m_name, false));
            q.setForwardOnly(true);
            if (!q.prepare(job.sql))
                throw DbError::from(q.lastError(), job.sql);
            Sql::bindAll(q, job.params);
            const bool odbc = setOdbcStatement(q);
            const bool ran = q.exec() && q.next();
            if (odbc) {
                std::lock_guard g(m_s->mutex);
                m_s->odbcStatement = SQL_NULL_HSTMT;
            }
            if (!ran) {
                const DbError e = DbError::from(q.lastError(), job.sql);
                q = QSqlQuery();
                // A connection that died is opened again for the next try.
                if (!QSqlDatabase::database(m_name, false).isOpen() || isBroken()) {
                    std::unique_lock lock(m_s->mutex);
                    closeConnection(lock);
                }
                return e.text().isNull() ? QStringLiteral("") : e.text();
            }
            *rows = q.value(0).toLongLong();
            return QString();
        } catch (const DbError &e) {
            std::unique_lock lock(m_s->mutex);
            closeConnection(lock);
            return e.text().isNull() ? QStringLiteral("") : e.text();
        }
    }

    void open(const Job &job)
    {
        m_name = QStringLiteral("zapo_count_%1").arg(++g_names);
        m_spec = job.target.spec;
        QSqlDatabase db = SideConnection::open(job.target, m_name);
        m_open = true;
        const QVariant h = db.driver()->handle();
        std::lock_guard g(m_s->mutex);
        if (qstrcmp(h.typeName(), "sqlite3*") == 0) {
            m_s->lite = *static_cast<sqlite3 *const *>(h.data());
            // An interrupt that comes while no statement runs yet is lost:
            // the statement itself also stops once it is no longer wanted.
            sqlite3_progress_handler(m_s->lite, 20000, &staleCount, m_s.get());
        } else if (db.driverName() == QLatin1String("QPSQL") && h.isValid() && h.data()) {
            if (PGconn *conn = *static_cast<PGconn *const *>(h.data()))
                m_s->pgCancel = PQgetCancel(conn);
        }
    }

    // The prepared statement's ODBC handle, for a cancel while it runs.
    bool setOdbcStatement(const QSqlQuery &q)
    {
        if (QSqlDatabase::database(m_name, false).driverName() != QLatin1String("QODBC") || !q.result())
            return false;
        const QVariant h = q.result()->handle();
        if (!h.isValid() || !h.data() || (qstrcmp(h.typeName(), "SQLHANDLE") != 0 && qstrcmp(h.typeName(), "void*") != 0))
            return false;
        std::lock_guard g(m_s->mutex);
        m_s->odbcStatement = *static_cast<const SQLHSTMT *>(h.data());
        return true;
    }

    bool isBroken() const
    {
        const QSqlDatabase db = QSqlDatabase::database(m_name, false);
        const QVariant h = db.driver()->handle();
        if (db.driverName() == QLatin1String("QPSQL") && h.isValid() && h.data()) {
            PGconn *conn = *static_cast<PGconn *const *>(h.data());
            return !conn || PQstatus(conn) == CONNECTION_BAD;
        }
        return false;
    }

    // With the mutex held (through `lock`); the connection goes in this thread.
    void closeConnection(std::unique_lock<std::mutex> &lock)
    {
        if (!m_open)
            return;
        m_s->lite = nullptr;
        PGcancel *cancel = m_s->pgCancel;
        m_s->pgCancel = nullptr;
        m_open = false;
        lock.unlock();
        if (cancel)
            PQfreeCancel(cancel);
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
        lock.lock();
    }

    std::shared_ptr<BackgroundCount::Shared> m_s;
    BackgroundCount *m_owner;
    bool m_open = false;
    QString m_name;
    DatabaseSpec m_spec;
};

BackgroundCount::BackgroundCount(QObject *parent) : QObject(parent), m_shared(std::make_shared<Shared>()) {}

namespace {

// Threads of counts whose owners are gone, still ending: closing a window
// does not wait for a connection being opened (which nothing interrupts)
// or closed. They are deleted once ended, and waited for when a data
// module closes, so that no counting connection outlives its database.
std::mutex g_retiredMutex;
QList<QThread *> g_retired;

// With g_retiredMutex held.
void deleteEnded()
{
    for (qsizetype i = g_retired.size() - 1; i >= 0; --i) {
        QThread *t = g_retired.at(i);
        if (t->isFinished()) {
            t->wait();
            delete t;
            g_retired.removeAt(i);
        }
    }
}

} // namespace

BackgroundCount::~BackgroundCount()
{
    if (!m_thread)
        return;
    {
        std::lock_guard g(m_shared->mutex);
        m_shared->stop = true;
        m_shared->pending.reset();
        m_shared->interruptRunning();
    }
    m_shared->wake.notify_all();
    // Once stopped the thread no longer touches this object: it ends on
    // its own, closing its connection in the thread that opened it.
    std::lock_guard g(g_retiredMutex);
    deleteEnded();
    g_retired.append(m_thread);
}

void BackgroundCount::waitForEnded()
{
    std::lock_guard g(g_retiredMutex);
    for (QThread *t : std::as_const(g_retired)) {
        t->wait();
        delete t;
    }
    g_retired.clear();
}

int BackgroundCount::ending()
{
    std::lock_guard g(g_retiredMutex);
    deleteEnded();
    return int(g_retired.size());
}

bool BackgroundCount::start(const Connection &c, const QString &sql, const QVariantMap &params)
{
    cancel();
    std::optional<SideConnection::Target> target = SideConnection::targetOf(c);
    if (!target)
        return false;
    Job job;
    job.sql = sql;
    job.params = params;
    job.target = std::move(*target);
    {
        std::lock_guard g(m_shared->mutex);
        job.generation = ++m_shared->latest;
        m_generation = job.generation;
        m_shared->pending = std::move(job);
        m_shared->interruptRunning();
    }
    m_busy = true;
    if (!m_thread) {
        m_thread = new CountThread(m_shared, this);
        m_thread->start(QThread::LowPriority);
    }
    m_shared->wake.notify_all();
    return true;
}

void BackgroundCount::cancel()
{
    m_busy = false;
    if (!m_thread)
        return;
    std::lock_guard g(m_shared->mutex);
    m_generation = ++m_shared->latest;
    m_shared->pending.reset();
    m_shared->interruptRunning();
}

int BackgroundCount::interrupted() const
{
    std::lock_guard g(m_shared->mutex);
    return m_shared->interrupted;
}

void BackgroundCount::deliver(quint64 generation, qint64 rows, const QString &error)
{
    if (generation != m_generation || !m_busy)
        return;
    m_busy = false;
    if (error.isNull())
        emit counted(rows);
    else
        emit failed(error);
}
