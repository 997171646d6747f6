// Counting on a connection of its own in a thread of its own: the exact
// number in the end, a stale count discarded and interrupted in the engine,
// and nothing left behind when its owner goes in the middle of a count.
#include "db/BackgroundCount.h"
#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QTest>

namespace {

// Long enough to be still running when it is cancelled (seconds), on both engines.
const QString kSlowCount = QStringLiteral(
    "with recursive r(i) as (select 1 union all select i + 1 from r where i < 400000000) select count(*) from r");

void fillOwners(Connection &c, int n)
{
    Transaction tx(c);
    BulkInsert b(c, QStringLiteral("proprietario"), {QStringLiteral("Id_Proprietario"), QStringLiteral("Nome")});
    for (int i = 0; i < n; ++i)
        b.add({i + 1, QStringLiteral("NOME %1").arg(i % 10)});
    b.finish();
    tx.commit();
}

} // namespace

class TestBackgroundCount : public QObject {
    Q_OBJECT
private slots:
    void countsExactlyAndOnlyTheLatest_data() { addEngineRows(); }
    void countsExactlyAndOnlyTheLatest()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main(), 1234);
        BackgroundCount count;
        QSignalSpy counted(&count, &BackgroundCount::counted);
        QSignalSpy failed(&count, &BackgroundCount::failed);
        count.start(t->main(), QStringLiteral("select count(*) from proprietario where Nome = :n"),
                    {{QStringLiteral("n"), QStringLiteral("NOME 3")}});
        QVERIFY(count.busy());
        QVERIFY(counted.wait(10000));
        QCOMPARE(counted.takeFirst().at(0).toLongLong(), 124LL); // 3, 13, ..., 1233
        QVERIFY(!count.busy());

        // Two in a row: only the second is reported.
        count.start(t->main(), QStringLiteral("select count(*) from proprietario"), {});
        count.start(t->main(), QStringLiteral("select count(*) from proprietario where Id_Proprietario <= :k"),
                    {{QStringLiteral("k"), 1000}});
        QVERIFY(counted.wait(10000));
        QTest::qWait(200);
        QCOMPARE(counted.size(), 1);
        QCOMPARE(counted.at(0).at(0).toLongLong(), 1000LL);

        // Cancelled before it ends: nothing arrives.
        counted.clear();
        count.start(t->main(), QStringLiteral("select count(*) from proprietario"), {});
        count.cancel();
        QTest::qWait(300);
        QCOMPARE(counted.size(), 0);

        // A statement the engine refuses is reported, and the next count works.
        count.start(t->main(), QStringLiteral("select count(*) from no_such_table"), {});
        QVERIFY(failed.wait(10000));
        count.start(t->main(), QStringLiteral("select count(*) from proprietario"), {});
        QVERIFY(counted.wait(10000));
        QCOMPARE(counted.last().at(0).toLongLong(), 1234LL);
        QCOMPARE(failed.size(), 1);
    }

    // The address database is reached as the main connection reaches it
    // (attached files on SQLite, a schema on PostgreSQL).
    void seesTheAttachedAddressFiles_data() { addEngineRows(); }
    void seesTheAttachedAddressFiles()
    {
        ZAPO_TEST_DB(t);
        const qint64 expected = Sql::scalar(t->main(), QStringLiteral("select count(*) from %1")
                                                           .arg(t->main().dialect().addressTable(QStringLiteral("logradouroNome"))))
                                    .toLongLong();
        BackgroundCount count;
        QSignalSpy counted(&count, &BackgroundCount::counted);
        count.start(t->main(), QStringLiteral("select count(*) from %1")
                                   .arg(t->main().dialect().addressTable(QStringLiteral("logradouroNome"))), {});
        QVERIFY(counted.wait(10000));
        QCOMPARE(counted.first().at(0).toLongLong(), expected);
    }

    void aNewCountInterruptsTheStaleOne_data() { addEngineRows(); }
    void aNewCountInterruptsTheStaleOne()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main(), 10);
        BackgroundCount count;
        QSignalSpy counted(&count, &BackgroundCount::counted);
        count.start(t->main(), kSlowCount, {});
        QTest::qWait(400); // connected and counting
        QElapsedTimer clock;
        clock.start();
        count.start(t->main(), QStringLiteral("select count(*) from proprietario"), {});
        QVERIFY(counted.wait(10000));
        QCOMPARE(counted.first().at(0).toLongLong(), 10LL);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(count.interrupted() >= 1);
    }

    // The owner (a closing screen) goes while the count runs, from before
    // its connection is open to well into the count: it does not wait, and
    // the interrupted count ends by itself, its connection gone with it.
    void goesInTheMiddleOfACount_data() { addEngineRows(); }
    void goesInTheMiddleOfACount()
    {
        ZAPO_TEST_DB(t);
        const int before = QSqlDatabase::connectionNames().size();
        for (int i = 0; i < 5; ++i) {
            auto *count = new BackgroundCount;
            count->start(t->main(), kSlowCount, {});
            QTest::qWait(i * 60);
            QElapsedTimer clock;
            clock.start();
            delete count;
            QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        }
        QCoreApplication::processEvents(); // queued results of deleted owners are dropped
        QTRY_COMPARE_WITH_TIMEOUT(BackgroundCount::ending(), 0, 10000);
        QCOMPARE(QSqlDatabase::connectionNames().size(), before);
    }

    // A data module that closes waits for the counts still ending, so no
    // counting connection outlives it (a test database is dropped next).
    void closingTheDatabaseWaitsForEndingCounts_data() { addEngineRows(); }
    void closingTheDatabaseWaitsForEndingCounts()
    {
        ZAPO_TEST_DB(t);
        const int before = QSqlDatabase::connectionNames().size();
        for (int i = 0; i < 3; ++i) {
            auto *count = new BackgroundCount;
            count->start(t->main(), kSlowCount, {});
            QTest::qWait(i * 40);
            delete count;
        }
        t.reset();
        QCOMPARE(BackgroundCount::ending(), 0);
        QVERIFY(QSqlDatabase::connectionNames().size() < before);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundCount)
#include "tst_backgroundcount.moc"
