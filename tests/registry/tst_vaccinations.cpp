// The "Vacinas" tab: one thing recorded per row, the same-day double entry
// question, keys from two workstations, the history and deleting from it.
#include "db/Keys.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "registry/VaccinationPanel.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include "ui/DateEdit.h"
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {

// The reference rows and one animal. Key 1 of each list is the seeded
// "Não se aplica".
struct Data {
    int animal = 0;
    int raiva = 0;        // a vaccine
    int v8Inativa = 0;    // an inactive vaccine: never offered
    int doente = 2;       // a reason not to vaccinate
    int alergia = 2;      // an adverse event
};

Data seed(Connection &c)
{
    Data d;
    const QVariant owner = Keys::insertReturningKey(
        c, QStringLiteral("insert into proprietario (Nome) values (:n)"), {{QStringLiteral("n"), QStringLiteral("MARIA")}},
        QStringLiteral("Id_Proprietario"));
    d.animal = Keys::insertReturningKey(c, QStringLiteral("insert into animal (Id_Proprietario, Nome) values (:p, :n)"),
                                        {{QStringLiteral("p"), owner}, {QStringLiteral("n"), QStringLiteral("REX")}},
                                        QStringLiteral("Id_Animal"))
                   .toInt();
    const QString vac = QStringLiteral("insert into tipo_vacina (Nome, Ind_registro_ativo) values (:n, :a)");
    d.raiva = Keys::insertReturningKey(c, vac, {{QStringLiteral("n"), QStringLiteral("Antirrábica")}, {QStringLiteral("a"), QStringLiteral("ATIVO")}},
                                       QStringLiteral("Id_tipo_vacina"))
                  .toInt();
    d.v8Inativa = Keys::insertReturningKey(c, vac, {{QStringLiteral("n"), QStringLiteral("V8 antiga")}, {QStringLiteral("a"), QStringLiteral("INATIVO")}},
                                           QStringLiteral("Id_tipo_vacina"))
                      .toInt();
    Sql::exec(c, QStringLiteral("insert into tipo_motivo_nao_vacina (Id_tipo_motivo_nao_vacina, Nome, Ind_registro_ativo) "
                                "values (2, 'Animal doente', 'ATIVO')"));
    Sql::exec(c, QStringLiteral("insert into tipo_vacina_ocorrencia (Id_tipo_vacina_ocorrencia, Nome, Ind_registro_ativo) "
                                "values (2, 'Reação alérgica', 'ATIVO')"));
    TUsuarioLogado &s = usuarioLogado();
    s = TUsuarioLogado();
    s.IdUsuario = QStringLiteral("7");
    return d;
}

void choose(VaccinationPanel &p, int vacina, int motivo, int ocorrencia, const QDate &day = {})
{
    for (auto [name, key] : {std::pair{"cbxVacina", vacina}, std::pair{"cbxMotivo", motivo}, std::pair{"cbxOcorrencia", ocorrencia}}) {
        auto *box = child<QComboBox>(&p, name);
        box->setCurrentIndex(key ? box->findData(key) : -1);
        QVERIFY2(!key || box->currentIndex() >= 0, name);
    }
    if (day.isValid())
        child<QDateEdit>(&p, "dtpData")->setDate(day);
}

int count(Connection &c)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from vacina")).toInt();
}

QStringList historyRow(VaccinationPanel &p, int row)
{
    QAbstractItemModel *m = child<QTableView>(&p, "grdHistorico")->model();
    QStringList cells;
    for (int col = 0; col < m->columnCount(); ++col)
        cells << m->index(row, col).data().toString();
    return cells;
}

const QString kDone = QStringLiteral("Operação realizada com sucesso!");

} // namespace

class TestVaccinations : public QObject {
    Q_OBJECT
private slots:
    void listsAndLayout()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        const Data d = seed(t->main());
        RecordingMessages msgs;
        VaccinationPanel p;
        p.resize(760, 420);
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        auto *vacina = child<QComboBox>(&p, "cbxVacina");
        // Only active entries, keys as item data, nothing chosen yet.
        QCOMPARE(vacina->count(), 2);
        QCOMPARE(vacina->itemText(0), VaccinationPanel::NaoSeAplica);
        QCOMPARE(vacina->itemData(1).toInt(), d.raiva);
        QCOMPARE(vacina->findData(d.v8Inativa), -1);
        QCOMPARE(vacina->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(&p, "cbxMotivo")->count(), 2);
        QCOMPARE(child<QComboBox>(&p, "cbxOcorrencia")->itemText(1), QStringLiteral("Reação alérgica"));
        // Every editor is found by its caption.
        QStringList captions;
        for (QLabel *l : p.findChildren<QLabel *>())
            if (l->buddy())
                captions << l->text() + QLatin1Char('=') + l->buddy()->objectName();
        captions.sort();
        QCOMPARE(captions, QStringList({QStringLiteral("Data:=dtpData"), QStringLiteral("Histórico:=grdHistorico"),
                                        QStringLiteral("Intercorrências vacinais:=cbxOcorrencia"),
                                        QStringLiteral("Motivo de não vacinar:=cbxMotivo"), QStringLiteral("Vacina:=cbxVacina")}));
        QCOMPARE(child<QDateEdit>(&p, "dtpData")->date(), serverNow(t->main()).date());
        QVERIFY(child<QDateEdit>(&p, "dtpData")->calendarPopup());

