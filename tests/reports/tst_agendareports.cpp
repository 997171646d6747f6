// The agenda reports (040, 050, 051, 052) and their selection windows, on
// each engine: what each parameter selects, the period edges, the groups and
// counts as printed.
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Sql.h"
#include "reports/agenda/AgendaReports.h"
#include "reports/agenda/AgendaWindows.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/Reports.h"
#include "scheduling/SchedulingFixture.h"
#include "support/RecordingPreview.h"
#include "support/ReportTesting.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"

#include <QComboBox>
#include "ui/DateEdit.h"
#include <QPointer>
#include <QPushButton>
#include <QTest>

using ReportTesting::named;
using ReportTesting::run;
using ReportTesting::savePng;

namespace {




QDateTime at(int y, int m, int d, int h = 10, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

// Units 7, 12 and 123 (and one whose name holds " - "), professionals 7, 12,
// 123 and two of one name, an owner and an animal.
struct City {
    int owner = 0, animal = 0;
};

City seed(Connection &c)
{
    SchedulingFixture::fill(c);
    for (const char *t : {"atendimento_profissional", "procedimento", "atendimento", "unidade_trabalho", "profissional",
                          "usuario", "atendimento_status"})
        run(c, QStringLiteral("delete from ") + QLatin1String(t));
    run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values "
                          "(7, 'UNIDADE SETE', 'ATIVO'), (12, 'UNIDADE DOZE', 'ATIVO'), (123, 'UNIDADE 123', 'ATIVO'), "
                          "(1, 'CCZ - CENTRO', 'ATIVO'), (9, 'FECHADA', 'INATIVO')"));
    run(c, QStringLiteral("insert into profissional (Id_Profissional, Nome) values (7, 'SETE'), (12, 'DOZE'), (123, 'CENTO'), "
                          "(1, 'A - B'), (40, 'HOMONIMO'), (41, 'HOMONIMO')"));
    run(c, QStringLiteral("insert into atendimento_status (Id_Atendimento_Status, Nome, Ind_Status) values (1, 'AGENDADO', 'ATIVO'), "
                          "(2, 'REALIZADO', 'ATIVO')"));
    run(c, QStringLiteral("insert into usuario (Id_Usuario, Nome, Login) values (7, 'ATENDENTE', 'at')"));
    City city;
    SchedulingFixture::OwnerRow o;
    o.nome = QStringLiteral("MARIA");
    city.owner = SchedulingFixture::owner(c, o);
    city.animal = SchedulingFixture::animal(c, city.owner, QStringLiteral("REX"));
    return city;
}

int book(Connection &c, const City &city, int unit, const QDateTime &when, int professional = 0, int status = 1)
{
    const int id = SchedulingFixture::attendance(c, city.owner, city.animal, unit, when, status);
    if (professional > 0)
        run(c, QStringLiteral("insert into atendimento_profissional (Id_Profissional, Id_Atendimento) values (:p, :a)"),
            {{QStringLiteral("p"), professional}, {QStringLiteral("a"), id}});
    return id;
}

} // namespace

class TestAgendaReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Formats::install();
        Reports::setProductTitle(QStringLiteral("ZAPO - Controle de Zoonoses"));
    }

    void professionalAgendaSelectsTheChosenIdAndWholeDays_data() { addEngineRows(); }
    void professionalAgendaSelectsTheChosenIdAndWholeDays()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const City city = seed(c);
        for (int p : {7, 12, 123, 1, 40, 41})
            book(c, city, 7, at(2010, 3, 10, 9), p);
        book(c, city, 7, at(2010, 3, 31, 23, 59, 30), 12); // last second of the end day: in
        book(c, city, 7, at(2010, 4, 1, 0, 0, 0), 12);     // the day after: out
        book(c, city, 7, at(2010, 2, 28, 23, 59, 59), 12); // before the start: out

        RecordingPreview preview;
        RecordingMessages messages;
        for (int id : {7, 12, 123, 1}) {
            QPointer<SelAgendaProfissionalWindow> w = new SelAgendaProfissionalWindow;
            QVERIFY(w->profissional()->selectId(id));
            w->inicial()->setDate(QDate(2010, 3, 1));
            w->final_()->setDate(QDate(2010, 3, 31));
            w->findChild<QPushButton *>(QStringLiteral("btnVisualizar"))->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(w.isNull(), "the window closes after its preview");
            const ComposedReport &r = preview.last();
            QCOMPARE(named(r, QStringLiteral("profissional")).size(), 1);
            QCOMPARE(named(r, QStringLiteral("total_profissional")), QStringList{id == 12 ? QStringLiteral("2") : QStringLiteral("1")});
        }
        QCOMPARE(named(preview.last(), QStringLiteral("profissional")), QStringList{QStringLiteral("A - B")});

        // Every professional; the two of one name stay two groups.
        const ComposedReport all = Reports::compose(AgendaReports::professional(c, 0, QDate(2010, 3, 1), QDate(2010, 3, 31)));
        QCOMPARE(named(all, QStringLiteral("profissional")),
                 (QStringList{QStringLiteral("A - B"), QStringLiteral("CENTO"), QStringLiteral("DOZE"), QStringLiteral("HOMONIMO"),
                              QStringLiteral("HOMONIMO"), QStringLiteral("SETE")}));
        QCOMPARE(named(all, QStringLiteral("total_profissional")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("1"),
                              QStringLiteral("1")}));
        const QString ownerAnimal = QStringLiteral("%1 - MARIA / %2 - REX").arg(city.owner).arg(city.animal);
        QCOMPARE(named(all, QStringLiteral("proprietario_animal")).first(), ownerAnimal);
        QCOMPARE(named(all, QStringLiteral("periodo")).first(), QStringLiteral("De01/03/2010 à 31/03/2010"));
        QCOMPARE(named(all, QStringLiteral("codigo")).first(), QStringLiteral("Rel.:042"));
        savePng(all, QStringLiteral("rel040"), 3);
    }

    void dailyAgendaPrintsUnitsDaysPhonesAndBookers_data() { addEngineRows(); }
    void dailyAgendaPrintsUnitsDaysPhonesAndBookers()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        City city = seed(c);
        SchedulingFixture::OwnerRow mobile;
        mobile.nome = QStringLiteral("JOANA");
        mobile.residencial = QStringLiteral("(  )    -    ");
        mobile.celular = QStringLiteral("(11)98765-4321");
        City onlyMobile{SchedulingFixture::owner(c, mobile), 0};
        onlyMobile.animal = SchedulingFixture::animal(c, onlyMobile.owner, QStringLiteral("MIA"));
        SchedulingFixture::OwnerRow none;
        none.nome = QStringLiteral("SEM FONE");
        none.residencial.clear();
        City noPhone{SchedulingFixture::owner(c, none), 0};
        noPhone.animal = SchedulingFixture::animal(c, noPhone.owner, QStringLiteral("TOM"));

        book(c, city, 12, at(2020, 5, 4, 8));
        const int other = book(c, onlyMobile, 12, at(2020, 5, 4, 9));
        book(c, noPhone, 12, at(2020, 5, 5, 23, 59, 30)); // end day's last minute: in
        book(c, city, 12, at(2020, 5, 6, 0, 0, 0));        // the next day: out
        book(c, city, 7, at(2020, 5, 4, 10));
        book(c, city, 123, at(2020, 5, 4, 11));
        run(c, QStringLiteral("update atendimento set Inserido_Por = 7"));
        run(c, QStringLiteral("update atendimento set Inserido_Por = 99 where Id_Atendimento = :a"), {{QStringLiteral("a"), other}});

        const ComposedReport unit12 = Reports::compose(AgendaReports::daily(c, 12, QDate(2020, 5, 4), QDate(2020, 5, 5)));
        QCOMPARE(named(unit12, QStringLiteral("unidade")), QStringList{QStringLiteral("UNIDADE DOZE")});
        QCOMPARE(named(unit12, QStringLiteral("telefone")),
                 (QStringList{QStringLiteral("3333-4444..."), QStringLiteral(";98765-4321..."), QString()}));
        QCOMPARE(named(unit12, QStringLiteral("prof_marcou")),
                 (QStringList{QStringLiteral("ATENDENTE"), QStringLiteral("----"), QStringLiteral("ATENDENTE")}));
        QCOMPARE(named(unit12, QStringLiteral("hora")).last(), QStringLiteral("05/05/2020 23:59"));
        QCOMPARE(named(unit12, QStringLiteral("total_dia")), (QStringList{QStringLiteral("2"), QStringLiteral("1")}));
        QCOMPARE(named(unit12, QStringLiteral("total_unidade")), QStringList{QStringLiteral("3")});

        // Every unit: one page each, counts restarting.
        const ComposedReport all = Reports::compose(AgendaReports::daily(c, 0, QDate(2020, 5, 4), QDate(2020, 5, 5)));
        QCOMPARE(named(all, QStringLiteral("unidade")),
                 (QStringList{QStringLiteral("UNIDADE SETE"), QStringLiteral("UNIDADE DOZE"), QStringLiteral("UNIDADE 123")}));
        QCOMPARE(all.pageCount(), 3);
        QCOMPARE(named(all, QStringLiteral("total_unidade")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("1")}));
        QCOMPARE(named(all, QStringLiteral("total_dia")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("1")}));
        savePng(all, QStringLiteral("rel050"), 3);

        // Through the window: units 7, 12 and 123 select exactly themselves.
        RecordingPreview preview;
        RecordingMessages messages;
        for (int id : {7, 12, 123}) {
            QPointer<SelRelDataUnidadeWindow> w = new SelRelDataUnidadeWindow(50);
            QVERIFY(w->unidade()->selectId(id));
            w->inicio()->setDate(QDate(2020, 5, 4));
            w->fim()->setDate(QDate(2020, 5, 5));
            w->visualizar();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isNull());
            QCOMPARE(named(preview.last(), QStringLiteral("unidade")).size(), 1);
        }
        QCOMPARE(named(preview.last(), QStringLiteral("unidade")), QStringList{QStringLiteral("UNIDADE 123")});
        // Inactive units are not offered; a blank unit is refused.
        SelRelDataUnidadeWindow w(50);
        QVERIFY(!w.unidade()->selectId(9));
        QCOMPARE(w.unidade()->itemText(0), QStringLiteral("0 - Todos"));
        w.unidade()->setCurrentIndex(-1);
        const qsizetype before = preview.shown.size();
        w.visualizar();
        QCOMPARE(messages.last(), QStringLiteral("Falta selecionar a unidade!"));
        QCOMPARE(preview.shown.size(), before);
    }

    // Units named alike up to their end, a long owner name and a phone in
    // narrow columns: 040 and 050 print them whole (wrapped), so the units
    // read apart, and nothing on the pages is cut where its box ends.
    void longNamesPrintWhole_data() { addEngineRows(); }
    void longNamesPrintWhole()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        City city = seed(c);
        const QString norte = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO E BEM-ESTAR ANIMAL NORTE");
        const QString sul = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO E BEM-ESTAR ANIMAL SUL");
        run(c, QStringLiteral("update unidade_trabalho set Nome = :n where Id_Unidade_Trabalho = 7"), {{QStringLiteral("n"), norte}});
        run(c, QStringLiteral("update unidade_trabalho set Nome = :n where Id_Unidade_Trabalho = 12"), {{QStringLiteral("n"), sul}});
        SchedulingFixture::OwnerRow o;
        o.nome = QStringLiteral("MARIA APARECIDA DOS SANTOS DE OLIVEIRA");
        o.celular = QStringLiteral("(19)99876-5432");
        o.residencial.clear();
        City longName{SchedulingFixture::owner(c, o), 0};
        longName.animal = SchedulingFixture::animal(c, longName.owner, QStringLiteral("PRINCESA ISABEL DE BRAGANÇA"));
        book(c, longName, 7, at(2020, 5, 4, 8), 7);
        book(c, longName, 12, at(2020, 5, 4, 9), 7);

        const ComposedReport prof = Reports::compose(AgendaReports::professional(c, 7, QDate(2020, 5, 4), QDate(2020, 5, 4)));
        savePng(prof, QStringLiteral("rel040-nomes-longos"), 1);
        QCOMPARE(ReportTesting::joinedLines(prof, QStringLiteral("unidade")), (QStringList{norte, sul}));
        QCOMPARE(ReportTesting::cutTexts(prof), QStringList());

        const ComposedReport daily = Reports::compose(AgendaReports::daily(c, 0, QDate(2020, 5, 4), QDate(2020, 5, 4)));
        savePng(daily, QStringLiteral("rel050-nomes-longos"), 1);
        QCOMPARE(named(daily, QStringLiteral("unidade")), (QStringList{norte, sul}));
        const QString owner = QStringLiteral("%1 - MARIA APARECIDA DOS SANTOS DE OLIVEIRA").arg(longName.owner);
        QCOMPARE(ReportTesting::joinedLines(daily, QStringLiteral("proprietario")), (QStringList{owner, owner}));
        QCOMPARE(ReportTesting::joinedLines(daily, QStringLiteral("animal")).first(),
                 QStringLiteral("%1 - PRINCESA ISABEL DE BRAGANÇA").arg(longName.animal));
        QCOMPARE(ReportTesting::joinedLines(daily, QStringLiteral("telefone")).first().remove(QLatin1Char(' ')),
                 QStringLiteral(";99876-5432..."));
        QCOMPARE(ReportTesting::cutTexts(daily), QStringList());
    }

    void contactPhoneVariants()
    {
        QCOMPARE(AgendaReports::contactPhone(QStringLiteral("(11)3333-4444"), QStringLiteral("(11)98765-4321"), {}),
                 QStringLiteral("3333-4444..."));
        QCOMPARE(AgendaReports::contactPhone(QStringLiteral("(  )    -    "), {}, QStringLiteral("(21)2222-1111")),
                 QStringLiteral(";2222-1111..."));
        QCOMPARE(AgendaReports::contactPhone({}, QStringLiteral("(  )     -    "), {}), QString());
    }

    void monthlyReportTakesTheWholeMonthAndRefusesBadYears_data() { addEngineRows(); }
    void monthlyReportTakesTheWholeMonthAndRefusesBadYears()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const City city = seed(c);
        auto withProcedure = [&](int unit, const QDateTime &when, int prof, int tipo) {
            const int a = book(c, city, unit, when, prof);
            run(c, QStringLiteral("insert into procedimento (Id_Tipo_Procedimento, Id_Atendimento) values (:t, :a)"),
                {{QStringLiteral("t"), tipo}, {QStringLiteral("a"), a}});
        };
        withProcedure(12, at(2014, 2, 1, 0, 0, 0), 7, 13);
        withProcedure(12, at(2014, 2, 28, 23, 59, 59), 7, 13); // last second: in
        withProcedure(12, at(2014, 3, 1, 0, 0, 0), 7, 13);     // next month: out
        withProcedure(12, at(2014, 2, 10), 40, 13);
        withProcedure(12, at(2014, 2, 11), 41, 13);
        withProcedure(7, at(2014, 2, 12), 12, 13);
        withProcedure(123, at(2014, 2, 12), 123, 13);
        book(c, city, 12, at(2014, 2, 13), 7); // no procedure: not counted

        const ComposedReport r = Reports::compose(AgendaReports::monthly(c, 2014, 2, 12));
        QCOMPARE(named(r, QStringLiteral("profissional")),
                 (QStringList{QStringLiteral("HOMONIMO"), QStringLiteral("HOMONIMO"), QStringLiteral("SETE")}));
        QCOMPARE(named(r, QStringLiteral("total_profissional")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(named(r, QStringLiteral("procedimento")).first(), QStringLiteral("13 - MICROCHIPAGEM"));
        QCOMPARE(named(r, QStringLiteral("mes_ano")).first(), QStringLiteral("Mês/Ano agenda : 02/2014"));
        savePng(r, QStringLiteral("rel051"), 3);

        const ComposedReport all = Reports::compose(AgendaReports::monthly(c, 2014, 2, 0));
        QCOMPARE(all.pageCount(), 3);
        QCOMPARE(named(all, QStringLiteral("unidade")).size(), 3);

        // A year that is not four digits: the message, then the header only.
        QVERIFY(!AgendaReports::yearOf(QStringLiteral("20a4")));
        QCOMPARE(*AgendaReports::yearOf(QStringLiteral(" 2014 ")), 2014);
        RecordingPreview preview;
        RecordingMessages messages;
        QPointer<SelRelAgendaMensalWindow> w = new SelRelAgendaMensalWindow;
        QCOMPARE(w->ano()->itemText(0), QStringLiteral("2005"));
        QCOMPARE(w->ano()->itemText(w->ano()->count() - 1), QString::number(QDate::currentDate().year()));
        QCOMPARE(w->mes()->itemText(2), QStringLiteral("03 - Março"));
        w->ano()->setEditText(QStringLiteral("20a4"));
        w->mes()->setCurrentIndex(1);
        QVERIFY(w->unidade()->selectId(12));
        w->gerar();
        QCOMPARE(messages.last(),
                 QStringLiteral("O relatório não pode ser construído, entre em contato com o administrador do sistema."));
        QCOMPARE(preview.shown.size(), 1);
        QVERIFY(named(preview.last(), QStringLiteral("profissional")).isEmpty());
        QCOMPARE(named(preview.last(), QStringLiteral("titulo")), QStringList{QStringLiteral("Relatório Mensal")});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());

        // Unit 12 chosen through the window counts unit 12 only.
        messages.clear();
        QPointer<SelRelAgendaMensalWindow> w2 = new SelRelAgendaMensalWindow;
        w2->ano()->setEditText(QStringLiteral("2014"));
        w2->mes()->setCurrentIndex(1);
        QVERIFY(w2->unidade()->selectId(12));
        w2->gerar();
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(named(preview.last(), QStringLiteral("total_profissional")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2")}));
    }

    // The windows open on the current period; a period without rows says so
    // instead of showing an empty page; the annual agenda takes a year.
    void windowsOpenOnTodayAndSayWhenNothingIsFound_data() { addEngineRows(); }
    void windowsOpenOnTodayAndSayWhenNothingIsFound()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const City city = seed(c);
        const QDate today = QDate::currentDate();
        const QDate first(today.year(), today.month(), 1), last(today.year(), today.month(), today.daysInMonth());
        RecordingPreview preview;
        RecordingMessages messages;

        SelAgendaProfissionalWindow prof;
        QCOMPARE(prof.inicial()->date(), first);
        QCOMPARE(prof.final_()->date(), last);
        SelRelDataUnidadeWindow daily(50);
        QCOMPARE(daily.inicio()->date(), first);
        QCOMPARE(daily.fim()->date(), last);
        // The animal reports count from the first registration to today.
        run(c, QStringLiteral("update animal set Inserido_Em = :d"), {{QStringLiteral("d"), at(2003, 4, 5)}});
        for (int mode : {AgendaWindows::Consolidado, AgendaWindows::Microchipado}) {
            SelRelDataUnidadeWindow w(mode);
            QCOMPARE(w.inicio()->date(), QDate(2003, 4, 5));
            QCOMPARE(w.fim()->date(), today);
        }

        // Nothing this month: told, nothing previewed, the window stays.
        QVERIFY(prof.profissional()->selectId(7));
        prof.visualizar();
        QCOMPARE(messages.last(), QStringLiteral("Nenhum registro encontrado para o período escolhido."));
        QVERIFY(preview.shown.isEmpty());
        QVERIFY(daily.unidade()->selectId(7));
        daily.visualizar();
        QCOMPARE(messages.last(), QStringLiteral("Nenhum registro encontrado para o período escolhido."));
        QVERIFY(preview.shown.isEmpty());

        // The annual agenda: this year first chosen, one year's rows.
        book(c, city, 7, at(2015, 6, 1));
        book(c, city, 7, QDateTime(today, QTime(9, 0)));
        book(c, city, 12, QDateTime(today, QTime(10, 0)));
        {
            QPointer<SelRelAgendaAnualWindow> w = new SelRelAgendaAnualWindow;
            QCOMPARE(w->ano()->currentText(), QString::number(today.year()));
            w->gerar();
            QCOMPARE(preview.shown.size(), 1);
            QCOMPARE(named(preview.last(), QStringLiteral("atendimento")).size(), 2);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isNull());
        }
        {
            auto *w = new SelRelAgendaAnualWindow; // frees itself once shown
            w->ano()->setCurrentIndex(w->ano()->findText(QStringLiteral("2015")));
            w->gerar();
            QCOMPARE(named(preview.last(), QStringLiteral("atendimento")).size(), 1);
        }
        {
            SelRelAgendaAnualWindow w;
            w.ano()->setCurrentIndex(w.ano()->findText(QStringLiteral("2010")));
            messages.clear();
            const qsizetype before = preview.shown.size();
            w.gerar();
            QCOMPARE(messages.last(), QStringLiteral("Nenhum registro encontrado para o período escolhido."));
            QCOMPARE(preview.shown.size(), before);
        }

        // The book hands its day and unit to the next daily window only.
        SelRelDataUnidadeWindow::presetNextDaily(12, QDate(2020, 5, 4));
        SelRelDataUnidadeWindow fromBook(50);
        QCOMPARE(fromBook.inicio()->date(), QDate(2020, 5, 4));
        QCOMPARE(fromBook.fim()->date(), QDate(2020, 5, 4));
        QCOMPARE(fromBook.unidade()->currentId().toInt(), 12);
        SelRelDataUnidadeWindow next(50);
        QCOMPARE(next.inicio()->date(), first);
    }

    void annualAgendaGroupsUnitsAndStatuses_data() { addEngineRows(); }
    void annualAgendaGroupsUnitsAndStatuses()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const City city = seed(c);
        book(c, city, 12, at(2001, 1, 1), 0, 1);
        book(c, city, 12, at(2030, 1, 1), 0, 2);
        book(c, city, 12, at(2015, 6, 1), 0, 1);
        book(c, city, 7, at(2015, 6, 1), 0, 2);
        const ComposedReport r = Reports::compose(AgendaReports::annual(c));
        QCOMPARE(r.pageCount(), 2);
        QCOMPARE(named(r, QStringLiteral("status")),
                 (QStringList{QStringLiteral("REALIZADO"), QStringLiteral("AGENDADO"), QStringLiteral("REALIZADO")}));
        QCOMPARE(named(r, QStringLiteral("total_status")),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")}));
        QCOMPARE(named(r, QStringLiteral("total_unidade")), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
        QCOMPARE(named(r, QStringLiteral("unidade")), (QStringList{QStringLiteral("UNIDADE SETE"), QStringLiteral("UNIDADE DOZE")}));
        savePng(r, QStringLiteral("rel052"), 3);
    }
};

QTEST_MAIN(TestAgendaReports)
#include "tst_agendareports.moc"
