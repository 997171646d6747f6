#pragma once
#include <QList>
#include <QString>
#include <QVariantMap>

class Connection;

// Names found by any part of them, without regard to case or accents (the
// animal search's "Nome animal" and "Nome proprietário"). Reading every name
// and folding it costs seconds on a city; where the engine keeps a trigram
// index of the folded names the part is looked up there:
// - SQLite: an FTS5 trigram table per name column holding the folded name
//   (zapo_fold(), registered on every connection), kept by triggers; a part
//   of three characters or more is looked up as a quoted phrase, which
//   matches exactly where the folded name holds the part.
// - PostgreSQL: a pg_trgm GIN index on the very folded expression the
//   condition compares, so the plain "contains" condition is served as is.
// - T-SQL: every name is read, as before.
// Shorter parts, and databases where the index could not be made, keep the
// scan; the rows found are the same either way.
namespace NameIndex {

enum class Names { Animal, Owner };

struct Indexed {
    QString table;    // animal
    QString key;      // Id_Animal
    QString column;   // Nome
    QString ftsTable; // SQLite: animal_nome_fts
    QString pgIndex;  // PostgreSQL: trgm_animal_nome
};
const Indexed &of(Names names);
QList<Names> all();

// The condition true when the folded name `nameExpr` (of the row whose key
// is `keyExpr`) holds `typed`, trimmed and folded, every character literal.
// Binds its value under `param` (a name without the colon) into `params`.
// On SQLite a common owner name is first counted in the index (up to a
// limit) to choose how the animals are walked. Throws DbError.
QString contains(Connection &c, Names names, const QString &keyExpr, const QString &nameExpr, const QString &typed,
                 const QString &param, QVariantMap &params);

} // namespace NameIndex
