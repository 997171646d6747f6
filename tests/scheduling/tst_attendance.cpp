// The attendance screen and its store: booking from the animal record,
// the checks before a save, what a save writes (and leaves alone when it
// fails), deleting, two workstations, and the clinical tabs.
#include "SchedulingFixture.h"
#include "db/DbError.h"
#include "mail/MailTransport.h"
#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "scheduling/AttendanceStore.h"
#include "scheduling/ClinicalTabs.h"
#include "scheduling/DeskSlot.h"
#include "support/DateTyping.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/OdbcRules.h"
#include "support/TestDatabase.h"
#include "ui/HourEdit.h"
#include "ui/IdNameCombo.h"
#include "ui/MarcacaoAtendimento.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include "ui/DateEdit.h"
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace SchedulingFixture;

namespace {

template <typename T>
T *named(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QRadioButton *radio(QWidget *w, const QString &text)
{
    for (QRadioButton *r : w->findChildren<QRadioButton *>())
        if (r->text() == text)
            return r;
    qFatal("no radio");
}


} // namespace

class TestAttendance : public QObject {
    Q_OBJECT
private slots:
    // Statements as a T-SQL server through ODBC takes them (support/OdbcRules.h).
    void initTestCase() { OdbcRules::installForSqlite(); }
    void guidance();
    void store_data() { addEngineRows(); }
    void store();
    void bookFromRegister_data() { addEngineRows(); }
    void bookFromRegister();
    void typedDate_data() { addEngineRows(); }
    void typedDate();
    void checksAndDelete_data() { addEngineRows(); }
    void checksAndDelete();
    void twoWorkstations_data() { addEngineRows(); }
    void twoWorkstations();
    void clinical_data() { addEngineRows(); }
    void clinical();
    void homonymousOwnersToldApart_data() { addEngineRows(); }
    void homonymousOwnersToldApart();
    void deskSeesTheMap_data() { addEngineRows(); }
    void deskSeesTheMap();
};

void TestAttendance::guidance()
{
    QCOMPARE(guidanceText(QStringLiteral("Jejum de 8 horas<br> Traga coleira<br>\r\nChegue cedo")),
             QStringLiteral("Jejum de 8 horas - Traga coleira - Chegue cedo"));
    // A letter right after the mark stays.
    QCOMPARE(guidanceText(QStringLiteral("A<br>B<BR>\nC")), QStringLiteral("A - B - C"));
}

void TestAttendance::store()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    AttendanceStore s(c);
    Atendimento at;
    at.Id_Proprietario = p;
    at.Id_Animal = a;
    at.Id_Unidade_Trabalho = 1;
    at.Id_Unidade_Agendada = 2;
    at.Data_Hora_Atendimento = QDateTime(QDate(2026, 5, 4), QTime(8, 30));
    at.Id_Atendimento_Status = 1;
    at.Ind_Autoriza_Cirurgia = QStringLiteral("SIM");
    const int k = s.insert(at, QStringLiteral("SIM"), QStringLiteral("NAO"));
    QCOMPARE(s.esterilizado(a), QStringLiteral("SIM"));
    auto loaded = s.load(k);
    QVERIFY(loaded);
    QCOMPARE(loaded->Data_Hora_Atendimento, at.Data_Hora_Atendimento);
    QCOMPARE(count(c, QStringLiteral("select Inserido_Por from atendimento where Id_Atendimento = :k"), {{"k", k}}), 7);

    // An alteration by another user keeps who booked it.
    usuarioLogado().IdUsuario = QStringLiteral("9");
    at.Id_Atendimento = k;
    at.Id_Atendimento_Status = 2;
    QVERIFY(s.update(at, *loaded, QStringLiteral("NAO"), QStringLiteral("SIM")));
    QCOMPARE(count(c, QStringLiteral("select Inserido_Por from atendimento where Id_Atendimento = :k"), {{"k", k}}), 7);
    QCOMPARE(count(c, QStringLiteral("select Modificado_Por from atendimento where Id_Atendimento = :k"), {{"k", k}}), 9);
    QCOMPARE(s.esterilizado(a), QStringLiteral("NAO"));
    at.Id_Atendimento = k + 1000;
    QVERIFY(!s.update(at, *loaded, QStringLiteral("SIM"), QStringLiteral("NAO")));
    QCOMPARE(s.esterilizado(a), QStringLiteral("NAO")); // nothing of a missed update is kept

