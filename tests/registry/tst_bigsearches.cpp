// Searches over a generated city: the consultation shows its first page at
// once and the exact total when counted (cancelled by typing, harmless when
// the window closes), and a microchip part typed from the middle finds the
// same animals through the engine's index as by reading every number.
#include "app/CityGenerator.h"
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "registry/AnimalSearch.h"
#include "ui/SearchResultModel.h"
#include "registry/OwnerWindows.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QTest>

namespace {

void generate(Connection &c, int owners)
{
    CityGenerator::Options o;
    o.owners = owners;
    o.seed = 11;
    CityGenerator::generate(c, o);
}

// The animals (of active owners, for the consultation) whose number, blanks
// removed, holds `part`: worked out here, character by character, as the
// plain search means it.
QSet<int> expectedChips(Connection &c, const QString &part, bool activeOwners)
{
    QSet<int> out;
    QSqlQuery q = Sql::exec(c, activeOwners ? QStringLiteral("select a.Id_Animal, a.Num_Microchip from animal a join proprietario b "
                                                             "on (a.Id_Proprietario = b.Id_Proprietario) where b.Status_Registro = 'ATIVO'")
                                            : QStringLiteral("select Id_Animal, Num_Microchip from animal"));
    while (q.next()) {
        QString chip = q.value(1).toString();
        chip.remove(QLatin1Char(' '));
        if (!chip.isEmpty() && chip.contains(part, Qt::CaseSensitive))
            out.insert(q.value(0).toInt());
    }
    return out;
}

QSet<int> consultationChips(Connection &c, const QString &typed)
{
    QSet<int> out;
    const auto query = OwnerSearch::consultation(c, OwnerSearch::Field::Microchip, typed);
    if (!query)
        return out;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Animal from (%1) x").arg(query->select), query->params);
    while (q.next())
        out.insert(q.value(0).toInt());
    return out;
}

QSet<int> animalSearchChips(Connection &c, const QString &typed)
{
    QSet<int> out;
    const auto query = AnimalSearch::query(c, AnimalSearch::Field::Microchip, typed);
    if (!query)
        return out;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Animal from (%1) x").arg(query->select), query->params);
    while (q.next())
        out.insert(q.value(0).toInt());
    return out;
}

// Parts typed from the start, the middle and the end of stored numbers,
// with and without their blanks, and ones that must stay literal.
QStringList partsToTry(Connection &c)
{
    QStringList parts;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select Num_Microchip from animal where Num_Microchip is not null "
                                              "order by Id_Animal"));
    int i = 0;
    while (q.next() && parts.size() < 24) {
        const QString chip = q.value(0).toString();
        if (chip.trimmed().isEmpty() || i++ % 37 != 0)
            continue;
        parts << chip.mid(0, 5) << chip.mid(4, 3) << chip.right(6) << chip.mid(2, 9);
        // Long parts are looked up by their end and checked whole: the whole
        // number, and one whose end exists but whose start does not.
        parts << chip << QStringLiteral("Z") + QString(chip).remove(QLatin1Char(' ')).right(8);
    }
    parts << QStringLiteral("AB%C_D1\"2") << QStringLiteral("XB%C_D1\"2") << QStringLiteral("%B%C_D1\"2");
    parts << QStringLiteral("%C_") << QStringLiteral("B%C") << QStringLiteral("_D1") << QStringLiteral("D1\"2")
          << QStringLiteral("\"2") << QStringLiteral("ABC") << QStringLiteral("abc") << QStringLiteral("c1")
          << QStringLiteral("A B % C") << QStringLiteral("%%%") << QStringLiteral("12") << QStringLiteral("1");
    return parts;
}

void compareEveryPart(Connection &c)
{
    for (const QString &typed : partsToTry(c)) {
        QString part = typed;
        part.remove(QLatin1Char(' '));
        QCOMPARE(consultationChips(c, typed), expectedChips(c, part, true));
        QCOMPARE(animalSearchChips(c, typed), expectedChips(c, part, false));
    }
}

int addAnimal(Connection &c, const QVariant &chip)
{
    const int owner = Sql::scalar(c, QStringLiteral("select min(Id_Proprietario) from proprietario where Status_Registro = 'ATIVO' "
                                                    "and Id_Endereco is not null"))
                          .toInt();
    const int id = Sql::scalar(c, QStringLiteral("select max(Id_Animal) + 1 from animal")).toInt();
    Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome, Num_Microchip) values (:i, :p, 'TESTE', :m)"),
              {{"i", id}, {"p", owner}, {"m", chip}});
    return id;
}

