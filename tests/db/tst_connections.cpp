// The data module against real engines: logical names, transactions, keys
// under concurrency, server clock.
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

class TestConnections : public QObject {
    Q_OBJECT
private slots:
    void logicalNamesIgnoreCase_data() { addEngineRows(); }
    void logicalNamesIgnoreCase()
    {
        ZAPO_TEST_DB(t);
        QCOMPARE(&t->dm().connection(QStringLiteral("Banco_ZAPO")), &t->main());
        QCOMPARE(t->dm().connection(QStringLiteral("db_padrao")).logicalName(), QStringLiteral("DB_Padrao"));
        QCOMPARE(t->dm().connection(QStringLiteral("DB_Kelda")).logicalName(), QStringLiteral("DB_KELDA"));
        QVERIFY_THROWS_EXCEPTION(DbError, t->dm().connection(QStringLiteral("outro")));
        QVERIFY(t->main().parameterText().startsWith(QStringLiteral("DATABASE NAME=")));
    }

    void firstKeyIsOneAndKeysDoNotCollide_data() { addEngineRows(); }
    void firstKeyIsOneAndKeysDoNotCollide()
    {
        ZAPO_TEST_DB(t);
        auto insert = [](Connection &c) {
            Transaction tx(c);
            const int id = Keys::nextProgramKey(c, QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"));
            Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (:id, :n, 'ATIVO')"),
                      {{QStringLiteral("id"), id}, {QStringLiteral("n"), QStringLiteral("U%1").arg(id)}});
            tx.commit();
            return id;
        };
        QCOMPARE(insert(t->main()), 1);
        auto other = t->openAnother();
        QCOMPARE(insert(other->main()), 2);
        QCOMPARE(insert(t->main()), 3);
    }

    void keyOutsideTransactionIsRefused_data() { addEngineRows(); }
    void keyOutsideTransactionIsRefused()
    {
        ZAPO_TEST_DB(t);
        QVERIFY_THROWS_EXCEPTION(DbError, Keys::nextProgramKey(t->main(), QStringLiteral("unidade_trabalho"),
                                                                QStringLiteral("Id_Unidade_Trabalho")));
    }

    void failedTransactionLeavesNothing_data() { addEngineRows(); }
    void failedTransactionLeavesNothing()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        try {
            Transaction tx(c);
            Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values (1, 'A')"));
            Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values (1, 'B')"));
            tx.commit();
            QFAIL("duplicate key accepted");
        } catch (const DbError &) {
        }
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from unidade_trabalho")).toInt(), 0);
        // And the connection is usable again.
        Transaction tx(c);
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values (1, 'A')"));
        tx.commit();
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from unidade_trabalho")).toInt(), 1);
    }

    void serverClockIsNow_data() { addEngineRows(); }
    void serverClockIsNow()
    {
        ZAPO_TEST_DB(t);
        const QDateTime now = serverNow(t->main());
        QVERIFY(now.isValid());
        QVERIFY(qAbs(now.secsTo(QDateTime::currentDateTime())) < 120);
    }

    void boundTextWithQuotesAndAccents_data() { addEngineRows(); }
    void boundTextWithQuotesAndAccents()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const QString name = QStringLiteral("JOANA D'ARC; drop table usuario --");
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values (1, :n)"), {{QStringLiteral("n"), name}});
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values (2, :n)"), {{QStringLiteral("n"), QStringLiteral("JOSÉ")}});
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from unidade_trabalho where Nome = :n"), {{QStringLiteral("n"), name}})), name);
        const QString folded = c.dialect().folded(QStringLiteral("Nome"));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where %1 like :p").arg(folded),
                             {{QStringLiteral("p"), foldText(QStringLiteral("JOSE")) + QLatin1Char('%')}}).toInt(), 2);
    }

    // Workstations on several threads (load tests, the web booking stand-in)
    // open and close transactions at the same moment: each connection's own
    // count stays right and nothing is shared between them that could be
    // torn (a shared table of counts once corrupted the heap this way).
    void transactionsOnSeveralThreads_data() { addEngineRows(); }
    void transactionsOnSeveralThreads()
    {
        ZAPO_TEST_DB(t);
        std::atomic<int> wrong{0}, failed{0};
        auto work = [&](Connection &c) {
            for (int i = 0; i < 400; ++i) {
                try {
                    Transaction tx(c);
                    if (Transaction::openOn(c) != 1 || !c.inTransaction())
                        ++wrong;
                    Sql::scalar(c, QStringLiteral("select count(*) from unidade_trabalho"));
                    if (i % 2)
                        tx.commit();
                } catch (const DbError &) {
                    ++failed;
                }
                if (Transaction::openOn(c) != 0 || c.inTransaction())
                    ++wrong;
            }
        };
        std::vector<std::thread> threads;
        for (int n = 0; n < 3; ++n)
            threads.emplace_back([&] {
                std::unique_ptr<DataModule> dm = t->openAnother();
                work(dm->main());
            });
        work(t->main());
        for (std::thread &th : threads)
            th.join();
        QCOMPARE(failed.load(), 0);
        QCOMPARE(wrong.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestConnections)
#include "tst_connections.moc"
