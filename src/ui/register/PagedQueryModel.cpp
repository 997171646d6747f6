#include "ui/register/PagedQueryModel.h"

#include <QRegularExpression>
#include "db/BackgroundCount.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Dialect.h"
#include "db/Formats.h"
#include "db/Sql.h"

#include <QApplication>
#include <QDateTime>
#include <QPalette>
#include <algorithm>
#include <iterator>
#include <limits>

namespace {
// Pages kept in memory; beyond that the cache starts over (a user scrolling
// through a huge table re-reads what scrolled away, which is cheap).
constexpr int kMaxCachedPages = 64;

QVector<QVector<QVariant>> readRows(QSqlQuery &q, int columns)
{
    QVector<QVector<QVariant>> rows;
    while (q.next()) {
        QVector<QVariant> r(columns);
        for (int i = 0; i < columns; ++i)
            r[i] = q.value(i);
        rows.append(r);
    }
    return rows;
}
} // namespace

PagedQueryModel::PagedQueryModel(QObject *parent) : QAbstractTableModel(parent) {}

void PagedQueryModel::setSource(const QString &source, const QList<Column> &columns, const QString &keyExpression)
{
    beginResetModel();
    m_source = source;
    m_columns = columns;
    m_key = keyExpression;
    m_sortColumn = -1;
    m_count = 0;
    m_exact = true;
    if (m_counter)
        m_counter->cancel();
    m_blocks.clear();
    endResetModel();
}

void PagedQueryModel::setBackgroundCount(bool on)
{
    if (on == (m_counter != nullptr))
        return;
    if (!on) {
        delete m_counter;
        m_counter = nullptr;
        return;
    }
    m_counter = new BackgroundCount(this);
    connect(m_counter, &BackgroundCount::counted, this, [this](qint64 rows) {
        if (!m_exact)
            setExactCount(rows);
    });
    // A failed count leaves the grid growing page by page as before.
}

QString PagedQueryModel::countStatement() const
{
    return QStringLiteral("select count(*) from %1%2").arg(m_countSource.isEmpty() ? m_source : m_countSource, whereClause());
}

void PagedQueryModel::setExactCount(qint64 rows)
{
    const int n = int(qMin<qint64>(rows, std::numeric_limits<int>::max()));
    m_exact = true;
    if (m_counter)
        m_counter->cancel();
    if (n > m_count) {
        beginInsertRows({}, m_count, n - 1);
        m_count = n;
        endInsertRows();
    } else if (n < m_count) {
        // Rows went away since the pages were read: the grid ends where the table does.
        beginRemoveRows({}, n, m_count - 1);
        m_count = n;
        endRemoveRows();
    }
    emit countChanged(m_count, true);
}

void PagedQueryModel::ensureCount()
{
    if (m_exact || !m_conn)
        return;
    if (m_counter)
        m_counter->cancel();
    setExactCount(Sql::scalar(*m_conn, countStatement(), m_params).toLongLong());
}

void PagedQueryModel::cancelCount()
{
    if (m_counter && m_counter->busy())
        m_counter->cancel();
}

bool PagedQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_exact && !m_failed;
}

void PagedQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    // Not exact means every row before m_count is there: the next block starts at it.
    bool reachedEnd = false;
    int end = m_count;
    try {
        const auto it = readAround(m_count, &reachedEnd);
        if (it != m_blocks.end())
            end = it.key() + int(it->size());
        else
            reachedEnd = true;
    } catch (const DbError &e) {
        m_failed = true;
        emit readFailed(e.text());
        return;
    }
    if (end > m_count) {
        beginInsertRows({}, m_count, end - 1);
        m_count = end;
        endInsertRows();
    }
    if (reachedEnd) {
        // The last rows: those read are every row.
        m_exact = true;
        if (m_counter)
            m_counter->cancel();
    }
    emit countChanged(m_count, m_exact);
}

void PagedQueryModel::setFilter(const QString &condition, const QVariantMap &params)
{
    m_filter = condition;
    m_params = params;
}

bool PagedQueryModel::sortBy(int column)
{
    if (column >= m_columns.size() || (column >= 0 && !m_columns.at(column).sortable))
        return false;
    m_sortColumn = column;
    return true;
}

