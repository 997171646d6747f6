// The draft map: its save checks (two-digit counts, both duplicate tests),
// publication of every planned draft exactly once even from two
// workstations at once, the printed plan's totals and leaving while editing.
#include "SlotFixture.h"
#include "scheduling/DraftReport.h"
#include "scheduling/DraftStore.h"
#include "scheduling/MapaDisponibilidadeRascunhoScreen.h"
#include "reports/engine/ReportPainter.h"
#include "support/DateTyping.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ReportTesting.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/HourEdit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <atomic>
#include <mutex>
#include <thread>

using namespace SlotFixture;

namespace {

const QDate Day(2030, 3, 10);
const QString Done = QStringLiteral("Operação realizada com sucesso.");

SlotValues draft(const QTime &t, int geral, int femea = 0, int unit = 1, int especie = 1)
{
    SlotValues v;
    v.unidade = unit;
    v.procedimento = 12;
    v.especie = especie;
    v.dataHora = QDateTime(Day, t);
    v.vagaGeral = geral;
    v.vagaFemea = femea;
    return v;
}

struct Window {
    QPointer<MapaDisponibilidadeRascunhoScreen> s;
    explicit Window(Connection &c) : s(new MapaDisponibilidadeRascunhoScreen(c)) { s->show(); }
    ~Window() { delete s.data(); }
    void run(const char *action) { s->action(QString::fromLatin1(action))->trigger(); }
    void pick(const char *combo, int id)
    {
        auto *b = child<QComboBox>(s.data(), combo);
        b->setCurrentIndex(b->findData(id));
    }
    void type(const QString &hora, const QString &geral, const QString &femea, int especie = 1)
    {
        pick("dblId_unidade_trabalho", 1);
        pick("dblId_tipo_procedimento", 12);
        pick("dblId_Especie", especie);
        child<QLineEdit>(s.data(), "mkeData")->setText(QStringLiteral("10/03/2030"));
        child<HourEdit>(s.data(), "mkeHora")->setText(hora);
        child<QLineEdit>(s.data(), "edtVagaGeral")->setText(geral);
        if (!child<QLineEdit>(s.data(), "edtVagaFemea")->isReadOnly())
            child<QLineEdit>(s.data(), "edtVagaFemea")->setText(femea);
    }
    int rows() { return s->grid()->model()->rowCount(); }
};

int add(DraftStore &store, const SlotValues &v, const QString &user)
{
    int key = 0;
    return store.insert(v, user, &key) == DraftStore::Saved::Done ? key : 0;
}

int drafts(Connection &c, const QString &where)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from mapa_rascunho where ") + where).toInt();
}

} // namespace

