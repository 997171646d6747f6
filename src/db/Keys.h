#pragma once
#include <QString>
#include <QVariant>
#include <QVariantMap>

class Connection;

namespace Keys {

// Program key: the greatest key plus one (1 for an empty table). Must run
// inside the saving Transaction: the table is locked for key allocation
// until that transaction ends, so two workstations never get the same key.
int nextProgramKey(Connection &c, const QString &table, const QString &keyColumn);

// Takes the same lock without allocating a key: checks that must not pass on
// two workstations at once (the same person registered twice) run after it,
// inside the saving Transaction.
void lockTable(Connection &c, const QString &table, const QString &keyColumn);

// The engine's key lock on `table` alone (for checks and counters that
// must hold until commit). A connection lost meanwhile is reported as the
// write it cost, in the clerk's words, as every statement reports it.
void lockForKey(Connection &c, const QString &table);

// Server key: runs the insert and returns the key the server gave this
// very insert (never "the greatest key" read afterwards).
QVariant insertReturningKey(Connection &c, const QString &insert, const QVariantMap &params,
                            const QString &keyColumn);

} // namespace Keys
