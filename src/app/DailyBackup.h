#pragma once
#include <QDate>
#include <QString>
#include <functional>

class QObject;
struct DatabaseSpec;

// The day's copy of an embedded database, made on the program's first start
// of the day in the background, into the "backups" folder beside the
// database, keeping the last 7 daily and 4 weekly copies.
namespace DailyBackup {

// Starts the copy when the day has none yet. `notice` is called on the
// thread of `context` with what the status bar should say ("" when nothing:
// the copy is done or was not due); nothing happens on a server database.
// The program waits for a copy under way before it ends.
void startIfDue(const DatabaseSpec &spec, QObject *context, std::function<void(const QString &notice)> notice,
                const QDate &today = QDate::currentDate());
// Waits for the copy under way, if any (tests, and the end of the program).
void wait();

// The line of the information window: the last copy's date and time.
QString lastCopyLine(const DatabaseSpec &spec);

} // namespace DailyBackup
