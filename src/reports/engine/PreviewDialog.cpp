#include "reports/engine/PreviewDialog.h"
#include "db/DbError.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportPainter.h"
#include "ui/LongWork.h"
#include "ui/Services.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QHBoxLayout>
#include <QVBoxLayout>

// Paints one page of the report with the same function the printer uses.
class PageView : public QWidget {
public:
    PageView(const ComposedReport &r, QWidget *parent) : QWidget(parent), m_report(r)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setView(int page, double zoom, bool reload = false)
    {
        // Only the page in sight is decoded, once, not at every repaint
        // (again when its page total becomes known).
        if (reload || page != m_page || m_shown.items.isEmpty())
            m_shown = m_report.pages.at(page);
        m_page = page;
        m_zoom = zoom;
        const double k = pxPerMm();
        setFixedSize(qRound(m_report.pageSize.width() * k) + 2 * Gap, qRound(m_report.pageSize.height() * k) + 2 * Gap);
        update();
    }
    double pxPerMm() const { return logicalDpiX() / 25.4 * m_zoom; }
    static constexpr int Gap = 8;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        const double k = pxPerMm();
        const QRectF paper(Gap, Gap, m_report.pageSize.width() * k, m_report.pageSize.height() * k);
        p.fillRect(paper.translated(3, 3), QColor(0x50, 0x50, 0x50));
        p.fillRect(paper, Qt::white);
        if (m_page >= m_report.pageCount() && m_report.pages.composing()) {
            // Not composed yet: the progress below the page says how far.
            p.setPen(QColor(0x60, 0x60, 0x60));
            p.drawText(paper, Qt::AlignCenter, QStringLiteral("Aguardando a página %1...").arg(m_page + 1));
            return;
        }
        p.translate(Gap, Gap);
        ReportPainter::paintPage(p, m_shown, k);
    }

private:
    const ComposedReport &m_report;
    int m_page = -1;
    ReportPage m_shown;
    double m_zoom = 1;
};

namespace {

QString grouped(qint64 n)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n);
}

} // namespace

PreviewDialog::PreviewDialog(const ComposedReport &report, QWidget *parent)
    : QDialog(parent), m_report(report)
{
    build();
}

PreviewDialog::PreviewDialog(Reports::Composition &composition, QWidget *parent)
    : QDialog(parent), m_report(composition.report())
{
    if (!composition.finished())
        m_composition = &composition;
    build();
}