    // A failing insert leaves the animal as it was.
    Sql::exec(c, QStringLiteral("alter table atendimento rename to atendimento_fora"));
    bool threw = false;
    try {
        s.insert(at, QStringLiteral("SIM"), QStringLiteral("NAO"));
    } catch (const DbError &) {
        threw = true;
    }
    Sql::exec(c, QStringLiteral("alter table atendimento_fora rename to atendimento"));
    QVERIFY(threw);
    QCOMPARE(s.esterilizado(a), QStringLiteral("NAO"));
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 1);
}

// Beside "Data:"/"Hora:" the slot of that unit, species and hour: offered,
// taken on the web, booked at the desk; booking past what is free asks, and
// the web's counters are never written.
void TestAttendance::deskSeesTheMap()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    NoMail noMail;
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    const int b = animal(c, p, QStringLiteral("BIDU"));
    const QDateTime when(QDate::currentDate(), QTime(8, 30));
    auto slot = [&](int key, int offered, int taken) {
        Sql::exec(c, QStringLiteral("insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, "
                                    "Id_unidade_trabalho, Id_tipo_procedimento, Data_hora_disponibilidade, "
                                    "Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, Qt_vaga_usada_geral, "
                                    "Qt_vaga_usada_f_grande_porte, Id_Especie) values (:k, 2, 12, :d, :g, 0, :u, 0, 1)"),
                  {{"k", key}, {"d", when}, {"g", offered}, {"u", taken}});
    };
    slot(1, 1, 1);
    auto open = [&](int animalId) {
        TMarcacaoAtendimento &m = marcacaoAtendimento();
        m.Origem = 1;
        m.IdProprietario = QString::number(p);
        m.IdAnimal = QString::number(animalId);
        auto *s = new AgendaNovoAtendimentoScreen(nullptr, 2);
        named<IdNameCombo>(s, "dblStatus")->selectId(1);
        named<HourEdit>(s, "edtHora")->setText(QStringLiteral("08:30"));
        return s;
    };
    auto *s = open(a);
    QCOMPARE(named<QLabel>(s, "lblVagaMapa")->text(),
             QStringLiteral("Mapa: 1 vaga(s), 1 ocupada(s) pela web, 0 agendada(s) no balcão, 0 livre(s)."));
    msgs.answers = {false};
    s->action(QStringLiteral("actPost"))->trigger();
    QCOMPARE(msgs.texts(), QStringList{noFreeSlotQuestion()});
    QCOMPARE(s->state().mode, RecordMode::Insert);
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 0);
    delete s;

    // One more place offered: booked without a question.
    Sql::exec(c, QStringLiteral("update mapa_disponibilidade_agenda set Qt_vaga_disponivel_geral = 2"));
    msgs.clear();
    s = open(a);
    s->action(QStringLiteral("actPost"))->trigger();
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Operação realizada com sucesso!")});
    delete s;
    // That place is now held at the desk: the next animal is asked about.
    msgs.clear();
    s = open(b);
    QCOMPARE(named<QLabel>(s, "lblVagaMapa")->text(),
             QStringLiteral("Mapa: 2 vaga(s), 1 ocupada(s) pela web, 1 agendada(s) no balcão, 0 livre(s)."));
    s->action(QStringLiteral("actPost"))->trigger();
    QCOMPARE(msgs.texts(), (QStringList{noFreeSlotQuestion(), QStringLiteral("Operação realizada com sucesso!")}));
    // Another hour with no slot says so.
    s->action(QStringLiteral("actEdit"))->trigger();
    named<HourEdit>(s, "edtHora")->setText(QStringLiteral("10:00"));
    QCOMPARE(named<QLabel>(s, "lblVagaMapa")->text(),
             QStringLiteral("Mapa: nenhuma vaga para esta unidade, espécie, data e hora."));
    s->action(QStringLiteral("actCancel"))->trigger();
    delete s;
    // The counters stay the web service's.
    QCOMPARE(count(c, QStringLiteral("select Qt_vaga_usada_geral from mapa_disponibilidade_agenda")), 1);
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 2);
}

