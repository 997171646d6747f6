// The generated demonstration city: the same seed gives the same rows, the
// documents pass their checks, every reference points at an existing row,
// and the program's own inserts carry on after the generated keys.
#include "app/Admin.h"
#include "app/CityGenerator.h"
#include "db/DbError.h"
#include "db/Session.h"
#include "db/Keys.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/SchemaModel.h"
#include "db/Documents.h"
#include "registry/AnimalStore.h"
#include "db/OwnerSearch.h"
#include "registry/OwnerStore.h"
#include "reports/OwnerAnimalReport.h"
#include "reports/engine/Composer.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QSet>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kOwners = 300;

CityGenerator::Result generate(Connection &c, uint64_t seed = 7, int owners = kOwners)
{
    CityGenerator::Options o;
    o.owners = owners;
    o.seed = seed;
    return CityGenerator::generate(c, o);
}

int scalarInt(Connection &c, const QString &sql) { return Sql::scalar(c, sql).toInt(); }

// A digest of a table's rows in key order, every value as text.
QByteArray tableDigest(Connection &c, const QString &table, const QString &order)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    QSqlQuery q = Sql::exec(c, QStringLiteral("select * from %1 order by %2").arg(table, order));
    while (q.next()) {
        for (int i = 0; i < q.record().count(); ++i)
            h.addData(q.value(i).toString().toUtf8() + '\x1f');
        h.addData("\x1e");
    }
    return h.result().toHex();
}

QList<QPair<QString, QString>> digestTables()
{
    return {{"proprietario", "Id_Proprietario"}, {"endereco", "Id_Endereco"},      {"animal", "Id_Animal"},
            {"endereco_animal", "Id_Animal"},    {"vacina", "Id_vacina"},           {"atendimento", "Id_Atendimento"},
            {"usuario", "Id_Usuario"},           {"mapa_disponibilidade_agenda", "Id_Mapa_disponibilidade_agenda"},
            {"atendimento_profissional", "Id_Atendimento, Id_Profissional"}};
}

// Every main table's row count, by name.
QMap<QString, int> rowCounts(Connection &c)
{
    QMap<QString, int> out;
    for (const Schema::Table &t : Schema::tables())
        if (t.db == Schema::Database::Main)
            out.insert(t.name, scalarInt(c, QStringLiteral("select count(*) from %1").arg(t.name)));
    return out;
}

QMap<QString, int> grown(const QMap<QString, int> &before, const QMap<QString, int> &after)
{
    QMap<QString, int> out;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (it.value() != before.value(it.key()))
            out.insert(it.key(), it.value() - before.value(it.key()));
    return out;
}

// Columns that hold a value in every row of `table` selected by `where`.
QSet<QString> filledColumns(Connection &c, const QString &table, const QString &where)
{
    QSet<QString> filled;
    for (const Schema::Table &t : Schema::tables()) {
        if (t.name != table)
            continue;
        for (const Schema::Column &col : t.columns)
            if (scalarInt(c, QStringLiteral("select count(*) from %1 where (%2) and %3 is null").arg(table, where, col.name)) == 0)
                filled.insert(col.name.toLower());
    }
    return filled;
}

// Columns that hold a value in some row.
QSet<QString> usedColumns(Connection &c, const QString &table, const QString &where)
{
    QSet<QString> used;
    for (const Schema::Table &t : Schema::tables()) {
        if (t.name != table)
            continue;
        for (const Schema::Column &col : t.columns)
            if (scalarInt(c, QStringLiteral("select count(*) from %1 where (%2) and %3 is not null").arg(table, where, col.name)) > 0)
                used.insert(col.name.toLower());
    }
    return used;
}

