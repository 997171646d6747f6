#pragma once
#include "reports/engine/PageModel.h"

#include <QByteArray>
#include <QString>

class QPrinter;

// Files written from a composed report. Text, HTML and comma-separated files
// are Windows-1252 with CR LF line ends, like every text file the program
// writes. Each writer returns false (with the reason in *error) on failure.
namespace ReportExport {

enum class Format { Text, Html, Csv, Pdf };

QByteArray text(const ComposedReport &r);
QByteArray html(const ComposedReport &r);
QByteArray csv(const ComposedReport &r);

bool writePdf(const ComposedReport &r, const QString &path, QString *error = nullptr);
bool write(const ComposedReport &r, Format f, const QString &path, QString *error = nullptr);

// Prints pages fromPage..toPage (1-based; 0 means all) on a set-up printer,
// `copies` times when the printer does not make the copies itself.
bool print(const ComposedReport &r, QPrinter &printer, QString *error = nullptr);

} // namespace ReportExport
