// Screen 006's owner tab and the address group, driven as a user would:
// typing, Enter, leaving fields, the toolbar, the consultation window.
#include "RegistryFixture.h"
#include "db/PasswordDigest.h"
#include "registry/AddressGroup.h"
#include "registry/AnimalPanel.h"
#include "db/Documents.h"
#include "ui/SearchResultModel.h"
#include "registry/PropAnimalScreen.h"
#include "registry/RegistryScreens.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "ui/register/FieldBinder.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QSignalSpy>
#include <QTest>

namespace {

void choose(QComboBox *c, const QVariant &data)
{
    const int i = c->findData(data);
    QVERIFY2(i >= 0, qPrintable(data.toString()));
    c->setCurrentIndex(i);
    emit c->activated(i);
}

void leave(QWidget *w)
{
    w->setFocus();
    QApplication::processEvents();
    w->clearFocus();
    QApplication::processEvents();
}

// Fills a new owner the way the staff do, up to Gravar.
void fillNewOwner(PropAnimalScreen &s, const QString &nome, const QString &cpf)
{
    s.action(QStringLiteral("actAppend"))->trigger();
    choose(child<QComboBox>(&s, "dblUnidade"), 1);
    QTest::keyClicks(child<QLineEdit>(&s, "dbeNome"), nome);
    auto *phone = child<QLineEdit>(&s, "dbeTelefone_Residencial");
    phone->setFocus();
    phone->home(false);
    QTest::keyClicks(phone, QStringLiteral("1133334444"));
    auto *cpfBox = child<QLineEdit>(&s, "dbeNum_CPF_CNPJ");
    cpfBox->home(false);
    QTest::keyClicks(cpfBox, cpf);
    QTest::keyClicks(child<QLineEdit>(&s, "dbeEmail_Proprietario"), cpf + QStringLiteral("@exemplo.com"));
    QTest::keyClicks(child<QLineEdit>(&s, "edtSenha"), QStringLiteral("Segredo123X")); // stops at ten

    AddressGroup *a = s.ownerAddressGroup();
    choose(child<QComboBox>(a, "dblId_Distrito"), 3);
    auto *code = child<QLineEdit>(a, "dbeNUM_LOGR");
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("1001"));
    QTest::keyClick(code, Qt::Key_Return);
    auto *number = child<QLineEdit>(a, "dbeNUM_IMOV_LOGR");
    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("100"));
    leave(number);
    QTest::keyClicks(child<QLineEdit>(a, "dbeCOD_AREA_ABRN"), QStringLiteral("3001"));
}

} // namespace

