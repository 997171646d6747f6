#include "reports/engine/ReportData.h"

#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"

#include <QSqlError>
#include <array>
#include <atomic>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
std::atomic<quint64> g_columnSets{0};
} // namespace

ReportColumns::ReportColumns(const QStringList &names) : m_names(names), m_id(++g_columnSets)
{
    for (int i = 0; i < names.size(); ++i)
        m_index.insert(names.at(i).toLower(), i);
}

int ReportColumns::indexOf(const QString &name) const
{
    // Asked for every item of every row of a report, mostly with the very
    // strings the report's items hold: the last answers are remembered by
    // where the asked name lives, and kept only when its text is the same.
    struct Memo {
        quint64 columns = 0;
        QString name;
        int index = -1;
    };
    constexpr size_t Slots = 64;
    thread_local std::array<Memo, Slots> memo;
    const size_t slot = ((quintptr(name.constData()) >> 3) ^ (m_id * 0x9E3779B97F4A7C15ULL >> 32)) & (Slots - 1);
    Memo &m = memo[slot];
    if (m.columns == m_id && m.name == name)
        return m.index;
    const int index = lookUp(name);
    m.columns = m_id;
    // A string over someone else's buffer is copied: that buffer may change.
    m.name = name.capacity() > 0 ? name : QString(name.constData(), name.size());
    m.index = index;
    return index;
}

int ReportColumns::lookUp(const QString &name) const
{
    // Asked for every item of every row of a report: a column name in
    // plain letters is lower-cased on the stack instead of in a new string.
    constexpr qsizetype Room = 64;
    const qsizetype n = name.size();
    if (n <= Room) {
        char16_t folded[Room];
        qsizetype k = 0;
        for (; k < n; ++k) {
            const char16_t ch = name.at(k).unicode();
            if (ch >= 0x80)
                break;
            folded[k] = ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch;
        }
        if (k == n)
            return m_index.value(QString::fromRawData(reinterpret_cast<const QChar *>(folded), n), -1);
    }
    return m_index.value(name.toLower(), -1);
}

bool ReportRow::has(const QString &column) const
{
    return m_columns && m_columns->indexOf(column) >= 0;
}

QVariant ReportRow::value(const QString &column) const
{
    if (!m_columns)
        return {};
    const int i = m_columns->indexOf(column);
    return i >= 0 && i < m_values.size() ? m_values.at(i) : QVariant();
}

QString ReportRow::text(const QString &column) const
{
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString().trimmed();
}

namespace {

// "2019-09-16", "2019-09-16T10:30:00" or "2019-09-16T10:30:00.000" (SQLite
// hands dates back as the text they were stored as): read without the
// date-time parser and its time-zone look-ups. Anything else: invalid.
QDate isoDate(const QString &s)
{
    const qsizetype n = s.size();
    if (n != 10 && n != 19 && n != 23)
        return {};
    const char16_t *c = reinterpret_cast<const char16_t *>(s.constData());
    auto digits = [c](int from, int count) {
        int v = 0;
        for (int k = from; k < from + count; ++k) {
            if (c[k] < u'0' || c[k] > u'9')
                return -1;
            v = v * 10 + (c[k] - u'0');
        }
        return v;
    };
    if (c[4] != u'-' || c[7] != u'-')
        return {};
    if (n >= 19) {
        // A valid time of day: the day is the text's (a clock change moves
        // the time, not the day).
        if (c[10] != u'T' || c[13] != u':' || c[16] != u':' || (n == 23 && c[19] != u'.'))
            return {};
        const int h = digits(11, 2), mi = digits(14, 2), sec = digits(17, 2);
        if (h < 0 || h > 23 || mi < 0 || mi > 59 || sec < 0 || sec > 59 || (n == 23 && digits(20, 3) < 0))
            return {};
    }
    const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
    if (y < 0 || m < 0 || d < 0)
        return {};
    return QDate(y, m, d);
}

} // namespace

QDate ReportRow::date(const QString &column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate();
    case QMetaType::QDateTime:
        return v.toDateTime().date();
    case QMetaType::QString: {
        const QDate quick = isoDate(v.toString());
        if (quick.isValid())
            return quick;
        break;
    }
    default:
        break;
    }
    return v.toDateTime().date();
}

QueryDataSource::QueryDataSource(QSqlQuery query) : m_query(std::make_unique<QSqlQuery>(std::move(query)))
{
    const QSqlRecord rec = m_query->record();
    QStringList names;
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i);
    m_columns = std::make_shared<ReportColumns>(names);
}

QueryDataSource::~QueryDataSource() = default;

std::unique_ptr<QueryDataSource> QueryDataSource::open(Connection &c, const QString &sql, const QVariantMap &params,
                                                       Reading reading)
{
    if (reading == Reading::Streamed)
        return std::make_unique<QueryDataSource>(Sql::exec(c, sql, params));
    QSqlQuery q(c.db());
    q.setForwardOnly(false);
    if (!q.prepare(sql))
        throw DbError::from(q.lastError(), sql);
    Sql::bindAll(q, params);
    if (!q.exec())
        throw DbError::from(q.lastError(), sql);
    return std::make_unique<QueryDataSource>(std::move(q));
}

bool QueryDataSource::next(QList<QVariant> &values)
{
    if (!m_query->next()) {
        if (m_query->lastError().isValid())
            throw DbError::from(m_query->lastError(), m_query->lastQuery());
        return false;
    }
    const int n = int(m_columns->names().size());
    values.resize(n);
    for (int i = 0; i < n; ++i)
        values[i] = m_query->value(i);
    return true;
}

RowListDataSource::RowListDataSource(const QStringList &columns, QList<QList<QVariant>> rows)
    : m_columns(std::make_shared<ReportColumns>(columns)), m_rows(std::move(rows))
{
}

bool RowListDataSource::next(QList<QVariant> &values)
{
    if (m_pos >= m_rows.size())
        return false;
    values = m_rows.at(m_pos++);
    values.resize(m_columns->names().size());
    return true;
}

GeneratedDataSource::GeneratedDataSource(const QStringList &columns, Producer producer, qint64 sizeHint)
    : m_columns(std::make_shared<ReportColumns>(columns)), m_producer(std::move(producer)), m_size(sizeHint)
{
}
