#include "support/ReportTesting.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportFonts.h"
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

QStringList cutTexts(const ComposedReport &r)
{
    QStringList out;
    for (int p = 0; p < r.pageCount(); ++p)
        for (const PlacedItem &i : r.pages.at(p).items) {
            if (i.kind != PlacedItem::Kind::Text || i.rect.width() <= 0.5)
                continue;
            for (const QString &line : i.lines())
                if (ReportFonts::width(i.font, line) > i.rect.width() + 0.05)
                    out << QStringLiteral("%1 @ %2").arg(line).arg(p + 1);
        }
    return out;
}

QStringList joinedLines(const ComposedReport &r, const QString &name)
{
    QStringList out;
    for (const PlacedItem *i : r.named(name))
        out << i->lines().join(QLatin1Char(' '));
    return out;
}

void savePng(const ComposedReport &r, const QString &name, int pages, int dpi)
{
    const QString dir = qEnvironmentVariable("ZAPO_REPORT_PNG_DIR");
    if (dir.isEmpty())
        return;
    QString error;
    ReportExport::write(r, ReportExport::Format::Pdf, dir + QStringLiteral("/%1.pdf").arg(name), &error);
    for (int p = 0; p < qMin(r.pageCount(), pages); ++p)
        ReportPainter::pageImage(r, p, dpi).save(dir + QStringLiteral("/%1-%2.png").arg(name).arg(p + 1));
}

} // namespace ReportTesting
