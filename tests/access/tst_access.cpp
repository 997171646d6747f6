// The access administration screens, opened through the catalog as the menu
// opens them, against the real schema on both engines.
#include "access/AccessScreens.h"
#include "access/PerfilScreen.h"
#include "app/MenuPrincipalScreen.h"
#include "db/DataModule.h"
#include "db/PasswordDigest.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"
#include "ui/register/RegisterScreen.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace {

QWidget *host() { return screenHost(); }
std::unique_ptr<RegisterScreen> openScreen(int number) { return openRegisterScreen(number); }
QLineEdit *line(QWidget *s, const QString &caption) { return lineByCaption(s, caption); }
void type(QWidget *s, const QString &caption, const QString &text)
{
    QVERIFY2(typeInto(s, caption, text), qPrintable(caption));
}

// ZAPO_SHOTS=<dir>: saves what the screen looks like there.
void shoot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZAPO_SHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

int count(const QString &sql)
{
    return Sql::scalar(mainConnection(), sql).toInt();
}

void exec(const QString &sql)
{
    Sql::exec(mainConnection(), sql);
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerAccessScreens(ScreenCatalog::instance()); }
    void init()
    {
        usuarioLogado() = TUsuarioLogado{};
        usuarioLogado().IdUsuario = QStringLiteral("3");
    }

    void unitKeysFollowTheGreatest_data() { addEngineRows(); }
    void unitKeysFollowTheGreatest()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        auto s = openScreen(1);
        QVERIFY(s);
        QCOMPARE(s->windowTitle(), QStringLiteral("001 - Cadastro de unidade de trabalho."));
        s->show();
        s->append();
        s->post();
        QCOMPARE(msgs.last(), QStringLiteral("Falta preencher o nome da unidade!"));
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("centro"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where Nome = 'CENTRO'")), 1);
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (2, 'B', 'ATIVO')"));
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (7, 'C', 'INATIVO')"));
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("norte"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(line(s.get(), QStringLiteral("Código:"))->text(), QStringLiteral("8"));
        QCOMPARE(count(QStringLiteral("select Inserido_Por from unidade_trabalho where Id_Unidade_Trabalho = 8")), 3);
    }

    void unitInUseIsNotDeleted_data() { addEngineRows(); }
    void unitInUseIsNotDeleted()
    {
        ZAPO_TEST_DB(t);
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (5, 'SUL', 'ATIVO')"));
        RecordingMessages msgs;
        auto s = openScreen(1);
        s->show();
        // Each table that belongs to a unit refuses on its own.
        const QStringList users{QStringLiteral("insert into impedimento (Id_Impedimento, Id_Unidade_Trabalho) values (1, 5)"),
                                QStringLiteral("insert into usuario (Nome, Id_Unidade_Trabalho) values ('ANA', 5)"),
                                QStringLiteral("insert into unidade_trabalho_profissional (id_unidade_trabalho, Id_Profissional) values (5, 1)")};
        const QStringList cleanup{QStringLiteral("delete from impedimento"), QStringLiteral("delete from usuario"),
                                  QStringLiteral("delete from unidade_trabalho_profissional")};
        for (int i = 0; i < users.size(); ++i) {
            exec(users.at(i));
            s->showKey(5);
            msgs.clear();
            QVERIFY(!s->remove());
            QCOMPARE(msgs.last(), QStringLiteral("A unidade de trabalho não pode ser excluída, ela esta sendo usado pelo sistema."));
            QCOMPARE(msgs.shown.size(), 1); // refused before asking
            QCOMPARE(count(QStringLiteral("select count(*) from unidade_trabalho")), 1);
            exec(cleanup.at(i));
        }
        msgs.clear();
        s->showKey(5);
        QVERIFY(s->remove());
        QCOMPARE(msgs.shown.first().text, QStringLiteral("Você esta preste a deletar a unidade nº: 5\r deseje continuar?"));
        QCOMPARE(count(QStringLiteral("select count(*) from unidade_trabalho")), 0);
    }

    void userPasswordIsStoredAsDigestAndKept_data() { addEngineRows(); }
    void userPasswordIsStoredAsDigestAndKept()
    {
        ZAPO_TEST_DB(t);
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Ind_Status) values (1, 'CENTRO', 'ATIVO')"));
        exec(QStringLiteral("insert into perfil (Id_Perfil, Nome) values (4, 'ADM')"));
        // An owner's web account shares the table but is not the screen's.
        exec(QStringLiteral("insert into usuario (Nome, Login, Id_proprietario) values ('DONO', 'DONO', 9)"));
        RecordingMessages msgs;
        auto s = openScreen(3);
        QVERIFY(s);
        s->show();
        s->refresh();
        QCOMPARE(s->model()->rowCount(), 0);

        s->append();
        auto *unit = qobject_cast<QComboBox *>(editorByCaption(s.get(), QStringLiteral("Unidade de trabalho:")));
        auto *profile = qobject_cast<QComboBox *>(editorByCaption(s.get(), QStringLiteral("Perfil:")));
        QVERIFY(unit && profile);
        unit->setCurrentIndex(unit->findText(QStringLiteral("CENTRO")));
        profile->setCurrentIndex(profile->findText(QStringLiteral("ADM")));
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("maria"));
        type(s.get(), QStringLiteral("Login:"), QStringLiteral("maria"));
        type(s.get(), QStringLiteral("Senha:"), QStringLiteral("abc1"));
        QCOMPARE(line(s.get(), QStringLiteral("Senha:"))->echoMode(), QLineEdit::Password);
        shoot(s.get(), QStringLiteral("usuario"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        const QString where = QStringLiteral(" from usuario where Nome = 'MARIA'");
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select senha_crip") + where)), PasswordDigest::of(QStringLiteral("ABC1")));
        QCOMPARE(count(QStringLiteral("select Id_Unidade_Trabalho") + where), 1);
        QCOMPARE(count(QStringLiteral("select Id_Perfil") + where), 4);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Bloqueado") + where)), QStringLiteral("NAO"));
        // The box never shows the digest.
        QVERIFY(line(s.get(), QStringLiteral("Senha:"))->text().isEmpty());

        s->edit();
        type(s.get(), QStringLiteral("Login:"), QStringLiteral("mari"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select senha_crip") + where)), PasswordDigest::of(QStringLiteral("ABC1")));
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Login") + where)), QStringLiteral("MARI"));

        s->edit();
        type(s.get(), QStringLiteral("Senha:"), QStringLiteral("nova"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select senha_crip") + where)), PasswordDigest::of(QStringLiteral("NOVA")));

        // A second user of the same name is refused; the list holds only staff.
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("maria"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Já existe um usuário cadastrado com este nome."));
        s->cancel();
        s->refresh();
        QCOMPARE(s->model()->rowCount(), 1);
        // Sorting by the unit column works.
        s->sortByColumn(5);
        QCOMPARE(s->model()->rowCount(), 1);
    }

    void profileSavesItsPermissionLinesTogether_data() { addEngineRows(); }
    void profileSavesItsPermissionLinesTogether()
    {
        ZAPO_TEST_DB(t);
        for (const char *table : {"perfil_form", "perfil", "usuario", "form"})
            exec(QStringLiteral("delete from ") + QLatin1String(table));
        exec(QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form, Tag, Ind_Status) values (1, 'UNIDADE', 'U', 'F', 1, 'ATIVO')"));
        exec(QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form, Tag, Ind_Status) values (3, 'USUARIO', 'X', 'F', 3, 'ATIVO')"));
        exec(QStringLiteral("insert into form (Id_Form, Nome, Descricao, Tipo_Form, Tag, Ind_Status) values (25, 'LISTA', 'L', 'R', 25, 'ATIVO')"));
        RecordingMessages msgs;
        QWidget *w = ScreenCatalog::instance().open(2, host());
        std::unique_ptr<PerfilScreen> s(qobject_cast<PerfilScreen *>(w));
        QVERIFY(s);
        s->setAttribute(Qt::WA_DeleteOnClose, false);
        s->show();
        s->addLine();
        QCOMPARE(msgs.last(), QStringLiteral("É necessário que o arquivo esteja no modo de inserção ou edição para incluir ou excluir um novo formulário ou relatório."));

        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("ATENDENTE"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Falta selecionar os formulários e relatórios deste perfil."));
        s->selection()->setCurrentIndex(0); // Formulário: reports are not offered
        QCOMPARE(s->forms()->count(), 2);
        s->forms()->setCurrentIndex(s->forms()->findText(QStringLiteral("UNIDADE")));
        s->flag(0)->setChecked(false);
        s->addLine();
        s->flag(0)->setChecked(true);
        s->forms()->setCurrentIndex(s->forms()->findText(QStringLiteral("USUARIO")));
        s->addLine();
        s->addLine(); // the same form again replaces its line
        QCOMPARE(s->permissions()->topLevelItemCount(), 2);
        s->tabs()->setCurrentIndex(1);
        shoot(s.get(), QStringLiteral("perfil"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Perfil = 1")), 2);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Visualizar from perfil_form where Id_Perfil = 1 and Id_Form = 1"))),
                 QStringLiteral("N"));
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Excluir from perfil_form where Id_Perfil = 1 and Id_Form = 3"))),
                 QStringLiteral("S"));

        // A second profile of that name is refused.
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("ATENDENTE"));
        QVERIFY(s->permissions()->topLevelItemCount() == 0);
        s->selection()->setCurrentIndex(1);
        s->forms()->setCurrentIndex(0);
        s->addLine();
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Já existe um perfil com este nome."));
        s->cancel();

        // Altering rewrites the rows: one removed, a report added.
        s->showKey(1);
        QCOMPARE(s->permissions()->topLevelItemCount(), 2);
        s->edit();
        s->permissions()->setCurrentItem(s->permissions()->topLevelItem(0));
        s->removeLine();
        s->selection()->setCurrentIndex(1);
        QCOMPARE(s->forms()->count(), 1);
        s->forms()->setCurrentIndex(0);
        s->addLine();
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Perfil = 1")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Perfil = 1 and Id_Form in (3, 25)")), 2);

        // A failing rewrite leaves the stored rows as they were.
        s->edit();
        s->permissions()->topLevelItem(0)->setText(0, QStringLiteral("x")); // not a form number
        s->permissions()->topLevelItem(1)->setText(0, QStringLiteral("x"));
        QVERIFY(!s->post()); // two rows for the same pair
        s->cancel();
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Perfil = 1 and Id_Form in (3, 25)")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Perfil = 1")), 2);

        // A user of the profile sees exactly the entries of its forms' tags.
        {
            usuarioLogado().IdPerfil = QStringLiteral("1");
            usuarioLogado().IdUnidadeTrabalho = QStringLiteral("1");
            usuarioLogado().NomeUsuario = QStringLiteral("JOAO");
            usuarioLogado().Login = QStringLiteral("JOAO");
            MenuPrincipalScreen w;
            w.configureMenu();
            QSet<int> tags;
            QStringList names;
            for (QAction *a : w.entryActions())
                if (a->isEnabled() && !a->isSeparator() && a->property("tag").toInt() > 0) {
                    tags << a->property("tag").toInt();
                    names << a->objectName();
                }
            QCOMPARE(tags, (QSet<int>{3, 25}));
            QVERIFY(names.contains(QStringLiteral("mnu003")));
        }

        // In use: refused with the user's name; otherwise its rows go with it.
        exec(QStringLiteral("insert into usuario (Nome, Id_Perfil) values ('JOAO', 1)"));
        s->showKey(1);
        msgs.clear();
        QVERIFY(!s->remove());
        QCOMPARE(msgs.last(), QStringLiteral("Você não pode excluir este perfil.\rEle esta sendo usado pelo usuário.JOAO"));
        exec(QStringLiteral("delete from usuario"));
        QVERIFY(s->remove());
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from perfil")), 0);
    }

    void formRegistrySaves_data() { addEngineRows(); }
    void formRegistrySaves()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        exec(QStringLiteral("delete from form"));
        auto s = openScreen(47);
        QVERIFY(s);
        s->show();
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("Usuarios"));
        type(s.get(), QStringLiteral("Tag:"), QStringLiteral("3"));
        auto *tipo = qobject_cast<QComboBox *>(editorByCaption(s.get(), QStringLiteral("Tipo formul.:")));
        QVERIFY(tipo);
        tipo->setCurrentIndex(tipo->findText(QStringLiteral("F")));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select Tag from form where Id_Form = 1")), 3);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Tipo_Form from form where Id_Form = 1"))), QStringLiteral("F"));
    }
    void storedUnitOutsideTheOfferedListIsKept_data() { addEngineRows(); }
    void storedUnitOutsideTheOfferedListIsKept()
    {
        ZAPO_TEST_DB(t);
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status) values (1, 'são josé', 'Centro', 'ATIVO')"));
        exec(QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status) values (2, 'VELHA', 'Fechada', 'INATIVO')"));
        exec(QStringLiteral("insert into perfil (Id_Perfil, Nome) values (4, 'adm')"));
        exec(QStringLiteral("insert into usuario (Nome, Login, Id_Unidade_Trabalho, Id_Perfil, Bloqueado, Inativo) values ('RUI', 'RUI', 2, 4, 'NAO', 'NAO')"));
        const int rui = count(QStringLiteral("select Id_Usuario from usuario where Nome = 'RUI'"));
        RecordingMessages msgs;
        auto s = openScreen(3);
        s->show();
        s->showKey(rui);
        auto *unit = qobject_cast<QComboBox *>(editorByCaption(s.get(), QStringLiteral("Unidade de trabalho:")));
        QVERIFY(unit);
        // The inactive unit shows for this user, by name.
        QCOMPARE(unit->currentText(), QStringLiteral("VELHA"));
        s->edit();
        type(s.get(), QStringLiteral("Login:"), QStringLiteral("rui2"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select Id_Unidade_Trabalho from usuario where Nome = 'RUI'")), 2);
        QCOMPARE(Sql::text(Sql::scalar(mainConnection(), QStringLiteral("select Login from usuario where Nome = 'RUI'"))), QStringLiteral("RUI2"));

        // A new user is offered only the active units, names in upper case
        // with their accents.
        s->append();
        QStringList offered;
        for (int i = 0; i < unit->count(); ++i)
            offered << unit->itemText(i);
        QCOMPARE(offered, QStringList{QStringLiteral("SÃO JOSÉ")});
        auto *profile = qobject_cast<QComboBox *>(editorByCaption(s.get(), QStringLiteral("Perfil:")));
        QVERIFY(profile->findText(QStringLiteral("ADM")) >= 0);
        s->cancel();

        // Picking another unit does change it.
        s->showKey(rui);
        s->edit();
        unit->setCurrentIndex(unit->findText(QStringLiteral("SÃO JOSÉ")));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select Id_Unidade_Trabalho from usuario where Nome = 'RUI'")), 1);
    }

    void refusalsAreShownOutsideTheTransaction_data() { addEngineRows(); }
    void refusalsAreShownOutsideTheTransaction()
    {
        ZAPO_TEST_DB(t);
        exec(QStringLiteral("insert into usuario (Nome, Login) values ('ANA', 'ANA')"));
        RecordingMessages msgs;
        auto s = openScreen(3);
        s->show();
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("ana"));
        QVERIFY(!s->post());
        QCOMPARE(msgs.last(), QStringLiteral("Já existe um usuário cadastrado com este nome."));
        QVERIFY(msgs.underTransaction.isEmpty());
    }

    void listsComeBackWholeAfterCancelAndAlteration_data() { addEngineRows(); }
    void listsComeBackWholeAfterCancelAndAlteration()
    {
        ZAPO_TEST_DB(t);
        for (const char *table : {"perfil_form", "usuario", "perfil", "form"})
            exec(QStringLiteral("delete from ") + QLatin1String(table));
        exec(QStringLiteral("insert into usuario (Nome, Login) values ('ANA', 'ANA')"));
        exec(QStringLiteral("insert into usuario (Nome, Login) values ('BIA', 'BIA')"));
        RecordingMessages msgs;
        auto users = openScreen(3);
        users->show();
        users->showKey(count(QStringLiteral("select Id_Usuario from usuario where Nome = 'BIA'")));
        QCOMPARE(users->model()->rowCount(), 1);
        users->edit();
        users->cancel();
        QCOMPARE(users->model()->rowCount(), 2);

        exec(QStringLiteral("insert into form (Id_Form, Nome, Tipo_Form, Tag, Ind_Status) values (1, 'UNIDADE', 'F', 1, 'ATIVO')"));
        for (int id : {1, 2, 3}) {
            exec(QStringLiteral("insert into perfil (Id_Perfil, Nome) values (%1, 'P%1')").arg(id));
            exec(QStringLiteral("insert into perfil_form (Id_Perfil, Id_Form, Visualizar, Incluir, Alterar, Excluir, Imprimir) "
                                "values (%1, 1, 'S', 'S', 'S', 'S', 'S')").arg(id));
        }
        QWidget *w = ScreenCatalog::instance().open(2, host());
        std::unique_ptr<PerfilScreen> s(qobject_cast<PerfilScreen *>(w));
        s->setAttribute(Qt::WA_DeleteOnClose, false);
        s->show();
        s->showKey(2);
        QCOMPARE(s->model()->rowCount(), 1);
        s->edit();
        // Names are typed in upper case.
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("gerência"));
        QCOMPARE(line(s.get(), QStringLiteral("Nome:"))->text(), QStringLiteral("GERÊNCIA"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(s->model()->rowCount(), 3);
        QCOMPARE(s->currentKey().toInt(), 2);
        QCOMPARE(s->permissions()->topLevelItemCount(), 1);
    }

    void deletedFormTakesItsGrantsAlong_data() { addEngineRows(); }
    void deletedFormTakesItsGrantsAlong()
    {
        ZAPO_TEST_DB(t);
        for (const char *table : {"perfil_form", "usuario", "perfil", "form"})
            exec(QStringLiteral("delete from ") + QLatin1String(table));
        for (int id : {1, 2, 3})
            exec(QStringLiteral("insert into form (Id_Form, Nome, Tipo_Form, Tag, Ind_Status) values (%1, 'F%1', 'F', %1, 'ATIVO')").arg(id));
        exec(QStringLiteral("insert into perfil (Id_Perfil, Nome) values (1, 'ATENDENTE')"));
        for (int form : {1, 3})
            exec(QStringLiteral("insert into perfil_form (Id_Perfil, Id_Form, Visualizar, Incluir, Alterar, Excluir, Imprimir) "
                                "values (1, %1, 'S', 'S', 'S', 'S', 'S')").arg(form));
        RecordingMessages msgs;
        auto s = openScreen(47);
        s->show();
        s->showKey(3);
        QVERIFY(s->remove());
        QCOMPARE(msgs.shown.first().kind, QStringLiteral("information")); // no question asked
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Form = 3")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Form = 1")), 1);

        // The next form gets the deleted one's key, and nobody's grants.
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("NOVO"));
        // "Tag:" takes whole numbers only.
        type(s.get(), QStringLiteral("Tag:"), QStringLiteral("1a2,5"));
        QCOMPARE(line(s.get(), QStringLiteral("Tag:"))->text(), QStringLiteral("125"));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(line(s.get(), QStringLiteral("Código:"))->text(), QStringLiteral("3"));
        QCOMPARE(count(QStringLiteral("select Tag from form where Id_Form = 3")), 125);
        QCOMPARE(count(QStringLiteral("select count(*) from perfil_form where Id_Form = 3")), 0);
    }

    void textsAreTrimmedAndHeldToTheirColumns_data() { addEngineRows(); }
    void textsAreTrimmedAndHeldToTheirColumns()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        auto s = openScreen(1);
        s->show();
        s->append();
        type(s.get(), QStringLiteral("Nome:"), QStringLiteral("  oeste  "));
        QVERIFY2(s->post(), qPrintable(msgs.last()));
        QCOMPARE(count(QStringLiteral("select count(*) from unidade_trabalho where Nome = 'OESTE'")), 1);

        // A field whose screen names no width stops at the column's.
        QWidget parent;
        auto b = FieldBinder::create(text(QStringLiteral("Nome:"), QStringLiteral("Nome")), nullptr, &parent, QStringLiteral("perfil"));
        auto *e = qobject_cast<QLineEdit *>(b->editor());
        e->setText(QString(80, QLatin1Char('A')));
        QCOMPARE(e->text().size(), 50);

        // What the program itself puts in a field too small for it is
        // refused by name on every engine, and nothing is written.
        class Filling : public RegisterScreen {
        public:
            Filling() : RegisterScreen(AccessScreens::unidade(), host()) {}

        protected:
            void beforeWrite(Record &values, bool, Connection &) override
            {
                values.insert(QStringLiteral("Descricao"), QString(300, QLatin1Char('x')));
            }
        };
        Filling f;
        f.show();
        f.append();
        type(&f, QStringLiteral("Nome:"), QStringLiteral("leste"));
        QVERIFY(!f.post());
        QCOMPARE(msgs.last(), QStringLiteral("O campo \"Descrição\" aceita no máximo 250 caracteres."));
        QCOMPARE(count(QStringLiteral("select count(*) from unidade_trabalho where Nome = 'LESTE'")), 0);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