void PreviewDialog::build()
{
    setObjectName(QStringLiteral("PreviewDialog"));
    setWindowTitle(m_report.title.isEmpty() ? QStringLiteral("Visualização de impressão")
                                          : QStringLiteral("Visualização de impressão - ") + m_report.title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tlbPreview"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_first = action(QStringLiteral("actFirst"), QStringLiteral("|< Primeira"), QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_prior = action(QStringLiteral("actPrior"), QStringLiteral("< Anterior"), QKeySequence(Qt::Key_PageUp));
    m_next = action(QStringLiteral("actNext"), QStringLiteral("Próxima >"), QKeySequence(Qt::Key_PageDown));
    m_last = action(QStringLiteral("actLast"), QStringLiteral("Última >|"), QKeySequence(Qt::CTRL | Qt::Key_End));
    connect(m_first, &QAction::triggered, this, [this] {
        m_toLast = false;
        setPage(0);
    });
    connect(m_prior, &QAction::triggered, this, [this] {
        m_toLast = false;
        setPage(qMin(m_page, m_report.pageCount()) - 1);
    });
    connect(m_next, &QAction::triggered, this, [this] {
        m_toLast = false;
        setPage(m_page + 1);
    });
    connect(m_last, &QAction::triggered, this, [this] {
        if (composing()) {
            m_toLast = true; // known only at the end
            setPage(m_report.pageCount());
        } else {
            setPage(m_report.pageCount() - 1);
        }
    });
    bar->addAction(m_first);
    bar->addAction(m_prior);
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setObjectName(QStringLiteral("lblPagina"));
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(m_pageLabel);
    bar->addAction(m_next);
    bar->addAction(m_last);
    bar->addSeparator();

    auto *zoomLabel = new QLabel(QStringLiteral("&Zoom:"), bar);
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("cmbZoom"));
    m_zoomBox->setAccessibleName(QStringLiteral("Zoom"));
    for (int z : {50, 75, 100, 125, 150, 200, 300})
        m_zoomBox->addItem(QStringLiteral("%1%").arg(z), z / 100.0);
    zoomLabel->setBuddy(m_zoomBox);
    connect(m_zoomBox, &QComboBox::activated, this, [this](int i) {
        m_fit = Fit::None;
        setZoom(m_zoomBox->itemData(i).toDouble());
    });
    bar->addWidget(zoomLabel);
    bar->addWidget(m_zoomBox);
    QAction *fw = action(QStringLiteral("actFitWidth"), QStringLiteral("Largura da página"));
    QAction *fp = action(QStringLiteral("actFitPage"), QStringLiteral("Página inteira"));
    connect(fw, &QAction::triggered, this, &PreviewDialog::fitWidth);
    connect(fp, &QAction::triggered, this, &PreviewDialog::fitPage);
    bar->addAction(fw);
    bar->addAction(fp);
    bar->addSeparator();
    QAction *pr = m_print = action(QStringLiteral("actPrint"), QStringLiteral("&Imprimir..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction *sv = m_save = action(QStringLiteral("actSave"), QStringLiteral("&Salvar..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction *cl = action(QStringLiteral("actClose"), QStringLiteral("&Fechar"), QKeySequence(Qt::Key_Escape));
    connect(pr, &QAction::triggered, this, &PreviewDialog::print);
    connect(sv, &QAction::triggered, this, &PreviewDialog::save);
    connect(cl, &QAction::triggered, this, &QDialog::accept);
    bar->addAction(pr);
    bar->addAction(sv);
    bar->addAction(cl);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPagina"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(m_report, m_scroll);
    m_scroll->setWidget(m_view);

    // The composition's progress, below the page while it lasts.
    m_composeBar = new QWidget(this);
    m_composeBar->setObjectName(QStringLiteral("pnlComposicao"));
    auto *cl2 = new QHBoxLayout(m_composeBar);
    cl2->setContentsMargins(8, 4, 8, 4);
    m_composeLabel = new QLabel(m_composeBar);
    m_composeLabel->setObjectName(QStringLiteral("lblComposicao"));
    m_composeProgress = new QProgressBar(m_composeBar);
    m_composeProgress->setObjectName(QStringLiteral("prgComposicao"));
    m_composeProgress->setTextVisible(false);
    m_composeProgress->setMaximumWidth(240);
    m_cancel = new QPushButton(QStringLiteral("&Cancelar"), m_composeBar);
    m_cancel->setObjectName(QStringLiteral("btnCancelar"));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &PreviewDialog::cancelComposition);
    cl2->addWidget(m_composeLabel, 1);
    cl2->addWidget(m_composeProgress);
    cl2->addWidget(m_cancel);
    m_composeBar->setVisible(m_composition != nullptr);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(bar);
    lay->addWidget(m_scroll, 1);
    lay->addWidget(m_composeBar);
    // Every command stays in sight: the window is never narrower than its
    // toolbar, whose buttons would otherwise hide behind an overflow mark.
    setMinimumWidth(bar->sizeHint().width());
    resize(900, 760);
    if (m_composition) {
        m_composeTimer = new QTimer(this);
        m_composeTimer->setSingleShot(true);
        m_composeTimer->setInterval(0);
        connect(m_composeTimer, &QTimer::timeout, this, &PreviewDialog::composeSlice);
        m_composeTimer->start();
    }
    refresh();
}

bool PreviewDialog::composing() const { return m_composition != nullptr; }

void PreviewDialog::composeSlice()
{
    if (!m_composition)
        return;
    const int before = m_report.pageCount();
    try {
        m_composition->runFor(SliceMs);
    } catch (const DbError &e) {
        // What was composed stays in sight; the rest cannot be read.
        m_interrupted = true;
        compositionEnded();
        Services::messages().error(e.text(), this);
        return;
    }
    if (m_composition->finished()) {
        compositionEnded();
        return;
    }
    if (m_page >= before && m_page < m_report.pageCount())
        refresh(); // the page waited for has come
    else
        showCompositionState();
    m_composeTimer->start();
}

void PreviewDialog::cancelComposition()
{
    if (!m_composition)
        return;
    m_composition->cancel();
    m_interrupted = true;
    compositionEnded();
}

void PreviewDialog::compositionEnded()
{
    if (m_composeTimer)
        m_composeTimer->stop();
    m_composition = nullptr;
    if (m_report.cancelled)
        m_interrupted = true;
    m_composeBar->setVisible(m_interrupted);
    m_cancel->setVisible(false);
    m_composeProgress->setVisible(false);
    m_composeLabel->setText(QStringLiteral("Geração do relatório interrompida: %1 página(s) gerada(s). "
                                           "Para imprimir ou salvar, gere o relatório novamente.")
                                .arg(grouped(m_report.pageCount())));
    const int last = qMax(0, m_report.pageCount() - 1);
    if (m_toLast || m_page > last)
        m_page = last;
    m_toLast = false;
    // The page in sight now knows its page total.
    m_view->setView(m_page, m_zoom, true);
    refresh();
}

void PreviewDialog::showCompositionState()
{
    if (!m_composition)
        return;
    const qint64 rows = m_composition->rowsRead();
    const qint64 total = m_composition->expectedRows();
    QString text = QStringLiteral("Gerando o relatório: %1 página(s), %2 registro(s) lido(s).")
                       .arg(grouped(m_report.pageCount()), grouped(rows));
    if (m_toLast)
        text = QStringLiteral("Aguardando a última página. ") + text;
    else if (m_page >= m_report.pageCount())
        text = QStringLiteral("Aguardando a página %1. ").arg(grouped(m_page + 1)) + text;
    m_composeLabel->setText(text);
    if (total > 0) {
        m_composeProgress->setMaximum(1000);
        m_composeProgress->setValue(int(qMin<qint64>(1000, rows * 1000 / total)));
    } else {
        m_composeProgress->setMaximum(0); // a busy bar
    }
    m_pageLabel->setText(pageText());
}

void PreviewDialog::done(int result)
{
    // Closing stops the composition and frees the connection at once.
    if (m_composition) {
        m_composition->cancel();
        m_composition = nullptr;
        if (m_composeTimer)
            m_composeTimer->stop();
    }
    QDialog::done(result);
}

void PreviewDialog::showEvent(QShowEvent *e)
{
    if (!m_placed) {
        // Every command stays in sight: never narrower than the toolbar.
        if (auto *bar = findChild<QToolBar *>(QStringLiteral("tlbPreview"))) {
            bar->ensurePolished();
            setMinimumWidth(qMax(minimumWidth(), bar->sizeHint().width() + 8));
        }
        // Opened as tall as the screen allows, wide enough for the page at a
        // readable size, and centred.
        m_placed = true;
        if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
            const QRect avail = s->availableGeometry();
            const int w = qMin(avail.width(), qMax(minimumWidth(), avail.width() * 3 / 4));
            const int h = avail.height() * 19 / 20;
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(w, h), avail));
        }
    }
    QDialog::showEvent(e);
    // The fit needs the page area's real width, known once laid out.
    if (layout())
        layout()->activate();
    if (m_fit == Fit::Width)
        fitWidth();
    else if (m_fit == Fit::Page)
        fitPage();
}

