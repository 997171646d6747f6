#pragma once
#include "db/DatabaseSpec.h"
#include "db/Dialect.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

class Connection;

// Another connection to the database a data module's main connection leads
// to, for work done off the screens' thread (a count in the background).
namespace SideConnection {

struct Target {
    DatabaseSpec spec;
    Engine engine = Engine::SQLite;
};

// What to open for `c`, read on the thread that owns `c`; nothing when `c`
// is not the main connection of a live data module.
std::optional<Target> targetOf(const Connection &c);

// Opens it in the calling thread, prepared as the main connection is (the
// address and sibling files attached, the folding function). The caller
// closes and removes it in that same thread. Throws DbError.
QSqlDatabase open(const Target &target, const QString &qtName);

} // namespace SideConnection