QString PagedQueryModel::whereClause() const
{
    return m_filter.isEmpty() ? QString() : QStringLiteral(" where ") + m_filter;
}

QString PagedQueryModel::selectStatement() const
{
    return statement({}, orderClause());
}

QString PagedQueryModel::statement(const QString &extra, const QString &order) const
{
    QStringList cols;
    for (const Column &c : m_columns)
        cols << c.expression;
    cols << m_key;
    QString where = whereClause();
    if (!extra.isEmpty())
        where = where.isEmpty() ? QStringLiteral(" where ") + extra : where + QStringLiteral(" and (") + extra + QLatin1Char(')');
    return QStringLiteral("select %1 from %2%3 order by %4").arg(cols.join(QStringLiteral(", ")), m_source, where, order);
}

bool PagedQueryModel::seekable() const
{
    return m_seekable && m_sortColumn >= 0 && m_columns.at(m_sortColumn).sortExpression.isEmpty() && m_conn;
}

QString PagedQueryModel::seekCondition(const char *op) const
{
    const QString value = m_columns.at(m_sortColumn).expression;
    const QString o = QLatin1String(op);
    // A pair compared as one value reads one range of the (value, key)
    // index; T-SQL has no such comparison and gets the same range spelled out.
    if (m_conn->dialect().engine() == Engine::TSql) {
        const QString strict = o.left(1);
        return QStringLiteral("(%1 %2 :zapo_sv or (%1 = :zapo_sv and %3 %4 :zapo_kv))").arg(value, strict, m_key, o);
    }
    return QStringLiteral("(%1, %2) %3 (:zapo_sv, :zapo_kv)").arg(value, m_key, o);
}

PagedQueryModel::Rows PagedQueryModel::rowsFrom(const QVariant &value, const QVariant &key, int limit) const
{
    if (!seekable())
        return {};
    QVariantMap p = m_params;
    p.insert(QStringLiteral("zapo_sv"), value);
    QString condition;
    if (key.isValid()) {
        p.insert(QStringLiteral("zapo_kv"), key);
        condition = seekCondition(">=");
    } else {
        condition = m_columns.at(m_sortColumn).expression + QStringLiteral(" >= :zapo_sv");
    }
    QSqlQuery q = Sql::exec(*m_conn, m_conn->dialect().paged(statement(condition, orderClause()), limit, 0), p);
    ++m_pagesRead;
    Rows rows = readRows(q, m_columns.size() + 1);
    return rows;
}

void PagedQueryModel::placeRows(int firstRow, const Rows &rows, bool last)
{
    if (firstRow < 0 || rows.isEmpty())
        return;
    const int end = firstRow + int(rows.size());
    // Rows read before that overlap them give way (they are the same rows
    // unless the table changed in between: the newer read stands).
    for (auto it = m_blocks.begin(); it != m_blocks.end();) {
        if (it.key() < end && it.key() + it->size() > firstRow)
            it = m_blocks.erase(it);
        else
            ++it;
    }
    makeRoomFor(firstRow);
    m_blocks.insert(firstRow, rows);
    if (m_exact)
        return;
    if (end > m_count) {
        beginInsertRows({}, m_count, end - 1);
        m_count = end;
        endInsertRows();
    }
    if (last)
        setExactCount(end);
    else
        emit countChanged(m_count, false);
}

QString PagedQueryModel::orderClause() const
{
    if (m_sortColumn >= 0) {
        const Column &c = m_columns.at(m_sortColumn);
        return (c.sortExpression.isEmpty() ? c.expression : c.sortExpression) + QStringLiteral(", ") + m_key;
    }
    return m_defaultOrder.isEmpty() ? m_key : m_defaultOrder + QStringLiteral(", ") + m_key;
}

int PagedQueryModel::rowOf(const QString &condition, const QVariantMap &params) const
{
    if (!m_conn || m_source.isEmpty() || condition.isEmpty())
        return -1;
    // Numbered under the very order the pages are read in, so the row found
    // is the row the grid shows, however it is sorted.
    QVariantMap all = m_params;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        all.insert(it.key(), it.value());
    const QVariant n = Sql::scalar(
        *m_conn,
        QStringLiteral("select min(zapo_x.zapo_rn) from (select row_number() over (order by %1) as zapo_rn, "
                       "case when %2 then 1 else 0 end as zapo_hit from %3%4) zapo_x where zapo_x.zapo_hit = 1")
            .arg(orderClause(), condition, m_source, whereClause()),
        all);
    return n.isNull() ? -1 : n.toInt() - 1;
}

