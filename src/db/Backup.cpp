#include "db/Backup.h"
#include "db/DatabaseSpec.h"
#include "db/DbError.h"
#include "db/SqliteFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <sqlite3.h>

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");

QString siblingOf(const QString &mainFile, const QString &suffix)
{
    const QFileInfo fi(mainFile);
    return fi.dir().filePath(fi.completeBaseName() + QLatin1Char('-') + suffix + QStringLiteral(".db"));
}

QString sqliteMessage(sqlite3 *db, const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sem memória"));
}

// One file copied page by page through SQLite's online backup: the copy is
// the database as one read transaction saw it, whatever other connections
// write meanwhile. Busy moments (a writer holding its lock) are waited out.
void onlineCopy(const QString &from, const QString &to)
{
    sqlite3 *src = nullptr;
    sqlite3 *dst = nullptr;
    auto closeBoth = [&] {
        sqlite3_close(src);
        sqlite3_close(dst);
    };
    if (sqlite3_open_v2(QFile::encodeName(from).constData(), &src, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString m = sqliteMessage(src, QStringLiteral("Não foi possível abrir %1").arg(from));
        closeBoth();
        throw DbError(m);
    }
    sqlite3_busy_timeout(src, 30000);
    if (sqlite3_open_v2(QFile::encodeName(to).constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString m = sqliteMessage(dst, QStringLiteral("Não foi possível criar %1").arg(to));
        closeBoth();
        throw DbError(m);
    }
    sqlite3_busy_timeout(dst, 30000);
    sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
    if (!b) {
        const QString m = sqliteMessage(dst, QStringLiteral("Não foi possível copiar %1").arg(from));
        closeBoth();
        throw DbError(m);
    }
    int rc = SQLITE_OK;
    for (int waited = 0; waited < 600; ++waited) { // a minute of busy answers at most
        rc = sqlite3_backup_step(b, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        QThread::msleep(100);
    }
    sqlite3_backup_finish(b);
    const int final = sqlite3_errcode(dst);
    QString m;
    if (rc != SQLITE_DONE || final != SQLITE_OK)
        m = QStringLiteral("Cópia de %1 interrompida: %2").arg(from, QString::fromUtf8(sqlite3_errstr(rc != SQLITE_DONE ? rc : final)));
    closeBoth();
    if (!m.isEmpty())
        throw DbError(m);
}

void removeSet(const QString &mainFile)
{
    for (const QString &f : Backup::setFiles(mainFile))
        QFile::remove(f);
}

} // namespace

QStringList Backup::setFiles(const QString &mainFile)
{
    return {mainFile, siblingOf(mainFile, QStringLiteral("padrao")), siblingOf(mainFile, QStringLiteral("kelda"))};
}

QString Backup::integrityCheck(const QString &file)
{
    if (!QFileInfo::exists(file))
        return QStringLiteral("arquivo inexistente");
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString m = sqliteMessage(db, QStringLiteral("não abre"));
        sqlite3_close(db);
        return m;
    }
    sqlite3_busy_timeout(db, 30000);
    registerZapoSqliteFunctions(db); // the folded-name indexes are checked through it
    sqlite3_stmt *st = nullptr;
    QStringList found;
    if (sqlite3_prepare_v2(db, "pragma integrity_check", -1, &st, nullptr) != SQLITE_OK) {
        found << sqliteMessage(db, QStringLiteral("não verificável"));
    } else {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            found << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        if (rc != SQLITE_DONE)
            found << sqliteMessage(db, QStringLiteral("verificação interrompida"));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return found.join(QStringLiteral("; "));
}

Backup::Copy Backup::backupSqlite(const QString &mainFile, const QString &dir, const QDateTime &stamp)
{
    if (!QFileInfo::exists(mainFile))
        throw DbError(QStringLiteral("Banco de dados não encontrado: %1").arg(mainFile));
    if (!QDir().mkpath(dir))
        throw DbError(QStringLiteral("Não foi possível criar a pasta %1").arg(dir));
    const QFileInfo fi(mainFile);
    Copy c;
    c.taken = stamp;
    c.mainFile = QDir(dir).filePath(QStringLiteral("%1-%2.db").arg(fi.completeBaseName(), stamp.toString(kStampFormat)));
    const QStringList from = setFiles(mainFile);
    const QStringList to = setFiles(c.mainFile);
    // Written under a temporary name and renamed once checked: a copy cut
    // short (full disk, power loss) is never taken for a good one.
    QStringList done;
    try {
        for (int i = 0; i < from.size(); ++i) {
            if (i > 0 && !QFileInfo::exists(from.at(i)))
                continue; // a database without that sibling yet
            const QString part = to.at(i) + QStringLiteral(".part");
            QFile::remove(part);
            done << part;
            onlineCopy(from.at(i), part);
            const QString check = integrityCheck(part);
            if (check != QLatin1String("ok"))
                throw DbError(QStringLiteral("A cópia de %1 não passou na verificação de integridade: %2").arg(from.at(i), check));
        }
        for (const QString &part : std::as_const(done)) {
            const QString final = part.chopped(5);
            QFile::remove(final);
            if (!QFile::rename(part, final))
                throw DbError(QStringLiteral("Não foi possível gravar %1").arg(final));
            c.files << final;
        }
    } catch (...) {
        for (const QString &part : std::as_const(done))
            QFile::remove(part);
        for (const QString &f : std::as_const(c.files))
            QFile::remove(f);
        throw;
    }
    return c;
}

QStringList Backup::restoreSqlite(const QString &backupMainFile, const QString &databaseMainFile, const QDateTime &stamp)
{
    const QStringList from = setFiles(backupMainFile);
    const QStringList to = setFiles(databaseMainFile);
    for (int i = 0; i < from.size(); ++i) {
        if (i > 0 && !QFileInfo::exists(from.at(i)))
            continue;
        const QString check = integrityCheck(from.at(i));
        if (check != QLatin1String("ok"))
            throw DbError(QStringLiteral("A cópia %1 não passou na verificação de integridade: %2").arg(from.at(i), check));
    }
    QStringList kept;
    for (int i = 0; i < from.size(); ++i) {
        if (!QFileInfo::exists(from.at(i)) || !QFileInfo::exists(to.at(i)))
            continue;
        const QFileInfo fi(to.at(i));
        const QString keep = fi.dir().filePath(
            QStringLiteral("%1.substituido-%2.db").arg(fi.completeBaseName(), stamp.toString(kStampFormat)));
        onlineCopy(to.at(i), keep);
        kept << keep;
    }
    for (int i = 0; i < from.size(); ++i)
        if (QFileInfo::exists(from.at(i)))
            onlineCopy(from.at(i), to.at(i));
    return kept;
}

QString Backup::dailyFolder(const QString &databaseMainFile)
{
    return QFileInfo(databaseMainFile).dir().filePath(QStringLiteral("backups"));
}

QList<Backup::Copy> Backup::copies(const QString &dir, const QString &databaseMainFile)
{
    const QRegularExpression rx(QStringLiteral("^%1-(\\d{8}-\\d{6})\\.db$")
                                    .arg(QRegularExpression::escape(QFileInfo(databaseMainFile).completeBaseName())));
    QList<Copy> out;
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.db")}, QDir::Files);
    for (const QString &n : names) {
        const QRegularExpressionMatch m = rx.match(n);
        if (!m.hasMatch())
            continue;
        Copy c;
        c.mainFile = QDir(dir).filePath(n);
        c.taken = QDateTime::fromString(m.captured(1), kStampFormat);
        if (!c.taken.isValid())
            continue;
        for (const QString &f : setFiles(c.mainFile))
            if (QFileInfo::exists(f))
                c.files << f;
        out << c;
    }
    std::sort(out.begin(), out.end(), [](const Copy &a, const Copy &b) { return a.taken > b.taken; });
    return out;
}

bool Backup::dailyCopyDue(const QString &dir, const QString &databaseMainFile, const QDate &today)
{
    for (const Copy &c : copies(dir, databaseMainFile))
        if (c.taken.date() == today)
            return false;
    return true;
}

QStringList Backup::prune(const QString &dir, const QString &databaseMainFile, int days, int weeks)
{
    const QList<Copy> all = copies(dir, databaseMainFile); // newest first
    QSet<QDate> seenDays;
    QSet<int> seenWeeks;
    QStringList removed;
    for (const Copy &c : all) {
        bool keep = false;
        const QDate d = c.taken.date();
        if (!seenDays.contains(d) && seenDays.size() < days) {
            seenDays.insert(d);
            keep = true;
        }
        int weekYear = 0;
        const int week = d.weekNumber(&weekYear);
        const int weekKey = weekYear * 100 + week;
        if (!seenWeeks.contains(weekKey) && seenWeeks.size() < weeks) {
            seenWeeks.insert(weekKey);
            keep = true;
        }
        if (!keep) {
            removeSet(c.mainFile);
            removed << c.mainFile;
        }
    }
    return removed;
}

QString Backup::backupServer(const DatabaseSpec &spec, const QString &dir, const QDateTime &stamp)
{
    if (spec.kind != DatabaseSpec::Kind::PostgreSQL)
        throw DbError(QStringLiteral("Este banco de dados fica num servidor acessado por ODBC: use as cópias de segurança "
                                     "do próprio servidor."));
    const QString pgDump = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (pgDump.isEmpty())
        throw DbError(QStringLiteral("pg_dump não está instalado neste computador: use as cópias de segurança do próprio "
                                     "servidor PostgreSQL (ou instale o cliente do PostgreSQL)."));
    if (!QDir().mkpath(dir))
        throw DbError(QStringLiteral("Não foi possível criar a pasta %1").arg(dir));
    const QString out = QDir(dir).filePath(QStringLiteral("%1-%2.dump").arg(spec.database, stamp.toString(kStampFormat)));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The password travels in the environment of this one process, never
    // on a command line other users could read.
    if (!spec.password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), spec.password);
    p.setProcessEnvironment(env);
    QStringList args{QStringLiteral("-h"), spec.host, QStringLiteral("-p"), QString::number(spec.port),
                     QStringLiteral("-Fc"), QStringLiteral("-f"), out};
    if (!spec.user.isEmpty())
        args << QStringLiteral("-U") << spec.user;
    args << QStringLiteral("-d") << spec.database;
    p.start(pgDump, args);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        QFile::remove(out);
        throw DbError(QStringLiteral("pg_dump falhou: %1").arg(QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
    }
    return out;
}