class TestPropAnimal : public QObject {
    Q_OBJECT
private slots:
    void newOwnerThroughTheScreen_data() { addEngineRows(); }
    void newOwnerThroughTheScreen()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        PropAnimalScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.windowTitle(), QStringLiteral("006 - Cadastro de proprietário e animal."));
        QVERIFY(!s.action(QStringLiteral("actPost"))->isEnabled());
        // A profile without the right to delete never sees Excluir enabled.
        s.applyPermissions(true, true, false, true);
        QVERIFY(!s.action(QStringLiteral("actDelete"))->isVisible());

        fillNewOwner(s, QStringLiteral("joana d'arc silva"), QStringLiteral("52998224725"));
        AddressGroup *a = s.ownerAddressGroup();
        // Enter on the street code filled name, sequence, type and neighbourhood;
        // leaving the even house number gave the even side's postal code.
        QCOMPARE(child<QLineEdit>(a, "dbeNOM_LOGR")->text(), QStringLiteral("JOANA D'ARC"));
        QCOMPARE(child<QLineEdit>(a, "dbeNUM_SEQU_LOGR")->text(), QStringLiteral("1"));
        QCOMPARE(child<QComboBox>(a, "dblTIP_LOGR")->currentData().toString(), QStringLiteral("RUA"));
        QCOMPARE(child<QComboBox>(a, "dblNUM_BAIR")->currentText(), QStringLiteral("CENTRO"));
        QCOMPARE(child<QLineEdit>(a, "dbeNUM_CEP")->text(), QStringLiteral("08000-001"));
        QVERIFY(child<QCheckBox>(a, "chkEnderecoOficial")->isChecked());
        QCOMPARE(child<QLineEdit>(&s, "dbeNome")->text(), QStringLiteral("JOANA D'ARC SILVA"));
        QCOMPARE(child<QLineEdit>(&s, "edtLogin")->text(), QStringLiteral("52998224725"));
        QCOMPARE(child<QComboBox>(&s, "cmbTipo_Pessoa")->currentText(), QStringLiteral("FÍSICA"));
        shot(&s, "006-novo");

        // The animal tabs wait until the owner is saved; so does closing.
        s.tabs()->setCurrentIndex(1);
        QCOMPARE(s.tabs()->currentIndex(), 0);
        QVERIFY2(msgs.last().startsWith(QStringLiteral("Você deve gravar ou cancelar a operação em andamento")), qPrintable(msgs.texts().join("|")));
        QVERIFY(!s.close());

        s.action(QStringLiteral("actPost"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Proprietário cadastrado com sucesso.\rCadastre o(s) animal(s)."));
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Browsing);
        QCOMPARE(s.tabs()->currentIndex(), 1);
        QVERIFY(s.idProprietarioAtual() > 0);
        QCOMPARE(s.windowTitle(), QStringLiteral("Prop.: JOANA D'ARC SILVA ele tem \"0\" animal(s) em seu nome."));
        const QVariant digest = Sql::scalar(t->main(), QStringLiteral("select senha_crip from usuario where Id_proprietario = :i"),
                                            {{"i", s.idProprietarioAtual()}});
        QCOMPARE(Sql::text(digest), PasswordDigest::of(QStringLiteral("Segredo123")));
        const QVariant cep = Sql::scalar(t->main(), QStringLiteral("select e.NUM_CEP from endereco e join proprietario p "
                                                                   "on (p.Id_Endereco = e.Id_Endereco) where p.Id_Proprietario = :i"),
                                         {{"i", s.idProprietarioAtual()}});
        QCOMPARE(Sql::text(cep), QStringLiteral("08000001"));
        s.tabs()->setCurrentIndex(0);
        QVERIFY(s.action(QStringLiteral("actEdit"))->isEnabled());
        QVERIFY(!s.action(QStringLiteral("actDelete"))->isEnabled());
        shot(&s, "006-gravado");

        // Altering without touching the tax number: no "already registered".
        msgs.clear();
        s.action(QStringLiteral("actEdit"))->trigger();
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Editing);
        QVERIFY(child<QLineEdit>(&s, "edtSenha")->isEnabled()); // no digest in the web unit yet
        leave(child<QLineEdit>(&s, "dbeNum_CPF_CNPJ"));
        QApplication::processEvents();
        QVERIFY2(msgs.shown.isEmpty(), qPrintable(msgs.texts().join('|')));
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Editing);
        QTest::keyClicks(child<QLineEdit>(&s, "edtSenha"), QStringLiteral("Outra12345"));
        s.action(QStringLiteral("actPost"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QVERIFY(s.close());
    }

    void refusedFieldTurnsYellow()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        PropAnimalScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        fillNewOwner(s, QStringLiteral("JOANA"), QStringLiteral("52998224725"));
        // Enter moves on as Tab does.
        child<QLineEdit>(&s, "dbeNome")->setFocus();
        QTest::keyClick(child<QLineEdit>(&s, "dbeNome"), Qt::Key_Return);
        QVERIFY(child<QLineEdit>(&s, "dbeTelefone_Residencial")->hasFocus());
        s.action(QStringLiteral("actPost"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Falta informar o sobre nome do proprietário."));
        auto *nome = child<QLineEdit>(&s, "dbeNome");
        QCOMPARE(nome->palette().color(QPalette::Base), QColor(Qt::yellow));
        QVERIFY(nome->hasFocus());
        shot(&s, "006-recusa");
        // Leaving the field gives back the normal background.
        child<QLineEdit>(&s, "dbeEmail_Proprietario")->setFocus();
        QApplication::processEvents();
        QVERIFY(nome->palette().color(QPalette::Base) != QColor(Qt::yellow));

        // A CNPJ refusal only focuses the field.
        QTest::keyClicks(nome, QStringLiteral(" SILVA"));
        choose(child<QComboBox>(&s, "cmbTipo_Pessoa"), QVariant());
        auto *tipo = child<QComboBox>(&s, "cmbTipo_Pessoa");
        tipo->setCurrentText(QStringLiteral("JURÍDICA"));
        auto *cpf = child<QLineEdit>(&s, "dbeNum_CPF_CNPJ");
        QCOMPARE(cpf->inputMask(), QStringLiteral("99.999.999/9999-99;_"));
        cpf->home(false);
        QTest::keyClicks(cpf, QStringLiteral("00000000000000"));
        s.action(QStringLiteral("actPost"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("CNPJ invalido!"));
        QVERIFY(cpf->hasFocus());
        QVERIFY(cpf->palette().color(QPalette::Base) != QColor(Qt::yellow));
        s.action(QStringLiteral("actCancel"))->trigger();
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Browsing);
    }

    void consultationLoadsIntoItsOwnScreen()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        OwnerEdit e;
        e.owner.id_Unidade_Trabalho = 1;
        e.owner.Nome = QStringLiteral("JOSÉ D'ÁVILA");
        e.owner.Telefone_Residencial = QStringLiteral("(11)33334444");
        e.owner.Tipo_Pessoa = QStringLiteral("FÍSICA");
        e.owner.Num_CPF_CNPJ = QStringLiteral("11144477735");
        e.owner.Email_Proprietario = QStringLiteral("jose@exemplo.com");
        e.address.NOM_LOGR = QStringLiteral("SÃO JOÃO");
        e.password = QStringLiteral("Segredo123");
        const int id = OwnerStore(t->main()).insert(e);
        Sql::exec(t->main(), QStringLiteral("insert into animal (Id_Proprietario, Nome) values (:p, 'REX')"), {{"p", id}});
        const int animal = Sql::scalar(t->main(), QStringLiteral("select max(Id_Animal) from animal")).toInt();

        RecordingMessages msgs;
        ScreenCatalog catalog;
        registerRegistryScreens(catalog);
        QWidget main;
        auto *first = qobject_cast<PropAnimalScreen *>(catalog.open(6, &main));
        auto *second = qobject_cast<PropAnimalScreen *>(catalog.open(6, &main));
        QVERIFY(first && second);
        first->action(QStringLiteral("actPesquisar"))->trigger();
        OwnerConsultation *c = first->consultation();
        QVERIFY(c);
        QCOMPARE(c->fieldBox()->currentText(), QStringLiteral("Nome prop.")); // the field most searched by
        c->localizar();
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar o campo ou o texto para a pesquisa. "));
        c->fieldBox()->setCurrentText(QStringLiteral("Nome prop."));
        QTest::keyClicks(c->textBox(), QStringLiteral("jose d'"));
        QCOMPARE(c->textBox()->text(), QStringLiteral("JOSE D'"));
        c->localizar();
        QCOMPARE(c->statusText(), QStringLiteral("1 registros encontrado."));
        shot(c, "consulta");
        QSignalSpy loaded(first, &PropAnimalScreen::ownerLoaded);
        c->ok();
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded.first().at(0).toInt(), id);
        QCOMPARE(loaded.first().at(1).toInt(), animal);
        QCOMPARE(first->idProprietarioAtual(), id);
        QCOMPARE(second->idProprietarioAtual(), 0); // the other instance is untouched
        QCOMPARE(first->windowTitle(), QStringLiteral("Prop.: JOSÉ D'ÁVILA ele tem \"1\" animal(s) em seu nome."));

        // Closing the screen takes its consultation along.
        first->action(QStringLiteral("actPesquisar"))->trigger();
        QPointer<OwnerConsultation> open = first->consultation();
        QVERIFY(open);
        delete first;
        QVERIFY(!open);
        delete second;
    }

    void typingChecksAndDeleting()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        PropAnimalScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        fillNewOwner(s, QStringLiteral("MARIA SOUZA"), QStringLiteral("52998224725"));
        s.action(QStringLiteral("actPost"))->trigger();
        const int maria = s.idProprietarioAtual();
        QVERIFY(maria > 0);
        s.tabs()->setCurrentIndex(0);

        // A new owner named like an active one: "No" goes on with the insert.
        msgs.answers = {false};
        s.action(QStringLiteral("actAppend"))->trigger();
        auto *nome = child<QLineEdit>(&s, "dbeNome");
        nome->setFocus();
        QTest::keyClicks(nome, QStringLiteral("maria souza"));
        QCOMPARE(s.windowTitle(), QStringLiteral("MARIA SOUZA"));
        leave(nome);
        QApplication::processEvents();
        QVERIFY(msgs.last().startsWith(QStringLiteral("Um Proprietário com o mesmo nome foi localizado.")));
        QVERIFY(msgs.last().contains(QStringLiteral("\rNome: MARIA SOUZA\rTelefones: (11)33334444 /  / \rEndereço: RUA:JOANA D'ARC,100 ")));
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Inserting);

        // The same tax number with other check digits: the owner is loaded.
        auto *cpf = child<QLineEdit>(&s, "dbeNum_CPF_CNPJ");
        cpf->setFocus();
        cpf->home(false);
        QTest::keyClicks(cpf, QStringLiteral("52998224700"));
        leave(cpf);
        QApplication::processEvents();
        QCOMPARE(msgs.last(), QStringLiteral("Usuário já cadastrado!"));
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Browsing);
        QCOMPARE(s.idProprietarioAtual(), maria);

        // An owner with an animal stays; one without goes, after Yes.
        Sql::exec(t->main(), QStringLiteral("insert into animal (Id_Proprietario, Nome) values (:p, 'REX')"), {{"p", maria}});
        s.action(QStringLiteral("actDelete"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Consta registro de animal(s) para este proprietário!\rO registro não pode ser excluído."));
        Sql::exec(t->main(), QStringLiteral("delete from animal"));
        msgs.answers = {true};
        s.action(QStringLiteral("actDelete"))->trigger();
        QCOMPARE(msgs.shown.at(msgs.shown.size() - 2).text,
                 QStringLiteral(" Você irá excluir definitivamente o proprietário MARIA SOUZA\r deseje continuar?"));
        QCOMPARE(msgs.last(), QStringLiteral("Operação realizada com sucesso!"));
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select count(*) from proprietario")).toInt(), 0);
        QCOMPARE(s.idProprietarioAtual(), 0);
        s.action(QStringLiteral("actPrint"))->trigger();
        QCOMPARE(msgs.last(), QStringLiteral("Localize um tutor para gerar o relatório."));
    }

    void registeredTaxNumberThenGravarShowsTheOwnerOnce()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        PropAnimalScreen s;
        s.show();
        QVERIFY(QTest::qWaitForWindowActive(&s));
        fillNewOwner(s, QStringLiteral("MARIA SOUZA"), QStringLiteral("52998224725"));
        s.action(QStringLiteral("actPost"))->trigger();
        const int maria = s.idProprietarioAtual();
        QVERIFY(maria > 0);
        s.tabs()->setCurrentIndex(0);

        // An eight-digit landline reads as stored while browsing; the mask
        // (and its blanks) only while typing.
        auto *phone = child<QLineEdit>(&s, "dbeTelefone_Residencial");
        QCOMPARE(phone->text(), QStringLiteral("(11)33334444"));
        s.action(QStringLiteral("actEdit"))->trigger();
        QVERIFY(!phone->inputMask().isEmpty());
        QCOMPARE(QString(phone->text()).remove(QLatin1Char(' ')), QStringLiteral("(11)33334444"));
        s.action(QStringLiteral("actCancel"))->trigger();
        QCOMPARE(phone->text(), QStringLiteral("(11)33334444"));
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select Telefone_Residencial from proprietario")).toString().trimmed(),
                 QStringLiteral("(11)33334444"));

        // Typed and saved at once, without leaving the field first.
        msgs.clear();
        s.action(QStringLiteral("actAppend"))->trigger();
        choose(child<QComboBox>(&s, "dblUnidade"), 1);
        QTest::keyClicks(child<QLineEdit>(&s, "dbeNome"), QStringLiteral("OUTRA MARIA"));
        auto *cpf = child<QLineEdit>(&s, "dbeNum_CPF_CNPJ");
        cpf->setFocus();
        cpf->home(false);
        QTest::keyClicks(cpf, QStringLiteral("52998224725"));
        s.action(QStringLiteral("actPost"))->trigger();
        QApplication::processEvents();
        QCOMPARE(msgs.texts().count(QStringLiteral("Usuário já cadastrado!")), 1);
        QVERIFY2(!msgs.texts().contains(QStringLiteral("CPF/CNPJ já cadastrado.")), qPrintable(msgs.texts().join(QLatin1Char('|'))));
        QCOMPARE(s.ownerMode(), PropAnimalScreen::Mode::Browsing);
        QCOMPARE(s.idProprietarioAtual(), maria);
        QCOMPARE(Sql::scalar(t->main(), QStringLiteral("select count(*) from proprietario")).toInt(), 1);
    }

    void ownerSearchServesItsSide()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        OwnerEdit e;
        e.owner.id_Unidade_Trabalho = 1;
        e.owner.Nome = QStringLiteral("JOSÉ D'ÁVILA");
        e.owner.Num_CPF_CNPJ = QStringLiteral("11144477735");
        e.owner.Num_CI = QStringLiteral("MG123");
        e.address.TIP_LOGR = QStringLiteral("RUA");
        e.address.NOM_LOGR = QStringLiteral("JOANA D'ARC");
        e.address.NUM_IMOV_LOGR = 12;
        e.address.NOM_BAIR = QStringLiteral("CENTRO");
        e.password = QStringLiteral("Segredo123");
        const int id = OwnerStore(t->main()).insert(e);
        Sql::exec(t->main(), QStringLiteral("update proprietario set Status_Registro = 'INATIVO'"));

        RecordingMessages msgs;
        QWidget transfer;
        auto *w = new OwnerSearchWindow(&transfer, 2);
        QCOMPARE(w->windowTitle(), QStringLiteral("Pesquisa prorietário."));
        QList<QVariantList> shown, chosen;
        w->ownerShown = [&](int target, int owner, const QString &nome, const QString &endereco) {
            shown << QVariantList{target, owner, nome, endereco};
        };
        w->ownerChosen = [&](int target, int owner, const QString &nome, const QString &endereco) {
            chosen << QVariantList{target, owner, nome, endereco};
        };
        QCOMPARE(w->fieldBox()->currentText(), QStringLiteral("Nome")); // the field most searched by
        w->fieldBox()->setCurrentIndex(-1);
        w->fieldBox()->setCurrentText(QString());
        w->pesquisar();
        QCOMPARE(msgs.last(), QStringLiteral("Selecione o campo a ser pesquisado."));
        w->fieldBox()->setCurrentText(QStringLiteral("Nome"));
        w->pesquisar();
        QCOMPARE(msgs.last(), QStringLiteral("Digite o texto à ser pesquisado."));
        w->textBox()->setText(QStringLiteral("JOSE D'A")); // any status, accents ignored
        w->pesquisar();
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first(), (QVariantList{2, id, QStringLiteral("JOSÉ D'ÁVILA"),
                                              QStringLiteral("RUA JOANA D'ARC nº 12; Bairro: CENTRO")}));
        w->ok();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().at(0).toInt(), 2);
    }

    void addressLookups()
    {
        auto t = TestDatabase::create(QStringLiteral("sqlite"));
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        AddressGroup g(AddressGroup::Kind::Owner);
        g.loadLists();
        g.show();
        QVERIFY(QTest::qWaitForWindowActive(&g));
        QSignalSpy search(&g, &AddressGroup::streetSearchRequested);

        // Nothing happens while the record is not being edited.
        auto *code = child<QLineEdit>(&g, "dbeNUM_LOGR");
        code->setText(QStringLiteral("1001"));
        g.lookupStreetCode();
        QVERIFY(child<QLineEdit>(&g, "dbeNOM_LOGR")->text().isEmpty());
        g.setEditing(true);

        // An unknown street code opens the street search on "Núm lograd.".
        code->setText(QStringLiteral("77"));
        g.lookupStreetCode();
        QCOMPARE(search.size(), 1);
        QCOMPARE(search.first().at(0).toString(), QStringLiteral("Núm lograd."));
        QCOMPARE(search.first().at(2).toBool(), true);

        // A name typed by hand clears the street code; leaving it looks it up.
        auto *name = child<QLineEdit>(&g, "dbeNOM_LOGR");
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("o'brien"));
        QCOMPARE(code->text(), QStringLiteral("0"));
        name->setText(QStringLiteral("DO O'BRIEN"));
        leave(name);
        QCOMPARE(code->text(), QStringLiteral("1006"));
        // Its type (BC) is not among the street types: the box stays empty.
        QCOMPARE(child<QComboBox>(&g, "dblTIP_LOGR")->currentIndex(), 0);
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral(" X"));
        name->setText(QStringLiteral("DAS FLORES"));
        leave(name);
        QCOMPARE(search.size(), 2);
        QCOMPARE(search.last().at(0).toString(), QStringLiteral("Logradouro"));
        QCOMPARE(search.last().at(1).toString(), QStringLiteral("DAS FLORES"));

        // Postal code: unknown, malformed, known (and filled on Yes).
        auto *cep = child<QLineEdit>(&g, "dbeNUM_CEP");
        cep->setText(QStringLiteral("99999999"));
        g.lookupPostalCode();
        QCOMPARE(msgs.last(), QStringLiteral("CEP não encontrado: 99999-999"));
        QVERIFY(Documents::digitsOnly(cep->text()).isEmpty());
        cep->setText(QStringLiteral("0800"));
        g.lookupPostalCode();
        QCOMPARE(msgs.last(), QStringLiteral("CEP invalido!"));
        cep->setText(QStringLiteral("08000020"));
        g.lookupPostalCode();
        QCOMPARE(msgs.last(), QStringLiteral("Endereço do CEP correspondente localizado.\rDeseja preencher os campos?"));
        QCOMPARE(code->text(), QStringLiteral("1002"));
        QCOMPARE(name->text(), QStringLiteral("SÃO JOÃO"));
        QCOMPARE(child<QComboBox>(&g, "dblTIP_LOGR")->currentData().toString(), QStringLiteral("AV"));
        cep->setText(QStringLiteral("08000100")); // street 1006, type BC
        g.lookupPostalCode();
        QCOMPARE(child<QComboBox>(&g, "dblTIP_LOGR")->currentIndex(), 0);

        // House number parity picks the side's postal code.
        code->setText(QStringLiteral("1001"));
        auto *number = child<QLineEdit>(&g, "dbeNUM_IMOV_LOGR");
        number->setText(QStringLiteral("101"));
        g.lookupPostalCodeOfHouse();
        QCOMPARE(Documents::digitsOnly(cep->text()), QStringLiteral("08000000"));

        // District 3 narrows the areas; a code outside them is refused.
        auto *district = child<QComboBox>(&g, "dblId_Distrito");
        choose(district, 3);
        QCOMPARE(child<QComboBox>(&g, "dblCOD_AREA_ABRN")->count(), 5); // four and the empty entry
        child<QLineEdit>(&g, "dbeCOD_AREA_ABRN")->setText(QStringLiteral("4001"));
        g.checkTypedArea();
        QCOMPARE(msgs.last(), QStringLiteral("Área não encontrada!\rVerifica o a regional selecionada contem esta área."));
        child<QLineEdit>(&g, "dbeCOD_AREA_ABRN")->setText(QStringLiteral("3002"));
        g.checkTypedArea();
        QCOMPARE(child<QComboBox>(&g, "dblCOD_AREA_ABRN")->currentData().toInt(), 3002);

        const Endereco e = g.address();
        QCOMPARE(e.NUM_LOGR.toInt(), 1001);
        QCOMPARE(e.NUM_CEP, QStringLiteral("08000000"));
        QCOMPARE(e.Id_Distrito.toInt(), 3);
        QCOMPARE(e.COD_AREA_ABRN.toInt(), 3002);
        shot(&g, "endereco");

        // Every editor is found by the caption the user reads.
        for (QLabel *l : g.findChildren<QLabel *>())
            QVERIFY2(l->buddy(), qPrintable(l->text()));
    }

    // The keys from wherever the clerk's cursor is: Ctrl+Insert and
    // Ctrl+Backspace from "Nº microchip" (where saving the owner leaves it),
    // Ctrl+Page Down / Up between the tabs, Ctrl+P searching and Escape
    // closing the search; the toolbar names the keys.
    void keyboard_data() { addEngineRows(); }
    void keyboard()
    {
        ZAPO_TEST_DB(t);
        RegistryFixture::fill(t->dm());
        RecordingMessages msgs;
        PropAnimalScreen s;
        s.show();
        QApplication::setActiveWindow(&s);
        QVERIFY(QTest::qWaitForWindowActive(&s));
        QCOMPARE(s.action(QStringLiteral("actAppend"))->toolTip(), QStringLiteral("Novo (Ctrl+Insert)"));
        QVERIFY(s.action(QStringLiteral("actPrint"))->shortcuts().isEmpty());
        QCOMPARE(s.action(QStringLiteral("actPesquisar"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

        fillNewOwner(s, QStringLiteral("joana d'arc silva"), QStringLiteral("52998224725"));
        s.action(QStringLiteral("actPost"))->trigger();
        QCOMPARE(s.tabs()->currentIndex(), 1);
        QWidget *chip = editorByCaption(s.animalPanel(), QStringLiteral("Nº microchip:"));
        QVERIFY(chip);
        chip->setFocus();
        QVERIFY(chip->hasFocus());
        QTest::keyClick(chip, Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(s.animalPanel()->isEditing());
        chip->setFocus();
        QTest::keyClick(chip, Qt::Key_Backspace, Qt::ControlModifier);
        QVERIFY(!s.animalPanel()->isEditing());

        chip->setFocus();
        QTest::keyClick(chip, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(s.tabs()->currentIndex(), 0);
        QWidget *name = child<QLineEdit>(&s, "dbeNome");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(s.tabs()->currentIndex(), 1);
        s.tabs()->setCurrentIndex(0);

        // Ctrl+P searches; the printed list is on its button only.
        name->setFocus();
        QTest::keyClick(name, Qt::Key_P, Qt::ControlModifier);
        QPointer<QWidget> consultation = s.findChild<QWidget *>(QStringLiteral("frmConsultaProprietario"));
        QVERIFY(consultation);
        QVERIFY(consultation->isVisible());
        QApplication::setActiveWindow(consultation);
        QVERIFY(QTest::qWaitForWindowActive(consultation));
        QWidget *inside = QApplication::focusWidget();
        QVERIFY(inside && consultation->isAncestorOf(inside));
        QTest::keyClick(inside, Qt::Key_Escape);
        QTRY_VERIFY(!consultation || !consultation->isVisible());
    }
};

QTEST_MAIN(TestPropAnimal)
#include "tst_propanimal.moc"
