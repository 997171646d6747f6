#pragma once
#include "db/Dialect.h"

#include <QString>
#include <QVariant>

// Pieces of statements that differ between the engines, beside the Dialect
// (kept out of its header, which nearly every file includes).
namespace EngineText {

// What Dialect::lockForKey() sends, with the table bound to ":t"; empty
// where the transaction's begin already serialises the writers.
QString keyLockStatement(Engine engine);

// A condition true when the column holds the value bound to `param` (never
// null), in a form the engine can compare for every value of that type:
// long texts reach a T-SQL server from ODBC as a type "=" refuses.
QString equalsParameter(const Dialect &d, const QString &column, const QString &param, const QVariant &value);

// The text expression as a whole number, or null when it holds anything
// else ("S/N" where a house number was expected).
QString integerOrNull(const Dialect &d, const QString &expression);

} // namespace EngineText
