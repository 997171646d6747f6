// A long report in the preview while it is still being composed: the first
// page at once, the rest as it comes, page totals once known, Cancelar.
#include "db/DbError.h"
#include "db/Formats.h"
#include "reports/engine/Composer.h"
#include "reports/engine/PreviewDialog.h"
#include "reports/engine/Reports.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

// Two group levels, a page total in every footer and a summary: what a
// streamed page could get wrong (group breaks across slices, totals).
ReportDefinition groupedReport(std::function<std::unique_ptr<ReportDataSource>()> data)
{
    ReportDefinition r;
    r.title = QStringLiteral("Relatório em partes");
    r.data = std::move(data);
    ReportBand &t = r.band(BandKind::Title, 12);
    t.add(Items::label(0, 0, 190, 7, QStringLiteral("Relatório em partes"))).size(12).bold();
    ReportGroup &g = r.addGroup(QStringLiteral("dezena"), QStringLiteral("dezena"));
    g.header.height = 6;
    g.header.add(Items::field(0, 0.5, 100, 5, QStringLiteral("dezena"))).bold();
    g.addFooter(5).add(Items::count(0, 0.5, 40, 4)).named(QStringLiteral("contagem"));
    ReportBand &d = r.band(BandKind::Detail, 5);
    d.add(Items::field(0, 0.5, 20, 4, QStringLiteral("id")));
    d.add(Items::field(25, 0.5, 150, 4, QStringLiteral("nome"))).wrapping();
    r.band(BandKind::Summary, 6).add(Items::rowCount(0, 0.5, 60, 4)).named(QStringLiteral("total"));
    r.band(BandKind::PageFooter, 6).add(Items::pageNumber(120, 1, 70, 4, QStringLiteral("Pag.: %1 de %2"))).named(
        QStringLiteral("pagina"));
    return r;
}

// `rows` rows; each waits `usPerRow` (a slow query) and the source notes
// when it is released through `alive`.
std::function<std::unique_ptr<ReportDataSource>()> rowsOf(int rows, int usPerRow = 0, std::weak_ptr<int> *alive = nullptr,
                                                          int failAt = 0)
{
    return [=] {
        auto n = std::make_shared<int>(0);
        if (alive)
            *alive = n;
        return std::make_unique<GeneratedDataSource>(
            QStringList{QStringLiteral("id"), QStringLiteral("dezena"), QStringLiteral("nome")},
            [n, rows, usPerRow, failAt](QList<QVariant> &v) {
                if (*n == rows)
                    return false;
                if (failAt > 0 && *n == failAt)
                    throw DbError(QStringLiteral("A conexão com o banco de dados foi perdida."));
                if (usPerRow > 0)
                    QThread::usleep(usPerRow);
                ++*n;
                // Some names wrap onto a second line.
                v = {*n, *n / 10, *n % 7 == 0 ? QStringLiteral("Nome comprido ").repeated(12) : QStringLiteral("Nome %1").arg(*n)};
                return true;
            });
    };
}

QString samePage(const ReportPage &a, const ReportPage &b)
{
    if (a.items.size() != b.items.size())
        return QStringLiteral("%1 items / %2").arg(a.items.size()).arg(b.items.size());
    for (int k = 0; k < a.items.size(); ++k) {
        const PlacedItem &x = a.items.at(k), &y = b.items.at(k);
        if (x.kind != y.kind || x.rect != y.rect || x.text != y.text || x.name != y.name || x.band != y.band
            || !(x.font == y.font))
            return QStringLiteral("item %1: %2 / %3").arg(k).arg(x.text, y.text);
    }
    return {};
}

QString footerOf(const ReportPage &p)
{
    for (const PlacedItem &it : p.items)
        if (it.name == QLatin1String("pagina"))
            return it.text;
    return {};
}

PreviewDialog *openPreview()
{
    return qobject_cast<PreviewDialog *>(QApplication::activeModalWidget());
}

} // namespace

class TestStreamedPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Formats::install(); }

    // Composed a row at a time, the pages are the very pages of one pass;
    // while composing their total reads "...", afterwards the real count.
    void slicesComposeTheSamePages()
    {
        const ReportDefinition def = groupedReport(rowsOf(1500));
        const ComposedReport whole = Reports::compose(def);
        QVERIFY(whole.pageCount() > 20);

        Reports::Composition c(def);
        c.start();
        int calls = 0;
        QString midFooter;
        while (c.runFor(0)) {
            ++calls;
            if (c.report().pageCount() == 3 && midFooter.isEmpty())
                midFooter = footerOf(c.report().pages.at(2));
        }
        QVERIFY(calls > 1000); // one row per slice
        QCOMPARE(midFooter, QStringLiteral("Pag.: 3 de ..."));
        QVERIFY(c.finished());
        const ComposedReport &streamed = c.report();
        QCOMPARE(streamed.pageCount(), whole.pageCount());
        QCOMPARE(streamed.rows, whole.rows);
        QCOMPARE(streamed.bands.size(), whole.bands.size());
        for (int p = 0; p < whole.pageCount(); ++p) {
            const QString diff = samePage(streamed.pages.at(p), whole.pages.at(p));
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(diff)));
        }
        QCOMPARE(footerOf(streamed.pages.at(2)), QStringLiteral("Pag.: 3 de %1").arg(whole.pageCount()));
        QCOMPARE(streamed.named(QStringLiteral("total")).last()->text, QStringLiteral("1500"));
    }

    // The window shows the first page while the rest is composed; a page
    // further on is waited for; printing comes with the last page.
    void theWindowShowsPagesAsTheyCome()
    {
        const ReportDefinition def = groupedReport(rowsOf(3000, 300)); // about a second
        Reports::Composition c(def);
        c.start();
        c.runFor(10000, 1);
        QCOMPARE(c.report().pageCount(), 1);
        PreviewDialog dlg(c);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto act = [&dlg](const char *name) { return dlg.findChild<QAction *>(QLatin1String(name)); };
        auto *state = dlg.findChild<QLabel *>(QStringLiteral("lblComposicao"));
        QVERIFY(dlg.composing());
        QVERIFY(dlg.pageText().startsWith(QStringLiteral("Página 1 de ")));
        QVERIFY(dlg.pageText().endsWith(QStringLiteral("...")));
        QVERIFY(!act("actPrint")->isEnabled());
        QVERIFY(!act("actSave")->isEnabled());
        QVERIFY(act("actNext")->isEnabled());

        // The count grows while the clerk looks.
        QTRY_VERIFY(c.report().pageCount() >= 3);
        QVERIFY(dlg.composing());
        QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lblPagina"))->text(), dlg.pageText());

        // A page not composed yet: waited for, then shown.
        const int ahead = c.report().pageCount() + 5;
        dlg.setPage(ahead);
        QCOMPARE(dlg.currentPage(), ahead);
        QVERIFY(state->isVisible());
        QVERIFY2(state->text().contains(QStringLiteral("Aguardando a página")), qPrintable(state->text()));
        QTRY_VERIFY(c.report().pageCount() > ahead);
        QCOMPARE(dlg.currentPage(), ahead);
        QVERIFY(!state->text().contains(QStringLiteral("Aguardando")));

        // "Última" waits for the end and then shows the last page with its total.
        act("actLast")->trigger();
        QVERIFY(state->text().contains(QStringLiteral("Aguardando a última página")));
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.composing(), 30000);
        const int n = c.report().pageCount();
        QCOMPARE(dlg.currentPage(), n - 1);
        QCOMPARE(dlg.pageText(), QStringLiteral("Página %1 de %1").arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n)));
        QVERIFY(act("actPrint")->isEnabled());
        QVERIFY(act("actSave")->isEnabled());
        QVERIFY(!dlg.findChild<QWidget *>(QStringLiteral("pnlComposicao"))->isVisible());
        QCOMPARE(footerOf(c.report().pages.at(0)), QStringLiteral("Pag.: 1 de %1").arg(n));

        const ComposedReport whole = Reports::compose(groupedReport(rowsOf(3000)));
        QCOMPARE(n, whole.pageCount());
        for (int p = 0; p < n; p += 7)
            QVERIFY2(samePage(c.report().pages.at(p), whole.pages.at(p)).isEmpty(), qPrintable(QString::number(p)));
    }

    // Cancelar stops at once and frees the data; closing does the same.
    void cancelAndCloseStopTheComposition()
    {
        std::weak_ptr<int> alive;
        const ReportDefinition def = groupedReport(rowsOf(100000, 200, &alive));
        {
            Reports::Composition c(def);
            c.start();
            c.runFor(10000, 1);
            PreviewDialog dlg(c);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QTRY_VERIFY(c.report().pageCount() >= 2);
            QVERIFY(!alive.expired());
            dlg.findChild<QPushButton *>(QStringLiteral("btnCancelar"))->click();
            QVERIFY(!dlg.composing());
            QVERIFY(c.finished());
            QVERIFY(c.report().cancelled);
            QVERIFY(alive.expired()); // the query is closed, the connection free
            const int kept = c.report().pageCount();
            QTest::qWait(100);
            QCOMPARE(c.report().pageCount(), kept);
            // What was composed stays to be read, not to be printed as if whole.
            QVERIFY(kept >= 2);
            dlg.setPage(1);
            QCOMPARE(dlg.currentPage(), 1);
            QVERIFY(!dlg.findChild<QAction *>(QStringLiteral("actPrint"))->isEnabled());
            QVERIFY(!dlg.findChild<QAction *>(QStringLiteral("actSave"))->isEnabled());
            QVERIFY(dlg.findChild<QLabel *>(QStringLiteral("lblComposicao"))->text().contains(QStringLiteral("interrompida")));
            QCOMPARE(footerOf(c.report().pages.at(0)), QStringLiteral("Pag.: 1 de %1").arg(kept));
        }
        {
            Reports::Composition c(def);
            c.start();
            c.runFor(10000, 1);
            PreviewDialog dlg(c);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            QVERIFY(!alive.expired());
            dlg.findChild<QAction *>(QStringLiteral("actClose"))->trigger();
            QVERIFY(c.finished());
            QVERIFY(alive.expired());
        }
    }

    // Through Reports::open: the window is there long before the 20 s the
    // whole report would take, and closing it ends the work.
    void openShowsTheFirstPageAtOnce()
    {
        std::weak_ptr<int> alive;
        const ReportDefinition def = groupedReport(rowsOf(100000, 200, &alive));
        QElapsedTimer clock;
        clock.start();
        qint64 shownAfter = -1;
        bool composing = false;
        QString text;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            PreviewDialog *dlg = openPreview();
            if (!dlg || shownAfter >= 0)
                return;
            shownAfter = clock.elapsed();
            composing = dlg->composing();
            text = dlg->pageText();
            dlg->findChild<QAction *>(QStringLiteral("actClose"))->trigger();
        });
        poll.start(20);
        QVERIFY(Reports::open(def));
        QVERIFY(shownAfter >= 0);
        QVERIFY2(shownAfter < 5000, qPrintable(QString::number(shownAfter)));
        QVERIFY(composing);
        QVERIFY2(text.startsWith(QStringLiteral("Página 1 de ")) && text.endsWith(QStringLiteral("...")), qPrintable(text));
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(alive.expired());
    }

    // A read that fails half-way is shown, and the pages read stay (not
    // printable as a whole report).
    void aFailureWhileComposingIsShown()
    {
        RecordingMessages messages;
        const ReportDefinition def = groupedReport(rowsOf(5000, 0, nullptr, 2000));
        Reports::Composition c(def);
        c.start();
        c.runFor(10000, 1);
        PreviewDialog dlg(c);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_VERIFY(!dlg.composing());
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown.first().text.contains(QStringLiteral("perdida")));
        QVERIFY(c.report().pageCount() >= 1);
        QVERIFY(!dlg.findChild<QAction *>(QStringLiteral("actPrint"))->isEnabled());
    }

    // Without the window (a recording preview) the report arrives whole,
    // as composed in one pass.
    void aRecordingPreviewGetsTheWholeReport()
    {
        RecordingPreview preview;
        const ReportDefinition def = groupedReport(rowsOf(800));
        QVERIFY(Reports::open(def));
        QCOMPARE(preview.shown.size(), 1);
        const ComposedReport whole = Reports::compose(def);
        QCOMPARE(preview.last().pageCount(), whole.pageCount());
        QCOMPARE(preview.last().allTexts(), whole.allTexts());
    }
};

QTEST_MAIN(TestStreamedPreview)
#include "tst_streamedpreview.moc"
