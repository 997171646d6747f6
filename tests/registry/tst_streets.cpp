// The street database: loading it from files in one transaction, and the
// lookups the address group runs against it, on every engine.
#include "RegistryFixture.h"
#include "app/Admin.h"
#include "db/DbError.h"
#include "registry/StreetData.h"
#include "registry/StreetDirectory.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

int count(Connection &c, const char *table)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from %1").arg(c.dialect().addressTable(QString::fromLatin1(table)))).toInt();
}

QString databaseText(const TestDatabase &t)
{
    const DatabaseSpec &s = t.spec();
    if (s.kind == DatabaseSpec::Kind::SQLite)
        return s.path;
    QUrl u;
    u.setScheme(QStringLiteral("postgresql"));
    u.setHost(s.host);
    u.setPort(s.port);
    u.setUserName(s.user);
    u.setPassword(s.password);
    u.setPath(QLatin1Char('/') + s.database);
    return u.toString();
}

} // namespace

class TestStreets : public QObject {
    Q_OBJECT
private slots:
    void lookups_data() { addEngineRows(); }
    void lookups()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        StreetDirectory dir(t->main());

        // By code: the current name only.
        const auto byCode = dir.streetsByCode(1001);
        QCOMPARE(byCode.size(), 1);
        QCOMPARE(byCode.first().name, QStringLiteral("JOANA D'ARC"));
        QVERIFY(dir.streetsByCode(99).isEmpty());

        // By exact name, quotes and all; a name two streets share finds none.
        const auto joana = dir.streetByName(QStringLiteral("JOANA D'ARC"));
        QVERIFY(joana);
        QCOMPARE(joana->numLogr, 1001);
        QCOMPARE(joana->seq, 1);
        QCOMPARE(joana->type, QStringLiteral("RUA"));
        QCOMPARE(joana->numBair.toInt(), 1);
        QCOMPARE(dir.countByName(QStringLiteral("DAS FLORES")), 2);
        QVERIFY(!dir.streetByName(QStringLiteral("DAS FLORES")));
        QVERIFY(!dir.streetByName(QStringLiteral("JOANA")));

        // House number to postal code: each side of a street has its own.
        QCOMPARE(dir.postalCodeFor(1001, 1), QStringLiteral("08000000"));
        QCOMPARE(dir.postalCodeFor(1001, 101), QStringLiteral("08000000"));
        QCOMPARE(dir.postalCodeFor(1001, 100), QStringLiteral("08000001"));
        QCOMPARE(dir.postalCodeFor(1002, 101), dir.postalCodeFor(1002, 100)); // one code for both sides
        QCOMPARE(dir.postalCodeFor(1001, 999999), QString());
        QCOMPARE(dir.postalCodeFor(99, 1), QString());
        // A stretch recorded without house numbers is passed over; it does
        // not fail the lookup of the street's other stretches.
        Sql::exec(t->main(), QStringLiteral("insert into %1 (num_logr, num_cep, ind_lado_logr, num_imov_inic, num_imov_fina) "
                                            "values (1001, 8000077, 'I', 'S/N', 'S/N')")
                                 .arg(t->main().dialect().addressTable(QStringLiteral("cepLogradouro"))));
        QCOMPARE(dir.postalCodeFor(1001, 1), QStringLiteral("08000000"));
        QCOMPARE(dir.postalCodeFor(1001, 100), QStringLiteral("08000001"));

        // Postal code to street; an unknown code finds nothing.
        const auto stretch = dir.stretchByPostalCode(QStringLiteral("08000-001"));
        QVERIFY(stretch);
        QCOMPARE(stretch->numLogr, 1001);
        QCOMPARE(stretch->side, QStringLiteral("P"));
        QVERIFY(!dir.stretchByPostalCode(QStringLiteral("99999-999")));
        const auto current = dir.currentName(1008); // also has an earlier name
        QVERIFY(current);
        QCOMPARE(current->seq, 1);
        QVERIFY(!current->name.startsWith(QLatin1String("ANTIGA")));

        // Neighbourhoods of class P the street crosses, or all of that class.
        const auto hoods = dir.neighbourhoodsOfStreet(1001);
        QCOMPARE(hoods.size(), 2);
        const auto fallback = dir.neighbourhoodsOfStreet(1010); // crosses only a class "O" one
        QCOMPARE(fallback.size(), 27);
        QCOMPARE(dir.neighbourhoodsOfStreet(QVariant()).size(), 27);

        // District key 3 narrows the areas to sanitary district 3; inactive
        // areas are left out.
        const auto areas = dir.coverageAreas(3);
        QCOMPARE(areas.size(), 4);
        for (const auto &a : areas)
            QCOMPARE(a.code / 1000, 3);
        QCOMPARE(dir.coverageAreas(9).size(), 3);
        QCOMPARE(dir.coverageAreas().size(), 36);

        QCOMPARE(dir.streetTypes().size(), 8);
        QCOMPARE(StreetDirectory::sideOf(101), QStringLiteral("I"));
        QCOMPARE(StreetDirectory::sideOf(100), QStringLiteral("P"));
    }

    void replaceIsAllOrNothing_data() { addEngineRows(); }
    void replaceIsAllOrNothing()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        const int streets = count(t->main(), "Logradouro");
        QVERIFY(streets >= 300);
        StreetData::Dataset broken = StreetData::sampleCity();
        broken.first().rows.clear();
        broken.append(StreetData::Table{QStringLiteral("Desconhecida"), {}});
        QVERIFY_THROWS_EXCEPTION(DbError, StreetData::replaceAll(t->main(), broken));
        QCOMPARE(count(t->main(), "Logradouro"), streets);
        QCOMPARE(count(t->main(), "TipoLogradouro"), 8);
    }

    void importCommand_data() { addEngineRows(); }
    void importCommand()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::ensureTables(t->dm());
        QTemporaryDir dir;
        StreetData::Dataset city = StreetData::sampleCity();
        city[1].rows.resize(10); // a smaller Logradouro, to see it replaced
        StreetData::writeCsvDirectory(city, dir.path());
        const QString db = databaseText(*t);

        // A malformed file is reported and nothing is written.
        QFile f(dir.filePath(QStringLiteral("Bairro.csv")));
        QVERIFY(f.open(QIODevice::Append));
        f.write("31,\"SEM FIM\n");
        f.close();
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("import-streets"), db, dir.path()}), 1);
        QCOMPARE(count(t->main(), "Logradouro"), 0);

        StreetData::writeCsvDirectory(city, dir.path());
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("import-streets"), db, dir.path()}), 0);
        QCOMPARE(count(t->main(), "Logradouro"), 10);
        QCOMPARE(count(t->main(), "cepLogradouro"), int(city[3].rows.size()));
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("sample-city"), db}), 0);
        QVERIFY(count(t->main(), "Logradouro") >= 300);
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select count(*) from distrito")).toInt(), 9);
    }
};

QTEST_GUILESS_MAIN(TestStreets)
#include "tst_streets.moc"
