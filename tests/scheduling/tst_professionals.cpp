// The professional register with its three interval lists, against the real
// schema on both engines.
#include "app/ScreenWiring.h"
#include "db/DataModule.h"
#include "support/RecordingPreview.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "scheduling/IntervalPanel.h"
#include "scheduling/ProfissionalScreen.h"
#include "scheduling/WorkIntervals.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QTest>
#include <QTimeEdit>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

const QString kClash = QStringLiteral("Conflito entre horário/data.\rVerifique se o horário/data esta coincidindo. ");

WorkInterval iv(const QString &from, const QString &to, const QString &day = {}, const QString &d1 = QStringLiteral("2026-01-01"),
                const QString &d2 = QStringLiteral("2026-12-31"))
{
    WorkInterval w;
    w.unitId = 1;
    w.firstDay = QDate::fromString(d1, Qt::ISODate);
    w.lastDay = QDate::fromString(d2, Qt::ISODate);
    w.startTime = QTime::fromString(from, QStringLiteral("HH:mm:ss"));
    w.endTime = QTime::fromString(to, QStringLiteral("HH:mm:ss"));
    w.weekday = day;
    return w;
}

int count(const QString &sql)
{
    return Sql::scalar(mainConnection(), sql).toInt();
}

void exec(const QString &sql)
{
    Sql::exec(mainConnection(), sql);
}

void addUnits()
{
    exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (90, 'Centro', 'ATIVO')"));
    exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (91, 'Norte', 'ATIVO')"));
}

// Fills a panel's editors as a clerk would.
void enter(IntervalPanel *p, int unit, const QString &d1, const QString &t1, const QString &d2, const QString &t2,
           const QList<int> &days = {})
{
    QVERIFY(p->unitCombo()->selectId(unit));
    p->firstDayEdit()->setDate(QDate::fromString(d1, QStringLiteral("dd/MM/yyyy")));
    p->lastDayEdit()->setDate(QDate::fromString(d2, QStringLiteral("dd/MM/yyyy")));
    p->startEdit()->setTime(QTime::fromString(t1, QStringLiteral("HH:mm")));
    p->endEdit()->setTime(QTime::fromString(t2, QStringLiteral("HH:mm")));
    for (int i = 0; i < 7; ++i)
        if (QCheckBox *b = p->weekdayBox(i))
            b->setChecked(days.contains(i));
}

QStringList column(QTreeWidget *list, int col)
{
    QStringList l;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        l << list->topLevelItem(i)->text(col);
    return l;
}

// A professional with Mon-Fri 08:00-12:00, one impediment and extra hours
// at midnight, typed on a new record; not yet saved.
std::unique_ptr<ProfissionalScreen> newProfessional(RecordingMessages &msgs)
{
    auto s = std::make_unique<ProfissionalScreen>(screenHost());
    s->show();
    s->append();
    typeInto(s.get(), QStringLiteral("Nome do profissional:"), QStringLiteral("ana souza"));
    typeInto(s.get(), QStringLiteral("E-mail:"), QStringLiteral("Ana@Exemplo.COM"));
    enter(s->workingHours(), 90, QStringLiteral("01/02/2026"), QStringLiteral("08:00"), QStringLiteral("30/06/2026"),
          QStringLiteral("12:00"), {1, 2, 3, 4, 5});
    s->workingHours()->include();
    enter(s->impediments(), 91, QStringLiteral("10/03/2026"), QStringLiteral("00:00"), QStringLiteral("12/03/2026"),
          QStringLiteral("23:59"));
    s->impediments()->include();
    enter(s->extraHours(), 90, QStringLiteral("07/03/2026"), QStringLiteral("00:00"), QStringLiteral("07/03/2026"),
          QStringLiteral("06:00"));
    s->extraHours()->include();
    msgs.clear();
    return s;
}

} // namespace

