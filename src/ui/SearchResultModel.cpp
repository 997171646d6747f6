#include "ui/SearchResultModel.h"
#include "db/BackgroundCount.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"

#include <QSqlQuery>
#include <QSqlRecord>

SearchResultModel::SearchResultModel(QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_counter(new BackgroundCount(this))
{
    connect(m_counter, &BackgroundCount::counted, this, [this](qint64 rows) {
        if (m_exact)
            return;
        m_exact = true;
        // Fewer than were read: rows went away meanwhile; the grid keeps them.
        m_total = int(qMax<qint64>(rows, m_rows.size()));
        emit totalChanged(m_total, true);
    });
}

void SearchResultModel::cancelCount()
{
    if (m_counter->busy())
        m_counter->cancel();
}

void SearchResultModel::setQuery(Connection &c, const std::optional<OwnerSearch::Query> &q)
{
    m_c = &c;
    m_query = q;
    m_order.clear();
    reload();
}

void SearchResultModel::sortBy(int column)
{
    if (!m_query || column < 0 || column >= m_columns.size())
        return;
    const Column &col = m_columns.at(column);
    if (col.field.isEmpty() || !col.sortable)
        return;
    // Rows equal in that column keep a fixed order, so pages neither repeat
    // nor skip rows.
    m_order = col.field + QStringLiteral(", ") + m_query->keyColumns;
    reload();
}

void SearchResultModel::reload()
{
    m_counter->cancel();
    beginResetModel();
    m_rows.clear();
    m_total = 0;
    m_exact = true;
    endResetModel();
    if (!m_query || !m_c) {
        emit totalChanged(0, true);
        return;
    }
    // The first page shows at once; a full one means there may be more,
    // counted meanwhile on another connection.
    m_exact = false;
    try {
        readPage();
    } catch (...) {
        m_exact = true;
        throw;
    }
    const QString count = QStringLiteral("select count(*) from (%1) x").arg(m_query->select);
    if (!m_exact && !m_counter->start(*m_c, count, m_query->params)) {
        // No second connection to count on: counted here, as before.
        m_total = Sql::scalar(*m_c, count, m_query->params).toInt();
        m_exact = true;
    }
    emit totalChanged(m_total, m_exact);
}

QVariant SearchResultModel::field(int row, const QString &name) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    const QVariantMap &r = m_rows.at(row);
    for (auto it = r.cbegin(); it != r.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const Column &col = m_columns.at(index.column());
    if (col.field.isEmpty())
        return computed ? computed(m_rows.at(index.row())) : QString();
    return Sql::text(field(index.row(), col.field));
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns.at(section).caption;
    return QAbstractTableModel::headerData(section, o, role);
}

bool SearchResultModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_query && (!m_exact || m_rows.size() < m_total);
}

void SearchResultModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const bool wasExact = m_exact;
    try {
        readPage();
    } catch (const DbError &) {
        // Asked for by the view while scrolling: the grid ends where it is.
        m_counter->cancel();
        m_exact = true;
        m_total = int(m_rows.size());
    }
    if (m_exact && !wasExact)
        emit totalChanged(m_total, true);
}

void SearchResultModel::readPage()
{
    // A column chosen by the user orders the result by its own column name
    // (outside, so that no table alias is needed).
    const QString select = m_order.isEmpty()
                               ? m_query->select + QStringLiteral(" order by ") + m_query->orderBy
                               : QStringLiteral("select * from (%1) x order by %2").arg(m_query->select, m_order);
    const QString sql = m_c->dialect().paged(select, PageSize, int(m_rows.size()));
    QSqlQuery q = Sql::exec(*m_c, sql, m_query->params);
    // The column names once per page, not once per row.
    QStringList names;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        names << rec.fieldName(i);
    QList<QVariantMap> page;
    page.reserve(PageSize);
    while (q.next()) {
        QVariantMap r;
        for (int i = 0; i < names.size(); ++i)
            r.insert(names.at(i), q.value(i));
        page << r;
    }
    q = QSqlQuery();
    if (!page.isEmpty()) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page.size() - 1));
        m_rows += page;
        endInsertRows();
    }
    if (page.size() < PageSize) {
        // The last page (or, with the total known, the data changed under us).
        if (!m_exact)
            m_counter->cancel();
        m_exact = true;
        m_total = int(m_rows.size());
    } else if (!m_exact) {
        m_total = int(m_rows.size());
    }
}