// An owner and an animal as the owner screen and the animal tab save them:
// with only what they require, or with every field typed.
void saveThroughTheStores(Connection &c, bool everyField)
{
    TUsuarioLogado &session = usuarioLogado();
    session.IdUsuario = QStringLiteral("1");
    session.IdPerfil = QStringLiteral("1000");
    session.IdUnidadeTrabalho = QStringLiteral("1");
    OwnerEdit o;
    o.owner.id_Unidade_Trabalho = 1;
    o.owner.Nome = QStringLiteral("ANA DE SOUZA");
    o.owner.Telefone_Residencial = QStringLiteral("(19)3234-5678");
    o.owner.Email_Proprietario = QStringLiteral("ana@exemplo.com.br");
    o.owner.Tipo_Pessoa = Documents::pessoaFisica();
    o.owner.Num_CPF_CNPJ = QStringLiteral("52998224725");
    o.password = QStringLiteral("Segredo123");
    Endereco &a = o.address;
    a.Id_Distrito = 1;
    a.NUM_LOGR = 1001;
    a.NUM_SEQU_LOGR = 1;
    a.TIP_LOGR = QStringLiteral("RUA");
    a.NOM_LOGR = QStringLiteral("DAS FLORES");
    a.NUM_IMOV_LOGR = 12;
    a.NUM_BAIR = 3;
    a.NOM_BAIR = QStringLiteral("CENTRO");
    a.Ind_Endereco_Informado = QStringLiteral("NAO");
    if (everyField) {
        o.owner.Telefone_Celular = QStringLiteral("(19)98765-4321");
        o.owner.Telefone_Recado = QStringLiteral("(19)99999-0000");
        o.owner.Num_CI = QStringLiteral("123456789");
        a.COD_AREA_ABRN = 2;
        a.DES_CMPL_ENDR = QStringLiteral("APTO 12");
        a.NUM_CEP = QStringLiteral("13010100");
        a.num_locl = 1;
        a.nom_locl = QStringLiteral("SEDE");
        a.End_X = 1000.5;
        a.End_Y = 2000.5;
        a.Ind_Endereco_Informado = QStringLiteral("SIM");
    }
    QCOMPARE(OwnerStore::validateFields(o).message, QString());
    AnimalEdit e;
    e.animal.Id_Proprietario = OwnerStore(c).insert(o);
    e.animal.Id_Especie = 1;
    e.animal.Id_Raca = 1;
    e.animal.Id_Grupo_Animal = 1;
    e.animal.Id_Pelo = 1;
    e.animal.Id_Porte = 2;
    e.animal.Nome = QStringLiteral("REX");
    e.animal.Sexo = QStringLiteral("M");
    e.animal.Esterilizado = QStringLiteral("NAO");
    e.animal.Data_Nascimento = QDate(2020, 3, 4);
    e.birthDateText = QStringLiteral("04/03/2020");
    if (everyField) {
        e.animal.Num_Microchip = QStringLiteral("982000123456789");
        e.animal.Cor = QStringLiteral("PRETO");
        e.animal.Sinais = QStringLiteral("MANCHA NA ORELHA");
        e.animal.Num_Pedigree = QStringLiteral("P-1");
        e.animal.OBS = QStringLiteral("DÓCIL");
    }
    e.address = o.address;
    QCOMPARE(AnimalStore::validate(e).message, QString());
    AnimalStore(c).insert(e);
}

} // namespace

class TestCityGenerator : public QObject {
    Q_OBJECT
private slots:
    void randomAndCheckDigits()
    {
        CityGenerator::Random a(42), b(42), c(43);
        QList<uint64_t> sa, sb, sc;
        for (int i = 0; i < 8; ++i) {
            sa << a.next();
            sb << b.next();
            sc << c.next();
        }
        QCOMPARE(sa, sb);
        QVERIFY(sa != sc);
        // The generator's own output is fixed: a change here changes every
        // generated city.
        CityGenerator::Random fixed(1);
        QCOMPARE(fixed.next(), Q_UINT64_C(0xb3f2af6d0fc710c5));
        CityGenerator::Random r(5);
        for (int i = 0; i < 1000; ++i) {
            const int v = r.below(7);
            QVERIFY(v >= 0 && v < 7);
        }

        // Numbers published with their check digits.
        QCOMPARE(CityGenerator::cpfWithCheckDigits("529982247"), QStringLiteral("52998224725"));
        QCOMPARE(CityGenerator::cnpjWithCheckDigits("112223330001"), QStringLiteral("11222333000181"));
        for (int i = 0; i < 500; ++i) {
            QString base9, base12;
            for (int k = 0; k < 9; ++k)
                base9 += QChar('0' + r.below(10));
            for (int k = 0; k < 12; ++k)
                base12 += QChar('0' + r.below(10));
            if (base9.count(base9.at(0)) != 9)
                QVERIFY2(Documents::validaCpf(CityGenerator::cpfWithCheckDigits(base9)), qPrintable(base9));
            QVERIFY2(Documents::validaCnpj(CityGenerator::cnpjWithCheckDigits(base12)), qPrintable(base12));
        }
    }

