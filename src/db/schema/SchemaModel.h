#pragma once
#include "db/Dialect.h"

#include <QList>
#include <QString>
#include <QStringList>

// One engine-independent description of every table, index and view of the
// program's three databases, rendered to the DDL of each engine.
namespace Schema {

enum class Database { Main, Padrao, Kelda };

enum class ColType { Integer, SmallInt, Char, VarChar, DateTime, Float, LongText };

// How a table's key gets its value.
//  Program: the screens write max+1 themselves.
//  Server: an identity column; the screens' inserts leave the key out.
//  None: no primary key.  Composite: the columns in Table::compositeKey.
enum class KeyKind { Program, Server, None, Composite };

struct Column {
    QString name;
    ColType type = ColType::Integer;
    int width = 0;          // char(n) / varchar(n)
    QString defaultSql;     // an SQL literal valid on every engine, or empty
};

struct Table {
    Database db = Database::Main;
    QString name;
    KeyKind key = KeyKind::Program; // Program/Server keys are the first column
    QList<Column> columns;
    QStringList compositeKey;

    bool hasColumn(const QString &column) const;
    QString keyColumn() const; // empty for None/Composite
};

// An index part is a plain column, its case- and accent-folded form, the
// column without blanks (microchip numbers are compared that way), or the
// column ordered so that "like 'abc%'" can use the index (SQLite's LIKE
// ignores case, PostgreSQL's needs pattern ordering outside the C collation),
// or the column trimmed and in lower case (e-mail addresses are compared so).
struct IndexPart {
    enum Kind { Plain, Folded, NoBlanks, LikePrefix, TrimmedLower };
    QString column;
    Kind kind = Plain;
};

struct Index {
    Database db = Database::Main;
    QString name;
    QString table;
    QList<IndexPart> parts;
    QString serves; // the search it exists for
    // Only the rows meeting this condition (a partial index); the
    // statements it serves repeat the condition word for word.
    QString where;
};

struct View {
    Database db = Database::Padrao;
    QString name;
    QString select; // standard SQL naming only tables of its own database
};

const QList<Table> &tables();
const QList<Index> &indexes();
const QList<View> &views();
const Table *findTable(const QString &name); // case-insensitive

// The schema name the main connection uses for a database ("padrao",
// "kelda"; empty for the main database).
QString schemaName(Database db);

// Column type and table/index/view statements of one engine. For SQLite and
// PostgreSQL the statements run on the main connection; tables of the
// address and sibling databases are qualified with their schema.
QString columnType(const Column &c, Engine engine);
QString createTableStatement(const Table &t, Engine engine);
QString createIndexStatement(const Index &i, Engine engine);
QString createViewStatement(const View &v, Engine engine);

} // namespace Schema
