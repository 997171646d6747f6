#pragma once
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>

class Connection;

// Statements are text with named placeholders (":Nome"); every value is bound.
// Failures throw DbError with the driver's text.
namespace Sql {

// Prepares, binds and executes. Keys of `params` may be given with or
// without the leading colon. QDate values are bound as midnight date-times,
// so date-time columns compare consistently on every engine.
QSqlQuery exec(Connection &c, const QString &sql, const QVariantMap &params = {});
QSqlQuery exec(QSqlDatabase db, const QString &sql, const QVariantMap &params = {});
// First column of the first row, or an invalid QVariant when no row came back.
QVariant scalar(Connection &c, const QString &sql, const QVariantMap &params = {});
// Binds one value with the normalisation described above.
void bind(QSqlQuery &q, const QString &name, const QVariant &value);
void bindAll(QSqlQuery &q, const QVariantMap &params);
// Text of a column, trimmed (char(n) columns come back blank-padded).
QString text(const QSqlQuery &q, const QString &column);
QString text(const QVariant &v);

// Called with every statement exec() sends and its values, before it is
// sent; load measurements replay them straight through the driver. One at a
// time; an empty function removes it.
using Observer = std::function<void(const QString &sql, const QVariantMap &params)>;
void setObserver(Observer observer);

} // namespace Sql
