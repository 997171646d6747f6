// zapo-admin check: run once against an installation, it names each table,
// column and view the program uses that the installation lacks.
#include "app/Admin.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"
#include "support/TestDatabase.h"

#include <QTest>
#include <QUrl>

namespace {

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

class TestAdminCheck : public QObject {
    Q_OBJECT
private slots:
    void namesWhatIsMissing_data() { addEngineRows(); }
    void namesWhatIsMissing()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        int checked = 0;
        QCOMPARE(Schema::missingObjects(c, &checked), QStringList());
        QCOMPARE(checked, int(Schema::tables().size() + Schema::views().size()));
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("check"), databaseText(*t)}), 0);

        // A column, a table of the address database and its view gone.
        Sql::exec(c, QStringLiteral("alter table animal drop column Sinais"));
        const QString view = c.dialect().addressTable(QStringLiteral("pesquisaLograd"));
        Sql::exec(c, QStringLiteral("drop view ") + view);
        const QString area = c.dialect().addressTable(QStringLiteral("AreaAbrang"));
        Sql::exec(c, QStringLiteral("drop table ") + area);
        const QStringList missing = Schema::missingObjects(c);
        QCOMPARE(missing.size(), 3);
        QCOMPARE(missing.at(0), QStringLiteral("coluna animal.Sinais"));
        QVERIFY2(missing.at(1).startsWith(QStringLiteral("tabela %1: ").arg(area)), qPrintable(missing.at(1)));
        QVERIFY2(missing.at(2).startsWith(QStringLiteral("visão %1: ").arg(view)), qPrintable(missing.at(2)));
        QCOMPARE(runAdmin({QStringLiteral("zapo-admin"), QStringLiteral("check"), databaseText(*t)}), 1);
    }
};

QTEST_MAIN(TestAdminCheck)
#include "tst_admincheck.moc"
