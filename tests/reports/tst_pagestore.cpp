// Finished pages kept packed (in memory, then in a temporary file) and read
// back one at a time by the preview, the printer and the exports.
#include "db/Formats.h"
#include "reports/engine/Composer.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/ReportExport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every field, pictures by identity: a page read back must be the very page
// that was laid out.
QString difference(const PlacedItem &a, const PlacedItem &b)
{
    if (a.kind != b.kind)
        return QStringLiteral("kind");
    if (a.rect != b.rect || a.rect.x() != b.rect.x() || a.rect.y() != b.rect.y() || a.rect.width() != b.rect.width()
        || a.rect.height() != b.rect.height())
        return QStringLiteral("rect");
    if (a.name != b.name)
        return QStringLiteral("name ") + a.name + QStringLiteral(" / ") + b.name;
    if (a.text != b.text)
        return QStringLiteral("text ") + a.text + QStringLiteral(" / ") + b.text;
    if (!(a.font == b.font))
        return QStringLiteral("font");
    if (a.align != b.align || a.clip != b.clip || a.penWidth != b.penWidth || a.band != b.band)
        return QStringLiteral("align, clip, pen or band");
    if (a.picture != b.picture)
        return QStringLiteral("picture");
    // A chart is made afresh by each composition: the same figures will do.
    if (a.chart != b.chart
        && (!a.chart || !b.chart || a.chart->title != b.chart->title || a.chart->labels != b.chart->labels
            || a.chart->values != b.chart->values || a.chart->percentTexts != b.chart->percentTexts))
        return QStringLiteral("chart");
    return {};
}

void comparePages(const ReportPage &got, const ReportPage &want)
{
    QCOMPARE(got.items.size(), want.items.size());
    for (int k = 0; k < want.items.size(); ++k)
        QVERIFY2(difference(got.items.at(k), want.items.at(k)).isEmpty(),
                 qPrintable(QStringLiteral("item %1: ").arg(k) + difference(got.items.at(k), want.items.at(k))));
}

PlacedItem text(double x, double y, const QString &s, int band)
{
    PlacedItem i;
    i.rect = QRectF(x, y, 40.3, 4.1);
    i.name = QStringLiteral("campo");
    i.text = s;
    i.band = band;
    return i;
}

// Pages holding every kind of item and the values that are easy to get
// wrong: texts beyond Latin-1, empty and multi-line texts, coordinates
// that are not round in binary, bands out of order, shared pictures.
QList<ReportPage> handMadePages(const std::shared_ptr<const QImage> &logo, const std::shared_ptr<const ChartData> &chart)
{
    QList<ReportPage> pages;
    for (int p = 0; p < 4; ++p) {
        ReportPage page;
        double y = 10.0 / 3;
        for (int row = 0; row < 30; ++row, y += 0.1 + 0.2 + 4) {
            page.items << text(10, y, QStringLiteral("Registro %1 de São João").arg(row + p * 30), p * 40 + row);
            PlacedItem i = text(52.7, y, row % 7 ? QStringLiteral("Açaí € 漢字 %1").arg(row) : QString(), p * 40 + row);
            i.font = ReportFont{7.5, row % 2 == 0, row % 3 == 0};
            i.align = row % 2 ? Qt::AlignRight : (Qt::AlignHCenter | Qt::AlignVCenter);
            i.clip = row % 4 == 0;
            i.name = row % 5 ? QStringLiteral("nome") : QString();
            page.items << i;
            if (row % 6 == 0) {
                PlacedItem l;
                l.kind = PlacedItem::Kind::Line;
                l.rect = QRectF(10, y + 4.1, 0, -0.0);
                l.penWidth = 0.35;
                l.band = -1;
                page.items << l;
            }
        }
        PlacedItem wrapped = text(10, 250.25, QStringLiteral("primeira linha\nsegunda linha\n\núltima"), 7);
        wrapped.rect.setHeight(12.3);
        page.items << wrapped;
        PlacedItem box;
        box.kind = PlacedItem::Kind::Rect;
        box.rect = QRectF(5, 5, 200, 287);
        box.band = 3;
        page.items << box;
        PlacedItem pic;
        pic.kind = PlacedItem::Kind::Picture;
        pic.rect = QRectF(170, 5, 30, 20);
        pic.picture = logo;
        page.items << pic;
        if (p == 3) {
            PlacedItem c;
            c.kind = PlacedItem::Kind::Chart;
            c.rect = QRectF(10, 100, 90, 80);
            c.chart = chart;
            c.name = QStringLiteral("especie");
            page.items << c;
        }
        pages << page;
    }
    return pages;
}

