#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// The city's street database as the program reads it: its tables, loading it
// from comma-separated files, and a small generated city for demonstrations
// and tests. The data is replaced as a whole, never edited row by row.
namespace StreetData {

enum class ColumnType { Integer, Float, Text };

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int width = 0;         // text columns: most characters accepted
    bool required = false; // an empty cell is refused
    // A column older files lack: its value when the header does not name it.
    QVariant absentValue = {};
    bool optionalInHeader = false;
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    int columnIndex(const QString &name) const; // without regard to case; -1
};

// Every table of the street database the program reads, in loading order.
// (pesquisaLograd is a view over them.)
const QList<TableDef> &tables();
const TableDef *table(const QString &name);

// Values in the order of the table's columns; a null QVariant for an empty cell.
struct Table {
    QString name;
    QList<QVariantList> rows;
    bool operator==(const Table &) const = default;
};
using Dataset = QList<Table>;

// One fault in one file, for people: "Bairro.csv:12: ...".
struct Problem {
    QString file;
    int line = 0;
    QString text;
    QString toString() const;
};

// Splits comma-separated text (RFC 4180 quoting: fields in double quotes,
// a doubled quote inside them, line breaks inside quoted fields). Each record
// carries the line it starts on. A malformed record stops the reading with
// a problem naming its line.
struct CsvRecord {
    int line = 0;
    QStringList fields;
};
bool parseCsv(const QString &text, QList<CsvRecord> *records, int *badLine, QString *problem);

// Reads DIR/<Table>.csv for every table (file names without regard to case),
// checking the header, each cell's type and width and the required cells.
// Every problem of every file is collected; the dataset is only usable when
// `problems` stays empty.
Dataset readCsvDirectory(const QString &dir, QList<Problem> *problems);
// Writes the dataset as the files readCsvDirectory() reads.
void writeCsvDirectory(const Dataset &data, const QString &dir);

// Replaces the street database's rows by the dataset in one transaction on
// `c` (the main connection, which reaches the address tables); nothing is
// changed when anything fails. Throws DbError.
void replaceAll(Connection &c, const Dataset &data);

// A small invented city, always the same: a few hundred streets with their
// names, postal codes per stretch and side, neighbourhoods, localities,
// coverage areas of districts 1 to 9 and house coordinates.
Dataset sampleCity();

// The sample city's sanitary districts 1 to 9 in the main database's
// `distrito`, when it has none yet (a demonstration database). Returns how
// many were added.
int addSampleDistricts(Connection &c);

// Counts per table, for messages ("Logradouro: 320").
QStringList summary(const Dataset &data);

} // namespace StreetData
