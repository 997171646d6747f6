// The appointment book: epidemiological weeks by date, the weekly board's
// rows and days, the periods of the grid and the searches, on both engines.
#include "SchedulingFixture.h"
#include "scheduling/AgendaLocalizarPropWindow.h"
#include "scheduling/AgendaScreen.h"
#include "scheduling/AgendaStore.h"
#include "scheduling/InformacaoAgendaDialog.h"
#include "scheduling/MapaDisponibilidadeScreen.h"
#include "scheduling/WeekNumberColumn.h"
#include "ui/SearchResultModel.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "ui/register/PagedQueryModel.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace SchedulingFixture;

namespace {
void choosePeriod(QWidget *screen, const QString &caption)
{
    for (QRadioButton *r : screen->findChildren<QRadioButton *>())
        if (r->text() == caption)
            r->setChecked(true);
}
} // namespace

class TestAgenda : public QObject {
    Q_OBJECT
private slots:
    void weeks_data() { addEngineRows(); }
    void weeks();
    void boardRows();
    void board_data() { addEngineRows(); }
    void board();
    void monthOnScreen_data() { addEngineRows(); }
    void monthOnScreen();
    void search_data() { addEngineRows(); }
    void search();
    void epidemiologicalWeekInBothCalendars_data() { addEngineRows(); }
    void epidemiologicalWeekInBothCalendars();
};

// 6-12 December 2026 is ISO week 50 and epidemiological week 49: the book's
// weekly board and the availability map both show 49, and say which count
// it is.
void TestAgenda::epidemiologicalWeekInBothCalendars()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    QCOMPARE(QDate(2026, 12, 7).weekNumber(), 50);
    AgendaScreen book;
    MapaDisponibilidadeScreen map(c);
    map.showDay(QDate(2026, 12, 10));
    for (QWidget *screen : {static_cast<QWidget *>(&book), static_cast<QWidget *>(&map)}) {
        auto *numbers = screen->findChild<WeekNumberColumn *>();
        QVERIFY(numbers);
        auto *label = screen->findChild<QLabel *>(QStringLiteral("lblSemanaEpidemiologica"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Semana epidemiológica"));
        const QList<QCalendarWidget *> cals = screen->findChildren<QCalendarWidget *>();
        for (QCalendarWidget *cal : cals)
            if (cal->parentWidget() == numbers->parentWidget()) {
                QCOMPARE(cal->verticalHeaderFormat(), QCalendarWidget::NoVerticalHeader);
                QCOMPARE(cal->firstDayOfWeek(), Qt::Sunday);
                cal->setCurrentPage(2026, 12);
            }
        // Rows from 29/11: weeks 48, 49, 50, ...
        QCOMPARE(numbers->numbers().mid(0, 3), QStringList({"48", "49", "50"}));
    }
}

void TestAgenda::weeks()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    // By date alone: the last day of 2023 is in week 1 of 2024, and the
    // second of January 2026 in week 53 of 2025.
    auto w = Agenda::weekOf(c, QDate(2023, 12, 31));
    QVERIFY(w);
    QCOMPARE(w->year, 2024);
    QCOMPARE(w->number, 1);
    w = Agenda::weekOf(c, QDate(2026, 1, 2));
    QVERIFY(w);
    QCOMPARE(w->year, 2025);
    QCOMPARE(w->number, 53);
    // A Saturday is the week's last day, whatever the hour the user looks.
    w = Agenda::weekOf(c, QDateTime(QDate(2026, 1, 10), QTime(15, 0)).date());
    QVERIFY(w);
    QCOMPARE(w->first, QDate(2026, 1, 4));
    QCOMPARE(w->last, QDate(2026, 1, 10));
    QVERIFY(!Agenda::weekOf(c, QDate(1999, 6, 1)));

    QCOMPARE(Agenda::boardTitles(QDate(2016, 1, 3)),
             QStringList({QStringLiteral("Segunda 04/01/2016"), QStringLiteral("Terça 05/01/2016"),
                          QStringLiteral("Quarta 06/01/2016"), QStringLiteral("Quinta 07/01/2016"),
                          QStringLiteral("Sexta 08/01/2016"), QStringLiteral("Sabado 09/01/2016"),
                          QStringLiteral("Domingo 10/01/2016")}));

    // The calendar's week numbers are the table's: ISO would put 05/01/2026
    // in week 2.
    QCalendarWidget cal;
    cal.setFirstDayOfWeek(Qt::Sunday);
    cal.setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    cal.setCurrentPage(2026, 1);
    WeekNumberColumn numbers(&cal, &c);
    QCOMPARE(numbers.numbers(), QStringList({"53", "1", "2", "3", "4", "5"}));
    QCOMPARE(QDate(2026, 1, 5).weekNumber(), 2);
    cal.setCurrentPage(2026, 2); // 1 Feb 2026 is a Sunday: the row before it is shown first
    QCOMPARE(numbers.numbers().first(), QStringLiteral("4"));
}

