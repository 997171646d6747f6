// Screen 024 and the coordinate walk: where a house lies from its street's
// known houses, a dated address saved with its position and link, the
// history's order, and deletions that spare addresses still in use.
#include "RegistryFixture.h"
#include "db/DataModule.h"
#include "db/ServerClock.h"
#include "db/Sql.h"
#include "registry/AddressGroup.h"
#include "registry/AnimalSearch.h"
#include "registry/Endereco_AnimalScreen.h"
#include "registry/HouseCoordinates.h"
#include "registry/StreetDirectory.h"
#include "support/DateTyping.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/OdbcRules.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using HouseCoordinates::House;

namespace {

int count(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

constexpr int kStreet = 990001;

// Owner 1 ANA living at the returned address; her animals 10 REX (linked to
// it) and 11 MEL (no address); street 990001 with odd houses 95 and 111,
// even 100, and one house without a number.
int seed(TestDatabase &t)
{
    RegistryFixture::fill(t.dm());
    Connection &c = t.main();
    Sql::exec(c, QStringLiteral("insert into endereco (NUM_LOGR, NOM_LOGR, NUM_IMOV_LOGR) values (1001, 'RUA VELHA', 10)"));
    const int home = count(c, QStringLiteral("select max(Id_Endereco) from endereco"));
    const QVariantMap h{{QStringLiteral("h"), home}};
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Id_Endereco) values (1, 'ANA', :h)"), h);
    Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (10, 1, 'REX'), (11, 1, 'MEL')"));
    Sql::exec(c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (10, :h)"), h);
    const QString houses = t.dm().dialect().addressTable(QStringLiteral("logradouroimovel"));
    for (const auto &[num, x] : {std::pair{QStringLiteral("00095"), 95.0}, std::pair{QStringLiteral("00111"), 111.0},
                                 std::pair{QStringLiteral("00100"), 100.0}, std::pair{QStringLiteral("S/N"), 1.0}})
        Sql::exec(c, QStringLiteral("insert into %1 (Num_Logr, Num_Imov, Val_Cood_X, Val_Cood_Y) values (:s, :n, :x, :y)").arg(houses),
                  {{QStringLiteral("s"), kStreet}, {QStringLiteral("n"), num}, {QStringLiteral("x"), x}, {QStringLiteral("y"), -x}});
    return home;
}

void typeAddress(Endereco_AnimalScreen &s, const QString &street, const QString &house, const QString &date)
{
    qobject_cast<QLineEdit *>(s.addressGroup()->editor(QStringLiteral("NUM_LOGR")))->setText(street);
    qobject_cast<QLineEdit *>(s.addressGroup()->editor(QStringLiteral("NOM_LOGR")))->setText(QStringLiteral("RUA NOVA"));
    qobject_cast<QLineEdit *>(s.addressGroup()->editor(QStringLiteral("NUM_IMOV_LOGR")))->setText(house);
    s.dateBox()->setText(date);
}

void selectHistoryKey(Endereco_AnimalScreen &s, int key)
{
    for (int r = 0; r < s.historyModel()->rowCount(); ++r)
        if (s.historyModel()->item(r, 1)->data(Qt::UserRole).toInt() == key)
            s.historyGrid()->setCurrentIndex(s.historyModel()->index(r, 0));
}

} // namespace

class TestAnimalAddress : public QObject {
    Q_OBJECT
private slots:
    // Statements as a T-SQL server through ODBC takes them (support/OdbcRules.h).
    void initTestCase() { OdbcRules::installForSqlite(); }
    void coordinateWalk()
    {
        const QList<House> odd{{QStringLiteral("00095"), 95, 1}, {QStringLiteral("00111"), 111, 1}};
        // The house itself.
        QCOMPARE(HouseCoordinates::walk(odd + QList<House>{{QStringLiteral("00101"), 7, 8}}, 101), QPointF(7, 8));
        // The first house above on the same side wins over a nearer one below.
        QCOMPARE(HouseCoordinates::walk(odd, 101), QPointF(111, 1));
        // Only a house below: the last one below.
        QCOMPARE(HouseCoordinates::walk({{QStringLiteral("00095"), 95, 1}, {QStringLiteral("00099"), 99, 1}}, 101), QPointF(99, 1));
        // Nothing within 100 numbers: no position.
        QCOMPARE(HouseCoordinates::walk({{QStringLiteral("00300"), 300, 1}, {QStringLiteral("00301"), 301, 1}}, 101), QPointF(0, 0));
        // No house on its side: the other side's.
        QCOMPARE(HouseCoordinates::walk({{QStringLiteral("00100"), 100, 1}, {QStringLiteral("00104"), 104, 1}}, 101), QPointF(104, 1));
        // A house number that is no number is left out; the street still counts.
        QCOMPARE(HouseCoordinates::walk(odd + QList<House>{{QStringLiteral("S/N"), 5, 5}, {QStringLiteral("  "), 6, 6}}, 101),
                 QPointF(111, 1));
        QCOMPARE(HouseCoordinates::houseNumber(QStringLiteral("00101A")).value_or(-1), 101);
        QVERIFY(!HouseCoordinates::houseNumber(QStringLiteral("S/N")));
    }

