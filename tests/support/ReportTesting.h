#pragma once
#include <QString>
#include <QStringList>
#include <QVariantMap>

class Connection;
struct ComposedReport;

// What the report tests share: filling rows without noise, reading the
// texts a report placed, and saving pages for a person to look at.
namespace ReportTesting {

// Runs a statement that must work (test data); a failure ends the test run
// with the statement and the driver's text.
void run(Connection &c, const QString &sql, const QVariantMap &p = {});
// The texts of every item of that name, in page order.
QStringList named(const ComposedReport &r, const QString &name);
// Texts wider than their box on the page (each "text @ page"): what the
// page would cut where the box ends. A report that fits its values or
// shortens them with "…" has none.
QStringList cutTexts(const ComposedReport &r);
// The item's lines as one text (a wrapped value read back whole).
QStringList joinedLines(const ComposedReport &r, const QString &name);
// With ZAPO_REPORT_PNG_DIR set, its first pages as <name>-<page>.png, and
// the whole report as <name>.pdf as the preview saves it.
void savePng(const ComposedReport &r, const QString &name, int pages = 2, int dpi = 110);

} // namespace ReportTesting
