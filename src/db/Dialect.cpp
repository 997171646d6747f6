#include "db/Dialect.h"
#include "db/DbError.h"
#include "db/EngineText.h"
#include "db/MicrochipIndex.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

namespace {

// Accented letters and what they fold to; the PostgreSQL folding function is
// generated from the same table, so both sides of a comparison agree. The
// final sigma is there because a context-aware lower() (PostgreSQL's under
// ICU) writes it at the end of a word where the program's writes σ.
const QString kAccented = QStringLiteral("áàâãäåéèêëíìîïóòôõöúùûüçñýÿς");
const QString kPlain = QStringLiteral("aaaaaaeeeeiiiiooooouuuucnyyσ");

void execOrThrow(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError::from(q.lastError(), sql);
}

void lockWith(QSqlDatabase &db, const QString &sql, const QString &table)
{
    QSqlQuery q(db);
    q.prepare(sql);
    q.bindValue(QStringLiteral(":t"), table);
    if (!q.exec())
        throw DbError::from(q.lastError(), sql);
}

class SqliteDialect : public Dialect {
public:
    Engine engine() const override { return Engine::SQLite; }
    QString name() const override { return QStringLiteral("SQLite"); }
    QString serverNowStatement() const override
    {
        return QStringLiteral("select strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime')");
    }
    QString addressTable(const QString &t) const override { return QStringLiteral("padrao.") + t; }
    QString siblingTable(const QString &t) const override { return QStringLiteral("kelda.") + t; }
    QString folded(const QString &e) const override { return QStringLiteral("zapo_fold(%1)").arg(e); }
    QString insertReturning(const QString &insert, const QString &key) const override
    {
        return insert + QStringLiteral(" returning ") + key;
    }
    QVariant insertedKey(QSqlQuery &q, QSqlDatabase &) const override
    {
        return q.next() ? q.value(0) : QVariant();
    }
    QString containsCondition(const QString &expression, const QString &param) const override
    {
        return QStringLiteral("instr(%1, %2) > 0").arg(expression, param);
    }
    QString containsValue(const QString &text) const override { return text; }
    QString paged(const QString &select, int rows, int offset) const override
    {
        return QStringLiteral("%1 limit %2 offset %3").arg(select).arg(rows).arg(offset);
    }
    void lockForKey(QSqlDatabase &, const QString &) const override
    {
        // BEGIN IMMEDIATE already holds the database's write lock.
    }
    void begin(QSqlDatabase &db) const override { execOrThrow(db, QStringLiteral("begin immediate")); }
    void commit(QSqlDatabase &db) const override { execOrThrow(db, QStringLiteral("commit")); }
    void rollback(QSqlDatabase &db) const override
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("rollback"));
    }
};

class PostgresDialect : public Dialect {
public:
    Engine engine() const override { return Engine::PostgreSQL; }
    QString name() const override { return QStringLiteral("PostgreSQL"); }
    QString serverNowStatement() const override { return QStringLiteral("select localtimestamp(0)"); }
    QString addressTable(const QString &t) const override { return QStringLiteral("padrao.") + t; }
    QString siblingTable(const QString &t) const override { return QStringLiteral("kelda.") + t; }
    // Byte order, whatever the database's collation: under a language's
    // order the range of a prefix is not "up to its last letter plus one"
    // (in pt-BR "luiz{" sorts before "luiza"). The folded indexes are
    // built under the same collation, so they still serve the range.
    QString folded(const QString &e) const override { return QStringLiteral("(zapo_fold(%1) collate \"C\")").arg(e); }
    QString insertReturning(const QString &insert, const QString &key) const override
    {
        return insert + QStringLiteral(" returning ") + key;
    }
    QVariant insertedKey(QSqlQuery &q, QSqlDatabase &) const override
    {
        return q.next() ? q.value(0) : QVariant();
    }
    QString paged(const QString &select, int rows, int offset) const override
    {
        return QStringLiteral("%1 limit %2 offset %3").arg(select).arg(rows).arg(offset);
    }
    void lockForKey(QSqlDatabase &db, const QString &table) const override
    {
        lockWith(db, EngineText::keyLockStatement(engine()), table);
    }
};

