// The owner windows' prefix searches (owner name, street, animal name) on a
// server that collates as a Brazilian installation does: names ending in
// characters that sort away from their character codes, typed wildcards and
// quotes taken literally, letters folded alike by the program and the
// server, and the name indexes still serving the searches.
#include "db/DataModule.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/SearchResultModel.h"
#include "support/TestDatabase.h"

#include <QTest>

namespace {

// An owner with an animal of the same name, living in a street of that name.
void addOwner(Connection &c, const QString &name)
{
    Sql::exec(c, QStringLiteral("insert into endereco (NOM_LOGR) values (:n)"), {{"n", name}});
    const QVariant address = Sql::scalar(c, QStringLiteral("select max(Id_Endereco) from endereco"));
    Sql::exec(c, QStringLiteral("insert into proprietario (Nome, Id_Endereco) values (:n, :e)"), {{"n", name}, {"e", address}});
    const QVariant owner = Sql::scalar(c, QStringLiteral("select max(Id_Proprietario) from proprietario"));
    Sql::exec(c, QStringLiteral("insert into animal (Id_Proprietario, Nome) values (:p, :n)"), {{"p", owner}, {"n", name}});
}

const QStringList kNames = {
    QStringLiteral("LUIZ"),     QStringLiteral("LUIZA SOUZA"), QStringLiteral("LUIS"),      QStringLiteral("ANA 9"),
    QStringLiteral("ANA 90"),   QStringLiteral("ANA 8"),       QStringLiteral("B&B PET"),   QStringLiteral("B'ARC"),
    QStringLiteral("BA"),       QStringLiteral("100% PET"),    QStringLiteral("1000 PET"),  QStringLiteral("C\\D"),
    QStringLiteral("CXD"),      QStringLiteral("JOÃO_X"),      QStringLiteral("JOÃOAX"),    QStringLiteral("ΣΩΚΡΑΤΗΣ"),
    QStringLiteral("[X] LIMA"), QStringLiteral("X LIMA"),      QStringLiteral("ÁGUA"),      QStringLiteral("ZZ TOP"),
    QStringLiteral("Z!A"),      QStringLiteral("Z"),
};

// Runs a search as its window does and gives the names found, sorted.
QStringList namesFound(Connection &c, const std::optional<OwnerSearch::Query> &q)
{
    SearchResultModel m({{QStringLiteral("Nome"), QStringLiteral("Nome")}});
    m.setQuery(c, q);
    while (m.canFetchMore({}))
        m.fetchMore({});
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << Sql::text(m.field(r, QStringLiteral("Nome")));
    out.sort();
    return out;
}

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

} // namespace

