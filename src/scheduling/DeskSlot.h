#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>

class Connection;

// What the availability map offers for a booking made at the desk: the
// slots of one unit, species and date-hour (every coverage area summed),
// the places the web booking service took in them, and the attendances
// already booked at the desk for that unit, species and date-hour. Only
// read: the counters are the web service's.
struct DeskSlot {
    bool known = false;     // unit, animal and date-hour were given
    bool found = false;     // the map has a slot for them
    int offered = 0;        // general and large-female places
    int takenWeb = 0;
    int bookedDesk = 0;
    int free() const { return offered - takenWeb - bookedDesk; }

    // `exceptAttendance`: the attendance being altered (not counted twice).
    static DeskSlot read(Connection &c, const QVariant &unit, const QVariant &animal, const QDateTime &when,
                         const QVariant &exceptAttendance = {});
    // The line beside "Data:"/"Hora:".
    QString text() const;
};

// Asked before a booking the map has no free place for.
inline QString noFreeSlotQuestion()
{
    return QStringLiteral("Não há vaga livre no mapa para esta unidade, data e hora. Deseja agendar assim mesmo?");
}
