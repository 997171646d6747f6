// The installed schema on each engine: exact names, keys, defaults, the
// indexes the searches rely on and the reference data of a fresh install.
#include "db/DbError.h"
#include "db/Keys.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "db/schema/ReferenceData.h"
#include "db/schema/Schema.h"
#include "db/schema/SchemaModel.h"
#include "support/TestDatabase.h"

#include <QRegularExpression>
#include <QSqlRecord>
#include <QSet>
#include <QTest>

class TestSchema : public QObject {
    Q_OBJECT

    static QStringList column(Connection &c, const QString &sql, const QVariantMap &p = {})
    {
        QSqlQuery q = Sql::exec(c, sql, p);
        QStringList out;
        while (q.next())
            out << Sql::text(q.value(0));
        return out;
    }

private slots:
    void createRefusesSecondTime_data() { addEngineRows(); }
    void createRefusesSecondTime()
    {
        ZAPO_TEST_DB(t);
        QVERIFY(Schema::exists(t->main()));
        QVERIFY_THROWS_EXCEPTION(DbError, Schema::create(t->dm()));
        // The refused attempt changed nothing.
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select count(*) from dia_semana")).toInt(), 7);
    }

    void failedCreateLeavesEmptyDatabase_data() { addEngineRows(); }
    void failedCreateLeavesEmptyDatabase()
    {
        // A table already present makes the creation fail half-way; the
        // transaction takes every earlier table, schema and function with it.
        QFETCH(QString, engine);
        auto t = TestDatabase::create(engine, false);
        if (!t)
            QSKIP("PostgreSQL test server not available (run through scripts/test)");
        Sql::exec(t->main(), QStringLiteral("create table medicamento (x integer)"));
        QVERIFY_THROWS_EXCEPTION(DbError, Schema::create(t->dm()));
        QVERIFY(!Schema::exists(t->main()));
        for (const QString &table : {QStringLiteral("form"), QStringLiteral("padrao.Logradouro"),
                                     QStringLiteral("kelda.sa001042")}) {
            QSqlQuery q(t->main().db());
            QVERIFY2(!q.exec(QStringLiteral("select count(*) from %1").arg(table)), qPrintable(table));
        }
        // Once the obstacle is gone the same database installs cleanly.
        Sql::exec(t->main(), QStringLiteral("drop table medicamento"));
        Schema::create(t->dm());
        QVERIFY(Schema::exists(t->main()));
    }