    void cityIsConsistent_data() { addEngineRows(); }
    void cityIsConsistent()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const CityGenerator::Result r = generate(c);
        QCOMPARE(r.perTable.value("proprietario"), kOwners);
        QCOMPARE(scalarInt(c, "select count(*) from proprietario"), kOwners);
        const int animals = scalarInt(c, "select count(*) from animal");
        QVERIFY2(animals > kOwners * 1.4 && animals < kOwners * 2.2, qPrintable(QString::number(animals)));
        QVERIFY(scalarInt(c, "select count(*) from atendimento") > kOwners / 2);
        QVERIFY(scalarInt(c, "select count(*) from vacina") > animals);
        QVERIFY(scalarInt(c, "select count(*) from mapa_disponibilidade_agenda") > 0);
        qint64 sum = 0;
        for (qint64 n : r.perTable)
            sum += n;
        QCOMPARE(r.rows, sum);

        // Tax numbers: valid for their person type and never repeated.
        QSet<QString> docs;
        int companies = 0;
        QSqlQuery q = Sql::exec(c, "select Tipo_Pessoa, Num_CPF_CNPJ, Nome, Email_Proprietario from proprietario");
        QSet<QString> mails;
        bool accented = false;
        while (q.next()) {
            const QString tipo = Sql::text(q.value(0)), doc = Sql::text(q.value(1)), nome = Sql::text(q.value(2));
            if (tipo == Documents::pessoaJuridica()) {
                ++companies;
                QVERIFY2(Documents::validaCnpj(doc), qPrintable(doc));
            } else {
                QCOMPARE(tipo, Documents::pessoaFisica());
                QVERIFY2(Documents::validaCpf(doc), qPrintable(doc));
            }
            QVERIFY(!docs.contains(doc));
            docs.insert(doc);
            QVERIFY(!nome.isEmpty() && nome.size() <= 50 && nome == nome.toUpper());
            accented = accented || foldText(nome) != nome.toLower();
            const QString mail = Sql::text(q.value(3));
            if (!mail.isEmpty()) {
                QVERIFY2(Documents::validaEmail(mail), qPrintable(mail));
                QVERIFY(!mails.contains(mail));
                mails.insert(mail);
            }
        }
        QVERIFY(accented);
        QVERIFY(companies > 0 && companies < kOwners / 5);

        // Microchips: unique with blanks ignored; some typed with blanks, some animals without.
        QSet<QString> chips;
        int withBlanks = 0, without = 0;
        q = Sql::exec(c, "select Num_Microchip from animal");
        while (q.next()) {
            QString chip = Sql::text(q.value(0));
            if (chip.isEmpty()) {
                ++without;
                continue;
            }
            if (chip.contains(QLatin1Char(' ')))
                ++withBlanks;
            chip.remove(QLatin1Char(' '));
            QCOMPARE(chip.size(), 15);
            QVERIFY(!chips.contains(chip));
            chips.insert(chip);
        }
        QVERIFY(withBlanks > 0);
        QVERIFY(without > 0);