// Two owners of one name appear with their codes and tax numbers; the
// chosen one fills the field with the name alone and loads that owner.
void TestAttendance::homonymousOwnersToldApart()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    NoMail noMail;
    RecordingMessages msgs;
    OwnerRow o;
    o.nome = QStringLiteral("ADRIANA DE SOUZA");
    o.cpf = QStringLiteral("52998224725");
    const int first = owner(c, o);
    o.cpf = QStringLiteral("11144477735");
    const int second = owner(c, o);
    auto *s = new AgendaNovoAtendimentoScreen(nullptr, 2);
    auto *name = named<QLineEdit>(s, "dblProprietario");
    // As typed by the clerk (the field answers each edit).
    name->setText(QStringLiteral("adriana"));
    emit name->textEdited(name->text());
    QAbstractItemModel *m = name->completer()->model();
    QCOMPARE(m->rowCount(), 2);
    const QString a = m->index(0, 0).data().toString(), b = m->index(1, 0).data().toString();
    QVERIFY2(a != b, qPrintable(a));
    QCOMPARE(a, QStringLiteral("ADRIANA DE SOUZA  -  Cód. %1  -  CPF/CNPJ 52998224725").arg(first));
    QCOMPARE(b, QStringLiteral("ADRIANA DE SOUZA  -  Cód. %1  -  CPF/CNPJ 11144477735").arg(second));
    emit name->completer()->activated(m->index(1, 0));
    QCOMPARE(named<QLineEdit>(s, "dbeId_Proprietario")->text(), QString::number(second));
    QCOMPARE(name->text(), QStringLiteral("ADRIANA DE SOUZA"));
    delete s;
}

void TestAttendance::bookFromRegister()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    NoMail noMail;
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    TMarcacaoAtendimento &m = marcacaoAtendimento();
    m.Origem = 1;
    m.IdProprietario = QString::number(p);
    m.IdAnimal = QString::number(a);

    auto *s = new AgendaNovoAtendimentoScreen(nullptr, 2);
    QCOMPARE(s->state().mode, RecordMode::Insert);
    QCOMPARE(named<QLineEdit>(s, "dbeId_Proprietario")->text(), QString::number(p));
    QCOMPARE(named<QLineEdit>(s, "dblProprietario")->text(), QStringLiteral("MARIA"));
    QCOMPARE(named<IdNameCombo>(s, "dblAnimal")->currentId().toInt(), a);
    QCOMPARE(named<IdNameCombo>(s, "dblUnidade_Agendada")->currentId().toInt(), 2);
    QCOMPARE(named<QDateEdit>(s, "dtpData")->date(), QDate::currentDate());
    QCOMPARE(m.Origem, 0);
    // Inactive units are not offered.
    QVERIFY(!named<IdNameCombo>(s, "dblUnidade_Agendada")->selectId(3));

    named<HourEdit>(s, "edtHora")->setText(QStringLiteral(" 8:30"));
    named<IdNameCombo>(s, "dblStatus")->selectId(1);
    named<QComboBox>(s, "dblEsterilizado")->setCurrentText(QStringLiteral("SIM"));
    radio(s, QStringLiteral("Não"))->setChecked(true);
    s->action(QStringLiteral("actPost"))->trigger();
    // No slot in the map at that unit and hour: the clerk is asked first.
    QCOMPARE(msgs.texts(), (QStringList{noFreeSlotQuestion(), QStringLiteral("Operação realizada com sucesso!")}));
    QVERIFY(s->statusBar()->currentMessage().contains(QStringLiteral("[mail]")));
    QCOMPARE(s->state().mode, RecordMode::Browse);
    const int k = s->currentKey().toInt();
    QVERIFY(k > 0);
    AttendanceStore store(c);
    const auto saved = store.load(k);
    QCOMPARE(saved->Data_Hora_Atendimento, QDateTime(QDate::currentDate(), QTime(8, 30)));
    QCOMPARE(saved->Ind_Autoriza_Cirurgia, QStringLiteral("SIM"));
    QCOMPARE(saved->Id_Unidade_Trabalho.toInt(), 1);
    QCOMPARE(saved->Id_Unidade_Agendada.toInt(), 2);
    QCOMPARE(store.esterilizado(a), QStringLiteral("SIM"));
    QVERIFY(radio(s, QStringLiteral("Sim"))->isChecked());
    shot(s, "atendimento");

    // Alter the hour; the list stays on the attendance.
    s->action(QStringLiteral("actEdit"))->trigger();
    named<HourEdit>(s, "edtHora")->setText(QStringLiteral("14:10"));
    s->action(QStringLiteral("actPost"))->trigger();
    QCOMPARE(store.load(k)->Data_Hora_Atendimento.time(), QTime(14, 10));
    QCOMPARE(s->currentKey().toInt(), k);

    // Closing empties the hand-over.
    m.IdProprietario = QStringLiteral("5");
    s->close();
    delete s;
    QVERIFY(m.IdProprietario.isEmpty());
    QVERIFY(m.IdAnimal.isEmpty());
}

