// The map and the web booking service working on the same slots at once:
// four bookers take and give back places while the map alters counts near
// what is taken, moves hours, deletes and clones. Taken places never exceed
// the offered ones, the counters equal what the bookers were told, a deleted
// slot had nothing taken, and no refused change is reported as done.
#include "SlotFixture.h"
#include "support/TestDatabase.h"
#include "support/WebBooker.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace SlotFixture;

namespace {

const QDate Day(2030, 5, 6);
constexpr int Seeded = 20;

int violations(Connection &c)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from mapa_disponibilidade_agenda where "
                                         "coalesce(Qt_vaga_usada_geral, 0) > Qt_vaga_disponivel_geral or "
                                         "coalesce(Qt_vaga_usada_f_grande_porte, 0) > Qt_vaga_disp_f_grande_porte or "
                                         "Qt_vaga_usada_geral < 0 or Qt_vaga_usada_f_grande_porte < 0"))
        .toInt();
}

SlotValues valuesOf(const Slot &s)
{
    SlotValues v;
    v.unidade = s.unidade;
    v.procedimento = s.procedimento;
    v.dataHora = s.dataHora;
    v.vagaGeral = s.vagaGeral;
    v.vagaFemea = s.vagaFemea;
    v.especie = s.especie;
    return v;
}

} // namespace

class TestWebRace : public QObject {
    Q_OBJECT
private slots:
    void mapAndBookersTogether_data() { addEngineRows(); }
    void mapAndBookersTogether()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        if (t->engine() == QLatin1String("sqlite")) {
            // Five connections hammering one file: with the write-ahead log
            // the map's reads never queue behind the bookers' writes (the
            // conditional statements under test are the same either way).
            Sql::exec(c, QStringLiteral("pragma journal_mode = wal"));
            Sql::exec(c, QStringLiteral("pragma synchronous = normal"));
        }
        for (int i = 1; i <= Seeded; ++i)
            addSlot(c, i, i % 2 ? 1 : 15, QDateTime(Day, QTime(6 + i / 2, 0)), 3, 1);
        int maxKey = Seeded;

        // ZAPO_RACE_WEB_OPS lengthens a run by hand; the suite runs 10,000.
        const int webOps = qMax(10000, qEnvironmentVariableIntValue("ZAPO_RACE_WEB_OPS"));
        WebBooker bookers(*t, 4, webOps / 4, maxKey);
        bookers.start();
        SlotStore store(c);
        QRandomGenerator rng(42);
        QSet<int> deleted;
        using O = SlotStore::Outcome;
        int done = 0, refusedChanges = 0;
        for (int op = 0; op < 2000; ++op) {
            const int key = 1 + int(rng.bounded(quint32(maxKey)));
            const std::optional<Slot> before = store.read(key);
            const int kind = int(rng.bounded(100));
            if (!before) {
                QVERIFY(deleted.contains(key));
            } else if (kind < 55) {
                // Offer about what is taken: one less up to two more.
                SlotValues v = valuesOf(*before);
                v.vagaGeral = qMax(0, before->usadaGeral + int(rng.bounded(4)) - 1);
                v.vagaFemea = qMax(0, before->usadaFemea + int(rng.bounded(4)) - 1);
                const O o = store.alter(key, v, *before, QStringLiteral("7"));
                const Slot after = *store.read(key);
                if (o == O::Done) {
                    ++done;
                    QCOMPARE(after.vagaGeral, v.vagaGeral);
                    QCOMPARE(after.vagaFemea, v.vagaFemea);
                } else {
                    ++refusedChanges;
                    QVERIFY(o == O::GeneralBelowTaken || o == O::FemaleBelowTaken);
                    QCOMPARE(after.vagaGeral, before->vagaGeral);
                    QCOMPARE(after.vagaFemea, before->vagaFemea);
                }
            } else if (kind < 78) {
                SlotValues v = valuesOf(*before);
                v.dataHora = QDateTime(before->dataHora.date(), QTime(6 + int(rng.bounded(12)), 5 * int(rng.bounded(12))));
                const O o = store.alter(key, v, *before, QStringLiteral("7"));
                const Slot after = *store.read(key);
                if (o == O::Done) {
                    ++done;
                    QCOMPARE(after.dataHora, v.dataHora);
                } else {
                    ++refusedChanges;
                    QVERIFY(o == O::HourTaken || o == O::Duplicate || o == O::GeneralBelowTaken
                            || o == O::FemaleBelowTaken);
                    QCOMPARE(after.dataHora, before->dataHora);
                }
            } else if (kind < 86 && key < maxKey) {
                // (The greatest key is kept: a deleted one is never given again.)
                const O o = store.remove(key);
                if (o == O::Done) {
                    ++done;
                    deleted.insert(key);
                    QVERIFY(!store.read(key));
                } else {
                    ++refusedChanges;
                    QCOMPARE(o, O::Taken);
                    QVERIFY(store.read(key));
                }
            } else if (kind >= 86) {
                const QList<QDate> days{Day.addDays(1 + int(rng.bounded(20)))};
                const SlotStore::CloneResult r = store.clone(*before, days, {1, 15}, QStringLiteral("7"));
                QCOMPARE(r.inserted + r.skipped, 2);
                maxKey = Sql::scalar(c, QStringLiteral("select max(Id_Mapa_disponibilidade_agenda) from mapa_disponibilidade_agenda")).toInt();
                bookers.setMaxKey(maxKey);
            }
            QCOMPARE(violations(c), 0);
        }
        bookers.wait();
        QVERIFY2(bookers.errors().isEmpty(), qPrintable(bookers.errors().join(QLatin1Char('\n'))));
        QCOMPARE(violations(c), 0);
        QVERIFY(done > 100 && refusedChanges > 10);
        QVERIFY2(bookers.accepted() > 1000, qPrintable(QStringLiteral("accepted %1, refused %2, deleted %3, slots %4")
                                                            .arg(bookers.accepted()).arg(bookers.refused())
                                                            .arg(deleted.size()).arg(maxKey)));

        const QHash<int, int> general = bookers.netGeneral(), female = bookers.netFemale();
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Mapa_disponibilidade_agenda, coalesce(Qt_vaga_usada_geral, 0), "
                                                  "coalesce(Qt_vaga_usada_f_grande_porte, 0) from mapa_disponibilidade_agenda"));
        int rows = 0;
        while (q.next()) {
            ++rows;
            const int key = q.value(0).toInt();
            QCOMPARE(q.value(1).toInt(), general.value(key));
            QCOMPARE(q.value(2).toInt(), female.value(key));
        }
        QVERIFY(rows > 0);
        for (int key : deleted) {
            QCOMPARE(general.value(key), 0);
            QCOMPARE(female.value(key), 0);
        }
    }
};

QTEST_MAIN(TestWebRace)
#include "tst_webrace.moc"