        // Every reference points at an existing row.
        const QStringList orphans = {
            "select count(*) from animal a where not exists (select 1 from proprietario p where p.Id_Proprietario = a.Id_Proprietario)",
            "select count(*) from proprietario p where not exists (select 1 from endereco e where e.Id_Endereco = p.Id_Endereco)",
            "select count(*) from endereco_animal l where not exists (select 1 from endereco e where e.Id_Endereco = l.Id_Endereco)",
            "select count(*) from endereco_animal l where not exists (select 1 from animal a where a.Id_Animal = l.Id_Animal)",
            "select count(*) from animal a where not exists (select 1 from endereco_animal l where l.Id_Animal = a.Id_Animal)",
            "select count(*) from vacina v where not exists (select 1 from animal a where a.Id_Animal = v.Id_Animal)",
            "select count(*) from vacina v where not exists (select 1 from tipo_vacina t where t.Id_tipo_vacina = v.Id_tipo_vacina)",
            "select count(*) from atendimento t where not exists (select 1 from animal a where a.Id_Animal = t.Id_Animal "
            "and a.Id_Proprietario = t.Id_Proprietario)",
            "select count(*) from atendimento t where not exists (select 1 from unidade_trabalho u where u.Id_Unidade_Trabalho = t.Id_Unidade_Agendada)",
            "select count(*) from atendimento t where not exists (select 1 from atendimento_status s where s.Id_Atendimento_Status = t.Id_Atendimento_Status)",
            "select count(*) from atendimento_profissional x where not exists (select 1 from atendimento t where t.Id_Atendimento = x.Id_Atendimento)",
            "select count(*) from atendimento_profissional x where not exists (select 1 from profissional p where p.Id_Profissional = x.Id_Profissional)",
            "select count(*) from procedimento x where not exists (select 1 from atendimento t where t.Id_Atendimento = x.Id_Atendimento)",
            "select count(*) from animal a where not exists (select 1 from raca r where r.Id_Raca = a.Id_Raca and r.Id_Especie = a.Id_Especie)",
            "select count(*) from proprietario p where id_usu_web is not null and not exists "
            "(select 1 from usuario u where u.Id_Usuario = p.id_usu_web and u.Id_proprietario = p.Id_Proprietario)",
            "select count(*) from mapa_disponibilidade_agenda m where Qt_vaga_usada_geral > Qt_vaga_disponivel_geral "
            "or Qt_vaga_usada_f_grande_porte > Qt_vaga_disp_f_grande_porte",
            // A realized sterilization leaves the animal sterilized.
            "select count(*) from atendimento t join animal a on a.Id_Animal = t.Id_Animal where t.Id_Atendimento_Status = 3 "
            "and a.Esterilizado <> 'SIM'",
        };
        for (const QString &sql : orphans)
            QVERIFY2(scalarInt(c, sql) == 0, qPrintable(sql));
        // Every street of an address is in the street database.
        QCOMPARE(scalarInt(c, QStringLiteral("select count(*) from endereco e where not exists (select 1 from %1 n where n.num_logr = e.NUM_LOGR)")
                                  .arg(c.dialect().addressTable("logradouroNome"))),
                 0);

        // The indexes dropped for the load are all back.
        const QString indexCount = c.dialect().engine() == Engine::SQLite
                                       ? QStringLiteral("select count(*) from sqlite_master where type = 'index' and name like 'ix!_%' escape '!'")
                                       : QStringLiteral("select count(*) from pg_indexes where schemaname = 'public' and indexname like 'ix!_%' escape '!'");
        int expected = 0;
        for (const Schema::Index &i : Schema::indexes())
            expected += i.db == Schema::Database::Main ? 1 : 0;
        QCOMPARE(scalarInt(c, indexCount), expected);
        // The trigram index comes back too where the server offers it.
        if (c.dialect().engine() == Engine::PostgreSQL
            && scalarInt(c, "select count(*) from pg_available_extensions where name = 'pg_trgm'") == 1)
            QCOMPARE(scalarInt(c, "select count(*) from pg_indexes where indexname = 'trgm_animal_microchip'"), 1);