PreviewDialog::~PreviewDialog() = default;

QAction *PreviewDialog::action(const QString &objectName, const QString &text, const QKeySequence &key)
{
    auto *a = new QAction(text, this);
    a->setObjectName(objectName);
    QString plain = text;
    a->setToolTip(plain.remove(QLatin1Char('&')));
    if (!key.isEmpty())
        a->setShortcut(key);
    addAction(a);
    return a;
}

void PreviewDialog::setPage(int page)
{
    // While composing, a page beyond those composed is waited for.
    const int last = composing() ? qMax(m_report.pageCount(), page) : m_report.pageCount() - 1;
    m_page = qBound(0, page, qMax(0, last));
    refresh();
    m_scroll->verticalScrollBar()->setValue(0);
}

void PreviewDialog::setZoom(double zoom)
{
    m_zoom = qBound(0.1, zoom, 5.0);
    refresh();
}

void PreviewDialog::fitWidth()
{
    m_fit = Fit::Width;
    const double k = logicalDpiX() / 25.4;
    // A page at full width is taller than the view: its vertical scroll bar
    // takes its share whether or not it shows yet.
    const int bar = m_scroll->verticalScrollBar()->isVisible() ? 0 : style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int avail = m_scroll->viewport()->width() - bar - 2 * PageView::Gap - 4;
    setZoom(avail / (m_report.pageSize.width() * k));
}

void PreviewDialog::fitPage()
{
    m_fit = Fit::Page;
    const double k = logicalDpiX() / 25.4;
    const int w = m_scroll->viewport()->width() - 2 * PageView::Gap - 4;
    const int h = m_scroll->viewport()->height() - 2 * PageView::Gap - 4;
    setZoom(qMin(w / (m_report.pageSize.width() * k), h / (m_report.pageSize.height() * k)));
}

