// Pie and bar charts placed on report pages.
#include "db/Formats.h"
#include "db/TextCodec.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"

#include <QTest>

namespace {

using Values = QList<QPair<QString, double>>;

ChartSpec spec(ChartData::Type type, const QString &title, const Values &v)
{
    ChartSpec s;
    s.type = type;
    s.title = title;
    s.values = [v](const ReportRow &) { return v; };
    return s;
}

ReportDefinition chartPage()
{
    ReportDefinition r;
    r.title = QStringLiteral("Gráficos");
    r.orientation = QPageLayout::Landscape;
    ReportBand &t = r.band(BandKind::Title, 16);
    t.lineBelow = true;
    t.add(Items::label(0, 0, 277, 7, QStringLiteral("Sistema de Teste"))).size(14).bold().center();
    t.add(Items::label(0, 8, 277, 6, QStringLiteral("Animais Cadastrados Consolidado"))).size(12).bold().center();
    ReportBand &s = r.band(BandKind::Summary, 172);
    const Values especies = {{QStringLiteral("CANINA"), 120}, {QStringLiteral("FELINA"), 57}, {QStringLiteral("EQUINA"), 3}};
    Values racas;
    const QStringList nomes = {QStringLiteral("SRD"), QStringLiteral("POODLE"), QStringLiteral("LABRADOR"), QStringLiteral("PINSCHER"),
                               QStringLiteral("SIAMÊS"), QStringLiteral("PASTOR ALEMÃO"), QStringLiteral("BULDOGUE FRANCÊS"),
                               QStringLiteral("DACHSHUND"), QStringLiteral("PERSA"), QStringLiteral("BEAGLE")};
    for (int i = 0; i < nomes.size(); ++i)
        racas << qMakePair(nomes.at(i), double(90 / (i + 1)));
    s.add(Items::chart(0, 2, 90, 82, spec(ChartData::Type::Pie, QStringLiteral("Quant. Animais Cadastrados por Espécie"), especies)))
        .named(QStringLiteral("especie"));
    s.add(Items::chart(93, 2, 90, 82, spec(ChartData::Type::Bar, QStringLiteral("Quantitativo de Animais Cadastrados por Raça"), racas)))
        .named(QStringLiteral("raca"));
    s.add(Items::chart(186, 2, 90, 82, spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Animais Cadastrados por Grupo"),
                                            {{QStringLiteral("GRUPO A"), 1}, {QStringLiteral("GRUPO B"), 1}, {QStringLiteral("GRUPO C"), 1},
                                             {QStringLiteral("GRUPO D"), 40}, {QStringLiteral("GRUPO E"), 2}})))
        .named(QStringLiteral("grupo"));
    s.add(Items::chart(0, 88, 135, 82, spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Ocorrências Por Tipo"), {})))
        .named(QStringLiteral("vazio"));
    s.add(Items::chart(140, 88, 135, 82, spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Procedimentos Por Tipo"),
                                              {{QStringLiteral("CASTRAÇÃO"), 30}})))
        .named(QStringLiteral("unico"));
    return r;
}

int ink(const QImage &img, const QRectF &mm, double dpi)
{
    const QRect r = QRectF(mm.x() * dpi / 25.4, mm.y() * dpi / 25.4, mm.width() * dpi / 25.4, mm.height() * dpi / 25.4)
                        .toAlignedRect()
                        .intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                ++n;
    return n;
}

} // namespace

