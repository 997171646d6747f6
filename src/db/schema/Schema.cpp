#include "db/schema/Schema.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/NameIndex.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/ReferenceData.h"
#include "db/schema/SchemaModel.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

using namespace Schema;

namespace {

// On PostgreSQL an identity column does not notice keys written explicitly
// (the animal-address screen writes max+1 into endereco; imports and the
// reference data write theirs too); the next server key would then collide.
// After each insert statement the sequence is moved up to the greatest key,
// never down.
const char *const kSyncIdentityFunction = R"(create or replace function zapo_sync_identity() returns trigger
language plpgsql as $$
declare
    seq text := pg_get_serial_sequence(format('%I.%I', tg_table_schema, tg_table_name), tg_argv[0]);
    top bigint;
begin
    execute format('select max(%I) from %I.%I', tg_argv[0], tg_table_schema, tg_table_name) into top;
    if top is not null and top > coalesce(pg_sequence_last_value(seq::regclass), 0) then
        perform setval(seq, top);
    end if;
    return null;
end $$)";

// The translate() arguments of zapo_fold(): the accented lower-case letters
// foldText() knows, plus their upper-case forms, so the folding does not
// depend on lower() knowing accented letters (it does not under the "C"
// collation).
QString foldFunctionArguments()
{
    static const QRegularExpression rx(QStringLiteral("^'([^']*)', '([^']*)'$"));
    const QString args = foldingTranslateArguments();
    const QRegularExpressionMatch m = rx.match(args);
    if (!m.hasMatch())
        return args;
    const QString from = m.captured(1);
    const QString to = m.captured(2);
    return QStringLiteral("'%1', '%2'").arg(from + from.toUpper(), to + to);
}

// Case- and accent-folding for name searches, the same table as foldText().
// lower() runs under ICU's language-neutral rules, which lower-case every
// letter as the program does: the database's own collation may know ASCII
// only ("C") or lower-case "I" to a dotless i (Turkish). A server without
// ICU keeps the database's rules.
QString foldFunction(bool icu)
{
    return QStringLiteral("create or replace function zapo_fold(text) returns text language sql immutable strict "
                          "parallel safe as $$ select translate(lower($1%1), %2) $$")
        .arg(icu ? QStringLiteral(" collate \"und-x-icu\"") : QString(), foldFunctionArguments());
}

QStringList statements(Engine engine, bool icu)
{
    QStringList out;
    if (engine == Engine::PostgreSQL) {
        out << QStringLiteral("create schema if not exists padrao") << QStringLiteral("create schema if not exists kelda");
        out << foldFunction(icu);
        out << QString::fromLatin1(kSyncIdentityFunction);
    }
    for (const Table &t : tables())
        out << createTableStatement(t, engine);
    if (engine == Engine::PostgreSQL) {
        for (const Table &t : tables()) {
            if (t.key != KeyKind::Server && t.key != KeyKind::ServerOrProgram)
                continue;
            out << QStringLiteral("create trigger trg_%1_key after insert on %1 for each statement "
                                  "execute function zapo_sync_identity('%2')")
                       .arg(t.name.toLower(), t.keyColumn().toLower());
        }
    }
    for (const Index &i : indexes())
        out << createIndexStatement(i, engine);
    out << optionalIndexStatements(engine);
    return out;
}

bool viewExists(Connection &c, const View &v)
{
    if (c.dialect().engine() != Engine::PostgreSQL)
        return false; // SQLite says "if not exists" itself
    return !Sql::scalar(c, QStringLiteral("select to_regclass(:n)"),
                        {{QStringLiteral(":n"), schemaName(v.db) + QLatin1Char('.') + v.name.toLower()}})
                .isNull();
}

} // namespace

QStringList Schema::optionalIndexNames()
{
    QStringList out{QStringLiteral("trgm_animal_microchip")};
    for (NameIndex::Names n : NameIndex::all())
        out << NameIndex::of(n).pgIndex;
    return out;
}

