#pragma once
#include "db/Dialect.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

// A small set of values written into one statement as a derived table of
// one column, so that work over many rows goes to the server as one
// statement instead of a round trip per row. Each value is bound and cast
// to the column's type (a bare placeholder in a union has no type on some
// engines).
namespace ValueRows {

// "(select cast(:p0 as integer) as column union all select ...)", with the
// bound values added to `params` under `prefix` + index. An empty list gives
// a derived table with no rows.
QString integers(const Dialect &d, const QList<int> &values, const QString &prefix, const QString &column,
                 QVariantMap &params);
QString dateTimes(const Dialect &d, const QList<QDateTime> &values, const QString &prefix, const QString &column,
                  QVariantMap &params);

} // namespace ValueRows
