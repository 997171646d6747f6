#include "db/NameIndex.h"
#include "db/DataModule.h"
#include "db/Dialect.h"
#include "db/Sql.h"

namespace NameIndex {

const Indexed &of(Names names)
{
    static const Indexed animal{QStringLiteral("animal"), QStringLiteral("Id_Animal"), QStringLiteral("Nome"),
                                QStringLiteral("animal_nome_fts"), QStringLiteral("trgm_animal_nome")};
    static const Indexed owner{QStringLiteral("proprietario"), QStringLiteral("Id_Proprietario"), QStringLiteral("Nome"),
                               QStringLiteral("proprietario_nome_fts"), QStringLiteral("trgm_proprietario_nome")};
    return names == Names::Animal ? animal : owner;
}

QList<Names> all()
{
    return {Names::Animal, Names::Owner};
}

namespace {

// Owners matching a part beyond which their animals are better found by
// walking the animals in key order than owner by owner.
constexpr int kCommonOwners = 1000;

bool manyOwners(Connection &c, const QString &fts, const QString &phrase)
{
    const QVariant n = Sql::scalar(c,
                                   QStringLiteral("select count(*) from (select rowid from %1 where %1 match :p limit %2) x")
                                       .arg(fts)
                                       .arg(kCommonOwners),
                                   {{QStringLiteral("p"), phrase}});
    return n.toInt() >= kCommonOwners;
}

} // namespace

QString contains(Connection &c, Names names, const QString &keyExpr, const QString &nameExpr, const QString &typed,
                 const QString &param, QVariantMap &params)
{
    const Dialect &d = c.dialect();
    const QString part = foldText(typed.trimmed());
    // Trigrams are of characters, not of UTF-16 units.
    if (d.engine() == Engine::SQLite && part.toUcs4().size() >= 3) {
        // A quoted phrase: every character literal, a quote written twice.
        const QString phrase =
            QLatin1Char('"') + QString(part).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        params.insert(param, phrase);
        const QString fts = of(names).ftsTable;
        QString key = keyExpr;
        // Animals of a common owner name ("silva": thousands of owners)
        // were read owner by owner through the owners' index and sorted
        // whole for a first page (100 ms at a million owners); walking the
        // animals in key order stops at the page's end. The unary plus
        // keeps the engine off that index; the rows are the same. A rare
        // name keeps the index (the walk would read every animal).
        if (names == Names::Owner && manyOwners(c, fts, phrase))
            key = QLatin1Char('+') + keyExpr;
        return QStringLiteral("%1 in (select rowid from %2 where %2 match :%3)").arg(key, fts, param);
    }
    params.insert(param, d.containsValue(part));
    return d.containsCondition(d.folded(nameExpr), QLatin1Char(':') + param);
}

} // namespace NameIndex
