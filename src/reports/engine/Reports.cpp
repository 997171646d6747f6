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

bool openOrThrow(const ReportDefinition &def, QWidget *parent)
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
                return false; // the composition is dropped with the query
        }
    }
    if (composition.finished() && composition.report().pageCount() == 0)
        return false;
    return preview().showComposing(composition, parent);
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

} // namespace Reports
