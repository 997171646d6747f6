// The availability map's statements: multi-area saves in one transaction,
// alterations and deletes that never overtake the web booking service, the
// half-open day filter, cloning and the month summary.
#include "SlotFixture.h"
#include "db/DbError.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace SlotFixture;

namespace {

const QDate Day(2016, 3, 10);

SlotValues values(int unit = 1, const QTime &t = QTime(8, 0), int geral = 3, int femea = 0, int especie = 1)
{
    SlotValues v;
    v.unidade = unit;
    v.procedimento = 12;
    v.dataHora = QDateTime(Day, t);
    v.vagaGeral = geral;
    v.vagaFemea = femea;
    v.especie = especie;
    return v;
}

// Makes the n-th statement that starts with `prefix` fail, as a lost
// connection would.
struct FailAt {
    FailAt(const QString &prefix, int n)
    {
        int seen = 0;
        Sql::setObserver([prefix, n, seen](const QString &sql, const QVariantMap &) mutable {
            if (sql.startsWith(prefix, Qt::CaseInsensitive) && ++seen == n)
                throw DbError(QStringLiteral("falha simulada"));
        });
    }
    ~FailAt() { Sql::setObserver({}); }
};

} // namespace

class TestSlotStore : public QObject {
    Q_OBJECT
private slots:
    void multiAreaSaveIsOneTransaction_data() { addEngineRows(); }
    void multiAreaSaveIsOneTransaction()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        SlotStore store(c);
        addSlot(c, 40, 15, QDateTime(Day, QTime(9, 0)), 1, 0);

        const QList<int> keys = store.insert(values(), {3001, 3002, 4001}, QStringLiteral("7"));
        QCOMPARE(keys, (QList<int>{41, 42, 43}));
        QSqlQuery q = Sql::exec(c, QStringLiteral("select COD_AREA_ABRN, Qt_vaga_disponivel_geral, Qt_vaga_usada_geral, "
                                                  "Qt_vaga_usada_f_grande_porte, Inserido_por from mapa_disponibilidade_agenda "
                                                  "where Id_Mapa_disponibilidade_agenda > 40 order by Id_Mapa_disponibilidade_agenda"));
        QList<int> areas;
        while (q.next()) {
            areas << q.value(0).toInt();
            QCOMPARE(q.value(1).toInt(), 3);
            QCOMPARE(q.value(2).toInt(), 0);
            QCOMPARE(q.value(3).toInt(), 0);
            QCOMPARE(q.value(4).toInt(), 7);
        }
        QCOMPARE(areas, (QList<int>{3001, 3002, 4001}));

        // The same unit, species, hour and procedure again: refused, nothing written.
        QVERIFY(store.insert(values(), {}, QStringLiteral("7")).isEmpty());
        QCOMPARE(count(c), 4);

        // A failure at the second row leaves none of the three.
        {
            FailAt fail(QStringLiteral("insert into mapa_disponibilidade_agenda"), 2);
            QVERIFY_THROWS_EXCEPTION(DbError, store.insert(values(1, QTime(10, 0)), {3001, 3002, 4001}, QStringLiteral("7")));
        }
        QCOMPARE(count(c), 4);

