#pragma once
// The table the export benchmarks print: one line per operation with its
// rows, seconds and rows per second, and the statement read alone beside it.
#include "db/Sql.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QTextStream>
#include <QVariantMap>

namespace RowsTable {

inline QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

inline void line(const QString &what, qint64 rows, double ms, const QString &extra = {})
{
    out() << "| " << what << " | " << rows << " | " << QString::number(ms / 1000.0, 'f', 2) << " | "
          << qRound64(rows / qMax(0.001, ms / 1000.0)) << " | " << extra << " |" << Qt::endl;
}

// Prepares, binds, executes and reads every value of every row.
inline qint64 bareRead(Connection &c, const QString &sql, const QVariantMap &params = {})
{
    QSqlQuery q = Sql::exec(c, sql, params);
    const int cols = q.record().count();
    qint64 rows = 0;
    while (q.next()) {
        for (int i = 0; i < cols; ++i)
            (void)q.value(i);
        ++rows;
    }
    return rows;
}

} // namespace RowsTable
