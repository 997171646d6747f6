// Pie and bar charts placed on report pages.
#include "db/Formats.h"
#include "db/TextCodec.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"

#include <QTest>
#include <algorithm>

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

// 038's page with a large city's figures: long names and six-digit counts.
ReportDefinition cityChartPage()
{
    ReportDefinition r;
    r.title = QStringLiteral("Gráficos");
    r.orientation = QPageLayout::Landscape;
    const double gap = 3, third = (r.contentWidth() - 2 * gap) / 3, half = (r.contentWidth() - gap) / 2, h = 84;
    ReportBand &s = r.band(BandKind::Summary, 2 * h + 6);
    s.add(Items::chart(0, 2, third, h, spec(ChartData::Type::Pie, QStringLiteral("Quant. Animais Cadastrados por Espécie"),
                                            {{QStringLiteral("CANINA"), 412345}, {QStringLiteral("FELINA"), 198765}, {QStringLiteral("EQUINA"), 1234}})))
        .named(QStringLiteral("especie"));
    s.add(Items::chart(third + gap, 2, third, h,
                       spec(ChartData::Type::Pie, QStringLiteral("Um nome longo"),
                            {{QStringLiteral("ASSOCIAÇÃO PROTETORA DOS ANIMAIS DO MUNICÍPIO E REGIÃO METROPOLITANA"), 3},
                             {QStringLiteral("B"), 100000}})))
        .named(QStringLiteral("longo"));
    s.add(Items::chart(2 * (third + gap), 2, third, h,
                       spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Animais Cadastrados por Grupo"),
                            {{QStringLiteral("PROTETORES INDEPENDENTES"), 120345}, {QStringLiteral("ONG AMIGOS DOS BICHOS"), 98123},
                             {QStringLiteral("ABRIGO MUNICIPAL"), 45678}, {QStringLiteral("CLÍNICAS CONVENIADAS"), 1234},
                             {QStringLiteral("SEM GRUPO"), 345678}})))
        .named(QStringLiteral("grupo"));
    s.add(Items::chart(0, h + 5, half, h,
                       spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Ocorrências Por Tipo"),
                            {{QStringLiteral("ÓBITO"), 12345}, {QStringLiteral("DESAPARECIMENTO"), 23456}, {QStringLiteral("MORDEDURA"), 3456},
                             {QStringLiteral("MAUS-TRATOS"), 4567}, {QStringLiteral("RECOLHIMENTO"), 56789}, {QStringLiteral("DOAÇÃO"), 678}})))
        .named(QStringLiteral("ocorrencia"));
    s.add(Items::chart(half + gap, h + 5, half, h,
                       spec(ChartData::Type::Pie, QStringLiteral("Quantitativo de Procedimentos Por Tipo"),
                            {{QStringLiteral("CASTRAÇÃO"), 123456}, {QStringLiteral("CONSULTA"), 234567}, {QStringLiteral("VACINAÇÃO"), 345678},
                             {QStringLiteral("IMPLANTE DE MICROCHIP"), 45678}, {QStringLiteral("CURATIVO"), 5678},
                             {QStringLiteral("RETIRADA DE PONTOS"), 678}})))
        .named(QStringLiteral("procedimento"));
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

    // A label running past its box is cut where the chart ends (or written
    // over its neighbour): every label's lines fit their box, the boxes
    // stay inside the chart and apart, and the figures are never dropped.
    void pieLabelsFitInsideTheChart()
    {
        const ComposedReport r = Reports::compose(cityChartPage());
        const ReportFont font = ReportPainter::PieLayout::LabelFont;
        int broken = 0, shortened = 0;
        for (const QString &name : {QStringLiteral("especie"), QStringLiteral("longo"), QStringLiteral("grupo"),
                                    QStringLiteral("ocorrencia"), QStringLiteral("procedimento")}) {
            const PlacedItem *item = r.named(name).first();
            const ChartData &d = *item->chart;
            const QRectF area = ReportPainter::plotArea(item->rect);
            const ReportPainter::PieLayout pie = ReportPainter::pieLayout(d, area);
            QCOMPARE(pie.labels.size(), d.values.size());
            QVERIFY(pie.radius >= qMin(area.width(), area.height()) / 6 - 0.01);
            for (int i = 0; i < pie.labels.size(); ++i) {
                const auto &l = pie.labels.at(i);
                const QString what = name + QStringLiteral(": ") + l.lines.join(QLatin1Char('|'));
                QVERIFY2(area.adjusted(-0.01, -0.01, 0.01, 0.01).contains(l.box), qPrintable(what));
                for (const QString &line : l.lines)
                    QVERIFY2(ReportFonts::width(font, line) <= l.box.width(), qPrintable(what));
                QVERIFY2(l.lines.last().endsWith(d.valueTexts.at(i) + QStringLiteral(" (") + d.percentTexts.at(i) + QLatin1Char(')')),
                         qPrintable(what));
                // The name, whole or its start, above the figures.
                QString shown = l.lines.size() == 1 ? l.lines.first().section(QLatin1Char(':'), 0, 0)
                                                    : l.lines.mid(0, l.lines.size() - 1).join(QString());
                if (shown.endsWith(QChar(0x2026))) {
                    ++shortened;
                    shown.chop(1);
                } else if (l.lines.size() > 1) {
                    QVERIFY2(shown.endsWith(QLatin1Char(':')), qPrintable(what));
                    shown.chop(1);
                }
                shown.remove(QLatin1Char(' '));
                QVERIFY2(!shown.isEmpty() && QString(d.labels.at(i)).remove(QLatin1Char(' ')).startsWith(shown), qPrintable(what));
                broken += l.lines.size() > 1 ? 1 : 0;
            }
            // Labels of one side never overlap.
            for (bool right : {false, true}) {
                QList<QRectF> boxes;
                for (const auto &l : pie.labels)
                    if (l.right == right)
                        boxes << l.box;
                std::sort(boxes.begin(), boxes.end(), [](const QRectF &a, const QRectF &b) { return a.top() < b.top(); });
                for (int i = 1; i < boxes.size(); ++i)
                    QVERIFY2(boxes.at(i).top() >= boxes.at(i - 1).bottom() - 0.01, qPrintable(name));
            }
        }
        // The long names were broken, the longest shortened, the short left whole.
        QVERIFY(broken >= 3);
        QCOMPARE(shortened, 1);
        const PlacedItem *species = r.named(QStringLiteral("especie")).first();
        for (const auto &l : ReportPainter::pieLayout(*species->chart, ReportPainter::plotArea(species->rect)).labels)
            QCOMPARE(l.lines.size(), 1);
        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR"))
            ReportPainter::pageImage(r, 0, 150).save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/citycharts.png"));
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
