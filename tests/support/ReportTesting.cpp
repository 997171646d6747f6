#include "support/ReportTesting.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/Reports.h"

#include <QImage>

namespace ReportTesting {

void run(Connection &c, const QString &sql, const QVariantMap &p)
{
    try {
        Sql::exec(c, sql, p);
    } catch (const DbError &e) {
        qFatal("%s: %s", qPrintable(sql), qPrintable(e.text()));
    }
}

QStringList named(const ComposedReport &r, const QString &name)
{
    QStringList out;
    for (const PlacedItem *i : r.named(name))
        out << i->text;
    return out;
}

void savePng(const ComposedReport &r, const QString &name, int pages, int dpi)
{
    const QString dir = qEnvironmentVariable("ZAPO_REPORT_PNG_DIR");
    if (dir.isEmpty())
        return;
    for (int p = 0; p < qMin(r.pageCount(), pages); ++p)
        ReportPainter::pageImage(r, p, dpi).save(dir + QStringLiteral("/%1-%2.png").arg(name).arg(p + 1));
}

} // namespace ReportTesting
