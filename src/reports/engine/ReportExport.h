#pragma once
#include "reports/engine/PageModel.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QPrinter;

// Files written from a composed report. Text, HTML and comma-separated files
// are Windows-1252 with CR LF line ends, like every text file the program
// writes. Each writer returns false (with the reason in *error) on failure.
namespace ReportExport {

enum class Format { Text, Html, Csv, Pdf };

QByteArray text(const ComposedReport &r);
QByteArray html(const ComposedReport &r);
QByteArray csv(const ComposedReport &r);

// Called before each page with the pages done and the total; returning
// false stops the work (the file is then not written).
using PageProgress = std::function<bool(int done, int total)>;

// Files are written under a temporary name and take the given one when
// whole, page by page: a long report is never held whole as text.
bool writePdf(const ComposedReport &r, const QString &path, QString *error = nullptr, const PageProgress &progress = {});
bool write(const ComposedReport &r, Format f, const QString &path, QString *error = nullptr, const PageProgress &progress = {});

// Prints pages fromPage..toPage (1-based; 0 means all) on a set-up printer,
// `copies` times when the printer does not make the copies itself.
bool print(const ComposedReport &r, QPrinter &printer, QString *error = nullptr, const PageProgress &progress = {});

} // namespace ReportExport