    // The address history's lists: areas of the whole district key, of any
    // status (the owner's address takes the first digit, active areas only);
    // neighbourhoods of classes O and P, one per type and name.
    void historyListsOfAreasAndNeighbourhoods_data() { addEngineRows(); }
    void historyListsOfAreasAndNeighbourhoods()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        const QString areas = t->dm().dialect().addressTable(QStringLiteral("AreaAbrang"));
        Sql::exec(c, QStringLiteral("insert into %1 (COD_AREA_ABRN, DES_AREA_ABRN, COD_DITR_SANI, SIT_REGT) values "
                                    "(9501, 'AREA DOZE', 12, 'I'), (9502, 'AREA UM', 1, 'A'), (9503, 'AREA UM FECHADA', 1, 'I')").arg(areas));
        auto codes = [](const QList<StreetDirectory::CoverageArea> &l) {
            QList<int> out;
            for (const auto &a : l)
                if (a.code >= 9500)
                    out << a.code;
            return out;
        };
        StreetDirectory dir(c);
        QCOMPARE(codes(dir.coverageAreasOfDistrictKey(12)), QList<int>{9501});
        QCOMPARE(codes(dir.coverageAreasOfDistrictKey(1)), (QList<int>{9502, 9503}));
        QCOMPARE(codes(dir.coverageAreas(12)), QList<int>{9502});

        const QString hoods = t->dm().dialect().addressTable(QStringLiteral("Bairro"));
        Sql::exec(c, QStringLiteral("delete from %1").arg(hoods));
        Sql::exec(c, QStringLiteral("insert into %1 (NUM_BAIR, NOM_BAIR, TIP_BAIR, TIP_CLSS_BAIR, SIT_REGT) values "
                                    "(7, 'CENTRO', 'BAIRRO', 'P', 'A'), (3, 'CENTRO', 'BAIRRO', 'p', 'A'), (5, 'AREIAS', 'VILA', 'O', 'A'), "
                                    "(6, 'RURAL', 'ZONA', 'R', 'A')").arg(hoods));
        QStringList got;
        for (const auto &n : dir.historyNeighbourhoods())
            got << QStringLiteral("%1 %2 %3").arg(n.num).arg(n.type, n.name);
        QCOMPARE(got, (QStringList{QStringLiteral("5 VILA AREIAS"), QStringLiteral("3 BAIRRO CENTRO")}));
    }

