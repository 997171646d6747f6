#include "db/NameIndex.h"
#include "db/Dialect.h"

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

QString contains(const Dialect &d, Names names, const QString &keyExpr, const QString &nameExpr, const QString &typed,
                 const QString &param, QVariantMap &params)
{
    const QString part = foldText(typed.trimmed());
    // Trigrams are of characters, not of UTF-16 units.
    if (d.engine() == Engine::SQLite && part.toUcs4().size() >= 3) {
        // A quoted phrase: every character literal, a quote written twice.
        params.insert(param, QLatin1Char('"') + QString(part).replace(QLatin1Char('"'), QStringLiteral("\"\""))
                                 + QLatin1Char('"'));
        const QString fts = of(names).ftsTable;
        return QStringLiteral("%1 in (select rowid from %2 where %2 match :%3)").arg(keyExpr, fts, param);
    }
    params.insert(param, d.containsValue(part));
    return d.containsCondition(d.folded(nameExpr), QLatin1Char(':') + param);
}

} // namespace NameIndex
