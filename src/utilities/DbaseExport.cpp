#include "utilities/DbaseExport.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/TextCodec.h"
#include "reports/engine/ReportData.h"
#include "ui/LongWork.h"
#include "ui/Services.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

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

// Rows pass from the statement to the table in batches: the table encodes
// and writes them on a thread of its own while the next rows are read (the
// two halves of an export cost about the same). At most kBatches batches
// exist, their row lists reused, so memory stays the same for any number of
// rows; the rows are written in the order read.
constexpr int kBatchRows = 256;
constexpr int kBatches = 4;

struct Batch {
    std::vector<QList<QVariant>> rows; // the first `used` hold a row each
    int used = 0;
};

class WriterThread {
public:
    explicit WriterThread(DbaseTable &table) : m_table(table), m_batches(kBatches)
    {
        for (Batch &b : m_batches)
            m_empty.push_back(&b);
        m_thread = std::thread([this] { work(); });
    }
    // Stops at once if still running (a failure of the reading side).
    ~WriterThread() { abandon(); }
    WriterThread(const WriterThread &) = delete;
    WriterThread &operator=(const WriterThread &) = delete;

    // A batch to fill; null once the table has failed (stop reading:
    // finish() tells why).
    Batch *empty()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_empty.empty() || m_failure; });
        if (m_failure)
            return nullptr;
        Batch *b = m_empty.front();
        m_empty.pop_front();
        return b;
    }
    // Hands a filled batch over and returns the next one to fill (see empty()).
    Batch *hand(Batch *filled)
    {
        {
            std::lock_guard lock(m_mutex);
            m_full.push_back(filled);
        }
        m_changed.notify_all();
        return empty();
    }
    // Hands over the last batch (may be null or empty) and waits until
    // every row is in the table; throws what the table threw.
    void finish(Batch *last)
    {
        {
            std::lock_guard lock(m_mutex);
            if (last && last->used > 0)
                m_full.push_back(last);
            m_closing = true;
        }
        m_changed.notify_all();
        join();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }
    // Stops writing: the rows not yet written are dropped.
    void abandon()
    {
        {
            std::lock_guard lock(m_mutex);
            m_full.clear();
            m_closing = m_abandoned = true;
        }
        m_changed.notify_all();
        join();
    }

private:
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    void work()
    {
        for (;;) {
            Batch *b = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return !m_full.empty() || m_closing; });
                if (m_full.empty() || m_abandoned)
                    return;
                b = m_full.front();
                m_full.pop_front();
            }
            try {
                for (int i = 0; i < b->used; ++i)
                    m_table.append(b->rows[size_t(i)]);
            } catch (...) {
                std::lock_guard lock(m_mutex);
                m_failure = std::current_exception();
                m_changed.notify_all();
                return;
            }
            b->used = 0;
            {
                std::lock_guard lock(m_mutex);
                m_empty.push_back(b);
            }
            m_changed.notify_all();
        }
    }

    DbaseTable &m_table;
    std::vector<Batch> m_batches;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch *> m_empty;
    std::deque<Batch *> m_full;
    bool m_closing = false;
    bool m_abandoned = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
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
        qint64 read = 0;
        {
            WriterThread writer(t);
            Batch *batch = writer.empty();
            while (batch) {
                if (batch->used == batch->rows.size())
                    batch->rows.emplace_back();
                if (!source.next(batch->rows[batch->used]))
                    break;
                ++read;
                if (++batch->used == kBatchRows)
                    batch = writer.hand(batch);
                if (batch && progress && read % kStepRows == 0 && !progress->step(read)) {
                    out.kind = Outcome::Kind::Cancelled;
                    break;
                }
            }
            if (out.kind == Outcome::Kind::Cancelled)
                writer.abandon();
            else
                writer.finish(batch); // rethrows the writer's failure
        }
        out.rows = t.rows();
        out.changedCount = t.changedCount();
        out.changes = t.changes();
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

QString closingMessage(const Outcome &out, const QString &done)
{
    if (out.changedCount == 0)
        return done;
    QString text = done + QStringLiteral("\r\r");
    text += out.changedCount == 1
                ? QStringLiteral("1 valor foi gravado diferente do cadastrado (caractere que o arquivo não comporta ou texto maior que o campo):")
                : QStringLiteral("%1 valores foram gravados diferentes do cadastrado (caracteres que o arquivo não comporta ou textos maiores que o campo):")
                      .arg(out.changedCount);
    for (const DbaseChange &c : out.changes)
        text += QStringLiteral("\rRegistro %1, campo %2: \"%3\" gravado como \"%4\"%5")
                    .arg(c.record)
                    .arg(c.field, c.stored, c.written, c.cut ? QStringLiteral(" (cortado)") : QString());
    if (out.changedCount > out.changes.size())
        text += QStringLiteral("\r... e mais %1.").arg(out.changedCount - out.changes.size());
    return text;
}

bool mayReplace(const QString &chosen, bool withTextFile, QWidget *parent)
{
    QStringList others;
    const QString table = tablePath(chosen);
    if (QFileInfo(table) != QFileInfo(chosen))
        others << table;
    if (withTextFile && QFileInfo(dictionaryPath(chosen)) != QFileInfo(chosen))
        others << dictionaryPath(chosen);
    for (const QString &path : others) {
        if (QFileInfo::exists(path)
            && !Services::messages().confirm(QStringLiteral("O arquivo %1 já existe.\rDeseja substituí-lo?").arg(QDir::toNativeSeparators(path)), parent))
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