class TSqlDialect : public Dialect {
public:
    Engine engine() const override { return Engine::TSql; }
    QString name() const override { return QStringLiteral("T-SQL"); }
    QString serverNowStatement() const override { return QStringLiteral("select getdate()"); }
    QString addressTable(const QString &t) const override { return QStringLiteral("padrao..") + t; }
    QString siblingTable(const QString &t) const override { return QStringLiteral("kelda..") + t; }
    QString folded(const QString &e) const override
    {
        return QStringLiteral("(%1 collate Latin1_General_CI_AI)").arg(e);
    }
    QString foldedPrefix(const QString &column, const QString &text, const QString &name,
                         QVariantMap &params) const override
    {
        // The folded form is a collation here, not a value: a range of
        // character codes would be wrong under it, while its own LIKE is
        // right and the server seeks the column's index by the pattern's
        // fixed start.
        params.insert(name + QStringLiteral("p"), prefixValue(foldText(text)));
        return QStringLiteral("%1 like :%2p escape '!'").arg(folded(column), name);
    }
    QString concat() const override { return QStringLiteral("+"); }
    QString insertReturning(const QString &insert, const QString &key) const override
    {
        // insert into t (cols) OUTPUT inserted.key INTO @k values (...):
        // OUTPUT straight to the client is refused on a table with an
        // enabled trigger (Msg 334), and the city's DBA may add one. The
        // count of the insert is kept off the wire so that the key is the
        // first result, and switched back on for the statements after it,
        // which are judged by the rows they affect.
        static const QRegularExpression rx(QStringLiteral("\\)\\s*(values|select)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = rx.match(insert);
        if (!m.hasMatch())
            return insert;
        QString out = insert;
        out.insert(m.capturedStart() + 1, QStringLiteral(" output inserted.") + key + QStringLiteral(" into @zapo_key"));
        return QStringLiteral("set nocount on; declare @zapo_key table (k int); ") + out
               + QStringLiteral("; set nocount off; select k from @zapo_key");
    }
    QVariant insertedKey(QSqlQuery &q, QSqlDatabase &) const override
    {
        return q.next() ? q.value(0) : QVariant();
    }
    QString paged(const QString &select, int rows, int offset) const override
    {
        QString s = select;
        if (!s.contains(QStringLiteral("order by"), Qt::CaseInsensitive))
            s += QStringLiteral(" order by (select null)");
        return QStringLiteral("%1 offset %2 rows fetch next %3 rows only").arg(s).arg(offset).arg(rows);
    }
    void lockForKey(QSqlDatabase &db, const QString &table) const override
    {
        lockWith(db, EngineText::keyLockStatement(engine()), table);
    }
    QString maxKeyStatement(const QString &table, const QString &key) const override
    {
        return QStringLiteral("select max(%1) from %2 with (updlock, holdlock)").arg(key, table);
    }
};

} // namespace

QString Dialect::containsCondition(const QString &expression, const QString &param) const
{
    return QStringLiteral("%1 like %2 escape '!'").arg(expression, param);
}

namespace {

// The text inside a LIKE pattern with escape '!'. "[" opens a set of
// characters on T-SQL; an escaped character is itself on every engine.
QString likeLiteral(const QString &text)
{
    QString out;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('%') || ch == QLatin1Char('_') || ch == QLatin1Char('!') || ch == QLatin1Char('['))
            out += QLatin1Char('!');
        out += ch;
    }
    return out;
}

} // namespace

QString Dialect::containsValue(const QString &text) const
{
    return QLatin1Char('%') + likeLiteral(text) + QLatin1Char('%');
}

QString Dialect::prefixValue(const QString &text) const
{
    return likeLiteral(text) + QLatin1Char('%');
}

QString Dialect::foldedPrefix(const QString &column, const QString &text, const QString &name,
                              QVariantMap &params) const
{
    // Compared by character code, the texts that begin with the prefix are
    // exactly those from the prefix up to its upper bound: the range alone
    // is the match, and what the folded index serves. (A LIKE re-check would
    // only cost: PostgreSQL works the folded form out again for every row to
    // test it, and counts it as narrowing the range a hundredfold.)
    const QString lo = foldText(text);
    const QString f = folded(column);
    params.insert(name + QStringLiteral("lo"), lo);
    const QString hi = prefixUpperBound(lo);
    if (hi.isEmpty())
        return QStringLiteral("%1 >= :%2lo").arg(f, name);
    params.insert(name + QStringLiteral("hi"), hi);
    return QStringLiteral("%1 >= :%2lo and %1 < :%2hi").arg(f, name);
}

QString Dialect::withoutBlanks(const QString &e) const
{
    return QStringLiteral("replace(%1, ' ', '')").arg(e);
}

QString Dialect::maxKeyStatement(const QString &table, const QString &key) const
{
    return QStringLiteral("select max(%1) from %2").arg(key, table);
}

void Dialect::begin(QSqlDatabase &db) const
{
    if (!db.transaction())
        throw DbError::from(db.lastError());
}

void Dialect::commit(QSqlDatabase &db) const
{
    if (!db.commit())
        throw DbError::from(db.lastError());
}

void Dialect::rollback(QSqlDatabase &db) const
{
    db.rollback();
}

QString foldText(const QString &text)
{
    QString out = text.toLower();
    for (QChar &c : out) {
        if (c.unicode() < 0x80)
            continue;
        const qsizetype i = kAccented.indexOf(c);
        if (i >= 0)
            c = kPlain.at(i);
    }
    return out;
}

