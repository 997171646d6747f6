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
};

ReportPreview *g_preview = nullptr;
QString g_productTitle;

} // namespace

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
    LongWork progress(def.title, QStringLiteral("Gerando o relatório..."), parent, 0);
    progress.step(0);
    ComposeOptions opt;
    opt.progress = [&progress](qint64 rows, qint64 total) {
        progress.setTotal(total);
        return progress.step(rows, QStringLiteral("Gerando o relatório... %1 registro(s) lido(s).").arg(rows));
    };
    ComposedReport report = compose(def, opt);
    progress.finish();
    if (report.cancelled || report.pageCount() == 0)
        return false;
    preview().show(report, parent);
    return true;
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
