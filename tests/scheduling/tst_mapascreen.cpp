// Screen 48 driven as a clerk drives it: the save's checks in their order,
// "24:00", slots for several coverage areas, alterations and deletes that a
// booking made meanwhile refuses, and the day filter's status line.
#include "SlotFixture.h"
#include "db/DbError.h"
#include "scheduling/MapaDisponibilidadeScreen.h"
#include "scheduling/VagasAreaAbrangenciaScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/HourEdit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>

using namespace SlotFixture;

namespace {

const QDate Day(2016, 3, 10);
const QString Done = QStringLiteral("Operação realizada com sucesso.");

// Answers Yes, running something first (a booking at the worst moment).
struct HookedMessages : RecordingMessages {
    std::function<void()> onConfirm;
    bool confirm(const QString &t, QWidget *w) override
    {
        if (onConfirm)
            onConfirm();
        return RecordingMessages::confirm(t, w);
    }
};

struct Screen {
    std::unique_ptr<MapaDisponibilidadeScreen> s;
    explicit Screen(Connection &c)
    {
        s = std::make_unique<MapaDisponibilidadeScreen>(c);
        s->setAttribute(Qt::WA_DeleteOnClose, false);
        s->show();
        s->showDay(Day);
    }
    template <typename T> T *at(const char *name) { return child<T>(s.get(), name); }
    void click(const char *name) { at<QPushButton>(name)->click(); }
    void pick(const char *combo, int id)
    {
        auto *b = at<QComboBox>(combo);
        const int i = b->findData(id);
        QVERIFY2(i >= 0, combo);
        b->setCurrentIndex(i);
    }
    void type(const QString &hora, const QString &geral, const QString &femea, int especie, int unit = 1)
    {
        pick("dblUnidade_trabalho", unit);
        pick("dblProcedimento", 12);
        pick("dblEspecie", especie);
        at<HourEdit>("mkeHora")->setText(hora);
        at<QLineEdit>("mkeVagaGeral")->setText(geral);
        at<QLineEdit>("mkeVagaFemea")->setText(femea);
    }
    int rows() { return s->grid()->model()->rowCount(); }
    QString cell(int row, int col) { return s->grid()->model()->index(row, col).data().toString(); }
    QString status() { return at<QLabel>("pnlStatus0")->text(); }
    void select(int row) { s->grid()->setCurrentIndex(s->grid()->model()->index(row, 0)); }
};

} // namespace

class TestMapaScreen : public QObject {
    Q_OBJECT
private slots:
    void saveChecksInOrder_data() { addEngineRows(); }
    void saveChecksInOrder()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msg;
        Screen w(t->main());
        QCOMPARE(w.status(), QStringLiteral("Nenhum registro que atende aos critérios informados foi encontrado!"));
        QVERIFY(!w.at<QPushButton>("bmpAlterar")->isEnabled());
        QVERIFY(!w.at<QPushButton>("bmpExcluir")->isEnabled());

