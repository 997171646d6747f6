// The demo and benchmark data of the sibling database, and the rebuild of
// the flat export table, through the command line.
#include "app/Admin.h"
#include "app/KeldaGenerator.h"
#include "db/DataModule.h"
#include "db/Sql.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestKeldaGenerator : public QObject {
    Q_OBJECT
private slots:
    void generatedCityHasSamplesAndExportTable()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("zapo.db");
        QCOMPARE(runAdmin({"zapo-admin", "init", db}), 0);
        QCOMPARE(runAdmin({"zapo-admin", "generate", db, "--owners", "200", "--seed", "3"}), 0);
        DataModule dm(DatabaseSpec::parse(db));
        Connection &k = dm.connection(DataModule::KeldaName);
        const int samples = Sql::scalar(k, "select count(*) from sa001042").toInt();
        QVERIFY(samples > 12);
        // Every sample belongs to a bulletin; some bulletins have no samples.
        QCOMPARE(Sql::scalar(k, "select count(*) from sa001042 b join sa001041 a on (a.numinca = b.numinca and "
                                "a.numdistrito = b.numdistrito and a.numboletim = b.numboletim)").toInt(), samples);
        QSet<QString> codes;
        QSqlQuery q = Sql::exec(k, "select distinct resultamostra from sa001042 where confamostra = 'OK'");
        while (q.next())
            codes.insert(q.value(0).toString().trimmed());
        for (const char *c : {"PO", "RE", "NR", "IN", "MO"})
            QVERIFY2(codes.contains(QString::fromLatin1(c)), c);
        // Real sibling data is never added to.
        QCOMPARE(KeldaGenerator::generate(dm, 3), 0);

        // The flat table holds one row per attendance, and a rebuild the same.
        const int attendances = Sql::scalar(dm.main(), "select count(*) from atendimento").toInt();
        QVERIFY(attendances > 0);
        QCOMPARE(Sql::scalar(dm.main(), "select count(*) from Exportacao2").toInt(), attendances);
        QCOMPARE(runAdmin({"zapo-admin", "refresh-export", db}), 0);
        QCOMPARE(Sql::scalar(dm.main(), "select count(*) from Exportacao2").toInt(), attendances);
        QCOMPARE(runAdmin({"zapo-admin", "refresh-export"}), 2);
    }
};

QTEST_MAIN(TestKeldaGenerator)
#include "tst_keldagenerator.moc"