ReportDefinition listOf(int rows)
{
    ReportDefinition r;
    r.title = QStringLiteral("Lista longa");
    r.data = [rows] {
        QList<QList<QVariant>> data;
        for (int i = 1; i <= rows; ++i)
            data << QList<QVariant>{i, QStringLiteral("Registro número %1 com acentuação").arg(i), i % 3};
        return std::make_unique<RowListDataSource>(QStringList{QStringLiteral("id"), QStringLiteral("nome"), QStringLiteral("grupo")},
                                                   data);
    };
    ReportBand &t = r.band(BandKind::Title, 14);
    t.lineBelow = true;
    t.add(Items::label(0, 0, 190, 7, QStringLiteral("Sistema de Teste"))).size(14).bold().center();
    t.add(Items::picture(170, 0, 20, 12, QImage(40, 24, QImage::Format_RGB32)));
    ReportBand &d = r.band(BandKind::Detail, 6);
    d.box = true;
    d.add(Items::field(0, 1, 15, 4, QStringLiteral("id"))).right().size(10).named(QStringLiteral("id"));
    d.add(Items::field(18, 1, 110, 4, QStringLiteral("nome"))).wrapping().named(QStringLiteral("nome"));
    d.add(Items::field(130, 1, 20, 4, QStringLiteral("grupo"))).italic();
    ReportBand &s = r.band(BandKind::Summary, 90);
    s.add(Items::rowCount(0, 1, 40, 4)).named(QStringLiteral("total"));
    ChartSpec spec;
    spec.title = QStringLiteral("Por grupo");
    spec.values = [](const ReportRow &) { return QList<QPair<QString, double>>{{QStringLiteral("A"), 2}, {QStringLiteral("B"), 1}}; };
    s.add(Items::chart(0, 6, 90, 80, spec)).named(QStringLiteral("grafico"));
    r.band(BandKind::PageFooter, 6).add(Items::pageNumber(140, 1, 50, 4, QStringLiteral("Pág. %1 de %2"))).right().named(
        QStringLiteral("pagina"));
    return r;
}

ComposedReport composeWithLimit(const ReportDefinition &def, qint64 limit)
{
    const qint64 saved = PageStore::memoryLimit();
    PageStore::setMemoryLimit(limit);
    ComposedReport r = Reports::compose(def);
    PageStore::setMemoryLimit(saved);
    return r;
}

