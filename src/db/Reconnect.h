#pragma once
#include "db/DbError.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

class Connection;

// The connection to the server was lost (a server restart, a dropped
// network); the text says what that meant for the action. Screens show one
// box for it per action.
class ConnectionLost : public DbError {
public:
    using DbError::DbError;
};

// A server restart leaves a workstation's connections dead; the program
// notices at the next statement and opens them again (Sql::exec repeats a
// read once on the new connection; a write is reported as not saved).
namespace Reconnect {

// The data module registers each connection with what a freshly opened one
// needs (attached databases, search path, folding function), and forgets it
// before closing it.
void watch(Connection &c, std::function<void(QSqlDatabase &)> prepare);
void forget(Connection &c);

// After a failed statement: true when the connection itself is gone (not
// merely the statement refused); it is then marked lost.
bool checkLost(Connection &c);
bool isLost(const Connection &c);
// Opens a lost connection again; throws ConnectionLost while the server
// cannot be reached.
void reopen(Connection &c);
// Before a statement: a lost connection outside a transaction is opened
// again; inside one the statement is refused, as the transaction died with
// the connection.
void ensureUsable(Connection &c);
// Begins a transaction; a connection found lost at that moment is opened
// again and the begin repeated, as nothing was done yet.
void begin(Connection &c);

QString lostWriteText();
QString lostReadText();

} // namespace Reconnect
