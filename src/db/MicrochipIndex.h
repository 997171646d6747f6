#pragma once
#include <QString>

class Dialect;

// Where the engine keeps an index made for "contains" over the microchip
// numbers without their blanks (SQLite's trigram index), a part typed from
// the middle is looked up there instead of reading every number. Elsewhere
// (PostgreSQL's trigram index serves containsCondition() itself; T-SQL)
// the callers keep Dialect::containsCondition().
namespace MicrochipIndex {

// True when the index serves `part` (blanks already removed): three
// characters at least, as its trigrams need.
bool serves(const Dialect &d, const QString &part);
// The condition on an animal key, the value bound to `param`.
QString condition(const Dialect &d, const QString &animalKey, const QString &param);
// The value bound for the part; the condition quotes it, so every
// character is taken literally (no wildcards, no operators).
QString value(const Dialect &d, const QString &part);

} // namespace MicrochipIndex