QString prefixUpperBound(const QString &prefix)
{
    QList<uint> code = prefix.toUcs4();
    while (!code.isEmpty()) {
        uint last = code.takeLast();
        if (last >= 0x10FFFF)
            continue; // nothing follows it: the bound moves one character up
        ++last;
        if (last >= 0xD800 && last < 0xE000)
            last = 0xE000; // surrogates are no characters
        code.append(last);
        return QString::fromUcs4(reinterpret_cast<const char32_t *>(code.constData()), code.size());
    }
    return {};
}

QString foldingTranslateArguments()
{
    return QStringLiteral("'%1', '%2'").arg(kAccented, kPlain);
}

std::unique_ptr<Dialect> makeDialect(Engine engine)
{
    switch (engine) {
    case Engine::SQLite:
        return std::make_unique<SqliteDialect>();
    case Engine::PostgreSQL:
        return std::make_unique<PostgresDialect>();
    case Engine::TSql:
        return std::make_unique<TSqlDialect>();
    }
    return nullptr;
}

// The index itself (table and triggers) is made by the schema; these say
// how the searches use it.
bool MicrochipIndex::serves(const Dialect &d, const QString &part)
{
    return d.engine() == Engine::SQLite && part.size() >= 3;
}

QString MicrochipIndex::condition(const Dialect &, const QString &animalKey, const QString &param)
{
    // The index is asked for the part's last eight characters only, as a
    // quoted phrase (every character literal, a quote written twice): the
    // makers' prefixes share their trigrams with a large share of all
    // numbers, and intersecting those long lists made a whole number cost
    // ten times what its distinct end does. The few numbers found are then
    // checked for the whole part; a part of eight characters or fewer is
    // the phrase itself and needs no check.
    return QStringLiteral("%1 in (select rowid from animal_microchip_fts where animal_microchip_fts match "
                          "'\"' || replace(substr(%2, -8), '\"', '\"\"') || '\"' "
                          "and (length(%2) <= 8 or instr(chip, %2) > 0))")
        .arg(animalKey, param);
}

QString MicrochipIndex::value(const Dialect &, const QString &part)
{
    return part;
}

namespace EngineText {

QString keyLockStatement(Engine engine)
{
    switch (engine) {
    case Engine::SQLite:
        return {}; // BEGIN IMMEDIATE already holds the database's write lock
    case Engine::PostgreSQL:
        // A transaction-scoped advisory lock per table: a second workstation
        // allocating a key for the same table waits until this one commits.
        return QStringLiteral("select pg_advisory_xact_lock(hashtext(lower(:t)))");
    case Engine::TSql:
        // An application lock owned by the transaction: released by its
        // commit or rollback, so a second workstation allocating a key of
        // the same table (or checking the same duplicate) waits until this
        // one is done. sp_getapplock reports a timeout or a deadlock by its
        // return value only; that is made an error, or the caller would go
        // on unguarded.
        return QStringLiteral(
            "declare @zapo_lock int; declare @zapo_resource nvarchar(255) = N'zapo_key_' + lower(:t); "
            "exec @zapo_lock = sp_getapplock @Resource = @zapo_resource, @LockMode = 'Exclusive', "
            "@LockOwner = 'Transaction', @LockTimeout = 30000; "
            "if @zapo_lock < 0 raiserror('Tempo esgotado aguardando outra estação de trabalho.', 16, 1)");
    }
    return {};
}

QString equalsParameter(const Dialect &d, const QString &column, const QString &param, const QVariant &value)
{
    // Qt's ODBC driver sends texts over 254 characters as ntext, which "="
    // refuses on a T-SQL server (Msg 402); nvarchar(max) compares like any
    // text. Other values keep their own type (a date cast to text would
    // lose its seconds).
    if (d.engine() == Engine::TSql && value.typeId() == QMetaType::QString)
        return QStringLiteral("%1 = cast(%2 as nvarchar(max))").arg(column, param);
    return QStringLiteral("%1 = %2").arg(column, param);
}

QString integerOrNull(const Dialect &d, const QString &e)
{
    switch (d.engine()) {
    case Engine::SQLite:
        // SQLite's cast reads "S/N" as 0: only digits (blanks around them
        // allowed) are a number.
        return QStringLiteral("(case when trim(%1) <> '' and trim(%1) not glob '*[^0-9]*' then cast(trim(%1) as integer) end)")
            .arg(e);
    case Engine::PostgreSQL:
        // cast() fails the whole statement on one row of text.
        return QStringLiteral("(case when trim(%1) ~ '^[0-9]{1,9}$' then cast(trim(%1) as integer) end)").arg(e);
    case Engine::TSql:
        return QStringLiteral("try_cast(%1 as int)").arg(e);
    }
    return e;
}

} // namespace EngineText
