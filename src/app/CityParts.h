#pragma once
// The pieces the city generator is built from, shared by its source files:
// word lists, the street database as addresses need it, value helpers, the
// reference rows and the scheduling data. Not for use outside the generator.
#include "app/CityGenerator.h"
#include "db/schema/SchemaModel.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <span>
#include <vector>

class BulkInsert;

namespace CityGenerator::parts {

// --- Word lists ---------------------------------------------------------------
QString u(const char *utf8);
QStringList list(std::initializer_list<const char *> words);
const QStringList &maleNames();
const QStringList &femaleNames();
const QStringList &surnames();
const QStringList &petNames();
const QStringList &coatColours();
const QStringList &mailDomains();
// A person's name as the registers type it: one or two given names, one or
// two surnames, at most 50 characters.
QString personName(Random &r, bool female);

struct Breed {
    const char *name;
    int especie; // 1 dogs, 2 cats
    int porte;   // 1 small, 2 medium, 3 large
    int pelo;    // 1 short, 2 medium, 3 long
    int weight;
};
std::span<const Breed> breeds();
// The work units by name: the first registers, the others operate.
std::span<const char *const> unitNames();

// --- The street database as the addresses need it ---------------------------
struct Street {
    int num = 0;
    QString tip, nom;
    int bairro = 0;
    QString nomBairro;
    int area = 0, distrito = 0;
    int length = 1; // last house number
    struct Cep { int first, last; bool even; QString cep; };
    QList<Cep> ceps;
    double x = 0, y = 0; // a house of the street, when known
    bool hasXY = false;
};
QList<Street> readStreets(Connection &c);

// --- Values -------------------------------------------------------------------
// Date-times as the program stores them (the SQLite driver writes bound
// date-times as ISO text with milliseconds; PostgreSQL reads the same text).
QVariant stamp(const QDate &d, int minutes = 0);
QVariant nullText();
QVariant nullInt();
QString digits(Random &r, int count);
// A key-derived number that never repeats below 10^9 (3^18 is prime to 10).
qint64 spread9(qint64 i, qint64 offset);
qint64 spread8(qint64 i, qint64 offset);
bool repdigit(const QString &s);
QString mailPart(const QString &name);
int maxKey(Connection &c, const QString &table, const QString &column);
// Secondary indexes of the tables filled in bulk: dropped during the load.
QList<Schema::Index> bulkIndexes();

// --- Reference rows -----------------------------------------------------------
// Species, breeds, coats, sizes, groups, vaccines and the first `units` work
// units, where the database has none of its own.
void ensureReferenceRows(Connection &c, int units);
// The small tables the screens offer in their lists: units of measure,
// medicines, procedures, occurrence types and prescriptions by weight,
// where they are empty.
void seedSmallTables(Connection &c, const QDate &since);
// Keys of the active rows of a small table, in key order.
QList<int> activeKeys(Connection &c, const QString &table, const QString &key, const QString &statusColumn);

// --- Scheduling -------------------------------------------------------------
struct SlotRow {
    int unit;
    QDate day;
    int minutes;
    int especie;
    bool largeFemale;
    int capacity;
    int used = 0;
};

struct Schedule {
    QDate first, last;                  // the period with slots
    std::vector<SlotRow> slotRows;        // by day, unit, hour, kind
    QHash<QDate, int> firstSlotOfDay;   // index of the day's first slot
    int slotsPerDay = 0;
    QHash<int, QList<int>> unitVets;    // professionals of each operating unit
};

// Professionals with their weekly hours (written) and the surgery slots of
// the period (planned; written by writeSlots once the bookings are known).
Schedule planSchedule(Connection &c, Random &r, const QList<int> &operatingUnits, const Options &o, Result &result);
void writeSlots(Connection &c, const Schedule &s, Result &result);
// The next month's draft map of every operating unit, and special grants
// for a few owners (`owners` keys, in order).
void writeDraftsAndGrants(Connection &c, Random &r, const Schedule &s, const QList<int> &operatingUnits,
                          const QList<int> &owners, const QList<int> &clerks, Result &result);

} // namespace CityGenerator::parts
