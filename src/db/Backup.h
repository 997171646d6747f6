#pragma once
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct DatabaseSpec;

// Copies of the embedded database: the main file and its two sibling files
// (the street and the sibling system's databases), taken with SQLite's
// online backup while workstations keep working, checked, and named by the
// date and time they were taken ("zapo-20261210-131500.db", with
// "zapo-20261210-131500-padrao.db" and "-kelda.db" beside it).
namespace Backup {

struct Copy {
    QString mainFile;       // the copy of the main database
    QStringList files;      // every file of the set
    QDateTime taken;
};

// The files of one database set: the main file and its siblings.
QStringList setFiles(const QString &mainFile);

// Copies the set of `mainFile` into `dir` (made when missing), each file
// checked with integrity_check; a copy that fails its check is removed.
// Throws DbError with what went wrong.
Copy backupSqlite(const QString &mainFile, const QString &dir, const QDateTime &stamp = QDateTime::currentDateTime());
// "ok", or what SQLite's integrity_check found (or why the file did not open).
QString integrityCheck(const QString &file);

// Puts the set of `backupMainFile` back over the set of `databaseMainFile`,
// through the same online backup (connections open on the database see the
// restored content). The replaced files are first kept beside the database
// as "<name>.substituido-YYYYMMDD-HHMMSS.db"; returns their names. Throws
// DbError (nothing replaced) when the copy fails its check.
QStringList restoreSqlite(const QString &backupMainFile, const QString &databaseMainFile,
                          const QDateTime &stamp = QDateTime::currentDateTime());

// The daily copies of an embedded database: the folder "backups" beside it
// (which may be a link to another disk).
QString dailyFolder(const QString &databaseMainFile);
// The copies of `databaseMainFile` in `dir`, newest first.
QList<Copy> copies(const QString &dir, const QString &databaseMainFile);
// True when `dir` holds no copy taken on `today`.
bool dailyCopyDue(const QString &dir, const QString &databaseMainFile, const QDate &today);
// Keeps the newest copy of each of the last `days` days that have one and
// the newest of each of the last `weeks` weeks; removes the other sets.
// Returns the main files removed.
QStringList prune(const QString &dir, const QString &databaseMainFile, int days = 7, int weeks = 4);

// zapo-admin backup on a server database: pg_dump into `dir` when it is
// installed. Returns the dump's name; throws DbError with what to do
// instead (the server's own backups) when it cannot.
QString backupServer(const DatabaseSpec &spec, const QString &dir, const QDateTime &stamp = QDateTime::currentDateTime());

} // namespace Backup
