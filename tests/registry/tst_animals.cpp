// Screen 006's animal tab and the animal store: the rows a new animal writes,
// saves that fail midway, deleting, and the tab driven as the staff do.
#include "RegistryFixture.h"
#include "db/DbError.h"
#include "db/schema/ReferenceData.h"
#include "registry/AddressGroup.h"
#include "registry/AnimalPanel.h"
#include "registry/AnimalStore.h"
#include "registry/OwnerStore.h"
#include "registry/PropAnimalScreen.h"
#include "registry/StreetSearchWindow.h"
#include "registry/VaccinationPanel.h"
#include "app/ScreenWiring.h"
#include "reports/engine/ReportPainter.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/OdbcRules.h"
#include "support/TestDatabase.h"
#include "ui/MarcacaoAtendimento.h"
#include "ui/ScreenCatalog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <tuple>

namespace {

int count(Connection &c, const QString &sql, const QVariantMap &p = {})
{
    return Sql::scalar(c, sql, p).toInt();
}

void choose(QComboBox *c, const QString &text)
{
    const int i = c->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

Endereco sampleAddress()
{
    Endereco a;
    a.Id_Distrito = 3;
    a.COD_AREA_ABRN = 3001;
    a.NUM_LOGR = 1001;
    a.NUM_SEQU_LOGR = 1;
    a.TIP_LOGR = QStringLiteral("RUA");
    a.NOM_LOGR = QStringLiteral("JOANA D'ARC");
    a.NUM_IMOV_LOGR = 101;
    a.NUM_BAIR = 1;
    a.NOM_BAIR = QStringLiteral("CENTRO");
    a.NUM_CEP = QStringLiteral("08000000");
    return a;
}

int newOwner(const QString &nome, const QString &cpf)
{
    OwnerEdit e;
    e.owner.id_Unidade_Trabalho = 1;
    e.owner.Nome = nome;
    e.owner.Telefone_Residencial = QStringLiteral("(11)33334444");
    e.owner.Tipo_Pessoa = QStringLiteral("FÍSICA");
    e.owner.Num_CPF_CNPJ = cpf;
    e.owner.Email_Proprietario = cpf + QStringLiteral("@exemplo.com");
    e.address = sampleAddress();
    e.password = QStringLiteral("Segredo123");
    return OwnerStore().insert(e);
}

AnimalEdit newAnimal(int idProprietario, const QString &nome)
{
    AnimalEdit e;
    Animal &a = e.animal;
    a.Id_Proprietario = idProprietario;
    a.Nome = nome;
    a.Id_Grupo_Animal = Sql::scalar(mainConnection(), QStringLiteral("select min(Id_Grupo_Animal) from grupo_animal"));
    a.Id_Especie = 1;
    a.Id_Raca = 1;
    a.Id_Porte = 1;
    a.Id_Pelo = 1;
    a.Sexo = QStringLiteral("F");
    a.Esterilizado = QStringLiteral("NAO");
    a.Data_Nascimento = QDate(2020, 5, 31);
    e.birthDateText = QStringLiteral("31/05/20");
    e.address = sampleAddress();
    return e;
}

void prepare(TestDatabase &t)
{
    RegistryFixture::fill(t.dm());
    Schema::insertStarterValues(t.main());
}

} // namespace

class TestAnimals : public QObject {
    Q_OBJECT
private slots:
    // Statements as a T-SQL server through ODBC takes them (support/OdbcRules.h).
    void initTestCase() { OdbcRules::installForSqlite(); }
    // A new animal writes its address, itself, the link, the group
    // membership and its first ownership record, all or nothing.
    void newAnimalRowsAllOrNothing_data() { addEngineRows(); }
    void newAnimalRowsAllOrNothing()
    {
        ZAPO_TEST_DB(t);
        prepare(*t);
        Connection &c = t->main();
        const int owner = newOwner(QStringLiteral("ANA"), QStringLiteral("52998224725"));
        const int addressesBefore = count(c, QStringLiteral("select count(*) from endereco"));

        for (const char *failAt : {"endereco", "animal", "endereco_animal", "Grupo_Animal_Animal", "Histo_Muda_Proprietario"}) {
            AnimalStore broken;
            broken.afterStep = [failAt](const QString &step) {
                if (step == QLatin1String(failAt))
                    throw DbError(QStringLiteral("falha simulada"));
            };
            QVERIFY_THROWS_EXCEPTION(DbError, broken.insert(newAnimal(owner, QStringLiteral("REX"))));
            QCOMPARE(count(c, QStringLiteral("select count(*) from animal")), 0);
            QCOMPARE(count(c, QStringLiteral("select count(*) from endereco")), addressesBefore);
            QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal")), 0);
            QCOMPARE(count(c, QStringLiteral("select count(*) from Grupo_Animal_Animal")), 0);
            QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario")), 0);
        }

        AnimalStore store;
        const int id = store.insert(newAnimal(owner, QStringLiteral("REX")));
        const int second = store.insert(newAnimal(owner, QStringLiteral("MEL")));
        QVERIFY(second != id);
        const QVariantMap k{{QStringLiteral("a"), id}};
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = :a"), k), 1);
        QCOMPARE(count(c, QStringLiteral("select count(*) from Grupo_Animal_Animal where Id_Animal = :a"), k), 1);
        QSqlQuery h = Sql::exec(c, QStringLiteral("select Id_Anterior_Proprietario, Id_Proprietario, Inserido_Por "
                                                  "from Histo_Muda_Proprietario where Id_Animal = :a"), k);
        QVERIFY(h.next());
        QVERIFY(h.value(0).isNull());
        QCOMPARE(h.value(1).toInt(), owner);
        QCOMPARE(h.value(2).toInt(), 7);
        h.finish(); // one unread result per connection at a time
        QCOMPARE(count(c, QStringLiteral("select count(distinct Id_Histo_Muda_Proprietario) from Histo_Muda_Proprietario")), 2);

        const std::optional<Animal> a = store.load(id);
        QVERIFY(a);
        QCOMPARE(a->Data_Nascimento, QDate(2020, 5, 31));
        QCOMPARE(a->Nome, QStringLiteral("REX"));
        const std::optional<Endereco> addr = store.currentAddress(id);
        QVERIFY(addr);
        QCOMPARE(addr->NOM_LOGR, QStringLiteral("JOANA D'ARC"));
        QVERIFY(addr->End_X.isNull()); // coordinates are found anew, not copied

        // An edit rewrites in place: no new membership or history row.
        AnimalEdit edit = newAnimal(owner, QStringLiteral("REX II"));
        edit.animal = *a;
        edit.loadedAnimal = *a;
        edit.animal.Nome = QStringLiteral("REX II");
        edit.address = *addr;
        edit.loadedAddress = *addr;
        edit.address.DES_CMPL_ENDR = QStringLiteral("FUNDOS");
        edit.birthDateText = QStringLiteral("31/05/20");
        store.update(edit);
        QCOMPARE(store.load(id)->Nome, QStringLiteral("REX II"));
        QCOMPARE(store.currentAddress(id)->DES_CMPL_ENDR, QStringLiteral("FUNDOS"));
        QCOMPARE(count(c, QStringLiteral("select count(*) from Grupo_Animal_Animal where Id_Animal = :a"), k), 1);
        // A row deleted meanwhile elsewhere is not reported as saved.
        edit.animal.Id_Animal = 999999;
        edit.address.Id_Endereco = QVariant();
        QVERIFY_THROWS_EXCEPTION(DbError, store.update(edit));
    }

