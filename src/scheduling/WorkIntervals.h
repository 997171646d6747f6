#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

class Connection;

// A professional's time intervals: the working hours per weekday, the
// impediments and the extra hours. Each holds a range of days and a daily
// range of hours at one unit.
struct WorkInterval {
    QVariant unitId;
    QString unitName;
    QDate firstDay;
    QTime startTime;
    QDate lastDay;
    QTime endTime;
    QString weekday; // working hours only: "Domingo" ... "Sabado"

    bool operator==(const WorkInterval &o) const
    {
        return unitId == o.unitId && firstDay == o.firstDay && startTime == o.startTime && lastDay == o.lastDay
               && endTime == o.endTime && weekday == o.weekday;
    }
};

enum class IntervalKind {
    WorkingHours, // jornada_trabalho
    Impediment,   // impedimento
    ExtraHours    // jornada_trabalho_execao
};

namespace WorkIntervals {

// Sunday first, as dia_semana holds them.
const QStringList &weekdayNames();

// An interval must not start after it ends, in days or in hours.
bool isInverted(const WorkInterval &candidate);

// True when `listed` and `candidate` share a day and an hour: their day
// ranges meet and their hour ranges meet, bounds included (08:00-12:00
// meets 12:00-14:00). Working hours meet only on the same weekday.
bool clashes(const WorkInterval &listed, const WorkInterval &candidate, bool byWeekday);

// The first listed row `candidate` clashes with, or -1.
int firstClash(const QList<WorkInterval> &listed, const WorkInterval &candidate, bool byWeekday);

// The professional's stored rows of one kind (working hours: the active set).
QList<WorkInterval> load(Connection &c, IntervalKind kind, const QVariant &idProfissional);

// Replaces the professional's stored rows of one kind by `rows`; the working
// hours get Status_Registro "ATIVO" and a Controle one more than before.
// Run inside the saving transaction; throws DbError (also for a weekday
// that dia_semana does not hold).
void replace(Connection &c, IntervalKind kind, const QVariant &idProfissional, const QList<WorkInterval> &rows,
             const QVariant &userId);

// An alteration of the professional's rows of one kind: the rows of
// `loaded` (what the screen read) missing from `rows` are deleted, the rows
// of `rows` not in `loaded` are added, the others stay untouched. A deleted
// row that another workstation changed or removed meanwhile throws
// StaleRecord. Run inside the saving transaction.
void apply(Connection &c, IntervalKind kind, const QVariant &idProfissional, const QList<WorkInterval> &loaded,
           const QList<WorkInterval> &rows, const QVariant &userId);

// Removes every interval of the professional (all three kinds).
void removeAll(Connection &c, const QVariant &idProfissional);

} // namespace WorkIntervals