namespace {

// One SQLite trigram index: its table, what makes it and its triggers, and
// what fills it from the rows already there.
struct SqliteSearchIndex {
    QString table;
    QStringList create;
    QString fill;
    QStringList triggers;
};

QList<SqliteSearchIndex> sqliteSearchIndexes()
{
    QList<SqliteSearchIndex> out;
    // A part typed from the middle of a number cannot use the order of
    // the microchip index: the trigram index finds it without reading
    // every number. Case-sensitive, as the plain comparison is; only
    // numbers with something besides blanks are kept, as the plain
    // search skips the others.
    {
        const QString add = QStringLiteral(
            "insert into animal_microchip_fts(rowid, chip) select new.Id_Animal, replace(new.Num_Microchip, ' ', '') "
            "where replace(new.Num_Microchip, ' ', '') <> ''; ");
        const QString remove = QStringLiteral("delete from animal_microchip_fts where rowid = old.Id_Animal; ");
        out << SqliteSearchIndex{
            QStringLiteral("animal_microchip_fts"),
            {QStringLiteral("create virtual table if not exists animal_microchip_fts using fts5(chip, "
                            "tokenize = 'trigram case_sensitive 1')"),
             QStringLiteral("create trigger if not exists trg_animal_microchip_ins after insert on animal begin ") + add
                 + QStringLiteral("end"),
             QStringLiteral("create trigger if not exists trg_animal_microchip_upd after update of Id_Animal, Num_Microchip "
                            "on animal begin ")
                 + remove + add + QStringLiteral("end"),
             QStringLiteral("create trigger if not exists trg_animal_microchip_del after delete on animal begin ") + remove
                 + QStringLiteral("end")},
            QStringLiteral("insert into animal_microchip_fts(rowid, chip) "
                           "select Id_Animal, replace(Num_Microchip, ' ', '') from animal "
                           "where replace(Num_Microchip, ' ', '') <> ''"),
            {QStringLiteral("trg_animal_microchip_ins"), QStringLiteral("trg_animal_microchip_upd"),
             QStringLiteral("trg_animal_microchip_del")}};
    }
    // Names found by any part: the folded name, compared character by
    // character (case_sensitive 1: the folding is the program's own, the
    // same as the scan's, not the tokenizer's).
    for (NameIndex::Names n : NameIndex::all()) {
        const NameIndex::Indexed &i = NameIndex::of(n);
        const QString base = QStringLiteral("trg_%1_nome").arg(i.table);
        const QString add = QStringLiteral("insert into %1(rowid, nome) select new.%2, zapo_fold(new.%3) "
                                           "where new.%3 is not null; ")
                                .arg(i.ftsTable, i.key, i.column);
        const QString remove = QStringLiteral("delete from %1 where rowid = old.%2; ").arg(i.ftsTable, i.key);
        out << SqliteSearchIndex{
            i.ftsTable,
            {QStringLiteral("create virtual table if not exists %1 using fts5(nome, tokenize = 'trigram case_sensitive 1')")
                 .arg(i.ftsTable),
             QStringLiteral("create trigger if not exists %1_ins after insert on %2 begin ").arg(base, i.table) + add
                 + QStringLiteral("end"),
             QStringLiteral("create trigger if not exists %1_upd after update of %2, %3 on %4 begin ")
                     .arg(base, i.key, i.column, i.table)
                 + remove + add + QStringLiteral("end"),
             QStringLiteral("create trigger if not exists %1_del after delete on %2 begin ").arg(base, i.table) + remove
                 + QStringLiteral("end")},
            QStringLiteral("insert into %1(rowid, nome) select %2, zapo_fold(%3) from %4 where %3 is not null")
                .arg(i.ftsTable, i.key, i.column, i.table),
            {base + QStringLiteral("_ins"), base + QStringLiteral("_upd"), base + QStringLiteral("_del")}};
    }
    return out;
}

// The PostgreSQL trigram indexes, each on the expression its search
// compares: the names' folded form under the "C" collation (what
// Dialect::folded() writes), or the planner would not match them.
QStringList postgresTrigramIndexes()
{
    QStringList out{QStringLiteral(
        "create index if not exists trgm_animal_microchip on animal using gin ((replace(Num_Microchip, ' ', '')) gin_trgm_ops)")};
    for (NameIndex::Names n : NameIndex::all()) {
        const NameIndex::Indexed &i = NameIndex::of(n);
        out << QStringLiteral("create index if not exists %1 on %2 using gin ((zapo_fold(%3)) collate \"C\" gin_trgm_ops)")
                   .arg(i.pgIndex, i.table, i.column);
    }
    return out;
}

bool sqliteHas(Connection &main, const QString &name)
{
    return Sql::scalar(main, QStringLiteral("select count(*) from sqlite_master where name = :n"), {{QStringLiteral("n"), name}})
               .toInt()
           > 0;
}

} // namespace