// "Data:" typed as clerks type it, after a click: each way lands as typed,
// a day that does not exist is refused by name and saves nothing.
void TestAttendance::typedDate()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    NoMail noMail;
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    TMarcacaoAtendimento &m = marcacaoAtendimento();
    m.Origem = 1;
    m.IdProprietario = QString::number(p);
    m.IdAnimal = QString::number(a);
    std::unique_ptr<AgendaNovoAtendimentoScreen> s(new AgendaNovoAtendimentoScreen(nullptr, 2));
    QVERIFY(activate(s.get()));
    auto *date = named<DateEdit>(s.get(), "dtpData");
    for (const QString &typed : {QStringLiteral("04/01/2027"), QStringLiteral("04012027"), QStringLiteral("4/1/2027"),
                                 QStringLiteral("04/01/27")}) {
        date->setDate(QDate(2026, 12, 10));
        QVERIFY2(typeDate(date, typed), qPrintable(typed));
        QCOMPARE(date->date(), QDate(2027, 1, 4));
    }
    QVERIFY(msgs.shown.isEmpty());

    QVERIFY(!typeDate(date, QStringLiteral("31/02/2027")));
    QCOMPARE(msgs.texts().value(0).section(QLatin1Char('\r'), 0, 0), QStringLiteral("Data inválida no campo \"Data\"."));
    QVERIFY(date->hasFocus());
    named<HourEdit>(s.get(), "edtHora")->setText(QStringLiteral(" 8:30"));
    named<IdNameCombo>(s.get(), "dblStatus")->selectId(1);
    named<QComboBox>(s.get(), "dblEsterilizado")->setCurrentText(QStringLiteral("SIM"));
    radio(s.get(), QStringLiteral("Não"))->setChecked(true);
    // "Gravar" from the toolbar while the day is still wrong saves nothing.
    s->action(QStringLiteral("actPost"))->trigger();
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 0);
    QCOMPARE(s->state().mode, RecordMode::Insert);

    // Mended with a two-digit year and saved straight from the toolbar,
    // without leaving the field.
    msgs.clear();
    QTest::keyClicks(date, QStringLiteral("05/01/27"));
    msgs.answers = {true}; // no slot on the map that day: booked all the same
    s->action(QStringLiteral("actPost"))->trigger();
    QCOMPARE(msgs.texts(), (QStringList{noFreeSlotQuestion(), QStringLiteral("Operação realizada com sucesso!")}));
    AttendanceStore store(c);
    QCOMPARE(store.load(s->currentKey().toInt())->Data_Hora_Atendimento, QDateTime(QDate(2027, 1, 5), QTime(8, 30)));
}

