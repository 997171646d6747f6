// The registered-animal reports 037, 038 and 039 on each engine: the counts
// and their shares, the chart figures, the period edges and the unit filter.
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/Sql.h"
#include "reports/agenda/AgendaWindows.h"
#include "reports/animals/AnimalReports.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/Reports.h"
#include "db/TextCodec.h"
#include "support/RecordingPreview.h"
#include "support/ReportTesting.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/IdNameCombo.h"

#include "ui/DateEdit.h"
#include <QPointer>
#include <QTest>

using ReportTesting::named;
using ReportTesting::run;
using ReportTesting::savePng;

namespace {




void seedReference(Connection &c)
{
    for (const char *t : {"procedimento", "ocorrencia", "vacina", "Histo_Muda_Proprietario", "Grupo_Animal_Animal", "endereco_animal",
                          "animal", "proprietario", "especie", "raca", "grupo_animal", "unidade_trabalho", "tipo_ocorrencia",
                          "tipo_procedimento"})
        run(c, QStringLiteral("delete from ") + QLatin1String(t));
    run(c, QStringLiteral("insert into especie (Id_Especie, Nome, Ind_Status) values (1, 'CANINA', 'ATIVO'), (2, 'FELINA', 'ATIVO')"));
    run(c, QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values (1, 'SRD', 1, 'ATIVO'), (2, 'SIAMES', 2, 'ATIVO')"));
    run(c, QStringLiteral("insert into grupo_animal (Id_Grupo_Animal, Nome, Ind_Status) values (1, 'DOMICILIADO', 'ATIVO'), "
                          "(2, 'COMUNITARIO', 'ATIVO')"));
    run(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (1, 'CENTRO', 'ATIVO'), "
                          "(7, 'SETE', 'ATIVO'), (12, 'DOZE', 'ATIVO'), (123, 'CENTO', 'ATIVO')"));
    for (int unit : {1, 7, 12, 123})
        run(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, id_Unidade_Trabalho) values (:u, :n, :u)"),
            {{QStringLiteral("u"), unit}, {QStringLiteral("n"), QStringLiteral("DONO %1").arg(unit)}});
}

int nextAnimal = 1;
void animal(Connection &c, int owner, int especie, int grupo, const QString &chip, const QString &ester, const QDateTime &when,
            int raca = 1)
{
    run(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Id_Especie, Id_Raca, Id_Grupo_Animal, Nome, Num_Microchip, "
                          "Esterilizado, Inserido_Em) values (:id, :o, :e, :r, :g, :n, :m, :s, :w)"),
        {{QStringLiteral("id"), nextAnimal},
         {QStringLiteral("o"), owner},
         {QStringLiteral("e"), especie},
         {QStringLiteral("r"), raca},
         {QStringLiteral("g"), grupo},
         {QStringLiteral("n"), QStringLiteral("BICHO %1").arg(nextAnimal)},
         {QStringLiteral("m"), chip},
         {QStringLiteral("s"), ester},
         {QStringLiteral("w"), when}});
    ++nextAnimal;
}

QDateTime at(int y, int m, int d, int h = 10, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

} // namespace

class TestAnimalReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Formats::install();
        Reports::setProductTitle(QStringLiteral("ZAPO - Controle de Zoonoses"));
    }

    void sharesPrintEveryDigit()
    {
        QCOMPARE(AnimalReports::percent(1, 2), QStringLiteral("50"));
        QCOMPARE(AnimalReports::percent(1, 3), QStringLiteral("33,3"));
        QCOMPARE(AnimalReports::percent(2, 3), QStringLiteral("66,7"));
        QCOMPARE(AnimalReports::percent(1984, 3669), QStringLiteral("54,1"));
        QCOMPARE(AnimalReports::percent(3669, 3669), QStringLiteral("100"));
        QCOMPARE(AnimalReports::percent(0, 0), QStringLiteral("0"));
        QVERIFY(!AnimalReports::microchipped(QStringLiteral("   ")));
        QVERIFY(AnimalReports::microchipped(QStringLiteral("0")));
        QVERIFY(AnimalReports::sterilized(QStringLiteral("SIM")));
        QVERIFY(!AnimalReports::sterilized(QStringLiteral("NAO")));
        const AnimalReports::Slices top = AnimalReports::topSlices({{QStringLiteral("A"), 5}, {QStringLiteral("B"), 9}, {QStringLiteral("C"), 1},
                                                                    {QStringLiteral("D"), 2}},
                                                                   2, QStringLiteral("OUTRAS (%1)"));
        QCOMPARE(top.size(), 3);
        QCOMPARE(top.at(0).first, QStringLiteral("B"));
        QCOMPARE(top.at(2), qMakePair(QStringLiteral("OUTRAS (2)"), 3.0));
    }

    void completeListCountsChippedAndSterilized_data() { addEngineRows(); }
    void completeListCountsChippedAndSterilized()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seedReference(c);
        const QDateTime when = at(2012, 1, 1);
        animal(c, 1, 1, 1, QStringLiteral("985000000000001"), QStringLiteral("SIM"), when);
        animal(c, 1, 1, 1, QStringLiteral("  "), QStringLiteral("NAO"), when);   // blank chip: not chipped
        animal(c, 1, 1, 2, QStringLiteral("985000000000002"), QStringLiteral("NAO"), when);
        animal(c, 1, 1, 2, QString(), QStringLiteral("NAO"), when);
        animal(c, 1, 1, 2, QString(), QStringLiteral("SIM"), when);
        animal(c, 1, 2, 1, QString(), QString(), when);
        // An owner name of the full 50 characters wraps onto a second line
        // instead of being cut.
        const QString longName = QStringLiteral("SOCIEDADE PROTETORA DOS ANIMAIS DE SÃO JOSÉ DO RIO");
        run(c, QStringLiteral("update proprietario set Nome = :n where Id_Proprietario = 1"), {{QStringLiteral("n"), longName}});
        const ComposedReport r = Reports::compose(AnimalReports::complete(c));
        const QString owner = named(r, QStringLiteral("proprietario")).value(0);
        QCOMPARE(owner.count(QLatin1Char('\n')), 1);
        QCOMPARE(QString(owner).replace(QLatin1Char('\n'), QLatin1Char(' ')), longName);
        QCOMPARE(named(r, QStringLiteral("especie")), (QStringList{QStringLiteral("CANINA"), QStringLiteral("FELINA")}));
        QCOMPARE(named(r, QStringLiteral("grupo")),
                 (QStringList{QStringLiteral("1 - DOMICILIADO"), QStringLiteral("2 - COMUNITARIO"), QStringLiteral("1 - DOMICILIADO")}));
        QCOMPARE(named(r, QStringLiteral("grupo_chipados")),
                 (QStringList{QStringLiteral("1 - 50%"), QStringLiteral("1 - 33,3%"), QStringLiteral("0 - 0%")}));
        QCOMPARE(named(r, QStringLiteral("grupo_esterilizados")),
                 (QStringList{QStringLiteral("1 - 50%"), QStringLiteral("1 - 33,3%"), QStringLiteral("0 - 0%")}));
        QCOMPARE(named(r, QStringLiteral("especie_chipados")), (QStringList{QStringLiteral("2 - 40%"), QStringLiteral("0 - 0%")}));
        QCOMPARE(named(r, QStringLiteral("especie_esterilizados")), (QStringList{QStringLiteral("2 - 40%"), QStringLiteral("0 - 0%")}));
        QCOMPARE(named(r, QStringLiteral("total_chipados")), QStringList{QStringLiteral("2 - 33,3%")});
        QCOMPARE(named(r, QStringLiteral("total_esterilizados")), QStringList{QStringLiteral("2 - 33,3%")});
        QCOMPARE(named(r, QStringLiteral("titulo")), QStringList{QStringLiteral("Animais Cadastrados Completo")});
        // Composed again, the counts start afresh.
        const ComposedReport again = Reports::compose(AnimalReports::complete(c));
        QCOMPARE(named(again, QStringLiteral("total_chipados")), QStringList{QStringLiteral("2 - 33,3%")});
        savePng(r, QStringLiteral("rel037"));
    }

    void consolidatedChartsAreCityWideAndKeepTheirFigures_data() { addEngineRows(); }
    void consolidatedChartsAreCityWideAndKeepTheirFigures()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seedReference(c);
        animal(c, 7, 1, 1, QString(), QString(), at(2015, 3, 1, 0, 0, 0));
        animal(c, 12, 1, 1, QString(), QString(), at(2015, 3, 31, 23, 59, 30)); // end day: in
        animal(c, 123, 2, 2, QString(), QString(), at(2015, 3, 15), 2);
        animal(c, 1, 2, 2, QString(), QString(), at(2015, 4, 1, 0, 0, 0)); // next day: out
        run(c, QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Ind_Status) values (1, 'CASTRACAO', 'ATIVO')"));
        run(c, QStringLiteral("insert into procedimento (Id_Procedimento, Id_Tipo_Procedimento, Id_Atendimento, Inserido_Em) "
                              "values (1, 1, 1, :w)"),
            {{QStringLiteral("w"), at(2015, 3, 2)}});

        const AnimalReports::ConsolidatedData data = AnimalReports::consolidatedData(c, QDate(2015, 3, 1), QDate(2015, 3, 31));
        QVERIFY(!data.failed);
        QCOMPARE(data.especies, (AnimalReports::Slices{{QStringLiteral("CANINA"), 2}, {QStringLiteral("FELINA"), 1}}));
        QCOMPARE(data.procedimentos, (AnimalReports::Slices{{QStringLiteral("CASTRACAO"), 1}}));
        QVERIFY(data.ocorrencias.isEmpty());

        // Through the window: the unit is shown as "0 - Todos" and cannot be chosen.
        RecordingPreview preview;
        RecordingMessages messages;
        QPointer<SelRelDataUnidadeWindow> w = new SelRelDataUnidadeWindow(AgendaWindows::Consolidado);
        QVERIFY(!w->unidade()->isEnabled());
        QCOMPARE(w->unidade()->currentText(), QStringLiteral("0 - Todos"));
        w->inicio()->setDate(QDate(2015, 3, 1));
        w->fim()->setDate(QDate(2015, 3, 31));
        w->visualizar();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
        QVERIFY(messages.shown.isEmpty());
        const ComposedReport &r = preview.last();
        QCOMPARE(r.pageCount(), 1);
        const PlacedItem *pie = r.named(QStringLiteral("especie")).first();
        QCOMPARE(pie->chart->labels, (QStringList{QStringLiteral("CANINA"), QStringLiteral("FELINA")}));
        QCOMPARE(pie->chart->percentTexts, (QStringList{QStringLiteral("66,7%"), QStringLiteral("33,3%")}));

        // The text files keep the charts' figures.
        const QString txt = Cp1252::decode(ReportExport::text(r));
        QVERIFY(txt.contains(QStringLiteral("Quant. Animais Cadastrados por Espécie\r\nCANINA;2;66,7%\r\nFELINA;1;33,3%")));
        const QString csv = Cp1252::decode(ReportExport::csv(r));
        QVERIFY(csv.contains(QStringLiteral("Quantitativo de Procedimentos Por Tipo\r\nCASTRACAO;1;100,0%")));

        // The page is drawn.
        const QImage page = ReportPainter::pageImage(r, 0, 60);
        int ink = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); x += 2)
                ink += page.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
        QVERIFY(ink > 500);
        savePng(r, QStringLiteral("rel038"));
    }

    // 039's narrow breed, group and owner columns print long names whole
    // (wrapped) and the unit heading tells apart names alike up to the end.
    void microchippedPrintsLongNamesWhole_data() { addEngineRows(); }
    void microchippedPrintsLongNamesWhole()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seedReference(c);
        const QString breed = QStringLiteral("SPITZ ALEMÃO ANÃO (LULU DA POMERÂNIA)");
        const QString owner = QStringLiteral("JOSÉ CARLOS DE ALBUQUERQUE MONTENEGRO FILHO");
        run(c, QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values (3, :n, 1, 'ATIVO')"), {{QStringLiteral("n"), breed}});
        run(c, QStringLiteral("update unidade_trabalho set Nome = 'CLÍNICA MUNICIPAL DE CASTRAÇÃO NORTE' where Id_Unidade_Trabalho = 7"));
        run(c, QStringLiteral("update unidade_trabalho set Nome = 'CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL' where Id_Unidade_Trabalho = 12"));
        run(c, QStringLiteral("update proprietario set Nome = :n where Id_Proprietario = 7"), {{QStringLiteral("n"), owner}});
        animal(c, 7, 1, 2, QStringLiteral("982000123456789"), QStringLiteral("SIM"), at(2016, 5, 10), 3);
        animal(c, 12, 1, 2, QStringLiteral("982000123456790"), QStringLiteral("SIM"), at(2016, 5, 10), 3);
        const ComposedReport r = Reports::compose(AnimalReports::microchippedAnimals(c, 0, QDate(2016, 5, 1), QDate(2016, 5, 31)));
        savePng(r, QStringLiteral("rel039-nomes-longos"), 2);
        QCOMPARE(ReportTesting::joinedLines(r, QStringLiteral("raca")), (QStringList{breed, breed}));
        QCOMPARE(ReportTesting::joinedLines(r, QStringLiteral("proprietario")).first(), QStringLiteral("7 - ") + owner);
        QCOMPARE(named(r, QStringLiteral("unidade")), (QStringList{QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO NORTE"),
                                                                   QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL")}));
        QCOMPARE(ReportTesting::cutTexts(r), QStringList());
    }

    void microchippedSelectsTheOwnersUnitAndWholeDays_data() { addEngineRows(); }
    void microchippedSelectsTheOwnersUnitAndWholeDays()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        seedReference(c);
        for (int unit : {1, 7, 12, 123})
            animal(c, unit, 1, 1, QStringLiteral("98500000000%1").arg(unit), QStringLiteral("SIM"), at(2016, 5, 10));
        animal(c, 12, 1, 1, QStringLiteral("985000000009999"), QStringLiteral("NAO"), at(2016, 5, 31, 23, 59, 30)); // in
        animal(c, 12, 1, 1, QStringLiteral("985000000008888"), QStringLiteral("NAO"), at(2016, 6, 1, 0, 0, 0));   // out
        animal(c, 12, 1, 1, QStringLiteral("   "), QStringLiteral("NAO"), at(2016, 5, 11));                     // no chip

        RecordingPreview preview;
        RecordingMessages messages;
        for (int unit : {1, 7, 12, 123}) {
            QPointer<SelRelDataUnidadeWindow> w = new SelRelDataUnidadeWindow(AgendaWindows::Microchipado);
            QVERIFY(w->unidade()->selectId(unit));
            w->inicio()->setDate(QDate(2016, 5, 1));
            w->fim()->setDate(QDate(2016, 5, 31));
            w->visualizar();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isNull());
            QCOMPARE(named(preview.last(), QStringLiteral("total_unidade")),
                     QStringList{unit == 12 ? QStringLiteral("2") : QStringLiteral("1")});
        }
        QCOMPARE(named(preview.last(), QStringLiteral("unidade")).first(), QStringLiteral("CENTO"));

        const ComposedReport all = Reports::compose(AnimalReports::microchippedAnimals(c, 0, QDate(2016, 5, 1), QDate(2016, 5, 31)));
        QCOMPARE(all.pageCount(), 4);
        QCOMPARE(named(all, QStringLiteral("total_geral")), QStringList{QStringLiteral("5")});
        QCOMPARE(named(all, QStringLiteral("periodo")).first(), QStringLiteral("Período de 01/05/2016 a 31/05/2016"));
        savePng(all, QStringLiteral("rel039"));

        // A failing statement gives the report's own message and no preview.
        const qsizetype before = preview.shown.size();
        run(c, QStringLiteral("drop table grupo_animal"));
        QVERIFY(!AnimalReports::openMicrochipped(c, 0, QDate(2016, 5, 1), QDate(2016, 5, 31), nullptr));
        QCOMPARE(messages.last(), QStringLiteral("Erro ao gerar o relatório."));
        QCOMPARE(preview.shown.size(), before);
        // The consolidated page still shows, after its own message.
        QVERIFY(AnimalReports::openConsolidated(c, QDate(2016, 5, 1), QDate(2016, 5, 31), nullptr));
        QCOMPARE(messages.last(), QStringLiteral("Erro ao tentar abrir o relatório."));
    }
};

QTEST_MAIN(TestAnimalReports)
#include "tst_animalreports.moc"