QStringList Schema::optionalIndexStatements(Engine engine)
{
    if (engine == Engine::SQLite) {
        QStringList out;
        for (const SqliteSearchIndex &i : sqliteSearchIndexes())
            out << i.create;
        return out;
    }
    if (engine != Engine::PostgreSQL)
        return {};
    // The block's own exception handler undoes only its part, so a server
    // without the extension (or an account that may not create it) still
    // gets the rest of the schema; the searches then read every row.
    QString indexes;
    for (const QString &s : postgresTrigramIndexes())
        indexes += QStringLiteral("        ") + s + QStringLiteral(";\n");
    return {QStringLiteral(R"(do $$
begin
    if exists (select 1 from pg_available_extensions where name = 'pg_trgm') then
        create extension if not exists pg_trgm;
%1    end if;
exception when others then
    raise notice 'trigram indexes left out: %', sqlerrm;
end $$)")
                .arg(indexes)};
}

QStringList Schema::searchIndexDropStatements(Engine engine)
{
    if (engine != Engine::SQLite)
        return {};
    QStringList out;
    for (const SqliteSearchIndex &i : sqliteSearchIndexes()) {
        for (const QString &t : i.triggers)
            out << QStringLiteral("drop trigger if exists ") + t;
        out << QStringLiteral("drop table if exists ") + i.table;
    }
    return out;
}

void Schema::fillSearchIndexes(Connection &main)
{
    if (main.dialect().engine() != Engine::SQLite)
        return;
    for (const SqliteSearchIndex &i : sqliteSearchIndexes()) {
        Sql::exec(main, QStringLiteral("delete from ") + i.table);
        Sql::exec(main, i.fill);
    }
}

QStringList Schema::ensureSearchIndexes(Connection &main)
{
    QStringList made;
    const Engine engine = main.dialect().engine();
    if (engine == Engine::SQLite) {
        // Only a database with the tables, for the indexes it lacks.
        if (!sqliteHas(main, QStringLiteral("animal")) || !sqliteHas(main, QStringLiteral("proprietario")))
            return made;
        const QList<SqliteSearchIndex> all = sqliteSearchIndexes();
        const auto missing = [&] {
            QList<SqliteSearchIndex> out;
            for (const SqliteSearchIndex &i : all)
                if (!sqliteHas(main, i.table))
                    out << i;
            return out;
        };
        if (missing().isEmpty())
            return made;
        Transaction tx(main);
        for (const SqliteSearchIndex &i : missing()) { // another workstation may have made some meanwhile
            for (const QString &s : i.create)
                Sql::exec(main, s);
            Sql::exec(main, i.fill);
            made << i.table;
        }
        tx.commit();
        return made;
    }
    if (engine != Engine::PostgreSQL
        || Sql::scalar(main, QStringLiteral("select to_regclass('animal') is not null and to_regclass('proprietario') is not null"))
               .toBool()
               == false)
        return made;
    const auto present = [&main] {
        QSet<QString> out;
        QSqlQuery q = Sql::exec(main, QStringLiteral("select lower(indexname) from pg_indexes where schemaname = current_schema()"));
        while (q.next())
            out.insert(q.value(0).toString());
        return out;
    };
    QSet<QString> before = present();
    bool anyMissing = false;
    for (const QString &name : optionalIndexNames())
        anyMissing = anyMissing || !before.contains(name);
    if (!anyMissing)
        return made;
    // Built once, by the first workstation that opens the database after
    // the update (on a city of a million owners, some tens of seconds).
    for (const QString &s : optionalIndexStatements(Engine::PostgreSQL))
        Sql::exec(main, s);
    const QSet<QString> after = present();
    QStringList left;
    for (const QString &name : optionalIndexNames()) {
        if (after.contains(name) && !before.contains(name))
            made << name;
        else if (!after.contains(name))
            left << name;
    }
    // Without the extension (not installed, or not allowed to this account)
    // the searches read every row; the log says why they are slow.
    if (!left.isEmpty())
        qWarning("trigram indexes not created (pg_trgm missing or not allowed): %s; searches by part of a name or "
                 "microchip read every row",
                 qPrintable(left.join(QStringLiteral(", "))));
    return made;
}

