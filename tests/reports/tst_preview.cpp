// The preview window, printing and the page images, driven offscreen.
#include "db/Formats.h"
#include "db/TextCodec.h"
#include "reports/engine/PreviewDialog.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/Reports.h"
#include "support/RecordingServices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTimer>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QStandardPaths>
#include "support/RecordingPreview.h"

namespace {

ReportDefinition pagedReport(int rows)
{
    ReportDefinition r;
    r.title = QStringLiteral("Relatório de teste");
    r.data = [rows] {
        QList<QList<QVariant>> data;
        for (int i = 1; i <= rows; ++i)
            data << QList<QVariant>{i, QStringLiteral("Registro número %1 com acentuação").arg(i)};
        return std::make_unique<RowListDataSource>(QStringList{QStringLiteral("id"), QStringLiteral("nome")}, data);
    };
    ReportBand &t = r.band(BandKind::Title, 14);
    t.lineBelow = true;
    t.add(Items::label(0, 0, 190, 7, QStringLiteral("Sistema de Teste"))).size(14).bold().center();
    t.add(Items::label(0, 8, 190, 5, QStringLiteral("Relatório de teste"))).size(10).center();
    ReportBand &d = r.band(BandKind::Detail, 6);
    d.box = true;
    d.add(Items::field(0, 1, 15, 4, QStringLiteral("id"))).right().size(10);
    d.add(Items::field(18, 1, 150, 4, QStringLiteral("nome")));
    r.band(BandKind::PageFooter, 6).add(Items::pageNumber(140, 1, 50, 4, QStringLiteral("Pag.: %1"))).right();
    return r;
}

int pdfPages(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    int n = 0;
    auto it = QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")).globalMatch(QString::fromLatin1(f.readAll()));
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

// The paged report closed by a summary with a pie chart on its last page.
ReportDefinition chartedReport(int rows)
{
    ReportDefinition r = pagedReport(rows);
    ChartSpec pie;
    pie.type = ChartData::Type::Pie;
    pie.title = QStringLiteral("Registros por paridade");
    pie.values = [rows](const ReportRow &) {
        return QList<QPair<QString, double>>{{QStringLiteral("PARES"), double(rows / 2)},
                                             {QStringLiteral("ÍMPARES"), double(rows - rows / 2)}};
    };
    r.band(BandKind::Summary, 80).add(Items::chart(0, 2, 120, 75, pie));
    return r;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Pages as the PDF reader counts them (-1 when it cannot read the file).
int pdfinfoPages(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return -1;
    const auto m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                       .match(QString::fromLatin1(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

int inkPixels(const QImage &img, const QRect &area)
{
    const QRect r = area.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160)
                ++n;
    return n;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Formats::install(); }

    void navigatesPageByPageWithZoom()
    {
        const ComposedReport r = Reports::compose(pagedReport(120));
        QVERIFY(r.pageCount() >= 3);
        PreviewDialog dlg(r);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto act = [&dlg](const char *name) { return dlg.findChild<QAction *>(QLatin1String(name)); };
        QCOMPARE(dlg.pageText(), QStringLiteral("Página 1 de %1").arg(r.pageCount()));
        QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lblPagina"))->text(), dlg.pageText());
        QVERIFY(!act("actFirst")->isEnabled());
        QVERIFY(!act("actPrior")->isEnabled());
        act("actNext")->trigger();
        QCOMPARE(dlg.currentPage(), 1);
        act("actLast")->trigger();
        QCOMPARE(dlg.pageText(), QStringLiteral("Página %1 de %1").arg(r.pageCount()));
        QVERIFY(!act("actNext")->isEnabled());
        act("actPrior")->trigger();
        QCOMPARE(dlg.currentPage(), r.pageCount() - 2);
        act("actFirst")->trigger();
        QCOMPARE(dlg.currentPage(), 0);

        dlg.setZoom(2.0);
        QCOMPARE(dlg.zoom(), 2.0);
        act("actFitWidth")->trigger();
        const double widthZoom = dlg.zoom();
        act("actFitPage")->trigger();
        QVERIFY(dlg.zoom() < widthZoom); // a whole A4 page is narrower than the width
        QVERIFY(!act("actPrint")->text().isEmpty());

        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR")) {
            dlg.resize(1000, 800);
            act("actFitWidth")->trigger();
            dlg.grab().save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/preview.png"));
        }
    }

    void opensAtPageWidthWithEveryCommandInSight()
    {
        const ComposedReport r = Reports::compose(pagedReport(120));
        PreviewDialog dlg(r);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const double opened = dlg.zoom();
        dlg.findChild<QAction *>(QStringLiteral("actFitWidth"))->trigger();
        QCOMPARE(dlg.zoom(), opened);
        QVERIFY(opened > 0.5);
        auto *bar = dlg.findChild<QToolBar *>(QStringLiteral("tlbPreview"));
        for (const char *name : {"actPrint", "actSave", "actClose", "actNext"}) {
            QWidget *button = bar->widgetForAction(dlg.findChild<QAction *>(QLatin1String(name)));
            QVERIFY2(button && button->isVisible(), name);
        }
    }

    void savesInTheChosenFormat()
    {
        const ComposedReport r = Reports::compose(pagedReport(5));
        PreviewDialog dlg(r);
        QTemporaryDir dir;
        RecordingFileDialogs files;
        RecordingMessages messages;
        for (const QString &name : {QStringLiteral("a.txt"), QStringLiteral("a.html"), QStringLiteral("a.csv"), QStringLiteral("a.pdf")}) {
            files.nextSave = dir.filePath(name);
            dlg.findChild<QAction *>(QStringLiteral("actSave"))->trigger();
            QVERIFY2(QFile::exists(files.nextSave), qPrintable(name));
        }
        QFile csv(dir.filePath(QStringLiteral("a.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().contains("3,Registro n\xFAmero 3 com acentua\xE7\xE3o\r\n"));
        QFile pdf(dir.filePath(QStringLiteral("a.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        // A name without extension is saved as text; a cancelled dialog saves nothing.
        files.nextSave = dir.filePath(QStringLiteral("semextensao"));
        dlg.save();
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("semextensao.txt"))));
        files.nextSave.clear();
        dlg.save();
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(PreviewDialog::formatFor(QStringLiteral("x.HTM")), ReportExport::Format::Html);
    }

    // The clerk's own path: the shown window's save command, a name typed in
    // the file dialog, every format of a report with several pages and a
    // chart; each file whole, and a cancelled dialog writes nothing.
    void savesAWholeChartReportFromTheWindow()
    {
        const ComposedReport r = Reports::compose(chartedReport(150));
        QVERIFY(r.pageCount() >= 4);
        PreviewDialog dlg(r);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTemporaryDir dir;
        RecordingFileDialogs files;
        RecordingMessages messages;
        QAction *save = dlg.findChild<QAction *>(QStringLiteral("actSave"));
        QVERIFY(save && save->isEnabled());
        for (const char *name : {"relatorio.pdf", "relatorio.txt", "relatorio.html", "relatorio.csv"}) {
            files.nextSave = dir.filePath(QLatin1String(name));
            save->trigger();
        }
        QCOMPARE(files.asked.size(), 4);
        QCOMPARE(messages.texts(), QStringList());
        // Nothing but the four files: no temporary names left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"relatorio.csv", "relatorio.html", "relatorio.pdf", "relatorio.txt"}));

        const QByteArray pdf = fileBytes(dir.filePath(QStringLiteral("relatorio.pdf")));
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QCOMPARE(pdfinfoPages(dir.filePath(QStringLiteral("relatorio.pdf"))), r.pageCount());
        else
            QCOMPARE(pdfPages(dir.filePath(QStringLiteral("relatorio.pdf"))), r.pageCount());

        // The text files reach the last row and the chart on the last page.
        const QString txt = Cp1252::decode(fileBytes(dir.filePath(QStringLiteral("relatorio.txt"))));
        QVERIFY(txt.contains(QStringLiteral("Registro número 1 com acentuação")));
        QVERIFY(txt.contains(QStringLiteral("150 Registro número 150 com acentuação")));
        QVERIFY(txt.contains(QStringLiteral("Pag.: %1").arg(r.pageCount())));
        QVERIFY(txt.endsWith(QStringLiteral("Registros por paridade\r\nPARES;75;50,0%\r\nÍMPARES;75;50,0%\r\n")));
        const QString csv = Cp1252::decode(fileBytes(dir.filePath(QStringLiteral("relatorio.csv"))));
        QVERIFY(csv.contains(QStringLiteral("150,Registro número 150 com acentuação\r\n")));
        QVERIFY(csv.endsWith(QStringLiteral("Registros por paridade\r\nPARES;75;50,0%\r\nÍMPARES;75;50,0%\r\n")));
        const QString html = Cp1252::decode(fileBytes(dir.filePath(QStringLiteral("relatorio.html"))));
        QCOMPARE(html.count(QStringLiteral("<div class=\"pg\"")), r.pageCount());
        QVERIFY(html.contains(QStringLiteral("Registro número 150 com acentuação")));
        QVERIFY(html.contains(QStringLiteral("alt=\"Registros por paridade\" src=\"data:image/png;base64,")));
        QVERIFY(html.endsWith(QStringLiteral("</body></html>\r\n")));

        // Cancelled: no file, no message, the earlier files untouched.
        const QByteArray before = fileBytes(dir.filePath(QStringLiteral("relatorio.txt")));
        files.nextSave.clear();
        save->trigger();
        QCOMPARE(files.asked.size(), 5);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("relatorio.txt"))), before);
        QVERIFY(messages.shown.isEmpty());
    }

    void printsThePageRangeAndCopies()
    {
        const ComposedReport r = Reports::compose(pagedReport(120));
        QVERIFY(r.pageCount() >= 3);
        PreviewDialog dlg(r);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("range.pdf")));
        printer.setFromTo(2, 3);
        QVERIFY(dlg.printOn(printer));
        QCOMPARE(pdfPages(dir.filePath(QStringLiteral("range.pdf"))), 2);

        QPrinter copies(QPrinter::HighResolution);
        copies.setOutputFormat(QPrinter::PdfFormat);
        copies.setOutputFileName(dir.filePath(QStringLiteral("copies.pdf")));
        copies.setFromTo(1, 1);
        copies.setCopyCount(2);
        QVERIFY(dlg.printOn(copies));
        QCOMPARE(pdfPages(dir.filePath(QStringLiteral("copies.pdf"))), copies.supportsMultipleCopies() ? 1 : 2);
    }

    void theRealPreviewIsModalAndTheCallerWaits()
    {
        // No recording preview: Reports::open shows the window itself.
        bool seen = false;
        QString pageText;
        QTimer::singleShot(100, this, [&] {
            auto *dlg = qobject_cast<PreviewDialog *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            seen = true;
            pageText = dlg->pageText();
            dlg->findChild<QAction *>(QStringLiteral("actClose"))->trigger();
        });
        QVERIFY(Reports::open(pagedReport(3)));
        QVERIFY(seen);
        QCOMPARE(pageText, QStringLiteral("Página 1 de 1"));
    }

    void aSlowReportShowsProgressAndCanBeCancelled()
    {
        RecordingPreview preview;
        ReportDefinition r = pagedReport(0);
        r.data = [] {
            auto n = std::make_shared<int>(0);
            return std::make_unique<GeneratedDataSource>(QStringList{QStringLiteral("id"), QStringLiteral("nome")},
                                                         [n](QList<QVariant> &v) {
                                                             if (*n == 100000)
                                                                 return false;
                                                             QThread::usleep(200);
                                                             v = {++*n, QStringLiteral("Linha")};
                                                             return true;
                                                         });
        };
        bool sawProgress = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *p = qobject_cast<QProgressDialog *>(w); p && p->isVisible()) {
                    sawProgress = true;
                    QVERIFY(p->labelText().contains(QStringLiteral("registro(s) lido(s)")));
                    p->findChild<QPushButton *>()->click();
                }
        });
        poll.start(100);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!Reports::open(r));
        QVERIFY(sawProgress);
        QVERIFY(preview.isEmpty());
        QVERIFY(clock.elapsed() < 15000); // stopped long before the 100000 rows
    }

    void drawingPutsInkWhereThePageModelSays()
    {
        const ComposedReport r = Reports::compose(pagedReport(3));
        const double dpi = 100;
        const QImage img = ReportPainter::pageImage(r, 0, dpi);
        QCOMPARE(img.width(), qRound(210 / 25.4 * dpi));
        const auto toPx = [dpi](const QRectF &mm) {
            return QRectF(mm.x() * dpi / 25.4, mm.y() * dpi / 25.4, mm.width() * dpi / 25.4, mm.height() * dpi / 25.4).toAlignedRect();
        };
        // Text inside the name field's rectangle, nothing in the empty margin.
        const PlacedItem *name = r.named(QStringLiteral("nome")).first();
        QVERIFY(inkPixels(img, toPx(name->rect)) > 20);
        QCOMPARE(inkPixels(img, toPx(QRectF(0, 0, 9, 297))), 0);
        if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR"))
            ReportPainter::pageImage(r, 0, 150).save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR") + QStringLiteral("/engine.png"));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