class TestPrefixSearch : public QObject {
    Q_OBJECT
private slots:
    void everyFieldFindsEveryPrefix_data() { addEngineRows(); }
    void everyFieldFindsEveryPrefix()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        {
            Transaction tx(c);
            for (const QString &n : kNames)
                addOwner(c, n);
            tx.commit();
        }
        const QList<std::pair<QString, QStringList>> cases = {
            {QStringLiteral("LUIZ"), {QStringLiteral("LUIZ"), QStringLiteral("LUIZA SOUZA")}},
            {QStringLiteral("luiz"), {QStringLiteral("LUIZ"), QStringLiteral("LUIZA SOUZA")}},
            {QStringLiteral("ANA 9"), {QStringLiteral("ANA 9"), QStringLiteral("ANA 90")}},
            {QStringLiteral("B&"), {QStringLiteral("B&B PET")}},
            {QStringLiteral("B'"), {QStringLiteral("B'ARC")}},
            {QStringLiteral("100%"), {QStringLiteral("100% PET")}},
            {QStringLiteral("10%"), {}},
            {QStringLiteral("C\\"), {QStringLiteral("C\\D")}},
            {QStringLiteral("JOÃO_"), {QStringLiteral("JOÃO_X")}},
            {QStringLiteral("JOAO"), {QStringLiteral("JOÃOAX"), QStringLiteral("JOÃO_X")}},
            {QStringLiteral("[X]"), {QStringLiteral("[X] LIMA")}},
            {QStringLiteral("agua"), {QStringLiteral("ÁGUA")}},
            {QStringLiteral("Z"), {QStringLiteral("Z"), QStringLiteral("Z!A"), QStringLiteral("ZZ TOP")}},
            {QStringLiteral("Z!"), {QStringLiteral("Z!A")}},
            {QStringLiteral("ZZ"), {QStringLiteral("ZZ TOP")}},
            // The final sigma: the server must fold it as the program does.
            {QStringLiteral("ΣΩΚΡΑΤΗΣ"), {QStringLiteral("ΣΩΚΡΑΤΗΣ")}},
            {QStringLiteral("σωκρατης"), {QStringLiteral("ΣΩΚΡΑΤΗΣ")}},
        };
        using F = OwnerSearch::Field;
        using O = OwnerSearch::OwnerField;
        for (const auto &[typed, expected] : cases) {
            const QStringList want = sorted(expected);
            for (const F f : {F::NomeProp, F::NomeAnimal, F::Logradouro})
                QVERIFY2(namesFound(c, OwnerSearch::consultation(c, f, typed)) == want,
                         qPrintable(QStringLiteral("consultation %1 \"%2\"").arg(int(f)).arg(typed)));
            for (const O f : {O::Nome, O::Logradouro})
                QVERIFY2(namesFound(c, OwnerSearch::ownerSearch(c, f, typed)) == want,
                         qPrintable(QStringLiteral("owner search %1 \"%2\"").arg(int(f)).arg(typed)));
        }
    }

    void searchesUseTheNameIndexes_data() { addEngineRows(); }
    void searchesUseTheNameIndexes()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        {
            Transaction tx(c);
            for (const QString &n : kNames)
                addOwner(c, n);
            for (int i = 0; i < 300; ++i)
                addOwner(c, QStringLiteral("MARIA %1").arg(i));
            tx.commit();
        }
        Sql::exec(c, QStringLiteral("analyze"));
        const bool sqlite = c.dialect().engine() == Engine::SQLite;
        Transaction tx(c);
        if (!sqlite)
            Sql::exec(c, QStringLiteral("set local enable_seqscan = off"));
        // The first page as the grid asks for it.
        auto plan = [&](const std::optional<OwnerSearch::Query> &q) {
            QString sql = c.dialect().paged(q->select + QStringLiteral(" order by ") + q->orderBy,
                                            SearchResultModel::PageSize, 0);
            if (!sqlite) {
                // EXPLAIN cannot be prepared there: the values go inline.
                for (auto it = q->params.cbegin(); it != q->params.cend(); ++it)
                    sql.replace(QLatin1Char(':') + it.key(),
                                QLatin1Char('\'') + it.value().toString().replace(QLatin1Char('\''), QStringLiteral("''"))
                                    + QLatin1Char('\''));
            }
            QSqlQuery r = Sql::exec(c, (sqlite ? "explain query plan " : "explain ") + sql,
                                    sqlite ? q->params : QVariantMap());
            QString text;
            while (r.next())
                text += r.value(sqlite ? 3 : 0).toString() + QLatin1Char('\n');
            return text;
        };
        using F = OwnerSearch::Field;
        const QList<std::pair<std::optional<OwnerSearch::Query>, QString>> searches = {
            {OwnerSearch::consultation(c, F::NomeProp, QStringLiteral("LUIZ")), QStringLiteral("ix_proprietario_nome")},
            {OwnerSearch::consultation(c, F::NomeAnimal, QStringLiteral("LUIZ")), QStringLiteral("ix_animal_nome")},
            {OwnerSearch::consultation(c, F::Logradouro, QStringLiteral("LUIZ")), QStringLiteral("ix_endereco_logradouro")},
            {OwnerSearch::ownerSearch(c, OwnerSearch::OwnerField::Nome, QStringLiteral("LUIZ")),
             QStringLiteral("ix_proprietario_nome")},
        };
        for (const auto &[q, index] : searches) {
            // SQLite may rather walk the few owners in the order shown and
            // look each address up.
            if (sqlite && index == QLatin1String("ix_endereco_logradouro"))
                continue;
            const QString detail = plan(q);
            QVERIFY2(detail.contains(index), qPrintable(index + QLatin1Char('\n') + detail));
        }
    }
};

QTEST_MAIN(TestPrefixSearch)
#include "tst_prefixsearch.moc"
