// zapo-bench --extract DATABASE
//
// The extractor (049), the appointment export (060) and the leishmaniasis
// lookup (045) on a city: rebuilding Exportacao2, exporting 120,000 of its
// rows and a year of appointments to dBASE tables, each beside its statement
// read alone through QSqlQuery, and a street search over the sibling
// database's samples (count and first page) beside the same statements sent
// bare.
#include "app/KeldaGenerator.h"
#include "RowsTable.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"
#include "reports/engine/ReportData.h"
#include "ui/register/PagedQueryModel.h"
#include "utilities/ConsultaLeishmanioseScreen.h"
#include "utilities/DbaseExport.h"
#include "utilities/ExportaTabelaAgendamentoScreen.h"
#include "utilities/ExportaTabelasScreen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

namespace {

using RowsTable::bareRead;
using RowsTable::line;
using RowsTable::out;

class Completed : public ReportDataSource {
public:
    Completed(ReportDataSource &s, std::function<void(QList<QVariant> &)> f) : m_s(s), m_f(std::move(f)) {}
    std::shared_ptr<const ReportColumns> columns() const override { return m_s.columns(); }
    bool next(QList<QVariant> &v) override
    {
        if (!m_s.next(v))
            return false;
        if (m_f)
            m_f(v);
        return true;
    }

private:
    ReportDataSource &m_s;
    std::function<void(QList<QVariant> &)> m_f;
};

void exportAndBare(Connection &c, const QString &name, const QString &select, const QVariantMap &params,
                   const QList<DbaseField> &fields, std::function<void(QList<QVariant> &)> complete, const QString &path)
{
    QElapsedTimer t;
    t.start();
    auto source = QueryDataSource::open(c, select, params);
    Completed rows(*source, std::move(complete));
    const DbaseExport::Outcome o = DbaseExport::write(path, fields, rows);
    if (!o.done())
        throw DbError(o.reason);
    line(name, o.rows, t.nsecsElapsed() / 1e6, QStringLiteral("%1 MiB file").arg(QFileInfo(path).size() / 1048576.0, 0, 'f', 1));
    t.restart();
    const qint64 n = bareRead(c, select, params);
    line(name + QStringLiteral(": statement alone"), n, t.nsecsElapsed() / 1e6);
}

} // namespace

