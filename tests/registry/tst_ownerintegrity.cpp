// What keeps the owners' rows sound when several desks work at once: an
// edit of an owner deleted elsewhere, the web account of a deleted owner,
// the same person registered at two desks at the same moment, and names kept
// in capitals.
#include "RegistryFixture.h"
#include "db/DbError.h"
#include "db/RowChange.h"
#include "registry/AnimalStore.h"
#include "registry/OwnerStore.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>
#include <QTest>
#include <QMutex>
#include <QThread>
#include <atomic>

namespace {

OwnerEdit person(const QString &nome, const QString &cpf, const QString &email)
{
    OwnerEdit e;
    Proprietario &o = e.owner;
    o.id_Unidade_Trabalho = 1;
    o.Nome = nome;
    o.Telefone_Residencial = QStringLiteral("(11)33334444");
    o.Tipo_Pessoa = QStringLiteral("FÍSICA");
    o.Num_CPF_CNPJ = cpf;
    o.Email_Proprietario = email;
    Endereco &a = e.address;
    a.Id_Distrito = 3;
    a.COD_AREA_ABRN = 3001;
    a.NUM_LOGR = 1001;
    a.NUM_SEQU_LOGR = 1;
    a.TIP_LOGR = QStringLiteral("RUA");
    a.NOM_LOGR = QStringLiteral("JOANA D'ARC");
    a.NUM_IMOV_LOGR = 101;
    a.NUM_BAIR = 1;
    e.password = QStringLiteral("Segredo123");
    return e;
}

// A valid CPF built from nine digits.
QString cpfFrom(int n)
{
    QString d = QStringLiteral("%1").arg(n, 9, 10, QLatin1Char('0'));
    for (int len = 9; len <= 10; ++len) {
        int sum = 0;
        for (int i = 0; i < len; ++i)
            sum += d.at(i).digitValue() * (len + 1 - i);
        const int r = sum % 11;
        d += QString::number(r < 2 ? 0 : 11 - r);
    }
    return d;
}

OwnerEdit nthPerson(int n)
{
    return person(QStringLiteral("PESSOA NUMERO %1").arg(n), cpfFrom(100000 + n),
                  QStringLiteral("pessoa%1@exemplo.com").arg(n));
}

OwnerEdit editOf(const OwnerData &d)
{
    OwnerEdit e;
    e.owner = d.owner;
    e.address = d.address;
    e.loadedOwner = d.owner;
    e.loadedAddress = d.address;
    e.passwordRequired = false;
    return e;
}

int scalarInt(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

} // namespace

class TestOwnerIntegrity : public QObject {
    Q_OBJECT
private slots:
    // Owner, its address and its animal, each altered at two desks that
    // loaded them at the same time.
    void alterationsOfTwoWorkstations_data() { addEngineRows(); }
    void alterationsOfTwoWorkstations()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        auto other = t->openAnother();
        OwnerStore here(t->main());
        OwnerStore there(other->main());
        const int id = here.insert(person(QStringLiteral("JOANA SILVA"), cpfFrom(529982247), QStringLiteral("joana@exemplo.com")));
        OwnerEdit a = editOf(*here.load(id));
        OwnerEdit b = editOf(*there.load(id));

        // Different columns: both stay.
        b.owner.Email_Proprietario = QStringLiteral("joana.b@exemplo.com");
        b.address.DES_CMPL_ENDR = QStringLiteral("FUNDOS");
        there.update(b);
        a.owner.Nome = QStringLiteral("JOANA SILVA SANTOS");
        a.address.NUM_IMOV_LOGR = 202;
        here.update(a);
        OwnerData d = *here.load(id);
        QCOMPARE(d.owner.Nome, QStringLiteral("JOANA SILVA SANTOS"));
        QCOMPARE(d.owner.Email_Proprietario, QStringLiteral("joana.b@exemplo.com"));
        QCOMPARE(d.address.DES_CMPL_ENDR, QStringLiteral("FUNDOS"));
        QCOMPARE(d.address.NUM_IMOV_LOGR.toInt(), 202);

