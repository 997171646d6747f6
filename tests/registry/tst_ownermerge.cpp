// Screen 061: a duplicate owner merged into the owner kept. Everything that
// names the duplicate moves (checked over every owner reference the schema
// has), the clerk's ticked fields fill only empty ones, refusals write
// nothing, a merge broken midway leaves nothing, and an older database gets
// the merge record tables when it is opened.
#include "RegistryFixture.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/schema/SchemaModel.h"
#include "registry/OwnerMerge.h"
#include "registry/UnificaProprietarioScreen.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"

#include <QCheckBox>
#include <QTest>

namespace {

int count(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

QString text(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::text(Sql::scalar(c, sql, p));
}

// The columns of the main database that hold an owner's key, found by name
// as the schema spells them: Id_..._Proprietario in any case (the owner, the
// previous owner of a transfer), the flat export's id_prop. The merge record's own columns
// name owners on purpose and are left out.
QList<OwnerMerge::Reference> schemaOwnerColumns()
{
    QList<OwnerMerge::Reference> out;
    for (const Schema::Table &t : Schema::tables()) {
        if (t.db != Schema::Database::Main || t.name.startsWith(QLatin1String("unificacao_proprietario")))
            continue;
        for (const Schema::Column &c : t.columns) {
            const QString n = c.name.toLower();
            // A key of another table's owner; a table's own key names its
            // row, not an owner (but the owner's own key is the owner).
            const bool ownerKey = n.startsWith(QLatin1String("id_")) && n.endsWith(QLatin1String("proprietario"))
                                  && (c.name != t.keyColumn() || t.name == QLatin1String("proprietario"));
            if (ownerKey || n == QLatin1String("id_prop"))
                out << OwnerMerge::Reference{t.name, c.name, t.keyColumn()};
        }
    }
    return out;
}

bool listed(const QList<OwnerMerge::Reference> &l, const OwnerMerge::Reference &r)
{
    for (const OwnerMerge::Reference &x : l)
        if (x.table.compare(r.table, Qt::CaseInsensitive) == 0 && x.column.compare(r.column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Owners 1 ANA (kept: CPF, home phone, no mobile, no e-mail, no address)
// and 2 ANA MARIA (the duplicate: mobile, e-mail, identity card, address),
// 3 CARLA (unrelated). Animals 10, 11 of the duplicate, 12 of ANA; web
// accounts 50 (ANA) and 51 (the duplicate).
void seed(TestDatabase &t)
{
    RegistryFixture::fill(t.dm());
    Connection &c = t.main();
    Sql::exec(c, QStringLiteral("insert into endereco (Id_Endereco, TIP_LOGR, NOM_LOGR, NUM_IMOV_LOGR, NOM_BAIR) "
                                "values (700, 'RUA', 'DAS FLORES', 12, 'CENTRO')"));
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Tipo_Pessoa, Num_CPF_CNPJ, Telefone_Residencial, "
                                "id_usu_web) values (1, 'ANA', 'FÍSICA', '52998224725', '(11)3333-4444', 50)"));
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Tipo_Pessoa, Num_CPF_CNPJ, Num_CI, "
                                "Telefone_Celular, Email_Proprietario, Id_Endereco, id_usu_web) values "
                                "(2, 'ANA MARIA', 'FÍSICA', '52998224700', '1234567', '(11)99999-8888', 'ana@exemplo.com.br', 700, 51)"));
    Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome, Tipo_Pessoa, Num_CPF_CNPJ) values "
                                "(3, 'CARLA', 'JURÍDICA', '11222333000181')"));
    Sql::exec(c, QStringLiteral("insert into usuario (Id_Usuario, Nome, Login, Bloqueado, Inativo, Id_proprietario) values "
                                "(50, 'ANA', '52998224725', 'NÃO', 'NAO', 1), (51, 'ANA MARIA', '52998224700', 'NÃO', 'NAO', 2)"));
    Sql::exec(c, QStringLiteral("insert into animal (Id_Animal, Id_Proprietario, Nome) values (10, 2, 'REX'), (11, 2, 'MEL'), (12, 1, 'TOM')"));
    // Registrations, and TOM once passed from the duplicate to ANA by hand.
    Sql::exec(c, QStringLiteral("insert into Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario, Id_Animal, Id_Anterior_Proprietario, "
                                "Id_Proprietario) values (1, 10, null, 2), (2, 11, null, 2), (3, 12, null, 2), (4, 12, 2, 1)"));
    Sql::exec(c, QStringLiteral("insert into ocorrencia (Id_Ocorrencia, Id_Animal, Id_Tipo_Ocorrencia, Dt_Ocorrencia) values (1, 10, 1, :d)"),
              {{QStringLiteral("d"), QDate(2024, 3, 1)}});
    Sql::exec(c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (10, 700)"));
    // A past attendance and a future one booked at the desk (user 7).
    Sql::exec(c, QStringLiteral("insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Agendada, "
                                "Data_Hora_Atendimento, Id_Atendimento_Status, Inserido_Por) values "
                                "(100, 2, 10, 1, :p, 3, 7), (101, 2, 11, 1, :f, 1, 7), (102, 1, 12, 1, :p, 3, 7)"),
              {{QStringLiteral("p"), QDateTime(QDate(2024, 5, 2), QTime(8, 0))},
               {QStringLiteral("f"), QDateTime(QDate::currentDate().addDays(10), QTime(9, 0))}});
    Sql::exec(c, QStringLiteral("insert into agendamento_especial (Id_Agendamento_Especial, Id_Proprietario, Qt_Agendamento_Reservado, "
                                "Ind_Registro_Excluido) values (1, 2, 3, 'FALSE'), (2, 2, 1, 'TRUE')"));
    Sql::exec(c, QStringLiteral("insert into Exportacao2 (id_prop, prop, id_animal) values (2, 'ANA MARIA', 10)"));
}

