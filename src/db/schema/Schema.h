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

// Indexes that need an optional server extension: on PostgreSQL the
// trigram index that finds a microchip by any part of its number. Created
// when the server offers the extension, left out (searches still work, by
// reading the whole microchip index) when it does not or may not.
// On SQLite, the trigram index (FTS5) over the microchip numbers without
// their blanks, kept in step with the animal table by triggers.
QStringList optionalIndexStatements(Engine engine);
QStringList optionalIndexNames();
// What removes the SQLite microchip index and its triggers (a bulk load
// fills it once at the end), and what fills it anew from the animals.
QStringList searchIndexDropStatements(Engine engine);
void fillSearchIndexes(Connection &main);
// A database made before the microchip index existed gets it (filled) on
// opening; nothing when it has it or holds no schema yet. Throws DbError.
void ensureSearchIndexes(Connection &main);
// A database made by an earlier version gets the indexes added since
// (searches and lists count on them); the ones it has are left alone. Each
// missing index is created on its own, and one the account may not create
// is skipped with a warning in the log. Returns the names created. Nothing
// on T-SQL, whose indexes come with the installation script.
QStringList addMissingIndexes(Connection &main);

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