class Loader : public OwnerLoader {
public:
    void loadOwner(int, int) override {}
    void setAnimalToLocate(int) override {}
};

} // namespace

class TestBigSearches : public QObject {
    Q_OBJECT
private slots:
    void microchipPartsFindTheSameAnimalsAsTheScan_data() { addEngineRows(); }
    void microchipPartsFindTheSameAnimalsAsTheScan()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        generate(c, 600);
        // Numbers with wildcards, quotes, blanks and lower case, stored as typed.
        const int special = addAnimal(c, QStringLiteral("AB%C_D 1\"2"));
        const int lower = addAnimal(c, QStringLiteral("abc 123"));
        addAnimal(c, QStringLiteral("   "));
        addAnimal(c, QVariant(QMetaType(QMetaType::QString)));
        compareEveryPart(c);
        QVERIFY(consultationChips(c, QStringLiteral("B%C")).size() == 1);
        QVERIFY(consultationChips(c, QStringLiteral("ABC")).isEmpty());
        QCOMPARE(consultationChips(c, QStringLiteral("ab c")), QSet<int>{lower});

        // The index follows changes and deletions of the animals.
        Sql::exec(c, QStringLiteral("update animal set Num_Microchip = 'XYZ 987' where Id_Animal = :i"), {{"i", lower}});
        QVERIFY(consultationChips(c, QStringLiteral("abc")).isEmpty());
        QCOMPARE(consultationChips(c, QStringLiteral("Z98")), QSet<int>{lower});
        QCOMPARE(consultationChips(c, QStringLiteral("B%C")), QSet<int>{special});
        Sql::exec(c, QStringLiteral("delete from animal where Id_Animal = :i"), {{"i", special}});
        QVERIFY(consultationChips(c, QStringLiteral("B%C")).isEmpty());
        compareEveryPart(c);
    }

    // A database made before the index existed gets it, filled, when opened.
    void anOlderDatabaseGetsTheIndexOnOpening()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        Connection &c = t->main();
        generate(c, 200);
        for (const QString &s : Schema::searchIndexDropStatements(Engine::SQLite))
            Sql::exec(c, s);
        auto other = t->openAnother();
        Connection &o = other->main();
        QVERIFY(Sql::scalar(o, QStringLiteral("select count(*) from animal_microchip_fts")).toInt() > 0);
        compareEveryPart(o);
    }

    void consultationCountsInTheBackground_data() { addEngineRows(); }
    void consultationCountsInTheBackground()
    {
        ZAPO_TEST_DB(t);
        generate(t->main(), 4000);
        RecordingMessages msgs;
        Loader loader;
        QWidget opener;
        auto *w = new OwnerConsultation(&opener, &loader);
        w->fieldBox()->setCurrentText(QStringLiteral("Nome prop."));
        w->textBox()->setText(QStringLiteral("M"));
        const auto q = OwnerSearch::consultation(t->main(), OwnerSearch::Field::NomeProp, QStringLiteral("M"));
        const int total = Sql::scalar(t->main(), QStringLiteral("select count(*) from (%1) x").arg(q->select), q->params).toInt();
        QVERIFY2(total > SearchResultModel::PageSize, qPrintable(QString::number(total)));

        w->localizar();
        QCOMPARE(w->model()->rowCount(), SearchResultModel::PageSize);
        QCOMPARE(w->statusText(), QStringLiteral("200 ou mais registros encontrado."));
        QTRY_COMPARE_WITH_TIMEOUT(w->statusText(), QStringLiteral("%1 registros encontrado.").arg(total), 10000);
        QVERIFY(w->model()->totalExact());

        // Typing a new search cancels the count of the one shown.
        w->localizar();
        QTest::keyClick(w->textBox(), Qt::Key_Backspace);
        QTest::qWait(400);
        QVERIFY(!w->model()->totalExact());
        QCOMPARE(w->statusText(), QStringLiteral("200 ou mais registros encontrado."));

        // Closing the window while it counts; again a few times.
        for (int i = 0; i < 4; ++i) {
            auto *again = new OwnerConsultation(&opener, &loader);
            again->fieldBox()->setCurrentText(QStringLiteral("Nome prop."));
            again->textBox()->setText(QStringLiteral("M"));
            again->localizar();
            QTest::qWait(i * 3);
            delete again; // what closing it does (it is deleted on close)
        }
        delete w;
        QCoreApplication::processEvents();
        QVERIFY(msgs.shown.isEmpty());
    }
};

QTEST_MAIN(TestBigSearches)
#include "tst_bigsearches.moc"
