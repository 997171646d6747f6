// Screen 022: the order of the checks on Incluir, the same-type question,
// types that close the case, keys, deletion, the owner-animal-occurrence
// cascade, the narrowed opening and the printed report.
#include "RegistryFixture.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "registry/RegistroOcorrenciaScreen.h"
#include "reports/engine/ReportPainter.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/PagedPicker.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

int count(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

// Owners 1 ANA (animals 10 REX, 11 MEL), 2 BETO (no animal), 3 CARLA (12 TOM);
// types 1 CONSULTA, 2 OBITO (closes, as the type screen marks it), 3 FUGA
// (closes, older marking), 4 VACINA.
void seed(TestDatabase &t)
{
    RegistryFixture::fill(t.dm());
    Connection &c = t.main();
    const QStringList s = {
        QStringLiteral("insert into proprietario (Id_Proprietario, Nome) values (1, 'ANA'), (2, 'BETO'), (3, 'CARLA')"),
        QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (10, 1, 'REX'), (11, 1, 'MEL'), (12, 3, 'TOM')"),
        QStringLiteral("insert into tipo_ocorrencia (Id_Tipo_Ocorrencia, Nome, Descricao, Ind_Status, Ind_Finaliza_Caso) values "
                       "(1, 'CONSULTA', 'Consulta de rotina', 'ATIVO', 'NAO'), (2, 'OBITO', 'Morte do animal', 'ATIVO', 'SIM'), "
                       "(3, 'FUGA', 'Animal fugiu', 'ATIVO', 'S'), (4, 'VACINA', 'Vacinado', 'INATIVO', 'NAO')"),
    };
    for (const QString &q : s)
        Sql::exec(c, q);
}

void choose(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
}

void typeDate(RegistroOcorrenciaScreen &s, const QString &digits)
{
    s.dateBox()->clear();
    s.dateBox()->setFocus();
    s.dateBox()->setCursorPosition(0);
    QTest::keyClicks(s.dateBox(), digits);
}

int gridRows(RegistroOcorrenciaScreen &s)
{
    return s.grid()->model()->rowCount();
}

} // namespace

