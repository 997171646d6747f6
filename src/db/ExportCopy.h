#pragma once
#include <QDateTime>
#include <QString>

class Connection;

// The extractor (049) reads Exportacao2, a copy of owners, animals and
// attendances resolved to names. The copy carries the moment it was made
// and the state of the attendances it was made from (their count and
// latest stamps), so the window can say how old it is and whether
// attendances changed since.
namespace ExportCopy {

struct State {
    QDateTime madeAt;            // invalid: never stamped (a copy of unknown age)
    bool attendancesChanged = true;
};
State state(Connection &main);

// What the window does about an outdated copy: the embedded database is
// rebuilt before a search whenever attendances changed; a shared server's
// copy (rebuilt there on a schedule, and costly for everyone) only when the
// clerk asks, offered once it is older than a day.
enum class Policy { RebuildWhenChanged, AskWhenOld };
Policy policy(Connection &main);
bool olderThanADay(const State &s, const QDateTime &now);

// "Dados de 10/12/2026 14:02" (or that the date is unknown).
QString label(const State &s);

// Makes the record table where a database made before it lacks it; run
// outside any transaction (a failed probe would end one on PostgreSQL).
void ensureTable(Connection &main);
// Records the copy just made; inside the rebuild's transaction.
void stamp(Connection &main);

} // namespace ExportCopy
