#include "utilities/DbaseExport.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/TextCodec.h"
#include "reports/engine/ReportData.h"
#include "ui/LongWork.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace DbaseExport {

namespace {

// Rows between two looks at the progress window: often enough for a
// prompt "Cancelar", rarely enough to cost nothing.
constexpr qint64 kStepRows = 500;

bool replace(const QString &from, const QString &to, QString *reason)
{
    // std::filesystem::rename replaces an existing target in one step on
    // every platform (QFile::rename refuses to).
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()), ec);
    if (ec && reason)
        *reason = QString::fromStdString(ec.message());
    return !ec;
}

// A statement's rows with the values a Job computes appended to each.
class CompletedSource : public ReportDataSource {
public:
    CompletedSource(ReportDataSource &rows, std::function<void(QList<QVariant> &)> complete)
        : m_rows(rows), m_complete(std::move(complete)) {}
    std::shared_ptr<const ReportColumns> columns() const override { return m_rows.columns(); }
    bool next(QList<QVariant> &values) override
    {
        if (!m_rows.next(values))
            return false;
        m_complete(values);
        return true;
    }

private:
    ReportDataSource &m_rows;
    std::function<void(QList<QVariant> &)> m_complete;
};

} // namespace

QString tablePath(const QString &chosen)
{
    return chosen.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".dbf");
}

QString dictionaryPath(const QString &chosen)
{
    return chosen + QStringLiteral(".txt");
}

QString temporaryPath(const QString &table)
{
    const QFileInfo fi(table);
    return fi.absolutePath() + QStringLiteral("/.~%1.%2.dbf").arg(fi.fileName()).arg(QCoreApplication::applicationPid());
}

Outcome write(const QString &table, const QList<DbaseField> &fields, ReportDataSource &source, LongWork *progress)
{
    const QString tmp = temporaryPath(table);
    Outcome out;
    try {
        DbaseTable t(tmp, fields);
        QList<QVariant> values;
        while (source.next(values)) {
            t.append(values);
            if (progress && t.rows() % kStepRows == 0 && !progress->step(t.rows())) {
                out.kind = Outcome::Kind::Cancelled;
                break;
            }
        }
        out.rows = t.rows();
        if (out.kind == Outcome::Kind::Done)
            t.close();
    } catch (const DbaseFailure &e) {
        out.kind = Outcome::Kind::Failed;
        out.reason = e.reason();
    } catch (const DbError &e) {
        out.kind = Outcome::Kind::Failed;
        out.reason = e.text();
    } catch (const std::exception &e) {
        out.kind = Outcome::Kind::Failed;
        out.reason = QString::fromLocal8Bit(e.what());
    }
    if (out.kind == Outcome::Kind::Done && !replace(tmp, table, &out.reason)) {
        out.kind = Outcome::Kind::Failed;
        out.reason = QStringLiteral("Não foi possível substituir %1: %2").arg(table, out.reason);
    }
    if (out.kind != Outcome::Kind::Done)
        QFile::remove(tmp);
    return out;
}

Outcome run(Connection &c, const Job &job)
{
    LongWork progress(job.title, QStringLiteral("Exportando registros..."), job.parent);
    progress.step(0);
    Outcome out;
    try {
        const qint64 total = job.count.isEmpty() ? -1 : Sql::scalar(c, job.count, job.params).toLongLong();
        progress.setTotal(total);
        if (!progress.step(0)) {
            out.kind = Outcome::Kind::Cancelled;
            return out;
        }
        auto source = QueryDataSource::open(c, job.select, job.params, QueryDataSource::Reading::Streamed);
        if (job.complete) {
            CompletedSource completed(*source, job.complete);
            out = write(job.tablePath, job.fields, completed, &progress);
        } else {
            out = write(job.tablePath, job.fields, *source, &progress);
        }
    } catch (const DbError &e) {
        out.kind = Outcome::Kind::Failed;
        out.reason = e.text();
    }
    progress.finish();
    return out;
}

bool writeText(const QString &path, const QStringList &lines, QString *reason)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = f.errorString();
        return false;
    }
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += Cp1252::encode(l) + "\r\n";
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        if (reason)
            *reason = f.errorString();
        f.cancelWriting();
        return false;
    }
    return true;
}

QStringList nameMap(const QList<DbaseField> &fields, const QStringList &descriptions)
{
    QStringList out;
    for (int i = 0; i < fields.size(); ++i)
        out << fields.at(i).name + QStringLiteral(": ") + descriptions.value(i);
    return out;
}

} // namespace DbaseExport