class TestOccurrences : public QObject {
    Q_OBJECT
private slots:
    void incluirChecksInOrder_data() { addEngineRows(); }
    void incluirChecksInOrder()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        RegistroOcorrenciaScreen s(nullptr, &c);
        s.show();
        // Before any choice: the first owner by name, its first animal, and
        // no type: a hurried "Incluir" records nothing.
        QCOMPARE(s.currentOwnerId().toInt(), 1);
        QCOMPARE(s.currentAnimalId().toInt(), 10);
        QVERIFY(!s.currentTypeId().isValid());
        typeDate(s, QStringLiteral("150324"));
        s.incluir();
        QCOMPARE(msg.last(), QStringLiteral("Falta selecionar a ocorrência."));
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 0);
        choose(s.typeBox(), QStringLiteral("CONSULTA"));
        QCOMPARE(s.currentTypeId().toInt(), 1);
        QVERIFY(s.typeToolTip().startsWith(QLatin1Char('\n')));

        s.dateBox()->clear();
        s.incluir();
        QCOMPARE(msg.last(), QStringLiteral("Falta digitar a data."));
        // An impossible date is refused by the field's name before any
        // question, and the field keeps it for mending.
        typeDate(s, QStringLiteral("310224"));
        s.incluir();
        QVERIFY2(msg.last().startsWith(QStringLiteral("Data inválida no campo \"Data ocorrência\".")), qPrintable(msg.last()));
        QCOMPARE(s.dateBox()->text(), QStringLiteral("310224"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 0);

        // An owner without animals: no animal, and no other animal's rows left to delete.
        typeDate(s, QStringLiteral("150324"));
        QVERIFY(s.ownerPicker()->selectId(2));
        QVERIFY(!s.currentAnimalId().isValid());
        QCOMPARE(gridRows(s), 0);
        s.incluir();
        QCOMPARE(msg.last(), QStringLiteral("Falta selecionar o animal"));

        // The first occurrence of an empty table gets key 1 and stays in the grid; the form keeps its values.
        QVERIFY(s.ownerPicker()->selectId(1));
        msg.clear();
        s.incluir();
        QCOMPARE(msg.texts(), QStringList{QStringLiteral("operação realizada com sucesso!")});
        QCOMPARE(count(c, QStringLiteral("select Id_Ocorrencia from ocorrencia")), 1);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Dt_Ocorrencia from ocorrencia")).toDateTime().date(), QDate(2024, 3, 15));
        QCOMPARE(count(c, QStringLiteral("select Inserido_Por from ocorrencia")), 7);
        QCOMPARE(gridRows(s), 1);
        QCOMPARE(s.grid()->model()->index(0, 1).data().toString(), QStringLiteral("CONSULTA"));
        QCOMPARE(s.currentTypeId().toInt(), 1);
        QCOMPARE(s.dateBox()->text(), QStringLiteral("15/03/2024")); // the century read is shown
        if (t->engine() == QLatin1String("sqlite"))
            shot(&s, "022-ocorrencia");

        // The same type again, on any date: asked; No writes nothing, Yes writes.
        typeDate(s, QStringLiteral("010125"));
        msg.answers = {false};
        s.incluir();
        QCOMPARE(msg.last(), QStringLiteral("Uma ocorrência identica a esta já foi inserida\rDeseja gravar assim mesmo?"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 1);
        msg.answers = {true};
        s.incluir();
        QCOMPARE(count(c, QStringLiteral("select max(Id_Ocorrencia) from ocorrencia")), 2);
    }

    void closingTypesRefuseLaterOccurrences_data() { addEngineRows(); }
    void closingTypesRefuseLaterOccurrences()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        RegistroOcorrenciaScreen s(nullptr, &c);
        s.show();
        choose(s.typeBox(), QStringLiteral("OBITO"));
        QCOMPARE(s.typeToolTip(), QStringLiteral("Esta ocorrência finaliza o caso.\nOBITO\n : Morte do animal"));
        choose(s.typeBox(), QStringLiteral("FUGA"));
        QVERIFY(s.typeToolTip().startsWith(QStringLiteral("Esta ocorrência finaliza o caso.")));

        choose(s.typeBox(), QStringLiteral("OBITO"));
        typeDate(s, QStringLiteral("100624"));
        s.incluir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 1);
        const QString refused = QStringLiteral("A ocorreência 'OBITO' impede que outras ocorrências possam ser inserida!");
        // The same day and later days are refused; an earlier one is still recorded.
        choose(s.typeBox(), QStringLiteral("CONSULTA"));
        for (const char *d : {"100624", "110624", "010130"}) {
            typeDate(s, QString::fromLatin1(d));
            s.incluir();
            QCOMPARE(msg.last(), refused);
        }
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 1);
        typeDate(s, QStringLiteral("090624"));
        s.incluir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 2);
        // Another animal of the same owner is not concerned.
        choose(s.animalBox(), QStringLiteral("MEL"));
        typeDate(s, QStringLiteral("010130"));
        s.incluir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia where Id_Animal = 11")), 1);
    }

    void excluirAndCascade_data() { addEngineRows(); }
    void excluirAndCascade()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into ocorrencia (Id_Ocorrencia, Id_Animal, Id_Tipo_Ocorrencia, Dt_Ocorrencia) values "
                                    "(5, 10, 1, :d), (6, 12, 4, :d), (7, 12, 99, :d)"),
                  {{QStringLiteral("d"), QDate(2024, 1, 2)}});
        RecordingMessages msg;
        RegistroOcorrenciaScreen s(nullptr, &c);
        s.show();
        QCOMPARE(gridRows(s), 1);
        QVERIFY(s.ownerPicker()->selectId(3));
        QCOMPARE(s.currentAnimalId().toInt(), 12);
        QCOMPARE(gridRows(s), 2);
        // An inactive type still shows its name; an unknown one an empty cell.
        QCOMPARE(s.grid()->model()->index(0, 1).data().toString(), QStringLiteral("VACINA"));
        QCOMPARE(s.grid()->model()->index(1, 1).data().toString(), QString());

        s.grid()->setCurrentIndex(s.grid()->model()->index(0, 0));
        msg.answers = {false};
        s.excluir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 3);
        s.excluir();
        QCOMPARE(msg.last(), QStringLiteral("operação realizada com sucesso!"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia where Id_Ocorrencia = 6")), 0);
        QCOMPARE(gridRows(s), 1);

        QVERIFY(s.ownerPicker()->selectId(2)); // no animal: nothing to delete
        s.excluir();
        QCOMPARE(msg.last(), QStringLiteral("Registro não encontrado para exclusão."));
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia")), 2);
    }

    void narrowedOpeningAndReport_data() { addEngineRows(); }
    void narrowedOpeningAndReport()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into ocorrencia (Id_Ocorrencia, Id_Animal, Id_Tipo_Ocorrencia, Dt_Ocorrencia) values "
                                    "(1, 11, 2, :late), (2, 11, 1, :early)"),
                  {{QStringLiteral("late"), QDate(2024, 5, 20)}, {QStringLiteral("early"), QDate(2023, 12, 1)}});
        RecordingMessages msg;
        RecordingPreview preview;
        RegistroOcorrenciaScreen s(nullptr, &c);
        s.narrowTo(1, 11);
        s.show();
        QCOMPARE(s.ownerPicker()->rowCount(), 1);
        QCOMPARE(s.currentAnimalId().toInt(), 11);
        QCOMPARE(gridRows(s), 2);
        s.atualizar(); // stays narrowed, back on the first animal
        QCOMPARE(s.ownerPicker()->rowCount(), 1);
        QCOMPARE(s.currentAnimalId().toInt(), 10);

        s.imprimir();
        QCOMPARE(msg.last(), QStringLiteral("Não há intercorrência para este animal."));
        QVERIFY(preview.isEmpty());
        choose(s.animalBox(), QStringLiteral("MEL"));
        s.imprimir();
        QCOMPARE(preview.shown.size(), 1);
        const ComposedReport &r = preview.last();
        QCOMPARE(r.paper, QPageSize::A4);
        const QStringList all = r.allTexts();
        QVERIFY(all.contains(QStringLiteral("OCORRÊNCIA ATRIBUÍDA À MEL")));
        QVERIFY(all.contains(QStringLiteral("PROPRIETÁRIO: 1 - ANA  ANIMAL: 11 - MEL")));
        // Rows by date: the earlier consultation before the death.
        const int first = all.indexOf(QStringLiteral("01/12/2023"));
        const int second = all.indexOf(QStringLiteral("20/05/2024"));
        QVERIFY(first >= 0 && second > first);
        QCOMPARE(all.at(first + 1), QStringLiteral("CONSULTA"));
        QCOMPARE(all.at(second + 1), QStringLiteral("OBITO"));
        if (t->engine() == QLatin1String("sqlite") && qEnvironmentVariableIsSet("ZAPO_SCREENSHOT_DIR"))
            ReportPainter::pageImage(r, 0, 80).save(qEnvironmentVariable("ZAPO_SCREENSHOT_DIR") + QStringLiteral("/022-relatorio.png"));

        QVERIFY(s.ownerPicker()->selectId(1));
        s.ownerPicker()->setFilter(QStringLiteral("p.Id_Proprietario = 2"));
        s.ownerPicker()->reload();
        s.imprimir();
        QCOMPARE(msg.last(), QStringLiteral("Registro não localizado."));
    }
};

QTEST_MAIN(TestOccurrences)
#include "tst_occurrences.moc"
