#pragma once

struct sqlite3;

// The SQL functions the program's SQLite databases rely on (zapo_fold(),
// which the folded-name indexes are built on), registered on a raw handle:
// a connection that checks or copies the file needs them as much as the
// program's own connections.
void registerZapoSqliteFunctions(sqlite3 *handle);