class TestDrafts : public QObject {
    Q_OBJECT
private slots:
    // "Data:" typed as a clerk does: a click anywhere in it and the date in
    // any of the usual ways lands as typed; half typed is refused by name,
    // also when "Gravar" comes from its key with the focus still there.
    void dateTypedAsAClerk_data() { addEngineRows(); }
    void dateTypedAsAClerk()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        RecordingMessages msg;
        Window w(c);
        QVERIFY(activate(w.s.data()));
        auto *data = child<DateLineEdit>(w.s.data(), "mkeData");
        const char *at[] = {"start", "middle", "end"};
        const QStringList typed{QStringLiteral("4/1/2031"), QStringLiteral("05012031"), QStringLiteral("06/01/31")};
        for (int i = 0; i < typed.size(); ++i) {
            w.run("actNovo");
            w.type(QStringLiteral("08:00"), QStringLiteral("5"), QStringLiteral("0"));
            QVERIFY(typeDate(data, typed.at(i), QLatin1String(at[i])));
            QCOMPARE(data->text(), QDate(2031, 1, 4 + i).toString(QStringLiteral("dd/MM/yyyy")));
            w.run("actGravar");
            QCOMPARE(msg.last(), Done);
        }
        for (int day = 4; day <= 6; ++day)
            QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from mapa_rascunho where Data_hora_disponibilidade = :d"),
                                 {{QStringLiteral("d"), QDateTime(QDate(2031, 1, day), QTime(8, 0))}})
                         .toInt(),
                     1);

        w.run("actNovo");
        w.type(QStringLiteral("09:00"), QStringLiteral("5"), QStringLiteral("0"));
        msg.clear();
        QVERIFY(!typeDate(data, QStringLiteral("07/01/203")));
        QCOMPARE(msg.shown.size(), 1);
        QVERIFY2(msg.last().startsWith(QStringLiteral("Data inválida no campo \"Data\".")), qPrintable(msg.last()));
        QVERIFY(data->hasFocus());
        // Ctrl+Alt+Enter leaves the focus where it is: still refused, no
        // second box, nothing written.
        w.run("actGravar");
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(w.s->state(), MapaDisponibilidadeRascunhoScreen::State::New);
        QCOMPARE(drafts(c, QStringLiteral("1 = 1")), 3);
        QTest::keyClicks(data, QStringLiteral("07/01/2031"));
        w.run("actGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(drafts(c, QStringLiteral("1 = 1")), 4);
    }

    void saveChecks_data() { addEngineRows(); }
    void saveChecks()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        addSlot(c, 1, 1, QDateTime(Day, QTime(9, 0)), 5, 0);
        RecordingMessages msg;
        Window w(c);
        w.run("actNovo");
        QVERIFY(child<QLineEdit>(w.s.data(), "edtVagaFemea")->isReadOnly()); // until a species is chosen
        w.run("actGravar");
        QCOMPARE(msg.last(), QStringLiteral("Falta informar a unidade para onde as vagas são destinadas."));
        QCOMPARE(msg.shown.last().kind, QStringLiteral("warning"));
        w.type(QStringLiteral("08:00"), QStringLiteral("100"), QStringLiteral("0"));
        w.run("actGravar");
        QCOMPARE(msg.last(), QStringLiteral("Valor inválido no campo \"Qt. vagas geral\".\rNão deve ultrapassar 99 vagas."));
        child<QLineEdit>(w.s.data(), "edtVagaGeral")->setText(QStringLiteral("abc"));
        w.run("actGravar");
        QCOMPARE(msg.shown.last().kind, QStringLiteral("error"));
        child<QLineEdit>(w.s.data(), "edtVagaGeral")->setText(QStringLiteral("99"));
        w.run("actGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(w.s->state(), MapaDisponibilidadeRascunhoScreen::State::Browsing);
        QCOMPARE(w.rows(), 1);
        QCOMPARE(drafts(c, QStringLiteral("Status_Registro = 'ATIVO' and Qt_vaga_disponivel_geral = 99 and Inserido_por = 7")), 1);

        // The same slot published, or planned in another draft.
        w.run("actNovo");
        w.type(QStringLiteral("09:00"), QStringLiteral("2"), QStringLiteral("0"));
        w.run("actGravar");
        QVERIFY(msg.last().startsWith(QStringLiteral("Já existe um registro com a mesma data, hora, unidade, procedimento e especie "
                                                     "cadastrado EM PRODUÇÃO\r")));
        child<HourEdit>(w.s.data(), "mkeHora")->setText(QStringLiteral("08:00"));
        w.run("actGravar");
        QVERIFY(msg.last().startsWith(QStringLiteral("Já existe um registro com a mesma data, hora, unidade, procedimento e especie "
                                                     "cadastrado.\r")));
        QCOMPARE(w.s->state(), MapaDisponibilidadeRascunhoScreen::State::New);

        // Cats: large-female places forced to 0 and the field disabled.
        w.pick("dblId_Especie", 2);
        QCOMPARE(child<QLineEdit>(w.s.data(), "edtVagaFemea")->text(), QStringLiteral("0"));
        QVERIFY(!child<QLineEdit>(w.s.data(), "edtVagaFemea")->isEnabled());
        w.run("actCancelar");

        // Altering a draft that another workstation published meanwhile.
        w.run("actAtualizar");
        w.run("actAlterar");
        QCOMPARE(w.s->state(), MapaDisponibilidadeRascunhoScreen::State::Altering);
        child<QLineEdit>(w.s.data(), "edtVagaGeral")->setText(QStringLiteral("50"));
        child<HourEdit>(w.s.data(), "mkeHora")->setText(QStringLiteral("11:00"));
        auto other = t->openAnother();
        DraftStore(other->main()).publish();
        w.run("actGravar");
        QCOMPARE(msg.last(), QStringLiteral("Erro ao tentar gravar."));
        QCOMPARE(w.s->state(), MapaDisponibilidadeRascunhoScreen::State::Altering);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Qt_vaga_disponivel_geral from mapa_rascunho")).toInt(), 99);

        // Closing while editing asks first.
        msg.answers = {false};
        w.s->close();
        QVERIFY(w.s && w.s->isVisible());
        QCOMPARE(msg.last(), QStringLiteral("Tem registro no modo de edição ou inserção.\rFechar este formulário implica no "
                                            "cancelamento destas operações.\rDeseja sair assim mesmo?"));
        w.s->setAttribute(Qt::WA_DeleteOnClose, false);
        w.s->close();
        QVERIFY(!w.s->isVisible());
    }

    // "Gravar" answers Ctrl+Alt+Enter like every other one, from the field
    // the clerk is in; the window's only print takes Ctrl+P.
    void keys_data() { addEngineRows(); }
    void keys()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msg;
        Window w(t->main());
        QApplication::setActiveWindow(w.s.data());
        QVERIFY(QTest::qWaitForWindowActive(w.s.data()));
        QCOMPARE(w.s->action(QStringLiteral("actGravar"))->toolTip(), QStringLiteral("Gravar (Ctrl+Alt+Enter)"));
        QCOMPARE(w.s->action(QStringLiteral("actImprimir"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        w.run("actNovo");
        w.type(QStringLiteral("08:00"), QStringLiteral("10"), QStringLiteral("0"));
        auto *geral = child<QLineEdit>(w.s.data(), "edtVagaGeral");
        geral->setFocus();
        QTest::keyClick(geral, Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(msg.last(), Done);
        QCOMPARE(w.rows(), 1);
    }

    void publishing_data() { addEngineRows(); }
    void publishing()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        addSlot(c, 40, 15, QDateTime(Day, QTime(7, 0)), 5, 0);
        DraftStore store(c);
        const int a = add(store, draft(QTime(8, 0), 10), QStringLiteral("7"));
        const int b = add(store, draft(QTime(8, 30), 0, 2), QStringLiteral("8"));
        const int gone = add(store, draft(QTime(9, 0), 4), QStringLiteral("7"));
        const int d = add(store, draft(QTime(10, 15), 2, 0, 15, 2), QStringLiteral("7"));
        QVERIFY(store.remove(gone));

        RecordingMessages msg;
        RecordingPreview preview;
        Window w(c);
        w.run("actAtualizar");
        QCOMPARE(w.rows(), 3);
        w.run("actImprimir");
        QCOMPARE(preview.last().named(QStringLiteral("total_geral")).first()->text, QStringLiteral("12"));
        QCOMPARE(preview.last().named(QStringLiteral("total_femea")).first()->text, QStringLiteral("2"));
        QCOMPARE(preview.last().named(QStringLiteral("codigo")).first()->text, QStringLiteral("REL51"));
        shot(w.s.data(), "rascunho");
        if (const QString dir = qEnvironmentVariable("ZAPO_SCREENSHOT_DIR"); !dir.isEmpty())
            ReportPainter::pageImage(preview.last(), 0, 100).save(dir + QStringLiteral("/rel51.png"));

        w.run("actNovo");
        child<QPushButton>(w.s.data(), "bmpTransferir")->click();
        QCOMPARE(msg.last(), QStringLiteral("Um registro esta sendo editado ou inserido. Finalise a operação para continuar."));
        w.run("actCancelar");
        child<QPushButton>(w.s.data(), "bmpTransferir")->click();
        // The question says what goes out, unit by unit.
        const QString question = msg.texts().at(msg.texts().size() - 2);
        QVERIFY2(question.startsWith(QStringLiteral("CENTRO DE ZOONOSES: 2 horário(s), 10 vaga(s) geral e 2 vaga(s) fêmea "
                                                    "grande\rUNIDADE LESTE: 1 horário(s), 2 vaga(s) geral e 0 vaga(s) fêmea "
                                                    "grande\rDeseja realmente transferir")),
                 qPrintable(question));
        QCOMPARE(msg.last(), Done);
        QCOMPARE(w.rows(), 0);

        QSqlQuery q = Sql::exec(c, QStringLiteral("select r.Id_Mapa_rascunho, r.Id_mapa_disponibilidade_agenda, m.Data_hora_disponibilidade, "
                                                  "r.Data_hora_disponibilidade, m.COD_AREA_ABRN, m.Qt_vaga_usada_geral, m.Inserido_por "
                                                  "from mapa_rascunho r join mapa_disponibilidade_agenda m on "
                                                  "(m.Id_Mapa_disponibilidade_agenda = r.Id_mapa_disponibilidade_agenda) "
                                                  "order by r.Id_Mapa_rascunho"));
        QList<int> keys, published;
        while (q.next()) {
            published << q.value(0).toInt();
            keys << q.value(1).toInt();
            QCOMPARE(SlotStore::toDateTime(q.value(2)), SlotStore::toDateTime(q.value(3)));
            QVERIFY(q.value(4).isNull());
            QCOMPARE(q.value(5).toInt(), 0);
            QCOMPARE(q.value(6).toInt(), q.value(0).toInt() == b ? 8 : 7);
        }
        QCOMPARE(published, (QList<int>{a, b, d}));
        QCOMPARE(keys, (QList<int>{41, 42, 43}));
        QCOMPARE(drafts(c, QStringLiteral("Status_Registro = 'INATIVO' and Id_mapa_disponibilidade_agenda is null")), 1);
        QCOMPARE(drafts(c, QStringLiteral("Status_Registro = 'ATIVO'")), 0);
    }

    // The printed plan tells apart units whose names differ only at the end
    // (the column once cut both to "CLÍNICA MUNICIPAL DE CASTRAÇÃO").
    void thePrintedPlanTellsUnitsApart_data() { addEngineRows(); }
    void thePrintedPlanTellsUnitsApart()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        const QString norte = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO NORTE");
        const QString sul = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL");
        Sql::exec(c, QStringLiteral("update unidade_trabalho set Nome = :n where Id_Unidade_Trabalho = 1"), {{QStringLiteral("n"), norte}});
        Sql::exec(c, QStringLiteral("update unidade_trabalho set Nome = :n where Id_Unidade_Trabalho = 15"), {{QStringLiteral("n"), sul}});
        DraftStore store(c);
        QVERIFY(add(store, draft(QTime(8, 0), 10), QStringLiteral("7")));
        QVERIFY(add(store, draft(QTime(8, 30), 4, 0, 15), QStringLiteral("7")));
        const ComposedReport r = Reports::compose(DraftReport::definition(c));
        ReportTesting::savePng(r, QStringLiteral("rel51-unidades"), 1);
        const QStringList units = ReportTesting::joinedLines(r, QStringLiteral("unidade"));
        QCOMPARE(units, (QStringList{norte, sul}));
        QCOMPARE(ReportTesting::cutTexts(r), QStringList());
    }

    // A slot that reached the map after its draft was planned (from the map
    // or a clone) is not published a second time; the clerk is told and the
    // draft stays planned. Two clerks saving the same draft: the second is
    // refused by the save itself.
    void publishingNeverDoublesASlot_data() { addEngineRows(); }
    void publishingNeverDoublesASlot()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        DraftStore store(c);
        const int kept = add(store, draft(QTime(8, 0), 3), QStringLiteral("7"));
        add(store, draft(QTime(9, 0), 3), QStringLiteral("7"));
        QVERIFY(kept > 0);
        auto other = t->openAnother();
        DraftStore otherStore(other->main());
        QCOMPARE(otherStore.insert(draft(QTime(9, 0), 5), QStringLiteral("8")), DraftStore::Saved::DraftDuplicate);
        addSlot(c, 1, 1, QDateTime(Day, QTime(8, 0)), 4, 0);
        QCOMPARE(otherStore.insert(draft(QTime(8, 0), 5), QStringLiteral("8")), DraftStore::Saved::PublishedDuplicate);
        QCOMPARE(drafts(c, QStringLiteral("Status_Registro = 'ATIVO'")), 2);

        RecordingMessages msg;
        Window w(c);
        w.run("actAtualizar");
        child<QPushButton>(w.s.data(), "bmpTransferir")->click();
        QCOMPARE(msg.last(), Done + QStringLiteral("\r1 horário(s) já cadastrado(s) não foram publicados."));
        QCOMPARE(count(c), 2);
        QCOMPARE(count(c, QStringLiteral("Data_hora_disponibilidade = :d"), {{"d", QDateTime(Day, QTime(8, 0))}}), 1);
        QCOMPARE(drafts(c, QStringLiteral("Status_Registro = 'ATIVO'")), 1);
        QCOMPARE(w.rows(), 1);
        // Publishing again adds nothing either.
        QCOMPARE(DraftStore(other->main()).publish().skipped, 1);
        QCOMPARE(count(c), 2);
    }

    // After saving, the form stands on the draft just saved, not on the
    // first of the list.
    void formStaysOnTheSavedDraft_data() { addEngineRows(); }
    void formStaysOnTheSavedDraft()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        DraftStore store(c);
        add(store, draft(QTime(7, 0), 3, 0, 15), QStringLiteral("7"));
        add(store, draft(QTime(7, 30), 3, 0, 15), QStringLiteral("7"));
        RecordingMessages msg;
        Window w(c);
        w.run("actAtualizar");
        w.run("actNovo");
        w.type(QStringLiteral("11:00"), QStringLiteral("4"), QStringLiteral("0"));
        w.run("actGravar");
        QCOMPARE(msg.last(), Done);
        QCOMPARE(w.rows(), 3);
        const QModelIndex cur = w.s->grid()->currentIndex();
        QCOMPARE(cur.row(), 2);
        QCOMPARE(child<HourEdit>(w.s.data(), "mkeHora")->text(), QStringLiteral("11:00"));
        QCOMPARE(child<QLineEdit>(w.s.data(), "edtVagaGeral")->text(), QStringLiteral("4"));
        // An alteration keeps it too.
        w.run("actAlterar");
        child<QLineEdit>(w.s.data(), "edtVagaGeral")->setText(QStringLiteral("6"));
        w.run("actGravar");
        QCOMPARE(w.s->grid()->currentIndex().row(), 2);
        QCOMPARE(child<QLineEdit>(w.s.data(), "edtVagaGeral")->text(), QStringLiteral("6"));
    }

    void twoWorkstationsPublishOnce_data() { addEngineRows(); }
    void twoWorkstationsPublishOnce()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        DraftStore store(c);
        for (int i = 0; i < 30; ++i)
            add(store, draft(QTime(6 + i / 4, 15 * (i % 4)), 3), QStringLiteral("7"));
        // Each workstation opens its own connection in its own thread; both
        // publish once both are connected.
        std::mutex opening;
        std::atomic<int> ready{0};
        auto workstation = [&](int &published) {
            std::unique_ptr<DataModule> dm;
            {
                std::lock_guard<std::mutex> lock(opening);
                dm = t->openAnother();
            }
            ++ready;
            while (ready.load() < 2)
                std::this_thread::yield();
            try {
                published = int(DraftStore(dm->main()).publish().slotKeys.size());
            } catch (const std::exception &) {
                published = -100;
            }
            std::lock_guard<std::mutex> lock(opening);
            dm.reset();
        };
        int n1 = -1, n2 = -1;
        std::thread a([&] { workstation(n1); });
        std::thread b([&] { workstation(n2); });
        a.join();
        b.join();
        QCOMPARE(n1 + n2, 30);
        QCOMPARE(count(c), 30);
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(distinct Id_mapa_disponibilidade_agenda) from mapa_rascunho")).toInt(), 30);
    }
};

QTEST_MAIN(TestDrafts)
#include "tst_drafts.moc"
