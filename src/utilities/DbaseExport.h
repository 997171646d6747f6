#pragma once
#include "utilities/DbaseTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class Connection;
class LongWork;
class QWidget;
class ReportDataSource;

// Exports a query result to a dBASE table without ever leaving a
// half-written file: the rows go to a temporary table in the target's
// folder, which replaces the target only once complete. A cancelled or
// failed export removes it and leaves a table already there as it was.
// Callers own their messages; they learn here only how it ended.
namespace DbaseExport {

// The table for a chosen name: the name + ".dbf" unless it already ends in
// ".dbf" (in any case).
QString tablePath(const QString &chosen);
// The text file beside it: the chosen name as given + ".txt".
QString dictionaryPath(const QString &chosen);
// The temporary name of a table being written: hidden, in the same folder
// (so the rename never crosses file systems), itself ending in ".dbf".
QString temporaryPath(const QString &tablePath);

struct Outcome {
    enum class Kind { Done, Cancelled, Failed };
    Kind kind = Kind::Done;
    QString reason; // Failed: why, for the user
    qint64 rows = 0;
    bool done() const { return kind == Kind::Done; }
};

// Writes every row of `source` (values in field order). `progress` may be
// null; it is stepped every few hundred rows and a cancel stops the export.
Outcome write(const QString &tablePath, const QList<DbaseField> &fields, ReportDataSource &source,
              LongWork *progress = nullptr);

struct Job {
    QString select;           // the rows, in the order the table gets them
    QString count;            // one number: how many rows `select` gives
    QVariantMap params;       // bound to both
    QList<DbaseField> fields; // one per column of `select`, then one per value `complete` adds
    // Appends to a row the values the statement does not select, from those
    // it does (so the statement keeps to what every engine writes alike).
    std::function<void(QList<QVariant> &row)> complete;
    QString tablePath;
    QString title;            // of the progress window
    QWidget *parent = nullptr;
};
// Counts, then streams the statement into the table behind an
// application-modal progress window with "Cancelar" (nothing else may use
// the connection while the rows stream).
Outcome run(Connection &c, const Job &job);

// A text file in Windows-1252 with CR LF line ends, replaced whole or not
// at all. False (and the reason) on failure.
bool writeText(const QString &path, const QStringList &lines, QString *reason = nullptr);

// "FIELD: description" for each field, the lines of the text file that
// tells which column each field name stands for.
QStringList nameMap(const QList<DbaseField> &fields, const QStringList &descriptions);

} // namespace DbaseExport
