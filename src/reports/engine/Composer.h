#pragma once
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportDefinition.h"

#include <QDateTime>

struct ComposeOptions {
    // Called every few rows with the rows read so far and the expected
    // total (-1 when unknown); returning false cancels the composition.
    std::function<bool(qint64 rows, qint64 total)> progress;
    // The date and time printed by date/time items (default: now).
    QDateTime now;
};

namespace Reports {

// Reads the definition's data once, front to back, and lays out every page.
// Throws DbError when the data cannot be opened or read. A cancelled
// composition returns what was composed so far with `cancelled` set.
ComposedReport compose(const ReportDefinition &def, const ComposeOptions &options = {});

// How a value prints: dates as dd/MM/yyyy (or `format`), date-times with
// their time, numbers with a decimal comma, text as read (trimmed).
QString displayText(const QVariant &value, const QString &format = {}, int decimals = -1);

} // namespace Reports
