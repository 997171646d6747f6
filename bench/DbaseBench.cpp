// zapo-bench --dbase [DATABASE]
//
// The dBASE exports: the writer alone on the flat export table's 58-field
// layout (generated rows, no database), then, on a city, the data export
// (044, every field) and the advanced search's export (046, no criterion)
// end to end, each beside the bare statement read through QSqlQuery. The
// peak memory is printed after a short and a long run: it must not grow
// with the rows.
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/schema/SchemaModel.h"
#include "reports/engine/ReportData.h"
#include "utilities/AdvancedSearch.h"
#include "utilities/DbaseExport.h"
#include "utilities/ExportarDadosScreen.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

#include <limits>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

// The process's anonymous resident memory now, in MiB: what the export
// itself holds (SQLite's memory-mapped database pages are file-backed and
// left out).
double anonMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

double g_peak = 0; // the greatest anonMiB() seen while rows streamed
void sample()
{
    g_peak = qMax(g_peak, anonMiB());
}

// Stops another source after `limit` rows.
class Limited : public ReportDataSource {
public:
    Limited(ReportDataSource &s, qint64 limit) : m_s(s), m_limit(limit) {}
    std::shared_ptr<const ReportColumns> columns() const override { return m_s.columns(); }
    bool next(QList<QVariant> &values) override
    {
        if (m_n % 5000 == 0)
            sample();
        return m_n++ < m_limit && m_s.next(values);
    }

private:
    ReportDataSource &m_s;
    qint64 m_limit;
    qint64 m_n = 0;
};

QList<DbaseField> flatLayout()
{
    QList<DbaseField> fields;
    for (const Schema::Column &c : Schema::findTable(QStringLiteral("Exportacao2"))->columns)
        fields << DbaseField::forColumn(c.name, QStringLiteral("Exportacao2"), c.name,
                                        c.name == QLatin1String("Dt_nasc") ? DbaseField::DateTimeIs::Day
                                                                           : DbaseField::DateTimeIs::Moment);
    return fields;
}

// Values like the flat table's: ids, names with accents, coordinates, moments.
std::unique_ptr<ReportDataSource> generated(const QList<DbaseField> &fields, qint64 rows)
{
    QStringList names;
    for (const DbaseField &f : fields)
        names << f.name;
    // A thousand different rows made beforehand and given over and over, so
    // that the figure is the writer's and not the generator's.
    auto made = std::make_shared<QList<QList<QVariant>>>();
    for (qint64 i = 0; i < 1000; ++i) {
        QList<QVariant> values;
        values.resize(fields.size());
        for (int k = 0; k < fields.size(); ++k) {
            const DbaseField &f = fields.at(k);
            switch (f.type) {
            case DbaseField::Type::Number:
                values[k] = f.decimals ? QVariant(-46.6 + (i % 1000) * 1e-4) : QVariant(qlonglong(i * 7 + k));
                break;
            case DbaseField::Type::Date:
                values[k] = QDate(2000, 1, 1).addDays(i % 9000);
                break;
            case DbaseField::Type::Moment:
                values[k] = QDateTime(QDate(2024, 1, 1).addDays(i % 700), QTime(8, 30));
                break;
            default:
                values[k] = (k % 3 == 0) ? QVariant() : QVariant(QStringLiteral("JOSÉ DA CONCEIÇÃO %1").arg(i).left(f.width));
            }
        }
        made->append(values);
    }
    auto n = std::make_shared<qint64>(0);
    return std::make_unique<GeneratedDataSource>(
        names,
        [made, rows, n](QList<QVariant> &values) {
            if (*n >= rows)
                return false;
            if (*n % 5000 == 0)
                sample();
            values = made->at((*n)++ % 1000);
            return true;
        },
        rows);
}

// The bare statement: execute and read every value.
qint64 bareRead(Connection &c, const QString &sql, const QVariantMap &params)
{
    QSqlQuery q = Sql::exec(c, sql, params);
    const int cols = q.record().count();
    qint64 rows = 0;
    while (q.next()) {
        if (rows % 5000 == 0)
            sample();
        for (int i = 0; i < cols; ++i)
            (void)q.value(i);
        ++rows;
    }
    return rows;
}