void PagedQueryModel::reload()
{
    beginResetModel();
    m_blocks.clear();
    m_count = 0;
    m_exact = true;
    m_failed = false;
    if (m_counter)
        m_counter->cancel();
    try {
        if (m_conn && !m_source.isEmpty()) {
            if (m_counter) {
                const Rows first = readOffset(0, m_pageSize);
                if (!first.isEmpty())
                    m_blocks.insert(0, first);
                m_count = int(first.size());
                m_exact = first.size() < m_pageSize;
                if (!m_exact && !m_counter->start(*m_conn, countStatement(), m_params)) {
                    // No second connection to count on (the address database's
                    // own connection): counted here, as without the option.
                    m_count = Sql::scalar(*m_conn, countStatement(), m_params).toInt();
                    m_exact = true;
                }
            } else {
                m_count = Sql::scalar(*m_conn, countStatement(), m_params).toInt();
            }
        }
    } catch (...) {
        m_count = 0;
        m_exact = true;
        m_blocks.clear();
        endResetModel();
        throw;
    }
    endResetModel();
    emit countChanged(m_count, m_exact);
}

void PagedQueryModel::clear()
{
    beginResetModel();
    m_blocks.clear();
    m_count = 0;
    m_exact = true;
    if (m_counter)
        m_counter->cancel();
    endResetModel();
    emit countChanged(0, true);
}

PagedQueryModel::Rows PagedQueryModel::readOffset(int first, int limit) const
{
    QSqlQuery q = Sql::exec(*m_conn, m_conn->dialect().paged(selectStatement(), limit, first), m_params);
    ++m_pagesRead;
    Rows rows = readRows(q, m_columns.size() + 1);
    return rows;
}

