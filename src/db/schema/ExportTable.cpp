// Exportacao2: one row per attendance with its owner, animal, both addresses
// and audit data resolved to names, under dBASE-sized column names.
#include "db/DataModule.h"
#include "db/ExportCopy.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"

#include <QHash>
#include <QSqlQuery>

namespace {

// The pieces that differ between engines.
struct Flavour {
    QString addressArea;  // the address database's coverage-area table
    QString year;         // %1: a date-time expression
    QString month;
    QString joined;       // %1: names to join with ", " (an aggregate)
    QString cut;          // %1: text, %2: length
    // Takes Exportacao2 for the transaction, so two rebuilds never
    // interleave (PostgreSQL's readers keep the committed rows, T-SQL's wait
    // for the commit); empty where beginning the transaction already locks
    // the database (SQLite's begin immediate).
    QString lock;
};

Flavour flavour(Engine engine)
{
    switch (engine) {
    case Engine::SQLite:
        return {QStringLiteral("padrao.AreaAbrang"), QStringLiteral("cast(cast(strftime('%Y', %1) as integer) as text)"),
                QStringLiteral("cast(cast(strftime('%m', %1) as integer) as text)"),
                QStringLiteral("group_concat(%1, ', ')"), QStringLiteral("substr(%1, 1, %2)"), QString()};
    case Engine::PostgreSQL:
        return {QStringLiteral("padrao.AreaAbrang"), QStringLiteral("cast(extract(year from %1) as integer)::text"),
                QStringLiteral("cast(extract(month from %1) as integer)::text"),
                QStringLiteral("string_agg(%1, ', ')"), QStringLiteral("substr(%1, 1, %2)"),
                QStringLiteral("lock table Exportacao2 in exclusive mode")};
    case Engine::TSql:
        return {QStringLiteral("padrao..AreaAbrang"), QStringLiteral("cast(year(%1) as varchar(4))"),
                QStringLiteral("cast(month(%1) as varchar(2))"),
                QString(), QStringLiteral("substring(%1, 1, %2)"),
                // Readers of Exportacao2 wait for the rebuild to commit
                // (under READ COMMITTED a reader asks for a shared lock).
                QStringLiteral("select count(*) from Exportacao2 with (tablockx, holdlock)")};
    }
    return {};
}

} // namespace

