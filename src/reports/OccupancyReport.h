#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDate>
#include <QList>
#include <QString>

class Connection;

// 053 "Ocupação do programa": how full the sterilization slots were and how
// many booked citizens did not come, per unit and month over a period. It
// reads the slots and the attendances only.
namespace Occupancy {

// One unit in one month.
struct Figures {
    int unit = 0;          // 0 in the programme's totals
    QString unitName;
    QDate month;           // the first day
    int offeredGeneral = 0;
    int offeredLarge = 0;  // places for large female dogs
    int webTaken = 0;      // places the web booking service marked taken
    int deskBooked = 0;    // attendances recorded in the program
    int attended = 0;      // status REALIZADO
    int absent = 0;        // status NÃO COMPARECEU
    int cancelled = 0;     // status CANCELADO

    int offered() const { return offeredGeneral + offeredLarge; }
    // Places taken (on the web, or booked at the desk and not cancelled)
    // over places offered; 0 when nothing was offered.
    double occupancy() const;
    // Citizens who did not come over those whose attendance has an outcome
    // (attended or absent); 0 when none has.
    double absence() const;
    Figures &operator+=(const Figures &o);
};

// Status keys the report counts.
constexpr int Realizado = 3;
constexpr int NaoCompareceu = 4;
constexpr int Cancelado = 7;

// The months from `from`'s to `to`'s, both included; the period may hold at
// most MaxMonths months.
constexpr int MaxMonths = 60;
QList<QDate> months(const QDate &from, const QDate &to);

// Per unit (in name order) and month (in order): every month of the period
// for every unit that offered or booked something in it. idUnidade 0: all.
QList<Figures> figures(Connection &c, const QDate &from, const QDate &to, int idUnidade = 0);
// The programme's totals per month, over the rows of figures().
QList<Figures> programme(const QList<Figures> &rows, const QList<QDate> &months);

// The printed report (A4 landscape), with a bar chart of each unit's
// occupancy per month and a line of the whole programme's.
ReportDefinition report(Connection &c, const QDate &from, const QDate &to, int idUnidade = 0);

// "Período: 01/2026 a 06/2026"; the text of one month "03/2026".
QString monthText(const QDate &month);

} // namespace Occupancy