        // A list changed elsewhere is read again; the choice made stays.
        choose(p, d.raiva, 0, 0);
        Sql::exec(t->main(), QStringLiteral("update tipo_vacina set Ind_registro_ativo = 'ATIVO' where Id_tipo_vacina = :i"),
                  {{QStringLiteral("i"), d.v8Inativa}});
        p.reloadLists();
        QCOMPARE(vacina->count(), 3);
        QCOMPARE(vacina->currentData().toInt(), d.raiva);
        QVERIFY(msgs.shown.isEmpty());
    }

    void oneThingPerRow_data() { addEngineRows(); }
    void oneThingPerRow()
    {
        ZAPO_TEST_DB(t);
        const Data d = seed(t->main());
        RecordingMessages msgs;
        VaccinationPanel p;
        auto *inserir = child<QPushButton>(&p, "btnInserir");

        inserir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o animal."));
        p.setAnimal(d.animal);
        inserir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a vacina."));
        choose(p, 1, 0, 0);
        inserir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o motivo de não vacinar.\rCaso não tenho motivo selecione \"Não se aplica.\"."));
        choose(p, 1, 1, 0);
        inserir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a intercorrência\rCaso não tenho intercorrência selecione \"Não se aplica.\"."));

        // Nothing real, or two real things, is an inconsistent row.
        choose(p, 1, 1, 1);
        inserir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Inconsistência nas opções selecionadas."));
        choose(p, d.raiva, 1, d.alergia);
        inserir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Inconsistência nas opções selecionadas."));
        QVERIFY(msgs.shown.size() == 6 && count(t->main()) == 0);

        // An adverse event alone is written with the other two "Não se aplica".
        const QDate day(2024, 3, 9);
        choose(p, 1, 1, d.alergia, day);
        inserir->click();
        QCOMPARE(msgs.last(), kDone);
        QSqlQuery q = Sql::exec(t->main(), QStringLiteral("select Id_vacina, Id_Animal, Id_tipo_vacina, Id_tipo_vacina_ocorrencia, "
                                                          "Id_tipo_motivo_nao_vacina, Inserido_por, Inserido_em, Data_atividade, "
                                                          "Modificado_por from vacina"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), d.animal);
        QCOMPARE(q.value(2).toInt(), 1);
        QCOMPARE(q.value(3).toInt(), d.alergia);
        QCOMPARE(q.value(4).toInt(), 1);
        QCOMPARE(q.value(5).toInt(), 7);
        QCOMPARE(q.value(6).toDateTime().date(), serverNow(t->main()).date());
        QCOMPARE(q.value(7).toDateTime(), QDateTime(day, QTime(0, 0)));
        QVERIFY(q.value(8).isNull());
        QVERIFY(!q.next());
        q = QSqlQuery();

        // The history names the animal, dates the activity day/month/year
        // and shows the names in capitals, accents included.
        QCOMPARE(historyRow(p, 0), QStringList({QStringLiteral("REX"), QStringLiteral("09/03/2024"), QStringLiteral("NÃO SE APLICA"),
                                                QStringLiteral("REAÇÃO ALÉRGICA"), QStringLiteral("NÃO SE APLICA")}));
        QCOMPARE(child<QTableView>(&p, "grdHistorico")->model()->headerData(4, Qt::Horizontal).toString(),
                 QStringLiteral("Motivo da não vacinação"));
        // No animal, no history.
        p.setAnimal(0);
        QCOMPARE(child<QTableView>(&p, "grdHistorico")->model()->rowCount(), 0);
    }

    void sameDayTwiceAsks_data() { addEngineRows(); }
    void sameDayTwiceAsks()
    {
        ZAPO_TEST_DB(t);
        const Data d = seed(t->main());
        RecordingMessages msgs;
        const QDate day(2025, 12, 31);
        // A row entered elsewhere later that day: the day matches whatever the time.
        Sql::exec(t->main(), QStringLiteral("insert into vacina (Id_vacina, Id_Animal, Id_tipo_vacina, Id_tipo_vacina_ocorrencia, "
                                            "Id_tipo_motivo_nao_vacina, Data_atividade) values (1, :a, :v, 1, 1, :d)"),
                  {{QStringLiteral("a"), d.animal}, {QStringLiteral("v"), d.raiva}, {QStringLiteral("d"), QDateTime(day, QTime(16, 45))}});
        VaccinationPanel p;
        p.setAnimal(d.animal);
        choose(p, d.raiva, 1, 1, day);

        msgs.answers = {false};
        p.inserir();
        QCOMPARE(msgs.texts(), QStringList({QStringLiteral("Um registro idêntico já foi encontrado, deseja gravar um segundo registro?"),
                                            QStringLiteral("Operação cancelada pelo usuário.")}));
        QCOMPARE(count(t->main()), 1);

        msgs.clear();
        msgs.answers = {true};
        p.inserir();
        QCOMPARE(msgs.shown.first().kind, QStringLiteral("confirm"));
        QCOMPARE(msgs.last(), kDone);
        QCOMPARE(count(t->main()), 2);

        // The next day, or another reason the same day, is not the same row.
        msgs.clear();
        choose(p, d.raiva, 1, 1, day.addDays(1));
        p.inserir();
        choose(p, 1, d.doente, 1, day);
        p.inserir();
        QCOMPARE(msgs.texts(), QStringList({kDone, kDone}));
        QCOMPARE(count(t->main()), 4);
        QCOMPARE(child<QTableView>(&p, "grdHistorico")->model()->rowCount(), 4);
    }

    void keysFromTwoWorkstations_data() { addEngineRows(); }
    void keysFromTwoWorkstations()
    {
        ZAPO_TEST_DB(t);
        const Data d = seed(t->main());
        auto other = t->openAnother();
        RecordingMessages msgs;
        VaccinationPanel a(t->main());
        VaccinationPanel b(other->main());
        for (VaccinationPanel *p : {&a, &b}) {
            p->setAnimal(d.animal);
            choose(*p, d.raiva, 1, 1);
        }
        // Answering Yes to the double-entry question every time.
        a.inserir();
        b.inserir();
        a.inserir();
        b.inserir();
        QCOMPARE(msgs.texts().count(kDone), 4);
        QSqlQuery q = Sql::exec(t->main(), QStringLiteral("select Id_vacina from vacina order by Id_vacina"));
        QList<int> keys;
        while (q.next())
            keys << q.value(0).toInt();
        QCOMPARE(keys, QList<int>({1, 2, 3, 4}));
        // Each workstation's history shows the other's rows too.
        QCOMPARE(a.findChild<QTableView *>(QStringLiteral("grdHistorico"))->model()->rowCount(), 3);
        a.refreshHistory();
        QCOMPARE(a.findChild<QTableView *>(QStringLiteral("grdHistorico"))->model()->rowCount(), 4);
    }

    void deleteFromHistory_data() { addEngineRows(); }
    void deleteFromHistory()
    {
        ZAPO_TEST_DB(t);
        const Data d = seed(t->main());
        RecordingMessages msgs;
        VaccinationPanel p;
        p.resize(760, 420);
        auto *excluir = child<QPushButton>(&p, "btnExcluir");
        excluir->click();
        QCOMPARE(msgs.last(), QStringLiteral("Não há registro para ser excluído."));

        p.setAnimal(d.animal);
        choose(p, d.raiva, 1, 1, QDate(2024, 1, 10));
        p.inserir();
        choose(p, 1, d.doente, 1, QDate(2024, 2, 20));
        p.inserir();
        shot(&p, "006-vacinas");
        auto *grid = child<QTableView>(&p, "grdHistorico");
        QCOMPARE(grid->model()->rowCount(), 2);
        grid->setCurrentIndex(grid->model()->index(1, 2));

        msgs.clear();
        msgs.answers = {false};
        excluir->click();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Deseja realmente excluir o registro?")});
        QCOMPARE(count(t->main()), 2);

        grid->setCurrentIndex(grid->model()->index(1, 0));
        msgs.answers = {true};
        excluir->click();
        QCOMPARE(count(t->main()), 1);
        // The chosen row went, the other stayed.
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select Id_tipo_vacina from vacina")).toInt(), d.raiva);
        QCOMPARE(grid->model()->rowCount(), 1);
        QCOMPARE(historyRow(p, 0).at(1), QStringLiteral("10/01/2024"));
    }
};

QTEST_MAIN(TestVaccinations)
#include "tst_vaccinations.moc"
