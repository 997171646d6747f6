#include "reports/engine/Reports.h"
#include "ui/LongWork.h"
#include "db/DbError.h"
#include "reports/engine/PreviewDialog.h"
#include "ui/Services.h"

#include <QApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <limits>

namespace {

class DialogPreview : public ReportPreview {
public:
    void show(const ComposedReport &report, QWidget *parent) override
    {
        PreviewDialog dlg(report, parent ? parent : QApplication::activeWindow());
        dlg.setWindowModality(Qt::ApplicationModal);
        dlg.exec();
    }
    // The window opens on the first page and composes the rest while the
    // clerk reads; being application-modal, nothing else can start
    // meanwhile.
    bool showComposing(Reports::Composition &composition, QWidget *parent) override
    {
        PreviewDialog dlg(composition, parent ? parent : QApplication::activeWindow());
        dlg.setWindowModality(Qt::ApplicationModal);
        dlg.exec();
        return true;
    }
};

QString rowsLabel(qint64 rows)
{
    return QStringLiteral("Gerando o relatório... %1 registro(s) lido(s).").arg(rows);
}

ReportPreview *g_preview = nullptr;
QString g_productTitle;

} // namespace

bool ReportPreview::showComposing(Reports::Composition &composition, QWidget *parent)
{
    if (!composition.finished()) {
        LongWork progress(composition.report().title, rowsLabel(composition.rowsRead()), parent, 0);
        progress.setTotal(composition.expectedRows());
        while (composition.runFor(100)) {
            if (!progress.step(composition.rowsRead(), rowsLabel(composition.rowsRead()))) {
                composition.cancel();
                return false;
            }
        }
    }
    if (composition.report().cancelled)
        return false;
    show(composition.report(), parent);
    return true;
}

namespace Reports {

ReportPreview &dialogPreview()
{
    static DialogPreview p;
    return p;
}

ReportPreview &preview() { return g_preview ? *g_preview : dialogPreview(); }
void setPreview(ReportPreview *p) { g_preview = p; }

QString productTitle()
{
    return g_productTitle.isEmpty() ? QGuiApplication::applicationDisplayName() : g_productTitle;
}

void setProductTitle(const QString &title) { g_productTitle = title; }

namespace {

enum class Shown { Previewed, Cancelled, Empty };

Shown composeAndShow(const ReportDefinition &def, QWidget *parent)
{
    // The window shows at once: a large report spends seconds in its query
    // before the first row, and the clerk must see that it is coming and be
    // able to cancel it.
    // Only the first page is composed here; the preview composes the rest
    // while the clerk reads it.
    Composition composition(def);
    {
        LongWork progress(def.title, QStringLiteral("Gerando o relatório..."), parent, 0);
        progress.step(0);
        composition.start();
        progress.setTotal(composition.expectedRows());
        while (composition.report().pageCount() == 0 && composition.runFor(100, 1)) {
            if (!progress.step(composition.rowsRead(), rowsLabel(composition.rowsRead())))
                return Shown::Cancelled; // the composition is dropped with the query
        }
    }
    if (composition.finished() && composition.report().pageCount() == 0)
        return Shown::Empty;
    return preview().showComposing(composition, parent) ? Shown::Previewed : Shown::Cancelled;
}

} // namespace

bool openOrThrow(const ReportDefinition &def, QWidget *parent)
{
    return composeAndShow(def, parent) == Shown::Previewed;
}

bool open(const ReportDefinition &def, QWidget *parent)
{
    try {
        return openOrThrow(def, parent);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), parent);
        return false;
    }
}

bool openForPeriod(ReportDefinition def, QWidget *parent, const QString &failure)
{
    def.printIfEmpty = false;
    try {
        const Shown shown = composeAndShow(def, parent);
        if (shown == Shown::Empty)
            Services::messages().information(QStringLiteral("Nenhum registro encontrado para o período escolhido."), parent);
        return shown == Shown::Previewed;
    } catch (const DbError &e) {
        if (failure.isEmpty())
            Services::messages().error(e.text(), parent);
        else
            Services::messages().information(failure, parent);
        return false;
    }
}

} // namespace Reports
