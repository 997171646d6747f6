// A register list with its count in the background: the first page at once,
// the grid growing page by page meanwhile, the exact total in the end, and a
// stale count never arriving over a newer list.
#include "db/BulkInsert.h"
#include "db/DataModule.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"
#include "ui/register/PagedQueryModel.h"

#include <QSignalSpy>
#include <QTest>

namespace {

void fillOwners(Connection &c, int n)
{
    Transaction tx(c);
    BulkInsert b(c, QStringLiteral("proprietario"), {QStringLiteral("Id_Proprietario"), QStringLiteral("Nome")});
    for (int i = 0; i < n; ++i)
        b.add({i + 1, QStringLiteral("NOME %1").arg(i, 4, 10, QLatin1Char('0'))});
    b.finish();
    tx.commit();
}

void ownersList(PagedQueryModel &m, Connection &c)
{
    m.setConnection(&c);
    m.setSource(QStringLiteral("proprietario t"), {{QStringLiteral("Nome"), QStringLiteral("t.Nome")}},
                QStringLiteral("t.Id_Proprietario"));
    m.setPageSize(100);
    m.setBackgroundCount(true);
}

} // namespace

class TestPagedQueryModel : public QObject {
    Q_OBJECT
private slots:
    void firstPageAtOnceExactCountLater_data() { addEngineRows(); }
    void firstPageAtOnceExactCountLater()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main(), 1000);
        PagedQueryModel m;
        ownersList(m, t->main());
        QSignalSpy changed(&m, &PagedQueryModel::countChanged);
        m.reload();
        QCOMPARE(m.rowCount(), 100);
        QVERIFY(!m.countExact());
        QCOMPARE(m.pagesRead(), 1);
        QCOMPARE(m.rawValue(99, 0).toString(), QStringLiteral("NOME 0099"));
        // Scrolling to the end before the total arrives reads the next page.
        QVERIFY(m.canFetchMore({}));
        m.fetchMore({});
        QCOMPARE(m.rowCount(), 200);
        QCOMPARE(m.rawValue(150, 0).toString(), QStringLiteral("NOME 0150"));
        QTRY_VERIFY_WITH_TIMEOUT(m.countExact(), 10000);
        QCOMPARE(m.rowCount(), 1000);
        QCOMPARE(changed.last().at(0).toInt(), 1000);
        QVERIFY(changed.last().at(1).toBool());
        QCOMPARE(m.rawValue(999, 0).toString(), QStringLiteral("NOME 0999"));
        QVERIFY(!m.canFetchMore({}));

        // A list that fits on its first page is exact at once.
        m.setFilter(QStringLiteral("t.Id_Proprietario <= :k"), {{QStringLiteral("k"), 42}});
        m.reload();
        QVERIFY(m.countExact());
        QCOMPARE(m.rowCount(), 42);

        // Read to the end page by page: exact on the short last page.
        m.setFilter(QStringLiteral("t.Id_Proprietario <= :k"), {{QStringLiteral("k"), 250}});
        m.reload();
        m.fetchMore({});
        m.fetchMore({});
        QVERIFY(m.countExact());
        QCOMPARE(m.rowCount(), 250);
    }

    void aNewListDiscardsTheStaleCount_data() { addEngineRows(); }
    void aNewListDiscardsTheStaleCount()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main(), 1000);
        PagedQueryModel m;
        ownersList(m, t->main());
        QSignalSpy changed(&m, &PagedQueryModel::countChanged);
        m.reload();
        m.setFilter(QStringLiteral("t.Id_Proprietario <= :k"), {{QStringLiteral("k"), 300}});
        m.reload();
        QTRY_VERIFY_WITH_TIMEOUT(m.countExact(), 10000);
        QTest::qWait(200);
        QCOMPARE(m.rowCount(), 300);
        for (const QList<QVariant> &s : std::as_const(changed))
            QVERIFY(s.at(0).toInt() != 1000);

        // "Último" needs the total now: counted on the spot.
        m.setFilter({});
        m.reload();
        m.ensureCount();
        QVERIFY(m.countExact());
        QCOMPARE(m.rowCount(), 1000);

        // Cancelled (the list is left as it is): no total arrives later.
        m.reload();
        m.cancelCount();
        QTest::qWait(300);
        QVERIFY(!m.countExact());
        QCOMPARE(m.rowCount(), 100);
    }

    // The list goes (its screen closes) while its count runs; repeated to
    // catch a connection closed in the wrong thread.
    void goesWhileCounting_data() { addEngineRows(); }
    void goesWhileCounting()
    {
        ZAPO_TEST_DB(t);
        fillOwners(t->main(), 1000);
        for (int i = 0; i < 5; ++i) {
            auto *m = new PagedQueryModel;
            ownersList(*m, t->main());
            m->reload();
            QTest::qWait(i * 5);
            delete m;
        }
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TestPagedQueryModel)
#include "tst_pagedquerymodel.moc"