// Rows still naming owner `dup` in every owner column of the schema, but
// the owner itself, its web account and the ownership records the merge
// wrote (which say the animal came from the duplicate).
QStringList leftovers(Connection &c, int dup, const QDate &mergeDay)
{
    QStringList out;
    for (const OwnerMerge::Reference &r : schemaOwnerColumns()) {
        QString sql = QStringLiteral("select count(*) from %1 where %2 = :d").arg(r.table, r.column);
        if (listed(OwnerMerge::keptReferences(), r))
            continue;
        if (r.table == QLatin1String("Histo_Muda_Proprietario") && r.column == QLatin1String("Id_Anterior_Proprietario"))
            sql += QStringLiteral(" and not (Id_Proprietario <> :d2 and Dt_Muda_Proprietario = :day)");
        const int n = count(c, sql, {{QStringLiteral("d"), dup}, {QStringLiteral("d2"), dup}, {QStringLiteral("day"), mergeDay}});
        if (n > 0)
            out << QStringLiteral("%1.%2: %3").arg(r.table, r.column).arg(n);
    }
    return out;
}

} // namespace

class TestOwnerMerge : public QObject {
    Q_OBJECT
private slots:
    // Every column of the schema that holds an owner's key is either moved
    // by the merge or deliberately left on the duplicate; a new one makes
    // this fail until the merge knows it.
    void everyOwnerReferenceIsKnown()
    {
        const QList<OwnerMerge::Reference> cols = schemaOwnerColumns();
        QVERIFY(cols.size() >= 7);
        for (const OwnerMerge::Reference &r : cols)
            QVERIFY2(listed(OwnerMerge::movedReferences(), r) || listed(OwnerMerge::keptReferences(), r),
                     qPrintable(QStringLiteral("%1.%2 names an owner and the merge does not move it").arg(r.table, r.column)));
        for (const OwnerMerge::Reference &r : OwnerMerge::movedReferences()) {
            const Schema::Table *t = Schema::findTable(r.table);
            QVERIFY2(t && t->hasColumn(r.column), qPrintable(r.table + QLatin1Char('.') + r.column));
            if (!r.key.isEmpty())
                QVERIFY2(t->hasColumn(r.key), qPrintable(r.table + QLatin1Char('.') + r.key));
        }
    }

