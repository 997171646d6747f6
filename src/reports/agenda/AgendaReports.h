#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDate>
#include <optional>

class Connection;

// The printed agendas of the scheduled attendances. Periods take whole days:
// from the first day at 00:00 up to (not including) the day after the last,
// so every second of the last day counts and the date index serves the
// comparison. An id of 0 means every unit or professional.
namespace AgendaReports {

// Half-open range of date-times covering the days from..to.
struct Period {
    QDateTime begin; // first day 00:00
    QDateTime end;   // the day after the last, 00:00 (excluded)
};
Period days(const QDate &from, const QDate &to);

// 040: the attendances of each professional over a period (A4 landscape).
ReportDefinition professional(Connection &c, int idProfissional, const QDate &from, const QDate &to);

// 050: the attendances of each scheduled unit, day by day (A4 landscape).
ReportDefinition daily(Connection &c, int idUnidade, const QDate &from, const QDate &to);

// The contact telephone of the daily agenda: the home number, else ";" and
// the mobile, else ";" and the message number (without the area code), then
// "..."; empty when the owner has none.
QString contactPhone(const QString &residencial, const QString &celular, const QString &recado);

// A typed year of the monthly report: four digits, else nothing.
std::optional<int> yearOf(const QString &text);

// 051: procedures per professional and type in one month (A4 portrait).
// Without a year the report prints its header only.
ReportDefinition monthly(Connection &c, std::optional<int> year, int month, int idUnidade);

// 052: the scheduled attendances of one year (every year without one) per
// unit and status (A4 landscape).
ReportDefinition annual(Connection &c, std::optional<int> year = std::nullopt);

} // namespace AgendaReports