        // Without areas: one row open to every area.
        const QList<int> one = store.insert(values(1, QTime(11, 0)), {}, QStringLiteral("7"));
        QCOMPARE(one.size(), 1);
        QVERIFY(Sql::scalar(c, QStringLiteral("select COD_AREA_ABRN from mapa_disponibilidade_agenda where "
                                              "Id_Mapa_disponibilidade_agenda = :k"), {{"k", one.first()}}).isNull());
    }

    void alterationNeverGoesBelowTaken_data() { addEngineRows(); }
    void alterationNeverGoesBelowTaken()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        SlotStore store(c);
        const QTime eight(8, 0);
        addSlot(c, 1, 1, QDateTime(Day, eight), 5, 0, 1, 2, 0);
        using O = SlotStore::Outcome;

        QCOMPARE(store.alter(1, values(1, eight, 1), eight, false, QStringLiteral("7")), O::GeneralBelowTaken);
        QCOMPARE(store.alter(1, values(1, eight, 3, 1), eight, false, QStringLiteral("7")), O::Done);
        QCOMPARE(store.read(1)->vagaGeral, 3);
        QCOMPARE(store.read(1)->usadaGeral, 2); // the service's counter untouched
        // A booked slot keeps its hour; its day may move.
        QCOMPARE(store.alter(1, values(1, QTime(9, 0), 3), eight, true, QStringLiteral("7")), O::HourTaken);
        SlotValues moved = values(1, eight, 3);
        moved.dataHora = QDateTime(Day.addDays(1), eight);
        QCOMPARE(store.alter(1, moved, eight, true, QStringLiteral("7")), O::Done);
        QCOMPARE(store.read(1)->dataHora, QDateTime(Day.addDays(1), eight));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Modificado_por from mapa_disponibilidade_agenda")).toInt(), 7);

        // Sibling rows of a multi-area slot: a count change alone is no duplicate.
        const QList<int> keys = store.insert(values(15), {3001, 3002}, QStringLiteral("7"));
        QCOMPARE(store.alter(keys.first(), values(15, eight, 9), eight, false, QStringLiteral("7")), O::Done);
        // Moving one onto another slot's unit, hour and species is.
        QCOMPARE(store.alter(keys.first(), moved, eight, true, QStringLiteral("7")), O::Duplicate);

        QCOMPARE(store.alter(999, values(), eight, false, QStringLiteral("7")), O::Gone);
    }

    void deleteOnlyWhileNothingTaken_data() { addEngineRows(); }
    void deleteOnlyWhileNothingTaken()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        SlotStore store(c);
        addSlot(c, 1, 1, QDateTime(Day, QTime(8, 0)), 5, 0, 1, 0, 1);
        addSlot(c, 2, 1, QDateTime(Day, QTime(9, 0)), 5, 0);
        QCOMPARE(store.remove(1), SlotStore::Outcome::Taken);
        QCOMPARE(store.remove(2), SlotStore::Outcome::Done);
        QCOMPARE(store.remove(2), SlotStore::Outcome::Gone);
        QCOMPARE(count(c), 1);
    }

    void dayIsHalfOpenWithNames_data() { addEngineRows(); }
    void dayIsHalfOpenWithNames()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        addSlot(c, 1, 15, QDateTime(Day, QTime(0, 0)), 2, 0);
        addSlot(c, 2, 1, QDateTime(Day, QTime(23, 59)), 0, 1, 1, 0, 0, 3001);
        addSlot(c, 3, 1, QDateTime(Day.addDays(1), QTime(0, 0)), 2, 0);
        addSlot(c, 4, 1, QDateTime(Day.addDays(-1), QTime(23, 59)), 2, 0);
        const QList<Slot> rows = SlotStore(c).day(Day);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).id, 1);
        QCOMPARE(rows.at(0).unidadeNome, QStringLiteral("UNIDADE LESTE"));
        QCOMPARE(rows.at(0).procedimentoNome, QStringLiteral("CASTRAÇÃO"));
        QCOMPARE(rows.at(0).especieNome, QStringLiteral("CANINA"));
        QVERIFY(rows.at(0).area.isNull());
        QCOMPARE(rows.at(1).area.toInt(), 3001);
        QCOMPARE(SlotStore::slotDateTime(Day, 24, 0), QDateTime(Day, QTime(0, 0)));
    }

    void cloningSkipsExistingAndRollsBack_data() { addEngineRows(); }
    void cloningSkipsExistingAndRollsBack()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        SlotStore store(c);
        addSlot(c, 1, 1, QDateTime(Day, QTime(8, 30)), 4, 0, 2, 2, 0);
        const Slot model = *store.read(1);
        const QList<QDate> days{QDate(2016, 4, 4), QDate(2016, 4, 5)};

        // A failure part-way leaves nothing; so does a cancel.
        {
            FailAt fail(QStringLiteral("insert into mapa_disponibilidade_agenda"), 3);
            QVERIFY_THROWS_EXCEPTION(DbError, store.clone(model, days, {1, 15, 120}, QStringLiteral("7")));
        }
        QCOMPARE(count(c), 1);
        SlotStore::CloneResult r = store.clone(model, days, {1, 15, 120}, QStringLiteral("7"), [](int done) { return done < 4; });
        QVERIFY(r.cancelled);
        QCOMPARE(count(c), 1);

        r = store.clone(model, days, {1, 15, 120}, QStringLiteral("7"));
        QCOMPARE(r.inserted, 6);
        QCOMPARE(r.skipped, 0);
        QCOMPARE(count(c, QStringLiteral("Id_unidade_trabalho = 120")), 2);
        // Clones start with nothing taken and no area, at the model's hour.
        QCOMPARE(count(c, QStringLiteral("Id_Mapa_disponibilidade_agenda > 1 and Qt_vaga_usada_geral = 0 and "
                                         "COD_AREA_ABRN is null and Id_Especie = 2 and Qt_vaga_disponivel_geral = 4")), 6);
        QCOMPARE(count(c, QStringLiteral("Data_hora_disponibilidade = :d"), {{"d", QDateTime(QDate(2016, 4, 5), QTime(8, 30))}}), 3);
        // A second generation doubles nothing.
        r = store.clone(model, days, {1, 15, 120}, QStringLiteral("7"));
        QCOMPARE(r.inserted, 0);
        QCOMPARE(r.skipped, 6);
        QCOMPARE(count(c), 7);
    }

    void monthSummary_data() { addEngineRows(); }
    void monthSummary()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        const QDate d(2016, 4, 7);
        addSlot(c, 1, 15, QDateTime(d, QTime(8, 0)), 3, 0, 1, 1, 0, 3001);
        addSlot(c, 2, 15, QDateTime(d, QTime(8, 0)), 2, 0, 1, 1, 0, 3001);
        addSlot(c, 3, 15, QDateTime(d.addDays(1), QTime(14, 0)), 0, 2, 1, 0, 1);
        addSlot(c, 4, 1, QDateTime(d, QTime(9, 0)), 5, 0);
        addSlot(c, 5, 1, QDateTime(QDate(2016, 5, 1), QTime(0, 0)), 9, 0); // next month
        addSlot(c, 6, 1, QDateTime(QDate(2016, 3, 31), QTime(23, 0)), 9, 0); // last month
        SlotStore store(c);
        const QString text = SlotStore::monthSummaryText(store.monthSummary(d));
        const QString sep(95, QLatin1Char('-'));
        const QString expected = QStringList{
            QStringLiteral("==============CENTRO DE ZOONOSES============="),
            QStringLiteral("Dia 07 de Abril de 2016"),
            QStringLiteral("   *  09:00Hs  Vaga para toda regional, vagas geral:5, vagas para fêmea:0, qt usada geral:0, qt usada fêmea:0"),
            sep,
            QStringLiteral("Total de vagas geral:5 total de vagas Fêmea:0  qt usada geral: 0 qt usada fêmea:0"),
            QStringLiteral("  "),
            QStringLiteral("==============UNIDADE LESTE============="),
            QStringLiteral("Dia 07 de Abril de 2016"),
            QStringLiteral("   *  08:00Hs  3001 - JARDIM DAS FLORES, vagas geral:5, vagas para fêmea:0, qt usada geral:2, qt usada fêmea:0"),
            QStringLiteral("Dia 08 de Abril de 2016"),
            QStringLiteral("   *  14:00Hs  Vaga para toda regional, vagas geral:0, vagas para fêmea:2, qt usada geral:0, qt usada fêmea:1"),
            sep,
            QStringLiteral("Total de vagas geral:5 total de vagas Fêmea:2  qt usada geral: 2 qt usada fêmea:1"),
            QStringLiteral("  ")}.join(QLatin1Char('\n'));
        QCOMPARE(text, expected);

        const QString empty = SlotStore::monthSummaryText(store.monthSummary(QDate(2016, 6, 1)));
        QCOMPARE(empty, QStringList({sep, QStringLiteral("Total de vagas geral:0 total de vagas Fêmea:0  qt usada geral: 0 qt usada fêmea:0"),
                                     QStringLiteral("  ")}).join(QLatin1Char('\n')));
    }
};

QTEST_MAIN(TestSlotStore)
#include "tst_slotstore.moc"