        // The same column, owner or address: refused, nothing of it written.
        b.owner.Nome = QStringLiteral("JOANA B");
        QVERIFY_THROWS_EXCEPTION(StaleRecord, there.update(b));
        b = editOf(*there.load(id));
        a = editOf(*here.load(id));
        b.address.NUM_IMOV_LOGR = 303;
        b.owner.Num_CI = QStringLiteral("123");
        there.update(b);
        a.address.NUM_IMOV_LOGR = 404;
        QVERIFY_THROWS_EXCEPTION(StaleRecord, here.update(a));
        d = *here.load(id);
        QCOMPARE(d.owner.Nome, QStringLiteral("JOANA SILVA SANTOS"));
        QCOMPARE(d.address.NUM_IMOV_LOGR.toInt(), 303);
        QCOMPARE(d.owner.Num_CI, QStringLiteral("123"));

        // The animal: a vet marks it sterilized while the clerk renames it.
        AnimalEdit n;
        n.animal.Id_Proprietario = id;
        n.animal.Nome = QStringLiteral("REX");
        n.animal.Id_Grupo_Animal = Sql::scalar(t->main(), QStringLiteral("select min(Id_Grupo_Animal) from grupo_animal"));
        n.animal.Id_Especie = 1;
        n.animal.Sexo = QStringLiteral("M");
        n.animal.Esterilizado = QStringLiteral("NAO");
        n.birthDateText = QStringLiteral("  /  /  ");
        n.address = d.address;
        n.address.Id_Endereco = QVariant();
        AnimalStore animalsHere(t->main());
        AnimalStore animalsThere(other->main());
        const int idAnimal = animalsHere.insert(n);
        auto edit = [](AnimalStore &s, int idAnimal) {
            AnimalEdit e;
            e.animal = e.loadedAnimal = *s.load(idAnimal);
            e.address = e.loadedAddress = *s.currentAddress(idAnimal);
            e.birthDateText = QStringLiteral("  /  /  ");
            return e;
        };
        AnimalEdit ea = edit(animalsHere, idAnimal);
        AnimalEdit eb = edit(animalsThere, idAnimal);
        eb.animal.Esterilizado = QStringLiteral("SIM");
        animalsThere.update(eb);
        ea.animal.Nome = QStringLiteral("REX II");
        animalsHere.update(ea);
        QCOMPARE(animalsHere.load(idAnimal)->Esterilizado, QStringLiteral("SIM"));
        QCOMPARE(animalsHere.load(idAnimal)->Nome, QStringLiteral("REX II"));
        eb.animal.Nome = QStringLiteral("REX III");
        QVERIFY_THROWS_EXCEPTION(StaleRecord, animalsThere.update(eb));
        QCOMPARE(animalsHere.load(idAnimal)->Nome, QStringLiteral("REX II"));
    }

    void editOfDeletedOwnerWritesNothing_data() { addEngineRows(); }
    void editOfDeletedOwnerWritesNothing()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int id = store.insert(person(QStringLiteral("JOANA SILVA"), cpfFrom(529982247), QStringLiteral("joana@exemplo.com")));
        OwnerEdit e = editOf(*store.load(id));
        // Another desk deletes the owner (its account stays behind).
        Sql::exec(t->main(), QStringLiteral("delete from proprietario where Id_Proprietario = :i"), {{"i", id}});

