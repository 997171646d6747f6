#include "db/DataModule.h"
#include "db/BackgroundCount.h"
#include "db/DbError.h"
#include "db/Reconnect.h"
#include "db/SideConnection.h"
#include "db/SqliteFunctions.h"
#include "db/schema/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <sqlite3.h>

const QString DataModule::MainName = QStringLiteral("BANCO_ZAPO");
const QString DataModule::PadraoName = QStringLiteral("DB_Padrao");
const QString DataModule::KeldaName = QStringLiteral("DB_KELDA");

namespace {

DataModule *g_current = nullptr;
// Every live data module, for side connections to their databases (load
// tests open workstations from several threads).
QMutex g_modulesMutex;
QList<DataModule *> g_modules;
// Connection names must differ even when load tests open workstations from
// several threads at once.
std::atomic<int> g_counter{0};

void sqliteFold(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *raw = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QByteArray out = foldText(QString::fromUtf8(raw, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerZapoSqliteFunctions(sqlite3 *handle)
{
    sqlite3_create_function_v2(handle, "zapo_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &sqliteFold, nullptr,
                               nullptr, nullptr);
}

namespace {

void registerSqliteFunctions(QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("Conexão SQLite sem acesso ao banco."));
    registerZapoSqliteFunctions(*static_cast<sqlite3 *const *>(v.data()));
}

// Reads of a big database go through the operating system's page cache:
// memory-mapped, a page costs no system call, and a larger cache of our own
// keeps the indexes the searches walk. (Writes go through the journal as
// before.)
void tuneSqlite(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("pragma mmap_size = 1073741824"));
    q.exec(QStringLiteral("pragma cache_size = -65536"));
}

void execOrThrow(QSqlDatabase &db, const QString &sql, const QVariantMap &params = {})
{
    QSqlQuery q(db);
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql); // PostgreSQL cannot prepare SET and the like
    } else {
        q.prepare(sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            q.bindValue(it.key(), it.value());
        ok = q.exec();
    }
    if (!ok)
        throw DbError::from(q.lastError(), sql);
}

// What every freshly opened connection gets, at start-up and when it is
// opened again after the server restarted.
void prepareMain(QSqlDatabase &db, const Dialect &dialect, const DatabaseSpec &spec)
{
    if (dialect.engine() != Engine::SQLite)
        return;
    registerSqliteFunctions(db);
    tuneSqlite(db);
    execOrThrow(db, QStringLiteral("attach database :f as padrao"), {{QStringLiteral(":f"), spec.padraoPath()}});
    execOrThrow(db, QStringLiteral("attach database :f as kelda"), {{QStringLiteral(":f"), spec.keldaPath()}});
}

void prepareOther(QSqlDatabase &db, const Dialect &dialect, const QString &databaseName, const QString &searchPath)
{
    if (dialect.engine() == Engine::SQLite) {
        registerSqliteFunctions(db);
        tuneSqlite(db);
    }
    if (dialect.engine() == Engine::TSql && !databaseName.isEmpty()) {
        static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        if (!ident.match(databaseName).hasMatch())
            throw DbError(QStringLiteral("Nome de banco inválido: %1").arg(databaseName));
        execOrThrow(db, QStringLiteral("use ") + databaseName);
    }
    if (dialect.engine() == Engine::PostgreSQL && !searchPath.isEmpty())
        execOrThrow(db, QStringLiteral("set search_path to %1, public").arg(searchPath));
}

} // namespace

Connection::Connection(QString logicalName, QString qtName, QStringList parameters, const Dialect *dialect)
    : m_logicalName(std::move(logicalName)), m_qtName(std::move(qtName)),
      m_parameters(std::move(parameters)), m_dialect(dialect)
{
}

QSqlDatabase Connection::db() const
{
    return QSqlDatabase::database(m_qtName, false);
}

DataModule::DataModule(const DatabaseSpec &spec, bool makeCurrent) : m_spec(spec)
{
    const QString prefix = QStringLiteral("zapo%1_").arg(++g_counter);
    try {
        QString mainName = spec.database;
        if (spec.kind == DatabaseSpec::Kind::SQLite)
            mainName = QFileInfo(spec.path).completeBaseName();

        QSqlDatabase main = openOne(prefix + MainName, spec.database, {});
        detectEngine(main);
        prepareMain(main, *m_dialect, m_spec);
        const bool separateDatabases = m_dialect->engine() == Engine::TSql;
        const QString padraoDb = separateDatabases ? spec.padraoDatabase : spec.database;
        const QString keldaDb = separateDatabases ? spec.keldaDatabase : spec.database;
        QSqlDatabase padrao = openOne(prefix + PadraoName, padraoDb, QStringLiteral("padrao"));
        QSqlDatabase kelda = openOne(prefix + KeldaName, keldaDb, QStringLiteral("kelda"));
        Q_UNUSED(padrao);
        Q_UNUSED(kelda);

        m_connections.push_back(std::make_unique<Connection>(MainName, prefix + MainName,
                                                             spec.parameterLines(mainName), m_dialect.get()));
        Reconnect::watch(*m_connections.back(), [this](QSqlDatabase &db) { prepareMain(db, *m_dialect, m_spec); });
        m_connections.push_back(std::make_unique<Connection>(PadraoName, prefix + PadraoName,
                                                             spec.parameterLines(spec.padraoDatabase), m_dialect.get()));
        Reconnect::watch(*m_connections.back(), [this, padraoDb](QSqlDatabase &db) {
            prepareOther(db, *m_dialect, padraoDb, QStringLiteral("padrao"));
        });
        m_connections.push_back(std::make_unique<Connection>(KeldaName, prefix + KeldaName,
                                                             spec.parameterLines(spec.keldaDatabase), m_dialect.get()));
        Reconnect::watch(*m_connections.back(), [this, keldaDb](QSqlDatabase &db) {
            prepareOther(db, *m_dialect, keldaDb, QStringLiteral("kelda"));
        });
        // A database made before the searches by any part of a microchip or
        // a name had their trigram indexes gets them now.
        Schema::ensureSearchIndexes(*m_connections.front());
        // And one made before any other index was added gets those.
        Schema::addMissingIndexes(*m_connections.front());
        // And the tables added since (the owner merge records, the municipal holidays).
        Schema::addMissingTables(*m_connections.front());
    } catch (...) {
        for (auto &c : m_connections)
            Reconnect::forget(*c);
        for (const QString &n : std::as_const(m_qtNames)) {
            { QSqlDatabase db = QSqlDatabase::database(n, false); db.close(); }
            QSqlDatabase::removeDatabase(n);
        }
        throw;
    }
    if (makeCurrent || !g_current)
        g_current = this;
    QMutexLocker lock(&g_modulesMutex);
    g_modules.append(this);
}

DataModule::~DataModule()
{
    // Counts of closed windows may still be closing their connections to
    // this database.
    BackgroundCount::waitForEnded();
    {
        QMutexLocker lock(&g_modulesMutex);
        g_modules.removeAll(this);
    }
    for (auto &c : m_connections)
        Reconnect::forget(*c);
    m_connections.clear();
    for (const QString &n : std::as_const(m_qtNames)) {
        { QSqlDatabase db = QSqlDatabase::database(n, false); db.close(); }
        QSqlDatabase::removeDatabase(n);
    }
    if (g_current == this)
        g_current = nullptr;
}

namespace {

// A connection set up as the data module sets its own up, not yet opened.
QSqlDatabase addConnection(const DatabaseSpec &spec, const QString &qtName, const QString &databaseName,
                           const QString &searchPath)
{
    QSqlDatabase db;
    const bool isPadrao = searchPath == QLatin1String("padrao");
    const bool isKelda = searchPath == QLatin1String("kelda");
    switch (spec.kind) {
    case DatabaseSpec::Kind::SQLite: {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), qtName);
        const QString file = isPadrao ? spec.padraoPath() : isKelda ? spec.keldaPath() : spec.path;
        QDir().mkpath(QFileInfo(file).absolutePath());
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
        break;
    }
    case DatabaseSpec::Kind::PostgreSQL:
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), qtName);
        db.setHostName(spec.host);
        db.setPort(spec.port);
        db.setDatabaseName(databaseName);
        db.setUserName(spec.user);
        db.setPassword(spec.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
        break;
    case DatabaseSpec::Kind::Odbc: {
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), qtName);
        // Qt's ODBC driver takes a bare name as a data source and anything
        // with DRIVER= or SERVER= as a whole connection string. The database
        // of each logical connection is chosen after connecting (see below).
        const QString cs = spec.dsn;
        db.setDatabaseName(cs);
        db.setUserName(spec.user);
        db.setPassword(spec.password);
        break;
    }
    }
    return db;
}

} // namespace

