// Private attendances (screen 008): procedures done outside the service,
// recorded per animal.
#include "db/DataModule.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "scheduling/AtendimentoParticularScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "ui/PagedPicker.h"
#include "ui/register/PagedQueryModel.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

int count(const QString &sql)
{
    return Sql::scalar(mainConnection(), sql).toInt();
}

void exec(const QString &sql)
{
    Sql::exec(mainConnection(), sql);
}

void seed()
{
    exec(QStringLiteral("insert into proprietario (Id_Proprietario, Nome) values (1, 'ANA')"));
    exec(QStringLiteral("insert into proprietario (Id_Proprietario, Nome) values (2, 'BRUNO')"));
    exec(QStringLiteral("insert into proprietario (Id_Proprietario, Nome) values (3, 'CARLA')"));
    exec(QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (10, 1, 'REX')"));
    exec(QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (11, 1, 'MIA')"));
    exec(QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (20, 2, 'TOBIAS')"));
    exec(QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (5, 'CASTRACAO', 'ATIVO')"));
    exec(QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (6, 'VACINA', 'ATIVO')"));
    exec(QStringLiteral("insert into atendimento_particular (Id_Atendimento_Particular, Id_Animal, Id_Tipo_Procedimento) "
                        "values (1, 20, 6)"));
}

const QString kFailed = QStringLiteral("Erro ao gravar!\rOperação cancelada.");

} // namespace

class TestPrivateAttendance : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        usuarioLogado() = TUsuarioLogado{};
        usuarioLogado().IdUsuario = QStringLiteral("3");
    }

    void recordAndDelete_data() { addEngineRows(); }
    void recordAndDelete()
    {
        ZAPO_TEST_DB(t);
        seed();
        RecordingMessages msgs;
        AtendimentoParticularScreen s(screenHost());
        s.show();
        QVERIFY2(msgs.shown.isEmpty(), qPrintable(msgs.last()));
        // The first owner by name, and its animals by name.
        QCOMPARE(s.ownerPicker()->currentId().toInt(), 1);
        QCOMPARE(s.animalCombo()->currentText(), QStringLiteral("MIA"));
        QCOMPARE(s.model()->rowCount(), 0);

        // An empty or impossible date, a missing procedure: nothing written.
        QVERIFY(s.procedureCombo()->selectId(5));
        QVERIFY(!s.include());
        QCOMPARE(msgs.last(), kFailed);
        QTest::keyClicks(s.dateEdit(), QStringLiteral("310226"));
        QVERIFY(!s.include());
        // The day that does not exist is named by its field.
        QVERIFY2(msgs.last().startsWith(QStringLiteral("Data inválida no campo \"Data  realização\".")), qPrintable(msgs.last()));
        s.dateEdit()->clear();
        QTest::keyClicks(s.dateEdit(), QStringLiteral("090326"));
        s.procedureCombo()->setCurrentIndex(-1);
        QVERIFY(!s.include());
        QCOMPARE(count(QStringLiteral("select count(*) from atendimento_particular")), 1);

        QVERIFY(s.procedureCombo()->selectId(5));
        QVERIFY2(s.include(), qPrintable(msgs.last()));
        QCOMPARE(msgs.last(), QStringLiteral("operação realizada com sucesso!"));
        QCOMPARE(s.dateEdit()->text(), QStringLiteral("09/03/2026")); // the century read is shown
        shot(&s, "atendimento-particular");
        QCOMPARE(s.model()->rowCount(), 1);
        QCOMPARE(s.model()->data(s.model()->index(0, 2)).toString(), QStringLiteral("CASTRACAO"));
        QCOMPARE(s.model()->data(s.model()->index(0, 1)).toString(), QStringLiteral("09/03/2026"));
        QCOMPARE(count(QStringLiteral("select count(*) from atendimento_particular where Id_Animal = 11 and Id_Tipo_Procedimento = 5 "
                                      "and Inserido_Por = 3 and Id_Atendimento_Particular = 2")),
                 1);

        // Another owner: its animals only, and their rows only.
        QVERIFY(s.ownerPicker()->selectId(2));
        QCOMPARE(s.animalCombo()->count(), 1);
        QCOMPARE(s.model()->rowCount(), 1);
        QCOMPARE(s.model()->key(0).toInt(), 1);
        // An owner without animals: an empty grid, nothing to delete, nothing to add.
        QVERIFY(s.ownerPicker()->selectId(3));
        QCOMPARE(s.animalCombo()->count(), 0);
        QCOMPARE(s.model()->rowCount(), 0);
        msgs.clear();
        QVERIFY(!s.exclude());
        QCOMPARE(msgs.last(), QStringLiteral("Registro não encontrado para exclusão."));
        QVERIFY(!s.include());
        QCOMPARE(msgs.last(), kFailed);

        QVERIFY(s.ownerPicker()->selectId(1));
        QVERIFY(s.animalCombo()->selectId(11));
        QCOMPARE(s.model()->rowCount(), 1);
        msgs.clear();
        msgs.answers = {false};
        QVERIFY(!s.exclude());
        QCOMPARE(msgs.last(), QStringLiteral("O registro será excluido definitivamente.\rDeseja continuar?"));
        QVERIFY(s.exclude());
        QCOMPARE(count(QStringLiteral("select count(*) from atendimento_particular")), 1);
        QCOMPARE(s.model()->rowCount(), 0);
    }
};

QTEST_MAIN(TestPrivateAttendance)
#include "tst_privateattendance.moc"