void line(const QString &what, qint64 rows, double ms, const QString &extra = {})
{
    out() << "| " << what << " | " << rows << " | " << QString::number(ms / 1000.0, 'f', 2) << " | "
          << qRound64(rows / (ms / 1000.0)) << " | " << QString::number(g_peak, 'f', 1) << " | " << extra << " |"
          << Qt::endl;
    g_peak = 0;
}

void exportBoth(Connection &c, const QString &name, const QString &select, const QVariantMap &params,
                const QList<DbaseField> &fields, const QString &path)
{
    // First a short run, then the whole result: the peak must not move.
    for (qint64 limit : {qint64(10000), std::numeric_limits<qint64>::max()}) {
        QElapsedTimer t;
        t.start();
        auto source = QueryDataSource::open(c, select, params);
        Limited limited(*source, limit);
        const DbaseExport::Outcome o = DbaseExport::write(path, fields, limited);
        if (!o.done())
            throw DbError(o.reason);
        line(name + (limit < 1000000 ? QStringLiteral(" (first 10,000)") : QString()), o.rows, t.nsecsElapsed() / 1e6,
             QStringLiteral("%1 MiB file").arg(QFileInfo(path).size() / 1048576.0, 0, 'f', 1));
    }
    QElapsedTimer t;
    t.start();
    const qint64 rows = bareRead(c, select, params);
    line(name + QStringLiteral(": statement alone"), rows, t.nsecsElapsed() / 1e6);
}

} // namespace

int dbaseBench(const QStringList &args)
{
    const QString dir = qEnvironmentVariable("ZAPO_BENCH_DIR", QStringLiteral("/var/tmp/zapo-bench"));
    QDir().mkpath(dir);
    out() << "| Export | rows | s | rows/s | peak anonymous MiB | |\n|---|---:|---:|---:|---:|---|" << Qt::endl;
    try {
        const QList<DbaseField> layout = flatLayout();
        for (qint64 rows : {qint64(10000), qint64(500000)}) {
            auto source = generated(layout, rows);
            QElapsedTimer t;
            t.start();
            const DbaseExport::Outcome o = DbaseExport::write(dir + QStringLiteral("/writer.dbf"), layout, *source);
            if (!o.done())
                throw DbError(o.reason);
            line(QStringLiteral("Writer alone, %1 fields").arg(layout.size()), o.rows, t.nsecsElapsed() / 1e6);
        }
        const qsizetype at = args.indexOf(QStringLiteral("--dbase"));
        if (at + 1 < args.size()) {
            DataModule dm(DatabaseSpec::parse(args.at(at + 1)));
            Connection &c = dm.main();
            QList<DbaseField> fields;
            const auto entries = ExportarDadosScreen::entries();
            for (const auto &e : entries)
                fields << e.field;
            exportBoth(c, QStringLiteral("044, all 39 fields (%1)").arg(dm.dialect().name()),
                       ExportarDadosScreen::statement(entries), {}, fields, dir + QStringLiteral("/044.dbf"));

            const AdvancedSearch::Query q = AdvancedSearch::build(dm.dialect(), AdvancedSearch::Criteria{});
            QStringList expressions;
            fields.clear();
            for (const auto &e : AdvancedSearch::exportColumns()) {
                expressions << e.expression;
                fields << e.field;
            }
            const QString select = QStringLiteral("select %1 from %2 where %3 order by %4, %5")
                                       .arg(expressions.join(QStringLiteral(", ")), q.source, q.where,
                                            AdvancedSearch::defaultOrder(), AdvancedSearch::keyExpression());
            exportBoth(c, QStringLiteral("046, no criterion (%1)").arg(dm.dialect().name()), select, q.params, fields,
                       dir + QStringLiteral("/046.dbf"));
        }
    } catch (const DbError &e) {
        QTextStream(stderr) << "failed: " << e.text() << Qt::endl;
        return 1;
    }
    return 0;
}
