// The availability map's statements: multi-area saves in one transaction,
// alterations and deletes that never overtake the web booking service, the
// half-open day filter, cloning and the month summary.
#include "SlotFixture.h"
#include "db/DbError.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
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

        const QString u = QStringLiteral("7");
        QCOMPARE(store.alter(1, values(1, eight, 1), *store.read(1), u), O::GeneralBelowTaken);
        QCOMPARE(store.alter(1, values(1, eight, 3, 1), *store.read(1), u), O::Done);
        QCOMPARE(store.read(1)->vagaGeral, 3);
        QCOMPARE(store.read(1)->usadaGeral, 2); // the service's counter untouched
        // A booked slot keeps its hour; its day may move.
        QCOMPARE(store.alter(1, values(1, QTime(9, 0), 3), *store.read(1), u), O::HourTaken);
        SlotValues moved = values(1, eight, 3);
        moved.dataHora = QDateTime(Day.addDays(1), eight);
        QCOMPARE(store.alter(1, moved, *store.read(1), u), O::Done);
        QCOMPARE(store.read(1)->dataHora, QDateTime(Day.addDays(1), eight));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Modificado_por from mapa_disponibilidade_agenda")).toInt(), 7);

        // Sibling rows of a multi-area slot: a count change alone is no duplicate.
        const QList<int> keys = store.insert(values(15), {3001, 3002}, u);
        QCOMPARE(store.alter(keys.first(), values(15, eight, 9), *store.read(keys.first()), u), O::Done);
        // Moving one onto another slot's unit, hour and species is.
        QCOMPARE(store.alter(keys.first(), moved, *store.read(keys.first()), u), O::Duplicate);

        Slot ghost;
        ghost.id = 999;
        QCOMPARE(store.alter(999, values(), ghost, u), O::Gone);
    }

    // While a place is taken the unit, species and procedure stay, and the
    // row must still be what the clerk loaded: another workstation's move
    // followed by a web booking makes a stale copy's save refused, not a
    // move back.
    void bookedSlotKeepsWhatItsBookingsDependOn_data() { addEngineRows(); }
    void bookedSlotKeepsWhatItsBookingsDependOn()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        SlotStore store(c);
        using O = SlotStore::Outcome;
        const QString u = QStringLiteral("7");
        const QTime eight(8, 0);
        addSlot(c, 1, 1, QDateTime(Day, eight), 5, 0, 1, 2, 0);
        const Slot loaded = *store.read(1);
        QCOMPARE(store.alter(1, values(15, eight, 5), loaded, u), O::KeysTaken);
        QCOMPARE(store.alter(1, values(1, eight, 5, 0, 2), loaded, u), O::KeysTaken);
        SlotValues proc = values(1, eight, 5);
        proc.procedimento = 13;
        QCOMPARE(store.alter(1, proc, loaded, u), O::KeysTaken);
        QCOMPARE(store.read(1)->unidade, 1);
        QCOMPARE(store.read(1)->especie, 1);
        QCOMPARE(store.read(1)->procedimento, 12);
        // Capacity within what is taken still changes.
        QCOMPARE(store.alter(1, values(1, eight, 2), loaded, u), O::Done);

        // A free slot moves freely.
        addSlot(c, 2, 1, QDateTime(Day, QTime(10, 0)), 5, 0);
        QCOMPARE(store.alter(2, values(15, QTime(11, 0), 5, 0, 2), *store.read(2), u), O::Done);
        QCOMPARE(store.read(2)->unidade, 15);

        // Stale copy: the clerk read slot 3 at 08:00; another workstation
        // moved it to 09:00 and the web took 2 places there.
        addSlot(c, 3, 15, QDateTime(Day, QTime(8, 0)), 4, 0);
        const Slot stale = *store.read(3);
        auto other = t->openAnother();
        SlotStore otherStore(other->main());
        QCOMPARE(otherStore.alter(3, values(15, QTime(9, 0), 4), *otherStore.read(3), u), O::Done);
        Sql::exec(other->main(), QStringLiteral("update mapa_disponibilidade_agenda set Qt_vaga_usada_geral = 2 "
                                                "where Id_Mapa_disponibilidade_agenda = 3"));
        QCOMPARE(store.alter(3, values(15, QTime(8, 0), 6), stale, u), O::Stale);
        QCOMPARE(store.read(3)->dataHora, QDateTime(Day, QTime(9, 0)));
        QCOMPARE(store.read(3)->vagaGeral, 4);
        // From a fresh copy the capacity change goes through.
        QCOMPARE(store.alter(3, values(15, QTime(9, 0), 6), *store.read(3), u), O::Done);
        QCOMPARE(store.read(3)->vagaGeral, 6);
        QCOMPARE(store.read(3)->usadaGeral, 2);
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

        // A failed statement leaves nothing; so does a cancel.
        {
            FailAt fail(QStringLiteral("insert into mapa_disponibilidade_agenda"), 1);
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

    // A month of weekdays for a dozen units goes to the server as a handful
    // of statements, not a test and an insert per slot; keys follow on in
    // day and unit order; existing slots are skipped by the statement.
    void cloningAMonthIsSetBased_data() { addEngineRows(); }
    void cloningAMonthIsSetBased()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        SlotStore store(c);
        QList<int> units{1, 15, 120};
        for (int u = 200; u < 209; ++u) {
            Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (:i, :n, 'ATIVO')"),
                      {{"i", u}, {"n", QStringLiteral("UNIDADE %1").arg(u)}});
            units << u;
        }
        addSlot(c, 10, 1, QDateTime(Day, QTime(8, 30)), 4, 0);
        addSlot(c, 11, 15, QDateTime(QDate(2016, 5, 10), QTime(8, 30)), 4, 0); // already there
        const Slot model = *store.read(10);
        QList<QDate> days;
        for (QDate d(2016, 5, 1); d.month() == 5; d = d.addDays(1))
            if (d.dayOfWeek() <= 5)
                days << d;
        QCOMPARE(days.size(), 22);
        int statements = 0;
        Sql::setObserver([&statements](const QString &, const QVariantMap &) { ++statements; });
        QElapsedTimer clock;
        clock.start();
        const SlotStore::CloneResult r = store.clone(model, days, units, QStringLiteral("7"));
        const qint64 ms = clock.elapsed();
        Sql::setObserver({});
        qInfo("%s: %d slots cloned in %lld ms, %d statements", qPrintable(t->engine()), r.inserted, ms, statements);
        QCOMPARE(r.inserted, 22 * 12 - 1);
        QCOMPARE(r.skipped, 1);
        QVERIFY2(statements <= 4, qPrintable(QString::number(statements)));
        QCOMPARE(count(c), 2 + 22 * 12 - 1);
        // The first new key is the greatest plus one, on the first day's first unit.
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Id_unidade_trabalho from mapa_disponibilidade_agenda where "
                                               "Id_Mapa_disponibilidade_agenda = 12")).toInt(), 1);
        QCOMPARE(SlotStore::toDateTime(Sql::scalar(c, QStringLiteral("select Data_hora_disponibilidade from "
                                                                     "mapa_disponibilidade_agenda where "
                                                                     "Id_Mapa_disponibilidade_agenda = 12"))),
                 QDateTime(QDate(2016, 5, 2), QTime(8, 30)));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select max(Id_Mapa_disponibilidade_agenda) from mapa_disponibilidade_agenda")).toInt(),
                 11 + 22 * 12 - 1);
        // The day and hour compare as the map's own slots do: cloning again adds nothing.
        QCOMPARE(store.clone(model, days, units, QStringLiteral("7")).inserted, 0);
        QVERIFY(store.duplicate(SlotValues{15, 12, QDateTime(QDate(2016, 5, 3), QTime(8, 30)), 1, 0, 1}));
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
