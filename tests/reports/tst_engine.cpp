// The banded engine: composition into pages, tested on the page model.
#include "db/DbError.h"
#include "db/Formats.h"
#include "db/TextCodec.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportData.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/Reports.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ReportTesting.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Rows = QList<QList<QVariant>>;

std::function<std::unique_ptr<ReportDataSource>()> rows(const QStringList &cols, const Rows &data)
{
    return [cols, data] { return std::make_unique<RowListDataSource>(cols, data); };
}

// A small list: title, detail with id and name, summary count, page footer.
ReportDefinition simpleList(const Rows &data)
{
    ReportDefinition r;
    r.title = QStringLiteral("Lista");
    r.data = rows({QStringLiteral("id"), QStringLiteral("nome")}, data);
    ReportBand &t = r.band(BandKind::Title, 12);
    t.lineBelow = true;
    t.add(Items::label(0, 0, 190, 6, QStringLiteral("Título do relatório"))).size(14).bold().named(QStringLiteral("titulo"));
    ReportBand &d = r.band(BandKind::Detail, 5);
    d.add(Items::field(0, 0, 15, 4, QStringLiteral("id"))).right();
    d.add(Items::field(18, 0, 100, 4, QStringLiteral("nome")));
    ReportBand &s = r.band(BandKind::Summary, 6);
    s.lineAbove = true;
    s.add(Items::label(0, 1, 40, 4, QStringLiteral("Total de registro:"))).bold();
    s.add(Items::rowCount(40, 1, 20, 4)).right().named(QStringLiteral("total"));
    ReportBand &f = r.band(BandKind::PageFooter, 6);
    f.add(Items::pageNumber(150, 1, 40, 4, QStringLiteral("Pag.: %1"))).right().named(QStringLiteral("pagina"));
    return r;
}

Rows numbered(int n)
{
    Rows out;
    for (int i = 1; i <= n; ++i)
        out << QList<QVariant>{i, QStringLiteral("Nome %1").arg(i)};
    return out;
}

