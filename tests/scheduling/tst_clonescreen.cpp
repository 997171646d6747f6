// Cloning a model slot over a month, and the month summary window.
#include "SlotFixture.h"
#include "db/DbError.h"
#include "db/ServerClock.h"
#include "scheduling/Holidays.h"
#include "scheduling/MapaDisponibilidadeCloneScreen.h"
#include "scheduling/MapaDisponibilidadeInformacaoScreen.h"
#include "scheduling/MapaDisponibilidadeScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"
#include "ui/LongWork.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace SlotFixture;

namespace {

// The month offset, from the server's month, of the first month after it
// that satisfies `want`.
int offsetTo(Connection &c, const std::function<bool(const QDate &first)> &want)
{
    const QDate now = serverNow(c).date();
    const QDate first(now.year(), now.month(), 1);
    for (int i = 1; i < 200; ++i)
        if (want(first.addMonths(i)))
            return i;
    return 0;
}

Slot model(Connection &c)
{
    addSlot(c, 1, 1, QDateTime(QDate(2016, 3, 10), QTime(8, 30)), 4, 0, 1, 2, 0);
    return *SlotStore(c).read(1);
}

} // namespace

class TestCloneScreen : public QObject {
    Q_OBJECT
private slots:
    void monthGrid_data() { addEngineRows(); }
    void monthGrid()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        const Slot m = model(c);
        MapaDisponibilidadeCloneScreen::setMonthOffset(offsetTo(c, [](const QDate &d) { return d.dayOfWeek() == 3; }));
        {
            MapaDisponibilidadeCloneScreen w(c, m);
            QTableWidget *g = w.days();
            QCOMPARE(g->item(0, 0)->text(), QStringLiteral("Domingo"));
            QCOMPARE(g->item(0, 6)->text(), QStringLiteral("Sábado"));
            QCOMPARE(g->item(1, 3)->text(), QStringLiteral("1"));
            QVERIFY(!g->item(1, 2) || g->item(1, 2)->text().isEmpty());
            QCOMPARE(child<QLabel>(&w, "lblMes")->text(), cloneMonthName(w.firstDay().month()));
            // Weekdays only, Monday to Friday.
            child<QCheckBox>(&w, "chkSegundaSexta")->click();
            const QList<QDate> days = w.selectedDays();
            QVERIFY(!days.isEmpty());
            for (const QDate &d : days)
                QVERIFY(d.dayOfWeek() <= 5);
            int weekdays = 0;
            for (QDate d = w.firstDay(); d.month() == w.firstDay().month(); d = d.addDays(1))
                weekdays += d.dayOfWeek() <= 5;
            QCOMPARE(days.size(), weekdays);
            QCOMPARE(g->item(1, 3)->text(), QStringLiteral("1 (08:30)"));
            shot(&w, "clonagem");
            // A click unselects a day; another selects it with the hour.
            w.toggleCell(1, 3);
            QCOMPARE(g->item(1, 3)->text(), QStringLiteral("1"));
            w.toggleCell(1, 3);
            QCOMPARE(g->item(1, 3)->text(), QStringLiteral("1  08:30"));
        }
        // A 31-day month that starts on a Saturday reaches row 6; the offset
        // outlives the window.
        MapaDisponibilidadeCloneScreen::setMonthOffset(
            offsetTo(c, [](const QDate &d) { return d.dayOfWeek() == 6 && d.daysInMonth() == 31; }));
        const int kept = MapaDisponibilidadeCloneScreen::monthOffset();
        MapaDisponibilidadeCloneScreen w(c, m);
        QCOMPARE(w.days()->item(6, 1)->text(), QStringLiteral("31"));
        child<QPushButton>(&w, "bmpMesSeguinte")->click();
        QCOMPARE(MapaDisponibilidadeCloneScreen::monthOffset(), kept + 1);
        MapaDisponibilidadeCloneScreen::setMonthOffset(0);
    }

    void generating_data() { addEngineRows(); }
    void generating()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        RecordingMessages msg;
        const Slot m = model(c);
        // A month whose 1st and 10th are no holidays.
        MapaDisponibilidadeCloneScreen::setMonthOffset(offsetTo(c, [](const QDate &d) { return d.month() == 7 || d.month() == 8; }));
        MapaDisponibilidadeCloneScreen w(c, m);
        // Day 10 of the month, wherever it stands.
        for (int r = 1; r < 7; ++r)
            for (int col = 0; col < 7; ++col)
                if (w.days()->item(r, col) && w.days()->item(r, col)->text() == QLatin1String("10"))
                    w.toggleCell(r, col);
        const QDate day = w.firstDay().addDays(9);
        QCOMPARE(w.selectedDays(), QList<QDate>{day});

        // A failed statement, or a cancel, leaves nothing.
        Sql::setObserver([](const QString &sql, const QVariantMap &) {
            if (sql.startsWith(QStringLiteral("insert into mapa_disponibilidade_agenda")))
                throw DbError(QStringLiteral("falha simulada"));
        });
        child<QPushButton>(&w, "bmpGerar")->click();
        Sql::setObserver({});
        QCOMPARE(msg.last(), QStringLiteral("Erro ao tentar gravar."));
        QCOMPARE(count(c), 1);
        const qint64 before = LongWork::setCancelAtStepForTests(1);
        w.gerar();
        LongWork::setCancelAtStepForTests(before);
        QCOMPARE(count(c), 1);

        // Every unit but the central one, the one numbered 120 included.
        w.gerar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso."));
        QVERIFY(w.generated());
        QCOMPARE(count(c, QStringLiteral("Data_hora_disponibilidade = :d"), {{"d", QDateTime(day, QTime(8, 30))}}), 3);
        QCOMPARE(count(c, QStringLiteral("Id_unidade_trabalho in (1, 15, 120) and Qt_vaga_usada_geral = 0 and "
                                         "Id_Mapa_disponibilidade_agenda > 1")), 3);
        QCOMPARE(count(c, QStringLiteral("Id_unidade_trabalho = 99")), 0);
        // Again: nothing doubled, and the clerk is told.
        w.gerar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso.\r3 horário(s) já cadastrado(s) não foram clonados."));
        QCOMPARE(count(c), 4);

        // One unit chosen: its id travels as item data, 120 as well.
        QVERIFY(child<IdNameCombo>(&w, "cbbUnidades")->selectId(120));
        w.toggleCell(1, w.firstDay().dayOfWeek() % 7); // day 1
        w.gerar();
        QCOMPARE(count(c, QStringLiteral("Id_unidade_trabalho = 120")), 2);
        QCOMPARE(count(c), 5);
        MapaDisponibilidadeCloneScreen::setMonthOffset(0);
    }

    // A month of weekdays for every unit: holidays left out and named in the
    // question (national, from Easter, Carnival, and the city's own), kept
    // in with "Incluir feriados"; the whole month goes as one statement.
    void holidaysLeftOut_data() { addEngineRows(); }
    void holidaysLeftOut()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        RecordingMessages msg;
        const Slot m = model(c);
        // February of a year after the server's: Carnival falls in it when
        // Easter is from 3 April on; the city keeps a holiday on the 5th.
        const int offset = offsetTo(c, [](const QDate &d) {
            return d.month() == 2 && Holidays::easter(d.year()).addDays(-48).month() == 2;
        });
        MapaDisponibilidadeCloneScreen::setMonthOffset(offset);
        Sql::exec(c, QStringLiteral("insert into feriado_municipal (Id_Feriado_Municipal, Data_Feriado, Descricao, Ind_Anual, "
                                    "Ind_Status) values (1, :d, 'ANIVERSARIO DA CIDADE', 'SIM', 'ATIVO')"),
                  {{QStringLiteral("d"), QDateTime(QDate(2001, 2, 5), QTime(0, 0))}});
        MapaDisponibilidadeCloneScreen w(c, m);
        const int year = w.firstDay().year();
        const QDate carnival = Holidays::easter(year).addDays(-48);
        const QDate city(year, 2, 5);
        child<QCheckBox>(&w, "chkSegundaSexta")->click();
        const QList<QDate> chosen = w.selectedDays();
        QList<QDate> off{carnival, carnival.addDays(1)};
        if (city.dayOfWeek() <= 5 && !off.contains(city))
            off << city;
        msg.answers = {false};
        w.gerar();
        QVERIFY(msg.last().contains(carnival.toString(QStringLiteral("dd/MM")) + QStringLiteral(" (segunda-feira) Carnaval")));
        QVERIFY(msg.last().contains(QStringLiteral("ponto facultativo")));
        if (city.dayOfWeek() <= 5)
            QVERIFY(msg.last().contains(QStringLiteral("ANIVERSARIO DA CIDADE")));
        QCOMPARE(count(c), 1); // declined: nothing written

        msg.answers = {true};
        w.gerar();
        const int units = 3;
        QCOMPARE(count(c), 1 + units * int(chosen.size() - off.size()));
        for (const QDate &d : off)
            QCOMPARE(count(c, QStringLiteral("Data_hora_disponibilidade = :d"), {{"d", QDateTime(d, QTime(8, 30))}}), 0);

        // Kept in when asked: only the holidays are new now.
        child<QCheckBox>(&w, "chkIncluirFeriados")->setChecked(true);
        const int questions = msg.shown.size();
        w.gerar();
        QCOMPARE(msg.shown.size(), questions + 1); // the result alone, no question
        QCOMPARE(count(c), 1 + units * int(chosen.size()));
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso.\r%1 horário(s) já cadastrado(s) não foram clonados.")
                                 .arg(units * (chosen.size() - off.size())));
        MapaDisponibilidadeCloneScreen::setMonthOffset(0);
    }

    void holidayCalendar()
    {
        QCOMPARE(Holidays::easter(2024), QDate(2024, 3, 31));
        QCOMPARE(Holidays::easter(2025), QDate(2025, 4, 20));
        QCOMPARE(Holidays::easter(2026), QDate(2026, 4, 5));
        QCOMPARE(Holidays::easter(2038), QDate(2038, 4, 25));
        QMap<QDate, QString> y;
        for (const Holidays::Day &d : Holidays::national(2026))
            y.insert(d.date, d.name);
        QCOMPARE(y.value(QDate(2026, 4, 3)), QStringLiteral("Sexta-feira Santa"));
        QCOMPARE(y.value(QDate(2026, 6, 4)), QStringLiteral("Corpus Christi"));
        QCOMPARE(y.value(QDate(2026, 2, 16)), QStringLiteral("Carnaval (segunda-feira)"));
        QCOMPARE(y.value(QDate(2026, 2, 17)), QStringLiteral("Carnaval (terça-feira)"));
        QVERIFY(y.contains(QDate(2026, 1, 1)) && y.contains(QDate(2026, 11, 20)) && y.contains(QDate(2026, 12, 25)));
        QCOMPARE(y.size(), 13);
        QVERIFY(!y.contains(QDate(2026, 2, 18))); // Ash Wednesday is a working day
    }

    void mapOpensCloningOnlyWithASlot_data() { addEngineRows(); }
    void mapOpensCloningOnlyWithASlot()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        RecordingMessages msg;
        MapaDisponibilidadeScreen s(t->main());
        s.showDay(QDate(2016, 3, 10));
        child<QPushButton>(&s, "bmpClonar")->click();
        QCOMPARE(msg.last(), QStringLiteral("É preciso ter um agenda cadastrada para poder clonar."));
    }

    void monthSummaryWindow_data() { addEngineRows(); }
    void monthSummaryWindow()
    {
        ZAPO_TEST_DB(t);
        fill(t->dm());
        Connection &c = t->main();
        const QDate today = serverNow(c).date();
        addSlot(c, 1, 15, QDateTime(today, QTime(8, 0)), 3, 0, 1, 1, 0, 4001);
        auto *w = new MapaDisponibilidadeInformacaoScreen(c);
        QCOMPARE(w->windowTitle(), QStringLiteral("Informação do mês"));
        QVERIFY(w->text().contains(QStringLiteral("==============UNIDADE LESTE=============")));
        shot(w, "informacao_mes");
        QVERIFY(w->text().contains(QStringLiteral("08:00Hs  4001 - ALTO DA SERRA, vagas geral:3")));
        delete w;
    }
};

QTEST_MAIN(TestCloneScreen)
#include "tst_clonescreen.moc"