PagedQueryModel::Rows PagedQueryModel::readSeek(const QVector<QVariant> &from, bool forward, int limit) const
{
    QVariantMap p = m_params;
    p.insert(QStringLiteral("zapo_sv"), from.at(m_sortColumn));
    p.insert(QStringLiteral("zapo_kv"), from.last());
    const QString value = m_columns.at(m_sortColumn).expression;
    const QString order = forward ? orderClause() : QStringLiteral("%1 desc, %2 desc").arg(value, m_key);
    QSqlQuery q = Sql::exec(*m_conn, m_conn->dialect().paged(statement(seekCondition(forward ? ">" : "<"), order), limit, 0), p);
    ++m_pagesRead;
    Rows rows = readRows(q, m_columns.size() + 1);
    if (!forward)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

void PagedQueryModel::makeRoomFor(int row) const
{
    // A clerk scrolling through a huge table re-reads what scrolled away,
    // which is cheap; the blocks farthest from where the grid is go first.
    while (m_blocks.size() >= kMaxCachedPages) {
        auto far = m_blocks.begin();
        int farthest = -1;
        for (auto it = m_blocks.begin(); it != m_blocks.end(); ++it) {
            const int d = qAbs(it.key() - row);
            if (d > farthest) {
                farthest = d;
                far = it;
            }
        }
        m_blocks.erase(far);
    }
}

PagedQueryModel::Blocks::const_iterator PagedQueryModel::blockOf(int row) const
{
    auto it = m_blocks.upperBound(row);
    if (it == m_blocks.cbegin())
        return m_blocks.cend();
    --it;
    return row < it.key() + it->size() ? it : m_blocks.cend();
}

PagedQueryModel::Blocks::iterator PagedQueryModel::readAround(int row, bool *reachedEnd) const
{
    makeRoomFor(row);
    // The free rows [gapStart, gapEnd) around `row`, between the blocks read.
    auto next = m_blocks.upperBound(row);
    const int gapEnd = next == m_blocks.end() ? std::numeric_limits<int>::max() : next.key();
    int gapStart = 0;
    const QVector<QVariant> *before = nullptr;
    if (next != m_blocks.begin()) {
        auto prev = std::prev(next);
        gapStart = prev.key() + int(prev->size());
        if (!prev->isEmpty())
            before = &prev->last();
    }
    const bool seek = seekable();
    Rows rows;
    int first = 0;
    int limit = 0;
    bool forward = true;
    if (seek && before && row - gapStart < m_pageSize) {
        first = gapStart;
        limit = qMin<qint64>(m_pageSize, qint64(gapEnd) - gapStart);
        rows = readSeek(*before, true, limit);
    } else if (seek && next != m_blocks.end() && !next->isEmpty() && gapEnd - row <= m_pageSize) {
        limit = qMin(m_pageSize, gapEnd - gapStart);
        rows = readSeek(next->first(), false, limit);
        first = gapEnd - int(rows.size());
        forward = false;
    } else {
        first = qMax(gapStart, row - row % m_pageSize);
        limit = qMin<qint64>(m_pageSize, qint64(gapEnd) - first);
        rows = readOffset(first, limit);
    }
    if (reachedEnd)
        *reachedEnd = forward && next == m_blocks.end() && rows.size() < limit;
    if (rows.isEmpty())
        return m_blocks.end();
    return m_blocks.insert(first, rows);
}

const QVector<QVariant> *PagedQueryModel::rowData(int row) const
{
    if (row < 0 || row >= m_count || !m_conn)
        return nullptr;
    auto it = blockOf(row);
    if (it == m_blocks.cend()) {
        if (m_failed)
            return nullptr;
        try {
            it = readAround(row);
        } catch (const DbError &e) {
            // Reported once; the grid shows blanks instead of asking again on every paint.
            m_failed = true;
            emit readFailed(e.text());
            return nullptr;
        }
        if (it == m_blocks.cend())
            return nullptr;
    }
    const int i = row - it.key();
    return i < it->size() ? &it->at(i) : nullptr;
}

QVariant PagedQueryModel::key(int row) const
{
    const QVector<QVariant> *r = rowData(row);
    return r ? r->last() : QVariant();
}

QVariant PagedQueryModel::rawValue(int row, int column) const
{
    const QVector<QVariant> *r = rowData(row);
    return r && column >= 0 && column < r->size() - 1 ? r->at(column) : QVariant();
}

void PagedQueryModel::refreshRow(int row)
{
    const QVariant k = key(row);
    if (!k.isValid() || !m_conn)
        return;
    QStringList cols;
    for (const Column &c : m_columns)
        cols << c.expression;
    cols << m_key;
    QSqlQuery q = Sql::exec(*m_conn, QStringLiteral("select %1 from %2 where %3 = :zapo_key").arg(cols.join(QStringLiteral(", ")), m_source, m_key),
                            {{QStringLiteral("zapo_key"), k}});
    if (!q.next())
        return;
    auto found = blockOf(row);
    if (found == m_blocks.cend())
        return;
    auto it = m_blocks.find(found.key());
    QVector<QVariant> &r = (*it)[row - it.key()];
    for (int i = 0; i < r.size(); ++i)
        r[i] = q.value(i);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int PagedQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int PagedQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString PagedQueryModel::displayText(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime t = v.toDateTime();
        return t.time() == QTime(0, 0) ? Formats::date(t.date()) : Formats::dateTime(t);
    }
    case QMetaType::QDate:
        return Formats::date(v.toDate());
    case QMetaType::Double:
    case QMetaType::Float:
        return Formats::number(v.toDouble());
    default: {
        // SQLite hands date-time columns back as the ISO text they were
        // stored as; people read them like the other engines' values.
        static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(\\.\\d{1,3})?$"));
        const QString text = v.toString().trimmed();
        if (v.typeId() == QMetaType::QString && iso.match(text).hasMatch()) {
            const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
            if (t.isValid())
                return displayText(t);
        }
        return text;
    }
    }
}

QVariant PagedQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayText(rawValue(index.row(), index.column()));
    case Qt::BackgroundRole:
        if (index.column() == m_sortColumn)
            return QApplication::palette().brush(QPalette::ToolTipBase);
        if (m_sortColumn < 0 && index.column() == m_shadedColumn)
            return QApplication::palette().brush(QPalette::Button);
        return {};
    case Qt::ForegroundRole:
        if (index.column() == m_sortColumn)
            return QApplication::palette().brush(QPalette::ToolTipText);
        return {};
    default:
        return {};
    }
}

QVariant PagedQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section).title;
    return QAbstractTableModel::headerData(section, orientation, role);
}