void TestAttendance::checksAndDelete()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    NoMail noMail;
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    marcacaoAtendimento().clear();
    AgendaNovoAtendimentoScreen s;
    s.openList(0);
    QCOMPARE(s.state().rowCount, 0);
    s.excluir();
    QCOMPARE(msgs.last(), QStringLiteral("Não há registro!"));

    s.novo();
    auto *hour = named<HourEdit>(&s, "edtHora");
    for (const QString &bad : {QStringLiteral("12:60"), QStringLiteral("24:30"), QString()}) {
        hour->setText(bad);
        s.gravar();
        QCOMPARE(msgs.last(), QStringLiteral("Falta preencher a hora do atendimento ou hora invalida!"));
    }
    hour->setText(QStringLiteral("09:00"));
    s.gravar();
    QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o status."));
    named<IdNameCombo>(&s, "dblStatus")->selectId(1);
    s.gravar();
    QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o proprietário."));
    s.setOwner(p);
    named<IdNameCombo>(&s, "dblAnimal")->setCurrentIndex(0);
    s.gravar();
    QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o animal."));
    named<IdNameCombo>(&s, "dblAnimal")->selectId(a);
    s.gravar();
    QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a unidade de trabalho."));
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 0);
    named<IdNameCombo>(&s, "dblUnidade_Agendada")->selectId(1);
    s.gravar();
    QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
    const int k = s.currentKey().toInt();

    // With a procedure the attendance stays; without, it goes.
    AttendanceStore(c).addProcedure(k, 12);
    s.excluir();
    QCOMPARE(msgs.last(), QStringLiteral("Atendimento com profissionais, procedimentos, medicamentos ou receituários.\r"
                                         "Registro não pode ser excluído!"));
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 1);
    Sql::exec(c, QStringLiteral("delete from procedimento"));
    msgs.answers = {false};
    s.excluir();
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 1);
    s.excluir();
    QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
    QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento")), 0);

    // The authorization waits for "Gravar".
    s.novo();
    s.autorizaCirurgia();
    QVERIFY(msgs.last().startsWith(QStringLiteral("Você esta cadastrando ou alterando um atendimento")));
}