void TestAgenda::boardRows()
{
    QCOMPARE(Agenda::boardTimes().size(), 23);
    QVERIFY(!Agenda::boardTimes().contains(QStringLiteral("14:30")));
    QCOMPARE(Agenda::boardRow(QTime(6, 59)), -1);
    QCOMPARE(Agenda::boardTimes().at(Agenda::boardRow(QTime(14, 45))), QStringLiteral("14:00"));
    QCOMPARE(Agenda::boardTimes().at(Agenda::boardRow(QTime(15, 10))), QStringLiteral("14:00"));
    QCOMPARE(Agenda::boardTimes().at(Agenda::boardRow(QTime(15, 30))), QStringLiteral("15:30"));
    QCOMPARE(Agenda::boardTimes().at(Agenda::boardRow(QTime(16, 0))), QStringLiteral("15:30"));
    QCOMPARE(Agenda::boardTimes().at(Agenda::boardRow(QTime(23, 10))), QStringLiteral("19:30"));
}

void TestAgenda::board()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    const int p = owner(c, QStringLiteral("MARIA"));
    const int a = animal(c, p, QStringLiteral("MEL"));
    // Week 2/2026: Sunday 11 to Saturday 17 January.
    const QDate sunday(2026, 1, 11), tuesday(2026, 1, 13), wednesday(2026, 1, 14);
    for (const QTime &t : {QTime(14, 45), QTime(15, 10), QTime(15, 30)})
        attendance(c, p, a, 1, QDateTime(tuesday, t));
    attendance(c, p, a, 1, QDateTime(sunday, QTime(9, 0)));      // Sunday: week total only
    attendance(c, p, a, 1, QDateTime(wednesday, QTime(6, 30))); // before the first row
    attendance(c, p, a, 1, QDateTime(wednesday, QTime(20, 0))); // the last row takes it
    attendance(c, p, a, 1, QDateTime(wednesday, QTime(19, 45)));
    attendance(c, p, a, 2, QDateTime(tuesday, QTime(8, 0)));     // another unit
    attendance(c, p, a, 1, QDateTime(QDate(2026, 1, 18), QTime(0, 0))); // next week

    const auto w = Agenda::weekOf(c, tuesday);
    QVERIFY(w);
    Agenda::Board b = Agenda::readBoard(c, *w, {1, {}});
    const int r1400 = int(Agenda::boardTimes().indexOf(QStringLiteral("14:00")));
    const int r1530 = int(Agenda::boardTimes().indexOf(QStringLiteral("15:30")));
    const int r1930 = int(Agenda::boardTimes().indexOf(QStringLiteral("19:30")));
    QCOMPARE(b.counts[r1400][1], 2);
    QCOMPARE(b.counts[r1530][1], 1);
    QCOMPARE(b.counts[r1930][2], 2);
    QCOMPARE(b.weekTotal, 7);
    int counted = 0;
    for (const auto &row : b.counts)
        for (int n : row)
            counted += n;
    QCOMPARE(counted, 5);
    QCOMPARE(b.titles.first(), QStringLiteral("Segunda 12/01/2026"));
    // Every unit, and status 2 alone.
    QCOMPARE(Agenda::readBoard(c, *w, {}).weekTotal, 8);
    QCOMPARE(Agenda::readBoard(c, *w, {{}, 2}).weekTotal, 0);

    // A week across New Year counts both sides.
    attendance(c, p, a, 1, QDateTime(QDate(2025, 12, 30), QTime(10, 0)));
    attendance(c, p, a, 1, QDateTime(QDate(2026, 1, 2), QTime(10, 0)));
    const auto ny = Agenda::weekOf(c, QDate(2026, 1, 1));
    QVERIFY(ny);
    b = Agenda::readBoard(c, *ny, {1, {}});
    QCOMPARE(b.weekTotal, 2);
    const int r1000 = int(Agenda::boardTimes().indexOf(QStringLiteral("10:00")));
    QCOMPARE(b.counts[r1000][1], 1); // Tuesday 30/12
    QCOMPARE(b.counts[r1000][4], 1); // Friday 02/01
}