class TestProfessionals : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        usuarioLogado() = TUsuarioLogado{};
        usuarioLogado().IdUsuario = QStringLiteral("3");
    }

    void conflictRule()
    {
        const WorkInterval morning = iv(QStringLiteral("08:00:00"), QStringLiteral("12:00:00"));
        // Bounds are inclusive.
        QVERIFY(WorkIntervals::clashes(morning, iv(QStringLiteral("12:00:00"), QStringLiteral("14:00:00")), false));
        QVERIFY(!WorkIntervals::clashes(morning, iv(QStringLiteral("12:00:01"), QStringLiteral("14:00:00")), false));
        QVERIFY(WorkIntervals::clashes(morning, iv(QStringLiteral("06:00:00"), QStringLiteral("08:00:00")), false));
        // The same row must meet in days as well as in hours.
        QVERIFY(!WorkIntervals::clashes(morning, iv(QStringLiteral("09:00:00"), QStringLiteral("10:00:00"), {},
                                                    QStringLiteral("2027-01-01"), QStringLiteral("2027-02-01")),
                                        false));
        QVERIFY(WorkIntervals::clashes(morning, iv(QStringLiteral("09:00:00"), QStringLiteral("10:00:00"), {},
                                                   QStringLiteral("2026-12-31"), QStringLiteral("2027-02-01")),
                                       false));
        // A row whose days do not meet does not refuse through another row's days.
        const QList<WorkInterval> listed{iv(QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), {}, QStringLiteral("2025-01-01"),
                                            QStringLiteral("2025-12-31")),
                                         iv(QStringLiteral("14:00:00"), QStringLiteral("18:00:00"))};
        QCOMPARE(WorkIntervals::firstClash(listed, iv(QStringLiteral("09:00:00"), QStringLiteral("10:00:00")), false), -1);
        QCOMPARE(WorkIntervals::firstClash(listed, iv(QStringLiteral("17:00:00"), QStringLiteral("19:00:00")), false), 1);
        // Working hours only clash on the same weekday.
        const WorkInterval monday = iv(QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), QStringLiteral("Segunda"));
        QVERIFY(!WorkIntervals::clashes(monday, iv(QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), QStringLiteral("Sabado")), true));
        QVERIFY(WorkIntervals::clashes(monday, iv(QStringLiteral("11:00:00"), QStringLiteral("13:00:00"), QStringLiteral("Segunda")), true));
        // Starting after the end, in hours or in days.
        QVERIFY(WorkIntervals::isInverted(iv(QStringLiteral("14:00:00"), QStringLiteral("12:00:00"))));
        QVERIFY(WorkIntervals::isInverted(iv(QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), {}, QStringLiteral("2026-02-01"),
                                             QStringLiteral("2026-01-01"))));
        QVERIFY(!WorkIntervals::isInverted(iv(QStringLiteral("00:00:00"), QStringLiteral("00:00:00"))));
    }

    void listEditing_data() { addEngineRows(); }
    void listEditing()
    {
        ZAPO_TEST_DB(t);
        addUnits();
        RecordingMessages msgs;
        ProfissionalScreen s(screenHost());
        s.show();
        IntervalPanel *w = s.workingHours();
        QVERIFY(!w->findChild<QGroupBox *>()->isEnabled());
        QVERIFY(!w->include());
        QCOMPARE(msgs.last(), QStringLiteral("Para incluir um intervalo clique em novo ou em alterar!"));

        s.append();
        QVERIFY(w->findChild<QGroupBox *>()->isEnabled());
        enter(w, 90, QStringLiteral("01/02/2026"), QStringLiteral("08:00"), QStringLiteral("30/06/2026"), QStringLiteral("12:00"));
        QVERIFY(!w->include());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar um dia da semana."));
        w->weekdayBox(1)->setChecked(true);
        w->unitCombo()->setCurrentIndex(0); // the empty entry
        QVERIFY(!w->include());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a unidade de atendimento."));

        // Inverted hours are refused even on an empty list.
        enter(w, 90, QStringLiteral("01/02/2026"), QStringLiteral("12:00"), QStringLiteral("30/06/2026"), QStringLiteral("08:00"), {1});
        QVERIFY(!w->include());
        QCOMPARE(msgs.last(), kClash);
        QCOMPARE(w->list()->topLevelItemCount(), 0);

        enter(w, 90, QStringLiteral("01/02/2026"), QStringLiteral("08:00"), QStringLiteral("30/06/2026"), QStringLiteral("12:00"),
              {1, 2, 3, 4, 5});
        QVERIFY(w->include());
        QCOMPARE(column(w->list(), 6), (QStringList{QStringLiteral("Segunda"), QStringLiteral("Terça"), QStringLiteral("Quarta"),
                                                    QStringLiteral("Quinta"), QStringLiteral("Sexta")}));
        QCOMPARE(w->list()->topLevelItem(0)->text(1), QStringLiteral("CENTRO"));
        QCOMPARE(w->list()->topLevelItem(0)->text(3), QStringLiteral("08:00:00"));
        // Saturday with the same hours is another day: accepted.
        enter(w, 90, QStringLiteral("01/02/2026"), QStringLiteral("08:00"), QStringLiteral("30/06/2026"), QStringLiteral("12:00"), {6});
        QVERIFY(w->include());
        // Monday afternoon starting at noon touches the morning: refused, nothing added.
        enter(w, 90, QStringLiteral("01/03/2026"), QStringLiteral("12:00"), QStringLiteral("31/03/2026"), QStringLiteral("14:00"), {0, 1});
        QVERIFY(!w->include());
        QCOMPARE(msgs.last(), kClash);
        QCOMPARE(w->list()->topLevelItemCount(), 6);
        enter(w, 90, QStringLiteral("01/03/2026"), QStringLiteral("12:01"), QStringLiteral("31/03/2026"), QStringLiteral("14:00"), {0, 1});
        QVERIFY(w->include());
        QCOMPARE(w->list()->topLevelItemCount(), 8);

        // Impediments need a unit too.
        IntervalPanel *imp = s.impediments();
        enter(imp, 91, QStringLiteral("10/03/2026"), QStringLiteral("08:00"), QStringLiteral("12/03/2026"), QStringLiteral("18:00"));
        imp->unitCombo()->setCurrentIndex(0);
        QVERIFY(!imp->include());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar a unidade de atendimento."));

        msgs.clear();
        QVERIFY(!w->exclude());
        QCOMPARE(msgs.last(), QStringLiteral("Selecione o registro a ser excluído."));
        w->list()->setCurrentItem(w->list()->topLevelItem(0));
        QVERIFY(w->exclude());
        QCOMPARE(column(w->list(), 6).first(), QStringLiteral("Terça"));
    }

    void saveAndSaveAgain_data() { addEngineRows(); }
    void saveAndSaveAgain()
    {
        ZAPO_TEST_DB(t);
        addUnits();
        RecordingMessages msgs;
        auto s = newProfessional(msgs);
        const QList<WorkInterval> typed = s->workingHours()->rows();
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        const int id = s->currentKey().toInt();
        QVERIFY(id > 0);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Email from profissional"))), QStringLiteral("ana@exemplo.com"));
        // Blank telephones are stored as nothing, not as the mask's literals.
        QCOMPARE(count(QStringLiteral("select count(*) from profissional where Telefone_celular is null")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho where Status_Registro = 'ATIVO' and Controle = 1")), 5);
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho where Id_Dia_Semana = 2 and Id_Unidade_Trabalho = 90")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from impedimento where Id_Unidade_Trabalho = 91")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho_execao")), 1);
        const auto stored = WorkIntervals::load(mainConnection(), IntervalKind::WorkingHours, id);
        QCOMPARE(stored, typed);
        // Midnight reads back as 00:00:00.
        QCOMPARE(s->extraHours()->list()->topLevelItem(0)->text(4), QStringLiteral("00:00:00"));
        for (int tab = 0; tab < 4; ++tab) {
            s->tabs()->setCurrentIndex(tab);
            shot(s.get(), QByteArray("profissional-") + QByteArray::number(tab));
        }
        const int firstKey = count(QStringLiteral("select min(Id_Jornada_Trabalho) from jornada_trabalho"));

        // Saved again unchanged: the stored rows stay as they are, keys and all.
        s->edit();
        QVERIFY(s->post());
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho")), 5);
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho where Controle = 1")), 5);
        QCOMPARE(count(QStringLiteral("select min(Id_Jornada_Trabalho) from jornada_trabalho")), firstKey);
        QCOMPARE(WorkIntervals::load(mainConnection(), IntervalKind::WorkingHours, id), stored);
        QCOMPARE(s->extraHours()->rows().first().startTime, QTime(0, 0));
        QCOMPARE(count(QStringLiteral("select count(*) from impedimento")), 1);

        // Cancelling an edit shows the stored lists; altering and saving keeps them.
        s->edit();
        s->workingHours()->list()->setCurrentItem(s->workingHours()->list()->topLevelItem(0));
        QVERIFY(s->workingHours()->exclude());
        s->cancel();
        QCOMPARE(s->workingHours()->rows().size(), 5);
        s->edit();
        QVERIFY(s->post());
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho where Controle = 1")), 5);
        QCOMPARE(count(QStringLiteral("select count(*) from impedimento")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho_execao")), 1);
    }

    void alterationsOfTwoWorkstations_data() { addEngineRows(); }
    void alterationsOfTwoWorkstations()
    {
        ZAPO_TEST_DB(t);
        addUnits();
        RecordingMessages msgs;
        auto a = newProfessional(msgs);
        QVERIFY(a->post());
        const int id = a->currentKey().toInt();
        auto other = t->openAnother();
        ProfissionalScreen b(screenHost(), &other->main());
        b.show();
        b.showKey(id);
        QCOMPARE(b.workingHours()->rows().size(), 5);

        // B takes Monday away; A, which loaded the list before, adds Saturday
        // and changes the e-mail: both stay.
        b.edit();
        b.workingHours()->list()->setCurrentItem(b.workingHours()->list()->topLevelItem(0));
        QVERIFY(b.workingHours()->exclude());
        QVERIFY(b.post());
        a->edit();
        typeInto(a.get(), QStringLiteral("E-mail:"), QStringLiteral("ana.a@exemplo.com"));
        enter(a->workingHours(), 90, QStringLiteral("01/02/2026"), QStringLiteral("08:00"), QStringLiteral("30/06/2026"),
              QStringLiteral("12:00"), {6});
        QVERIFY(a->workingHours()->include());
        QVERIFY2(a->post(), qPrintable(msgs.last()));
        QStringList days;
        for (const WorkInterval &w : WorkIntervals::load(mainConnection(), IntervalKind::WorkingHours, id))
            days << w.weekday;
        QCOMPARE(days, (QStringList{QStringLiteral("Terça"), QStringLiteral("Quarta"), QStringLiteral("Quinta"), QStringLiteral("Sexta"),
                                    QStringLiteral("Sabado")}));
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Email from profissional"))), QStringLiteral("ana.a@exemplo.com"));

        // Both take Tuesday away: the second is refused and shows the stored list.
        a->edit();
        a->workingHours()->list()->setCurrentItem(a->workingHours()->list()->topLevelItem(0));
        QVERIFY(a->workingHours()->exclude());
        QVERIFY(a->post());
        b.edit();
        b.workingHours()->list()->setCurrentItem(b.workingHours()->list()->topLevelItem(0));
        QVERIFY(b.workingHours()->exclude());
        QVERIFY(!b.post());
        QCOMPARE(msgs.shown.last().kind, QStringLiteral("warning"));
        QCOMPARE(msgs.last(), QStringLiteral("O registro foi alterado em outra estação de trabalho depois de aberto. Os dados foram "
                                             "recarregados; refaça a alteração."));
        QCOMPARE(b.mode(), RecordMode::Browse);
        QCOMPARE(b.workingHours()->rows().size(), 4);
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho")), 4);
    }

    void failedSaveLeavesNothing_data() { addEngineRows(); }
    void failedSaveLeavesNothing()
    {
        ZAPO_TEST_DB(t);
        addUnits();
        // A weekday the table lacks stops the save after the professional row
        // and some intervals were already written.
        exec(QStringLiteral("delete from dia_semana where nome = 'Sexta'"));
        RecordingMessages msgs;
        auto s = newProfessional(msgs);
        QVERIFY(!s->post());
        QCOMPARE(msgs.shown.last().kind, QStringLiteral("error"));
        QVERIFY2(msgs.last().contains(QStringLiteral("Sexta")), qPrintable(msgs.last()));
        QCOMPARE(s->mode(), RecordMode::Insert);
        for (const char *table : {"profissional", "jornada_trabalho", "impedimento", "jornada_trabalho_execao"})
            QCOMPARE(count(QStringLiteral("select count(*) from ") + QLatin1String(table)), 0);

        // On an existing professional the stored intervals stay as they were.
        exec(QStringLiteral("insert into dia_semana (id_Dia_Semana, nome) values (6, 'Sexta')"));
        QVERIFY(s->post());
        exec(QStringLiteral("delete from dia_semana where nome = 'Sabado'"));
        s->edit();
        typeInto(s.get(), QStringLiteral("Nome do profissional:"), QStringLiteral("outro nome"));
        enter(s->workingHours(), 90, QStringLiteral("01/02/2026"), QStringLiteral("08:00"), QStringLiteral("30/06/2026"),
              QStringLiteral("12:00"), {6});
        QVERIFY(s->workingHours()->include());
        QVERIFY(!s->post());
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho where Controle = 1")), 5);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Nome from profissional"))), QStringLiteral("ANA SOUZA"));
    }

    void deleting_data() { addEngineRows(); }
    void deleting()
    {
        ZAPO_TEST_DB(t);
        addUnits();
        RecordingMessages msgs;
        auto s = newProfessional(msgs);
        QVERIFY(s->post());
        const int id = s->currentKey().toInt();
        exec(QStringLiteral("insert into atendimento_profissional (Id_Profissional, Id_Atendimento) values (%1, 77)").arg(id));

        // Asked first; "No" stops before anything is checked.
        msgs.clear();
        msgs.answers = {false};
        QVERIFY(!s->remove());
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("O registro será excluído definitivamente.\r Deseja continuar?")});
        // "Yes", then refused for the attendance.
        msgs.clear();
        QVERIFY(!s->remove());
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("O registro será excluído definitivamente.\r Deseja continuar?"),
                                            QStringLiteral("O profissional realizou atendimento e não poderá ser excluído!")}));
        QCOMPARE(count(QStringLiteral("select count(*) from jornada_trabalho")), 5);

        exec(QStringLiteral("delete from atendimento_profissional"));
        QVERIFY(s->remove());
        for (const char *table : {"profissional", "jornada_trabalho", "impedimento", "jornada_trabalho_execao"})
            QCOMPARE(count(QStringLiteral("select count(*) from ") + QLatin1String(table)), 0);
        QCOMPARE(s->workingHours()->rows().size(), 0);

        // "Imprimir..." previews the list of professionals.
        registerAllScreens();
        RecordingPreview preview;
        s->print();
        QCOMPARE(preview.shown.size(), 1);
        QVERIFY(preview.last().allTexts().join(QLatin1Char('|')).contains(QStringLiteral("Rel.:042")));
    }
};

QTEST_MAIN(TestProfessionals)
#include "tst_professionals.moc"
