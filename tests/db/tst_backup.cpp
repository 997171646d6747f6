// Copies of the embedded database: taken while another connection keeps
// writing, they open and pass their integrity check and hold a consistent
// moment; the daily folder keeps 7 daily and 4 weekly copies; a restore
// keeps the replaced files and refuses a damaged copy; zapo-admin and the
// program's own day copy.
#include "app/Admin.h"
#include "app/DailyBackup.h"
#include "app/MenuPrincipalScreen.h"
#include "app/SobreScreen.h"
#include "db/Backup.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

namespace {

// Opens a file as a plain SQLite database of its own (a name per use).
struct Opened {
    explicit Opened(const QString &file)
    {
        static int n = 0;
        name = QStringLiteral("backup_check_%1").arg(++n);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        ok = db.open();
    }
    ~Opened() { QSqlDatabase::removeDatabase(name); }
    QVariant scalar(const QString &sql) const
    {
        QSqlQuery q(QSqlDatabase::database(name));
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }
    QString name;
    bool ok = false;
};

void touchCopy(const QString &dir, const QDateTime &when)
{
    QFile f(QDir(dir).filePath(QStringLiteral("zapo-%1.db").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")))));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QFile g(QDir(dir).filePath(QStringLiteral("zapo-%1-padrao.db").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")))));
    QVERIFY(g.open(QIODevice::WriteOnly));
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void copyWhileAnotherConnectionWrites()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        const QString file = t->spec().path;
        Sql::exec(t->main(), QStringLiteral("create table escrita (n integer primary key, texto varchar(200))"));
        Sql::exec(t->main(), QStringLiteral("insert into padrao.Bairro (NUM_BAIR, NOM_BAIR) values (1, 'CENTRO')"));

        // Another workstation: its own connection on its own thread, each
        // row in a transaction of its own, numbered without gaps.
        std::atomic<bool> stop{false};
        std::atomic<int> written{0};
        QString writerError;
        std::thread writer([&] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
                db.setDatabaseName(file);
                db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
                if (!db.open()) {
                    writerError = db.lastError().text();
                    return;
                }
                QSqlQuery q(db);
                q.exec(QStringLiteral("pragma synchronous = off")); // speed, not durability, is tested here
                const QString filler(150, QLatin1Char('x'));
                for (int n = 1; !stop.load(); ++n) {
                    db.transaction();
                    q.prepare(QStringLiteral("insert into escrita (n, texto) values (?, ?)"));
                    q.addBindValue(n);
                    q.addBindValue(filler);
                    if (!q.exec() || !db.commit()) {
                        writerError = q.lastError().text() + db.lastError().text();
                        db.rollback();
                        break;
                    }
                    written.store(n);
                }
            }
            QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        });
        // Stopped and joined on every way out, a failed check included.
        struct Join {
            std::atomic<bool> &stop;
            std::thread &t;
            ~Join()
            {
                stop.store(true);
                if (t.joinable())
                    t.join();
            }
        } join{stop, writer};
        QTRY_VERIFY_WITH_TIMEOUT(written.load() > 50, 20000);

        QTemporaryDir out;
        QList<int> seen;
        for (int i = 0; i < 3; ++i) {
            const int before = written.load();
            const Backup::Copy c = Backup::backupSqlite(file, out.path(), QDateTime(QDate(2026, 12, 1), QTime(10, 0, i)));
            const int after = written.load();
            QVERIFY2(c.files.size() == 3, qPrintable(c.files.join(QLatin1Char(' ')))); // the main file and both siblings
            QCOMPARE(Backup::integrityCheck(c.mainFile), QStringLiteral("ok"));
            Opened copy(c.mainFile);
            QVERIFY(copy.ok);
            const int rows = copy.scalar(QStringLiteral("select count(*) from escrita")).toInt();
            // One moment of the database: every row up to some number, none missing.
            QCOMPARE(copy.scalar(QStringLiteral("select coalesce(max(n), 0) from escrita")).toInt(), rows);
            QVERIFY2(rows >= before && rows <= after + 1, qPrintable(QStringLiteral("%1 %2 %3").arg(before).arg(rows).arg(after)));
            QCOMPARE(copy.scalar(QStringLiteral("select count(*) from proprietario")).toInt(), 0);
            Opened streets(Backup::setFiles(c.mainFile).at(1));
            QCOMPARE(streets.scalar(QStringLiteral("select NOM_BAIR from Bairro")).toString().trimmed(), QStringLiteral("CENTRO"));
            seen << rows;
            QTRY_VERIFY_WITH_TIMEOUT(written.load() > after + 1, 20000); // the next copy sees more rows
        }
        stop.store(true);
        writer.join();
        QVERIFY2(writerError.isEmpty(), qPrintable(writerError));
        QVERIFY(seen.last() > seen.first()); // the writer went on meanwhile
        QVERIFY(QDir(out.path()).entryList({QStringLiteral("*.part")}).isEmpty());
    }

    void keepsSevenDailyAndFourWeekly()
    {
        QTemporaryDir dir;
        const QString db = QDir(dir.path()).filePath(QStringLiteral("zapo.db"));
        for (QDate d(2026, 10, 1); d <= QDate(2026, 12, 9); d = d.addDays(1))
            touchCopy(dir.path(), QDateTime(d, QTime(8, 0)));
        touchCopy(dir.path(), QDateTime(QDate(2026, 12, 9), QTime(17, 30)));
        // Files that are not copies of this database are left alone.
        touchCopy(dir.path(), QDateTime(QDate(2026, 1, 1), QTime(1, 0)));
        QFile::rename(QDir(dir.path()).filePath(QStringLiteral("zapo-20260101-010000.db")),
                      QDir(dir.path()).filePath(QStringLiteral("outro-20260101-010000.db")));
        QVERIFY(!Backup::dailyCopyDue(dir.path(), db, QDate(2026, 12, 9)));
        QVERIFY(Backup::dailyCopyDue(dir.path(), db, QDate(2026, 12, 10)));

        Backup::prune(dir.path(), db);
        QStringList left;
        for (const Backup::Copy &c : Backup::copies(dir.path(), db))
            left << c.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        QCOMPARE(left, (QStringList{QStringLiteral("2026-12-09 17:30"), QStringLiteral("2026-12-08 08:00"),
                                    QStringLiteral("2026-12-07 08:00"), QStringLiteral("2026-12-06 08:00"),
                                    QStringLiteral("2026-12-05 08:00"), QStringLiteral("2026-12-04 08:00"),
                                    QStringLiteral("2026-12-03 08:00"), QStringLiteral("2026-11-29 08:00"),
                                    QStringLiteral("2026-11-22 08:00")}));
        // A removed copy goes with its sibling files.
        QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("zapo-20261209-080000-padrao.db"))));
        QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("zapo-20261122-080000-padrao.db"))));
        QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("outro-20260101-010000.db"))));
    }

    void restoreKeepsTheReplacedFiles()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        const QString file = t->spec().path;
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into distrito (Id_Distrito, Nome) values (1, 'ANTES')"));
        QTemporaryDir out;
        const Backup::Copy copy = Backup::backupSqlite(file, out.path());
        Sql::exec(c, QStringLiteral("update distrito set Nome = 'DEPOIS' where Id_Distrito = 1"));

        // A damaged copy is refused before anything is touched.
        const QString bad = QDir(out.path()).filePath(QStringLiteral("zapo-20200101-000000.db"));
        {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'z'));
        }
        QVERIFY_THROWS_EXCEPTION(DbError, Backup::restoreSqlite(bad, file));
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from distrito where Id_Distrito = 1"))), QStringLiteral("DEPOIS"));

        // Restored while the program's connection stays open: it sees the copy.
        const QStringList kept = Backup::restoreSqlite(copy.mainFile, file, QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from distrito where Id_Distrito = 1"))), QStringLiteral("ANTES"));
        QCOMPARE(kept.size(), 3);
        QCOMPARE(QFileInfo(kept.first()).fileName(), QFileInfo(file).completeBaseName() + QStringLiteral(".substituido-20261210-090000.db"));
        QCOMPARE(QFileInfo(kept.first()).absolutePath(), QFileInfo(file).absolutePath());
        Opened replaced(kept.first());
        QCOMPARE(replaced.scalar(QStringLiteral("select Nome from distrito where Id_Distrito = 1")).toString().trimmed(), QStringLiteral("DEPOIS"));
    }

    void adminCommands()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        const QString file = t->spec().path;
        QTemporaryDir out;
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("backup"), file, out.path()}), 0);
        const QList<Backup::Copy> made = Backup::copies(out.path(), file);
        QCOMPARE(made.size(), 1);
        QVERIFY(made.first().taken.secsTo(QDateTime::currentDateTime()) < 120);
        Sql::exec(t->main(), QStringLiteral("insert into distrito (Id_Distrito, Nome) values (5, 'NOVO')"));
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("restore"), made.first().mainFile, file, QStringLiteral("--yes")}), 0);
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select count(*) from distrito where Id_Distrito = 5")).toInt(), 0);
        // Without the copy, or on a server without pg_dump: said, not done.
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("restore"), out.path() + QStringLiteral("/nada.db"), file,
                           QStringLiteral("--yes")}),
                 1);
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("restore"), made.first().mainFile,
                           QStringLiteral("postgresql://zapo@127.0.0.1:1/x"), QStringLiteral("--yes")}),
                 2);
    }

    void dayCopyOfTheProgram()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(t);
        QObject context;
        QStringList notices;
        const QDate today = QDate::currentDate();
        DailyBackup::startIfDue(t->spec(), &context, [&](const QString &n) { notices << n; }, today);
        DailyBackup::wait();
        QTRY_COMPARE(notices, (QStringList{QStringLiteral("Cópia de segurança do dia em andamento..."), QString()}));
        const QString dir = Backup::dailyFolder(t->spec().path);
        QCOMPARE(Backup::copies(dir, t->spec().path).size(), 1);
        QVERIFY(DailyBackup::lastCopyLine(t->spec()).startsWith(QStringLiteral("Última cópia de segurança: ")
                                                                 + today.toString(QStringLiteral("dd/MM/yyyy"))));
        // Later starts the same day: nothing to do, nothing said.
        notices.clear();
        DailyBackup::startIfDue(t->spec(), &context, [&](const QString &n) { notices << n; }, today);
        DailyBackup::wait();
        QTest::qWait(50);
        QVERIFY(notices.isEmpty());

        // A folder that cannot be written: the failure is said, with the last copy.
        auto u = TestDatabase::create(QStringLiteral("sqlite"));
        QVERIFY(u);
        QFile blocker(Backup::dailyFolder(u->spec().path));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        DailyBackup::startIfDue(u->spec(), &context, [&](const QString &n) { notices << n; }, today);
        DailyBackup::wait();
        QTRY_COMPARE(notices.size(), 2);
        QVERIFY2(notices.last().startsWith(QStringLiteral("Cópia de segurança do dia falhou (última cópia: nenhuma)")),
                 qPrintable(notices.last()));
        QCOMPARE(DailyBackup::lastCopyLine(u->spec()), QStringLiteral("Última cópia de segurança: nenhuma"));

        // Where the clerk reads it: the status bar, and the information window.
        MenuPrincipalScreen w;
        QVERIFY(w.backupNotice()->isHidden());
        w.setBackupNotice(notices.last());
        QVERIFY(!w.backupNotice()->isHidden());
        QCOMPARE(w.backupNotice()->text(), notices.last());
        SobreScreen about(QString(), nullptr);
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lblCopiaSeguranca"))->text(),
                 DailyBackup::lastCopyLine(DataModule::current().spec()));
        w.resize(1200, 500); // not shown: showing configures the menu for a session
        shot(&w, "status-copia");
        about.show();
        shot(&about, "sistema-copia");
        w.setBackupNotice(QString());
        QVERIFY(w.backupNotice()->isHidden());
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
