#include "reports/engine/Reports.h"
#include "db/DbError.h"
#include "reports/engine/PreviewDialog.h"
#include "ui/Services.h"

#include <QApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
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
    // Long reports show how far they are and can be cancelled; short ones
    // finish before the window would appear.
    QProgressDialog progress(QStringLiteral("Gerando o relatório..."), QStringLiteral("&Cancelar"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("dlgProgressoRelatorio"));
    progress.setWindowTitle(def.title);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(std::numeric_limits<int>::max()); // shown below, by elapsed time
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.reset();
    QElapsedTimer clock;
    clock.start();
    ComposeOptions opt;
    opt.progress = [&progress, &clock](qint64 rows, qint64 total) {
        if (total > 0 && total <= INT_MAX) {
            progress.setMaximum(int(total));
            progress.setValue(int(qMin(rows, total)));
        }
        progress.setLabelText(QStringLiteral("Gerando o relatório... %1 registro(s) lido(s).").arg(rows));
        if (!progress.isVisible() && clock.elapsed() > 600)
            progress.show();
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    ComposedReport report = compose(def, opt);
    progress.close();
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
