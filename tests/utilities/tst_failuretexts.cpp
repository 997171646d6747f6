// What a clerk reads when the database or the disk fails: a Portuguese
// sentence that says what happened and what to do, with the driver's and
// the system's words left for the log; and typed control characters (a NUL
// pasted from elsewhere) never reach a statement.
#include "db/DbError.h"
#include "db/Sql.h"
#include "reports/engine/Composer.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/Reports.h"
#include "support/TestDatabase.h"
#include "ui/FileErrors.h"
#include "utilities/DbaseTable.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

QSqlDatabase sqliteFile(const QString &name, const QString &path, const QString &options = {})
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(options);
    db.open();
    return db;
}

// The DbError a statement gives, or none.
std::optional<DbError> failureOf(QSqlDatabase db, const QString &sql, const QVariantMap &p = {})
{
    try {
        Sql::exec(db, sql, p);
    } catch (const DbError &e) {
        return e;
    }
    return std::nullopt;
}

// A tiny file system of our own that fills up at once; unmounted on exit.
struct FullDisk {
    QTemporaryDir dir;
    bool mounted = false;
    FullDisk()
    {
        if (geteuid() != 0)
            return;
        mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                              QStringLiteral("size=48k"), QStringLiteral("tmpfs"), dir.path()})
                  == 0;
    }
    ~FullDisk()
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {dir.path()});
    }
    QString file(const QString &name) const { return dir.filePath(name); }
};

} // namespace

class TestFailureTexts : public QObject {
    Q_OBJECT
private slots:
    void sqliteFailures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zapo.db"));
        {
            QSqlDatabase a = sqliteFile(QStringLiteral("a"), path);
            QSqlDatabase b = sqliteFile(QStringLiteral("b"), path, QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            Sql::exec(a, QStringLiteral("create table t (n integer, b blob)"));
            // Another workstation holds the database.
            Sql::exec(a, QStringLiteral("begin exclusive"));
            auto e = failureOf(b, QStringLiteral("insert into t (n) values (:n)"), {{QStringLiteral("n"), 1}});
            QVERIFY(e);
            QCOMPARE(e->text(), DbError::lockedText());
            QVERIFY(e->driverText().contains(QStringLiteral("locked")));
            QVERIFY(!e->onlyDriverText());
            QCOMPARE(DbError::standardText(*e), DbError::lockedText());
            Sql::exec(a, QStringLiteral("rollback"));

            // The file cannot be written.
            QSqlDatabase r = sqliteFile(QStringLiteral("r"), path, QStringLiteral("QSQLITE_OPEN_READONLY"));
            e = failureOf(r, QStringLiteral("insert into t (n) values (:n)"), {{QStringLiteral("n"), 1}});
            QVERIFY(e);
            QCOMPARE(e->text(), DbError::readOnlyText());
            QVERIFY(e->driverText().contains(QStringLiteral("readonly")));

            // The disk (here: the pages the file may have) is full.
            QSqlQuery count = Sql::exec(a, QStringLiteral("pragma page_count"));
            QVERIFY(count.next());
            Sql::exec(a, QStringLiteral("pragma max_page_count = %1").arg(count.value(0).toInt() + 1));
            count = QSqlQuery();
            e = failureOf(a, QStringLiteral("insert into t (b) values (:b)"), {{QStringLiteral("b"), QByteArray(200000, 'x')}});
            QVERIFY(e);
            QCOMPARE(e->text(), DbError::diskFullText());

            // Anything else: the driver's text, which the standard box
            // replaces by a sentence.
            e = failureOf(a, QStringLiteral("select * from nao_existe where n = :n"), {{QStringLiteral("n"), 1}});
            QVERIFY(e);
            QVERIFY(e->onlyDriverText());
            QVERIFY(DbError::standardText(*e).startsWith(QStringLiteral("Erro ao acessar o banco de dados")));
            QVERIFY(!DbError::standardText(*e).contains(QStringLiteral("nao_existe")));
            // Our own texts pass as they are.
            QCOMPARE(DbError::standardText(DbError(QStringLiteral("Registro não encontrado."))), QStringLiteral("Registro não encontrado."));
        }
        for (const char *n : {"a", "b", "r"})
            QSqlDatabase::removeDatabase(QString::fromLatin1(n));
    }

    void controlCharactersDropped_data() { addEngineRows(); }
    void controlCharactersDropped()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("create table colado (n integer, texto varchar(100))"));
        const QString typed = QStringLiteral("ANA") + QChar(0) + QStringLiteral("\x01SOUZA\x1b\x7f\nLINHA 2\r\n\tFIM");
        Sql::exec(c, QStringLiteral("insert into colado (n, texto) values (1, :t)"), {{QStringLiteral("t"), typed}});
        QCOMPARE(Sql::scalar(c, QStringLiteral("select texto from colado where n = 1")).toString(),
                 QStringLiteral("ANASOUZA\nLINHA 2\r\n\tFIM"));
        // A search criterion with a NUL finds what it would without it.
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from colado where texto like :t"),
                             {{QStringLiteral("t"), QStringLiteral("ANA") + QChar(0) + QStringLiteral("SOU%")}})
                     .toInt(),
                 1);
    }

    void fullDiskFiles()
    {
        FullDisk disk;
        if (!disk.mounted)
            QSKIP("needs root to mount a small file system");
        // A report saved as text.
        ReportDefinition def;
        def.title = QStringLiteral("Lista");
        QList<QList<QVariant>> rows;
        for (int i = 0; i < 4000; ++i)
            rows << QList<QVariant>{QStringLiteral("Linha de relatório número %1 com algum texto").arg(i)};
        def.data = [rows] { return std::make_unique<RowListDataSource>(QStringList{QStringLiteral("t")}, rows); };
        def.band(BandKind::Detail, 5).add(Items::field(0, 0, 150, 4, QStringLiteral("t")));
        const ComposedReport r = Reports::compose(def);
        QString error;
        QVERIFY(!ReportExport::write(r, ReportExport::Format::Text, disk.file(QStringLiteral("rel.txt")), &error));
        QCOMPARE(error, FileErrors::diskFullText());
        QVERIFY(!QFile::exists(disk.file(QStringLiteral("rel.txt"))));

        // A dBASE table.
        QString failure;
        try {
            DbaseTable table(disk.file(QStringLiteral("t.dbf")), {DbaseField::text(QStringLiteral("T"), 200)});
            for (int i = 0; i < 4000; ++i)
                table.append({QStringLiteral("registro %1").arg(i)});
            table.close();
        } catch (const std::exception &e) {
            failure = QString::fromUtf8(e.what());
        }
        QVERIFY2(failure.contains(FileErrors::diskFullText()), qPrintable(failure));
        QVERIFY(!failure.contains(QStringLiteral("Unknown error")));
    }
};

QTEST_MAIN(TestFailureTexts)
#include "tst_failuretexts.moc"
