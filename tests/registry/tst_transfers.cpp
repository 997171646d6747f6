// Screen 021 and report 043: moves both ways, the previous owner as the
// database knows it, untouched and failed transfers writing nothing, the
// list moves and the printed history.
#include "RegistryFixture.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "registry/TransferStore.h"
#include "registry/Transferir_AnimalScreen.h"
#include "reports/TransferReport.h"
#include "reports/engine/ReportPainter.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTest>

namespace {

int count(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

int ownerOf(Connection &c, int animal)
{
    return count(c, QStringLiteral("select Id_Proprietario from animal where Id_Animal = :a"), {{QStringLiteral("a"), animal}});
}

// Owners 1 ANA (animals 10 REX, 11 MEL), 2 BETO (12 TOM), 3 CARLA; each
// animal with its registration record (no previous owner, no date).
void seed(TestDatabase &t)
{
    RegistryFixture::fill(t.dm());
    Connection &c = t.main();
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Num_CPF_CNPJ) values "
                                "(1, 'ANA', '111'), (2, 'BETO', '222'), (3, 'CARLA', '333')"));
    Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome, Num_Microchip, Num_Pedigree) values "
                                "(10, 1, 'REX', '900 1', 'P1'), (11, 1, 'MEL', '900 2', null), (12, 2, 'TOM', null, null)"));
    Sql::exec(c, QStringLiteral("insert into Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario, Id_Animal, Id_Proprietario) values "
                                "(1, 10, 1), (2, 11, 1), (3, 12, 2)"));
}

QStringList captions(const QStandardItemModel *m)
{
    QStringList l;
    for (int r = 0; r < m->rowCount(); ++r)
        l << m->item(r, 0)->text();
    return l;
}

} // namespace

class TestTransfers : public QObject {
    Q_OBJECT
private slots:
    void movesBothWaysWithHistory_data() { addEngineRows(); }
    void movesBothWaysWithHistory()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        Transferir_AnimalScreen s;
        QCOMPARE(s.dateBox()->date(), QDate::currentDate());
        s.showOwner(1, 1, QStringLiteral("ANA"), QStringLiteral("RUA A"));
        s.showOwner(2, 2, QStringLiteral("BETO"), QString());
        QCOMPARE(captions(s.left().model), (QStringList{QStringLiteral("10 - REX"), QStringLiteral("11 - MEL")}));
        QCOMPARE(s.left().model->item(0, 1)->text(), QStringLiteral("900 1"));
        QCOMPARE(s.left().model->item(0, 2)->text(), QStringLiteral("P1"));

        s.moveSelectedRight();
        QCOMPARE(msg.last(), QStringLiteral("Erro ao tentar transferir."));
        s.selectAnimal(1, 10);
        s.moveSelectedRight();
        s.selectAnimal(2, 12);
        s.moveSelectedLeft();
        QCOMPARE(s.animals(1), (QList<int>{11, 12}));
        QCOMPARE(s.animals(2), (QList<int>{10}));
        QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario")), 3); // nothing written yet
        if (t->engine() == QLatin1String("sqlite")) {
            s.show();
            shot(&s, "021-transferir");
        }

        s.dateBox()->setDate(QDate(2024, 2, 3));
        msg.clear();
        // Asked first, naming the animals and both owners; a "Não" writes nothing.
        msg.answers = {false};
        s.transferir();
        QCOMPARE(msg.texts(), QStringList{QStringLiteral("Transferir os animais?\rDe ANA para BETO: 10 - REX.\r"
                                                         "De BETO para ANA: 12 - TOM.\rDeseja continuar?")});
        QCOMPARE(ownerOf(c, 10), 1);
        msg.clear();
        s.transferir();
        QCOMPARE(msg.shown.size(), 2);
        QCOMPARE(msg.shown.first().kind, QStringLiteral("confirm"));
        QCOMPARE(msg.shown.last().kind, QStringLiteral("warning"));
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!\r2 animal(is) transferido(s)."));
        // The lists show the database as it is now.
        QCOMPARE(s.animals(1), (QList<int>{11, 12}));
        QCOMPARE(s.animals(2), (QList<int>{10}));
        QCOMPARE(ownerOf(c, 10), 2);
        QCOMPARE(ownerOf(c, 12), 1);
        QCOMPARE(ownerOf(c, 11), 1);
        QSqlQuery h = Sql::exec(c, QStringLiteral("select Id_Histo_Muda_Proprietario, Id_Animal, Id_Anterior_Proprietario, Id_Proprietario, "
                                                  "Dt_Muda_Proprietario, Inserido_Por from Histo_Muda_Proprietario "
                                                  "where Id_Histo_Muda_Proprietario > 3 order by 1"));
        QVERIFY(h.next());
        QCOMPARE(h.value(0).toInt(), 4);
        QCOMPARE(h.value(1).toInt(), 12);
        QCOMPARE(h.value(2).toInt(), 2);
        QCOMPARE(h.value(3).toInt(), 1);
        QCOMPARE(h.value(4).toDateTime().date(), QDate(2024, 2, 3));
        QCOMPARE(h.value(5).toInt(), 7);
        QVERIFY(h.next());
        QCOMPARE(h.value(1).toInt(), 10);
        QCOMPARE(h.value(2).toInt(), 1);
        QCOMPARE(h.value(3).toInt(), 2);
        QVERIFY(!h.next());
        h = QSqlQuery();

        // Pressed again without moves: nothing to ask, nothing written.
        s.transferir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario")), 5);
        QCOMPARE(msg.last(), QStringLiteral("Nenhum animal foi movido de uma lista para a outra."));

