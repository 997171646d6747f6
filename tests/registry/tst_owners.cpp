// Saving owners with their address and web account, the refusals in the
// order the staff see them, deleting, and the owner searches.
#include "RegistryFixture.h"
#include "db/DbError.h"
#include "db/PasswordDigest.h"
#include "db/Transaction.h"
#include "ui/SearchResultModel.h"
#include "registry/OwnerStore.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>
#include <QTest>

namespace {

OwnerEdit validEdit(const QString &nome = QStringLiteral("JOANA D'ARC SILVA"),
                    const QString &cpf = QStringLiteral("52998224725"),
                    const QString &email = QStringLiteral("joana@exemplo.com"))
{
    OwnerEdit e;
    Proprietario &o = e.owner;
    o.id_Unidade_Trabalho = 1;
    o.Nome = nome;
    o.Telefone_Residencial = QStringLiteral("(11)33334444");
    o.Tipo_Pessoa = QStringLiteral("FÍSICA");
    o.Num_CPF_CNPJ = cpf;
    o.Num_CI = QStringLiteral("12345678");
    o.Email_Proprietario = email;
    Endereco &a = e.address;
    a.Id_Distrito = 3;
    a.COD_AREA_ABRN = 3001;
    a.NUM_LOGR = 1001;
    a.NUM_SEQU_LOGR = 1;
    a.TIP_LOGR = QStringLiteral("RUA");
    a.NOM_LOGR = QStringLiteral("JOANA D'ARC");
    a.NUM_IMOV_LOGR = 101;
    a.DES_CMPL_ENDR = QStringLiteral("CASA 2");
    a.NUM_BAIR = 1;
    a.NOM_BAIR = QStringLiteral("CENTRO");
    a.NUM_CEP = QStringLiteral("08000000");
    a.Ind_Endereco_Informado = QStringLiteral("SIM");
    e.password = QStringLiteral("Segredo123");
    return e;
}

QVariantMap row(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    QSqlQuery q = Sql::exec(c, sql, p);
    QVariantMap r;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            r.insert(q.record().fieldName(i).toLower(), q.value(i));
    return r;
}

int count(Connection &c, const QString &table)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from ") + table).toInt();
}

} // namespace

class TestOwners : public QObject {
    Q_OBJECT
private slots:
    void newOwnerWritesLinkedRows_data() { addEngineRows(); }
    void newOwnerWritesLinkedRows()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        OwnerEdit e = validEdit();
        QVERIFY(!store.validate(e, true));
        const int id = store.insert(e);

        const QVariantMap o = row(t->main(), QStringLiteral("select * from proprietario where Id_Proprietario = :i"), {{"i", id}});
        QCOMPARE(Sql::text(o.value("nome")), QStringLiteral("JOANA D'ARC SILVA"));
        QCOMPARE(Sql::text(o.value("status_registro")), QStringLiteral("ATIVO"));
        QCOMPARE(Sql::text(o.value("tipo_pessoa")), QStringLiteral("FÍSICA"));
        QCOMPARE(Sql::text(o.value("num_cpf_cnpj")), QStringLiteral("52998224725"));
        QCOMPARE(o.value("inserido_por").toInt(), 7);
        QVERIFY(o.value("inserido_em").toDateTime().isValid());

        const QVariantMap a = row(t->main(), QStringLiteral("select * from endereco where Id_Endereco = :i"), {{"i", o.value("id_endereco")}});
        QCOMPARE(Sql::text(a.value("nom_logr")), QStringLiteral("JOANA D'ARC"));
        QCOMPARE(Sql::text(a.value("num_cep")), QStringLiteral("08000000"));
        QCOMPARE(Sql::text(a.value("ind_endereco_informado")), QStringLiteral("SIM"));
        QCOMPARE(a.value("num_imov_logr").toInt(), 101);