QStringList Schema::addMissingIndexes(Connection &main)
{
    const Engine engine = main.dialect().engine();
    if (engine == Engine::TSql || !exists(main))
        return {};
    const QString sql = engine == Engine::SQLite
                            ? QStringLiteral("select lower(name) from sqlite_master where type = 'index'")
                            : QStringLiteral("select lower(indexname) from pg_indexes where schemaname = current_schema()");
    QSet<QString> present;
    QSqlQuery q = Sql::exec(main, sql);
    while (q.next())
        present.insert(q.value(0).toString());
    QStringList created;
    for (const Index &i : indexes()) {
        if (i.db != Database::Main || present.contains(i.name.toLower()))
            continue;
        try {
            Sql::exec(main, createIndexStatement(i, engine));
            created << i.name;
        } catch (const DbError &e) {
            qWarning("index %s not created: %s", qPrintable(i.name), qPrintable(e.text()));
        }
    }
    return created;
}

namespace {

// Tables that came after the first installations, and the registry rows of
// the screens that use them.
struct LaterTable {
    const char *name;
    QList<int> forms;
};
const QList<LaterTable> &laterTables()
{
    static const QList<LaterTable> all{{"unificacao_proprietario", {53, 61}}, {"unificacao_proprietario_item", {}},
                                        {"feriado_municipal", {54}}};
    return all;
}

bool tablePresent(Connection &c, const QString &name)
{
    // A probe that fails says nothing else is wrong: the statement is
    // alone (no transaction is open here), so PostgreSQL carries on.
    QSqlQuery q(c.db());
    return q.exec(QStringLiteral("select count(*) from %1 where 1 = 0").arg(name));
}

} // namespace

static void addLaterTable(Connection &main, const Table &t, Engine engine, const QList<int> &forms)
{
    Transaction tx(main);
    Sql::exec(main, createTableStatement(t, engine));
    for (int id : forms) {
        if (Sql::scalar(main, QStringLiteral("select count(*) from form where Id_Form = :id"), {{QStringLiteral("id"), id}})
                .toInt()
            > 0)
            continue;
        for (const FormEntry &f : formRegistry()) {
            if (f.id != id)
                continue;
            Sql::exec(main,
                      QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form, Tag, Ind_Status) "
                                     "values (:id, :nome, :descricao, :tipo, :tag, 'ATIVO')"),
                      {{QStringLiteral("id"), f.id},
                       {QStringLiteral("nome"), f.name},
                       {QStringLiteral("descricao"), f.description},
                       {QStringLiteral("tipo"), QString(QLatin1Char(f.type))},
                       {QStringLiteral("tag"), f.tag}});
        }
    }
    tx.commit();
}

QStringList Schema::addMissingTables(Connection &main)
{
    QStringList made;
    if (!exists(main))
        return made;
    const Engine engine = main.dialect().engine();
    for (const LaterTable &l : laterTables()) {
        const QString name = QString::fromLatin1(l.name);
        if (tablePresent(main, name))
            continue;
        const Table *t = findTable(name);
        if (!t)
            continue;
        try {
            addLaterTable(main, *t, engine, l.forms);
        } catch (const DbError &e) {
            // Another workstation opening the same database made it first;
            // or this account may not create tables (the screens that need
            // the table then say so when they use it).
            if (!tablePresent(main, name))
                qWarning("table %s not created: %s", qPrintable(name), qPrintable(e.text()));
            continue;
        }
        made << name;
    }
    return made;
}

bool Schema::exists(Connection &main)
{
    QSqlQuery q(main.db());
    return q.exec(QStringLiteral("select count(*) from unidade_trabalho"));
}

void Schema::create(DataModule &dm)
{
    Connection &c = dm.main();
    if (exists(c))
        throw DbError(QStringLiteral("O banco de dados já contém as tabelas do sistema."));
    const Engine engine = dm.dialect().engine();
    if (engine == Engine::TSql)
        throw DbError(QStringLiteral("Em servidores T-SQL o banco de dados é criado pelo script de instalação."));
    const bool icu = engine == Engine::PostgreSQL
                     && Sql::scalar(c, QStringLiteral("select count(*) from pg_collation where collname = 'und-x-icu'")).toInt() > 0;
    // Both engines roll DDL back: a failure anywhere leaves nothing behind.
    Transaction tx(c);
    for (const QString &s : statements(engine, icu))
        Sql::exec(c, s);
    for (const View &v : views())
        if (!viewExists(c, v))
            Sql::exec(c, createViewStatement(v, engine));
    insertReferenceData(c);
    tx.commit();
}