        // A dog slot carries general or large-female places, never both.
        w.click("bmpNovaVaga");
        QCOMPARE(w.s->mode(), QStringLiteral("novo"));
        w.type(QStringLiteral("08:00"), QStringLiteral("3"), QStringLiteral("1"), 1);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("Para vaga de cães fêmeas de porte grande, o registro deve ser criado separadamente."));
        QCOMPARE(w.at<QLineEdit>("mkeVagaFemea")->text(), QStringLiteral("0"));
        QVERIFY(w.at<QLineEdit>("mkeVagaFemea")->isReadOnly());
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(count(t->main(), QStringLiteral("Qt_vaga_disponivel_geral = 3 and Qt_vaga_disp_f_grande_porte = 0")), 1);
        QCOMPARE(w.s->mode(), QString());
        QCOMPARE(w.status(), QStringLiteral(" Total de registro: 1"));
        QCOMPARE(w.cell(0, 0), QStringLiteral("CENTRO DE ZOONOSES"));
        QCOMPARE(w.cell(0, 2), QStringLiteral("10/03/2016 08:00:00"));

        // Cats never have large-female places.
        w.click("bmpNovaVaga");
        w.type(QStringLiteral("09:00"), QStringLiteral("0"), QStringLiteral("1"), 2);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("No caso de FELINO não pode haver fêmea grande."));
        w.at<QLineEdit>("mkeVagaFemea")->setText(QStringLiteral("0"));
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("2"));
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);

        // Counts take digits only; "1000" is refused at save by its length,
        // and "0" + "0" offers nothing.
        w.click("bmpNovaVaga");
        w.type(QStringLiteral("10:00"), QString(), QStringLiteral("0"), 1);
        QTest::keyClicks(w.at<QLineEdit>("mkeVagaGeral"), QStringLiteral("1a0-0,0"));
        QCOMPARE(w.at<QLineEdit>("mkeVagaGeral")->text(), QStringLiteral("1000"));
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("Valor inválido no campo \"Qt. vagas geral\".\rNão deve ultrapassar 999 vagas."));
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("0"));
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("Pelo menos uma vaga deve ser disponibilizada para gravar o registro."));
        // Missing unit, then a missing hour.
        w.at<QComboBox>("dblUnidade_trabalho")->setCurrentIndex(-1);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("O preenchimento do campo \"Unidade\" é obrigatório."));
        w.pick("dblUnidade_trabalho", 1);
        w.at<HourEdit>("mkeHora")->clear();
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("O preenchimento do campo \"Hora\" é obrigatório."));
        QCOMPARE(w.s->mode(), QStringLiteral("novo"));
        QCOMPARE(count(t->main()), 2);
    }

    void leavingACountOver999_data() { addEngineRows(); }
    void leavingACountOver999()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msg;
        Screen w(t->main());
        QApplication::setActiveWindow(w.s.get());
        QVERIFY(QTest::qWaitForWindowActive(w.s.get()));
        w.click("bmpNovaVaga");
        auto *geral = w.at<QLineEdit>("mkeVagaGeral");
        geral->setFocus();
        QTest::keyClicks(geral, QStringLiteral("1000"));
        w.at<QLineEdit>("mkeVagaFemea")->setFocus();
        QCOMPARE(msg.last(), QStringLiteral("Valor inválido.\rEste campo permite valores entre 1 a 999."));
        QVERIFY(geral->text().isEmpty());
        QVERIFY(geral->hasFocus());
    }

    void midnightAndDuplicates_data() { addEngineRows(); }
    void midnightAndDuplicates()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msg;
        Screen w(t->main());
        w.click("bmpNovaVaga");
        w.type(QStringLiteral("24:00"), QStringLiteral("4"), QStringLiteral("0"), 1);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(count(t->main(), QStringLiteral("Data_hora_disponibilidade = :d"), {{"d", QDateTime(Day, QTime(0, 0))}}), 1);
        QCOMPARE(w.cell(0, 2), QStringLiteral("10/03/2016 00:00:00"));

        w.click("bmpNovaVaga");
        w.type(QStringLiteral("00:00"), QStringLiteral("2"), QStringLiteral("0"), 1);
        w.click("bmpGravar");
        QVERIFY(msg.last().startsWith(QStringLiteral("Já existe um registro com a mesma data, hora, unidade, procedimento e especie cadastrado.\r")));
        QCOMPARE(w.s->mode(), QStringLiteral("novo"));
        QCOMPARE(count(t->main()), 1);
    }

    void slotForThreeAreas_data() { addEngineRows(); }
    void slotForThreeAreas()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msg;
        Screen w(t->main());
        w.click("bmpNovaVaga");
        w.click("bmpAreas");
        auto *dlg = w.s->areaDialog();
        QVERIFY(dlg && dlg->isVisible() && !dlg->isModal());
        dlg->chooseDistrict(QStringLiteral("Todos os distritos"));
        QCOMPARE(dlg->list()->count(), 3); // the inactive area is not offered
        QCOMPARE(dlg->list()->item(0)->text(), QStringLiteral("D.S.CENTRO SUL - 3001 - JARDIM DAS FLORES"));
        dlg->chooseDistrict(QStringLiteral("D.S.LESTE"));
        QCOMPARE(dlg->list()->count(), 1);
        dlg->chooseDistrict(QStringLiteral("Todos os distritos"));
        child<QCheckBox>(dlg, "chkTodos")->click();
        child<QPushButton>(dlg, "btnConcluir")->click();
        shot(dlg, "area_abrangencia");
        QCOMPARE(w.s->selectedAreas(), (QList<int>{3001, 3002, 4001}));
        QCOMPARE(w.at<QLabel>("lblResumo")->text(), QStringLiteral("Resumo: [3001] [3002] [4001]"));
        QCOMPARE(w.at<QPushButton>("bmpAreas")->text(), QStringLiteral("* Áreas de abrangência selecionada."));
        w.type(QStringLiteral("08:00"), QStringLiteral("3"), QStringLiteral("0"), 1);

        // A failure at the second row leaves none.
        Sql::setObserver([n = 0](const QString &sql, const QVariantMap &) mutable {
            if (sql.startsWith(QStringLiteral("insert into mapa_disponibilidade_agenda")) && ++n == 2)
                throw DbError(QStringLiteral("falha simulada"));
        });
        w.click("bmpGravar");
        Sql::setObserver({});
        QCOMPARE(msg.last(), QStringLiteral("Erro ao tentar gravar."));
        QCOMPARE(count(t->main()), 0);
        QVERIFY(w.s->selectedAreas().isEmpty());

        w.click("bmpNovaVaga");
        w.click("bmpAreas");
        dlg = w.s->areaDialog();
        dlg->chooseDistrict(QStringLiteral("Todos os distritos"));
        child<QCheckBox>(dlg, "chkTodos")->click();
        child<QPushButton>(dlg, "btnConcluir")->click();
        w.type(QStringLiteral("08:00"), QStringLiteral("3"), QStringLiteral("0"), 1);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(count(t->main(), QStringLiteral("Qt_vaga_disponivel_geral = 3 and COD_AREA_ABRN in (3001, 3002, 4001)")), 3);
        QCOMPARE(w.rows(), 3);
        QVERIFY(w.at<QLabel>("lblResumo")->text().isEmpty());
        shot(w.s.get(), "mapa_disponibilidade");

        // Altering one of the three: its siblings share unit, hour and species
        // and are no duplicate of it.
        w.select(1);
        w.click("bmpAlterar");
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("5"));
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(count(t->main(), QStringLiteral("Qt_vaga_disponivel_geral = 5 and COD_AREA_ABRN = 3002")), 1);
        QCOMPARE(count(t->main(), QStringLiteral("Qt_vaga_disponivel_geral = 3")), 2);

        // The area dialog refuses an alteration, and its "Concluir" after a
        // cancel reserves nothing.
        w.click("bmpAlterar");
        w.click("bmpAreas");
        QCOMPARE(msg.last(), QStringLiteral("Não é permitido fazer alteração vinculando áreas de abrangências"));
        w.click("bmpCancelar");
        w.click("bmpNovaVaga");
        w.click("bmpAreas");
        dlg = w.s->areaDialog();
        w.click("bmpCancelar");
        dlg->chooseDistrict(QStringLiteral("D.S.LESTE"));
        child<QCheckBox>(dlg, "chkTodos")->click();
        child<QPushButton>(dlg, "btnConcluir")->click();
        QVERIFY(w.s->selectedAreas().isEmpty());
        w.click("bmpNovaVaga");
        w.type(QStringLiteral("11:00"), QStringLiteral("1"), QStringLiteral("0"), 1);
        w.click("bmpGravar");
        QCOMPARE(count(t->main(), QStringLiteral("COD_AREA_ABRN is null")), 1);
    }

    void bookingsLimitAlterationAndDelete_data() { addEngineRows(); }
    void bookingsLimitAlterationAndDelete()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        addSlot(c, 1, 1, QDateTime(Day, QTime(8, 0)), 5, 0, 1, 2, 0);
        addSlot(c, 2, 1, QDateTime(Day, QTime(9, 0)), 5, 0);
        HookedMessages msg;
        Screen w(c);
        QCOMPARE(w.rows(), 2);
        QCOMPARE(w.cell(0, 5), QStringLiteral("2"));

        w.select(0);
        w.click("bmpAlterar");
        QVERIFY(w.at<HourEdit>("mkeHora")->isReadOnly());
        QVERIFY(!w.at<QLineEdit>("mkeVagaGeral")->isReadOnly());
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("1"));
        w.click("bmpGravar");
        QVERIFY(msg.last().startsWith(QStringLiteral("A quantidade de vagas de uso geral replanejada é inferior")));
        QCOMPARE(w.s->mode(), QStringLiteral("alterar"));
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("2"));
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Qt_vaga_disponivel_geral from mapa_disponibilidade_agenda where "
                                               "Id_Mapa_disponibilidade_agenda = 1")).toInt(), 2);

        // A place taken between the confirmation and the write.
        w.select(1);
        w.click("bmpAlterar");
        QVERIFY(!w.at<HourEdit>("mkeHora")->isReadOnly());
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("1"));
        auto other = t->openAnother();
        msg.onConfirm = [&] {
            Sql::exec(other->main(), QStringLiteral("update mapa_disponibilidade_agenda set Qt_vaga_usada_geral = "
                                                    "coalesce(Qt_vaga_usada_geral, 0) + 2 where Id_Mapa_disponibilidade_agenda = 2"));
        };
        w.click("bmpGravar");
        msg.onConfirm = {};
        QVERIFY(msg.last().startsWith(QStringLiteral("A quantidade de vagas de uso geral replanejada é inferior")));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Qt_vaga_disponivel_geral from mapa_disponibilidade_agenda where "
                                               "Id_Mapa_disponibilidade_agenda = 2")).toInt(), 5);
        // Its hour can no longer move either.
        w.at<QLineEdit>("mkeVagaGeral")->setText(QStringLiteral("5"));
        w.at<HourEdit>("mkeHora")->setText(QStringLiteral("10:00"));
        w.click("bmpGravar");
        QCOMPARE(msg.last(), QStringLiteral("A hora da vaga não pode ser alterada por ter sido usada em um agendamento."));
        w.click("bmpCancelar");

        // A slot with places taken is never deleted.
        w.select(0);
        w.click("bmpExcluir");
        QCOMPARE(msg.last(), QStringLiteral("O registro não pode ser excluído por ter sido usado em um agendamento."));
        QCOMPARE(count(c), 2);
        addSlot(c, 3, 1, QDateTime(Day, QTime(7, 0)), 5, 0);
        w.s->refresh();
        w.select(0);
        w.click("bmpExcluir");
        QCOMPARE(msg.last(), QStringLiteral("Registro excluído com sucesso!"));
        QCOMPARE(count(c), 2);
        QCOMPARE(w.rows(), 2);
    }

    // While the web holds places: unit, species and procedure stay (told in
    // so many words), and moving the day asks first, naming how many.
    void bookedSlotKeepsItsUnitAndAsksBeforeMovingItsDay_data() { addEngineRows(); }
    void bookedSlotKeepsItsUnitAndAsksBeforeMovingItsDay()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        addSlot(c, 1, 1, QDateTime(Day, QTime(8, 0)), 5, 0, 1, 2, 0);
        HookedMessages msg;
        Screen w(c);
        const QString keys =
            QStringLiteral("A vaga já tem lugares ocupados: unidade, espécie, procedimento e área não podem ser alterados.");
        w.select(0);
        w.click("bmpAlterar");
        w.pick("dblUnidade_trabalho", 15);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), keys);
        QCOMPARE(w.s->mode(), QStringLiteral("alterar"));
        w.pick("dblUnidade_trabalho", 1);
        w.pick("dblEspecie", 2);
        w.click("bmpGravar");
        QCOMPARE(msg.last(), keys);
        w.pick("dblEspecie", 1);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Id_unidade_trabalho from mapa_disponibilidade_agenda")).toInt(), 1);

        // A day later: the question names the 2 places; No leaves the slot.
        const QString question = QStringLiteral("Esta vaga tem 2 lugar(es) ocupado(s) pela web. Os proprietários agendados "
                                                "precisam ser avisados da mudança de dia. Deseja continuar?");
        w.at<QCalendarWidget>("mtcData")->setSelectedDate(Day.addDays(1));
        msg.answers = {false};
        w.click("bmpGravar");
        QVERIFY(msg.texts().contains(question));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from mapa_disponibilidade_agenda where "
                                               "Data_hora_disponibilidade = :d"), {{"d", QDateTime(Day, QTime(8, 0))}}).toInt(), 1);
        w.s->showDay(Day);
        w.select(0);
        w.click("bmpAlterar");
        w.at<QCalendarWidget>("mtcData")->setSelectedDate(Day.addDays(1));
        msg.answers = {true};
        w.click("bmpGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(SlotStore(c).read(1)->dataHora, QDateTime(Day.addDays(1), QTime(8, 0)));
        QCOMPARE(SlotStore(c).read(1)->usadaGeral, 2);
    }
};

QTEST_MAIN(TestMapaScreen)
#include "tst_mapascreen.moc"