    // A database made before an index was added to the program gets it
    // when opened again; the indexes it has stay as they are.
    void missingIndexesAreAddedOnOpening_data() { addEngineRows(); }
    void missingIndexesAreAddedOnOpening()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->dm().main();
        QVERIFY(Schema::addMissingIndexes(c).isEmpty());
        Sql::exec(c, QStringLiteral("drop index ix_atendimento_periodo"));
        Sql::exec(c, QStringLiteral("drop index ix_proprietario_ordem"));
        QStringList created = Schema::addMissingIndexes(c);
        created.sort();
        QCOMPARE(created, (QStringList{QStringLiteral("ix_atendimento_periodo"), QStringLiteral("ix_proprietario_ordem")}));
        QVERIFY(Schema::addMissingIndexes(c).isEmpty());
    }

    // A table of ours added after a database was made (the municipal
    // holidays) is created when that database is opened again, with its
    // screen's row in `form` so that profiles can be given it.
    void missingTablesAreAddedOnOpening_data() { addEngineRows(); }
    void missingTablesAreAddedOnOpening()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->dm().main();
        QVERIFY(Schema::addMissingTables(c).isEmpty());
        Sql::exec(c, QStringLiteral("drop table feriado_municipal"));
        Sql::exec(c, QStringLiteral("delete from form where Id_Form = 54"));
        {
            auto again = t->openAnother();
            QCOMPARE(Sql::scalar(again->main(), QStringLiteral("select count(*) from feriado_municipal")).toInt(), 0);
            QCOMPARE(Sql::scalar(again->main(), QStringLiteral("select Tag from form where Id_Form = 54")).toInt(), 54);
        }
        Sql::exec(c, QStringLiteral("insert into feriado_municipal (Id_Feriado_Municipal, Data_Feriado, Descricao, Ind_Anual, "
                                    "Ind_Status) values (1, :d, 'X', 'SIM', 'ATIVO')"),
                  {{QStringLiteral("d"), QDateTime(QDate(2026, 2, 5), QTime(0, 0))}});
        QVERIFY(Schema::addMissingTables(c).isEmpty());
        QCOMPARE(Sql::scalar(c, QStringLiteral("select count(*) from feriado_municipal")).toInt(), 1);
    }

    void everyDescribedColumnExists_data() { addEngineRows(); }
    void everyDescribedColumnExists()
    {
        ZAPO_TEST_DB(t);
        for (const Schema::Table &tab : Schema::tables()) {
            QStringList cols;
            for (const Schema::Column &c : tab.columns)
                cols << c.name;
            const QString from = tab.db == Schema::Database::Main
                                     ? tab.name
                                     : Schema::schemaName(tab.db) + QLatin1Char('.') + tab.name;
            QSqlQuery q = Sql::exec(t->main(), QStringLiteral("select %1 from %2 where 1=2").arg(cols.join(", "), from));
            QCOMPARE(q.record().count(), cols.size());
        }
        QCOMPARE(Schema::findTable(QStringLiteral("Exportacao2"))->columns.size(), 58);
        // Names spelled as the screens spell them, in other cases too.
        Sql::exec(t->main(), QStringLiteral("select u.Id_Unidade_trabalho, u.Modificado_por, p.id_proprietario, "
                                            "m.Qt_vaga_usada_geral, v.Ind_registro_ativo from unidade_Trabalho u, "
                                            "Proprietario p, Mapa_Disponibilidade_Agenda m, Tipo_Vacina v where 1=2"));
        // The imported databases through their own connections, and the view.
        Sql::exec(t->dm().connection(QStringLiteral("DB_Padrao")),
                  QStringLiteral("select tip_bair, num_bair, nom_bair, NUM_LOGR, NUM_SEQU_LOGR, tip_logr, nom_logr, "
                                 "tip_clss_bair, ind_bair_cord from pesquisaLograd where 1=2"));
        Sql::exec(t->dm().connection(QStringLiteral("DB_KELDA")),
                  QStringLiteral("select a.numinca, b.codAmostra from sa001041 a, sa001042 b where 1=2"));
    }

    void streetViewJoinsItsOwnTables_data() { addEngineRows(); }
    void streetViewJoinsItsOwnTables()
    {
        ZAPO_TEST_DB(t);
        Connection &p = t->dm().connection(QStringLiteral("DB_Padrao"));
        Connection &m = t->main();
        Sql::exec(m, QStringLiteral("insert into padrao.logradouroNome (num_logr, num_sequ_logr, tip_logr, nom_logr) "
                                    "values (10, 1, 'R', 'DAS FLORES')"));
        // Imports that do not know IND_BAIR_CORD leave it to the default.
        Sql::exec(m, QStringLiteral("insert into padrao.BairroLogradouro (NUM_LOGR, NUM_BAIR) values (10, 3)"));
        Sql::exec(m, QStringLiteral("insert into padrao.Bairro (NUM_BAIR, NOM_BAIR, TIP_BAIR, TIP_CLSS_BAIR) "
                                    "values (3, 'CENTRO', 'BAIRRO', 'o')"));
        Sql::exec(m, QStringLiteral("insert into padrao.logradouroNome (num_logr, num_sequ_logr, tip_logr, nom_logr) "
                                    "values (11, 1, 'AV', 'NOVA')"));
        QSqlQuery q = Sql::exec(p, QStringLiteral("select num_logr, nom_bair, nom_logr, ind_bair_cord from pesquisaLograd "
                                                  "where num_logr in (10, 11) order by num_logr"));
        QVERIFY(q.next());
        QCOMPARE(Sql::text(q, "nom_bair"), QStringLiteral("CENTRO"));
        QCOMPARE(Sql::text(q, "nom_logr"), QStringLiteral("DAS FLORES"));
        QCOMPARE(Sql::text(q, "ind_bair_cord"), QStringLiteral("N"));
        // A street without a neighbourhood yet is still found.
        QVERIFY(q.next());
        QCOMPARE(Sql::text(q, "nom_logr"), QStringLiteral("NOVA"));
        QVERIFY(q.value(QStringLiteral("nom_bair")).isNull());
        QVERIFY(!q.next());
    }

    void serverKeysAndDefaults_data() { addEngineRows(); }
    void serverKeysAndDefaults()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const QVariant owner = Keys::insertReturningKey(
            c, QStringLiteral("insert into proprietario (Nome, Num_CPF_CNPJ) values (:n, :cpf)"),
            {{":n", QStringLiteral("JOSÉ DA SILVA")}, {":cpf", QStringLiteral("12345678909")}}, "Id_Proprietario");
        QCOMPARE(owner.toInt(), 1);
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Status_Registro from proprietario where "
                                                         "Id_Proprietario = :k"), {{":k", owner}})),
                 QStringLiteral("ATIVO"));
        const QVariant user = Keys::insertReturningKey(
            c, QStringLiteral("insert into usuario (Nome, Login) values ('ANA', 'ANA')"), {}, "Id_Usuario");
        QVERIFY(user.toInt() > 0);
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Status_Registro from usuario"))),
                 QStringLiteral("ATIVO"));

        // A new slot has no places taken; a new animal is in weight band 1.
        Sql::exec(c, QStringLiteral("insert into mapa_disponibilidade_agenda (Id_Mapa_disponibilidade_agenda, "
                                    "Qt_vaga_disponivel_geral) values (1, 5)"));
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Qt_vaga_usada_geral, Qt_vaga_usada_f_grande_porte "
                                                  "from mapa_disponibilidade_agenda"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QCOMPARE(q.value(1).toInt(), 0);
        const QVariant animal = Keys::insertReturningKey(
            c, QStringLiteral("insert into animal (Id_Proprietario, Nome) values (:p, 'REX')"), {{":p", owner}},
            "Id_Animal");
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Id_faixa_peso_animal from animal where Id_Animal = :a"),
                             {{":a", animal}}).toInt(), 1);

        // "FALSE" fits the withdrawn-grant flag.
        Sql::exec(c, QStringLiteral("insert into agendamento_especial (Id_Agendamento_Especial, Id_Proprietario, "
                                    "Ind_Registro_Excluido) values (1, 1, 'FALSE')"));
    }

    void addressKeyTakesBothKinds_data() { addEngineRows(); }
    void addressKeyTakesBothKinds()
    {
        // The animal-address screen writes max+1; the owner screen lets the
        // server number the row. Mixed, they must never collide.
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const QString serverInsert = QStringLiteral("insert into endereco (NOM_LOGR) values ('A')");
        QCOMPARE(Keys::insertReturningKey(c, serverInsert, {}, "Id_Endereco").toInt(), 1);
        {
            Transaction tx(c);
            const int k = Keys::nextProgramKey(c, "endereco", "Id_Endereco");
            QCOMPARE(k, 2);
            Sql::exec(c, QStringLiteral("insert into endereco (Id_Endereco, NOM_LOGR) values (:k, 'B')"), {{":k", k}});
            tx.commit();
        }
        QCOMPARE(Keys::insertReturningKey(c, serverInsert, {}, "Id_Endereco").toInt(), 3);
        // A deleted server key is not handed out again.
        Sql::exec(c, QStringLiteral("delete from endereco where Id_Endereco = 3"));
        QCOMPARE(Keys::insertReturningKey(c, serverInsert, {}, "Id_Endereco").toInt(), 4);
        // The same holds where reference data wrote explicit keys.
        QCOMPARE(Keys::insertReturningKey(c, QStringLiteral("insert into tipo_vacina (Nome) values ('V10')"), {},
                                          "Id_tipo_vacina").toInt(), 2);
    }

    void weekdays_data() { addEngineRows(); }
    void weekdays()
    {
        ZAPO_TEST_DB(t);
        QCOMPARE(column(t->main(), QStringLiteral("select nome from dia_semana order by id_Dia_Semana")),
                 QStringList({"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sabado"}));
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select id_Dia_Semana from dia_semana where nome = :n"),
                             {{":n", QStringLiteral("Terça")}}).toInt(), 3);
    }

    void epidemiologicalWeeks_data() { addEngineRows(); }
    void epidemiologicalWeeks()
    {
        ZAPO_TEST_DB(t);
        QSqlQuery q = Sql::exec(t->main(), QStringLiteral("select nrideano, nridesep, dtinisep, dtfimsep, dsidesep "
                                                          "from semana_epidemiologica order by dtinisep"));
        QDate expectedStart;
        QDate first, last;
        QMap<int, int> weeksPerYear;
        int previousYear = 0, previousWeek = 0;
        while (q.next()) {
            const int year = q.value(0).toInt();
            const int week = q.value(1).toInt();
            const QDateTime start = q.value(2).toDateTime();
            const QDateTime end = q.value(3).toDateTime();
            QCOMPARE(start.time(), QTime(0, 0));
            QCOMPARE(start.date().dayOfWeek(), int(Qt::Sunday));
            QCOMPARE(start.date().addDays(6), end.date());
            if (expectedStart.isValid())
                QCOMPARE(start.date(), expectedStart); // no gap, no overlap
            else
                first = start.date();
            // Numbering runs 1, 2, ... within a year and restarts at 1.
            if (year == previousYear)
                QCOMPARE(week, previousWeek + 1);
            else if (previousYear)
                QCOMPARE(week, 1);
            QCOMPARE(Sql::text(q.value(4)), QStringLiteral("Semana %1/%2").arg(week, 2, 10, QLatin1Char('0')).arg(year));
            weeksPerYear[year] = week;
            previousYear = year;
            previousWeek = week;
            expectedStart = start.date().addDays(7);
            last = end.date();
        }
        QVERIFY(first <= QDate(2000, 1, 1));
        QVERIFY(last >= QDate(2060, 12, 31));
        QCOMPARE(weeksPerYear.value(2020), 53); // a year with 53 weeks
        QCOMPARE(weeksPerYear.value(2021), 52);

        auto weekOf = [&](const QDate &d) {
            QSqlQuery w = Sql::exec(t->main(), QStringLiteral("select nrideano, nridesep from semana_epidemiologica "
                                                              "where :d between dtinisep and dtfimsep"),
                                    {{":d", d}});
            QStringList found;
            while (w.next())
                found << QStringLiteral("%1/%2").arg(w.value(1).toInt()).arg(w.value(0).toInt());
            return found;
        };
        QCOMPARE(weekOf(QDate(2023, 12, 31)), QStringList{"1/2024"}); // week 1 of 2024 starts Sunday 31/12/2023
        QCOMPARE(weekOf(QDate(2023, 12, 30)), QStringList{"52/2023"});
        QCOMPARE(weekOf(QDate(2026, 1, 4)), QStringList{"1/2026"});
        QCOMPARE(weekOf(QDate(2026, 1, 3)), QStringList{"53/2025"});
    }

    void ownerNamePrefixIgnoresAccentsAndCase_data() { addEngineRows(); }
    void ownerNamePrefixIgnoresAccentsAndCase()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        for (const QString &n : {QStringLiteral("JOSÉ DA SILVA"), QStringLiteral("JOSEFA LIMA"),
                                 QStringLiteral("JOAO JOSE"), QStringLiteral("MARIA")})
            Sql::exec(c, QStringLiteral("insert into proprietario (Nome) values (:n)"), {{":n", n}});
        const QString lo = foldText(QStringLiteral("jose"));
        const QString hi = lo + QChar(0xFFFF);
        const QString sql = QStringLiteral("select Nome from proprietario where %1 >= :lo and %1 < :hi "
                                           "and Status_Registro = 'ATIVO' order by %1")
                                .arg(c.dialect().folded(QStringLiteral("Nome")));
        // In folded order, the same on every engine and under any collation.
        QCOMPARE(column(c, sql, {{":lo", lo}, {":hi", hi}}), QStringList({"JOSÉ DA SILVA", "JOSEFA LIMA"}));

        // Both searches use their expression indexes (PostgreSQL is told to
        // avoid the sequential scan it prefers on a table this small).
        const bool sqlite = c.dialect().engine() == Engine::SQLite;
        if (!sqlite) {
            // With statistics of a populated table: on four rows every index
            // costs the same, and the small one of the active owners' keys
            // (scanned whole, the tax number filtered) may win the tie.
            Sql::exec(c, QStringLiteral("insert into proprietario (Nome, Num_CPF_CNPJ) select 'P' || i, lpad(i::text, 11, '9') "
                                        "from generate_series(1, 3000) i"));
            Sql::exec(c, QStringLiteral("analyze proprietario"));
        }
        Transaction tx(c);
        if (!sqlite)
            Sql::exec(c, QStringLiteral("set local enable_seqscan = off"));
        auto plan = [&](QString select, const QVariantMap &p) {
            if (!sqlite) {
                // PostgreSQL cannot prepare EXPLAIN: the test's own constants go inline.
                for (auto it = p.cbegin(); it != p.cend(); ++it)
                    select.replace(it.key(), QLatin1Char('\'') + it.value().toString() + QLatin1Char('\''));
            }
            QSqlQuery q = Sql::exec(c, (sqlite ? "explain query plan " : "explain ") + select, sqlite ? p : QVariantMap());
            QString text;
            while (q.next())
                text += q.value(sqlite ? 3 : 0).toString() + QLatin1Char('\n');
            return text;
        };
        QString detail = plan(sql, {{":lo", lo}, {":hi", hi}});
        QVERIFY2(detail.contains(QStringLiteral("ix_proprietario_nome")), qPrintable(detail));
        detail = plan(QStringLiteral("select Id_Animal from animal where %1 = :m")
                          .arg(c.dialect().withoutBlanks(QStringLiteral("Num_Microchip"))),
                      {{":m", QStringLiteral("985")}});
        QVERIFY2(detail.contains(QStringLiteral("ix_animal_microchip")), qPrintable(detail));
        detail = plan(QStringLiteral("select Id_Proprietario from proprietario where Num_CPF_CNPJ like :p escape '!' "
                                     "and Status_Registro = 'ATIVO'"),
                      {{":p", QStringLiteral("123%")}});
        QVERIFY2(detail.contains(QStringLiteral("ix_proprietario_cpf_prefix")), qPrintable(detail));
    }

    void serverFoldingMatchesProgramFolding_data() { addEngineRows(); }
    void serverFoldingMatchesProgramFolding()
    {
        ZAPO_TEST_DB(t);
        for (const QString &text : {QStringLiteral("JOSÉ CONCEIÇÃO"), QStringLiteral("ÁÀÂÃÄ ÉÊË ÍÎ ÓÔÕÖ ÚÛÜ Ç Ñ Ý"),
                                    QStringLiteral("ação àé ñ ÿ"), QStringLiteral("Maria-1 (b)"),
                                    // A final sigma, which a context-aware lower() spells apart.
                                    QStringLiteral("ΣΩΚΡΑΤΗΣ ΟΔΥΣΣΕΥΣ"), QStringLiteral("İSTANBUL ДОМ")}) {
            QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select %1")
                                                .arg(t->main().dialect().folded(QStringLiteral(":s"))),
                                 {{":s", text}}).toString(),
                     foldText(text));
            // Independent of the collation's idea of case.
            if (t->engine() == QLatin1String("postgresql"))
                QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select zapo_fold(cast(:s as text) collate \"C\")"),
                                     {{":s", text}}).toString(),
                         foldText(text));
        }
    }

    // The test databases collate as a Brazilian server does, where "z" is
    // followed by letters, not by "{".
    void testDatabasesCollateLikeABrazilianServer()
    {
        auto t = TestDatabase::create(QStringLiteral("postgresql"), false);
        if (!t)
            QSKIP("PostgreSQL test server not available (run through scripts/test)");
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select case when 'luiza' < 'luiz{' then 'C' else 'pt-BR' end")).toString(),
                 QStringLiteral("pt-BR"));
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select 'Ábaco' < 'abelha' and 'abelha' < 'Zebra'")).toBool(), true);
    }

    void referenceRows_data() { addEngineRows(); }
    void referenceRows()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        auto name = [&](const QString &sql) { return Sql::text(Sql::scalar(c, sql)); };
        QCOMPARE(name("select Nome from especie where Id_Especie = 1"), QStringLiteral("CANINA"));
        QCOMPARE(name("select Nome from especie where Id_Especie = 2"), QStringLiteral("FELINA"));
        QVERIFY(!name("select Nome from tipo_procedimento where Id_Tipo_Procedimento = 12").isEmpty());
        QCOMPARE(name("select Nome from perfil where Id_Perfil = 1000"), QStringLiteral("ADMINISTRADOR"));
        QCOMPARE(name("select count(*) from atendimento_status where Nome = 'AGENDADO'"), QStringLiteral("1"));
        QVERIFY(!name("select Nome from atendimento_status where Id_Atendimento_Status = 7").isEmpty());
        QCOMPARE(name("select count(*) from receituario_padrao where Id_Receituario_padrao = 1"), QStringLiteral("1"));
        QVERIFY(!name("select Texto_padrao_orientacao from Orientacao_Padrao_Atend").isEmpty());
        for (const QString &tab : {QStringLiteral("tipo_vacina"), QStringLiteral("tipo_vacina_ocorrencia"),
                                   QStringLiteral("tipo_motivo_nao_vacina")})
            QCOMPARE(name(QStringLiteral("select count(*) from %1 where Nome = 'Não se aplica' "
                                         "and Ind_registro_ativo = 'ATIVO'").arg(tab)),
                     QStringLiteral("1"));
        QCOMPARE(name("select count(*) from usuario"), QStringLiteral("0"));
    }

    void formRegistry_data() { addEngineRows(); }
    void formRegistry()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        QMap<int, QPair<int, QString>> rows; // id -> (tag, type)
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Id_Form, Tag, Tipo_Form, Nome from form"));
        while (q.next()) {
            rows.insert(q.value(0).toInt(), {q.value(1).toInt(), Sql::text(q.value(2))});
            QVERIFY2(!Sql::text(q.value(3)).contains(QLatin1Char('&')) || Sql::text(q.value(3)).contains(" & "),
                     qPrintable(Sql::text(q.value(3))));
            QVERIFY(!Sql::text(q.value(3)).endsWith(QLatin1Char('.')));
        }
        // Every numbered screen of the menu, by its number and tag.
        for (int id : {1, 2, 3, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24, 44, 45, 46, 47, 48, 49, 50, 54}) {
            QVERIFY2(rows.contains(id), qPrintable(QString::number(id)));
            QCOMPARE(rows.value(id).first, id);
            QCOMPARE(rows.value(id).second, QStringLiteral("F"));
        }
        // Reports, including the untagged ones.
        for (int id : {25, 26, 27, 33, 37, 38, 39, 40, 42, 43})
            QCOMPARE(rows.value(id), qMakePair(id, QStringLiteral("R")));
        for (int id : {41, 51, 52})
            QCOMPARE(rows.value(id), qMakePair(0, QStringLiteral("R")));
        // Private attendance (008) reads the permissions of form 5 and
        // transfer (021) those of form 20: both exist; 008 and 021 keep their
        // own rows with the tags that enable their entries.
        QVERIFY(rows.contains(5) && rows.contains(20));
        QCOMPARE(rows.value(8).first, 8);
        QCOMPARE(rows.value(21).first, 21);
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from form where Id_Form = 12"))),
                 QStringLiteral("012 - Tamanho do pelo"));
    }

    void exportTableFromLiveData_data() { addEngineRows(); }
    void exportTableFromLiveData()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        const QStringList setup{
            "insert into padrao.AreaAbrang (COD_AREA_ABRN, DES_AREA_ABRN, COD_DITR_SANI, SIT_REGT) values (1203, 'VILA NOVA', 1, 'A')",
            "insert into distrito (Id_Distrito, Nome, Ind_Status) values (1, 'DS NORTE', 'ATIVO')",
            "insert into endereco (Id_Endereco, Id_Distrito, COD_AREA_ABRN, NOM_LOGR, NUM_IMOV_LOGR) values (1, 1, 1203, 'DAS FLORES', 10)",
            "insert into endereco (Id_Endereco, NOM_LOGR) values (2, 'VELHA')",
            "insert into endereco (Id_Endereco, NOM_LOGR, NUM_BAIR, NOM_BAIR) values (3, 'NOVA', 4, 'CENTRO')",
            "insert into proprietario (Id_Proprietario, Nome, Tipo_Pessoa, Id_Endereco) values (1, 'ANA', 'FÍSICA', 1)",
            "insert into animal (Id_Animal, Id_Proprietario, Nome, Id_Especie, Sinais) values (1, 1, 'REX', 1, 'x')",
            "insert into endereco_animal (Id_Animal, Id_Endereco) values (1, 2)",
            "insert into endereco_animal (Id_Animal, Id_Endereco) values (1, 3)",
            "insert into unidade_trabalho (Id_Unidade_Trabalho, Nome) values (1, 'CENTRO DE ZOONOSES')",
            "insert into profissional (Id_Profissional, Nome) values (1, 'DRA LIA')",
            "insert into profissional (Id_Profissional, Nome) values (2, 'DR RUI')",
            "insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Trabalho, Id_Unidade_Agendada, "
            "Id_Atendimento_Status, Ind_Autoriza_Cirurgia) values (1, 1, 1, 1, 1, 1, 'SIM')",
            "insert into atendimento_profissional (Id_Profissional, Id_Atendimento) values (1, 1)",
            "insert into atendimento_profissional (Id_Profissional, Id_Atendimento) values (2, 1)",
            "insert into procedimento (Id_Tipo_Procedimento, Id_Atendimento) values (12, 1)",
            // an attendance whose owner and animal are gone still exports
            "insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal) values (2, 99, 99)",
        };
        for (const QString &s : setup)
            Sql::exec(c, s);
        Sql::exec(c, QStringLiteral("update atendimento set Data_Hora_Atendimento = :d where Id_Atendimento = 1"),
                  {{":d", QDateTime(QDate(2026, 3, 5), QTime(9, 30))}});
        // The marks are wider than the export's column: cut to it.
        Sql::exec(c, QStringLiteral("update animal set Sinais = :s where Id_Animal = 1"), {{":s", QStringLiteral("Ç").repeated(230)}});

        QCOMPARE(Schema::refreshExportTable(c), 2);
        QCOMPARE(Schema::refreshExportTable(c), 2); // rebuilt, not appended
        QSqlQuery q = Sql::exec(c, QStringLiteral("select * from Exportacao2 where id_atend = 1"));
        QVERIFY(q.next());
        QCOMPARE(q.record().count(), 58);
        QCOMPARE(Sql::text(q, "prop"), QStringLiteral("ANA"));
        QCOMPARE(Sql::text(q, "P_dist"), QStringLiteral("DS NORTE"));
        QCOMPARE(Sql::text(q, "P_DSArea"), QStringLiteral("VILA NOVA"));
        QCOMPARE(Sql::text(q, "P_DSLogr"), QStringLiteral("DAS FLORES"));
        QCOMPARE(Sql::text(q, "A_DSLogr"), QStringLiteral("NOVA")); // the current address
        QCOMPARE(Sql::text(q, "A_DSBair"), QStringLiteral("CENTRO"));
        QCOMPARE(Sql::text(q, "especie"), QStringLiteral("CANINA"));
        QCOMPARE(Sql::text(q, "st_atend"), QStringLiteral("AGENDADO"));
        QCOMPARE(Sql::text(q, "uni_real"), QStringLiteral("CENTRO DE ZOONOSES"));
        QCOMPARE(q.value("td_atend").toDateTime(), QDateTime(QDate(2026, 3, 5), QTime(9, 30)));
        QCOMPARE(Sql::text(q, "AnoAtent"), QStringLiteral("2026"));
        QCOMPARE(Sql::text(q, "MesAtent"), QStringLiteral("3"));
        QStringList profs = Sql::text(q, "profi").split(QStringLiteral(", "));
        profs.sort();
        QCOMPARE(profs, QStringList({"DR RUI", "DRA LIA"}));
        QCOMPARE(Sql::text(q, "proce"), QStringLiteral("CASTRAÇÃO"));
        QCOMPARE(Sql::text(q, "sinais"), QStringLiteral("Ç").repeated(200));
        // Nothing to list is null, as no names are.
        QSqlQuery gone = Sql::exec(c, QStringLiteral("select profi, proce, A_DSLogr from Exportacao2 where id_atend = 2"));
        QVERIFY(gone.next());
        QVERIFY(gone.value(0).isNull() && gone.value(1).isNull() && gone.value(2).isNull());
    }

    void installationScriptCoversEverything()
    {
        const QString script = Schema::tsqlScript();
        for (const Schema::Table &tab : Schema::tables())
            QVERIFY2(script.contains(QStringLiteral("create table dbo.%1 (").arg(tab.name)), qPrintable(tab.name));
        // Each index once: one whose columns on the server (a folded part is
        // the plain column there) are another's is left out.
        QSet<QString> columnsSeen;
        for (const Schema::Index &i : Schema::indexes()) {
            QStringList cols;
            for (const Schema::IndexPart &p : i.parts)
                if (!cols.contains(p.column, Qt::CaseInsensitive))
                    cols << p.column;
            const QString key = (i.table + QLatin1Char('(') + cols.join(QLatin1Char(',')) + QLatin1Char(')') + i.where).toLower();
            const bool first = !columnsSeen.contains(key);
            columnsSeen.insert(key);
            QVERIFY2(script.contains(QStringLiteral("create index %1 on dbo.%2").arg(i.name, i.table)) == first,
                     qPrintable(i.name));
        }
        QVERIFY(script.contains(QStringLiteral("pesquisaLograd")));
        QVERIFY(script.contains(QStringLiteral("int identity(1,1) not null primary key")));
        QVERIFY(script.contains(QStringLiteral("Status_Registro char(20) default 'ATIVO'")));
        QVERIFY(script.contains(QStringLiteral("set identity_insert dbo.tipo_vacina on;")));
        QVERIFY(script.contains(QStringLiteral("N'Terça'")));
        QVERIFY(script.contains(QStringLiteral("create procedure dbo.sp_animal_atendimento")));
        // The server's own rebuild locks the table in one transaction, like refresh-export.
        const QString procedure = script.section(QStringLiteral("create procedure dbo.sp_animal_atendimento"), 1)
                                      .section(QStringLiteral("\ngo\n"), 0, 0);
        const qsizetype begin = procedure.indexOf(QStringLiteral("begin transaction;"));
        const qsizetype lock = procedure.indexOf(QStringLiteral("from Exportacao2 with (tablockx, holdlock)"));
        const qsizetype erase = procedure.indexOf(QStringLiteral("delete from Exportacao2"));
        QVERIFY(begin > 0 && begin < lock && lock < erase);
        QVERIFY(procedure.indexOf(QStringLiteral("commit transaction;")) > erase);
        // Nothing specific to the other engines leaks in.
        QVERIFY(!script.contains(QStringLiteral("zapo_fold")));
        QVERIFY(!script.contains(QStringLiteral("timestamp")));
        QVERIFY(!script.contains(QRegularExpression(QStringLiteral("padrao\\.\\w"))));
        QVERIFY(script.contains(QStringLiteral("padrao..AreaAbrang")));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
