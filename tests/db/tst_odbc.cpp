// The ODBC path, driven for real through Debian's PostgreSQL ODBC driver
// against the private test server (scripts/test sets it up).
#include "db/BackgroundCount.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/Keys.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

class TestOdbc : public QObject {
    Q_OBJECT
private slots:
    void throughPostgresDriver()
    {
        const QString driver = qEnvironmentVariable("ZAPO_TEST_ODBC_DRIVER");
        if (driver.isEmpty())
            QSKIP("ODBC driver not set up (run through scripts/test)");
        auto t = TestDatabase::create(QStringLiteral("postgresql"));
        if (!t)
            QSKIP("PostgreSQL test server not available");
        const DatabaseSpec &pg = t->spec();
        const QString spec = QStringLiteral("odbc:DRIVER={%1};SERVER=%2;PORT=%3;DATABASE=%4;UID=%5;PWD=%6")
                                 .arg(driver, pg.host).arg(pg.port).arg(pg.database, pg.user, pg.password);
        // The named data source, as deployments configure it (written before
        // the first ODBC connection: the driver manager caches its files).
        const QString ini = qEnvironmentVariable("ODBCINI");
        if (ini.isEmpty())
            QSKIP("ODBCINI not set");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("[ZAPO_ODBC]\nDriver=%1\nServername=%2\nPort=%3\nDatabase=%4\n")
                    .arg(driver, pg.host).arg(pg.port).arg(pg.database).toUtf8());
        f.close();
        DataModule odbc(DatabaseSpec::parse(spec), false);
        // The dialect comes from what the server says it is.
        QCOMPARE(odbc.dialect().engine(), Engine::PostgreSQL);
        QVERIFY(!odbc.main().parameterText().contains(pg.password + QLatin1Char(';')));

        Connection &c = odbc.main();
        {
            Transaction tx(c);
            const int id = Keys::nextProgramKey(c, QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"));
            QCOMPARE(id, 1);
            Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (:id, :n, 'ATIVO')"),
                      {{QStringLiteral("id"), id}, {QStringLiteral("n"), QStringLiteral("CONCEIÇÃO D'ÁGUA")}});
            tx.commit();
        }
        // Accented text written through ODBC reads back the same through the native driver.
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Nome from unidade_trabalho where Id_Unidade_Trabalho = 1"))),
                 QStringLiteral("CONCEIÇÃO D'ÁGUA"));
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from unidade_trabalho where Nome = :n"),
                                       {{QStringLiteral("n"), QStringLiteral("CONCEIÇÃO D'ÁGUA")}})),
                 QStringLiteral("CONCEIÇÃO D'ÁGUA"));
        // The address database is reachable on its own logical connection.
        QVERIFY(odbc.connection(QStringLiteral("db_padrao")).db().isOpen());

        // And through the named data source.
        DatabaseSpec named = DatabaseSpec::parse(QStringLiteral("odbc:ZAPO_ODBC"));
        named.user = pg.user;
        named.password = pg.password;
        DataModule viaDsn(named, false);
        QCOMPARE(viaDsn.dialect().engine(), Engine::PostgreSQL);
        QVERIFY(viaDsn.main().parameters().contains(QStringLiteral("ODBC DSN=ZAPO_ODBC")));
        QCOMPARE(Sql::scalar(viaDsn.main(), QStringLiteral("select count(*) from unidade_trabalho")).toInt(), 1);

        // zapo-admin check finds the installation whole through ODBC too,
        // and names what goes missing.
        QCOMPARE(Schema::missingObjects(c), QStringList());
        Sql::exec(t->main(), QStringLiteral("drop view padrao.pesquisaLograd"));
        const QStringList missing = Schema::missingObjects(c);
        QCOMPARE(missing.size(), 1);
        QVERIFY2(missing.first().startsWith(QStringLiteral("visão padrao.pesquisaLograd: ")), qPrintable(missing.first()));
    }

    // A count no longer wanted is cancelled in the server through the
    // driver manager (SQLCancel from the screen's thread), not left to run
    // to its end on a connection of the server's.
    void aStaleCountIsCancelled()
    {
        const QString driver = qEnvironmentVariable("ZAPO_TEST_ODBC_DRIVER");
        if (driver.isEmpty())
            QSKIP("ODBC driver not set up (run through scripts/test)");
        auto t = TestDatabase::create(QStringLiteral("postgresql"));
        if (!t)
            QSKIP("PostgreSQL test server not available");
        const DatabaseSpec &pg = t->spec();
        DataModule odbc(DatabaseSpec::parse(QStringLiteral("odbc:DRIVER={%1};SERVER=%2;PORT=%3;DATABASE=%4;UID=%5;PWD=%6")
                                                .arg(driver, pg.host)
                                                .arg(pg.port)
                                                .arg(pg.database, pg.user, pg.password)),
                        false);
        BackgroundCount count;
        QSignalSpy counted(&count, &BackgroundCount::counted);
        QVERIFY(count.start(odbc.main(), QStringLiteral("select count(*) from (select pg_sleep(30)) s"), {}));
        QTest::qWait(800); // connected and counting
        QElapsedTimer clock;
        clock.start();
        QVERIFY(count.start(odbc.main(), QStringLiteral("select count(*) from unidade_trabalho"), {}));
        QVERIFY(counted.wait(15000));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(count.interrupted() >= 1);
    }
};

QTEST_GUILESS_MAIN(TestOdbc)
#include "tst_odbc.moc"
