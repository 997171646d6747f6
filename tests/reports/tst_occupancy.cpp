// Report 053: the occupancy figures per unit and month equal direct counts
// of the slots and attendances (month edges included), the report prints
// them with each unit's totals and charts and the programme's line, the
// exports carry them, and the selection window checks the period.
#include "db/DataModule.h"
#include "db/Sql.h"
#include "reports/OccupancyReport.h"
#include "reports/OccupancyWindow.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportExport.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QTest>

namespace {

QDateTime at(int y, int m, int d, int h = 8, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

int slotKey = 0;
void addSlot(Connection &c, int unit, const QDateTime &when, int general, int large, int usedGeneral, int usedLarge)
{
    Sql::exec(c,
              QStringLiteral("insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, Id_unidade_trabalho, "
                             "Id_tipo_procedimento, Data_hora_disponibilidade, Qt_vaga_disponivel_geral, Qt_vaga_disp_f_grande_porte, "
                             "Id_Especie) values (:k, :u, 12, :d, :g, :l, 1)"),
              {{QStringLiteral("k"), ++slotKey}, {QStringLiteral("u"), unit}, {QStringLiteral("d"), when},
               {QStringLiteral("g"), general}, {QStringLiteral("l"), large}});
    // The web booking service takes the places (never this program).
    Sql::exec(c,
              QStringLiteral("update mapa_disponibilidade_agenda set Qt_vaga_usada_geral = :ug, Qt_vaga_usada_f_grande_porte = :ul "
                             "where Id_Mapa_disponibilidade_agenda = :k"),
              {{QStringLiteral("k"), slotKey}, {QStringLiteral("ug"), usedGeneral}, {QStringLiteral("ul"), usedLarge}});
}

void addAttendance(Connection &c, int unit, const QDateTime &when, int status)
{
    Sql::exec(c,
              QStringLiteral("insert into atendimento (Id_Proprietario, Id_Animal, Id_Unidade_Agendada, Data_Hora_Atendimento, "
                             "Id_Atendimento_Status) values (1, 1, :u, :d, :s)"),
              {{QStringLiteral("u"), unit}, {QStringLiteral("d"), when}, {QStringLiteral("s"), status}});
}

// Units 1 ZONA SUL and 2 CENTRO (listed first, by name) over January to
// March 2026, with rows just outside the period on both sides.
void seed(Connection &c)
{
    slotKey = 0;
    Sql::exec(c, QStringLiteral("delete from unidade_trabalho"));
    Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values "
                                "(1, 'ZONA SUL', 'ATIVO'), (2, 'CENTRO', 'ATIVO')"));
    addSlot(c, 1, at(2026, 1, 5), 10, 0, 6, 0);
    addSlot(c, 1, at(2026, 1, 31, 23, 30), 0, 4, 0, 2);
    addSlot(c, 1, at(2026, 3, 2), 8, 0, 8, 0);
    addSlot(c, 2, at(2026, 2, 10), 20, 5, 10, 1);
    addSlot(c, 2, at(2025, 12, 31, 23, 59), 99, 0, 99, 0); // before
    addSlot(c, 1, at(2026, 4, 1, 0, 0), 99, 0, 99, 0);     // after
    for (int s : {1, 3, 3, 4, 7})
        addAttendance(c, 1, at(2026, 1, 12), s);
    addAttendance(c, 1, at(2026, 1, 31, 23, 59), 4);
    for (int s : {3, 4, 4, 2})
        addAttendance(c, 2, at(2026, 2, 11), s);
    addAttendance(c, 2, at(2026, 3, 31, 18), 3);
    addAttendance(c, 2, at(2026, 4, 1, 0, 0), 3);   // after
    addAttendance(c, 1, at(2025, 12, 31, 8), 4);    // before
}

// The same figure counted straight from the tables, one unit and month.
int direct(Connection &c, const QString &sql, int unit, const QDate &month)
{
    return Sql::scalar(c, sql,
                       {{QStringLiteral("u"), unit}, {QStringLiteral("a"), QDateTime(month, QTime(0, 0))},
                        {QStringLiteral("b"), QDateTime(month.addMonths(1), QTime(0, 0))}})
        .toInt();
}

} // namespace

