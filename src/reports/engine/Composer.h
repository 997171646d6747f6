#pragma once
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportDefinition.h"

#include <QDateTime>
#include <memory>

struct ComposeOptions {
    // Called every few rows with the rows read so far and the expected
    // total (-1 when unknown); returning false cancels the composition.
    std::function<bool(qint64 rows, qint64 total)> progress;
    // The date and time printed by date/time items (default: now).
    QDateTime now;
};

namespace Reports {

// A composition that goes a slice at a time, so that the first pages can be
// shown while the rest are laid out (on the window's thread: the report's
// hooks and sub-reports read through the window's connection). The report
// grows page by page; its page totals read "..." until the last page is
// done. Every run* throws DbError when the data cannot be read, and then the
// composition is over.
class Composition {
public:
    // The definition must outlive the composition.
    explicit Composition(const ReportDefinition &def, const ComposeOptions &options = {});
    ~Composition();
    Composition(const Composition &) = delete;
    Composition &operator=(const Composition &) = delete;

    // Opens the data (the query runs here) and begins the first page.
    void start();
    // Lays out rows for about that long, or (pages > 0) until that many
    // pages are finished if that comes first; true while rows remain.
    bool runFor(int milliseconds, int pages = 0);
    bool runToEnd();
    // Stops here: what is composed stays, with `cancelled` set; the data is
    // released at once.
    void cancel();

    bool finished() const;
    qint64 rowsRead() const;
    qint64 expectedRows() const; // -1 when not known in advance
    // The finished pages so far (all of them once finished()).
    const ComposedReport &report() const;
    ComposedReport take();

private:
    struct State;
    std::unique_ptr<State> d;
};

// Reads the definition's data once, front to back, and lays out every page.
// Throws DbError when the data cannot be opened or read. A cancelled
// composition returns what was composed so far with `cancelled` set.
ComposedReport compose(const ReportDefinition &def, const ComposeOptions &options = {});

// How a value prints: dates as dd/MM/yyyy (or `format`), date-times with
// their time, numbers with a decimal comma, text as read (trimmed).
QString displayText(const QVariant &value, const QString &format = {}, int decimals = -1);

} // namespace Reports