qint64 residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Formats::install(); }

    void emptyReportStillPrintsTitleSummaryAndPageOne()
    {
        const ComposedReport r = Reports::compose(simpleList({}));
        QCOMPARE(r.pageCount(), 1);
        QCOMPARE(r.texts(0), (QStringList{QStringLiteral("Título do relatório"), QStringLiteral("Total de registro:"),
                                          QStringLiteral("0"), QStringLiteral("Pag.: 1")}));
        // The footer sits at the bottom margin, not under the summary.
        const PlacedItem *page = r.named(QStringLiteral("pagina")).first();
        QVERIFY(page->rect.top() > 270);

        ReportDefinition silent = simpleList({});
        silent.printIfEmpty = false;
        QCOMPARE(Reports::compose(silent).pageCount(), 0);
        RecordingPreview preview;
        QVERIFY(!Reports::open(silent));
        QVERIFY(preview.isEmpty());
    }

    void longListsBreakPagesAndNumberThemNofN()
    {
        ReportDefinition def = simpleList(numbered(130));
        def.pageFooter->items[0].text = QStringLiteral("Página %1 de %2");
        const ComposedReport r = Reports::compose(def);
        QVERIFY(r.pageCount() >= 3);
        QCOMPARE(r.rows, 130);
        const auto numbers = r.named(QStringLiteral("pagina"));
        QCOMPARE(numbers.size(), r.pageCount());
        for (int p = 0; p < r.pageCount(); ++p)
            QCOMPARE(numbers.at(p)->text, QStringLiteral("Página %1 de %2").arg(p + 1).arg(r.pageCount()));

        // Every row printed once, in order, and no detail reaches the footer.
        QStringList names;
        const double footerTop = r.pageSize.height() - def.margins.bottom() - def.pageFooter->height;
        for (const PlacedBand *b : r.bandsOf(BandKind::Detail)) {
            QVERIFY2(b->rect.bottom() <= footerTop + 0.001, qPrintable(QString::number(b->rect.bottom())));
        }
        for (const PlacedItem *i : r.named(QStringLiteral("nome")))
            names << i->text;
        QCOMPARE(names.size(), 130);
        QCOMPARE(names.first(), QStringLiteral("Nome 1"));
        QCOMPARE(names.last(), QStringLiteral("Nome 130"));
        // The title only on the first page, the total on the last.
        QCOMPARE(r.named(QStringLiteral("titulo")).size(), 1);
        QCOMPARE(r.named(QStringLiteral("total")).first()->text, QStringLiteral("130"));
        QVERIFY(r.texts(r.pageCount() - 1).contains(QStringLiteral("130")));
    }

    void groupsBreakOnValueWithNewPageAndRestartingCounts()
    {
        ReportDefinition r;
        r.data = rows({QStringLiteral("unidade"), QStringLiteral("nome_unidade"), QStringLiteral("nome"), QStringLiteral("valor")},
                      {{1, QStringLiteral("Centro"), QStringLiteral("Ana"), 1.5},
                       {1, QStringLiteral("Centro"), QStringLiteral("Bia"), 2.25},
                       {1, QStringLiteral("Centro"), QStringLiteral("Caio"), 1.0},
                       {2, QStringLiteral("Norte"), QStringLiteral("Davi"), 10.0},
                       {2, QStringLiteral("Norte"), QStringLiteral("Eva"), 0.5}});
        ReportBand &ph = r.band(BandKind::PageHeader, 8);
        ph.add(Items::field(0, 0, 80, 5, QStringLiteral("nome_unidade"))).bold().named(QStringLiteral("cabecalho"));
        ReportGroup &g = r.addGroup(QStringLiteral("unidade"), QStringLiteral("unidade"), true);
        g.header.height = 6;
        g.header.add(Items::label(0, 0, 40, 5, QStringLiteral("Profissional:")));
        g.addFooter(6);
        g.footer->add(Items::label(0, 0, 40, 5, QStringLiteral("Total na unidade:")));
        g.footer->add(Items::count(40, 0, 20, 5)).resetting().named(QStringLiteral("contagem"));
        g.footer->add(Items::sum(70, 0, 20, 5, QStringLiteral("valor"))).fixed(2).resetting().named(QStringLiteral("soma"));
        // A conditional count, as the percentage footers need.
        g.footer->add(Items::sumOf(100, 0, 20, 5, [](const ReportRow &row) { return row.value(QStringLiteral("valor")).toDouble() > 1 ? 1.0 : 0.0; }))
            .resetting()
            .named(QStringLiteral("acima"));
        r.band(BandKind::Detail, 5).add(Items::field(0, 0, 60, 4, QStringLiteral("nome")));
        ReportBand &s = r.band(BandKind::Summary, 6);
        s.add(Items::label(0, 0, 40, 5, QStringLiteral("Total geral:")));
        s.add(Items::count(40, 0, 20, 5)).named(QStringLiteral("geral"));
        s.add(Items::sum(70, 0, 20, 5, QStringLiteral("valor"))).fixed(2).named(QStringLiteral("somageral"));

        const ComposedReport c = Reports::compose(r);
        QCOMPARE(c.pageCount(), 2);
        // Each page's header names the unit of the rows on that page.
        const auto headers = c.named(QStringLiteral("cabecalho"));
        QCOMPARE(headers.size(), 2);
        QCOMPARE(headers.at(0)->text, QStringLiteral("Centro"));
        QCOMPARE(headers.at(1)->text, QStringLiteral("Norte"));
        const auto counts = c.named(QStringLiteral("contagem"));
        QCOMPARE(counts.size(), 2);
        QCOMPARE(counts.at(0)->text, QStringLiteral("3"));
        QCOMPARE(counts.at(1)->text, QStringLiteral("2"));
        QCOMPARE(c.named(QStringLiteral("soma")).at(0)->text, QStringLiteral("4,75"));
        QCOMPARE(c.named(QStringLiteral("soma")).at(1)->text, QStringLiteral("10,50"));
        QCOMPARE(c.named(QStringLiteral("acima")).at(0)->text, QStringLiteral("2"));
        QCOMPARE(c.named(QStringLiteral("acima")).at(1)->text, QStringLiteral("1"));
        QCOMPARE(c.named(QStringLiteral("geral")).first()->text, QStringLiteral("5"));
        QCOMPARE(c.named(QStringLiteral("somageral")).first()->text, QStringLiteral("15,25"));
        QVERIFY(c.texts(0).contains(QStringLiteral("Caio")));
        QVERIFY(!c.texts(0).contains(QStringLiteral("Davi")));
        QVERIFY(c.texts(1).contains(QStringLiteral("Total geral:")));
        // The footer of the first unit is printed before the second page starts.
        QCOMPARE(c.bandsOf(BandKind::GroupFooter).at(0)->page, 0);
    }

    // A group heading is never the last thing on a page: whatever the
    // group sizes, each heading shares its page with its group's first row.
    void groupHeadingsStayWithTheirFirstRow()
    {
        Rows data;
        for (int g = 1; g <= 60; ++g)
            for (int i = 0; i < 1 + g % 7; ++i)
                data << QList<QVariant>{g, QStringLiteral("Linha %1.%2").arg(g).arg(i)};
        ReportDefinition r;
        r.data = rows({QStringLiteral("grupo"), QStringLiteral("nome")}, data);
        ReportGroup &g = r.addGroup(QStringLiteral("grupo"), QStringLiteral("grupo"));
        g.header.height = 7;
        g.header.add(Items::field(0, 0, 40, 6, QStringLiteral("grupo"))).bold();
        r.band(BandKind::Detail, 5).add(Items::field(0, 0, 60, 4, QStringLiteral("nome")));
        const ComposedReport c = Reports::compose(r);
        QVERIFY(c.pageCount() > 2);
        int checked = 0;
        for (int b = 0; b < c.bands.size(); ++b) {
            if (c.bands.at(b).kind != BandKind::GroupHeader)
                continue;
            QVERIFY(b + 1 < c.bands.size());
            QCOMPARE(c.bands.at(b + 1).kind, BandKind::Detail);
            QCOMPARE(c.bands.at(b + 1).page, c.bands.at(b).page);
            ++checked;
        }
        QCOMPARE(checked, 60);
        // Every row printed once.
        QCOMPARE(c.bandsOf(BandKind::Detail).size(), data.size());
    }

    void nestedGroupsCloseInnerFirst()
    {
        ReportDefinition r;
        r.data = rows({QStringLiteral("a"), QStringLiteral("b")}, {{1, 1}, {1, 2}, {1, 2}, {2, 2}});
        for (const QString &name : {QStringLiteral("a"), QStringLiteral("b")}) {
            ReportGroup &g = r.addGroup(name, name);
            g.header.height = 4;
            g.header.add(Items::field(0, 0, 20, 4, name)).hook([name](ItemPrint &p) { p.text = QStringLiteral("H") + name + p.text; });
            g.addFooter(4);
            g.footer->add(Items::count(0, 0, 20, 4)).resetting().hook([name](ItemPrint &p) {
                p.text = QStringLiteral("F") + name + p.text;
            });
        }
        const ComposedReport c = Reports::compose(r);
        QCOMPARE(c.texts(0), (QStringList{QStringLiteral("Ha1"), QStringLiteral("Hb1"), QStringLiteral("Fb1"), QStringLiteral("Hb2"),
                                          QStringLiteral("Fb2"), QStringLiteral("Fa3"), QStringLiteral("Ha2"), QStringLiteral("Hb2"),
                                          QStringLiteral("Fb1"), QStringLiteral("Fa1")}));
    }

    void wrappedTextGrowsItsBandAndTheBoxAroundIt()
    {
        ReportDefinition r;
        const QString longText = QStringLiteral("Descrição muito longa que não cabe em uma linha só. ").repeated(8);
        r.data = rows({QStringLiteral("id"), QStringLiteral("descricao")}, {{1, QStringLiteral("curta")}, {2, longText}});
        ReportSubDetail &sd = r.addSubDetail(9);
        sd.band.box = true;
        sd.band.add(Items::field(0, 0.5, 20, 4, QStringLiteral("id"))).right();
        sd.band.add(Items::field(1, 4.5, 188, 4, QStringLiteral("descricao"))).size(9).wrapping().named(QStringLiteral("desc"));
        sd.band.add(Items::label(1, 0.5, 20, 4, QStringLiteral("below"))).named(QStringLiteral("fixo"));
        const ComposedReport c = Reports::compose(r);
        const auto bands = c.bandsOf(BandKind::SubDetail);
        QCOMPARE(bands.size(), 2);
        QCOMPARE(bands.at(0)->rect.height(), 9.0);
        const auto descs = c.named(QStringLiteral("desc"));
        const QStringList lines = descs.at(1)->lines();
        QVERIFY(lines.size() >= 3);
        for (const QString &l : lines)
            QVERIFY(ReportFonts::width(ReportFont{9, false, false}, l) <= 188.01);
        QCOMPARE(lines.join(QLatin1Char(' ')).simplified(), longText.simplified());
        QVERIFY(bands.at(1)->rect.height() > 9.0 + ReportFonts::lineHeight(ReportFont{9, false, false}));
        QVERIFY(qAbs(bands.at(1)->rect.bottom() - (descs.at(1)->rect.bottom() + 0.5)) < 0.01);
        // The box is the band's rectangle.
        int boxes = 0;
        for (const PlacedItem &i : c.pages.at(0).items)
            if (i.kind == PlacedItem::Kind::Rect && i.band == int(bands.at(1) - c.bands.constData())) {
                QCOMPARE(i.rect, bands.at(1)->rect);
                ++boxes;
            }
        QCOMPARE(boxes, 1);
        // The second band starts where the first ended.
        QCOMPARE(bands.at(1)->rect.top(), bands.at(0)->rect.bottom());
    }

    void aBandTallerThanAPageContinuesWithoutLosingLines()
    {
        ReportDefinition r;
        QStringList paragraphs;
        for (int i = 1; i <= 150; ++i)
            paragraphs << QStringLiteral("Linha %1").arg(i);
        r.data = rows({QStringLiteral("texto")}, {{paragraphs.join(QLatin1Char('\n'))}});
        r.band(BandKind::Detail, 5).add(Items::field(0, 0, 100, 4, QStringLiteral("texto"))).wrapping().named(QStringLiteral("t"));
        r.band(BandKind::PageFooter, 6).add(Items::pageNumber(0, 0, 30, 4));
        const ComposedReport c = Reports::compose(r);
        QVERIFY(c.pageCount() >= 2);
        QStringList all;
        for (const PlacedItem *i : c.named(QStringLiteral("t")))
            all << i->lines();
        QCOMPARE(all, paragraphs);
        for (const PlacedItem *i : c.named(QStringLiteral("t")))
            QVERIFY(i->rect.bottom() <= c.pageSize.height() - 10 - 6 + 0.01);
    }

    void subDetailsPrintPerOwnRowOrOncePerMaster()
    {
        ReportDefinition r;
        r.data = rows({QStringLiteral("dono")}, {{QStringLiteral("Ana")}, {QStringLiteral("Bia")}});
        r.band(BandKind::Detail, 5).add(Items::field(0, 0, 50, 4, QStringLiteral("dono")));
        ReportSubDetail &animals = r.addSubDetail(4, [](const ReportRow &master) {
            Rows rs;
            if (master.text(QStringLiteral("dono")) == QLatin1String("Ana"))
                rs = {{QStringLiteral("Rex")}, {QStringLiteral("Mia")}};
            return std::make_unique<RowListDataSource>(QStringList{QStringLiteral("animal")}, rs);
        });
        animals.band.add(Items::field(5, 0, 50, 4, QStringLiteral("animal")));
        // A column the sub-detail lacks is read from the master row.
        animals.band.add(Items::field(60, 0, 50, 4, QStringLiteral("dono")));
        ReportSubDetail &once = r.addSubDetail(4);
        once.band.add(Items::computed(0, 0, 50, 4, [](const ReportRow &row) { return QStringLiteral("fim ") + row.text(QStringLiteral("dono")); }));
        const ComposedReport c = Reports::compose(r);
        QCOMPARE(c.texts(0), (QStringList{QStringLiteral("Ana"), QStringLiteral("Rex"), QStringLiteral("Ana"), QStringLiteral("Mia"),
                                          QStringLiteral("Ana"), QStringLiteral("fim Ana"), QStringLiteral("Bia"), QStringLiteral("fim Bia")}));
    }

    void hooksReplaceTextHideItemsAndBands()
    {
        ReportDefinition r;
        r.data = rows({QStringLiteral("id"), QStringLiteral("tipo"), QStringLiteral("nome"), QStringLiteral("data")},
                      {{1, QStringLiteral("F"), QStringLiteral("Cadastro"), QDate(2024, 3, 5)},
                       {2, QStringLiteral("X"), QStringLiteral("Outro"), QDateTime(QDate(2024, 12, 31), QTime(23, 59, 30))},
                       {3, QStringLiteral("R"), QStringLiteral("Oculto"), QVariant()}});
        ReportBand &d = r.band(BandKind::Detail, 5);
        d.add(Items::field(0, 0, 60, 4, QStringLiteral("nome"))).hook([](ItemPrint &p) {
            const QString t = p.row.text(QStringLiteral("tipo"));
            p.text = t == QLatin1String("F") ? QStringLiteral("Formulário :") + p.text : QStringLiteral("-----------------");
            if (t == QLatin1String("X"))
                p.font.bold = true;
        });
        d.add(Items::field(70, 0, 30, 4, QStringLiteral("data"))).displayFormat(QStringLiteral("dd/MM/yyyy")).named(QStringLiteral("data"));
        d.beforePrint = [](BandPrint &b) { b.visible = b.row.text(QStringLiteral("tipo")) != QLatin1String("R"); };
        int after = 0;
        d.afterPrint = [&after](const BandPrint &) { ++after; };
        const ComposedReport c = Reports::compose(r);
        QCOMPARE(c.texts(0), (QStringList{QStringLiteral("Formulário :Cadastro"), QStringLiteral("05/03/2024"),
                                          QStringLiteral("-----------------"), QStringLiteral("31/12/2024")}));
        QCOMPARE(after, 2);
        QVERIFY(c.pages.at(0).items.at(2).font.bold);
    }

    void displayTextFollowsTheProgramFormats()
    {
        QCOMPARE(Reports::displayText(12.5), QStringLiteral("12,5"));
        QCOMPARE(Reports::displayText(QDate(2024, 1, 2)), QStringLiteral("02/01/2024"));
        QCOMPARE(Reports::displayText(QDateTime(QDate(2024, 1, 2), QTime(8, 5))), QStringLiteral("02/01/2024 08:05:00"));
        QCOMPARE(Reports::displayText(QStringLiteral("2024-01-02 08:05:00"), QStringLiteral("dd/MM/yyyy")), QStringLiteral("02/01/2024"));
        QCOMPARE(Reports::displayText(QStringLiteral("ATIVO     ")), QStringLiteral("ATIVO"));
        QCOMPARE(Reports::displayText(QVariant()), QString());
        // Layouts are measured with the metric-compatible font, not a fallback.
        QCOMPARE(QFontInfo(ReportFonts::measuring(ReportFont{8, true, false})).family(), ReportFonts::family());
    }

    // The shortcuts taken for every row of a long report must answer as the
    // general path does: a date read from ISO text as QVariant reads it, a
    // column asked for by a string at a reused address, a one-line text that
    // fits by the sum of its characters as its laid-out width says.
    void rowShortcutsAnswerAsTheGeneralPath()
    {
        const QStringList texts{QStringLiteral("2019-09-16T00:00:00.000"), QStringLiteral("2019-09-16"),
                                QStringLiteral("2024-02-29T23:59:59"), QStringLiteral("2023-02-29T10:00:00"),
                                QStringLiteral("2019-09-16T24:00:00"), QStringLiteral("2019-13-01"),
                                QStringLiteral("2019-09-16T10:30:00Z"), QStringLiteral("2019-09-16 10:30:00"),
                                QStringLiteral("16/09/2019"), QStringLiteral("abc"), QString()};
        auto cols = std::make_shared<ReportColumns>(QStringList{QStringLiteral("Data"), QStringLiteral("Nome")});
        for (const QString &t : texts) {
            const ReportRow row(cols, {t.isNull() ? QVariant() : QVariant(t), QVariant(t)});
            QCOMPARE(row.date(QStringLiteral("DATA")), t.isNull() ? QDate() : QVariant(t).toDateTime().date());
        }
        const ReportRow typed(cols, {QVariant(QDate(2020, 1, 2)), QVariant(QDateTime(QDate(2020, 1, 3), QTime(23, 0)))});
        QCOMPARE(typed.date(QStringLiteral("data")), QDate(2020, 1, 2));
        QCOMPARE(typed.date(QStringLiteral("nome")), QDate(2020, 1, 3));
        // Names built again and again at the same address, with other texts.
        for (int k = 0; k < 200; ++k) {
            const QString name = k % 2 ? QStringLiteral("nome") : QStringLiteral("data");
            QString built = name;
            built.detach();
            QCOMPARE(cols->indexOf(built), k % 2 ? 1 : 0);
            QCOMPARE(cols->indexOf(QString(built).replace(0, 1, QLatin1Char('x'))), -1);
        }
        ReportFont f;
        for (const QString &t : {QStringLiteral("MARIA DA SILVA"), QStringLiteral("JOSÉ D'ÁVILA E ÇÃO"),
                                 QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiiiiii"),
                                 QStringLiteral("fi fl ffi AV To Wa"), QStringLiteral("a\tb")}) {
            for (double mm = 5; mm < 80; mm += 0.7) {
                const QStringList lines = ReportFonts::wrap(f, t, mm);
                if (lines.size() == 1 && lines.first() == t)
                    QVERIFY2(ReportFonts::width(f, t) <= mm, qPrintable(t + QString::number(mm)));
            }
        }
    }

    void landscapeLetterAndMargins()
    {
        ReportDefinition r = simpleList(numbered(3));
        r.paper = QPageSize::Letter;
        r.orientation = QPageLayout::Landscape;
        const ComposedReport c = Reports::compose(r);
        QVERIFY(qAbs(c.pageSize.width() - 279.4) < 0.1);
        QVERIFY(qAbs(c.pageSize.height() - 215.9) < 0.1);
        QCOMPARE(c.bandsOf(BandKind::Title).first()->rect.width(), 279.4 - 20);
    }

    void progressCanCancelAndFailuresReachTheUser()
    {
        ComposeOptions opt;
        qint64 lastSeen = 0;
        opt.progress = [&lastSeen](qint64 rows, qint64 total) {
            lastSeen = rows;
            return total == 1000 && rows < 200;
        };
        const ComposedReport c = Reports::compose(simpleList(numbered(1000)), opt);
        QVERIFY(c.cancelled);
        QCOMPARE(lastSeen, 200);
        QVERIFY(c.rows < 1000);

        RecordingMessages messages;
        RecordingPreview preview;
        ReportDefinition failing = simpleList({});
        failing.data = []() -> std::unique_ptr<ReportDataSource> { throw DbError(QStringLiteral("tabela inexistente")); };
        QVERIFY(!Reports::open(failing));
        QVERIFY(preview.isEmpty());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().kind, QStringLiteral("error"));
        QCOMPARE(messages.last(), QStringLiteral("tabela inexistente"));

        QVERIFY(Reports::open(simpleList(numbered(2))));
        QCOMPARE(preview.shown.size(), 1);
        QCOMPARE(preview.last().rows, 2);
    }

    void exportsAreWindows1252WithCrLf()
    {
        Rows data = {{1, QStringLiteral("Conceição, \"Zé\"")}, {2, QStringLiteral("Ação €")}, {3, QStringLiteral("Ω omega")}};
        const ComposedReport c = Reports::compose(simpleList(data));

        const QByteArray txt = ReportExport::text(c);
        QVERIFY(txt.contains(Cp1252::encode(QStringLiteral("Conceição"))));
        QVERIFY(txt.contains("\r\n"));
        QVERIFY(!QByteArray(txt).replace("\r\n", "").contains('\n'));
        const QString text = Cp1252::decode(ReportExport::text(c));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        // Right-aligned id before the name on one line, like on paper.
        bool found = false;
        for (const QString &l : lines)
            if (l.contains(QStringLiteral("Ação €")) && l.trimmed().startsWith(QLatin1Char('2')))
                found = true;
        QVERIFY2(found, qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Pag.: 1")));
        QVERIFY(ReportExport::text(c).contains('\x80')); // the euro sign's cp1252 byte

        const QString csv = Cp1252::decode(ReportExport::csv(c));
        QVERIFY2(csv.contains(QStringLiteral("1,\"Conceição, \"\"Zé\"\"\"\r\n")), qPrintable(csv));
        QVERIFY(csv.contains(QStringLiteral("2,Ação €\r\n")));
        QVERIFY(csv.contains(QStringLiteral("Total de registro:,3\r\n")));
        QVERIFY(!csv.contains(QStringLiteral("Pag.:")));

        const QByteArray html = ReportExport::html(c);
        QVERIFY(html.contains("charset=\"windows-1252\""));
        QVERIFY(html.contains("&#937;")); // no cp1252 byte for omega: a character reference
        QVERIFY(html.contains("&quot;Z\xE9&quot;"));
        QVERIFY(html.contains("\r\n"));

        QTemporaryDir dir;
        QString error;
        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        QVERIFY(ReportExport::write(c, ReportExport::Format::Pdf, pdf, &error));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        QVERIFY(ReportExport::write(c, ReportExport::Format::Csv, dir.filePath(QStringLiteral("r.csv")), &error));
        QVERIFY(!ReportExport::write(c, ReportExport::Format::Text, dir.filePath(QStringLiteral("nao/existe/r.txt")), &error));
        QVERIFY(!error.isEmpty());
    }

    // A value wider than its column is never cut where the column ends:
    // it is set smaller down to a readable size, and what still does not
    // fit ends in "…" (the files keep it whole). Two units whose names differ
    // only at their end print differently.
    void valuesWiderThanTheirColumnShrinkOrEndInAnEllipsis()
    {
        const QString norte = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO NORTE");
        const QString sul = QStringLiteral("CLÍNICA MUNICIPAL DE CASTRAÇÃO SUL");
        const QString longo = QStringLiteral("CENTRO DE CONTROLE DE ZOONOSES E BEM-ESTAR ANIMAL DA REGIÃO METROPOLITANA");
        const ReportFont eight{8, false, false};
        const double fitsSmaller = ReportFonts::width(eight, norte) * 0.85; // fits at 6.5 pt, not at 8
        ReportDefinition def;
        def.data = rows({QStringLiteral("id"), QStringLiteral("unidade")},
                        {{1, norte}, {2, sul}, {3, longo}, {4, QStringLiteral("UBS")}});
        ReportBand &d = def.band(BandKind::Detail, 5);
        d.add(Items::field(0, 0, 10, 4, QStringLiteral("id"))).right().named(QStringLiteral("id"));
        d.add(Items::field(12, 0, fitsSmaller, 4, QStringLiteral("unidade"))).named(QStringLiteral("unidade"));
        d.add(Items::computed(80, 0, 30, 4, [](const ReportRow &r) { return r.value(QStringLiteral("unidade")).toString(); }))
            .named(QStringLiteral("calculado"));
        const ComposedReport c = Reports::compose(def);

        const auto units = c.named(QStringLiteral("unidade"));
        QCOMPARE(units.size(), 4);
        QCOMPARE(units.at(0)->text, norte);
        QCOMPARE(units.at(1)->text, sul);
        QVERIFY(units.at(0)->font.pointSize < 8 && units.at(0)->font.pointSize >= 6);
        QVERIFY(units.at(2)->text.endsWith(QStringLiteral("…")));
        QVERIFY(longo.startsWith(units.at(2)->text.chopped(1).trimmed()));
        QCOMPARE(units.at(2)->whole, longo);
        QCOMPARE(units.at(3)->text, QStringLiteral("UBS"));
        QCOMPARE(units.at(3)->font.pointSize, 8.0); // what fits keeps its size
        // Every value printed (whole or shortened) fits inside its column.
        for (int p = 0; p < c.pageCount(); ++p)
            for (const PlacedItem &i : c.pages.at(p).items)
                if (i.kind == PlacedItem::Kind::Text && !i.name.isEmpty())
                    QVERIFY2(ReportFonts::width(i.font, i.text) <= i.rect.width() + 0.05, qPrintable(i.text));
        // Too narrow even at the smallest size: visibly shortened, never cut.
        const auto computed = ReportTesting::named(c, QStringLiteral("calculado"));
        QVERIFY(computed.at(0).endsWith(QStringLiteral("…")));
        QVERIFY(computed.at(1).endsWith(QStringLiteral("…")));
        QCOMPARE(computed.at(3), QStringLiteral("UBS"));

        // The files keep the whole value.
        const QString csv = Cp1252::decode(ReportExport::csv(c));
        QVERIFY2(csv.contains(QStringLiteral("3,") + longo), qPrintable(csv));
        QVERIFY(Cp1252::decode(ReportExport::text(c)).contains(longo));
    }

    // Text wrapping inside a box of a few lines (card stock): a smaller size
    // first, then the last line ends in "…".
    void boxedTextShrinksThenEndsInAnEllipsis()
    {
        ReportDefinition def;
        def.data = rows({QStringLiteral("raca")}, {{QStringLiteral("SPITZ ALEMÃO ANÃO (LULU DA POMERÂNIA)")},
                                                   {QStringLiteral("SRD")},
                                                   {QString(QStringLiteral("PASTOR ")).repeated(12)}});
        ReportBand &d = def.band(BandKind::Detail, 8);
        d.add(Items::field(0, 0, 30, 7.5, QStringLiteral("raca"))).size(8).wrappingWithin(2).named(QStringLiteral("raca"));
        const ComposedReport c = Reports::compose(def);
        const auto breeds = c.named(QStringLiteral("raca"));
        QCOMPARE(breeds.size(), 3);
        QCOMPARE(breeds.at(0)->lines().join(QLatin1Char(' ')), QStringLiteral("SPITZ ALEMÃO ANÃO (LULU DA POMERÂNIA)"));
        QCOMPARE(breeds.at(1)->text, QStringLiteral("SRD"));
        QCOMPARE(breeds.at(1)->font.pointSize, 8.0);
        QCOMPARE(breeds.at(2)->lines().size(), 2);
        QVERIFY(breeds.at(2)->lines().last().endsWith(QStringLiteral("…")));
        QCOMPARE(breeds.at(2)->font.pointSize, 6.0);
        QVERIFY(breeds.at(2)->whole.startsWith(QStringLiteral("PASTOR PASTOR")));
    }

    void fiftyThousandRowsStreamOnce()
    {
        // Rows are produced on demand: the report never holds the data, only
        // the pages. Memory must stay well below a copy of data plus pages.
        qint64 produced = 0;
        ReportDefinition r = simpleList({});
        r.data = [&produced] {
            return std::make_unique<GeneratedDataSource>(
                QStringList{QStringLiteral("id"), QStringLiteral("nome")},
                [&produced](QList<QVariant> &v) {
                    if (produced == 50000)
                        return false;
                    ++produced;
                    v = {produced, QStringLiteral("Proprietário número %1").arg(produced)};
                    return true;
                });
        };
        const qint64 before = residentKb();
        qint64 calls = 0;
        ComposeOptions opt;
        opt.progress = [&calls](qint64, qint64) { ++calls; return true; };
        const ComposedReport c = Reports::compose(r, opt);
        const qint64 after = residentKb();
        QCOMPARE(produced, 50000);
        QCOMPARE(c.rows, 50000);
        QVERIFY(!c.cancelled);
        QVERIFY(calls >= 1000);
        QCOMPARE(c.named(QStringLiteral("total")).first()->text, QStringLiteral("50000"));
        QVERIFY(c.pageCount() > 900);
        qInfo("50000 rows: %d pages, resident memory grew by %lld kB", c.pageCount(), after - before);
        QVERIFY2(after - before < 400 * 1024, qPrintable(QString::number(after - before)));
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