        const QVariantMap u = row(t->main(), QStringLiteral("select * from usuario where Id_proprietario = :i"), {{"i", id}});
        QCOMPARE(o.value("id_usu_web").toInt(), u.value("id_usuario").toInt());
        QCOMPARE(Sql::text(u.value("login")), QStringLiteral("52998224725"));
        QCOMPARE(Sql::text(u.value("senha_crip")), PasswordDigest::of(QStringLiteral("Segredo123")));
        QCOMPARE(Sql::text(u.value("bloqueado")), QStringLiteral("NÃO"));
        QCOMPARE(Sql::text(u.value("inativo")), QStringLiteral("NAO"));
        QCOMPARE(Sql::text(u.value("ind_solicitacao_nova_senha")), QStringLiteral("N"));
        QCOMPARE(Sql::text(u.value("email_usu")), QStringLiteral("joana@exemplo.com"));
        QCOMPARE(u.value("id_unidade_trabalho").toInt(), 1); // the staff user's unit
        QCOMPARE(u.value("id_perfil").toInt(), 2);
        // Only the home telephone given: its area code and number.
        QCOMPARE(Sql::text(u.value("ddd_tel_usu")), QStringLiteral("11"));
        QCOMPARE(Sql::text(u.value("telefone_usu")), QStringLiteral("33334444"));

        // A mobile telephone comes first; a ticked block is "SIM".
        OwnerEdit m = validEdit(QStringLiteral("O'BRIEN COSTA"), QStringLiteral("11144477735"), QStringLiteral("obrien@exemplo.com"));
        m.owner.Telefone_Celular = QStringLiteral("(21)98765-4321");
        m.blockTicked = true;
        const int id2 = store.insert(m);
        const QVariantMap u2 = row(t->main(), QStringLiteral("select * from usuario where Id_proprietario = :i"), {{"i", id2}});
        QCOMPARE(Sql::text(u2.value("ddd_tel_usu")), QStringLiteral("21"));
        QCOMPARE(Sql::text(u2.value("telefone_usu")), QStringLiteral("98765-4321"));
        QCOMPARE(Sql::text(u2.value("bloqueado")), QStringLiteral("SIM"));