int extractBench(const QStringList &args)
{
    const qsizetype at = args.indexOf(QStringLiteral("--extract"));
    if (at + 1 >= args.size()) {
        QTextStream(stderr) << "usage: zapo-bench --extract DATABASE [--statement]\n";
        return 2;
    }
    const QString dir = qEnvironmentVariable("ZAPO_BENCH_DIR", QStringLiteral("/var/tmp/zapo-bench"));
    QDir().mkpath(dir);
    try {
        DataModule dm(DatabaseSpec::parse(args.at(at + 1)));
        Connection &c = dm.main();
        const QString fill = Schema::exportTableFillStatement(c.dialect().engine());
        if (args.contains(QStringLiteral("--statement"))) {
            out() << fill << ";" << Qt::endl;
            return 0;
        }
        out() << "| " << dm.dialect().name() << " | rows | s | rows/s | |\n|---|---:|---:|---:|---|" << Qt::endl;
        QElapsedTimer t;
        t.start();
        const int rebuilt = Schema::refreshExportTable(c);
        line(QStringLiteral("refresh-export"), rebuilt, t.nsecsElapsed() / 1e6);
        // Beside it the INSERT ... SELECT alone, into the emptied table
        // without its indexes, rolled back.
        {
            Transaction tx(c);
            for (const Schema::Index &i : Schema::indexes())
                if (i.table.compare(QLatin1String("Exportacao2"), Qt::CaseInsensitive) == 0)
                    Sql::exec(c, QStringLiteral("drop index %1").arg(i.name));
            Sql::exec(c, QStringLiteral("delete from Exportacao2"));
            t.restart();
            QSqlQuery q = Sql::exec(c, fill);
            const double ms = t.nsecsElapsed() / 1e6;
            line(QStringLiteral("refresh-export: the INSERT ... SELECT alone"), q.numRowsAffected(), ms);
        }

        // 049: the period from the first attendance to the 120,000th.
        const QVariant first = Sql::scalar(c, QStringLiteral("select min(td_atend) from Exportacao2"));
        const QVariant last = Sql::scalar(
            c, c.dialect().paged(QStringLiteral("select td_atend from Exportacao2 where td_atend is not null order by td_atend"), 1,
                                 ExportaTabelasScreen::kMaxRows - 1));
        const ExportaTabelasScreen::Search s =
            ExportaTabelasScreen::search(true, first.toDateTime().date(), last.toDateTime().date().addDays(-1), QString());
        QStringList names;
        for (const auto &col : ExportaTabelasScreen::columns())
            names << col.name;
        exportAndBare(c, QStringLiteral("049, 58 fields"),
                      QStringLiteral("select %1 from Exportacao2 where %2 order by id_atend").arg(names.join(QStringLiteral(", ")), s.where),
                      s.params, ExportaTabelasScreen::fields(), {}, dir + QStringLiteral("/049.dbf"));

        // 060: the last whole year of appointments.
        const QDate lastAppointment = Sql::scalar(c, QStringLiteral("select max(Data_Hora_Atendimento) from atendimento")).toDateTime().date();
        const int year = lastAppointment.year() - 1;
        const auto st = ExportaTabelaAgendamentoScreen::statement(QDate(year, 1, 1), QDate(year, 12, 31), QVariant());
        QList<DbaseField> fields;
        for (const auto &col : ExportaTabelaAgendamentoScreen::columns())
            fields << col.field;
        exportAndBare(c, QStringLiteral("060, year %1").arg(year), st.select, st.params, fields,
                      &ExportaTabelaAgendamentoScreen::completeRow, dir + QStringLiteral("/060.dbf"));

        // 045: a street search, count and first page as the window opens it.
        Connection &k = dm.connection(DataModule::KeldaName);
        // A city generated before the samples were: add them (never over real ones).
        t.restart();
        const int added = KeldaGenerator::generate(dm, 1);
        if (added > 0)
            line(QStringLiteral("045: samples added to the sibling database"), added, t.nsecsElapsed() / 1e6);
        ConsultaLeishmanioseScreen::Criteria crit;
        crit.street = QStringLiteral("FLOR");
        const auto q = ConsultaLeishmanioseScreen::search(k.dialect(), crit);
        PagedQueryModel m;
        m.setConnection(&k);
        m.setSource(QStringLiteral("sa001041 a join sa001042 b on (a.numinca = b.numinca and a.numdistrito = b.numdistrito "
                                   "and a.numboletim = b.numboletim)"),
                    {{QStringLiteral("Cód"), QStringLiteral("b.codAmostra"), true, 0, {}},
                     {QStringLiteral("Rua"), QStringLiteral("b.desclograd"), true, 0, {}}},
                    QStringLiteral("b.numinca, b.numdistrito, b.numboletim, b.codAmostra"));
        m.setFilter(q.where, q.params);
        QList<QPair<QString, QVariantMap>> sent;
        Sql::setObserver([&sent](const QString &sql, const QVariantMap &p) { sent << qMakePair(sql, p); });
        const qint64 samples = Sql::scalar(k, QStringLiteral("select count(*) from sa001042")).toLongLong();
        sent.clear();
        t.restart();
        m.reload();
        (void)m.rawValue(0, 0);
        const double programMs = t.nsecsElapsed() / 1e6;
        Sql::setObserver({});
        line(QStringLiteral("045, street \"FLOR\" over %1 samples: count and first page").arg(samples), m.rowCount(), programMs);
        t.restart();
        for (const auto &[sql, p] : sent)
            bareRead(k, sql, p);
        line(QStringLiteral("045: the statements alone"), m.rowCount(), t.nsecsElapsed() / 1e6);
    } catch (const DbError &e) {
        QTextStream(stderr) << "failed: " << e.text() << Qt::endl;
        return 1;
    }
    return 0;
}
