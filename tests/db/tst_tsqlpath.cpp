// The T-SQL server path, which has no server here: what the program would
// send there (statement text, the types of bound values, the order of the
// statements on each connection), checked against a stand-in that refuses
// what that server refuses through ODBC.
#include "db/BackgroundCount.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/EngineText.h"
#include "db/Reconnect.h"
#include "db/Sql.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"
#include "support/OdbcRules.h"
#include "support/TestDatabase.h"

#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs a statement outside Sql:: (as a store holding a raw query would).
bool raw(QSqlQuery &q, const QString &sql, const QVariantMap &params = {})
{
    q.setForwardOnly(true);
    if (params.isEmpty())
        return q.exec(sql);
    q.prepare(sql);
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        q.bindValue(it.key(), it.value());
    return q.exec();
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'));
}

} // namespace

class TestTsqlPath : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { OdbcRules::installForSqlite(); }

    // The stand-in itself: without it the other tests prove nothing.
    void theStandInRefusesWhatTheServerRefuses()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        QSqlDatabase db = t->main().db();
        {
            QSqlQuery open(db);
            QVERIFY(raw(open, QStringLiteral("select Id_Especie from especie order by Id_Especie")));
            QVERIFY(open.next());
            // A second statement while the first result is unread is refused...
            QSqlQuery other(db);
            QVERIFY(!raw(other, QStringLiteral("select count(*) from especie")));
            QVERIFY2(other.lastError().text().contains(OdbcRules::busyText()), qPrintable(other.lastError().text()));
            // ... and allowed once it is read to its end.
            while (open.next()) {
            }
            QVERIFY2(raw(other, QStringLiteral("select count(*) from especie")), qPrintable(other.lastError().text()));
            QVERIFY(other.next());
            // finish() lets it go as well.
            other.finish();
            QSqlQuery third(db);
            QVERIFY(raw(third, QStringLiteral("select 1")));
        }
        {
            // A scrollable query is the server's own cursor: it blocks nothing.
            QSqlQuery scroll(db);
            QVERIFY(scroll.exec(QStringLiteral("select Id_Especie from especie")));
            QVERIFY(scroll.next());
            QSqlQuery other(db);
            QVERIFY(raw(other, QStringLiteral("select 1")));
        }
        {
            // A statement whose query went away freed the connection.
            { QSqlQuery gone(db); QVERIFY(raw(gone, QStringLiteral("select Id_Especie from especie"))); QVERIFY(gone.next()); }
            QSqlQuery other(db);
            QVERIFY(raw(other, QStringLiteral("select 1")));
        }
        // A null without a type is refused; a typed one is taken.
        QSqlQuery q(db);
        QVERIFY(!raw(q, QStringLiteral("update endereco set End_X = :x where Id_Endereco = 0"), {{QStringLiteral(":x"), QVariant()}}));
        QVERIFY(q.lastError().text().contains(OdbcRules::untypedNullText()));
        QVERIFY(raw(q, QStringLiteral("update endereco set End_X = :x where Id_Endereco = 0"),
                    {{QStringLiteral(":x"), QVariant(QMetaType::fromType<double>())}}));
    }

    // Empty coordinates, dates and keys go as typed nulls: a T-SQL server
    // refuses binary into a float or a date column even for null.
    void emptyValuesAreBoundWithAType()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        Sql::exec(t->main(),
                  QStringLiteral("insert into endereco (NOM_LOGR, End_X, End_Y, data_endereco) values (:n, :x, :y, :d)"),
                  {{QStringLiteral("n"), QStringLiteral("RUA A")},
                   {QStringLiteral("x"), QVariant()},
                   {QStringLiteral("y"), QVariant()},
                   {QStringLiteral("d"), QVariant()}});
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select count(*) from endereco where End_X is null and data_endereco is null"))
                     .toInt(),
                 1);
        QSqlQuery q(t->main().db());
        q.prepare(QStringLiteral("select :v"));
        Sql::bind(q, QStringLiteral("v"), QVariant());
        QVERIFY(q.boundValue(0).metaType().isValid());
        QVERIFY(q.boundValue(0).isNull());
    }

    // A T-SQL login lands in its default database: every connection, the
    // first one too, when it is opened again and the counting ones, names
    // its own before anything else.
    void everyConnectionSelectsItsDatabase()
    {
        QTemporaryDir dir;
        OdbcRules::installAsTSql(dir.filePath(QStringLiteral("stand-in.db")));
        OdbcRules::clear();
        const int before = int(OdbcRules::sessions().size());
        DataModule dm(DatabaseSpec::parse(QStringLiteral("odbc:DRIVER={SQL Server};SERVER=cidade;DATABASE=ZAPO_CCZ")), false);
        QCOMPARE(dm.dialect().engine(), Engine::TSql);
        QCOMPARE(dm.spec().database, QStringLiteral("ZAPO_CCZ"));
        QVERIFY(dm.main().parameters().contains(QStringLiteral("DATABASE NAME=ZAPO_CCZ")));
        QList<QStringList> s = OdbcRules::sessions().mid(before);
        QCOMPARE(s.size(), 3);
        // The first connection asks what the server is, then selects.
        QCOMPARE(s.at(0).value(0), QStringLiteral("select version()"));
        QCOMPARE(s.at(0).value(1), QStringLiteral("use [ZAPO_CCZ]"));
        QCOMPARE(s.at(1).value(0), QStringLiteral("use [padrao]"));
        QCOMPARE(s.at(2).value(0), QStringLiteral("use [kelda]"));

        // Opened again after a lost connection.
        Reconnect::reopen(dm.main());
        s = OdbcRules::sessions().mid(before);
        QCOMPARE(s.size(), 4);
        QCOMPARE(s.at(3), QStringList{QStringLiteral("use [ZAPO_CCZ]")});

        // The background count's own connection.
        {
            BackgroundCount count;
            QSignalSpy counted(&count, &BackgroundCount::counted);
            QVERIFY(count.start(dm.main(), QStringLiteral("select count(*) from sqlite_master"), {}));
            QVERIFY(counted.wait(10000));
        }
        BackgroundCount::waitForEnded();
        s = OdbcRules::sessions().mid(before);
        QCOMPARE(s.size(), 5);
        QCOMPARE(s.at(4).value(0), QStringLiteral("use [ZAPO_CCZ]"));
        QCOMPARE(s.at(4).value(1), QStringLiteral("select count(*) from sqlite_master"));
    }

    void theInstallScriptRunsOnSqlServer2016()
    {
        const QString script = Schema::tsqlScript();
        const QStringList all = lines(script);
        // sqlcmd starts with QUOTED_IDENTIFIER off: set before anything is made.
        const qsizetype firstCreate = script.indexOf(QStringLiteral("if db_id("));
        QVERIFY(script.indexOf(QStringLiteral("set quoted_identifier on;")) >= 0);
        QVERIFY(script.indexOf(QStringLiteral("set quoted_identifier on;")) < firstCreate);
        QVERIFY(script.indexOf(QStringLiteral("set ansi_nulls on;")) < firstCreate);
        QVERIFY(script.contains(QStringLiteral("where Status_Registro = 'ATIVO'"))); // the filtered index that needs them

        // Only from 2017 on.
        QVERIFY(!script.contains(QStringLiteral("string_agg"), Qt::CaseInsensitive));
        QVERIFY(script.contains(QStringLiteral("for xml path('')")));
        // No EXECUTE of a built text, no trigger (OUTPUT to the client fails
        // on a table with one), no sequence.
        QVERIFY(!script.contains(QRegularExpression(QStringLiteral("exec\\s*\\(\\s*'alter"), QRegularExpression::CaseInsensitiveOption)));
        QVERIFY(!script.contains(QStringLiteral("create trigger"), Qt::CaseInsensitive));
        QVERIFY(!script.contains(QStringLiteral("create sequence"), Qt::CaseInsensitive));
        // Server keys are plain identities; the group's key is the program's.
        const Schema::Table *endereco = Schema::findTable(QStringLiteral("endereco"));
        QVERIFY(Schema::createTableStatement(*endereco, Engine::TSql).contains(QStringLiteral("Id_Endereco int identity(1,1) not null primary key")));
        const Schema::Table *grupo = Schema::findTable(QStringLiteral("grupo_animal"));
        QVERIFY(Schema::createTableStatement(*grupo, Engine::TSql).contains(QStringLiteral("Id_Grupo_Animal int not null primary key")));

        // No two indexes on the same columns of a table (folded parts are
        // the plain column there).
        static const QRegularExpression create(QStringLiteral("^create index (\\w+) on dbo\\.(\\w+) \\(([^)]*)\\)(.*)$"));
        QSet<QString> seen;
        QString database;
        int count = 0;
        for (const QString &l : all) {
            if (l.startsWith(QStringLiteral("use ")))
                database = l;
            const QRegularExpressionMatch m = create.match(l);
            if (!m.hasMatch())
                continue;
            ++count;
            const QString key = (database + m.captured(2) + QLatin1Char('(') + m.captured(3).remove(QLatin1Char(' ')) + QLatin1Char(')') + m.captured(4)).toLower();
            QVERIFY2(!seen.contains(key), qPrintable(l));
            seen.insert(key);
        }
        QVERIFY(count > 30);
        QVERIFY(seen.contains(QStringLiteral("use padrao;logradouro(nom_logr);")));
        QVERIFY(seen.contains(QStringLiteral("use zapo;proprietario(num_cpf_cnpj);")));

        // The city's address database keeps what it has: each table, index
        // and view is made only when nothing of the kind is there.
        const qsizetype padrao = script.indexOf(QStringLiteral("use padrao;"));
        const qsizetype kelda = script.indexOf(QStringLiteral("use kelda;"));
        const QStringList padraoLines = lines(script.mid(padrao, kelda - padrao));
        for (qsizetype i = 0; i < padraoLines.size(); ++i) {
            const QString &l = padraoLines.at(i);
            if (l.startsWith(QStringLiteral("create table")))
                QVERIFY2(padraoLines.value(i - 1).startsWith(QStringLiteral("if object_id(")), qPrintable(l));
            if (l.startsWith(QStringLiteral("create index")))
                QVERIFY2(padraoLines.value(i - 2).startsWith(QStringLiteral("if not exists (select 1 from sys.indexes")), qPrintable(l));
        }
        QVERIFY(script.contains(QStringLiteral("if object_id('dbo.pesquisaLograd', 'V') is null")));
        // An index of the city's own on the same columns counts, whatever its name.
        QVERIFY(script.contains(QStringLiteral("object_id('dbo.Logradouro') and i.type > 0")));
        QVERIFY(script.contains(QStringLiteral("(ic.key_ordinal = 1 and c.name = 'num_logr') or (ic.key_ordinal = 2 and c.name = 'num_sequ_logr')")));
    }

    void statementsTheServerAccepts()
    {
        const auto d = makeDialect(Engine::TSql);
        // The key of an insert comes back through a table variable (OUTPUT
        // straight to the client is refused on a table with a trigger), as
        // the first result, and the row counts are on again afterwards.
        const QString insert = d->insertReturning(
            QStringLiteral("insert into endereco (NOM_LOGR) values (:n)"), QStringLiteral("Id_Endereco"));
        QCOMPARE(insert, QStringLiteral("set nocount on; declare @zapo_key table (k int); "
                                        "insert into endereco (NOM_LOGR) output inserted.Id_Endereco into @zapo_key values (:n); "
                                        "set nocount off; select k from @zapo_key"));
        // Key allocation and duplicate checks are serialised by a lock the
        // transaction owns, and a lock not granted is an error.
        const QString lock = EngineText::keyLockStatement(Engine::TSql);
        QVERIFY(lock.contains(QStringLiteral("exec @zapo_lock = sp_getapplock")));
        QVERIFY(lock.contains(QStringLiteral("@LockOwner = 'Transaction'")));
        QVERIFY(lock.contains(QStringLiteral("lower(:t)")));
        QVERIFY(lock.contains(QStringLiteral("if @zapo_lock < 0 raiserror(")));
        // Long texts cannot be compared as ntext: a text parameter is cast.
        QCOMPARE(EngineText::equalsParameter(*d, QStringLiteral("Observacao"), QStringLiteral(":p"), QString(300, QLatin1Char('x'))),
                 QStringLiteral("Observacao = cast(:p as nvarchar(max))"));
        QCOMPARE(EngineText::equalsParameter(*d, QStringLiteral("Id_Raca"), QStringLiteral(":p"), 3), QStringLiteral("Id_Raca = :p"));
        QCOMPARE(EngineText::equalsParameter(*d, QStringLiteral("Inserido_Em"), QStringLiteral(":p"), QDateTime(QDate(2026, 1, 2), QTime(3, 4))),
                 QStringLiteral("Inserido_Em = :p"));
        QCOMPARE(EngineText::equalsParameter(*makeDialect(Engine::PostgreSQL), QStringLiteral("Obs"), QStringLiteral(":p"), QStringLiteral("x")),
                 QStringLiteral("Obs = :p"));
        // "[" opens a set of characters in a T-SQL pattern.
        QCOMPARE(d->prefixValue(QStringLiteral("A[B]_%!")), QStringLiteral("A![B]!_!%!!%"));
        QCOMPARE(d->containsValue(QStringLiteral("[")), QStringLiteral("%![%"));
        // A house number that is not a number is no number, not an error.
        QCOMPARE(EngineText::integerOrNull(*d, QStringLiteral("num_imov_inic")), QStringLiteral("try_cast(num_imov_inic as int)"));
        // The export's lists of names without string_agg.
        const QString fill = Schema::exportTableFillStatement(Engine::TSql);
        QVERIFY(!fill.contains(QStringLiteral("string_agg")));
        QVERIFY(fill.contains(QStringLiteral("stuff((select ', ' + rtrim(pf.Nome) from atendimento_profissional ap")));
        QVERIFY(fill.contains(QStringLiteral("for xml path(''), type).value('.', 'nvarchar(max)'), 1, 2, '')")));
    }

    // Each engine's whole number of a text column: only digits count.
    void integerOrNullOnTheEngines_data() { addEngineRows(); }
    void integerOrNullOnTheEngines()
    {
        ZAPO_TEST_DB(t);
        const QString sql = QStringLiteral("select %1")
                                .arg(EngineText::integerOrNull(t->main().dialect(), QStringLiteral("cast(:v as varchar(10))")));
        const auto value = [&](const QString &v) { return Sql::scalar(t->main(), sql, {{QStringLiteral("v"), v}}); };
        QCOMPARE(value(QStringLiteral("120")).toInt(), 120);
        QCOMPARE(value(QStringLiteral(" 7 ")).toInt(), 7);
        QVERIFY(value(QStringLiteral("S/N")).isNull());
        QVERIFY(value(QStringLiteral("12A")).isNull());
        QVERIFY(value(QString()).isNull());
    }
};

QTEST_GUILESS_MAIN(TestTsqlPath)
#include "tst_tsqlpath.moc"
