#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Connection;

// The rows a fresh install needs: weekdays, epidemiological weeks, the
// screen registry, the administrator profile and the few reference rows the
// screens look up by key or by name.
namespace Schema {

struct SeedTable {
    QString table;
    QStringList columns;
    QList<QVariantList> rows;
};

struct EpiWeek {
    int year = 0;   // epidemiological year
    int week = 0;   // 1..52 or 53
    QDate first;    // Sunday
    QDate last;     // Saturday
};

// Weeks run Sunday to Saturday; week 1 of a year is the first such week with
// at least four days in that year (the week of the year's first Wednesday).
QDate firstDayOfEpiYear(int year);
// Every week that touches [from, to], in order, without gaps.
QList<EpiWeek> epidemiologicalWeeks(const QDate &from, const QDate &to);
QString epiWeekLabel(int year, int week); // "Semana 01/2026"

// A menu entry of the main window registered in `form`.
struct FormEntry {
    int id;
    QString name;
    QString description;
    char type; // 'F' screen, 'R' report
    int tag;
};
const QList<FormEntry> &formRegistry();

const QList<SeedTable> &referenceData();

// Inserts the reference data with bound values (inside the caller's transaction).
void insertReferenceData(Connection &c);

// Animal groups, sizes, coats and breeds a new service starts with (the
// staff keep them on their table screens afterwards): new installs get
// them, each table only while it is still empty.
const QList<SeedTable> &starterValues();
void insertStarterValues(Connection &c);

// A value as a T-SQL literal (for the installation script).
QString tsqlLiteral(const QVariant &v);

} // namespace Schema