void PreviewDialog::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    if (m_fit == Fit::Width)
        fitWidth();
    else if (m_fit == Fit::Page)
        fitPage();
}

QString PreviewDialog::pageText() const
{
    const int n = m_report.pageCount();
    if (composing())
        return QStringLiteral("Página %1 de %2...").arg(m_toLast ? QStringLiteral("?") : grouped(m_page + 1), grouped(n));
    return QStringLiteral("Página %1 de %2").arg(n ? grouped(m_page + 1) : QStringLiteral("0"), grouped(n));
}

void PreviewDialog::refresh()
{
    m_view->setView(m_page, m_zoom);
    m_pageLabel->setText(pageText());
    const int n = m_report.pageCount();
    m_first->setEnabled(m_page > 0);
    m_prior->setEnabled(m_page > 0);
    m_next->setEnabled(composing() || m_page < n - 1);
    m_last->setEnabled(composing() ? !m_toLast : m_page < n - 1);
    // Printing and saving need every page.
    const bool whole = !composing() && !m_interrupted && n > 0;
    m_print->setEnabled(whole);
    m_save->setEnabled(whole);
    showCompositionState();
    const int percent = qRound(m_zoom * 100);
    const int idx = m_zoomBox->findData(percent / 100.0);
    if (idx >= 0) {
        m_zoomBox->setCurrentIndex(idx);
    } else {
        m_zoomBox->setEditable(false);
        m_zoomBox->setCurrentIndex(-1);
        m_zoomBox->setPlaceholderText(QStringLiteral("%1%").arg(percent));
    }
}

ReportExport::Format PreviewDialog::formatFor(const QString &path)
{
    const QString s = QFileInfo(path).suffix().toLower();
    if (s == QLatin1String("html") || s == QLatin1String("htm"))
        return ReportExport::Format::Html;
    if (s == QLatin1String("csv"))
        return ReportExport::Format::Csv;
    if (s == QLatin1String("pdf"))
        return ReportExport::Format::Pdf;
    return ReportExport::Format::Text;
}

bool PreviewDialog::saveTo(const QString &path, QString *error, bool *cancelled)
{
    // A report of thousands of pages takes a while to write.
    LongWork progress(windowTitle(), QStringLiteral("Gravando o arquivo..."), this);
    progress.setTotal(m_report.pageCount());
    const bool ok = ReportExport::write(m_report, formatFor(path), path, error, [&progress](int done, int total) {
        return progress.step(done, QStringLiteral("Gravando o arquivo... página %1 de %2.").arg(done + 1).arg(total));
    });
    if (cancelled)
        *cancelled = progress.cancelled();
    return ok;
}

void PreviewDialog::save()
{
    if (!m_save->isEnabled())
        return;
    const QString filter = QStringLiteral("Texto (*.txt);;HTML (*.html);;Texto separado por vírgulas (*.csv);;PDF (*.pdf)");
    QString suggested = m_report.title;
    suggested.remove(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")));
    QString path = Services::fileDialogs().saveFileName(QStringLiteral("Salvar relatório"),
                                                        suggested.trimmed() + QStringLiteral(".txt"), filter, this);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    QString error;
    bool cancelled = false;
    if (!saveTo(path, &error, &cancelled) && !cancelled)
        Services::messages().error(QStringLiteral("Erro ao salvar o relatório: ") + error, this);
}

bool PreviewDialog::printOn(QPrinter &printer)
{
    QString error;
    LongWork progress(windowTitle(), QStringLiteral("Imprimindo..."), this);
    const bool ok = ReportExport::print(m_report, printer, &error, [&progress](int done, int total) {
        progress.setTotal(total);
        return progress.step(done, QStringLiteral("Imprimindo... página %1 de %2.").arg(done + 1).arg(total));
    });
    if (!ok && !progress.cancelled()) {
        progress.finish();
        Services::messages().error(error, this);
    }
    return ok;
}

void PreviewDialog::print()
{
    if (m_report.pageCount() == 0 || !m_print->isEnabled())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.pageLayout());
    printer.setDocName(m_report.title);
    printer.setFromTo(1, m_report.pageCount());
    QPrintDialog dlg(&printer, this);
    dlg.setMinMax(1, m_report.pageCount());
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dlg.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dlg.exec() != QDialog::Accepted)
        return;
    if (printer.printRange() == QPrinter::CurrentPage)
        printer.setFromTo(m_page + 1, m_page + 1);
    else if (printer.printRange() == QPrinter::AllPages)
        printer.setFromTo(1, m_report.pageCount());
    printOn(printer);
}
