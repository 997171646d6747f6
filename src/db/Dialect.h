#pragma once
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class QSqlDatabase;

enum class Engine { SQLite, PostgreSQL, TSql };

// Everything that differs between the database engines lives behind this
// interface; screens and reports never ask which engine is running.
class Dialect {
public:
    virtual ~Dialect() = default;
    virtual Engine engine() const = 0;
    virtual QString name() const = 0;

    // One-row, one-column statement giving the server's current date and time.
    virtual QString serverNowStatement() const = 0;
    // A table of the city's address database or of the sibling system,
    // as the main connection addresses it: padrao.X, padrao..X.
    virtual QString addressTable(const QString &table) const = 0;
    virtual QString siblingTable(const QString &table) const = 0;
    // An expression that folds case and accents of a text column, so that
    // "JOSE" matches "JOSÉ". Compare it with a value folded by foldText().
    // Where the folded form is a value of its own (SQLite, PostgreSQL) it
    // compares and orders by character code, as the folded indexes do,
    // whatever the database's collation.
    virtual QString folded(const QString &expression) const = 0;
    // A condition true when the folded text column begins with the typed
    // text (folded here, "%", "_" and the like taken literally), in a form
    // the column's folded index serves. Binds its values into `params`
    // under names that begin with `name`.
    virtual QString foldedPrefix(const QString &column, const QString &text, const QString &name,
                                 QVariantMap &params) const;
    // A LIKE pattern (escape '!') that matches `text` literally at the start.
    QString prefixValue(const QString &text) const;
    // A condition true when the text expression holds the text bound to
    // `param` anywhere, and the value to bind to it for a typed text (taken
    // literally: "%" and "_" are no wildcards). SQLite looks the text up
    // with instr(), several times cheaper per row than its LIKE; the others
    // use LIKE '%text%', which PostgreSQL's trigram indexes serve.
    virtual QString containsCondition(const QString &expression, const QString &param) const;
    virtual QString containsValue(const QString &text) const;
    // Blanks removed, for microchip numbers.
    virtual QString withoutBlanks(const QString &expression) const;
    // Adds what makes an insert report the key the server gave it; after
    // exec, insertedKey() reads it on the same connection.
    virtual QString insertReturning(const QString &insert, const QString &keyColumn) const = 0;
    virtual QVariant insertedKey(class QSqlQuery &executedInsert, QSqlDatabase &db) const = 0;
    // Wraps a select so that it gives at most `rows` rows starting at `offset`.
    virtual QString paged(const QString &select, int rows, int offset) const = 0;
    // Serialises program-key allocation for one table inside the current
    // transaction (the caller reads max+1 right after).
    virtual void lockForKey(QSqlDatabase &db, const QString &table) const = 0;
    virtual QString maxKeyStatement(const QString &table, const QString &keyColumn) const;
    // Transactions: SQLite takes its write lock at begin, so that reading
    // max+1 and inserting cannot interleave with another workstation.
    virtual void begin(QSqlDatabase &db) const;
    virtual void commit(QSqlDatabase &db) const;
    virtual void rollback(QSqlDatabase &db) const;
    // Text concatenation operator.
    virtual QString concat() const { return QStringLiteral("||"); }
};

// The text folding the folded() expressions apply, done in C++ for the
// value side of a comparison: lower case, accents removed, the final sigma
// spelt as the other sigma.
QString foldText(const QString &text);

// The least text that sorts, by character code, after every text that
// begins with `prefix`; empty when there is none.
QString prefixUpperBound(const QString &prefix);

std::unique_ptr<Dialect> makeDialect(Engine engine);

// The two text arguments of PostgreSQL's translate() that fold accents the
// way foldText() does; the schema defines zapo_fold() with them.
QString foldingTranslateArguments();
