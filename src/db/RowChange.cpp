#include "db/RowChange.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/Sql.h"
#include "db/schema/SchemaModel.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

namespace {

const QString kChangedElsewhere = QStringLiteral(
    "O registro foi alterado em outra estação de trabalho depois de aberto. Os dados foram recarregados; refaça a alteração.");
const QString kDeletedElsewhere = QStringLiteral("O registro foi alterado ou excluído por outro usuário. Atualize a lista e tente novamente.");

enum class Kind { Text, Whole, Real, Moment, Other };

Kind kindOf(const QString &table, const QString &column)
{
    if (const Schema::Table *t = Schema::findTable(table)) {
        for (const Schema::Column &c : t->columns) {
            if (c.name.compare(column, Qt::CaseInsensitive) != 0)
                continue;
            switch (c.type) {
            case Schema::ColType::Char:
            case Schema::ColType::VarChar:
            case Schema::ColType::LongText:
                return Kind::Text;
            case Schema::ColType::Integer:
            case Schema::ColType::SmallInt:
                return Kind::Whole;
            case Schema::ColType::Float:
                return Kind::Real;
            case Schema::ColType::DateTime:
                return Kind::Moment;
            }
        }
    }
    return Kind::Other;
}

bool isEmpty(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().isEmpty();
    if (v.typeId() == QMetaType::QDate)
        return !v.toDate().isValid();
    if (v.typeId() == QMetaType::QDateTime)
        return !v.toDateTime().isValid();
    return false;
}

// SQLite hands dates back as text, with a space or a T between day and time.
QDateTime moment(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    QString s = v.toString().trimmed();
    if (s.size() > 10 && s.at(10) == QLatin1Char(' '))
        s[10] = QLatin1Char('T');
    QDateTime d = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!d.isValid())
        d = QDateTime::fromString(s, Qt::ISODate);
    if (!d.isValid())
        d = QDateTime(QDate::fromString(s.left(10), Qt::ISODate), QTime(0, 0));
    return d;
}

bool isDay(const QVariant &v)
{
    return v.typeId() == QMetaType::QDate;
}

// The condition that `column` still holds `loaded`, with what it binds put
// in `params` under `param`. Texts are compared without surrounding blanks
// (char columns come back padded and the stores trim what they read), and
// on T-SQL as nvarchar(max), since a long text travels as ntext, which "="
// does not compare. Every comparison with a loaded value goes
// through here, so that an engine's quirk is mended once.
QString stillHolds(const Dialect &dialect, Kind kind, const QString &column, const QString &param, const QVariant &loaded,
                   QVariantMap &params)
{
    const Engine engine = dialect.engine();
    const bool tsql = engine == Engine::TSql;
    const QString text = tsql ? QStringLiteral("ltrim(rtrim(cast(%1 as nvarchar(max))))").arg(column)
                              : QStringLiteral("trim(%1)").arg(column);
    const bool asText = kind == Kind::Text || (kind == Kind::Other && loaded.typeId() == QMetaType::QString);
    if (isEmpty(loaded)) {
        if (asText)
            return QStringLiteral("(%1 is null or %2 = '')").arg(column, text);
        return column + QStringLiteral(" is null");
    }
    const QString holder = QLatin1Char(':') + param;
    if (asText) {
        // Folded: the stores write names in capitals and the like, so what
        // they compare may differ from what is stored in case alone.
        params.insert(param, foldText(loaded.toString().trimmed()));
        return QStringLiteral("%1 = %2").arg(dialect.folded(text), tsql ? QStringLiteral("cast(%1 as nvarchar(max))").arg(holder) : holder);
    }
    switch (kind) {
    case Kind::Whole: {
        bool ok = false;
        const qlonglong n = loaded.toLongLong(&ok);
        params.insert(param, ok ? QVariant(n) : loaded);
        return QStringLiteral("%1 = %2").arg(column, holder);
    }
    case Kind::Real:
        params.insert(param, loaded.toDouble());
        return QStringLiteral("abs(%1 - %2) < 0.000001").arg(column, holder);
    case Kind::Moment:
        if (isDay(loaded)) {
            // A date shown without its time: the day must be the same.
            params.insert(param, loaded.toDate());
            switch (engine) {
            case Engine::SQLite:
                return QStringLiteral("date(%1) = date(%2)").arg(column, holder);
            case Engine::PostgreSQL:
                return QStringLiteral("cast(%1 as date) = cast(%2 as date)").arg(column, holder);
            case Engine::TSql:
                return QStringLiteral("cast(%1 as date) = cast(%2 as date)").arg(column, holder);
            }
        }
        params.insert(param, moment(loaded));
        if (engine == Engine::SQLite)
            return QStringLiteral("julianday(%1) = julianday(%2)").arg(column, holder);
        return QStringLiteral("%1 = %2").arg(column, holder);
    default:
        params.insert(param, loaded);
        return QStringLiteral("%1 = %2").arg(column, holder);
    }
}

} // namespace

