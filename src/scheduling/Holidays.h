#pragma once
#include <QDate>
#include <QList>
#include <QString>

class Connection;

// The days the service does not operate: the national holidays (fixed, and
// those that follow Easter), Carnival (a day off by custom, not by law) and
// the city's own holidays kept in `feriado_municipal`.
namespace Holidays {

struct Day {
    QDate date;
    QString name;
    bool optional = false; // Carnival: "ponto facultativo"
};

// Easter Sunday of the Gregorian calendar.
QDate easter(int year);
// The national holidays and Carnival of one year, in date order.
QList<Day> national(int year);
// The city's holidays between two dates (both included): the active rows
// of the register, a yearly one on its day and month of every year.
QList<Day> municipal(Connection &c, const QDate &from, const QDate &to);
// Every day off between two dates, in date order (one entry per date).
QList<Day> between(Connection &c, const QDate &from, const QDate &to);

// "01/01 (sexta-feira) Confraternização Universal" lines for a question.
QString describe(const QList<Day> &days);

} // namespace Holidays