        // Choosing an owner again never lists an animal the other list holds.
        s.selectAnimal(1, 11);
        s.moveSelectedRight();
        s.showOwner(1, 3, QStringLiteral("CARLA"), QString());
        s.showOwner(1, 1, QStringLiteral("ANA"), QString());
        QCOMPARE(s.animals(1), QList<int>{12});
        QCOMPARE(s.animals(2), (QList<int>{10, 11}));
        s.showOwner(2, 3, QStringLiteral("CARLA"), QString());
        s.showOwner(2, 2, QStringLiteral("BETO"), QString());
        QCOMPARE(s.animals(2), QList<int>{10});
        s.showOwner(1, 3, QStringLiteral("CARLA"), QString());
        s.showOwner(1, 1, QStringLiteral("ANA"), QString());
        QCOMPARE(s.animals(1), (QList<int>{11, 12}));

        // ">>" and "<<" take the entries from the last one: they arrive reversed.
        s.moveAllRight();
        QCOMPARE(s.animals(2), (QList<int>{10, 12, 11}));
        QVERIFY(s.animals(1).isEmpty());
        s.moveAllLeft();
        QCOMPARE(s.animals(1), (QList<int>{11, 12, 10}));

        // Missing or identical owners are refused before anything is read.
        s.limpar();
        QVERIFY(s.animals(1).isEmpty() && s.left().code->text().isEmpty());
        s.transferir();
        QCOMPARE(msg.last(), QStringLiteral("Falta selecionar o primeiro proprietário!"));
        s.showOwner(1, 3, QStringLiteral("CARLA"), QString());
        s.transferir();
        QCOMPARE(msg.last(), QStringLiteral("Falta selecionar o segundo proprietário!"));
        s.showOwner(2, 3, QStringLiteral("CARLA"), QString());
        s.transferir();
        QCOMPARE(msg.last(), QStringLiteral("O primeiro e o segundo proprietário selecionado são os mesmos."));
    }

    void previousOwnerComesFromTheAnimal_data() { addEngineRows(); }
    void previousOwnerComesFromTheAnimal()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        Transferir_AnimalScreen s;
        s.showOwner(1, 1, QStringLiteral("ANA"), QString());
        s.showOwner(2, 2, QStringLiteral("BETO"), QString());
        // Another station gives MEL to CARLA after the lists were read.
        Sql::exec(c, QStringLiteral("update animal set Id_Proprietario = 3 where Id_Animal = 11"));
        // And REX is deleted there.
        Sql::exec(c, QStringLiteral("delete from animal where Id_Animal = 10"));
        s.moveAllRight();
        s.transferir();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!\r1 animal(is) transferido(s).\r"
                                            "Não transferido(s), excluído(s) em outra estação: 10 - REX."));
        QCOMPARE(ownerOf(c, 11), 2);
        QCOMPARE(count(c, QStringLiteral("select Id_Anterior_Proprietario from Histo_Muda_Proprietario where Id_Animal = 11 "
                                         "and Id_Histo_Muda_Proprietario > 3")),
                 3);
        QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario")), 4); // the missing one skipped
    }

    void failureMidwayLeavesNothing_data() { addEngineRows(); }
    void failureMidwayLeavesNothing()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        TransferStore store(c);
        store.afterMove = [](int animal) {
            if (animal == 12)
                throw DbError(QStringLiteral("falha simulada"));
        };
        QVERIFY_THROWS_EXCEPTION(DbError, store.transfer(1, {12}, 2, {10, 11}, QDate(2024, 1, 1)));
        QCOMPARE(ownerOf(c, 10), 1);
        QCOMPARE(ownerOf(c, 12), 2);
        QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario")), 3);
        store.afterMove = {};
        const TransferStore::Result r = store.transfer(1, {12}, 2, {10, 11}, QDate(2024, 1, 1));
        QCOMPARE(r.moved, 3);
        QCOMPARE(count(c, QStringLiteral("select max(Id_Histo_Muda_Proprietario) from Histo_Muda_Proprietario")), 6);
    }

    void reportGroupsByAnimal_data() { addEngineRows(); }
    void reportGroupsByAnimal()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        TransferStore(c).transfer(2, {10}, 3, {}, QDate(2024, 3, 5));
        TransferStore(c).transfer(1, {10}, 3, {}, QDate(2024, 4, 6));
        RecordingPreview preview;
        QVERIFY(Reports::open(TransferReport::definition(c)));
        const ComposedReport &r = preview.last();
        QCOMPARE(r.paper, QPageSize::Letter);
        QCOMPARE(r.orientation, QPageLayout::Portrait);
        QCOMPARE(r.bandsOf(BandKind::GroupHeader).size(), 3);
        QStringList lines;
        for (const PlacedItem *i : r.named(QStringLiteral("linha")))
            lines << i->text;
        // REX's records together and in the order made, the registration line first.
        QCOMPARE(lines, (QStringList{QStringLiteral(" - Transferido de  para ANA"),
                                     QStringLiteral("05/03/2024 - Transferido de ANA para BETO"),
                                     QStringLiteral("06/04/2024 - Transferido de BETO para ANA"),
                                     QStringLiteral(" - Transferido de  para ANA"), QStringLiteral(" - Transferido de  para BETO")}));
        QVERIFY(r.allTexts().contains(QStringLiteral("REL043")));
        if (t->engine() == QLatin1String("sqlite") && qEnvironmentVariableIsSet("ZAPO_SCREENSHOT_DIR"))
            ReportPainter::pageImage(r, 0, 80).save(qEnvironmentVariable("ZAPO_SCREENSHOT_DIR") + QStringLiteral("/043.png"));
    }
};

QTEST_MAIN(TestTransfers)
#include "tst_transfers.moc"