    void validationOrder()
    {
        AnimalEdit e = [] {
            AnimalEdit x;
            x.animal.Nome = QStringLiteral("REX");
            x.animal.Id_Grupo_Animal = 1;
            x.animal.Id_Especie = 1;
            x.animal.Id_Raca = 1;
            x.animal.Id_Porte = 1;
            x.animal.Id_Pelo = 1;
            x.animal.Sexo = QStringLiteral("M");
            x.animal.Esterilizado = QStringLiteral("SIM");
            x.animal.Data_Nascimento = QDate(2021, 1, 2);
            x.birthDateText = QStringLiteral("02/01/21");
            x.address = sampleAddress();
            return x;
        }();
        QVERIFY(!AnimalStore::validate(e));
        e.address.NUM_IMOV_LOGR = QVariant();
        QCOMPARE(AnimalStore::validate(e).message, QStringLiteral("Falta informar o número do imóvel."));
        e.animal.Data_Nascimento = QDate();
        e.birthDateText = QStringLiteral("31/02/21");
        QCOMPARE(AnimalStore::validate(e).field, AnimalField::DataNascimento);
        e.birthDateText = QStringLiteral("  /  /  ");
        QCOMPARE(AnimalStore::validate(e).message, QStringLiteral("Falta informar a data de nascimento do animal."));
        e.animal.Id_Grupo_Animal = QVariant();
        QCOMPARE(AnimalStore::validate(e).message, QStringLiteral("Selecione o grupo de animal."));
        e.animal.Nome = QStringLiteral("  ");
        QCOMPARE(AnimalStore::validate(e).message, QStringLiteral("Falta digitar o nome do animal."));
    }