class TestOccupancy : public QObject {
    Q_OBJECT
private slots:
    void figuresEqualDirectCounts_data() { addEngineRows(); }
    void figuresEqualDirectCounts()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(c);
        const QList<Occupancy::Figures> rows = Occupancy::figures(c, QDate(2026, 1, 1), QDate(2026, 3, 31));
        QCOMPARE(rows.size(), 6); // both units, every month of the period
        const QString slotSql = QStringLiteral("from mapa_disponibilidade_agenda where Id_unidade_trabalho = :u and "
                                             "Data_hora_disponibilidade >= :a and Data_hora_disponibilidade < :b");
        const QString atts = QStringLiteral("from atendimento where Id_Unidade_Agendada = :u and Data_Hora_Atendimento >= :a "
                                            "and Data_Hora_Atendimento < :b");
        for (const Occupancy::Figures &f : rows) {
            QCOMPARE(f.offeredGeneral, direct(c, QStringLiteral("select coalesce(sum(Qt_vaga_disponivel_geral), 0) ") + slotSql, f.unit, f.month));
            QCOMPARE(f.offeredLarge, direct(c, QStringLiteral("select coalesce(sum(Qt_vaga_disp_f_grande_porte), 0) ") + slotSql, f.unit, f.month));
            QCOMPARE(f.webTaken, direct(c, QStringLiteral("select coalesce(sum(Qt_vaga_usada_geral + Qt_vaga_usada_f_grande_porte), 0) ") + slotSql,
                                        f.unit, f.month));
            QCOMPARE(f.deskBooked, direct(c, QStringLiteral("select count(*) ") + atts, f.unit, f.month));
            QCOMPARE(f.attended, direct(c, QStringLiteral("select count(*) ") + atts + QStringLiteral(" and Id_Atendimento_Status = 3"), f.unit, f.month));
            QCOMPARE(f.absent, direct(c, QStringLiteral("select count(*) ") + atts + QStringLiteral(" and Id_Atendimento_Status = 4"), f.unit, f.month));
            QCOMPARE(f.cancelled, direct(c, QStringLiteral("select count(*) ") + atts + QStringLiteral(" and Id_Atendimento_Status = 7"), f.unit, f.month));
        }
        // And as figures a manager reads: CENTRO first (name order), then ZONA SUL.
        QCOMPARE(rows.at(0).unitName, QStringLiteral("CENTRO"));
        const Occupancy::Figures &jan = rows.at(3);
        QCOMPARE(jan.unitName, QStringLiteral("ZONA SUL"));
        QCOMPARE(jan.month, QDate(2026, 1, 1));
        QCOMPARE(jan.offered(), 14);   // the slot at 23:30 of the last day counts
        QCOMPARE(jan.webTaken, 8);
        QCOMPARE(jan.deskBooked, 6);   // the booking at 23:59 of the last day counts
        QCOMPARE(jan.attended, 2);
        QCOMPARE(jan.absent, 2);
        QCOMPARE(jan.cancelled, 1);
        QCOMPARE(jan.occupancy(), 100.0 * (8 + 6 - 1) / 14);
        QCOMPARE(jan.absence(), 50.0);
        const Occupancy::Figures &feb = rows.at(4);
        QCOMPARE(feb.offered(), 0);
        QCOMPARE(feb.occupancy(), 0.0); // nothing offered: no division by zero
        // One unit only.
        const QList<Occupancy::Figures> one = Occupancy::figures(c, QDate(2026, 1, 1), QDate(2026, 3, 31), 2);
        QCOMPARE(one.size(), 3);
        QCOMPARE(one.at(1).deskBooked, 4);
        QCOMPARE(one.at(2).attended, 1);
        // The programme per month is the sum of the units.
        const QList<Occupancy::Figures> prog = Occupancy::programme(rows, Occupancy::months(QDate(2026, 1, 1), QDate(2026, 3, 31)));
        QCOMPARE(prog.size(), 3);
        QCOMPARE(prog.at(1).offered(), 25);
        QCOMPARE(prog.at(1).webTaken, 11);
        QCOMPARE(prog.at(2).offered(), 8);
        QCOMPARE(prog.at(2).attended, 1);
    }

    void reportPrintsTheFigures_data() { addEngineRows(); }
    void reportPrintsTheFigures()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seed(c);
        const ComposedReport r = Reports::compose(Occupancy::report(c, QDate(2026, 1, 1), QDate(2026, 3, 31)));
        const QStringList all = r.allTexts();
        QVERIFY(all.contains(QStringLiteral("REL053")));
        QVERIFY(all.contains(QStringLiteral("Período: 01/2026 a 03/2026")));
        QVERIFY(all.contains(QStringLiteral("CENTRO")) && all.contains(QStringLiteral("ZONA SUL")));
        // Each unit's bar chart: its occupancy per month, as percentages.
        const QList<const PlacedItem *> bars = r.named(QStringLiteral("grafico_unidade"));
        QCOMPARE(bars.size(), 2);
        QVERIFY(bars.at(1)->chart->type == ChartData::Type::Bar);
        QCOMPARE(bars.at(1)->chart->labels, (QStringList{QStringLiteral("01/2026"), QStringLiteral("02/2026"), QStringLiteral("03/2026")}));
        QCOMPARE(bars.at(1)->chart->valueTexts, (QStringList{QStringLiteral("92,9%"), QStringLiteral("0,0%"), QStringLiteral("100,0%")}));
        // The programme's line and totals.
        const QList<const PlacedItem *> line = r.named(QStringLiteral("grafico_programa"));
        QCOMPARE(line.size(), 1);
        QVERIFY(line.first()->chart->type == ChartData::Type::Line);
        QCOMPARE(line.first()->chart->valueTexts.at(1), QStringLiteral("60,0%")); // (11 + 4 - 0) / 25
        QCOMPARE(r.named(QStringLiteral("programa_c3")).first()->lines(),
                 (QStringList{QStringLiteral("14"), QStringLiteral("25"), QStringLiteral("8")}));
        QCOMPARE(r.named(QStringLiteral("total_c3")).first()->text, QStringLiteral("47"));
        QCOMPARE(r.named(QStringLiteral("total_c6")).first()->text, QStringLiteral("4")); // attended
        QCOMPARE(r.named(QStringLiteral("total_c7")).first()->text, QStringLiteral("4")); // absent
        QCOMPARE(r.named(QStringLiteral("total_c10")).first()->text, QStringLiteral("50,0%"));
        // The exports carry the same rows and the charts' figures.
        const QString csv = QString::fromLatin1(ReportExport::csv(r));
        QVERIFY2(csv.contains(QStringLiteral("01/2026")) && csv.contains(QStringLiteral("92,9%")), qPrintable(csv.left(2000)));
        QVERIFY(QString::fromLatin1(ReportExport::html(r)).contains(QStringLiteral("Ocupação do programa por mês")));
        QVERIFY(QString::fromLatin1(ReportExport::text(r)).contains(QStringLiteral("ZONA SUL")));
        // A look at the pages (ZAPO_SCREENSHOT_DIR, as the screen shots).
        if (!qEnvironmentVariable("ZAPO_SCREENSHOT_DIR").isEmpty() && t->engine() == QLatin1String("sqlite"))
            QVERIFY(ReportExport::writePdf(r, qEnvironmentVariable("ZAPO_SCREENSHOT_DIR") + QStringLiteral("/053-ocupacao.pdf")));
    }

    void windowChecksThePeriod()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        seed(t->main());
        RecordingMessages msg;
        RecordingPreview preview;
        OcupacaoProgramaWindow w;
        w.setPeriod(QDate(2026, 3, 1), QDate(2026, 1, 1));
        w.visualizar();
        QCOMPARE(msg.last(), QStringLiteral("O mês final é anterior ao inicial."));
        w.setPeriod(QDate(2020, 1, 1), QDate(2025, 1, 1));
        w.visualizar();
        QCOMPARE(msg.last(), QStringLiteral("O período pode ter no máximo 60 meses."));
        QVERIFY(preview.isEmpty());
        w.setPeriod(QDate(2026, 1, 1), QDate(2026, 3, 1));
        QCOMPARE(w.to(), QDate(2026, 3, 31));
        w.visualizar();
        QCOMPARE(preview.shown.size(), 1);
        QCOMPARE(preview.last().named(QStringLiteral("grafico_unidade")).size(), 2);
        w.show();
        shot(&w, "053-ocupacao");
    }
};

QTEST_MAIN(TestOccupancy)
#include "tst_occupancy.moc"
