#include "support/OdbcRules.h"

#include <QLibraryInfo>
#include <QMutex>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlDriverPlugin>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

namespace {

QMutex g_mutex;
QList<QStringList> g_sessions;
QString g_tsqlFile;

void logStatement(int session, const QString &sql)
{
    QMutexLocker lock(&g_mutex);
    if (session >= 0 && session < g_sessions.size())
        g_sessions[session] << sql.simplified();
}

// The real SQLite driver, straight from its plugin (the name "QSQLITE"
// itself leads to the rule-keeping driver once it is installed).
QSqlDriver *realSqlite()
{
    static QMutex m;
    QMutexLocker lock(&m);
    static QPluginLoader loader(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/sqldrivers/libqsqlite.so"));
    auto *plugin = qobject_cast<QSqlDriverPlugin *>(loader.instance());
    if (!plugin)
        qFatal("SQLite driver plugin not found: %s", qPrintable(loader.errorString()));
    return plugin->create(QStringLiteral("QSQLITE"));
}

class RulesResult;

// A connection of the real driver that is not in Qt's list of named
// connections: the rule-keeping driver goes while Qt holds that list's lock.
class InnerDatabase : public QSqlDatabase {
public:
    explicit InnerDatabase(QSqlDriver *driver) : QSqlDatabase(driver) {}
};

class RulesDriver : public QSqlDriver {
public:
    explicit RulesDriver(bool tsql) : m_tsql(tsql), m_inner(InnerDatabase(realSqlite())) {}
    ~RulesDriver() override { close(); }

    bool hasFeature(DriverFeature f) const override
    {
        // Placeholders reach the inner driver by position.
        if (f == NamedPlaceholders)
            return false;
        if (f == PositionalPlaceholders)
            return true;
        return m_inner.driver()->hasFeature(f);
    }
    bool open(const QString &db, const QString &, const QString &, const QString &, int, const QString &options) override
    {
        m_inner.setDatabaseName(m_tsql ? g_tsqlFile : db);
        m_inner.setConnectOptions(m_tsql ? QString() : options);
        if (!m_inner.open()) {
            setLastError(m_inner.lastError());
            setOpenError(true);
            return false;
        }
        {
            QMutexLocker lock(&g_mutex);
            m_session = int(g_sessions.size());
            g_sessions.append(QStringList());
        }
        setOpen(true);
        setOpenError(false);
        return true;
    }
    void close() override
    {
        if (isOpen())
            m_inner.close();
        setOpen(false);
    }
    QSqlResult *createResult() const override;
    bool beginTransaction() override { return transactionStatement(QStringLiteral("begin transaction")); }
    bool commitTransaction() override { return transactionStatement(QStringLiteral("commit")); }
    bool rollbackTransaction() override { return transactionStatement(QStringLiteral("rollback")); }
    QVariant handle() const override { return m_inner.driver()->handle(); }
    QStringList tables(QSql::TableType t) const override { return m_inner.tables(t); }
    QSqlRecord record(const QString &t) const override { return m_inner.record(t); }
    QSqlIndex primaryIndex(const QString &t) const override { return m_inner.primaryIndex(t); }
    QString escapeIdentifier(const QString &id, IdentifierType t) const override
    {
        return m_inner.driver()->escapeIdentifier(id, t);
    }
    QString formatValue(const QSqlField &f, bool trim) const override { return m_inner.driver()->formatValue(f, trim); }

    // A statement is about to be sent by `by`: refused while another result
    // of this connection is unread.
    bool mayRun(const RulesResult *by, const QString &sql, QSqlError *error)
    {
        logStatement(m_session, sql);
        if (m_open && m_open != by) {
            *error = QSqlError(OdbcRules::busyText(), OdbcRules::busyText() + QStringLiteral(" (") + sql.simplified().left(200)
                                                          + QStringLiteral(") while unread: ") + m_openSql.simplified().left(200),
                               QSqlError::StatementError, QStringLiteral("HY000"));
            return false;
        }
        return true;
    }
    void opened(const RulesResult *r, const QString &sql) { m_open = r; m_openSql = sql; }
    void closed(const RulesResult *r)
    {
        if (m_open == r)
            m_open = nullptr;
    }
    bool fakesTSql() const { return m_tsql; }
    QSqlDatabase inner() const { return m_inner; }

private:
    bool transactionStatement(const QString &what)
    {
        QSqlError e;
        if (!mayRun(nullptr, what, &e)) {
            setLastError(e);
            return false;
        }
        const bool ok = what == QLatin1String("begin transaction") ? m_inner.transaction()
                        : what == QLatin1String("commit")           ? m_inner.commit()
                                                                    : m_inner.rollback();
        if (!ok)
            setLastError(m_inner.lastError());
        return ok;
    }

    bool m_tsql;
    QSqlDatabase m_inner;
    int m_session = -1;
    const RulesResult *m_open = nullptr;
    QString m_openSql; // the unread statement, named in the refusal
};

class RulesResult : public QSqlResult {
public:
    explicit RulesResult(const RulesDriver *d) : QSqlResult(d), m_q(d->inner()) {}
    ~RulesResult() override { release(); }

protected:
    QVariant data(int i) override { return m_q.value(i); }
    bool isNull(int i) override { return m_q.isNull(i); }
    bool reset(const QString &sql) override
    {
        release();
        if (!allowed(sql))
            return false;
        if (rules()->fakesTSql() && isUse(sql))
            return done(true, false);
        m_q.setForwardOnly(isForwardOnly());
        if (!m_q.exec(sql)) {
            setLastError(m_q.lastError());
            return false;
        }
        return done(true, m_q.isSelect());
    }
    bool prepare(const QString &sql) override
    {
        release();
        m_prepared = sql;
        m_q.setForwardOnly(isForwardOnly());
        if (!m_q.prepare(sql)) {
            setLastError(m_q.lastError());
            return false;
        }
        return true;
    }
    bool exec() override
    {
        release();
        if (!allowed(m_prepared))
            return false;
        const QVariantList values = boundValues();
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (!values.at(i).metaType().isValid()) {
                setLastError(QSqlError(OdbcRules::untypedNullText(),
                                       OdbcRules::untypedNullText() + QStringLiteral(" (") + m_prepared.simplified().left(200)
                                           + QStringLiteral(")"),
                                       QSqlError::StatementError, QStringLiteral("22018")));
                return false;
            }
            m_q.bindValue(int(i), values.at(i));
        }
        if (!m_q.exec()) {
            setLastError(m_q.lastError());
            return false;
        }
        return done(true, m_q.isSelect());
    }
    bool fetch(int i) override { return moved(m_q.seek(i)); }
    bool fetchNext() override { return moved(m_q.next()); }
    bool fetchPrevious() override { return moved(m_q.previous()); }
    bool fetchFirst() override { return moved(m_q.at() == QSql::BeforeFirstRow ? m_q.next() : m_q.first()); }
    bool fetchLast() override { return moved(m_q.last()); }
    int size() override { return m_q.size(); }
    int numRowsAffected() override { return m_q.numRowsAffected(); }
    QSqlRecord record() const override { return m_q.record(); }
    QVariant lastInsertId() const override { return m_q.lastInsertId(); }
    QVariant handle() const override { return m_q.result() ? m_q.result()->handle() : QVariant(); }
    void detachFromResultSet() override
    {
        m_q.finish();
        release();
    }
    bool nextResult() override { return m_q.nextResult(); }

private:
    RulesDriver *rules() const { return static_cast<RulesDriver *>(const_cast<QSqlDriver *>(driver())); }
    static bool isUse(const QString &sql)
    {
        static const QRegularExpression rx(QStringLiteral("^\\s*use\\s+(\\[[^\\]]+\\]|\\w+)\\s*;?\\s*$"), QRegularExpression::CaseInsensitiveOption);
        return rx.match(sql).hasMatch();
    }
    bool allowed(const QString &sql)
    {
        QSqlError e;
        if (rules()->mayRun(this, sql, &e))
            return true;
        setLastError(e);
        return false;
    }
    bool done(bool ok, bool select)
    {
        setSelect(select);
        setActive(ok);
        setAt(QSql::BeforeFirstRow);
        // A forward-only result is streamed: the connection carries it until
        // it is read to its end. Other cursors are the server's own.
        if (ok && select && isForwardOnly())
            rules()->opened(this, lastQuery());
        return ok;
    }
    bool moved(bool ok)
    {
        if (ok)
            setAt(m_q.at());
        else
            release();
        return ok;
    }
    void release()
    {
        if (driver())
            rules()->closed(this);
    }

    QSqlQuery m_q;
    QString m_prepared;
};

QSqlResult *RulesDriver::createResult() const
{
    return new RulesResult(this);
}

template <bool TSql>
class RulesCreator : public QSqlDriverCreatorBase {
public:
    QSqlDriver *createObject() const override { return new RulesDriver(TSql); }
};

} // namespace

namespace OdbcRules {

void installForSqlite()
{
    QSqlDatabase::registerSqlDriver(QStringLiteral("QSQLITE"), new RulesCreator<false>);
}

void installAsTSql(const QString &file)
{
    {
        QMutexLocker lock(&g_mutex);
        g_tsqlFile = file;
    }
    QSqlDatabase::registerSqlDriver(QStringLiteral("QODBC"), new RulesCreator<true>);
}

QList<QStringList> sessions()
{
    QMutexLocker lock(&g_mutex);
    return g_sessions;
}

void clear()
{
    QMutexLocker lock(&g_mutex);
    // Connections still open keep their places (their indexes stay valid).
    for (QStringList &s : g_sessions)
        s.clear();
}

QString busyText()
{
    return QStringLiteral("Connection is busy with results for another command");
}

QString untypedNullText()
{
    return QStringLiteral("Implicit conversion from data type varbinary is not allowed");
}

} // namespace OdbcRules