    // Deleting takes every address the animal had; a second owner or an
    // attendance forbids it.
    void deleting_data() { addEngineRows(); }
    void deleting()
    {
        ZAPO_TEST_DB(t);
        prepare(*t);
        Connection &c = t->main();
        const int owner = newOwner(QStringLiteral("ANA"), QStringLiteral("52998224725"));
        AnimalStore store;
        const int id = store.insert(newAnimal(owner, QStringLiteral("REX")));
        const int other = store.insert(newAnimal(owner, QStringLiteral("MEL")));
        // The animal moved once: a second address and link.
        Endereco moved = sampleAddress();
        moved.NUM_IMOV_LOGR = 500;
        const int second = AddressStore::insert(c, moved, AddressStore::Columns::Animal);
        Sql::exec(c, QStringLiteral("insert into endereco_animal (Id_Animal, Id_Endereco) values (:a, :e)"),
                  {{QStringLiteral("a"), id}, {QStringLiteral("e"), second}});
        QCOMPARE(store.currentAddress(id)->NUM_IMOV_LOGR.toInt(), 500);
        Sql::exec(c, QStringLiteral("insert into vacina (Id_vacina, Id_Animal, Id_tipo_vacina, Id_tipo_vacina_ocorrencia, "
                                    "Id_tipo_motivo_nao_vacina) values (1, :a, 1, 1, 1)"),
                  {{QStringLiteral("a"), id}});
        const int addresses = count(c, QStringLiteral("select count(*) from endereco"));

        // A failure midway keeps everything.
        AnimalStore broken;
        broken.afterStep = [](const QString &s) {
            if (s == QLatin1String("Histo_Muda_Proprietario"))
                throw DbError(QStringLiteral("falha simulada"));
        };
        QVERIFY_THROWS_EXCEPTION(DbError, broken.remove(id));
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco")), addresses);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = :a"), {{"a", id}}), 2);

        QVERIFY(store.deleteRefusal(id).isEmpty());
        store.remove(id);
        QCOMPARE(count(c, QStringLiteral("select count(*) from animal where Id_Animal = :a"), {{"a", id}}), 0);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco")), addresses - 2);
        QCOMPARE(count(c, QStringLiteral("select count(*) from endereco_animal where Id_Animal = :a"), {{"a", id}}), 0);
        QCOMPARE(count(c, QStringLiteral("select count(*) from Grupo_Animal_Animal where Id_Animal = :a"), {{"a", id}}), 0);
        QCOMPARE(count(c, QStringLiteral("select count(*) from Histo_Muda_Proprietario where Id_Animal = :a"), {{"a", id}}), 0);
        QCOMPARE(count(c, QStringLiteral("select count(*) from vacina where Id_Animal = :a"), {{"a", id}}), 1);
        // The owner's address and the other animal's are untouched.
        QVERIFY(store.currentAddress(other));
        QVERIFY(OwnerStore().load(owner)->address.Id_Endereco.isValid());

        Sql::exec(c, QStringLiteral("insert into atendimento (Id_Animal, Id_Proprietario) values (:a, :p)"),
                  {{QStringLiteral("a"), other}, {QStringLiteral("p"), owner}});
        QCOMPARE(store.deleteRefusal(other),
                 QStringLiteral("Animal com registro de atendimento.\rRegistro não pode ser excluído!"));
        QVERIFY_THROWS_EXCEPTION(DbError, store.remove(other));
        QVERIFY(store.load(other));
        const int third = store.insert(newAnimal(owner, QStringLiteral("TOM")));
        Sql::exec(c, QStringLiteral("insert into Histo_Muda_Proprietario (Id_Histo_Muda_Proprietario, Id_Animal, "
                                    "Id_Anterior_Proprietario, Id_Proprietario) values (900, :a, :p, :p)"),
                  {{QStringLiteral("a"), third}, {QStringLiteral("p"), owner}});
        QCOMPARE(store.deleteRefusal(third),
                 QStringLiteral("Animal com histórico de dono anterior.\rRegistro não pode ser excluído!"));
    }

    // The clerk's path: owner loaded, two animals typed in, a vaccination,
    // moving between them, the hand-over to the appointment screen.
    void animalTabEndToEnd_data() { addEngineRows(); }
    void animalTabEndToEnd()
    {
        ZAPO_TEST_DB(t);
        prepare(*t);
        Connection &c = t->main();
        RecordingMessages msgs;
        PropAnimalScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        AnimalPanel *p = s.animalPanel();
        s.tabs()->setCurrentIndex(1);

        // No owner yet: nothing to add to.
        p->action(QStringLiteral("actAnimalNovo"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Você deve localizar o proprietário para inserir um novo animal!"));
        QVERIFY(!p->isEditing());
        p->informacao();
        QCOMPARE(msgs.last(), QStringLiteral("Falta localizar o animal!"));

        const int owner = newOwner(QStringLiteral("ANA SOUZA"), QStringLiteral("52998224725"));
        s.loadOwner(owner, 0);
        QCOMPARE(child<QLabel>(p, "lblProprietario")->text(), QStringLiteral("Proprietário: ANA SOUZA"));

        for (const QString &nome : {QStringLiteral("rex"), QStringLiteral("mel")}) {
            p->action(QStringLiteral("actAnimalNovo"))->trigger();
            QVERIFY(p->isEditing());
            // The usual group, species, breed, size and coat come chosen, and
            // the owner's address is copied with the group closed.
            QCOMPARE(child<QComboBox>(p, "dblGrupo")->currentText(), QStringLiteral("DOMICILIADO"));
            QCOMPARE(child<QComboBox>(p, "dblEspecie")->currentText(), QStringLiteral("CANINA"));
            QCOMPARE(child<QComboBox>(p, "dblRaca")->currentText(), QStringLiteral("SEM RAÇA DEFINIDA - SRD"));
            QCOMPARE(child<QComboBox>(p, "dblPorte")->currentText(), QStringLiteral("PEQUENO"));
            QCOMPARE(child<QComboBox>(p, "dblPelo")->currentText(), QStringLiteral("CURTO"));
            QVERIFY(child<QCheckBox>(p, "chkEndMesmoProp")->isChecked());
            QVERIFY(!p->addressGroup()->isEnabled());
            QCOMPARE(p->addressGroup()->address().NOM_LOGR, QStringLiteral("JOANA D'ARC"));

            QTest::keyClicks(child<QLineEdit>(p, "dbeNome_Animal"), nome);
            // The tab cannot be left with the animal half typed.
            s.tabs()->setCurrentIndex(0);
            QCOMPARE(s.tabs()->currentIndex(), 1);
            p->action(QStringLiteral("actAnimalGravar"))->trigger();
            QCOMPARE(msgs.last(), QStringLiteral("Falta informar a data de nascimento do animal."));

            // A breed that names size and coat brings them when left.
            auto *raca = child<QComboBox>(p, "dblRaca");
            raca->setFocus();
            QApplication::processEvents();
            choose(raca, QStringLiteral("LABRADOR"));
            raca->clearFocus();
            QApplication::processEvents();
            QApplication::processEvents();
            QCOMPARE(child<QComboBox>(p, "dblPorte")->currentText(), QStringLiteral("GRANDE"));
            auto *nasc = child<QLineEdit>(p, "dbeData_Nascimento");
            nasc->setFocus();
            nasc->home(false);
            // A day that does not exist is refused by the field's name,
            // before any other check, and kept for mending.
            QTest::keyClicks(nasc, QStringLiteral("31/02/19"));
            p->action(QStringLiteral("actAnimalGravar"))->trigger();
            QVERIFY2(msgs.last().startsWith(QStringLiteral("Data inválida no campo \"Data nasc.\".")), qPrintable(msgs.last()));
            QVERIFY(p->isEditing());
            QCOMPARE(nasc->text(), QStringLiteral("31/02/19"));
            nasc->selectAll();
            QTest::keyClicks(nasc, QStringLiteral("150319"));
            choose(child<QComboBox>(p, "cmbSexo"), QStringLiteral("M"));
            choose(child<QComboBox>(p, "cmbEsterilizado"), QStringLiteral("NAO"));
            shot(&s, "006-animal-novo");
            p->action(QStringLiteral("actAnimalGravar"))->trigger();
            QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
            QVERIFY(!p->isEditing());
            QCOMPARE(child<QLineEdit>(p, "dbeNome_Animal")->text(), nome.toUpper());
        }
        QCOMPARE(p->animalCount(), 2);
        QCOMPARE(s.windowTitle(), QStringLiteral("Prop.: ANA SOUZA ele tem \"2\" animal(s) em seu nome."));
        const int mel = p->idAnimal();
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from animal where Id_Animal = :a"), {{"a", mel}})),
                 QStringLiteral("MEL"));
        QCOMPARE(Sql::scalar(c, QStringLiteral("select Data_Nascimento from animal where Id_Animal = :a"), {{"a", mel}})
                     .toDateTime()
                     .date(),
                 QDate(2019, 3, 15));

        // Moving between the owner's animals follows the vaccination tab.
        p->action(QStringLiteral("DataSetFirst1"))->trigger();
        QCOMPARE(child<QLineEdit>(p, "dbeNome_Animal")->text(), QStringLiteral("REX"));
        QCOMPARE(s.vaccinationPanel()->idAnimal(), p->idAnimal());
        const int rex = p->idAnimal();

        // The owner consultation brings the owner back with the chosen animal.
        s.loadOwner(owner, mel);
        QCOMPARE(p->idAnimal(), mel);

        // Informação names who registered the animal.
        Sql::exec(c, QStringLiteral("insert into usuario (Id_Usuario, Nome, Id_Unidade_Trabalho) values (7, 'ATENDENTE', 1)"));
        p->informacao();
        QVERIFY2(msgs.last().startsWith(QStringLiteral("Usuário que inseriu o registro:ATENDENTEData da inserção:")),
                 qPrintable(msgs.last()));

        // The appointment hand-over names this owner and animal.
        p->marcaAtendimento();
        QCOMPARE(marcacaoAtendimento().Origem, 1);
        QCOMPARE(marcacaoAtendimento().IdAnimal, QString::number(mel));
        QCOMPARE(marcacaoAtendimento().IdProprietario, QString::number(owner));
        marcacaoAtendimento().clear();

        // Editing keeps the stored birth date's century even for an old one.
        Sql::exec(c, QStringLiteral("update animal set Data_Nascimento = :d where Id_Animal = :a"),
                  {{QStringLiteral("d"), QDate(1970, 1, 1)}, {QStringLiteral("a"), rex}});
        s.loadOwner(owner, rex);
        p->action(QStringLiteral("actAnimalAlterar"))->trigger();
        QVERIFY(p->isEditing());
        QTest::keyClicks(child<QLineEdit>(p, "dbeCor"), QStringLiteral("caramelo"));
        msgs.answers = {false};
        p->action(QStringLiteral("actAnimalGravar"))->trigger();
        QVERIFY(p->isEditing()); // No keeps the record open
        p->action(QStringLiteral("actAnimalGravar"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QSqlQuery q = Sql::exec(c, QStringLiteral("select Cor, Data_Nascimento from animal where Id_Animal = :a"), {{"a", rex}});
        QVERIFY(q.next());
        QCOMPARE(Sql::text(q.value(0)), QStringLiteral("CARAMELO"));
        QCOMPARE(q.value(1).toDateTime().date(), QDate(1970, 1, 1));
        q.finish(); // one unread result per connection at a time

        // A shortcut acts on the visible tab only.
        p->action(QStringLiteral("actAnimalAlterar"))->setEnabled(true);
        s.tabs()->setCurrentIndex(0);
        s.activateWindow();
        QTest::keyClick(&s, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Editing);
        QVERIFY(!p->isEditing());
        s.action(QStringLiteral("actCancel"))->trigger();
        s.tabs()->setCurrentIndex(1);
        s.tabs()->tabBar()->setFocus();
        QTest::keyClick(&s, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(p->isEditing());
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Browsing);
        QVERIFY(!s.close()); // not while the animal is being typed
        p->action(QStringLiteral("actAnimalCancelar"))->trigger();
        shot(&s, "006-animal");
        s.tabs()->setCurrentIndex(2);
        shot(&s, "006-vacinas");

        // Imprimir prints this owner with the animals it holds.
        {
            RecordingPreview preview;
            registerOwnerAnimalReport(ScreenCatalog::instance());
            s.tabs()->setCurrentIndex(0);
            s.action(QStringLiteral("actPrint"))->trigger();
            QCOMPARE(preview.shown.size(), 1);
            const QStringList texts = preview.last().allTexts();
            QVERIFY(texts.contains(QStringLiteral("REL049")));
            QVERIFY(texts.contains(QStringLiteral("ANA SOUZA")));
            QVERIFY2(texts.contains(QString::number(mel) + QStringLiteral(" - MEL")), qPrintable(texts.join('|')));
            QVERIFY(texts.contains(QStringLiteral("15/03/2019")));
            QVERIFY(texts.contains(QStringLiteral("RUA JOANA D'ARC 101")));
            QVERIFY(texts.contains(QStringLiteral("08000-000")));
            if (qEnvironmentVariableIsSet("ZAPO_REPORT_PNG_DIR"))
                ReportPainter::pageImage(preview.last(), 0, 100).save(qEnvironmentVariable("ZAPO_REPORT_PNG_DIR")
                                                                       + QStringLiteral("/rel049.png"));
            s.tabs()->setCurrentIndex(1);
        }

        // Delete from the tab: the list shrinks and the caption follows.
        p->action(QStringLiteral("actAnimalExcluir"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(p->animalCount(), 1);
        QCOMPARE(s.windowTitle(), QStringLiteral("Prop.: ANA SOUZA ele tem \"1\" animal(s) em seu nome."));
        QVERIFY(s.close());
    }

    // A breed the list no longer offers (made inactive, or of another
    // species) stays the animal's breed through an alteration unless the
    // clerk picks another; names and colours are stored in capitals.
    void storedBreedSurvivesAlteration_data() { addEngineRows(); }
    void storedBreedSurvivesAlteration()
    {
        ZAPO_TEST_DB(t);
        prepare(*t);
        Connection &c = t->main();
        RecordingMessages msgs;
        const int owner = newOwner(QStringLiteral("ANA SOUZA"), QStringLiteral("52998224725"));
        const int otherSpecies = count(c, QStringLiteral("select max(Id_Especie) from especie"));
        QVERIFY(otherSpecies != 1);
        Sql::exec(c, QStringLiteral("insert into raca (Id_Raca, Nome, Id_Especie, Ind_Status) values "
                                    "(900, 'RAÇA ANTIGA', 1, 'INATIVO'), (901, 'RAÇA DE OUTRA', :e, 'ATIVO')"),
                  {{QStringLiteral("e"), otherSpecies}});
        AnimalEdit inactive = newAnimal(owner, QStringLiteral("joão pé-de-cão"));
        inactive.animal.Id_Raca = 900;
        inactive.animal.Cor = QStringLiteral("marrom-açúcar");
        const int a1 = AnimalStore().insert(inactive);
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Nome from animal where Id_Animal = :a"), {{"a", a1}})),
                 QStringLiteral("JOÃO PÉ-DE-CÃO"));
        QCOMPARE(Sql::text(Sql::scalar(c, QStringLiteral("select Cor from animal where Id_Animal = :a"), {{"a", a1}})),
                 QStringLiteral("MARROM-AÇÚCAR"));
        AnimalEdit foreign = newAnimal(owner, QStringLiteral("MIAU"));
        foreign.animal.Id_Raca = 901; // species 1 with another species' breed
        const int a2 = AnimalStore().insert(foreign);

        PropAnimalScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        AnimalPanel *p = s.animalPanel();
        auto *raca = child<QComboBox>(p, "dblRaca");
        for (const auto &[animal, breed, name] : {std::tuple{a1, 900, QStringLiteral("RAÇA ANTIGA")},
                                                   std::tuple{a2, 901, QStringLiteral("RAÇA DE OUTRA")}}) {
            s.loadOwner(owner, animal);
            s.tabs()->setCurrentIndex(1);
            QCOMPARE(p->idAnimal(), animal);
            p->action(QStringLiteral("actAnimalAlterar"))->trigger();
            QVERIFY(p->isEditing());
            raca->setFocus();
            QApplication::processEvents();
            QCOMPARE(raca->currentText(), name);
            QTest::keyClicks(child<QLineEdit>(p, "dbeSinais"), QStringLiteral("X"));
            p->action(QStringLiteral("actAnimalGravar"))->trigger();
            QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
            QCOMPARE(count(c, QStringLiteral("select Id_Raca from animal where Id_Animal = :a"), {{"a", animal}}), breed);
        }
        // Picking another breed replaces it; the stored one is offered only
        // to its own animal.
        s.loadOwner(owner, a1);
        p->action(QStringLiteral("actAnimalAlterar"))->trigger();
        raca->setFocus();
        QApplication::processEvents();
        QVERIFY(raca->findData(900) >= 0);
        QVERIFY(raca->findData(901) < 0);
        choose(raca, QStringLiteral("SEM RAÇA DEFINIDA - SRD"));
        p->action(QStringLiteral("actAnimalGravar"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QVERIFY(count(c, QStringLiteral("select Id_Raca from animal where Id_Animal = :a"), {{"a", a1}}) != 900);
        p->action(QStringLiteral("actAnimalNovo"))->trigger();
        raca->setFocus();
        QApplication::processEvents();
        QVERIFY(raca->findData(900) < 0);
        p->action(QStringLiteral("actAnimalCancelar"))->trigger();
        QVERIFY(s.close());
    }

    // The street search writes the chosen street into the group that opened
    // it, and only while that address is being typed.
    void streetSearch_data() { addEngineRows(); }
    void streetSearch()
    {
        ZAPO_TEST_DB(t);
        prepare(*t);
        using By = StreetDirectory::SearchBy;
        StreetDirectory dir;
        const QList<StreetDirectory::Street> byName = dir.search(By::StreetName, QStringLiteral("joana"));
        QVERIFY(!byName.isEmpty());
        for (const StreetDirectory::Street &st : byName)
            QVERIFY(st.name.startsWith(QStringLiteral("JOANA")));
        QVERIFY(dir.search(By::StreetName, QStringLiteral("%")).isEmpty()); // typed wildcards are literal
        // Case and accents as typed do not matter, in the street's name and
        // in the neighbourhood's.
        for (const QString &typed : {QStringLiteral("SAO JOAO"), QStringLiteral("são joão"), QStringLiteral("Sao Jo")}) {
            const QList<StreetDirectory::Street> found = dir.search(By::StreetName, typed);
            QVERIFY2(!found.isEmpty(), qPrintable(typed));
            for (const StreetDirectory::Street &st : found)
                QVERIFY2(st.name.startsWith(QStringLiteral("SÃO JOÃO")), qPrintable(st.name));
        }
        const QList<StreetDirectory::Street> hood = dir.search(By::NeighbourhoodName, QStringLiteral("vila sao joao"));
        QVERIFY(!hood.isEmpty());
        for (const StreetDirectory::Street &st : hood)
            QVERIFY2(st.nomBair.startsWith(QStringLiteral("VILA SÃO JOÃO")), qPrintable(st.nomBair));
        QVERIFY(dir.search(By::StreetCode, QStringLiteral("abc")).isEmpty());
        QVERIFY(!dir.search(By::StreetCode, QStringLiteral("1001")).isEmpty());

        RecordingMessages msgs;
        AddressGroup group(AddressGroup::Kind::Animal);
        group.loadLists();
        auto run = [&](bool editing) {
            group.clear();
            group.setEditing(editing);
            QPointer<StreetSearchWindow> w = StreetSearchWindow::open(&group, QStringLiteral("Núm lograd."),
                                                                      QStringLiteral("1001"), true);
            QVERIFY(w->rowCount() > 0);
            // Found streets: the clerk takes the first one with Enter, as
            // the window opens, without reaching for the mouse.
            QVERIFY(QTest::qWaitForWindowActive(w));
            QTRY_VERIFY(qobject_cast<QTableView *>(QApplication::focusWidget()));
            shot(w, "pesquisa-endereco");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(!w || !w->isVisible());
        };
        {
            QPointer<StreetSearchWindow> none = StreetSearchWindow::open(&group, QStringLiteral("Núm lograd."),
                                                                         QStringLiteral("999999"), true);
            QCOMPARE(none->rowCount(), 0);
            QVERIFY(QTest::qWaitForWindowActive(none));
            QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("edtTexto"));
            none->close();
        }
        run(false);
        QVERIFY(group.address().NOM_LOGR.isEmpty());
        run(true);
        QCOMPARE(group.address().NUM_LOGR.toInt(), 1001);
        QCOMPARE(group.address().NOM_LOGR, QStringLiteral("JOANA D'ARC"));
        QCOMPARE(group.address().TIP_LOGR, QStringLiteral("RUA"));
        QVERIFY(!Sql::text(group.address().NUM_BAIR).isEmpty());
    }
};

QTEST_MAIN(TestAnimals)
#include "tst_animals.moc"