    // One row naming the duplicate in every owner column the schema has,
    // written with nothing else: after the merge none is left.
    void movesARowOfEveryReference_data() { addEngineRows(); }
    void movesARowOfEveryReference()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into proprietario (Id_Proprietario, Nome) values (1, 'A'), (2, 'B')"));
        int key = 9000;
        for (const OwnerMerge::Reference &r : schemaOwnerColumns()) {
            if (listed(OwnerMerge::keptReferences(), r))
                continue;
            const Schema::Table *tab = Schema::findTable(r.table);
            QVERIFY(tab);
            if (tab->key == Schema::KeyKind::Program)
                Sql::exec(c, QStringLiteral("insert into %1 (%2, %3) values (:k, 2)").arg(r.table, tab->keyColumn(), r.column),
                          {{QStringLiteral("k"), ++key}});
            else
                Sql::exec(c, QStringLiteral("insert into %1 (%2) values (2)").arg(r.table, r.column));
        }
        OwnerMergeStore store(c);
        const OwnerMergeStore::Result res = store.merge(1, 2, {});
        QCOMPARE(res.animals, 1);
        QCOMPARE(leftovers(c, 2, QDate::currentDate()), QStringList());
        // Each moved row is in the merge record, by table, column and key.
        QCOMPARE(count(c, QStringLiteral("select count(*) from unificacao_proprietario_item where Id_Unificacao_Proprietario = :i"),
                       {{QStringLiteral("i"), res.id}}),
                 6); // the animal, its ownership record, two history columns, one attendance, one grant
    }

    // The whole road through the screen on both engines.
    void mergesThroughTheScreen_data() { addEngineRows(); }
    void mergesThroughTheScreen()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        UnificaProprietarioScreen s;
        s.showOwner(1, 1);
        s.showOwner(2, 2);
        QVERIFY(s.sideText(2).contains(QStringLiteral("Animais (2)")));
        QVERIFY(s.sideText(2).contains(QStringLiteral("10 - REX")));
        QVERIFY(s.sideText(2).contains(QStringLiteral("Agendamentos especiais (1)")));
        QVERIFY(s.sideText(2).contains(QStringLiteral("52998224700 (bloqueado: NÃO)")));
        QVERIFY(s.sideText(2).contains(QStringLiteral("DAS FLORES")));
        // Offered: only what ANA lacks and the duplicate has.
        QCOMPARE(s.fieldBoxes().keys(), (QStringList{QStringLiteral("Email_Proprietario"), QStringLiteral("Id_Endereco"),
                                                     QStringLiteral("Num_CI"), QStringLiteral("Telefone_Celular")}));
        s.fieldBoxes().value(QStringLiteral("Num_CI"))->setChecked(false);
        if (t->engine() == QLatin1String("sqlite")) {
            s.show();
            shot(&s, "061-unificar");
        }
        msg.answers = {true};
        s.unificar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QVERIFY(msg.underTransaction.isEmpty());

        QCOMPARE(leftovers(c, 2, QDate::currentDate()), QStringList());
        QCOMPARE(count(c, QStringLiteral("select count(*) from animal where Id_Proprietario = 1")), 3);
        QCOMPARE(count(c, QStringLiteral("select count(*) from atendimento where Id_Proprietario = 1")), 3);
        QCOMPARE(count(c, QStringLiteral("select count(*) from agendamento_especial where Id_Proprietario = 1")), 2);
        // One ownership record per animal, as a transfer writes it.
        QSqlQuery h = Sql::exec(c, QStringLiteral("select Id_Animal, Id_Anterior_Proprietario, Id_Proprietario, Dt_Muda_Proprietario, "
                                                  "Inserido_Por from Histo_Muda_Proprietario where Id_Histo_Muda_Proprietario > 4 "
                                                  "order by Id_Animal"));
        for (int a : {10, 11}) {
            QVERIFY(h.next());
            QCOMPARE(h.value(0).toInt(), a);
            QCOMPARE(h.value(1).toInt(), 2);
            QCOMPARE(h.value(2).toInt(), 1);
            QCOMPARE(h.value(3).toDate(), QDate::currentDate());
            QCOMPARE(h.value(4).toInt(), 7);
        }
        QVERIFY(!h.next());
        h = QSqlQuery();
        // Older history now names ANA; occurrences and address links follow their animals.
        QCOMPARE(text(c, QStringLiteral("select Id_Anterior_Proprietario from Histo_Muda_Proprietario where Id_Histo_Muda_Proprietario = 4")),
                 QStringLiteral("1"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from ocorrencia where Id_Animal = 10")), 1);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = 10 and Id_Endereco = 700")), 1);
        // The ticked fields filled; the unticked left empty; the rest kept.
        QCOMPARE(text(c, QStringLiteral("select Telefone_Celular from proprietario where Id_Proprietario = 1")), QStringLiteral("(11)99999-8888"));
        QCOMPARE(text(c, QStringLiteral("select Email_Proprietario from proprietario where Id_Proprietario = 1")), QStringLiteral("ana@exemplo.com.br"));
        QCOMPARE(text(c, QStringLiteral("select Id_Endereco from proprietario where Id_Proprietario = 1")), QStringLiteral("700"));
        QCOMPARE(text(c, QStringLiteral("select Num_CI from proprietario where Id_Proprietario = 1")), QString());
        QCOMPARE(text(c, QStringLiteral("select Num_CPF_CNPJ from proprietario where Id_Proprietario = 1")), QStringLiteral("52998224725"));
        // The duplicate inactive, its account blocked and inactive; ANA's untouched.
        QCOMPARE(text(c, QStringLiteral("select Status_Registro from proprietario where Id_Proprietario = 2")), QStringLiteral("INATIVO"));
        QCOMPARE(text(c, QStringLiteral("select Bloqueado || Inativo from usuario where Id_Usuario = 51")), QStringLiteral("SIMSIM"));
        QCOMPARE(text(c, QStringLiteral("select Bloqueado || Inativo from usuario where Id_Usuario = 50")), QStringLiteral("NÃONAO"));
        // The record: who, what, into what, when, and what was copied.
        QSqlQuery m = Sql::exec(c, QStringLiteral("select Id_Proprietario_Mantido, Id_Proprietario_Duplicado, Campos_Copiados, Qt_Animais, "
                                                  "Qt_Atendimentos, Qt_Agendamentos, Qt_Historicos, Inserido_Por, Inserido_Em "
                                                  "from unificacao_proprietario"));
        QVERIFY(m.next());
        QCOMPARE(m.value(0).toInt(), 1);
        QCOMPARE(m.value(1).toInt(), 2);
        QCOMPARE(Sql::text(m.value(2)), QStringLiteral("Telefone_Celular, Email_Proprietario, Id_Endereco"));
        QCOMPARE(m.value(3).toInt(), 2);
        QCOMPARE(m.value(4).toInt(), 2);
        QCOMPARE(m.value(5).toInt(), 2);
        QCOMPARE(m.value(6).toInt(), 4); // three registrations and one previous owner
        QCOMPARE(m.value(7).toInt(), 7);
        QVERIFY(m.value(8).toDateTime().isValid());
        QVERIFY(!m.next());
        m = QSqlQuery();
        // The screen shows the result: the duplicate inactive and empty.
        QVERIFY(s.sideText(2).contains(QStringLiteral("Situação: INATIVO")));
        QVERIFY(s.sideText(2).contains(QStringLiteral("Animais (0)")));

        // Merging it again is refused: it is no longer active.
        s.unificar();
        QVERIFY(msg.last().contains(QStringLiteral("inativo")));
        QCOMPARE(count(c, QStringLiteral("select count(*) from unificacao_proprietario")), 1);
    }

    void refusals_data() { addEngineRows(); }
    void refusals()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        RecordingMessages msg;
        UnificaProprietarioScreen s;
        s.unificar();
        QCOMPARE(msg.last(), QStringLiteral("Falta selecionar o proprietário que fica."));
        s.showOwner(1, 1);
        s.showOwner(2, 1);
        QVERIFY(s.fieldBoxes().isEmpty());
        s.unificar();
        QCOMPARE(msg.last(), QStringLiteral("O proprietário que fica e o duplicado são o mesmo: não há o que unificar."));

        // A booking the web service made with the duplicate's account and
        // still holds open: refused, naming it.
        Sql::exec(c, QStringLiteral("insert into atendimento (Id_Atendimento, Id_Proprietario, Id_Animal, Id_Unidade_Agendada, "
                                    "Data_Hora_Atendimento, Id_Atendimento_Status, Inserido_Por) values (110, 2, 11, 1, :f, 2, 51)"),
                  {{QStringLiteral("f"), QDateTime(QDate::currentDate().addDays(3), QTime(14, 30))}});
        s.showOwner(2, 2);
        msg.clear();
        s.unificar();
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(msg.shown.last().kind, QStringLiteral("warning"));
        QVERIFY2(msg.last().contains(QDate::currentDate().addDays(3).toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" 14:30 - UNIDADE 1 - MEL")),
                 qPrintable(msg.last()));
        QCOMPARE(text(c, QStringLiteral("select Status_Registro from proprietario where Id_Proprietario = 2")), QStringLiteral("ATIVO"));
        // Once attended (or past) it no longer stands in the way.
        Sql::exec(c, QStringLiteral("update atendimento set Id_Atendimento_Status = 3 where Id_Atendimento = 110"));
        QVERIFY(OwnerMergeStore(c).openWebBookings(2).isEmpty());

        // Different person types: asked, and No writes nothing.
        s.showOwner(1, 3);
        msg.clear();
        msg.answers = {false};
        s.unificar();
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(msg.shown.first().kind, QStringLiteral("confirm"));
        QVERIFY(msg.last().contains(QStringLiteral("JURÍDICA")) && msg.last().contains(QStringLiteral("FÍSICA")));
        QCOMPARE(count(c, QStringLiteral("select count(*) from animal where Id_Proprietario = 3")), 0);
        // No to the final question writes nothing either.
        msg.answers = {true, false};
        s.unificar();
        QCOMPARE(count(c, QStringLiteral("select count(*) from unificacao_proprietario")), 0);
        msg.answers = {true, true};
        s.unificar();
        QCOMPARE(msg.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from animal where Id_Proprietario = 3")), 2);
    }

    // Broken midway or overtaken by another workstation: nothing written.
    void failuresWriteNothing_data() { addEngineRows(); }
    void failuresWriteNothing()
    {
        ZAPO_TEST_DB(t);
        seed(*t);
        Connection &c = t->main();
        for (const QString &at : {QStringLiteral("animais"), QStringLiteral("usuario"), QStringLiteral("registro")}) {
            OwnerMergeStore store(c);
            store.afterStep = [at](const QString &step) {
                if (step == at)
                    throw DbError(QStringLiteral("falha simulada"));
            };
            QVERIFY_THROWS_EXCEPTION(DbError, store.merge(1, 2, {QStringLiteral("Email_Proprietario")}));
            QCOMPARE(count(c, QStringLiteral("select count(*) from animal where Id_Proprietario = 2")), 2);
            QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario")), 4);
            QCOMPARE(text(c, QStringLiteral("select Status_Registro from proprietario where Id_Proprietario = 2")), QStringLiteral("ATIVO"));
            QCOMPARE(text(c, QStringLiteral("select Email_Proprietario from proprietario where Id_Proprietario = 1")), QString());
            QCOMPARE(count(c, QStringLiteral("select count(*) from unificacao_proprietario")), 0);
        }

        // ANA's e-mail typed on another workstation after the screen showed
        // it empty: the merge is refused, and the other desk's value stays.
        RecordingMessages msg;
        UnificaProprietarioScreen s;
        s.showOwner(1, 1);
        s.showOwner(2, 2);
        QVERIFY(s.fieldBoxes().contains(QStringLiteral("Email_Proprietario")));
        {
            auto other = t->openAnother();
            Sql::exec(other->main(), QStringLiteral("update proprietario set Email_Proprietario = 'outra@exemplo.com.br' where Id_Proprietario = 1"));
        }
        s.unificar();
        QVERIFY2(msg.last().contains(QStringLiteral("\"E-mail\"")), qPrintable(msg.last()));
        QCOMPARE(text(c, QStringLiteral("select Email_Proprietario from proprietario where Id_Proprietario = 1")),
                 QStringLiteral("outra@exemplo.com.br"));
        QCOMPARE(text(c, QStringLiteral("select Status_Registro from proprietario where Id_Proprietario = 2")), QStringLiteral("ATIVO"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from animal where Id_Proprietario = 2")), 2);
        // Shown again as it now is: nothing left to fill there.
        QVERIFY(!s.fieldBoxes().contains(QStringLiteral("Email_Proprietario")));
    }

    // A database made before merges existed gets the record tables and the
    // registry rows of the new screen and report when it is opened.
    void olderDatabaseGetsTheTables_data() { addEngineRows(); }
    void olderDatabaseGetsTheTables()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("drop table unificacao_proprietario_item"));
        Sql::exec(c, QStringLiteral("drop table unificacao_proprietario"));
        Sql::exec(c, QStringLiteral("delete from form where Id_Form in (53, 61)"));
        auto other = t->openAnother();
        QCOMPARE(count(other->main(), QStringLiteral("select count(*) from unificacao_proprietario")), 0);
        QCOMPARE(count(other->main(), QStringLiteral("select count(*) from unificacao_proprietario_item")), 0);
        QCOMPARE(count(other->main(), QStringLiteral("select count(*) from form where Id_Form in (53, 61)")), 2);
        QCOMPARE(text(other->main(), QStringLiteral("select Tipo_Form from form where Id_Form = 61")), QStringLiteral("F"));
        // Opened again: nothing more to do, nothing doubled.
        auto third = t->openAnother();
        QCOMPARE(count(third->main(), QStringLiteral("select count(*) from form where Id_Form = 61")), 1);
    }
};

QTEST_MAIN(TestOwnerMerge)
#include "tst_ownermerge.moc"