QString RowChange::stillHolds(Connection &c, const QString &table, const QString &column, const QString &param,
                             const QVariant &loaded, QVariantMap &params)
{
    return ::stillHolds(c.dialect(), kindOf(table, column), column, param, loaded, params);
}

StaleRecord::StaleRecord(bool deleted) : DbError(deleted ? kDeletedElsewhere : kChangedElsewhere), m_deleted(deleted) {}

RowChange::RowChange(QString table, QString keyColumn, QVariant key)
    : m_table(std::move(table)), m_keyColumn(std::move(keyColumn)), m_key(std::move(key))
{
}

bool RowChange::sameValue(const QString &table, const QString &column, const QVariant &a, const QVariant &b)
{
    const bool ea = isEmpty(a), eb = isEmpty(b);
    if (ea || eb)
        return ea == eb;
    const Kind kind = kindOf(table, column);
    switch (kind) {
    case Kind::Text:
        return a.toString().trimmed() == b.toString().trimmed();
    case Kind::Whole: {
        bool oka = false, okb = false;
        const qlonglong na = a.toLongLong(&oka), nb = b.toLongLong(&okb);
        if (oka && okb)
            return na == nb;
        break;
    }
    case Kind::Real: {
        bool oka = false, okb = false;
        const double da = a.toDouble(&oka), db = b.toDouble(&okb);
        if (oka && okb)
            return std::fabs(da - db) < 0.000001;
        break;
    }
    case Kind::Moment:
        if (isDay(a) || isDay(b))
            return moment(a).date() == moment(b).date();
        return moment(a) == moment(b);
    case Kind::Other:
        if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate)
            return moment(a).date() == moment(b).date();
        break;
    }
    return a.toString().trimmed() == b.toString().trimmed();
}

void RowChange::column(const QString &name, const QVariant &loaded, const QVariant &now)
{
    if (name.compare(m_keyColumn, Qt::CaseInsensitive) == 0 || sameValue(m_table, name, loaded, now))
        return;
    m_changed.append({name, loaded, now});
}

void RowChange::columns(const QVariantMap &loaded, const QVariantMap &now)
{
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        column(it.key(), loaded.value(it.key()), it.value());
}

void RowChange::stamp(const QString &name, const QVariant &value)
{
    m_stamps.insert(name, value);
}

QStringList RowChange::changedColumns() const
{
    QStringList names;
    for (const Change &c : m_changed)
        names << c.column;
    return names;
}

namespace {

bool rowExists(Connection &c, const QString &table, const QString &keyColumn, const QVariant &key)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from %1 where %2 = :k").arg(table, keyColumn), {{QStringLiteral("k"), key}})
               .toInt()
           > 0;
}

} // namespace

bool RowChange::apply(Connection &c) const
{
    if (m_changed.isEmpty()) {
        // Nothing to write; a row deleted meanwhile is still said, so that
        // what the caller saves with it (an address, an account) waits too.
        if (!rowExists(c, m_table, m_keyColumn, m_key))
            throw StaleRecord(true);
        return false;
    }
    QStringList sets;
    QStringList where{m_keyColumn + QStringLiteral(" = :rc_key")};
    QVariantMap params{{QStringLiteral("rc_key"), m_key}};
    int i = 0;
    for (const Change &ch : m_changed) {
        const QString p = QStringLiteral("rc_new%1").arg(i);
        sets << QStringLiteral("%1 = :%2").arg(ch.column, p);
        params.insert(p, isEmpty(ch.now) && ch.now.typeId() == QMetaType::QString ? QVariant() : ch.now);
        where << stillHolds(c, m_table, ch.column, QStringLiteral("rc_old%1").arg(i), ch.loaded, params);
        ++i;
    }
    i = 0;
    for (auto it = m_stamps.cbegin(); it != m_stamps.cend(); ++it, ++i) {
        const QString p = QStringLiteral("rc_stamp%1").arg(i);
        sets << QStringLiteral("%1 = :%2").arg(it.key(), p);
        params.insert(p, it.value());
    }
    QSqlQuery q = Sql::exec(c, QStringLiteral("update %1 set %2 where %3").arg(m_table, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" and "))),
                            params);
    if (q.numRowsAffected() == 1)
        return true;
    q = QSqlQuery();
    throw StaleRecord(!rowExists(c, m_table, m_keyColumn, m_key));
}