void TestAgenda::monthOnScreen()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    const int p = owner(c, QStringLiteral("ANA"));
    const int a = animal(c, p, QStringLiteral("TOBY"));
    OwnerRow gone;
    gone.nome = QStringLiteral("INATIVA");
    gone.status = QStringLiteral("INATIVO");
    const int q = owner(c, gone);
    const int b = animal(c, q, QStringLiteral("REX"));
    attendance(c, p, a, 1, QDateTime(QDate(2026, 3, 1), QTime(0, 0)));
    attendance(c, p, a, 1, QDateTime(QDate(2026, 3, 31), QTime(23, 59, 59)));
    attendance(c, p, a, 1, QDateTime(QDate(2026, 4, 1), QTime(0, 0)));
    attendance(c, q, b, 1, QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
    attendance(c, p, a, 2, QDateTime(QDate(2026, 3, 11), QTime(9, 0)));
    // An owner no longer on record: not an active owner's attendance, but
    // still shown alone when found by its code.
    const int orphan = attendance(c, 999999, a, 1, QDateTime(QDate(2026, 3, 12), QTime(9, 0)));

    RecordingMessages msgs;
    AgendaScreen s;
    s.setDate(QDate(2026, 3, 15));
    choosePeriod(&s, QStringLiteral("Mês"));
    QCOMPARE(s.period(), Agenda::Period::Mes);
    s.refresh();
    QCOMPARE(s.gridModel()->rowCount(), 3); // both units, active owner, the month's first and last second
    QVERIFY2(s.statusBar()->currentMessage().startsWith(QStringLiteral("Total registro do mês :3")),
             qPrintable(s.statusBar()->currentMessage()));

    // The unit lookups are twins.
    auto *unit = s.findChild<IdNameCombo *>(QStringLiteral("dblUnidadeTrabalho"));
    auto *twin = s.findChild<IdNameCombo *>(QStringLiteral("dblUnidadeSemanal"));
    QVERIFY(unit->selectId(1));
    QCOMPARE(twin->currentId().toInt(), 1);
    s.refresh();
    QCOMPARE(s.gridModel()->rowCount(), 2);
    QVERIFY(msgs.shown.isEmpty());
    // Found by its code, the attendance without an owner on record is
    // counted (the period's count joins the owner; this one does not).
    s.showAttendance(orphan);
    QCOMPARE(s.gridModel()->rowCount(), 1);
    QCOMPARE(s.gridModel()->key(0).toInt(), orphan);
    s.refresh();
    QCOMPARE(s.gridModel()->rowCount(), 2);
    s.resize(1100, 700);
    shot(&s, "agenda_principal");
    s.tabs()->setCurrentIndex(1);
    shot(&s, "agenda_semanal");
    s.tabs()->setCurrentIndex(0);

    // A day without attendances says so.
    s.setDate(QDate(2026, 3, 16));
    choosePeriod(&s, QStringLiteral("Dia"));
    s.refresh();
    QCOMPARE(msgs.last(), QStringLiteral("Nenhum registro encontrado."));
    QVERIFY(s.statusBar()->currentMessage().startsWith(QStringLiteral("Total registro do dia :0")));

    // The summary of the month.
    choosePeriod(&s, QStringLiteral("Mês"));
    s.refresh();
    QString summary;
    InformacaoAgendaDialog::setPresenterForTests([&](const QString &t) { summary = t; });
    s.showInformation();
    InformacaoAgendaDialog::setPresenterForTests({});
    QVERIFY2(summary.startsWith(QStringLiteral("Dados do mês 03/2026")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("___________________  CCZ CENTRO  ___________________")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("AGENDADO : 2")), qPrintable(summary));

    // Outside every registered week: no reload, the status-bar warning.
    msgs.clear();
    s.setDate(QDate(2090, 1, 1));
    s.refresh();
    QCOMPARE(msgs.last(), QStringLiteral("Semana epidemiológica não cadastrada, entre em contato com o administrador do sistema!"));
    QVERIFY(s.statusBar()->currentMessage().startsWith(QStringLiteral("Erro ao tentar preencher a agenda.")));
}