QString Schema::exportTableFillStatement(Engine engine)
{
    const Flavour f = flavour(engine);
    // An attendance's professionals and procedures, their names joined with
    // ", ". SQLite and PostgreSQL join each list once per attendance from one
    // grouped pass over the table (a sub-select per attendance costs a third
    // of the rebuild). SQL Server 2016 has no string_agg (2017 on): it
    // concatenates per attendance through "for xml path", whose typed value
    // gives back "&" and "<" as they are.
    QStringList lists;
    const auto listOf = [&](const QString &alias, const QString &key, const QString &name, const QString &from) {
        if (engine == Engine::TSql)
            return QStringLiteral("stuff((select ', ' + %1 %2 where %3 = att.Id_Atendimento for xml path(''), type)"
                                  ".value('.', 'nvarchar(max)'), 1, 2, '')")
                .arg(name, from, key);
        lists << QStringLiteral("left join (select %1 as Id_Atendimento, %2 as Nomes %3 group by %1) %4 on %4.Id_Atendimento = "
                                "att.Id_Atendimento\n")
                     .arg(key, f.joined.arg(name), from, alias);
        return alias + QStringLiteral(".Nomes");
    };
    const QString professionals =
        listOf(QStringLiteral("lprof"), QStringLiteral("ap.Id_Atendimento"), QStringLiteral("rtrim(pf.Nome)"),
               QStringLiteral("from atendimento_profissional ap join profissional pf on pf.Id_Profissional = ap.Id_Profissional"));
    const QString procedures =
        listOf(QStringLiteral("lproc"), QStringLiteral("pr.Id_Atendimento"), QStringLiteral("rtrim(tp.Nome)"),
               QStringLiteral("from procedimento pr join tipo_procedimento tp on tp.Id_Tipo_Procedimento = pr.Id_Tipo_Procedimento"));

    // The animal's current address is its latest. SQLite finds it per
    // attendance at the end of the animal's index range; PostgreSQL would
    // evaluate that sub-select twice per attendance to hash against every
    // address, so there the latest of every animal is taken in one grouped
    // pass and joined by key.
    const QString animalAddress = engine == Engine::PostgreSQL
        ? QStringLiteral("left join (select x.Id_Animal, max(x.Id_Endereco) as Id_Endereco from endereco_animal x group by "
                         "x.Id_Animal) cur on cur.Id_Animal = a.Id_Animal\n"
                         "left join endereco ea on ea.Id_Endereco = cur.Id_Endereco\n")
        : QStringLiteral("left join endereco ea on ea.Id_Endereco = (select max(x.Id_Endereco) from endereco_animal x "
                         "where x.Id_Animal = a.Id_Animal)\n");

    const QList<Column> &target = findTable(QStringLiteral("Exportacao2"))->columns;
    QStringList columns;
    for (const Column &c : target)
        columns << c.name;

    QStringList values{
        // owner and the owner's address
        "p.Id_Proprietario", "p.Tipo_Pessoa", "p.Num_CPF_CNPJ", "p.Num_CI", "p.Nome", "dp.Nome", "ep.COD_AREA_ABRN",
        "ap_.DES_AREA_ABRN", "ep.NOM_BAIR", "ep.NUM_CEP", "ep.NUM_LOGR", "ep.TIP_LOGR", "ep.NOM_LOGR",
        "ep.NUM_IMOV_LOGR", "ep.DES_CMPL_ENDR", "ep.End_X", "ep.End_Y",
        // animal and its current address
        "a.Id_Animal", "a.Nome", "a.Sexo", "pe.Descricao", "po.Descricao", "r.Nome", "a.Sinais", "a.Cor",
        "a.Esterilizado", "es.Nome", "a.Num_Microchip", "a.Num_Pedigree", "da.Nome", "ea.COD_AREA_ABRN",
        "aa_.DES_AREA_ABRN", "ea.NOM_BAIR", "ea.NUM_CEP", "ea.NUM_LOGR", "ea.TIP_LOGR", "ea.NOM_LOGR",
        "ea.NUM_IMOV_LOGR", "ea.DES_CMPL_ENDR", "ea.End_X", "ea.End_Y",
        // attendance
        "att.Id_Atendimento", "st.Nome", "att.Data_Hora_Atendimento", f.year.arg("att.Data_Hora_Atendimento"),
        f.month.arg("att.Data_Hora_Atendimento"), "att.Ind_Autoriza_Cirurgia", "um.Nome", "ur.Nome",
        "att.Inserido_Por", "ui.Nome", "att.Inserido_Em", "att.Modificado_Por", "uo.Nome", "att.Modificado_Em",
        professionals, procedures, "a.Data_Nascimento"};
    Q_ASSERT(values.size() == columns.size());
    // Texts are cut to the export's widths where the source may be wider (a
    // wider column, a list of names); a column declared no wider goes as it
    // is (a cut per value costs a sixth of the rebuild on SQLite, whose
    // columns hold what the program's fields let through).
    const QHash<QString, QString> aliases{
        {"p", "proprietario"}, {"ep", "endereco"}, {"ea", "endereco"}, {"dp", "distrito"}, {"da", "distrito"},
        {"ap_", "AreaAbrang"}, {"aa_", "AreaAbrang"}, {"a", "animal"}, {"pe", "pelo"}, {"po", "porte"},
        {"r", "raca"}, {"es", "especie"}, {"st", "atendimento_status"}, {"um", "unidade_trabalho"},
        {"ur", "unidade_trabalho"}, {"ui", "usuario"}, {"uo", "usuario"}, {"att", "atendimento"}};
    const auto fits = [&](const QString &value, int width) {
        const qsizetype dot = value.indexOf(QLatin1Char('.'));
        if (dot < 0)
            return false;
        const Table *source = findTable(aliases.value(value.left(dot)));
        if (!source)
            return false;
        for (const Column &c : source->columns)
            if (c.name.compare(value.mid(dot + 1), Qt::CaseInsensitive) == 0)
                return (c.type == ColType::Char || c.type == ColType::VarChar) && c.width <= width;
        return false;
    };
    for (qsizetype i = 0; i < values.size(); ++i) {
        const Column &c = target.at(i);
        if ((c.type == ColType::Char || c.type == ColType::VarChar) && !fits(values.at(i), c.width))
            values[i] = f.cut.arg(values.at(i)).arg(c.width);
    }

    return QStringLiteral(
               "insert into Exportacao2 (%1)\n"
               "select %2\n"
               "from atendimento att\n"
               "left join proprietario p on p.Id_Proprietario = att.Id_Proprietario\n"
               "left join endereco ep on ep.Id_Endereco = p.Id_Endereco\n"
               "left join distrito dp on dp.Id_Distrito = ep.Id_Distrito\n"
               "left join %3 ap_ on ap_.COD_AREA_ABRN = ep.COD_AREA_ABRN\n"
               "left join animal a on a.Id_Animal = att.Id_Animal\n"
               "%5"
               "left join distrito da on da.Id_Distrito = ea.Id_Distrito\n"
               "left join %3 aa_ on aa_.COD_AREA_ABRN = ea.COD_AREA_ABRN\n"
               "left join pelo pe on pe.Id_pelo = a.Id_Pelo\n"
               "left join porte po on po.Id_porte = a.Id_Porte\n"
               "left join raca r on r.Id_Raca = a.Id_Raca\n"
               "left join especie es on es.Id_Especie = a.Id_Especie\n"
               "left join atendimento_status st on st.Id_Atendimento_Status = att.Id_Atendimento_Status\n"
               "left join unidade_trabalho um on um.Id_Unidade_Trabalho = att.Id_Unidade_Trabalho\n"
               "left join unidade_trabalho ur on ur.Id_Unidade_Trabalho = att.Id_Unidade_Agendada\n"
               "left join usuario ui on ui.Id_Usuario = att.Inserido_Por\n"
               "left join usuario uo on uo.Id_Usuario = att.Modificado_Por\n"
               "%4")
        .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(",\n       ")), f.addressArea, lists.join(QString()), animalAddress);
}

