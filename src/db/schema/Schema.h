#pragma once
#include "db/Dialect.h"

#include <QString>
#include <QStringList>

class DataModule;
class Connection;

// The program's databases: the main database, the city's address database
// ("padrao") and the sibling system's database ("kelda"), with the indexes the
// searches need and the reference data a fresh install must have.
namespace Schema {

// True when the main database already holds the program's tables.
bool exists(Connection &main);

// Creates everything on an empty database, in one go; throws DbError
// (and refuses a database that already holds the schema).
void create(DataModule &dm);

// The trigram indexes that find a microchip or a name by any part (see
// db/NameIndex.h and db/MicrochipIndex.h). On PostgreSQL they need the
// pg_trgm extension: created when the server offers it and the account may
// create it, left out otherwise (the searches then read every row). On
// SQLite, FTS5 trigram tables over the microchip numbers without their
// blanks and over the folded names, kept in step by triggers.
QStringList optionalIndexStatements(Engine engine);
// The PostgreSQL indexes' names.
QStringList optionalIndexNames();
// What removes the SQLite trigram tables and their triggers (a bulk load
// fills them once at the end), and what fills them anew from the rows.
QStringList searchIndexDropStatements(Engine engine);
void fillSearchIndexes(Connection &main);
// A database made before one of these indexes existed gets it (filled) on
// opening; nothing when it has them all or holds no schema yet. Returns the
// tables or indexes made. On PostgreSQL one the server will not make is
// left out with a warning in the log. Throws DbError.
QStringList ensureSearchIndexes(Connection &main);
// A database made by an earlier version gets the indexes added since
// (searches and lists count on them); the ones it has are left alone. Each
// missing index is created on its own, and one the account may not create
// is skipped with a warning in the log. Returns the names created. Nothing
// on T-SQL, whose indexes come with the installation script.
QStringList addMissingIndexes(Connection &main);

// A database made by an earlier version gets the tables added since (the
// owner merge records, the municipal holidays) and the registry rows of the screens that came with
// them, so that profiles can be granted them. Returns the tables created.
// Runs on every engine, outside a transaction; throws DbError.
QStringList addMissingTables(Connection &main);

// The installation script for a T-SQL server (not run by the program).
QString tsqlScript();

// Rebuilds the flat export table Exportacao2 from the owners, animals,
// addresses and attendances, in one transaction; returns the row count.
// (On a T-SQL server the script's procedure sp_animal_atendimento does the
// same on the server.)
int refreshExportTable(Connection &main);
// The statement that takes Exportacao2 for the rest of the transaction, so
// that a second rebuild waits for the first to commit (empty on SQLite,
// where the transaction's begin already takes the database).
QString exportTableLockStatement(Engine engine);
// The statement that fills Exportacao2 on one engine.
QString exportTableFillStatement(Engine engine);

} // namespace Schema
