// Reports reading their rows from queries on the real engines.
#include "db/DbError.h"
#include "db/Sql.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportData.h"
#include "support/TestDatabase.h"

#include <QTest>

namespace {

void fill(Connection &c, int rows)
{
    Sql::exec(c, QStringLiteral("create table lista (id integer, nome varchar(40), nascimento timestamp)"));
    QSqlDatabase db = c.db();
    db.transaction();
    for (int i = 1; i <= rows; ++i)
        Sql::exec(c, QStringLiteral("insert into lista values (:i, :n, :d)"),
                  {{QStringLiteral("i"), i}, {QStringLiteral("n"), QStringLiteral("Nome %1").arg(i)},
                   {QStringLiteral("d"), QDate(2020, 1, 1).addDays(i % 300)}});
    db.commit();
}

ReportDefinition listOf(Connection &c, QueryDataSource::Reading reading, bool lookUp)
{
    ReportDefinition r;
    Connection *conn = &c;
    r.data = [conn, reading] {
        return QueryDataSource::open(*conn, QStringLiteral("select id, nome, nascimento from lista where id >= :desde order by id"),
                                     {{QStringLiteral("desde"), 1}}, reading);
    };
    ReportBand &d = r.band(BandKind::Detail, 5);
    d.add(Items::field(0, 0, 20, 4, QStringLiteral("id"))).named(QStringLiteral("id"));
    d.add(Items::field(25, 0, 30, 4, QStringLiteral("nascimento"))).displayFormat(QStringLiteral("dd/MM/yyyy")).named(QStringLiteral("data"));
    if (lookUp)
        d.add(Items::computed(60, 0, 50, 4, [conn](const ReportRow &row) {
            return Sql::text(Sql::scalar(*conn, QStringLiteral("select nome from lista where id = :i"),
                                         {{QStringLiteral("i"), row.value(QStringLiteral("id"))}}));
        })).named(QStringLiteral("busca"));
    return r;
}

} // namespace

class TestQuerySource : public QObject {
    Q_OBJECT
private slots:
    void streamsLargeResultsInOrder_data() { addEngineRows(); }
    void streamsLargeResultsInOrder()
    {
        QFETCH(QString, engine);
        auto t = TestDatabase::create(engine, false);
        if (!t)
            QSKIP("PostgreSQL test server not available (run through scripts/test)");
        fill(t->main(), 50000);
        const ComposedReport r = Reports::compose(listOf(t->main(), QueryDataSource::Reading::Streamed, false));
        QCOMPARE(r.rows, 50000);
        const auto ids = r.named(QStringLiteral("id"));
        QCOMPARE(ids.size(), 50000);
        QCOMPARE(ids.first()->text, QStringLiteral("1"));
        QCOMPARE(ids.last()->text, QStringLiteral("50000"));
        QCOMPARE(r.named(QStringLiteral("data")).first()->text, QStringLiteral("02/01/2020"));
    }

    void lookupsWhileReadingNeedABufferedQuery_data() { addEngineRows(); }
    void lookupsWhileReadingNeedABufferedQuery()
    {
        QFETCH(QString, engine);
        auto t = TestDatabase::create(engine, false);
        if (!t)
            QSKIP("PostgreSQL test server not available (run through scripts/test)");
        fill(t->main(), 120);
        const ComposedReport r = Reports::compose(listOf(t->main(), QueryDataSource::Reading::Buffered, true));
        QCOMPARE(r.rows, 120);
        QCOMPARE(r.named(QStringLiteral("busca")).last()->text, QStringLiteral("Nome 120"));
        // Streamed, a lookup may discard the rows still pending (PostgreSQL):
        // the report then fails instead of silently coming out shorter.
        try {
            const ComposedReport s = Reports::compose(listOf(t->main(), QueryDataSource::Reading::Streamed, true));
            QCOMPARE(s.rows, 120);
        } catch (const DbError &e) {
            QVERIFY(!e.text().isEmpty());
        }
    }
};

QTEST_MAIN(TestQuerySource)
#include "tst_querysource.moc"