void TestAttendance::twoWorkstations()
{
    ZAPO_TEST_DB(db);
    Connection &c1 = db->main();
    fill(c1);
    const int p = owner(c1, QStringLiteral("MARIA"));
    const int a1 = animal(c1, p, QStringLiteral("MEL"));
    const int a2 = animal(c1, p, QStringLiteral("BOB"));
    auto other = db->openAnother();
    Connection &c2 = other->main();
    const int k1 = attendance(c1, p, a1, 1, QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
    const int k2 = attendance(c2, p, a2, 1, QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
    QVERIFY(k1 != k2);
    QCOMPARE(AttendanceStore(c1).load(k1)->Id_Animal.toInt(), a1);
    QCOMPARE(AttendanceStore(c2).load(k2)->Id_Animal.toInt(), a2);
    // The same procedure added from both: one row.
    QCOMPARE(AttendanceStore(c1).addProcedure(k1, 12), AttendanceStore::Added::Added);
    QCOMPARE(AttendanceStore(c2).addProcedure(k1, 12), AttendanceStore::Added::Duplicate);
    QCOMPARE(AttendanceStore(c2).addMedicine(k1, 1, 2), AttendanceStore::Added::Added);
    QCOMPARE(AttendanceStore(c1).addMedicine(k1, 1, 3), AttendanceStore::Added::Duplicate);
    QCOMPARE(count(c1, QStringLiteral("select count(*) from procedimento where Id_Atendimento = :k"), {{"k", k1}}), 1);
    QCOMPARE(count(c1, QStringLiteral("select count(*) from medicamento_gasto")), 1);
}

void TestAttendance::clinical()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    NoMail noMail;
    RecordingMessages msgs;
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    const int k = attendance(c, p, a, 1, QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
    marcacaoAtendimento().clear();
    AgendaNovoAtendimentoScreen s;
    s.openList(k);
    ClinicalTabs *t = s.clinical();

    // Professionals: inactive ones are not offered; a second add is refused.
    QVERIFY(!t->professionalLookup()->selectId(2));
    QVERIFY(t->professionalLookup()->selectId(3));
    t->addProfessional();
    t->addProfessional();
    QCOMPARE(msgs.last(), QStringLiteral("Este profissional já foi incluído."));
    QCOMPARE(t->professionals()->rowCount(), 1);
    QCOMPARE(t->professionals()->item(0, 0)->text(), QStringLiteral("DR. CAIO"));

    // Procedures: inactive types are offered; "&Excluir" removes the selected row.
    QVERIFY(t->procedureLookup()->selectId(13));
    t->addProcedure();
    t->procedureLookup()->selectId(12);
    t->addProcedure();
    t->addProcedure();
    QCOMPARE(msgs.last(), QStringLiteral("Este procedimento já foi incluído neste atendimento."));
    QCOMPARE(t->procedures()->rowCount(), 2);
    t->procedures()->setCurrentCell(0, 0);
    t->removeProcedure();
    QCOMPARE(t->procedures()->rowCount(), 1);
    QCOMPARE(t->procedures()->item(0, 0)->text(), QStringLiteral("CASTRAÇÃO"));

    // Medicines: the checks in order, the decimal comma, duplicates.
    t->medicineLookup()->setCurrentIndex(0);
    t->addMedicine();
    QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o medicamento."));
    QVERIFY(t->medicineLookup()->selectId(1));
    t->addMedicine();
    QCOMPARE(msgs.last(), QStringLiteral("Informe a quantidade do medicamento a ser usado!"));
    t->quantity()->setText(QStringLiteral("1,5x"));
    t->addMedicine();
    QCOMPARE(msgs.last(), QStringLiteral("Quantidade invalida!"));
    t->quantity()->setText(QStringLiteral("1,5"));
    t->addMedicine();
    QCOMPARE(Sql::scalar(c, QStringLiteral("select Quantidade from medicamento_gasto")).toDouble(), 1.5);
    QCOMPARE(t->medicines()->item(0, 1)->text(), QStringLiteral("1,5"));
    QCOMPARE(t->medicines()->item(0, 2)->text(), QStringLiteral("ML"));
    t->addMedicine();
    QCOMPARE(msgs.last(), QStringLiteral("Este medicamento já foi incluído neste atendimento."));
    QCOMPARE(count(c, QStringLiteral("select count(*) from medicamento_gasto")), 1);

    // Prescriptions: the weight text goes in front.
    t->insertWeightText();
    QVERIFY(msgs.last().startsWith(QStringLiteral("Click em \"Novo\"")));
    t->rxInsert();
    t->prescriptionText()->setPlainText(QStringLiteral("B"));
    t->weightLookup()->selectId(1);
    t->insertWeightText();
    QCOMPARE(t->prescriptionText()->toPlainText(), QStringLiteral("AB"));
    t->insertStandardText();
    t->rxPost();
    QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
    QCOMPARE(Sql::scalar(c, QStringLiteral("select Descricao from receituario")).toString(), QStringLiteral("PADRAO AB"));
    QCOMPARE(s.statusBar()->currentMessage(), QStringLiteral("Total de receituário: 1"));

    // Nothing can be added to an attendance not saved yet.
    s.novo();
    QCOMPARE(t->procedures()->rowCount(), 0);
    t->rxInsert();
    QCOMPARE(msgs.last(), QStringLiteral("Registro não reconhecido.\rReceituário não pode ser criado."));
    t->procedureLookup()->selectId(12);
    t->addProcedure();
    QCOMPARE(count(c, QStringLiteral("select count(*) from procedimento")), 1);
}

QTEST_MAIN(TestAttendance)
#include "tst_attendance.moc"