        const auto loaded = store.load(id2);
        QVERIFY(loaded);
        QCOMPARE(loaded->owner.Nome, QStringLiteral("O'BRIEN COSTA"));
        QCOMPARE(loaded->address.NOM_LOGR, QStringLiteral("JOANA D'ARC"));
        QVERIFY(loaded->web);
        QCOMPARE(loaded->web->Bloqueado, QStringLiteral("SIM"));
        QCOMPARE(store.activeOwnerIds(), QList<int>({id, id2}));
    }

    void refusalsInOrder_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("mark");
        auto add = [](const char *name, int change, OwnerField f, const char *msg, bool mark = true) {
            QTest::newRow(name) << change << int(f) << QString::fromUtf8(msg) << mark;
        };
        add("no unit", 1, OwnerField::Unidade, "Falta preencher campo unidade.");
        add("no name", 2, OwnerField::Nome, "Falta preencher campo nome do proprietário.");
        add("single word", 3, OwnerField::Nome, "Falta informar o sobre nome do proprietário.");
        add("no telephone", 4, OwnerField::Telefone, "Falta informar o número o telefone.");
        add("no person type", 5, OwnerField::TipoPessoa, "Falta selecionar o campo CPF/CNPJ.");
        add("no e-mail", 6, OwnerField::Email, "Falta informar o e-mail. ");
        add("bad e-mail", 7, OwnerField::Email, "E-mail invalido.");
        add("no password", 8, OwnerField::Senha, "Falta informa a senha.");
        add("short password", 9, OwnerField::Senha, "A senha deve ter 10 caracteres.");
        add("no district", 10, OwnerField::Distrito, "Falta preencher campo distrito.");
        add("no street type", 11, OwnerField::TipoLogradouro, "Falta preencher o tipo de logradouro.");
        add("no street code", 12, OwnerField::CodLogradouro, "Falta preencher o código do logradouro.");
        add("no sequence", 13, OwnerField::Seq, "Falta preencher o campo Seq. Reveja o endereço do proprietário.");
        add("no street", 14, OwnerField::Logradouro, "Falta preencher o campo logradouro.");
        add("no house number", 15, OwnerField::Numero, "Falta preencher o número do imóvel.");
        add("no neighbourhood", 16, OwnerField::Bairro, "Falta preencher o bairro do proprietário.");
        add("all-equal CPF", 17, OwnerField::CpfCnpj, "CPF Inválido.");
        add("short CPF", 18, OwnerField::CpfCnpj, "CPF Inválido.");
        add("all-zero CNPJ", 19, OwnerField::CpfCnpj, "CNPJ invalido!", false);
        add("name and telephone: name first", 20, OwnerField::Nome, "Falta informar o sobre nome do proprietário.");
    }
    void refusalsInOrder()
    {
        QFETCH(int, change);
        QFETCH(int, field);
        QFETCH(QString, message);
        QFETCH(bool, mark);
        OwnerEdit e = validEdit();
        switch (change) {
        case 1: e.owner.id_Unidade_Trabalho = QVariant(); break;
        case 2: e.owner.Nome = QStringLiteral("   "); break;
        case 3: e.owner.Nome = QStringLiteral(" JOANA "); break;
        case 4: e.owner.Telefone_Residencial = QStringLiteral("()"); break;
        case 5: e.owner.Tipo_Pessoa.clear(); break;
        case 6: e.owner.Email_Proprietario = QStringLiteral(" "); break;
        case 7: e.owner.Email_Proprietario = QStringLiteral("joana@a.com"); break;
        case 8: e.password = QStringLiteral("  "); break;
        case 9: e.password = QStringLiteral("Segredo12 "); break;
        case 10: e.address.Id_Distrito = QVariant(); break;
        case 11: e.address.TIP_LOGR.clear(); break;
        case 12: e.address.NUM_LOGR = QVariant(); break;
        case 13: e.address.NUM_SEQU_LOGR = QVariant(); break;
        case 14: e.address.NOM_LOGR.clear(); break;
        case 15: e.address.NUM_IMOV_LOGR = QVariant(); break;
        case 16: e.address.NUM_BAIR = QVariant(); break;
        case 17: e.owner.Num_CPF_CNPJ = QStringLiteral("11111111111"); break;
        case 18: e.owner.Num_CPF_CNPJ = QStringLiteral("5299822472"); break;
        case 19:
            e.owner.Tipo_Pessoa = QStringLiteral("JURÍDICA");
            e.owner.Num_CPF_CNPJ = QStringLiteral("00000000000000");
            break;
        case 20:
            e.owner.Nome = QStringLiteral("JOANA");
            e.owner.Telefone_Residencial.clear();
            break;
        }
        const Refusal r = OwnerStore::validateFields(e);
        QCOMPARE(int(r.field), field);
        QCOMPARE(r.message, message);
        QCOMPARE(r.mark, mark);
    }

    void passwordRulesFollowThePasswordBox()
    {
        OwnerEdit e = validEdit();
        e.password.clear();
        e.passwordRequired = false; // the stored digest stays
        QVERIFY(!OwnerStore::validateFields(e));
        e.passwordRequired = true;
        e.password = QStringLiteral("  Segredo123 "); // blanks around do not count
        QVERIFY(!OwnerStore::validateFields(e));
        e.owner.Tipo_Pessoa = QStringLiteral("JURÍDICA");
        e.owner.Num_CPF_CNPJ = QStringLiteral("11222333000181");
        QVERIFY(!OwnerStore::validateFields(e));
    }

    void duplicatesAmongActiveOwners_data() { addEngineRows(); }
    void duplicatesAmongActiveOwners()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int first = store.insert(validEdit());

        // Same tax number.
        Refusal r = store.validate(validEdit(QStringLiteral("OUTRA PESSOA"), QStringLiteral("52998224725"),
                                             QStringLiteral("outra@exemplo.com")), true);
        QCOMPARE(r.field, OwnerField::CpfCnpj);
        QCOMPARE(r.message, QStringLiteral("CPF/CNPJ já cadastrado."));
        // The same base number with other check digits is found when leaving the field.
        QCOMPARE(store.ownerSharingBaseNumber(QStringLiteral("529.982.247-00")), std::optional<int>(first));
        QCOMPARE(store.ownerSharingBaseNumber(QStringLiteral("111.444.777-35")), std::nullopt);
        QCOMPARE(store.ownerSharingBaseNumber(QStringLiteral("5299")), std::nullopt);

        // Same e-mail, whatever the case and blanks.
        r = store.validate(validEdit(QStringLiteral("OUTRA PESSOA"), QStringLiteral("11144477735"),
                                     QStringLiteral(" JOANA@Exemplo.com ")), true);
        QCOMPARE(r.field, OwnerField::Email);
        QCOMPARE(r.message, QStringLiteral("E-mail já cadastrado na base de dados."));
        QVERIFY(r.mark);

        // The e-mail of a staff user (no owner has it).
        Sql::exec(t->main(), QStringLiteral("insert into usuario (Nome, Login, Email_usu, Bloqueado, Inativo) "
                                            "values ('ATENDENTE', 'atendente', 'staff@exemplo.com', 'NAO', 'NAO')"));
        r = store.validate(validEdit(QStringLiteral("OUTRA PESSOA"), QStringLiteral("11144477735"),
                                     QStringLiteral("staff@exemplo.com")), true);
        QCOMPARE(r.message, QStringLiteral("E-mail já cadastrado na base de dados."));

        // An inactive owner is no duplicate.
        Sql::exec(t->main(), QStringLiteral("update proprietario set Status_Registro = 'INATIVO' where Id_Proprietario = :i"),
                  {{"i", first}});
        QVERIFY(!store.validate(validEdit(QStringLiteral("OUTRA PESSOA"), QStringLiteral("52998224725"),
                                          QStringLiteral("nova@exemplo.com")), true));
    }

    void editingKeepsOwnNumberAndAccount_data() { addEngineRows(); }
    void editingKeepsOwnNumberAndAccount()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int id = store.insert(validEdit());
        const int other = store.insert(validEdit(QStringLiteral("MARIA SOUZA"), QStringLiteral("11144477735"),
                                                 QStringLiteral("maria@exemplo.com")));
        auto loaded = store.load(id);
        QVERIFY(loaded);

        // The owner being altered is not its own duplicate.
        QCOMPARE(store.ownerSharingBaseNumber(loaded->owner.Num_CPF_CNPJ, id), std::nullopt);
        OwnerEdit e;
        e.owner = loaded->owner;
        e.address = loaded->address;
        e.loadedOwner = loaded->owner;
        e.loadedAddress = loaded->address;
        e.passwordRequired = false;
        QVERIFY(!store.validate(e, false));
        // ... but another owner's number or e-mail still is.
        e.owner.Num_CPF_CNPJ = QStringLiteral("11144477735");
        QCOMPARE(store.validate(e, false).message, QStringLiteral("CPF/CNPJ já cadastrado."));
        e.owner.Num_CPF_CNPJ = loaded->owner.Num_CPF_CNPJ;
        e.owner.Email_Proprietario = QStringLiteral("maria@exemplo.com");
        QCOMPARE(store.validate(e, false).message, QStringLiteral("E-mail já cadastrado na base de dados."));
        Q_UNUSED(other);

        // Saving: the digest stays, the web block is kept on request.
        Sql::exec(t->main(), QStringLiteral("update usuario set Bloqueado = 'WEB' where Id_proprietario = :i"), {{"i", id}});
        e.owner.Email_Proprietario = QStringLiteral("joana.nova@exemplo.com");
        e.owner.Nome = QStringLiteral("JOANA D'ARC SANTOS");
        e.owner.Telefone_Residencial = QStringLiteral("(19)32324545");
        e.address.NUM_IMOV_LOGR = 100;
        e.address.NUM_CEP = QStringLiteral("08000001");
        e.keepWebBlock = true;
        store.update(e);
        const QVariantMap u = row(t->main(), QStringLiteral("select * from usuario where Id_proprietario = :i"), {{"i", id}});
        QCOMPARE(Sql::text(u.value("bloqueado")), QStringLiteral("WEB"));
        QCOMPARE(Sql::text(u.value("senha_crip")), PasswordDigest::of(QStringLiteral("Segredo123")));
        QCOMPARE(Sql::text(u.value("nome")), QStringLiteral("JOANA D'ARC SANTOS"));
        QCOMPARE(Sql::text(u.value("email_usu")), QStringLiteral("joana.nova@exemplo.com"));
        QCOMPARE(Sql::text(u.value("ddd_tel_usu")), QStringLiteral("19"));
        QCOMPARE(u.value("modificado_por").toInt(), 7);
        loaded = store.load(id);
        QCOMPARE(loaded->owner.Nome, QStringLiteral("JOANA D'ARC SANTOS"));
        QCOMPARE(loaded->address.NUM_CEP, QStringLiteral("08000001"));
        QCOMPARE(loaded->address.Id_Endereco, e.address.Id_Endereco); // rewritten, not duplicated
        QCOMPARE(count(t->main(), QStringLiteral("endereco")), 2);

        // A new password and lifting the block.
        e.loadedOwner = loaded->owner;
        e.loadedAddress = loaded->address;
        e.keepWebBlock = false;
        e.passwordRequired = true;
        e.password = QStringLiteral("Outra12345");
        store.update(e);
        const QVariantMap u2 = row(t->main(), QStringLiteral("select * from usuario where Id_proprietario = :i"), {{"i", id}});
        QCOMPARE(Sql::text(u2.value("bloqueado")), QStringLiteral("NÃO"));
        QCOMPARE(Sql::text(u2.value("senha_crip")), PasswordDigest::of(QStringLiteral("Outra12345")));
        QCOMPARE(count(t->main(), QStringLiteral("usuario")), 2);
    }

    void webDigestRuleCountsOnlyTheWebUnit_data() { addEngineRows(); }
    void webDigestRuleCountsOnlyTheWebUnit()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int id = store.insert(validEdit());
        QVERIFY(!store.hasWebDigest(id)); // created in the staff user's unit 1
        Sql::exec(t->main(), QStringLiteral("update usuario set Id_Unidade_Trabalho = 15 where Id_proprietario = :i"), {{"i", id}});
        QVERIFY(store.hasWebDigest(id));
        const auto d = store.load(id);
        QCOMPARE(store.blockState(d->owner.id_usu_web), QStringLiteral("NÃO"));
    }

    void editingOwnerWithoutAccountCreatesIt_data() { addEngineRows(); }
    void editingOwnerWithoutAccountCreatesIt()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int id = store.insert(validEdit());
        Sql::exec(t->main(), QStringLiteral("update proprietario set id_usu_web = null"));
        Sql::exec(t->main(), QStringLiteral("delete from usuario"));
        const auto d = store.load(id);
        QVERIFY(!d->web);
        OwnerEdit e;
        e.owner = d->owner;
        e.address = d->address;
        e.loadedOwner = d->owner;
        e.loadedAddress = d->address;
        e.password = QStringLiteral("Nova123456");
        store.update(e);
        const QVariantMap u = row(t->main(), QStringLiteral("select * from usuario where Id_proprietario = :i"), {{"i", id}});
        QVERIFY(!u.isEmpty());
        QCOMPARE(Sql::text(u.value("login")), QStringLiteral("52998224725"));
        QCOMPARE(Sql::text(u.value("senha_crip")), PasswordDigest::of(QStringLiteral("Nova123456")));
        QCOMPARE(store.load(id)->owner.id_usu_web.toInt(), u.value("id_usuario").toInt());
    }

    void failedSaveLeavesNothing_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("step");
        for (const char *engine : {"sqlite", "postgresql"})
            for (const char *step : {"endereco", "proprietario", "usuario", "vinculo"})
                QTest::addRow("%s %s", engine, step) << QString::fromLatin1(engine) << QString::fromLatin1(step);
    }
    void failedSaveLeavesNothing()
    {
        ZAPO_TEST_DB(t);
        QFETCH(QString, step);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        store.afterStep = [step](const QString &s) {
            if (s == step)
                throw DbError(QStringLiteral("queda simulada"));
        };
        QVERIFY_THROWS_EXCEPTION(DbError, store.insert(validEdit()));
        QCOMPARE(count(t->main(), QStringLiteral("endereco")), 0);
        QCOMPARE(count(t->main(), QStringLiteral("proprietario")), 0);
        QCOMPARE(count(t->main(), QStringLiteral("usuario")), 0);

        // An alteration broken midway leaves the owner as it was.
        store.afterStep = nullptr;
        const int id = store.insert(validEdit());
        const auto d = store.load(id);
        OwnerEdit e;
        e.owner = d->owner;
        e.address = d->address;
        e.loadedOwner = d->owner;
        e.loadedAddress = d->address;
        e.passwordRequired = false;
        e.owner.Nome = QStringLiteral("NOME NOVO");
        e.address.NOM_LOGR = QStringLiteral("SÃO JOÃO");
        store.afterStep = [step](const QString &s) {
            if (s == step || (step == QLatin1String("vinculo") && s == QLatin1String("usuario")))
                throw DbError(QStringLiteral("queda simulada"));
        };
        QVERIFY_THROWS_EXCEPTION(DbError, store.update(e));
        QCOMPARE(store.load(id)->owner.Nome, QStringLiteral("JOANA D'ARC SILVA"));
        QCOMPARE(store.load(id)->address.NOM_LOGR, QStringLiteral("JOANA D'ARC"));
    }

    void deleting_data() { addEngineRows(); }
    void deleting()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int withAnimal = store.insert(validEdit());
        const int transferred = store.insert(validEdit(QStringLiteral("MARIA SOUZA"), QStringLiteral("11144477735"),
                                                       QStringLiteral("maria@exemplo.com")));
        const int alone = store.insert(validEdit(QStringLiteral("PEDRO LIMA"), QStringLiteral("12345678909"),
                                                 QStringLiteral("pedro@exemplo.com")));
        Sql::exec(t->main(), QStringLiteral("insert into animal (Id_Proprietario, Nome) values (:p, 'REX')"), {{"p", withAnimal}});
        Sql::exec(t->main(), QStringLiteral("insert into Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario, Id_Animal, Id_Proprietario) "
                                            "values (1, 99, :p)"), {{"p", transferred}});
        QVERIFY(store.hasAnimals(withAnimal));
        QVERIFY(store.hasAnimals(transferred));
        QVERIFY(!store.hasAnimals(alone));
        const QVariant address = store.load(alone)->owner.Id_Endereco;
        store.remove(alone);
        QVERIFY(!store.load(alone));
        QVERIFY(!AddressStore::load(t->main(), address));
        // The web account stays for the web service's records.
        QCOMPARE(count(t->main(), QStringLiteral("usuario")), 3);
        QCOMPARE(count(t->main(), QStringLiteral("proprietario")), 2);
    }

    void searches_data() { addEngineRows(); }
    void searches()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        Connection &c = t->main();
        const int jose = store.insert(validEdit(QStringLiteral("JOSÉ D'ÁVILA"), QStringLiteral("52998224725"),
                                                QStringLiteral("jose@exemplo.com")));
        const int obrien = store.insert(validEdit(QStringLiteral("O'BRIEN COSTA"), QStringLiteral("11144477735"),
                                                  QStringLiteral("obrien@exemplo.com")));
        Sql::exec(c, QStringLiteral("insert into animal (Id_Proprietario, Nome, Num_Microchip) values (:p, 'TOTÓ', '985 1120 0012 3456')"),
                  {{"p", obrien}});
        Sql::exec(c, QStringLiteral("insert into animal (Id_Proprietario, Nome, Num_Microchip) values (:p, 'MIMI', ' 98511200 0654321')"),
                  {{"p", obrien}});

        SearchResultModel m({{QStringLiteral("Cód. Prop."), QStringLiteral("Id_Proprietario")},
                             {QStringLiteral("Animal"), QStringLiteral("nome_animal")}});
        auto find = [&](OwnerSearch::Field f, const QString &text) {
            m.setQuery(c, OwnerSearch::consultation(c, f, text));
            QList<int> owners;
            for (int r = 0; r < m.rowCount(); ++r)
                owners << m.field(r, QStringLiteral("Id_Proprietario")).toInt();
            return owners;
        };
        using F = OwnerSearch::Field;
        QCOMPARE(find(F::NomeProp, QStringLiteral("JOSE")), QList<int>({jose}));       // accents ignored
        QCOMPARE(find(F::NomeProp, QStringLiteral("josé d'áv")), QList<int>({jose}));  // case and quote
        QCOMPARE(find(F::NomeProp, QStringLiteral("O'BRIEN")), QList<int>({obrien, obrien}));
        QCOMPARE(find(F::NomeProp, QStringLiteral("BRIEN")), QList<int>()); // from the start only
        QCOMPARE(find(F::NomeProp, QStringLiteral("%")), QList<int>());     // wildcards are text
        QCOMPARE(find(F::Logradouro, QStringLiteral("JOANA D'A")).size(), 2); // owners with animals only
        QCOMPARE(find(F::CpfCnpj, QStringLiteral("529.982.247-2")), QList<int>({jose}));
        QCOMPARE(OwnerSearch::cpfSearchText(QStringLiteral("123.456.789-0")), QStringLiteral("1234567890"));
        QCOMPARE(find(F::CIdentidade, QStringLiteral("1234")), QList<int>({obrien, obrien})); // José has no animal
        QCOMPARE(find(F::CodigoProp, QString::number(jose)), QList<int>({jose}));
        QCOMPARE(find(F::CodigoProp, QStringLiteral("12A")), QList<int>());
        QCOMPARE(find(F::NomeAnimal, QStringLiteral("toto")), QList<int>({obrien}));
        // Microchip: blanks ignored on both sides, anywhere in the number.
        QCOMPARE(find(F::Microchip, QStringLiteral("98511 2000 123456")), QList<int>({obrien}));
        QCOMPARE(find(F::Microchip, QStringLiteral("0654 321")), QList<int>({obrien}));
        QCOMPARE(find(F::Microchip, QStringLiteral("98511200")).size(), 2);

        // The transfer screen's search: any status, address text computed.
        Sql::exec(c, QStringLiteral("update proprietario set Status_Registro = 'INATIVO' where Id_Proprietario = :i"), {{"i", jose}});
        QCOMPARE(find(F::NomeProp, QStringLiteral("JOSE")), QList<int>());
        SearchResultModel o({{QStringLiteral("Nome"), QStringLiteral("Nome")}, {QStringLiteral("Endereço"), QString()}});
        o.setQuery(c, OwnerSearch::ownerSearch(c, OwnerSearch::OwnerField::Nome, QStringLiteral("jose")));
        QCOMPARE(o.rowCount(), 1);
        QCOMPARE(OwnerSearch::addressText(QStringLiteral("RUA"), QStringLiteral("JOANA D'ARC"), QStringLiteral("101"),
                                          QStringLiteral("CASA 2"), QStringLiteral("CENTRO"), true),
                 QStringLiteral("RUA JOANA D'ARC nº 101; CASA 2Bairro: CENTRO"));
        QCOMPARE(OwnerSearch::addressText({}, {}, {}, {}, {}, false), QStringLiteral("Endereço não encontrado."));
    }

    void resultsComeInPages_data() { addEngineRows(); }
    void resultsComeInPages()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        Connection &c = t->main();
        {
            Transaction tx(c);
            const int address = AddressStore::insert(c, validEdit().address, AddressStore::Columns::Owner);
            for (int i = 0; i < 450; ++i)
                Sql::exec(c, QStringLiteral("insert into proprietario (Nome, Id_Endereco) values (:n, :e)"),
                          {{"n", QStringLiteral("SILVA %1").arg(i, 3, 10, QLatin1Char('0'))}, {"e", address}});
            tx.commit();
        }
        SearchResultModel m({{QStringLiteral("Proprietario"), QStringLiteral("Nome")}});
        m.setQuery(c, OwnerSearch::consultation(c, OwnerSearch::Field::NomeProp, QStringLiteral("silva")));
        // The first page at once; the total as counted in the background.
        QCOMPARE(m.rowCount(), SearchResultModel::PageSize);
        QVERIFY(!m.totalExact());
        QTRY_VERIFY_WITH_TIMEOUT(m.totalExact(), 10000);
        QCOMPARE(m.totalRows(), 450);
        QCOMPARE(m.rowCount(), SearchResultModel::PageSize);
        QVERIFY(m.canFetchMore({}));
        m.fetchMore({});
        m.fetchMore({});
        QCOMPARE(m.rowCount(), 450);
        QVERIFY(!m.canFetchMore({}));
        QCOMPARE(m.data(m.index(449, 0), Qt::DisplayRole).toString(), QStringLiteral("SILVA 449"));
        m.sortBy(0);
        QCOMPARE(m.rowCount(), SearchResultModel::PageSize);
    }
};

QTEST_MAIN(TestOwners)
#include "tst_owners.moc"