        // A database with owners is refused and left as it was.
        QVERIFY_THROWS_EXCEPTION(DbError, generate(c));
        QCOMPARE(scalarInt(c, "select count(*) from proprietario"), kOwners);
    }

    // The city holds the rows the program writes for an owner and an animal
    // (the web account, the group membership, the first ownership record,
    // ...): one of each per owner or animal, every column the program always
    // fills filled, and no column it never fills.
    void cityMatchesTheStores_data() { addEngineRows(); }
    void cityMatchesTheStores()
    {
        ZAPO_TEST_DB(t);
        auto full = TestDatabase::create(engine);
        QVERIFY(full);
        Connection &c = t->main();
        const QMap<QString, int> empty = rowCounts(c);
        saveThroughTheStores(c, false);
        const QMap<QString, int> perOwnerAndAnimal = grown(empty, rowCounts(c));
        saveThroughTheStores(full->main(), true);

        // Which rows belong to whom, told apart by the links between them.
        const QMap<QString, QString> rowsOfTheRegister{
            {"proprietario", "1 = 1"},
            {"usuario", "Id_proprietario is not null"},
            {"endereco", "1 = 1"},
            {"animal", "1 = 1"},
            {"endereco_animal", "1 = 1"},
            {"Grupo_Animal_Animal", "1 = 1"},
            {"Histo_Muda_Proprietario", "1 = 1"},
        };
        QCOMPARE(QSet<QString>(perOwnerAndAnimal.keyBegin(), perOwnerAndAnimal.keyEnd()),
                 QSet<QString>(rowsOfTheRegister.keyBegin(), rowsOfTheRegister.keyEnd()));
        QMap<QString, QSet<QString>> always, ever;
        for (auto it = rowsOfTheRegister.cbegin(); it != rowsOfTheRegister.cend(); ++it) {
            always.insert(it.key(), filledColumns(c, it.key(), it.value()));
            ever.insert(it.key(), usedColumns(full->main(), it.key(), it.value()));
        }

        auto city = TestDatabase::create(engine);
        QVERIFY(city);
        Connection &g = city->main();
        generate(g, 21, 150);
        const int owners = scalarInt(g, "select count(*) from proprietario");
        const int animals = scalarInt(g, "select count(*) from animal");
        for (auto it = rowsOfTheRegister.cbegin(); it != rowsOfTheRegister.cend(); ++it) {
            const QString &table = it.key();
            // One owner and one animal saved: endereco grew by two rows, the
            // owner's tables by one and the animal's by one.
            const bool ownerTable = table == "proprietario" || table == "usuario";
            const int expected = table == "endereco" ? owners + animals : ownerTable ? owners : animals;
            QCOMPARE(perOwnerAndAnimal.value(table), table == "endereco" ? 2 : 1);
            QVERIFY2(scalarInt(g, QStringLiteral("select count(*) from %1 where %2").arg(table, it.value())) == expected,
                     qPrintable(table));
            const QSet<QString> filled = filledColumns(g, table, it.value());
            const QSet<QString> used = usedColumns(g, table, it.value());
            for (const QString &col : always.value(table))
                QVERIFY2(filled.contains(col), qPrintable(QStringLiteral("%1.%2 is empty in generated rows").arg(table, col)));
            for (const QString &col : used)
                QVERIFY2(ever.value(table).contains(col), qPrintable(QStringLiteral("%1.%2 is never written by the program").arg(table, col)));
        }

        // The links and the values the program fixes.
        const QStringList none = {
            "select count(*) from proprietario p where not exists (select 1 from usuario u where u.Id_Usuario = p.id_usu_web "
            "and u.Id_proprietario = p.Id_Proprietario and u.Login = p.Num_CPF_CNPJ and u.Num_CPF_CNPJ = p.Num_CPF_CNPJ)",
            "select count(*) from usuario where Id_proprietario is not null and (Inativo <> 'NAO' or Ind_solicitacao_nova_senha <> 'N')",
            "select count(*) from animal a where not exists (select 1 from Histo_Muda_Proprietario h where h.Id_Animal = a.Id_Animal "
            "and h.Id_Proprietario = a.Id_Proprietario)",
            "select count(*) from animal a where not exists (select 1 from Grupo_Animal_Animal g where g.Id_Animal = a.Id_Animal "
            "and g.Id_Grupo_Animal = a.Id_Grupo_Animal)",
            "select count(*) from animal where Id_faixa_peso_animal <> 1",
            // Every stamp names a user of the city.
            "select count(*) from proprietario p where not exists (select 1 from usuario u where u.Id_Usuario = p.Inserido_Por "
            "and u.Id_proprietario is null)",
        };
        for (const QString &sql : none)
            QVERIFY2(scalarInt(g, sql) == 0, qPrintable(sql));

        // The lists the screens offer and the scheduling data behind them.
        for (const char *table : {"unidade_medida", "medicamento", "tipo_ocorrencia", "profissional", "jornada_trabalho",
                                  "mapa_disponibilidade_agenda", "mapa_rascunho", "agendamento_especial", "ocorrencia",
                                  "medicamento_gasto", "receituario_texto_peso"})
            QVERIFY2(scalarInt(g, QStringLiteral("select count(*) from %1").arg(table)) > 0, table);
        QVERIFY(scalarInt(g, "select count(*) from tipo_procedimento") > 1);
        QCOMPARE(scalarInt(g, "select count(*) from medicamento m where not exists "
                              "(select 1 from unidade_medida u where u.Id_Unidade_Medida = m.Id_Unidade_Medida)"), 0);
        QCOMPARE(scalarInt(g, "select count(*) from agendamento_especial x where not exists "
                              "(select 1 from proprietario p where p.Id_Proprietario = x.Id_Proprietario)"), 0);
        // The report of owners and their animals lists a generated owner's animals.
        QSqlQuery q = Sql::exec(g, "select a.Id_Proprietario, a.Id_Animal, a.Nome from animal a join proprietario p "
                                   "on p.Id_Proprietario = a.Id_Proprietario where p.Status_Registro = 'ATIVO' order by a.Id_Animal");
        QVERIFY(q.next());
        const int owner = q.value(0).toInt();
        const QString listed = QStringLiteral("%1 - %2").arg(q.value(1).toInt()).arg(Sql::text(q.value(2)));
        q = QSqlQuery();
        const QStringList texts = Reports::compose(OwnerAnimalReport::definition(g, owner)).allTexts();
        QVERIFY2(texts.contains(listed), qPrintable(texts.join('|')));

        // Drafts wait for the month after the published slots, within the
        // professionals' hours.
        const QDateTime lastDraft = Sql::scalar(g, "select max(Data_hora_disponibilidade) from mapa_rascunho").toDateTime();
        QVERIFY(Sql::scalar(g, "select min(Data_hora_disponibilidade) from mapa_rascunho").toDateTime()
                > Sql::scalar(g, "select max(Data_hora_disponibilidade) from mapa_disponibilidade_agenda").toDateTime());
        QVERIFY(Sql::scalar(g, "select min(Data_Hora_Final) from jornada_trabalho").toDateTime() > lastDraft);
    }

    // The program's own inserts take keys after the generated ones
    // (PostgreSQL's identity sequences did not see the explicit keys).
    void laterInsertsGoOn_data() { addEngineRows(); }
    void laterInsertsGoOn()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        generate(c, 3, 50);
        for (const auto &[table, key] : QList<QPair<QString, QString>>{{"proprietario", "Id_Proprietario"}, {"animal", "Id_Animal"},
                                                                       {"endereco", "Id_Endereco"}, {"atendimento", "Id_Atendimento"},
                                                                       {"usuario", "Id_Usuario"}, {"procedimento", "Id_Procedimento"},
                                                                       {"Grupo_Animal_Animal", "Id_Grupo_Animal_Animal"}}) {
            const int top = scalarInt(c, QStringLiteral("select max(%1) from %2").arg(key, table));
            QVERIFY2(top > 0, qPrintable(table));
            Transaction tx(c);
            const QString column = table == "proprietario" ? "Nome" : table == "usuario" ? "Login" : "Inserido_Por";
            const QVariant value = column == "Inserido_Por" ? QVariant(1) : QVariant(QStringLiteral("NOVO"));
            const int id = Keys::insertReturningKey(c, QStringLiteral("insert into %1 (%2) values (:v)").arg(table, column),
                                                    {{"v", value}}, key).toInt();
            tx.commit();
            QVERIFY2(id > top, qPrintable(QStringLiteral("%1: %2 after %3").arg(table).arg(id).arg(top)));
        }
    }

    // The searches the indexes were shaped for still find exactly what they
    // should: a microchip anywhere with blanks ignored, a name prefix with
    // accents ignored.
    void searchesOnTheCity_data() { addEngineRows(); }
    void searchesOnTheCity()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        generate(c, 5, 200);
        struct A { int id; QString chip; };
        QList<A> animals;
        QHash<int, QString> activeOwners; // with their names
        QSqlQuery q = Sql::exec(c, "select a.Id_Animal, a.Num_Microchip, p.Status_Registro, p.Nome, p.Id_Proprietario "
                                   "from animal a join proprietario p on p.Id_Proprietario = a.Id_Proprietario");
        QString spaced;
        while (q.next()) {
            if (Sql::text(q.value(2)) != "ATIVO")
                continue;
            const QString chip = Sql::text(q.value(1));
            animals.append({q.value(0).toInt(), QString(chip).remove(' ')});
            if (spaced.isEmpty() && chip.contains(' '))
                spaced = chip;
        }
        q = Sql::exec(c, "select Id_Proprietario, Nome from proprietario where Status_Registro = 'ATIVO'");
        while (q.next())
            activeOwners.insert(q.value(0).toInt(), Sql::text(q.value(1)));
        QVERIFY(!spaced.isEmpty());
        const QString digits = QString(spaced).remove(' ');

        auto found = [&](OwnerSearch::Field field, const QString &typed, const QString &column) {
            const auto query = OwnerSearch::consultation(c, field, typed);
            QSet<int> ids;
            QSqlQuery r = Sql::exec(c, query->select + " order by " + query->orderBy, query->params);
            while (r.next())
                ids.insert(r.value(column).toInt());
            const int counted = Sql::scalar(c, QStringLiteral("select count(*) from (%1) x").arg(query->select), query->params).toInt();
            return qMakePair(ids, counted);
        };
        for (const QString &typed : {digits, digits.mid(5, 6), spaced}) {
            QSet<int> expected;
            for (const A &a : std::as_const(animals))
                if (!a.chip.isEmpty() && a.chip.contains(QString(typed).remove(' ')))
                    expected.insert(a.id);
            const auto [ids, counted] = found(OwnerSearch::Field::Microchip, typed, "Id_Animal");
            QCOMPARE(ids, expected);
            QCOMPARE(counted, int(expected.size()));
        }
        QCOMPARE(found(OwnerSearch::Field::Microchip, digits, "Id_Animal").first.size(), 1);
        // Typed "%" and "_" are characters, not wildcards.
        const int odd = animals.first().id;
        Sql::exec(c, "update animal set Num_Microchip = '900 12%4_6 77' where Id_Animal = :i", {{"i", odd}});
        QCOMPARE(found(OwnerSearch::Field::Microchip, "2%4_6", "Id_Animal").first, QSet<int>{odd});
        QVERIFY(found(OwnerSearch::Field::Microchip, "9001%", "Id_Animal").first.isEmpty());
        QVERIFY(found(OwnerSearch::Field::Microchip, "12_4", "Id_Animal").first.isEmpty());

        // "jose" finds JOSÉ and JOSEFA, as folding in the program does.
        QSet<int> expected;
        for (auto it = activeOwners.cbegin(); it != activeOwners.cend(); ++it)
            if (foldText(it.value()).startsWith("jose"))
                expected.insert(it.key());
        QVERIFY(!expected.isEmpty());
        QCOMPARE(found(OwnerSearch::Field::NomeProp, "JOSÉ", "Id_Proprietario").first, expected);
        QCOMPARE(found(OwnerSearch::Field::NomeProp, "jose", "Id_Proprietario").first, expected);
    }

    // The command line: the size is required, and the city lands in a
    // database made by init.
    void adminCommand()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("zapo.db");
        QCOMPARE(runAdmin({"zapo-admin", "init", db}), 0);
        QCOMPARE(runAdmin({"zapo-admin", "generate", db, "--owners", "many"}), 2);
        QCOMPARE(runAdmin({"zapo-admin", "generate", db, "--owners", "40", "--date", "2025-13-01"}), 2);
        QCOMPARE(runAdmin({"zapo-admin", "generate", db, "--owners", "40", "--seed", "9", "--date", "2025-06-30"}), 0);
        DataModule dm(DatabaseSpec::parse(db));
        QCOMPARE(Sql::scalar(dm.main(), "select count(*) from proprietario").toInt(), 40);
        // Booked appointments run two months past the given day at most.
        QVERIFY(Sql::scalar(dm.main(), "select max(Data_Hora_Atendimento) from atendimento").toDateTime().date()
                <= QDate(2025, 8, 29));
        // A second run is refused: the owners are there.
        QCOMPARE(runAdmin({"zapo-admin", "generate", db, "--owners", "40"}), 1);
    }

    void sameSeedSameCity()
    {
        auto a = TestDatabase::create("sqlite");
        auto b = TestDatabase::create("sqlite");
        auto d = TestDatabase::create("sqlite");
        QVERIFY(a && b && d);
        generate(a->main(), 11, 120);
        generate(b->main(), 11, 120);
        generate(d->main(), 12, 120);
        bool anyDiffers = false;
        for (const auto &[table, order] : digestTables()) {
            const QByteArray da = tableDigest(a->main(), table, order);
            QCOMPARE(da, tableDigest(b->main(), table, order));
            anyDiffers = anyDiffers || da != tableDigest(d->main(), table, order);
        }
        QVERIFY(anyDiffers);
    }
};

QTEST_MAIN(TestCityGenerator)
#include "tst_citygenerator.moc"
