// Alterations of an attendance while another workstation works on the same
// attendance and animal: what the clerk did not change is never written back.
#include "SchedulingFixture.h"
#include "mail/MailTransport.h"
#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "scheduling/AttendanceStore.h"
#include "scheduling/ClinicalTabs.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "ui/MarcacaoAtendimento.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QTemporaryDir>
#include <QTest>

using namespace SchedulingFixture;

namespace {

const QString kChangedElsewhere = QStringLiteral(
    "O registro foi alterado em outra estação de trabalho depois de aberto. Os dados foram recarregados; refaça a alteração.");

} // namespace

class TestAttendanceSaves : public QObject {
    Q_OBJECT
private slots:
    void anotherDesksChangesSurvive_data() { addEngineRows(); }
    void anotherDesksChangesSurvive()
    {
        ZAPO_TEST_DB(db);
        Connection &c = db->main();
        fill(c);
        NoMail noMail;
        RecordingMessages msgs;
        const int p = owner(c, QStringLiteral("MARIA"));
        const int a = animal(c, p, QStringLiteral("MEL"));
        const int k = attendance(c, p, a, 1, QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
        auto other = db->openAnother();
        Connection &vet = other->main();
        marcacaoAtendimento().clear();
        AgendaNovoAtendimentoScreen s;
        s.openList(k);
        QCOMPARE(s.currentKey().toInt(), k);
        auto *status = child<IdNameCombo>(&s, "dblStatus");
        auto stored = [&](const QString &sql) { return Sql::text(Sql::scalar(c, sql, {{QStringLiteral("k"), k}, {QStringLiteral("a"), a}})); };

        // A vet marks the animal sterilized; the clerk, who read "NAO" with
        // the animal, changes only the status.
        Sql::exec(vet, QStringLiteral("update animal set Esterilizado = 'SIM' where Id_Animal = :a"), {{QStringLiteral("a"), a}});
        s.alterar();
        QVERIFY(status->selectId(2));
        s.gravar();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(stored(QStringLiteral("select Esterilizado from animal where Id_Animal = :a")), QStringLiteral("SIM"));
        QCOMPARE(stored(QStringLiteral("select Id_Atendimento_Status from atendimento where Id_Atendimento = :k")), QStringLiteral("2"));
        QCOMPARE(child<QComboBox>(&s, "dblEsterilizado")->currentText(), QStringLiteral("SIM"));

        // The other desk changes the status too: the clerk's change of it is
        // refused and the stored one shown.
        Sql::exec(vet, QStringLiteral("update atendimento set Id_Atendimento_Status = 3 where Id_Atendimento = :k"), {{QStringLiteral("k"), k}});
        s.alterar();
        QVERIFY(status->selectId(4));
        s.gravar();
        QCOMPARE(msgs.shown.last().kind, QStringLiteral("warning"));
        QCOMPARE(msgs.last(), kChangedElsewhere);
        QCOMPARE(s.state().mode, RecordMode::Browse);
        QCOMPARE(status->currentId().toInt(), 3);
        QCOMPARE(stored(QStringLiteral("select Id_Atendimento_Status from atendimento where Id_Atendimento = :k")), QStringLiteral("3"));

        // A flag the clerk does change is written.
        s.alterar();
        child<QComboBox>(&s, "dblEsterilizado")->setCurrentText(QStringLiteral("NAO"));
        s.gravar();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(stored(QStringLiteral("select Esterilizado from animal where Id_Animal = :a")), QStringLiteral("NAO"));
    }

    void storedAnimalAndUnitStay_data() { addEngineRows(); }
    void storedAnimalAndUnitStay()
    {
        ZAPO_TEST_DB(db);
        Connection &c = db->main();
        fill(c);
        NoMail noMail;
        RecordingMessages msgs;
        const int p = owner(c, QStringLiteral("MARIA"));
        const int other = owner(c, QStringLiteral("JOSE"));
        const int a = animal(c, p, QStringLiteral("MEL"));
        animal(c, p, QStringLiteral("BOB"));
        // Booked at a unit closed since, for an animal given to another owner since.
        const int k = attendance(c, p, a, 3, QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
        Sql::exec(c, QStringLiteral("update animal set Id_Proprietario = :o where Id_Animal = :a"),
                  {{QStringLiteral("o"), other}, {QStringLiteral("a"), a}});
        marcacaoAtendimento().clear();
        AgendaNovoAtendimentoScreen s;
        s.openList(k);
        auto *unit = child<IdNameCombo>(&s, "dblUnidade_Agendada");
        auto *animalBox = child<IdNameCombo>(&s, "dblAnimal");
        QCOMPARE(unit->currentId().toInt(), 3);
        QCOMPARE(unit->currentText(), QStringLiteral("3 - POSTO FECHADO"));
        QCOMPARE(animalBox->currentId().toInt(), a);
        s.alterar();
        QVERIFY(child<IdNameCombo>(&s, "dblStatus")->selectId(7));
        s.gravar();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        const auto stored = AttendanceStore(c).load(k);
        QCOMPARE(stored->Id_Atendimento_Status.toInt(), 7);
        QCOMPARE(stored->Id_Unidade_Agendada.toInt(), 3);
        QCOMPARE(stored->Id_Animal.toInt(), a);
        // A new attendance is offered only current ones.
        s.novo();
        QVERIFY(!unit->selectId(3));
        s.cancelar();
    }

    void clinicalDetailFollowsTheAttendanceShown_data() { addEngineRows(); }
    void clinicalDetailFollowsTheAttendanceShown()
    {
        ZAPO_TEST_DB(db);
        Connection &c = db->main();
        fill(c);
        NoMail noMail;
        RecordingMessages msgs;
        const int p = owner(c, QStringLiteral("MARIA"));
        const int a = animal(c, p, QStringLiteral("MEL"));
        attendance(c, p, a, 1, QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
        attendance(c, p, a, 1, QDateTime(QDate(2026, 5, 5), QTime(9, 0)));
        marcacaoAtendimento().clear();
        AgendaNovoAtendimentoScreen s;
        s.openList(0);
        QCOMPARE(s.state().rowCount, 2);
        s.action(QStringLiteral("actFirst"))->trigger();
        const int shown = s.currentKey().toInt();
        QVERIFY(shown > 0);
        ClinicalTabs *clinical = s.clinical();

        // While a prescription is typed the list does not move.
        clinical->rxInsert();
        QVERIFY(clinical->prescriptionEditing());
        for (const char *name : {"actNext", "actLast", "actAppend", "actEdit", "actDelete", "actRefresh"})
            QVERIFY2(!s.action(QLatin1String(name))->isEnabled(), name);
        s.action(QStringLiteral("actNext"))->trigger();
        QCOMPARE(s.currentKey().toInt(), shown);
        clinical->rxCancel();
        QVERIFY(s.action(QStringLiteral("actNext"))->isEnabled());

        // The texts by weight are read when the field is entered, weights with a comma.
        Sql::exec(c, QStringLiteral("insert into receituario_texto_peso (Id_Receituario_texto_Peso, Peso, Texto, Ind_Status) "
                                    "values (2, 12.5, 'B', 'ATIVO')"));
        IdNameCombo *peso = clinical->weightLookup();
        QCOMPARE(peso->findText(QStringLiteral("12,5")), -1);
        QFocusEvent in(QEvent::FocusIn);
        QApplication::sendEvent(peso, &in);
        QVERIFY(peso->findText(QStringLiteral("12,5")) >= 0);
        QVERIFY(peso->findText(QStringLiteral("5")) >= 0);

        // A new attendance's prescription is printed once the attendance is saved.
        s.novo();
        clinical->rxPrint();
        QCOMPARE(msgs.last(), QStringLiteral("Grave o atendimento antes de imprimir o receituário."));
        // Given up, the new attendance leaves the list and attendance shown before.
        s.cancelar();
        QCOMPARE(s.state().rowCount, 2);
        QCOMPARE(s.currentKey().toInt(), shown);
        QVERIFY(s.action(QStringLiteral("actNext"))->isEnabled());
    }
};

QTEST_MAIN(TestAttendanceSaves)
#include "tst_attendancesaves.moc"