int pdfPages(const QByteArray &pdf)
{
    int n = 0;
    auto it = QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")).globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPageStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Formats::install(); }

    void pagesReadBackAsTheyWereLaidOut_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::newRow("in memory") << qint64(64) * 1024 * 1024;
        QTest::newRow("on disk") << qint64(0);
        QTest::newRow("half and half") << qint64(2000);
    }

    void pagesReadBackAsTheyWereLaidOut()
    {
        QFETCH(qint64, limit);
        auto logo = std::make_shared<const QImage>(8, 8, QImage::Format_RGB32);
        auto chart = std::make_shared<ChartData>();
        chart->title = QStringLiteral("Espécies");
        const QList<ReportPage> pages = handMadePages(logo, chart);
        const qint64 saved = PageStore::memoryLimit();
        PageStore::setMemoryLimit(limit);
        PageStore store;
        for (const ReportPage &p : pages)
            store.append(p);
        PageStore::setMemoryLimit(saved);
        QCOMPARE(store.size(), pages.size());
        QCOMPARE(store.spilled(), limit < 64 * 1024);
        QVERIFY(store.bytesInMemory() <= qMax<qint64>(limit, 0) || !store.spilled());
        // In any order, and again.
        for (int p : {2, 0, 3, 1, 2})
            comparePages(store.at(p), pages.at(p));
        for (int p = 0; p < pages.size(); ++p)
            comparePages(store.all().at(p), pages.at(p));
        QVERIFY(store.at(-1).items.isEmpty());
        QVERIFY(store.at(4).items.isEmpty());

        // Pages are packed beside the composition: one read back at once,
        // before its packing is done, is the page all the same, and so is
        // every page once all are packed.
        PageStore::setMemoryLimit(limit);
        PageStore many;
        for (int k = 0; k < 120; ++k) {
            many.append(pages.at(k % pages.size()));
            comparePages(many.at(k), pages.at(k % pages.size()));
        }
        PageStore::setMemoryLimit(saved);
        QCOMPARE(many.size(), 120);
        QCOMPARE(many.spilled(), limit < 64 * 1024);
        QVERIFY(many.packedBytes() > 0);
        for (int k = 119; k >= 0; k -= 7)
            comparePages(many.at(k), pages.at(k % pages.size()));
    }

    void aReportSpilledToDiskReadsLikeOneKeptInMemory()
    {
        const ReportDefinition def = listOf(400);
        const ComposedReport kept = composeWithLimit(def, qint64(64) * 1024 * 1024);
        const ComposedReport spilled = composeWithLimit(def, 4000);
        QVERIFY(!kept.pages.spilled());
        QVERIFY(spilled.pages.spilled());
        QVERIFY(spilled.pages.bytesInMemory() <= 4000);
        QVERIFY(kept.pageCount() > 8);
        QCOMPARE(spilled.pageCount(), kept.pageCount());
        QCOMPARE(spilled.bands.size(), kept.bands.size());
        for (int p = kept.pageCount() - 1; p >= 0; --p)
            comparePages(spilled.pages.at(p), kept.pages.at(p));

        // Page numbers know the count, which was unknown while the first
        // pages were being packed; the row count and chart are whole.
        const int n = kept.pageCount();
        QCOMPARE(spilled.texts(0).last(), QStringLiteral("Pág. 1 de %1").arg(n));
        QCOMPARE(spilled.texts(n - 1).last(), QStringLiteral("Pág. %1 de %1").arg(n));
        QCOMPARE(spilled.named(QStringLiteral("total")).first()->text, QStringLiteral("400"));
        QCOMPARE(spilled.named(QStringLiteral("grafico")).first()->chart->labels, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QStringList ids;
        for (const PlacedItem *i : spilled.named(QStringLiteral("id")))
            ids << i->text;
        QCOMPARE(ids.size(), 400);
        QCOMPARE(ids.last(), QStringLiteral("400"));
        // Packing pays: far less than the items' own size in memory.
        QVERIFY2(kept.pages.packedBytes() < kept.pageCount() * 4000, qPrintable(QString::number(kept.pages.packedBytes())));
    }

    void copiesOutliveTheOriginal()
    {
        // The preview and the tests hold copies; the spilled pages stay
        // readable after the report that composed them is gone.
        QList<ComposedReport> shown;
        {
            const ComposedReport r = composeWithLimit(listOf(300), 0);
            QVERIFY(r.pages.spilled());
            shown << r;
        }
        const ComposedReport &copy = shown.last();
        QVERIFY(copy.pageCount() > 5);
        QCOMPARE(copy.pages.bytesInMemory(), 0);
        QVERIFY(copy.allTexts().contains(QStringLiteral("Registro número 300 com acentuação")));
    }

    void longReportsExportWhole()
    {
        // Part of the pages in memory, the rest on disk.
        const ComposedReport r = composeWithLimit(listOf(3000), 30000);
        QVERIFY(r.pages.spilled());
        const int n = r.pageCount();
        QVERIFY(n > 60);
        QTemporaryDir dir;

        const QByteArray text = ReportExport::text(r);
        QVERIFY(ReportExport::write(r, ReportExport::Format::Text, dir.filePath(QStringLiteral("a.txt"))));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("a.txt"))), text);
        for (int i : {1, 1500, 3000})
            QCOMPARE(text.count(QStringLiteral("Registro n\xFAmero %1 com").arg(i).toLatin1()), 1);
        QCOMPARE(text.count("Registro n\xFAmero "), 3000);
        QVERIFY(text.contains(QStringLiteral("P\xE1g. %1 de %1").arg(n).toLatin1()));
        QVERIFY(text.endsWith("B;1;33,3%\r\n"));

        const QByteArray csv = ReportExport::csv(r);
        QVERIFY(ReportExport::write(r, ReportExport::Format::Csv, dir.filePath(QStringLiteral("a.csv"))));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("a.csv"))), csv);
        QCOMPARE(csv.count("com acentua\xE7\xE3o"), 3000);
        QVERIFY(csv.contains("\r\n3000,Registro n\xFAmero 3000 com acentua\xE7\xE3o,0\r\n"));
        QCOMPARE(csv.count("Sistema de Teste"), 1); // the title once

        QVERIFY(ReportExport::write(r, ReportExport::Format::Html, dir.filePath(QStringLiteral("a.html"))));
        const QByteArray html = readAll(dir.filePath(QStringLiteral("a.html")));
        QCOMPARE(html.count("<div class=\"pg\""), n);
        QVERIFY(html.endsWith("</body></html>\r\n"));

        QVERIFY(ReportExport::write(r, ReportExport::Format::Pdf, dir.filePath(QStringLiteral("a.pdf"))));
        QCOMPARE(pdfPages(readAll(dir.filePath(QStringLiteral("a.pdf")))), n);
    }

    void aCancelledOrFailedExportLeavesTheOldFile()
    {
        const ComposedReport r = composeWithLimit(listOf(600), 0);
        QTemporaryDir dir;
        for (const auto &[name, format] : {std::pair{QStringLiteral("a.txt"), ReportExport::Format::Text},
                                           std::pair{QStringLiteral("a.pdf"), ReportExport::Format::Pdf}}) {
            const QString path = dir.filePath(name);
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("anterior");
            old.close();
            int asked = 0;
            QString error;
            QVERIFY(!ReportExport::write(r, format, path, &error, [&asked](int done, int total) {
                ++asked;
                return done < total / 2;
            }));
            QCOMPARE(error, QStringLiteral("Operação cancelada."));
            QCOMPARE(asked, r.pageCount() / 2 + 1);
            QCOMPARE(readAll(path), QByteArray("anterior"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), name.endsWith(QStringLiteral("pdf")) ? 2 : 1);
        }
        // A folder that does not exist: an error, no file.
        QString error;
        QVERIFY(!ReportExport::write(r, ReportExport::Format::Pdf, dir.filePath(QStringLiteral("nao/existe.pdf")), &error));
        QCOMPARE(error, QStringLiteral("Não foi possível gravar o arquivo %1.").arg(dir.filePath(QStringLiteral("nao/existe.pdf"))));
    }
};

QTEST_MAIN(TestPageStore)
#include "tst_pagestore.moc"