QSqlDatabase DataModule::openOne(const QString &qtName, const QString &databaseName, const QString &searchPath)
{
    QSqlDatabase db = addConnection(m_spec, qtName, databaseName, searchPath);
    m_qtNames << qtName;
    if (!db.open())
        throw DbError::from(db.lastError());
    if (m_dialect)
        prepareOther(db, *m_dialect, databaseName, searchPath);
    return db;
}

std::optional<SideConnection::Target> SideConnection::targetOf(const Connection &c)
{
    QMutexLocker lock(&g_modulesMutex);
    for (DataModule *dm : std::as_const(g_modules))
        if (&dm->main() == &c)
            return Target{dm->spec(), dm->dialect().engine()};
    return std::nullopt;
}

QSqlDatabase SideConnection::open(const Target &target, const QString &qtName)
{
    const DatabaseSpec &spec = target.spec;
    const std::unique_ptr<Dialect> dialect = makeDialect(target.engine);
    QSqlDatabase db = addConnection(spec, qtName, spec.database, {});
    try {
        if (!db.open())
            throw DbError::from(db.lastError());
        prepareMain(db, *dialect, spec);
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(qtName);
        throw;
    }
    return db;
}

void DataModule::detectEngine(QSqlDatabase &db)
{
    switch (m_spec.kind) {
    case DatabaseSpec::Kind::SQLite:
        m_dialect = makeDialect(Engine::SQLite);
        return;
    case DatabaseSpec::Kind::PostgreSQL:
        m_dialect = makeDialect(Engine::PostgreSQL);
        return;
    case DatabaseSpec::Kind::Odbc: {
        // The data source may lead to any server: ask it what it is.
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("select version()")) && q.next()
            && q.value(0).toString().contains(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive)) {
            m_dialect = makeDialect(Engine::PostgreSQL);
            return;
        }
        m_dialect = makeDialect(Engine::TSql);
        return;
    }
    }
}

DataModule &DataModule::current()
{
    if (!g_current)
        throw DbError(QStringLiteral("Nenhuma conexão com o banco de dados foi aberta."));
    return *g_current;
}

bool DataModule::hasCurrent()
{
    return g_current != nullptr;
}

Connection &DataModule::connection(const QString &logicalName)
{
    for (auto &c : m_connections)
        if (c->logicalName().compare(logicalName, Qt::CaseInsensitive) == 0)
            return *c;
    throw DbError(QStringLiteral("Conexão desconhecida: %1").arg(logicalName));
}

Connection &mainConnection()
{
    return DataModule::current().main();
}
