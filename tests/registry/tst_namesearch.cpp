// The animal search finds names by any part through the engines' trigram
// indexes: the same animals, in the same order, as reading and folding
// every name; the indexes follow the rows as they change, and a database
// made before them gains them when it is opened.
#include "app/CityGenerator.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "registry/AnimalSearch.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QTest>

namespace {

using Field = AnimalSearch::Field;

QList<int> found(Connection &c, Field field, const QString &typed)
{
    QList<int> out;
    const auto query = AnimalSearch::query(c, field, typed);
    if (!query)
        return out;
    QSqlQuery q = Sql::exec(c, query->select + QStringLiteral(" order by ") + query->orderBy, query->params);
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

// What reading every name finds: the folded name holds the folded part.
QList<int> scanned(Connection &c, Field field, const QString &typed)
{
    const Dialect &d = c.dialect();
    const QString name = field == Field::NomeAnimal ? QStringLiteral("a.Nome") : QStringLiteral("b.Nome");
    QList<int> out;
    QSqlQuery q = Sql::exec(c,
                            QStringLiteral("select a.Id_Animal from animal a left join proprietario b on (a.Id_Proprietario = "
                                           "b.Id_Proprietario) where %1 order by a.Id_Animal")
                                .arg(d.containsCondition(d.folded(name), QStringLiteral(":p"))),
                            {{QStringLiteral("p"), d.containsValue(foldText(typed.trimmed()))}});
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

int addOwner(Connection &c, const QString &name)
{
    const int id = Sql::scalar(c, QStringLiteral("select max(Id_Proprietario) + 1 from proprietario")).toInt();
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Status_Registro) values (:i, :n, 'ATIVO')"),
              {{"i", id}, {"n", name}});
    return id;
}

int addAnimal(Connection &c, int owner, const QVariant &name)
{
    const int id = Sql::scalar(c, QStringLiteral("select max(Id_Animal) + 1 from animal")).toInt();
    Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (:i, :p, :n)"),
              {{"i", id}, {"p", owner}, {"n", name}});
    return id;
}

// Names that hold what a pattern or a quoted phrase would read as syntax,
// accents in both cases, and names too short for a trigram.
struct Specials {
    int wildcards, quotes, accents, shortName, withoutName, ownerQuoted;
};

Specials addSpecials(Connection &c)
{
    const int owner = addOwner(c, QStringLiteral("D'ÁVILA \"ZÉ\" 10%_B"));
    Specials s{};
    s.ownerQuoted = owner;
    s.wildcards = addAnimal(c, owner, QStringLiteral("50% OFF_1"));
    s.quotes = addAnimal(c, owner, QStringLiteral("O'NEIL \"QQ\""));
    s.accents = addAnimal(c, owner, QStringLiteral("Ângela Conceição"));
    s.shortName = addAnimal(c, owner, QStringLiteral("Bó"));
    s.withoutName = addAnimal(c, owner, QVariant(QMetaType(QMetaType::QString)));
    addAnimal(c, owner, QStringLiteral("   "));
    return s;
}

