#include "app/DailyBackup.h"
#include "db/Backup.h"
#include "db/DatabaseSpec.h"
#include "db/DbError.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <memory>

namespace {

std::unique_ptr<QThread> &running()
{
    static std::unique_ptr<QThread> t;
    return t;
}

QString lastCopyText(const QString &dir, const QString &database)
{
    const QList<Backup::Copy> all = Backup::copies(dir, database);
    return all.isEmpty() ? QStringLiteral("nenhuma") : all.first().taken.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
}

} // namespace

void DailyBackup::wait()
{
    if (running()) {
        running()->wait();
        running().reset();
    }
}

void DailyBackup::startIfDue(const DatabaseSpec &spec, QObject *context, std::function<void(const QString &)> notice,
                             const QDate &today)
{
    if (spec.kind != DatabaseSpec::Kind::SQLite)
        return;
    if (running()) {
        if (running()->isRunning())
            return;
        running().reset();
    }
    const QString database = spec.path;
    const QString dir = Backup::dailyFolder(database);
    if (!Backup::dailyCopyDue(dir, database, today))
        return;
    const QString before = lastCopyText(dir, database);
    notice(QStringLiteral("Cópia de segurança do dia em andamento..."));
    QPointer<QObject> target(context);
    // Raw SQLite handles of its own on its own thread: the program's
    // connections are never touched, and nobody waits for it.
    running().reset(QThread::create([database, dir, before, target, notice] {
        QString problem;
        try {
            Backup::backupSqlite(database, dir);
            Backup::prune(dir, database);
        } catch (const DbError &e) {
            problem = e.text();
        } catch (const std::exception &e) {
            problem = QString::fromLocal8Bit(e.what());
        }
        const QString text = problem.isEmpty()
                                 ? QString()
                                 : QStringLiteral("Cópia de segurança do dia falhou (última cópia: %1): %2").arg(before, problem);
        if (target)
            QMetaObject::invokeMethod(target, [notice, text] { notice(text); }, Qt::QueuedConnection);
    }));
    running()->start(QThread::LowPriority);
    if (QCoreApplication::instance())
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] { wait(); });
}

QString DailyBackup::lastCopyLine(const DatabaseSpec &spec)
{
    if (spec.kind != DatabaseSpec::Kind::SQLite)
        return QStringLiteral("Cópias de segurança: as do servidor do banco de dados.");
    return QStringLiteral("Última cópia de segurança: ") + lastCopyText(Backup::dailyFolder(spec.path), spec.path);
}