    void datedAddressBecomesCurrent_data() { addEngineRows(); }
    void datedAddressBecomesCurrent()
    {
        ZAPO_TEST_DB(t);
        const int home = seed(*t);
        Connection &c = t->main();
        QCOMPARE(StreetDirectory(c).houseCoordinates(kStreet, 101), QPointF(111, -111));
        RecordingMessages msg;
        Endereco_AnimalScreen s(nullptr, &c);
        s.loadOwner(1, 10);
        QCOMPARE(s.historyModel()->rowCount(), 1);
        QCOMPARE(s.statusText(0), QStringLiteral("1"));

        s.novo();
        QCOMPARE(s.state(), Endereco_AnimalScreen::State::Inserting);
        // The street code is typed first.
        QCOMPARE(s.focusWidget() ? s.focusWidget()->objectName() : QString(), QStringLiteral("dbeNUM_LOGR"));
        typeAddress(s, QStringLiteral("99X"), QStringLiteral("101"), QString());
        s.gravar();
        QCOMPARE(msg.last(), QStringLiteral("'99X' não é um valor inteiro válido."));
        typeAddress(s, QString::number(kStreet), QStringLiteral("101"), QStringLiteral("01022024"));
        s.gravar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(s.state(), Endereco_AnimalScreen::State::Browsing);
        const int key = count(c, QStringLiteral("select max(Id_Endereco) from endereco_animal where Id_Animal = 10"));
        QVERIFY(key > home);
        QSqlQuery q = Sql::exec(c, QStringLiteral("select End_X, End_Y, data_inicial_end, Inserido_Por, NUM_IMOV_LOGR from endereco "
                                                  "where Id_Endereco = :k"),
                                {{QStringLiteral("k"), key}});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 111.0);
        QCOMPARE(q.value(1).toDouble(), -111.0);
        QCOMPARE(q.value(2).toDateTime().date(), QDate(2024, 2, 1));
        QCOMPARE(q.value(3).toInt(), 7);
        QCOMPARE(q.value(4).toInt(), 101);
        q = QSqlQuery();
        // Newest first, and shown in the group.
        QCOMPARE(s.historyModel()->rowCount(), 2);
        QCOMPARE(s.historyModel()->item(0, 1)->text(), QString::number(key));
        QCOMPARE(s.historyModel()->item(0, 0)->text(), QStringLiteral("01/02/2024"));
        QCOMPARE(s.dateBox()->text(), QStringLiteral("01/02/2024"));
        if (t->engine() == QLatin1String("sqlite")) {
            s.show();
            shot(&s, "024-animal");
            s.tabs()->setCurrentIndex(1);
            shot(&s, "024-historico");
            s.tabs()->setCurrentIndex(0);
        }