class TestCharts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Formats::install(); }

    void chartsCarryLabelsValuesAndPercentages()
    {
        const ComposedReport r = Reports::compose(chartPage());
        QCOMPARE(r.pageCount(), 1);
        const PlacedItem *pie = r.named(QStringLiteral("especie")).first();
        QCOMPARE(pie->kind, PlacedItem::Kind::Chart);
        QCOMPARE(pie->chart->title, QStringLiteral("Quant. Animais Cadastrados por Espécie"));
        QCOMPARE(pie->chart->labels, (QStringList{QStringLiteral("CANINA"), QStringLiteral("FELINA"), QStringLiteral("EQUINA")}));
        QCOMPARE(pie->chart->valueTexts, (QStringList{QStringLiteral("120"), QStringLiteral("57"), QStringLiteral("3")}));
        QCOMPARE(pie->chart->percentTexts, (QStringList{QStringLiteral("66,7%"), QStringLiteral("31,7%"), QStringLiteral("1,7%")}));
        QCOMPARE(pie->chart->total, 180.0);
        const PlacedItem *bar = r.named(QStringLiteral("raca")).first();
        QCOMPARE(bar->chart->type, ChartData::Type::Bar);
        QCOMPARE(bar->chart->labels.size(), 10);
        QCOMPARE(r.named(QStringLiteral("unico")).first()->chart->percentTexts, QStringList{QStringLiteral("100,0%")});
        QVERIFY(r.named(QStringLiteral("vazio")).first()->chart->labels.isEmpty());
        // Charts sit where they were placed: below the title, inside the margins.
        QCOMPARE(pie->rect, QRectF(10, 10 + 16 + 2, 90, 82));
    }

    void chartsAreDrawnInsideTheirRectangles()
    {
        const ComposedReport r = Reports::compose(chartPage());
        const double dpi = 150;
        const QImage img = ReportPainter::pageImage(r, 0, dpi);
        for (const QString &name : {QStringLiteral("especie"), QStringLiteral("raca"), QStringLiteral("grupo"), QStringLiteral("unico")})
            QVERIFY2(ink(img, r.named(name).first()->rect, dpi) > 2000, qPrintable(name));
        // Between the two rows of charts the paper stays white.
        QCOMPARE(ink(img, QRectF(12, 10 + 16 + 2 + 82.5, 270, 3), dpi), 0);
        // HTML carries the charts as pictures, with the title as alternative text.
        QVERIFY(ReportExport::html(r).contains("alt=\"Quantitativo de Animais Cadastrados por Ra\xE7""a\""));
        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR"))
            img.save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/charts.png"));
    }

    void textFilesCarryEachChartAsItsFigures()
    {
        const ComposedReport r = Reports::compose(chartPage());
        for (const QByteArray &bytes : {ReportExport::text(r), ReportExport::csv(r)}) {
            const QString t = Cp1252::decode(bytes);
            QVERIFY(t.contains(QStringLiteral("Quant. Animais Cadastrados por Esp\u00e9cie\r\nCANINA;120;66,7%\r\nFELINA;57;31,7%\r\nEQUINA;3;1,7%\r\n")));
            QVERIFY(t.contains(QStringLiteral("Quantitativo de Procedimentos Por Tipo\r\nCASTRA\u00c7\u00c3O;30;100,0%")));
            // An empty chart still names itself.
            QVERIFY(t.contains(QStringLiteral("Quantitativo de Ocorr\u00eancias Por Tipo\r\n")));
            QVERIFY(t.contains(QStringLiteral("Animais Cadastrados Consolidado")));
        }
    }

    void wrappingWithinKeepsTheBandAndClipsExtraLines()
    {
        ReportDefinition r;
        ReportBand &d = r.band(BandKind::Detail, 12);
        d.add(Items::label(0, 0, 30, 7, QStringLiteral("uma linha longa que quebra em muitas linhas dentro de pouco espaço")))
            .wrappingWithin(2)
            .named(QStringLiteral("endereco"));
        d.add(Items::label(0, 8, 30, 4, QStringLiteral("abaixo"))).named(QStringLiteral("abaixo"));
        r.data = [] { return std::make_unique<RowListDataSource>(QStringList{QStringLiteral("x")}, QList<QList<QVariant>>{{1}}); };
        const ComposedReport c = Reports::compose(r);
        const PlacedItem *e = c.named(QStringLiteral("endereco")).first();
        QCOMPARE(e->lines().size(), 2);
        QVERIFY(e->clip);
        QVERIFY(qAbs(e->rect.height() - 7) < 0.01);
        QVERIFY(qAbs(c.bandsOf(BandKind::Detail).first()->rect.height() - 12) < 0.01);
        QVERIFY(qAbs(c.named(QStringLiteral("abaixo")).first()->rect.top() - e->rect.top() - 8) < 0.01);
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