QStringList partsToTry(Connection &c)
{
    QStringList parts{QStringLiteral(""), QStringLiteral("   "), QStringLiteral("a"), QStringLiteral("bo"),
                      QStringLiteral("BÓ"), QStringLiteral("  rex  "), QStringLiteral("inha"), QStringLiteral("PAÇOCA"),
                      QStringLiteral("pacoca"), QStringLiteral("ÂNGELA CONCEIÇÃO"), QStringLiteral("angela conceicao"),
                      QStringLiteral("ela con"), QStringLiteral("%"), QStringLiteral("_"), QStringLiteral("%%%"),
                      QStringLiteral("0% O"), QStringLiteral("F_1"), QStringLiteral("50%OFF"), QStringLiteral("5_%"),
                      QStringLiteral("'"), QStringLiteral("o'n"), QStringLiteral("\"qq\""), QStringLiteral("\" q"),
                      QStringLiteral("d'a"), QStringLiteral("\"ze\""), QStringLiteral("0%_b"), QStringLiteral("da s"),
                      QStringLiteral("silva"), QStringLiteral("zzzq"), QStringLiteral("*"), QStringLiteral("re*"),
                      QStringLiteral("rex OR mel"), QStringLiteral("NEAR(rex)"), QStringLiteral("ome com"),
                      QStringLiteral("comum 10")};
    // Starts, middles and ends of generated names, of animals and owners.
    for (const QString &table : {QStringLiteral("animal"), QStringLiteral("proprietario")}) {
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Nome from %1 where Nome is not null order by Nome").arg(table));
        int i = 0;
        while (q.next()) {
            const QString name = q.value(0).toString();
            if (i++ % 97 != 0 || name.size() < 8)
                continue;
            parts << name.left(3) << name.mid(2, 4) << name.right(5).toLower() << name;
        }
    }
    return parts;
}

void compareEveryPart(Connection &c)
{
    for (const QString &typed : partsToTry(c)) {
        for (Field field : {Field::NomeAnimal, Field::NomeProprietario}) {
            const QList<int> expected = scanned(c, field, typed);
            QCOMPARE(found(c, field, typed), expected);
        }
    }
}

void generate(Connection &c)
{
    CityGenerator::Options o;
    o.owners = 600;
    o.seed = 5;
    CityGenerator::generate(c, o);
}

// The plan of the search with its value written in (the driver prepares
// statements with PREPARE, which takes no EXPLAIN).
QString plan(Connection &c, Field field, const QString &typed)
{
    const auto query = AnimalSearch::query(c, field, typed);
    QString sql = query->select;
    for (auto it = query->params.cbegin(); it != query->params.cend(); ++it)
        sql.replace(QLatin1Char(':') + it.key(), QLatin1Char('\'') + it.value().toString().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''));
    QString out;
    QSqlQuery q = Sql::exec(c, QStringLiteral("explain ") + sql);
    while (q.next())
        out += q.value(0).toString() + QLatin1Char('\n');
    return out;
}

} // namespace

class TestNameSearch : public QObject {
    Q_OBJECT
private slots:
    void namePartsFindWhatReadingEveryNameFinds_data() { addEngineRows(); }
    void namePartsFindWhatReadingEveryNameFinds()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        generate(c);
        const Specials s = addSpecials(c);
        {
            // An owner name common enough for the animals to be walked in
            // key order rather than owner by owner.
            Transaction tx(c);
            for (int i = 0; i < 1100; ++i) {
                const int owner = addOwner(c, QStringLiteral("SOBRENOME COMUM %1").arg(i));
                if (i % 7 == 0)
                    addAnimal(c, owner, QStringLiteral("BICHO %1").arg(i));
            }
            tx.commit();
        }
        QCOMPARE(found(c, Field::NomeProprietario, QStringLiteral("comum")).size(), 158);
        compareEveryPart(c);
        // A few answers spelled out, so that the scan itself is checked too.
        QCOMPARE(found(c, Field::NomeAnimal, QStringLiteral("0% o")), QList<int>{s.wildcards});
        QCOMPARE(found(c, Field::NomeAnimal, QStringLiteral("\"qq\"")), QList<int>{s.quotes});
        QCOMPARE(found(c, Field::NomeAnimal, QStringLiteral("ANGELA CONCEICAO")), QList<int>{s.accents});
        QVERIFY(found(c, Field::NomeAnimal, QStringLiteral("bó")).contains(s.shortName));
        QVERIFY(!found(c, Field::NomeAnimal, QStringLiteral("")).contains(s.withoutName));
        QVERIFY(found(c, Field::NomeAnimal, QStringLiteral("50_")).isEmpty());
        QCOMPARE(found(c, Field::NomeProprietario, QStringLiteral("\"ZE\" 10%_")).size(), 6);