        // Altering keeps the row and its link, recomputing the position.
        s.alterar();
        typeAddress(s, QString::number(kStreet), QStringLiteral("96"), QStringLiteral("03022024"));
        s.gravar();
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10")), 2);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select End_X from endereco where Id_Endereco = :k"), {{QStringLiteral("k"), key}}).toDouble(),
                 100.0);

        s.atualizar();
        QCOMPARE(s.statusText(0), QStringLiteral("REX já teve 2 endereço."));
        // The animal without addresses: nothing to delete.
        s.loadOwner(1, 11);
        QCOMPARE(s.historyModel()->rowCount(), 0);
        s.excluir();
        QCOMPARE(msg.last(), QStringLiteral("Não há registro de endereço."));
        s.novo();
        s.cancelar();
        s.animalBox()->setCurrentIndex(s.animalBox()->findData(10));
        QCOMPARE(s.historyModel()->rowCount(), 2);
    }

    // "Data:" typed by a click and keys lands as typed; emptied it stays
    // blank (the address then holds from the server's day, as ever); half
    // typed it is refused by its name and nothing is written.
    void dateTypedAsAClerk_data() { addEngineRows(); }
    void dateTypedAsAClerk()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        Endereco_AnimalScreen s(nullptr, &c);
        s.loadOwner(1, 10);
        QVERIFY(activate(&s));
        DateLineEdit *date = s.dateBox();
        QCOMPARE(date->objectName(), QStringLiteral("dbeDataInicialEnd"));
        const QString newest = QStringLiteral("select data_inicial_end from endereco where Id_Endereco = "
                                              "(select max(Id_Endereco) from endereco_animal where Id_Animal = 10)");

        s.novo();
        typeAddress(s, QString::number(kStreet), QStringLiteral("95"), QString());
        QVERIFY(typeDate(date, QStringLiteral("4/1/27"), QStringLiteral("end")));
        QCOMPARE(date->text(), QStringLiteral("04/01/2027"));
        if (t->engine() == QLatin1String("sqlite"))
            shot(&s, "024-data-digitada");
        s.gravar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(Sql::scalar(c, newest).toDateTime().date(), QDate(2027, 1, 4));

        s.novo();
        typeAddress(s, QString::number(kStreet), QStringLiteral("111"), QString());
        msg.clear();
        QVERIFY(!typeDate(date, QStringLiteral("04/01/2")));
        QCOMPARE(msg.shown.size(), 1);
        QVERIFY2(msg.last().startsWith(QStringLiteral("Data inválida no campo \"Data\".")), qPrintable(msg.last()));
        QVERIFY(date->hasFocus());
        s.gravar(); // from its key, the focus still in the field
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(s.state(), Endereco_AnimalScreen::State::Inserting);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10")), 2);
        // Emptied, it is left without a word and stays blank.
        QTest::keyClick(date, Qt::Key_Delete);
        QTest::keyClick(date, Qt::Key_Tab);
        QVERIFY(!date->hasFocus());
        QVERIFY(date->text().isEmpty());
        QCOMPARE(msg.shown.size(), 1);
        s.gravar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10")), 3);
        QCOMPARE(Sql::scalar(c, newest).toDateTime().date(), serverNow(c).date());
    }

    void alterationsOfTwoWorkstations_data() { addEngineRows(); }
    void alterationsOfTwoWorkstations()
    {
        ZAPO_TEST_DB(t);
        const int home = seed(*t);
        auto other = t->openAnother();
        RecordingMessages msg;
        Endereco_AnimalScreen a(nullptr, &t->main());
        Endereco_AnimalScreen b(nullptr, &other->main());
        a.loadOwner(1, 10);
        b.loadOwner(1, 10);
        auto field = [](Endereco_AnimalScreen &s, const char *column) {
            return qobject_cast<QLineEdit *>(s.addressGroup()->editor(QLatin1String(column)));
        };
        auto stored = [&](const char *column) {
            return Sql::text(Sql::scalar(t->main(), QStringLiteral("select %1 from endereco where Id_Endereco = :h").arg(QLatin1String(column)),
                                         {{QStringLiteral("h"), home}}));
        };
        // B changes the complement; A, which loaded the address before, the house.
        b.alterar();
        field(b, "DES_CMPL_ENDR")->setText(QStringLiteral("FUNDOS"));
        b.gravar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        a.alterar();
        field(a, "NUM_IMOV_LOGR")->setText(QStringLiteral("95"));
        a.gravar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(stored("DES_CMPL_ENDR"), QStringLiteral("FUNDOS"));
        QCOMPARE(stored("NUM_IMOV_LOGR"), QStringLiteral("95"));

        // B, still showing house 10, changes it too: refused, and B shows 95.
        b.alterar();
        field(b, "NUM_IMOV_LOGR")->setText(QStringLiteral("111"));
        b.gravar();
        QCOMPARE(msg.shown.last().kind, QStringLiteral("warning"));
        QCOMPARE(msg.last(), QStringLiteral("O registro foi alterado em outra estação de trabalho depois de aberto. Os dados foram "
                                            "recarregados; refaça a alteração."));
        QCOMPARE(b.state(), Endereco_AnimalScreen::State::Browsing);
        QCOMPARE(field(b, "NUM_IMOV_LOGR")->text(), QStringLiteral("95"));
        QCOMPARE(stored("NUM_IMOV_LOGR"), QStringLiteral("95"));
    }

    void commandsActOnTheSelectedAddress_data() { addEngineRows(); }
    void commandsActOnTheSelectedAddress()
    {
        ZAPO_TEST_DB(t);
        const int home = seed(*t);
        Connection &c = t->main();
        // The oldest address lies in a district closed since.
        Sql::exec(c, QStringLiteral("update endereco set Id_Distrito = 9, data_inicial_end = :d where Id_Endereco = :h"),
                  {{QStringLiteral("d"), QDate(2019, 4, 1)}, {QStringLiteral("h"), home}});
        RecordingMessages msg;
        Endereco_AnimalScreen s(nullptr, &c);
        s.loadOwner(1, 10);
        auto *district = qobject_cast<QComboBox *>(s.addressGroup()->editor(QStringLiteral("Id_Distrito")));
        QVERIFY(district);
        QCOMPARE(district->currentText(), QStringLiteral("DISTRITO 9"));
        // An unchanged alteration keeps it.
        s.alterar();
        s.gravar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(count(c, QStringLiteral("select Id_Distrito from endereco where Id_Endereco = :h"), {{QStringLiteral("h"), home}}), 9);

        // Two more: one dated by the clerk, one by the server's day.
        s.novo();
        QCOMPARE(district->findText(QStringLiteral("DISTRITO 9")), -1); // not offered for a new address
        typeAddress(s, QString::number(kStreet), QStringLiteral("95"), QStringLiteral("01022024"));
        s.gravar();
        s.novo();
        typeAddress(s, QString::number(kStreet), QStringLiteral("111"), QString());
        s.gravar();
        const int newest = count(c, QStringLiteral("select max(Id_Endereco) from endereco_animal where Id_Animal = 10"));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select data_inicial_end from endereco where Id_Endereco = :k"), {{QStringLiteral("k"), newest}})
                     .toDateTime()
                     .date(),
                 serverNow(c).date());
        // Newest first in time; the new address stays selected.
        QCOMPARE(s.historyModel()->rowCount(), 3);
        QCOMPARE(s.historyModel()->item(0, 1)->data(Qt::UserRole).toInt(), newest);
        QCOMPARE(s.historyModel()->item(2, 1)->data(Qt::UserRole).toInt(), home);

        // The oldest selected stays selected when the tab returns to the toolbar.
        s.tabs()->setCurrentIndex(1);
        selectHistoryKey(s, home);
        s.tabs()->setCurrentIndex(0);
        QCOMPARE(s.historyGrid()->currentIndex().row(), 2);
        QCOMPARE(qobject_cast<QLineEdit *>(s.addressGroup()->editor(QStringLiteral("NOM_LOGR")))->text(), QStringLiteral("RUA VELHA"));
        msg.answers = {true};
        s.excluir();
        QCOMPARE(msg.shown.at(msg.shown.size() - 2).text,
                 QStringLiteral("Você esta preste a deletar o endereço do REX\rRUA VELHA, 10, desde 01/04/2019\rDeseje continuar?"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10 and Id_Endereco = :h"), {{QStringLiteral("h"), home}}), 0);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10")), 2);
    }

    void deletionSparesAddressesInUse_data() { addEngineRows(); }
    void deletionSparesAddressesInUse()
    {
        ZAPO_TEST_DB(t);
        const int home = seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        Endereco_AnimalScreen s(nullptr, &c);
        s.loadOwner(1, 10);
        s.excluir();
        QCOMPARE(msg.last(), QStringLiteral("O animal só tem um endereço e este não pode ser excluído!"));

        for (const char *house : {"95", "111"}) {
            s.novo();
            typeAddress(s, QString::number(kStreet), QString::fromLatin1(house), QString());
            s.gravar();
        }
        QCOMPARE(s.historyModel()->rowCount(), 3);
        const int shared = s.historyModel()->item(0, 1)->data(Qt::UserRole).toInt();
        const int own = s.historyModel()->item(1, 1)->data(Qt::UserRole).toInt();
        Sql::exec(c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (11, :e)"), {{QStringLiteral("e"), shared}});

        // The owner's address: the link goes, the address stays.
        selectHistoryKey(s, home);
        msg.answers = {false};
        s.excluir();
        QCOMPARE(msg.last(), QStringLiteral("Você esta preste a deletar o endereço do REX\rRUA VELHA, 10\rDeseje continuar?"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10")), 3);
        s.excluir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10 and Id_Endereco = :h"), {{QStringLiteral("h"), home}}), 0);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco where Id_Endereco = :h"), {{QStringLiteral("h"), home}}), 1);
        // Linked to another animal too: spared.
        selectHistoryKey(s, shared);
        s.excluir();
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco where Id_Endereco = :e"), {{QStringLiteral("e"), shared}}), 1);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Endereco = :e"), {{QStringLiteral("e"), shared}}), 1);
        QCOMPARE(s.historyModel()->rowCount(), 1);
        QCOMPARE(s.historyModel()->item(0, 1)->data(Qt::UserRole).toInt(), own);
        s.excluir();
        QCOMPARE(msg.last(), QStringLiteral("O animal só tem um endereço e este não pode ser excluído!"));
    }

    void animalSearchFindsAnywhere_data() { addEngineRows(); }
    void animalSearchFindsAnywhere()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome, Num_Microchip) values "
                                    "(12, 1, 'BIDU JOSÉ', '985 112 003'), (13, null, 'JOSEFINA', null)"));
        RecordingMessages msg;
        AnimalSearchWindow w;
        w.fieldBox()->setCurrentIndex(0);
        w.textBox()->setText(QStringLiteral("jose"));
        w.pesquisar();
        QCOMPARE(w.model()->totalRows(), 2);
        QCOMPARE(w.statusText(), QStringLiteral("Registro(os) encontrados: 2"));
        w.fieldBox()->setCurrentIndex(4);
        w.textBox()->setText(QStringLiteral("2 00"));
        w.pesquisar();
        QCOMPARE(w.model()->totalRows(), 1);
        QCOMPARE(w.model()->field(0, QStringLiteral("Id_Animal")).toInt(), 12);
        w.fieldBox()->setCurrentIndex(1);
        w.textBox()->setText(QStringLiteral("doze"));
        w.pesquisar();
        QCOMPARE(msg.last(), QStringLiteral("Erro ao realizar a pesquisa, reveja os texto se esta digitado corretamente."));
        QCOMPARE(w.model()->rowCount(), 0);
        w.sortByColumn(1);
        QCOMPARE(msg.last(), QStringLiteral("Não há registro a ser ordenado!"));

        // OK loads the owner and the animal into 024 and starts a new address.
        Endereco_AnimalScreen s(nullptr, &c);
        w.fieldBox()->setCurrentIndex(2);
        w.textBox()->setText(QStringLiteral("an"));
        w.pesquisar();
        w.chosen = [&s](int owner, int animal) {
            s.loadOwner(owner, animal);
            s.novo();
        };
        w.grid()->setCurrentIndex(w.model()->index(1, 0));
        w.ok();
        QCOMPARE(s.currentAnimalId().toInt(), w.model()->field(1, QStringLiteral("Id_Animal")).toInt());
        QCOMPARE(s.state(), Endereco_AnimalScreen::State::Inserting);

        // By keyboard: Enter on a row picks it, and so does Enter on OK once
        // Tab has reached it; Enter in the text box searches.
        QList<int> picked;
        w.chosen = [&picked](int, int animal) { picked << animal; };
        w.textBox()->setText(QStringLiteral("an"));
        QTest::keyClick(w.textBox(), Qt::Key_Return);
        QVERIFY(w.model()->rowCount() >= 2);
        w.grid()->setCurrentIndex(w.model()->index(0, 0));
        QTest::keyClick(w.grid(), Qt::Key_Return);
        w.grid()->setCurrentIndex(w.model()->index(1, 0));
        QTest::keyClick(w.findChild<QPushButton *>(QStringLiteral("bmpOK")), Qt::Key_Return);
        QCOMPARE(picked, (QList<int>{w.model()->field(0, QStringLiteral("Id_Animal")).toInt(),
                                     w.model()->field(1, QStringLiteral("Id_Animal")).toInt()}));
    }
};

QTEST_MAIN(TestAnimalAddress)
#include "tst_animaladdress.moc"
