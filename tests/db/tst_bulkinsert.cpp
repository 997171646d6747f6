// Multi-row inserts: every row arrives once with its values intact, whatever
// the number of rows against the batch size, and a failure is reported.
#include "db/BulkInsert.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"

#include <QTest>

class TestBulkInsert : public QObject {
    Q_OBJECT
private slots:
    void rowsArriveIntact_data() { addEngineRows(); }
    void rowsArriveIntact()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, "create table bulk_test (id integer, nome varchar(40), valor float, quando timestamp)");
        int perStatement = 0;
        {
            BulkInsert probe(c, "bulk_test", {"id", "nome", "valor", "quando"});
            perStatement = probe.rowsPerStatement();
        }
        QVERIFY(perStatement > 1);
        int next = 0;
        for (const int count : {0, 1, perStatement, perStatement + 1, 2 * perStatement + 3}) {
            Transaction tx(c);
            Sql::exec(c, "delete from bulk_test");
            BulkInsert b(c, "bulk_test", {"id", "nome", "valor", "quando"});
            for (int i = 0; i < count; ++i, ++next)
                b.add({next, i % 7 == 0 ? QVariant(QMetaType::fromType<QString>()) : QVariant(QStringLiteral("JOÃO %1").arg(i)),
                       i * 0.5, QStringLiteral("2024-02-29T13:45:00.000")});
            b.finish();
            tx.commit();
            QCOMPARE(b.rows(), qint64(count));
            QCOMPARE(Sql::scalar(c, "select count(*) from bulk_test").toInt(), count);
            QCOMPARE(Sql::scalar(c, "select count(distinct id) from bulk_test").toInt(), count);
            if (count > 1) {
                QSqlQuery q = Sql::exec(c, "select nome, valor, quando from bulk_test where id = :i", {{"i", next - count + 1}});
                QVERIFY(q.next());
                QCOMPARE(Sql::text(q.value(0)), QStringLiteral("JOÃO 1"));
                QCOMPARE(q.value(1).toDouble(), 0.5);
                QCOMPARE(q.value(2).toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(13, 45)));
                QCOMPARE(Sql::scalar(c, "select count(*) from bulk_test where nome is null").toInt(), (count + 6) / 7);
            }
        }
    }

    void failureIsReported_data() { addEngineRows(); }
    void failureIsReported()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Transaction tx(c);
        BulkInsert b(c, "no_such_table", {"a"});
        b.add({1});
        QVERIFY_THROWS_EXCEPTION(DbError, b.finish());
    }
};

QTEST_GUILESS_MAIN(TestBulkInsert)
#include "tst_bulkinsert.moc"