        e.owner.Nome = QStringLiteral("JOANA ALTERADA");
        e.owner.Email_Proprietario = QStringLiteral("nova@exemplo.com");
        e.address.NOM_LOGR = QStringLiteral("OUTRA RUA");
        e.blockTicked = true;
        try {
            store.update(e);
            QFAIL("an edit of a deleted owner was reported as saved");
        } catch (const DbError &err) {
            QVERIFY(err.text().contains(QStringLiteral("excluído por outro usuário")));
        }
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Nome from usuario where Id_proprietario = :i"), {{"i", id}})),
                 QStringLiteral("JOANA SILVA"));
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Bloqueado from usuario where Id_proprietario = :i"), {{"i", id}})),
                 QStringLiteral("NÃO"));
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Email_usu from usuario where Id_proprietario = :i"), {{"i", id}})),
                 QStringLiteral("joana@exemplo.com"));
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select count(*) from endereco where NOM_LOGR = 'OUTRA RUA'")), 0);
    }

    void accountKeepsWhatTheWebChanged_data() { addEngineRows(); }
    void accountKeepsWhatTheWebChanged()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const int id = store.insert(person(QStringLiteral("JOANA SILVA"), cpfFrom(529982247), QStringLiteral("joana@exemplo.com")));
        OwnerEdit e = editOf(*store.load(id));
        // Meanwhile the owner changes the account's e-mail and telephone on
        // the web service.
        Sql::exec(t->main(), QStringLiteral("update usuario set Email_usu = 'web@exemplo.com', DDD_TEL_USU = '21', "
                                            "Telefone_usu = '999990000' where Id_proprietario = :i"),
                  {{"i", id}});
        auto account = [&](const char *column) {
            return Sql::text(Sql::scalar(t->main(), QStringLiteral("select %1 from usuario where Id_proprietario = :i")
                                                         .arg(QLatin1String(column)),
                                         {{"i", id}}))
                .trimmed();
        };
        // The clerk changes the identity card only: the account keeps the
        // web's e-mail and telephone.
        e.owner.Num_CI = QStringLiteral("123456");
        store.update(e);
        QCOMPARE(account("Email_usu"), QStringLiteral("web@exemplo.com"));
        QCOMPARE(account("Telefone_usu"), QStringLiteral("999990000"));
        QCOMPARE(account("Nome"), QStringLiteral("JOANA SILVA"));
        // A name and an e-mail the clerk types are written to the account.
        OwnerEdit again = editOf(*store.load(id));
        again.owner.Nome = QStringLiteral("JOANA SILVA SANTOS");
        again.owner.Email_Proprietario = QStringLiteral("balcao@exemplo.com");
        store.update(again);
        QCOMPARE(account("Nome"), QStringLiteral("JOANA SILVA SANTOS"));
        QCOMPARE(account("Email_usu"), QStringLiteral("balcao@exemplo.com"));
        QCOMPARE(account("Telefone_usu"), QStringLiteral("999990000"));
    }

    void deletedOwnersAccountIsClosed_data() { addEngineRows(); }
    void deletedOwnersAccountIsClosed()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        const OwnerEdit joana = person(QStringLiteral("JOANA SILVA"), cpfFrom(529982247), QStringLiteral("joana@exemplo.com"));
        const int first = store.insert(joana);
        const int oldAccount = store.load(first)->owner.id_usu_web.toInt();
        store.remove(first);

        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Bloqueado from usuario where Id_Usuario = :u"), {{"u", oldAccount}})),
                 QStringLiteral("SIM"));
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Inativo from usuario where Id_Usuario = :u"), {{"u", oldAccount}})),
                 QStringLiteral("SIM"));
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select Modificado_Por from usuario where Id_Usuario = :u"), {{"u", oldAccount}}), 7);

        // The same person registered again: the old account's e-mail is no
        // obstacle, a new account is made and linked, the old one stays shut.
        QVERIFY(!store.validate(joana, true));
        const int again = store.insert(joana);
        const OwnerData d = *store.load(again);
        QVERIFY(d.owner.id_usu_web.toInt() != oldAccount);
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select Id_proprietario from usuario where Id_Usuario = :u"), {{"u", d.owner.id_usu_web}}),
                 again);
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Bloqueado from usuario where Id_Usuario = :u"), {{"u", oldAccount}})),
                 QStringLiteral("SIM"));
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select count(*) from usuario")), 2);

        // Editing keeps ignoring the closed account; an active staff user's
        // e-mail still counts.
        QVERIFY(!store.validate(editOf(d), false));
        Sql::exec(t->main(), QStringLiteral("insert into usuario (Nome, Login, Email_usu, Bloqueado, Inativo) "
                                            "values ('ATENDENTE', 'atendente', 'staff@exemplo.com', 'NÃO', 'NAO')"));
        QCOMPARE(store.validate(person(QStringLiteral("OUTRA PESSOA"), cpfFrom(111444777), QStringLiteral("staff@exemplo.com")), true).message,
                 QStringLiteral("E-mail já cadastrado na base de dados."));
    }

    // The same checks as before the save, asked again where another desk
    // cannot slip in between: after the check, before the write.
    void duplicateCaughtInsideTheSave_data() { addEngineRows(); }
    void duplicateCaughtInsideTheSave()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        auto other = t->openAnother();
        OwnerStore here(t->main());
        OwnerStore there(other->main());
        const OwnerEdit joana = person(QStringLiteral("JOANA SILVA"), cpfFrom(529982247), QStringLiteral("joana@exemplo.com"));
        QVERIFY(!here.validate(joana, true));
        QVERIFY(!there.validate(joana, true));
        there.insert(joana);
        try {
            here.insert(joana);
            QFAIL("the same person was registered twice");
        } catch (const OwnerRefused &r) {
            QCOMPARE(r.refusal().field, OwnerField::CpfCnpj);
            QCOMPARE(r.refusal().message, QStringLiteral("CPF/CNPJ já cadastrado."));
        }
        OwnerEdit sameMail = person(QStringLiteral("JOANA S"), cpfFrom(111444777), QStringLiteral("JOANA@exemplo.com"));
        try {
            here.insert(sameMail);
            QFAIL("an e-mail already taken was registered");
        } catch (const OwnerRefused &r) {
            QCOMPARE(r.refusal().message, QStringLiteral("E-mail já cadastrado na base de dados."));
        }
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select count(*) from proprietario")), 1);
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select count(*) from usuario")), 1);
        QCOMPARE(scalarInt(t->main(), QStringLiteral("select count(*) from endereco")), 1);
    }

    // Four desks register the same people at the same moment, each desk
    // its own connection on its own thread: every person ends up once.
    void desksRegisteringAtOnce_data() { addEngineRows(); }
    void desksRegisteringAtOnce()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        constexpr int desks = 4;
        constexpr int people = 25;
        std::atomic<int> saved{0}, refused{0}, failed{0};
        QStringList unexpected;
        QMutex unexpectedLock;
        QList<QThread *> threads;
        for (int desk = 0; desk < desks; ++desk) {
            threads << QThread::create([&, desk] {
                std::unique_ptr<DataModule> dm;
                try {
                    dm = t->openAnother();
                    OwnerStore store(dm->main());
                    for (int i = 0; i < people; ++i) {
                        // Each desk works through the list in its own order.
                        const OwnerEdit e = nthPerson((i * (desk + 1) + desk) % people);
                        try {
                            if (store.validate(e, true)) {
                                ++refused;
                                continue;
                            }
                            store.insert(e);
                            ++saved;
                        } catch (const OwnerRefused &r) {
                            if (r.refusal().message != QStringLiteral("CPF/CNPJ já cadastrado.")) {
                                QMutexLocker l(&unexpectedLock);
                                unexpected << r.refusal().message;
                            }
                            ++refused;
                        }
                    }
                } catch (const DbError &err) {
                    ++failed;
                    QMutexLocker l(&unexpectedLock);
                    unexpected << err.text();
                }
            });
        }
        for (QThread *th : threads)
            th->start();
        for (QThread *th : threads) {
            th->wait();
            delete th;
        }
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
        QCOMPARE(failed.load(), 0);
        QCOMPARE(saved.load(), people);
        QCOMPARE(refused.load(), desks * people - people);
        Connection &c = t->main();
        QCOMPARE(scalarInt(c, QStringLiteral("select count(*) from proprietario")), people);
        QCOMPARE(scalarInt(c, QStringLiteral("select count(distinct Num_CPF_CNPJ) from proprietario")), people);
        QCOMPARE(scalarInt(c, QStringLiteral("select count(*) from usuario")), people);
        QCOMPARE(scalarInt(c, QStringLiteral("select count(distinct Login) from usuario")), people);
    }

    void namesStoredInCapitals_data() { addEngineRows(); }
    void namesStoredInCapitals()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        OwnerStore store(t->main());
        OwnerEdit e = person(QStringLiteral(" joão da conceição "), cpfFrom(529982247), QStringLiteral("joao@exemplo.com"));
        e.owner.Num_CI = QStringLiteral("mg12ção");
        const int id = store.insert(e);
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Nome from proprietario where Id_Proprietario = :i"), {{"i", id}})),
                 QStringLiteral("JOÃO DA CONCEIÇÃO"));
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Num_CI from proprietario where Id_Proprietario = :i"), {{"i", id}})),
                 QStringLiteral("MG12ÇÃO"));
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Nome from usuario where Id_proprietario = :i"), {{"i", id}})),
                 QStringLiteral("JOÃO DA CONCEIÇÃO"));
        OwnerEdit edit = editOf(*store.load(id));
        edit.owner.Nome = QStringLiteral("joão ávila");
        store.update(edit);
        QCOMPARE(store.load(id)->owner.Nome, QStringLiteral("JOÃO ÁVILA"));
        QCOMPARE(Sql::text(Sql::scalar(t->main(), QStringLiteral("select Nome from usuario where Id_proprietario = :i"), {{"i", id}})),
                 QStringLiteral("JOÃO ÁVILA"));
    }
};

QTEST_GUILESS_MAIN(TestOwnerIntegrity)
#include "tst_ownerintegrity.moc"
