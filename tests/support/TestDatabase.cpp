#include "support/TestDatabase.h"
#include "support/OdbcRules.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/schema/Schema.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>

namespace {

bool adminExec(const QString &adminUrl, const QString &sql)
{
    const DatabaseSpec s = DatabaseSpec::parse(adminUrl);
    const QString name = QStringLiteral("zapo_test_admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(s.host);
        db.setPort(s.port);
        db.setUserName(s.user);
        db.setPassword(s.password);
        db.setDatabaseName(s.database);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (!ok)
                qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        } else {
            qWarning("PostgreSQL test server: %s", qPrintable(db.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

void addEngineRows()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

std::unique_ptr<TestDatabase> TestDatabase::create(const QString &engine, bool withSchema)
{
    std::unique_ptr<TestDatabase> t(new TestDatabase);
    t->m_engine = engine;
    if (engine == QLatin1String("sqlite")) {
        // With ZAPO_TEST_ODBC_RULES=1, SQLite connections keep what a T-SQL
        // server through ODBC refuses (support/OdbcRules.h), so that the
        // tests of every screen find a statement that would fail there.
        // Tests of the stores known to run several statements install the
        // rules themselves.
        static const bool rules = [] {
            if (qEnvironmentVariable("ZAPO_TEST_ODBC_RULES") != QLatin1String("1"))
                return false;
            OdbcRules::installForSqlite();
            return true;
        }();
        Q_UNUSED(rules);
        t->m_dir = std::make_unique<QTemporaryDir>();
        t->m_spec = DatabaseSpec::parse(t->m_dir->filePath(QStringLiteral("zapo.db")));
    } else if (engine == QLatin1String("postgresql")) {
        t->m_pgAdminUrl = qEnvironmentVariable("ZAPO_TEST_PG");
        if (t->m_pgAdminUrl.isEmpty())
            return nullptr;
        t->m_pgName = QStringLiteral("zapo_t%1").arg(QRandomGenerator::global()->generate64(), 0, 36);
        // Collated as a Brazilian server is, whatever the test server was
        // initialised with: searches must be right under that order.
        if (!adminExec(t->m_pgAdminUrl, QStringLiteral("create database %1 template template0 encoding 'UTF8' "
                                                       "locale_provider icu icu_locale 'pt-BR'")
                                            .arg(t->m_pgName)))
            return nullptr;
        QUrl url(t->m_pgAdminUrl);
        url.setPath(QLatin1Char('/') + t->m_pgName);
        t->m_spec = DatabaseSpec::parse(url.toString());
    } else {
        qFatal("unknown engine %s", qPrintable(engine));
    }
    t->m_dm = std::make_unique<DataModule>(t->m_spec);
    if (withSchema)
        Schema::create(*t->m_dm);
    return t;
}

std::unique_ptr<DataModule> TestDatabase::openAnother() const
{
    return std::make_unique<DataModule>(m_spec, false);
}

TestDatabase::~TestDatabase()
{
    m_dm.reset();
    if (!m_pgName.isEmpty())
        adminExec(m_pgAdminUrl, QStringLiteral("drop database if exists %1 with (force)").arg(m_pgName));
}
