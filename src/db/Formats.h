#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// The process-wide formats: dates "dd/mm/yyyy", decimal comma. Every
// conversion between values and the text people read goes through here.
namespace Formats {

// Sets the default locale (Brazilian Portuguese) once at start-up.
void install();

QString date(const QDate &d);              // 31/12/2024
QString dateTime(const QDateTime &t);      // 31/12/2024 14:05:00
QString time(const QTime &t);              // 14:05
QString number(double value, int decimals = -1); // 1,5

// A tax number as people read it: eleven digits "123.456.789-09" (CPF),
// fourteen "12.345.678/0001-95" (CNPJ); any other text as it is.
QString taxNumber(const QString &stored);

// Two-digit years fall in the fifty years before and after the current
// year: in 2026, 00..75 are 2000..2075 and 76..99 are 1976..1999.
int expandYear(int twoDigitYear, int currentYear);

// Parses "dd/mm/yyyy" or "dd/mm/yy" (blanks and mask underscores ignored);
// an invalid QDate when the text is no date.
QDate parseDate(const QString &text, int currentYear = QDate::currentDate().year());
// The day after `last`, the "before" bound of a period of whole days that
// ends on `last`. The last day the engines bind (31/12/9999) has no day
// after that they bind: it is its own bound then (nothing lies on it).
QDate dayAfter(const QDate &last);
// Parses "1,5" (and "1.234,5"); ok tells whether it was a number.
double parseNumber(const QString &text, bool *ok = nullptr);

} // namespace Formats