        // The indexes follow renames, new animals, a changed owner and deletions.
        Sql::exec(c, QStringLiteral("update animal set Nome = 'ZÉ DO ÓCULOS' where Id_Animal = :i"), {{"i", s.accents}});
        QVERIFY(found(c, Field::NomeAnimal, QStringLiteral("conceicao")).isEmpty());
        QCOMPARE(found(c, Field::NomeAnimal, QStringLiteral("do ocul")), QList<int>{s.accents});
        Sql::exec(c, QStringLiteral("update proprietario set Nome = 'XAVIER' where Id_Proprietario = :i"), {{"i", s.ownerQuoted}});
        QVERIFY(found(c, Field::NomeProprietario, QStringLiteral("ávila")).isEmpty());
        Sql::exec(c, QStringLiteral("delete from animal where Id_Animal = :i"), {{"i", s.quotes}});
        const int added = addAnimal(c, s.ownerQuoted, QStringLiteral("QUINQUINA"));
        QCOMPARE(found(c, Field::NomeAnimal, QStringLiteral("nquin")), QList<int>{added});
        compareEveryPart(c);
    }

    // On PostgreSQL the index must be on the very expression the search
    // compares (its collation included), or the planner reads every row.
    void postgresSearchUsesTheTrigramIndexes()
    {
        auto t = TestDatabase::create(QStringLiteral("postgresql"));
        if (!t)
            QSKIP("PostgreSQL test server not available (run through scripts/test)");
        Connection &c = t->main();
        generate(c);
        Sql::exec(c, QStringLiteral("set enable_seqscan = off"));
        QVERIFY2(plan(c, Field::NomeAnimal, QStringLiteral("inha")).contains(QStringLiteral("trgm_animal_nome")),
                 qPrintable(plan(c, Field::NomeAnimal, QStringLiteral("inha"))));
        QVERIFY2(plan(c, Field::NomeProprietario, QStringLiteral("silva")).contains(QStringLiteral("trgm_proprietario_nome")),
                 qPrintable(plan(c, Field::NomeProprietario, QStringLiteral("silva"))));
        Sql::exec(c, QStringLiteral("reset enable_seqscan"));
    }

    void anOlderDatabaseGainsTheIndexesOnOpening_data() { addEngineRows(); }
    void anOlderDatabaseGainsTheIndexesOnOpening()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        generate(c);
        addSpecials(c);
        QStringList dropped;
        if (t->engine() == QLatin1String("sqlite")) {
            for (const QString &s : Schema::searchIndexDropStatements(Engine::SQLite))
                Sql::exec(c, s);
        } else {
            for (const QString &name : Schema::optionalIndexNames())
                Sql::exec(c, QStringLiteral("drop index ") + name);
        }
        auto other = t->openAnother();
        Connection &o = other->main();
        if (t->engine() == QLatin1String("sqlite")) {
            QCOMPARE(Sql::scalar(o, QStringLiteral("select count(*) from animal_nome_fts")).toInt(),
                     Sql::scalar(o, QStringLiteral("select count(*) from animal where Nome is not null")).toInt());
            QCOMPARE(Sql::scalar(o, QStringLiteral("select count(*) from proprietario_nome_fts")).toInt(),
                     Sql::scalar(o, QStringLiteral("select count(*) from proprietario where Nome is not null")).toInt());
        } else {
            const QStringList names = Schema::optionalIndexNames();
            QCOMPARE(Sql::scalar(o, QStringLiteral("select count(*) from pg_indexes where indexname in ('%1')")
                                        .arg(names.join(QStringLiteral("', '"))))
                         .toInt(),
                     names.size());
        }
        compareEveryPart(o);
        // Opening again makes nothing more.
        QVERIFY(Schema::ensureSearchIndexes(o).isEmpty());
    }
};

QTEST_MAIN(TestNameSearch)
#include "tst_namesearch.moc"