QString Schema::tsqlScript()
{
    QStringList out;
    out << QStringLiteral(
        "-- Installation script for a T-SQL server.\n"
        "-- Creates the main database (rename ZAPO to the deployment's name), the city's\n"
        "-- address database \"padrao\" and the sibling database \"kelda\" when they are\n"
        "-- missing, every table, index and view, and the reference data.\n"
        "-- The accent- and case-insensitive collation makes name searches fold\n"
        "-- accents and case the way the program expects.\n");

    auto section = [&](Database db, const QString &database, bool imported) {
        out << QStringLiteral("if db_id('%1') is null create database %1 collate Latin1_General_CI_AI;\ngo\nuse %1;\ngo\n")
                   .arg(database);
        for (const Table &t : tables()) {
            if (t.db != db)
                continue;
            if (t.key == KeyKind::ServerOrProgram)
                out << QStringLiteral("create sequence dbo.seq_%1 as int start with 1;\n").arg(t.name);
            const QString create = createTableStatement(t, Engine::TSql);
            out << (imported ? QStringLiteral("if object_id('dbo.%1', 'U') is null\n%2;\n").arg(t.name, create)
                             : create + QStringLiteral(";\n"));
        }
        for (const Index &i : indexes()) {
            if (i.db != db)
                continue;
            const QString create = QStringLiteral("-- %1\n").arg(i.serves) + createIndexStatement(i, Engine::TSql);
            out << (imported ? QStringLiteral("if indexproperty(object_id('dbo.%1'), '%2', 'IndexId') is null\n%3;\n")
                                   .arg(i.table, i.name, create)
                             : create + QStringLiteral(";\n"));
        }
        // A key written explicitly (max+1) moves the sequence past it, so the
        // next key the server gives cannot collide. ">=": an unused sequence
        // reports its start value as its current value.
        for (const Table &t : tables()) {
            if (t.db != db || t.key != KeyKind::ServerOrProgram)
                continue;
            out << QStringLiteral(
                       "go\ncreate trigger dbo.trg_%1_key on dbo.%1 after insert as\nbegin\n"
                       "    set nocount on;\n"
                       "    declare @top int = (select max(%2) from dbo.%1);\n"
                       "    declare @cur int = (select cast(current_value as int) from sys.sequences where name = 'seq_%1');\n"
                       "    if @top >= @cur\n"
                       "        exec('alter sequence dbo.seq_%1 restart with ' + cast(@top + 1 as varchar(12)));\n"
                       "end;\ngo\n")
                       .arg(t.name, t.keyColumn());
        }
        for (const View &v : views()) {
            if (v.db != db)
                continue;
            out << QStringLiteral("go\nif object_id('dbo.%1', 'V') is null exec('%2');\ngo\n")
                       .arg(v.name, QString(createViewStatement(v, Engine::TSql)).replace(QLatin1Char('\''), QStringLiteral("''")));
        }
    };

    section(Database::Padrao, QStringLiteral("padrao"), true);
    section(Database::Kelda, QStringLiteral("kelda"), true);
    section(Database::Main, QStringLiteral("ZAPO"), false);

    // The export table is filled on the server.
    // One transaction under the table lock, as zapo-admin refresh-export
    // does: a scheduled run and a manual one never interleave, and nobody
    // reads the table between its delete and its fill.
    out << QStringLiteral("go\ncreate procedure dbo.sp_animal_atendimento as\nbegin\n    set nocount on;\n"
                          "    set xact_abort on;\n    begin transaction;\n"
                          "    declare @rows int = (%2);\n"
                          "    delete from Exportacao2;\n%1;\n    set @rows = (select count(*) from Exportacao2);\n"
                          "    commit transaction;\n    return @rows;\nend;\ngo\n")
               .arg(exportTableFillStatement(Engine::TSql), exportTableLockStatement(Engine::TSql));
    out << QStringLiteral("-- Reference data\n");
    for (const SeedTable &s : referenceData()) {
        const Table *t = findTable(s.table);
        const bool identity = t && t->key == KeyKind::Server;
        if (identity)
            out << QStringLiteral("set identity_insert dbo.%1 on;\n").arg(s.table);
        for (qsizetype start = 0; start < s.rows.size(); start += 500) {
            QStringList tuples;
            for (qsizetype r = start; r < qMin(s.rows.size(), start + 500); ++r) {
                QStringList values;
                for (const QVariant &v : s.rows.at(r))
                    values << tsqlLiteral(v);
                tuples << QLatin1Char('(') + values.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
            out << QStringLiteral("insert into dbo.%1 (%2) values\n%3;\n")
                       .arg(s.table, s.columns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(",\n")));
        }
        if (identity)
            out << QStringLiteral("set identity_insert dbo.%1 off;\n").arg(s.table);
    }
    out << QStringLiteral("go\n");
    return out.join(QLatin1Char('\n'));
}
