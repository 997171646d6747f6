// Two workstations running the map's and the drafts' stores against a
// stand-in web booking service on connections of its own. The database
// itself records every change made under a booking (a trigger of the test):
// a booked slot's unit, species, procedure or time of day never changes,
// not even from a copy read before another workstation moved it; publishing
// and cloning never double a slot, nor two clerks saving the same draft; and
// the taken-place counters are exactly what the web was told.
#include "SlotFixture.h"
#include "scheduling/DraftStore.h"
#include "support/TestDatabase.h"
#include "support/WebBooker.h"

#include <QRandomGenerator>
#include <QTest>

using namespace SlotFixture;

namespace {

const QDate Day(2031, 3, 3);
const QString User = QStringLiteral("7");
constexpr int Seeded = 40;

// The stores as the screens call them.
SlotStore::Outcome save(SlotStore &s, int key, const SlotValues &v, const Slot &loaded)
{
    return s.alter(key, v, loaded, User);
}
bool saveDraft(DraftStore &d, const SlotValues &v) { return d.insert(v, User) == DraftStore::Saved::Done; }
// Two clerks saving the same draft at once: each screen's save.
void saveTwice(DraftStore &a, DraftStore &b, const SlotValues &v)
{
    saveDraft(a, v);
    saveDraft(b, v);
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

void installAudit(Connection &c)
{
    Sql::exec(c, QStringLiteral("create table race_audit (k integer, kind varchar(10))"));
    if (c.dialect().engine() == Engine::SQLite) {
        const QString taken = QStringLiteral("coalesce(old.Qt_vaga_usada_geral, 0) + coalesce(old.Qt_vaga_usada_f_grande_porte, 0) > 0");
        Sql::exec(c, QStringLiteral("create trigger race_keys after update on mapa_disponibilidade_agenda when %1 and "
                                    "(old.Id_unidade_trabalho <> new.Id_unidade_trabalho or old.Id_Especie <> new.Id_Especie or "
                                    "old.Id_tipo_procedimento <> new.Id_tipo_procedimento) begin insert into race_audit "
                                    "values (old.Id_Mapa_disponibilidade_agenda, 'chave'); end")
                         .arg(taken));
        Sql::exec(c, QStringLiteral("create trigger race_hour after update on mapa_disponibilidade_agenda when %1 and "
                                    "substr(old.Data_hora_disponibilidade, 12, 5) <> substr(new.Data_hora_disponibilidade, 12, 5) "
                                    "begin insert into race_audit values (old.Id_Mapa_disponibilidade_agenda, 'hora'); end")
                         .arg(taken));
        return;
    }
    Sql::exec(c, QStringLiteral(R"(create function race_check() returns trigger as $$
begin
    if coalesce(old.qt_vaga_usada_geral, 0) + coalesce(old.qt_vaga_usada_f_grande_porte, 0) > 0 then
        if old.id_unidade_trabalho <> new.id_unidade_trabalho or old.id_especie <> new.id_especie
           or old.id_tipo_procedimento <> new.id_tipo_procedimento then
            insert into race_audit values (old.id_mapa_disponibilidade_agenda, 'chave');
        end if;
        if old.data_hora_disponibilidade::time <> new.data_hora_disponibilidade::time then
            insert into race_audit values (old.id_mapa_disponibilidade_agenda, 'hora');
        end if;
    end if;
    return new;
end $$ language plpgsql)"));
    Sql::exec(c, QStringLiteral("create trigger race_t after update on mapa_disponibilidade_agenda for each row "
                                "execute function race_check()"));
}

int scalar(Connection &c, const QString &sql) { return Sql::scalar(c, sql).toInt(); }

int doubledSlots(Connection &c)
{
    return scalar(c, QStringLiteral("select coalesce(sum(n - 1), 0) from (select count(*) as n from mapa_disponibilidade_agenda "
                                    "group by Id_unidade_trabalho, Id_Especie, Data_hora_disponibilidade, Id_tipo_procedimento "
                                    "having count(*) > 1) d"));
}

int doubledDrafts(Connection &c)
{
    return scalar(c, QStringLiteral("select coalesce(sum(n - 1), 0) from (select count(*) as n from mapa_rascunho "
                                    "where (Status_Registro = 'ATIVO' or Id_mapa_disponibilidade_agenda is not null) "
                                    "and Inserido_por is not null " // saved by a clerk, not planted by the test
                                    "group by Id_unidade_trabalho, Id_Especie, Data_hora_disponibilidade, Id_tipo_procedimento "
                                    "having count(*) > 1) d"));
}

} // namespace

class TestSlotRace : public QObject {
    Q_OBJECT
private slots:
    void workstationsAndWebTogether_data() { addEngineRows(); }
    void workstationsAndWebTogether()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        if (t->engine() == QLatin1String("sqlite")) {
            Sql::exec(c, QStringLiteral("pragma journal_mode = wal"));
            Sql::exec(c, QStringLiteral("pragma synchronous = normal"));
        }
        installAudit(c);
        for (int i = 1; i <= Seeded; ++i)
            addSlot(c, i, i % 2 ? 1 : 15, QDateTime(Day, QTime(6 + i / 4, 10 * (i % 4))), 4, 0);
        auto second = t->openAnother();
        auto webDm = t->openAnother();
        Connection &web = webDm->main();
        SlotStore a(c), b(second->main());
        DraftStore draftsA(c), draftsB(second->main());

        // ZAPO_RACE_WEB_OPS lengthens a run by hand (the workstations' share
        // grows with it); the suite runs 3,000 web operations.
        const int webOps = qMax(3000, qEnvironmentVariableIntValue("ZAPO_RACE_WEB_OPS"));
        WebBooker bookers(*t, 2, webOps / 2, Seeded);
        bookers.start();
        QRandomGenerator rng(7);
        QHash<int, int> ownTakes; // places this test took itself, as the web does
        int staleSaves = 0, keyChanges = 0, publishes = 0, clones = 0, doubleSaves = 0;
        for (int op = 0; op < webOps / 10; ++op) {
            const int key = 1 + int(rng.bounded(quint32(Seeded)));
            const int kind = int(rng.bounded(5));
            const std::optional<Slot> copy = a.read(key);
            if (!copy)
                continue;
            if (kind == 0) {
                // A reads; B moves the hour (while nothing is taken); the web
                // takes a place; A saves a capacity change from its copy.
                ++staleSaves;
                if (const std::optional<Slot> fresh = b.read(key)) {
                    SlotValues moved = valuesOf(*fresh);
                    moved.dataHora = QDateTime(fresh->dataHora.date(), QTime(20 + int(rng.bounded(3)), 5 * int(rng.bounded(12))));
                    save(b, key, moved, *fresh);
                }
                QSqlQuery q = Sql::exec(web, QStringLiteral("update mapa_disponibilidade_agenda set Qt_vaga_usada_geral = "
                                                            "coalesce(Qt_vaga_usada_geral, 0) + 1 where "
                                                            "Id_Mapa_disponibilidade_agenda = :k and "
                                                            "coalesce(Qt_vaga_usada_geral, 0) < Qt_vaga_disponivel_geral"),
                                        {{QStringLiteral("k"), key}});
                if (q.numRowsAffected() == 1)
                    ++ownTakes[key];
                q = QSqlQuery();
                SlotValues v = valuesOf(*copy);
                v.vagaGeral = copy->vagaGeral + 1;
                save(a, key, v, *copy);
            } else if (kind == 1) {
                // A clerk tries to hand a slot to the other unit or species.
                ++keyChanges;
                SlotValues v = valuesOf(*copy);
                if (rng.bounded(2))
                    v.unidade = copy->unidade == 1 ? 15 : 1;
                else
                    v.especie = copy->especie == 1 ? 2 : 1;
                save(a, key, v, *copy);
            } else if (kind == 2) {
                // B planned a draft over this slot earlier and a new one;
                // A publishes.
                ++publishes;
                Sql::exec(second->main(),
                          QStringLiteral("insert into mapa_rascunho (Id_Mapa_rascunho, Id_unidade_trabalho, Id_tipo_procedimento, "
                                         "Data_hora_disponibilidade, Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, "
                                         "Id_Especie, Status_Registro) select coalesce(max(Id_Mapa_rascunho), 0) + 1, :u, :p, :d, "
                                         "2, 0, :e, 'ATIVO' from mapa_rascunho"),
                          {{QStringLiteral("u"), copy->unidade}, {QStringLiteral("p"), copy->procedimento},
                           {QStringLiteral("d"), copy->dataHora}, {QStringLiteral("e"), copy->especie}});
                SlotValues fresh = valuesOf(*copy);
                fresh.dataHora = QDateTime(Day.addDays(40 + op), QTime(9, 0));
                saveDraft(draftsB, fresh);
                draftsA.publish();
            } else if (kind == 3) {
                ++clones;
                a.clone(*copy, {Day.addDays(1 + int(rng.bounded(15))), Day.addDays(1 + int(rng.bounded(15)))}, {1, 15}, User);
            } else {
                // Two clerks save the same new draft.
                ++doubleSaves;
                SlotValues v = valuesOf(*copy);
                v.dataHora = QDateTime(Day.addDays(400 + op), QTime(10, 0));
                saveTwice(draftsA, draftsB, v);
            }
        }
        bookers.wait();
        QVERIFY2(bookers.errors().isEmpty(), qPrintable(bookers.errors().join(QLatin1Char('\n'))));

        const int keysMoved = scalar(c, QStringLiteral("select count(*) from race_audit where kind = 'chave'"));
        const int hoursMoved = scalar(c, QStringLiteral("select count(*) from race_audit where kind = 'hora'"));
        const int overCapacity = scalar(c, QStringLiteral("select count(*) from mapa_disponibilidade_agenda where "
                                                          "coalesce(Qt_vaga_usada_geral, 0) > Qt_vaga_disponivel_geral or "
                                                          "coalesce(Qt_vaga_usada_f_grande_porte, 0) > Qt_vaga_disp_f_grande_porte"));
        const QHash<int, int> general = bookers.netGeneral(), female = bookers.netFemale();
        int countersChanged = 0;
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Mapa_disponibilidade_agenda, coalesce(Qt_vaga_usada_geral, 0), "
                                                  "coalesce(Qt_vaga_usada_f_grande_porte, 0) from mapa_disponibilidade_agenda"));
        while (q.next()) {
            const int k = q.value(0).toInt();
            countersChanged += q.value(1).toInt() != general.value(k) + ownTakes.value(k);
            countersChanged += q.value(2).toInt() != female.value(k);
        }
        q = QSqlQuery();
        const int slotsDoubled = doubledSlots(c), draftsDoubled = doubledDrafts(c);
        qInfo("%s: %d stale saves, %d key changes, %d publications, %d clones, %d double draft saves, web %d accepted | "
              "booked slots whose unit/species/procedure changed %d, whose hour changed %d, over capacity %d, "
              "counters differing from the web %d, doubled slots %d, doubled drafts %d",
              qPrintable(t->engine()), staleSaves, keyChanges, publishes, clones, doubleSaves, bookers.accepted(), keysMoved,
              hoursMoved, overCapacity, countersChanged, slotsDoubled, draftsDoubled);
        QCOMPARE(keysMoved, 0);
        QCOMPARE(hoursMoved, 0);
        QCOMPARE(overCapacity, 0);
        QCOMPARE(countersChanged, 0);
        QCOMPARE(slotsDoubled, 0);
        QCOMPARE(draftsDoubled, 0);
        QVERIFY(bookers.accepted() > 300);
    }
};

QTEST_MAIN(TestSlotRace)
#include "tst_slotrace.moc"
