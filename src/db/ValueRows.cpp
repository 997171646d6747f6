#include "db/ValueRows.h"

namespace {

QString castTo(const Dialect &d, const QString &placeholder, bool dateTime)
{
    if (!dateTime)
        return QStringLiteral("cast(%1 as integer)").arg(placeholder);
    switch (d.engine()) {
    case Engine::SQLite:
        // Dates are text there, exactly as the driver binds them; a cast
        // would turn them into numbers.
        return placeholder;
    case Engine::PostgreSQL:
        return QStringLiteral("cast(%1 as timestamp)").arg(placeholder);
    case Engine::TSql:
        return QStringLiteral("cast(%1 as datetime)").arg(placeholder);
    }
    return placeholder;
}

template <typename T>
QString rows(const Dialect &d, const QList<T> &values, const QString &prefix, const QString &column, QVariantMap &params,
             bool dateTime)
{
    QStringList selects;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString name = prefix + QString::number(i);
        params.insert(name, QVariant::fromValue(values.at(i)));
        selects << QStringLiteral("select %1 as %2").arg(castTo(d, QLatin1Char(':') + name, dateTime), column);
    }
    if (selects.isEmpty())
        selects << QStringLiteral("select %1 as %2 from (select 1 as x) e where 1 = 0")
                       .arg(dateTime ? QStringLiteral("null") : QStringLiteral("cast(null as integer)"), column);
    return QLatin1Char('(') + selects.join(QStringLiteral(" union all ")) + QLatin1Char(')');
}

} // namespace

QString ValueRows::integers(const Dialect &d, const QList<int> &values, const QString &prefix, const QString &column,
                            QVariantMap &params)
{
    return rows(d, values, prefix, column, params, false);
}

QString ValueRows::dateTimes(const Dialect &d, const QList<QDateTime> &values, const QString &prefix, const QString &column,
                             QVariantMap &params)
{
    return rows(d, values, prefix, column, params, true);
}