void TestAgenda::search()
{
    ZAPO_TEST_DB(db);
    Connection &c = db->main();
    fill(c);
    OwnerRow o;
    o.nome = QStringLiteral("JOSÉ D'ÁVILA");
    o.cpf = QStringLiteral("12345678909");
    o.ci = QStringLiteral("224466");
    const int p = owner(c, o);
    const int a = animal(c, p, QStringLiteral("PIPOCA"), QStringLiteral("986 000 001 234"));
    const int other = owner(c, QStringLiteral("JOSEFA"));
    const int b = animal(c, other, QStringLiteral("NINA"), QStringLiteral("986000999"));
    const int k1 = attendance(c, p, a, 1, QDateTime(QDate(2026, 2, 2), QTime(9, 0)));
    attendance(c, other, b, 1, QDateTime(QDate(2026, 2, 3), QTime(9, 0)));

    auto ids = [&](const QString &caption, const QString &text) {
        QList<int> out;
        const auto q = Agenda::search(c, caption, text);
        if (!q)
            return QList<int>{-1};
        SearchResultModel m({{QStringLiteral("Nº Atendimento"), QStringLiteral("id_atendimento")}});
        m.setQuery(c, q);
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.field(r, QStringLiteral("id_atendimento")).toInt();
        return out;
    };
    QCOMPARE(ids(QStringLiteral("Nome Propriet."), QStringLiteral("d'avila")), QList<int>{});
    QCOMPARE(ids(QStringLiteral("Nome Propriet."), QStringLiteral("jose d'á")), QList<int>{k1});
    QCOMPARE(ids(QStringLiteral("Nome Propriet."), QStringLiteral("JOSE")).size(), 2);
    QCOMPARE(ids(QStringLiteral("CPF/CNPJ"), QStringLiteral("123.456.789-09")), QList<int>{k1});
    QCOMPARE(ids(QStringLiteral("Identidade"), QStringLiteral("22.446-6")), QList<int>{k1});
    QCOMPARE(ids(QStringLiteral("Microchip"), QStringLiteral("9860 0000 1")), QList<int>{k1});
    QCOMPARE(ids(QStringLiteral("Microchip"), QStringLiteral("986 000")).size(), 2);
    QCOMPARE(ids(QStringLiteral("Código atendimento"), QString::number(k1)), QList<int>{k1});
    QCOMPARE(ids(QStringLiteral("Cód. Animal"), QString::number(b)).size(), 1);
    QCOMPARE(ids(QStringLiteral("Código atendimento"), QStringLiteral("12a")), QList<int>{-1});

    // Through the window: the messages, and "&OK" showing the one attendance.
    RecordingMessages msgs;
    AgendaScreen book;
    auto *w = new AgendaLocalizarPropWindow(&book, [&](int id) { book.showAttendance(id); });
    w->show();
    w->selection()->setCurrentText(QStringLiteral("Código atendimento"));
    w->textEdit()->setText(QStringLiteral("x1"));
    w->pesquisar();
    QCOMPARE(msgs.last(), QStringLiteral("Um erro ocorreu durante a execução da consulta, verifique o texto digitado!"));
    w->selection()->setCurrentText(QStringLiteral("Nome animal"));
    w->textEdit()->setText(QStringLiteral("zzz"));
    w->pesquisar();
    QCOMPARE(msgs.last(), QStringLiteral("Nenhum atendimento encontrado na pesquisa: Nome animal = zzz"));
    w->selection()->setCurrentIndex(w->selection()->count() - 1);
    w->pesquisar();
    QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o campo de pesquisa ou digitar o texto a ser localizado."));
    w->selection()->setCurrentText(QStringLiteral("Nome animal"));
    w->textEdit()->setText(QStringLiteral("pipo"));
    w->pesquisar();
    QCOMPARE(w->model()->rowCount(), 1);
    QTest::keyClick(w->grid(), Qt::Key_Return);
    QCOMPARE(book.gridModel()->rowCount(), 1);
    QCOMPARE(book.gridModel()->key(0).toInt(), k1);
}

QTEST_MAIN(TestAgenda)
#include "tst_agenda.moc"