QString Schema::exportTableLockStatement(Engine engine)
{
    return flavour(engine).lock;
}

int Schema::refreshExportTable(Connection &main)
{
    const Engine engine = main.dialect().engine();
    ExportCopy::ensureTable(main);
    Transaction tx(main);
    // Two refreshes at once would each delete and then both insert.
    const QString lock = exportTableLockStatement(engine);
    if (!lock.isEmpty())
        Sql::exec(main, lock);
    // On SQLite the rows go in first and the indexes are built over them
    // afterwards, a sorted pass instead of two index insertions per row;
    // readers keep the committed table and its indexes until the commit.
    // (A PostgreSQL index dropped in the transaction would shut readers
    // out until the commit, so there the indexes stay.)
    QList<Index> rebuilt;
    // SQLite as this system ships it overwrites every freed page with zeros
    // (and journals it): a third of the rebuild's time for pages the new
    // rows take again at once. For the rebuild only, freed pages that the
    // next rows overwrite anyway are left as they are.
    struct SecureDelete {
        Connection &c;
        QVariant was;
        ~SecureDelete()
        {
            if (was.isValid())
                QSqlQuery(c.db()).exec(QStringLiteral("pragma secure_delete = %1")
                                           .arg(was.toInt() == 2 ? QStringLiteral("fast") : QString::number(was.toInt())));
        }
    } secureDelete{main, {}};
    if (engine == Engine::SQLite) {
        secureDelete.was = Sql::scalar(main, QStringLiteral("pragma secure_delete"));
        Sql::exec(main, QStringLiteral("pragma secure_delete = fast"));
        for (const Index &i : indexes())
            if (i.table.compare(QLatin1String("Exportacao2"), Qt::CaseInsensitive) == 0)
                rebuilt << i;
        for (const Index &i : std::as_const(rebuilt))
            Sql::exec(main, QStringLiteral("drop index if exists %1").arg(i.name));
    }
    Sql::exec(main, QStringLiteral("delete from Exportacao2"));
    QSqlQuery fill = Sql::exec(main, exportTableFillStatement(engine));
    int rows = fill.numRowsAffected();
    fill.finish();
    for (const Index &i : std::as_const(rebuilt))
        Sql::exec(main, createIndexStatement(i, engine));
    if (rows < 0 || engine == Engine::TSql)
        rows = Sql::scalar(main, QStringLiteral("select count(*) from Exportacao2")).toInt();
    ExportCopy::stamp(main);
    tx.commit();
    return rows;
}
