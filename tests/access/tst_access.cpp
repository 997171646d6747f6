// The access administration screens, opened through the catalog as the menu
// opens them, against the real schema on both engines.
#include "access/AccessScreens.h"
#include "db/DataModule.h"
#include "db/PasswordDigest.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/FieldBinder.h"
#include "ui/register/PagedQueryModel.h"
#include "ui/register/RegisterScreen.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

namespace {

QWidget *host()
{
    static QWidget *h = [] {
        auto *w = new QWidget;
        w->resize(900, 600);
        w->show();
        return w;
    }();
    return h;
}

std::unique_ptr<RegisterScreen> openScreen(int number)
{
    QWidget *w = ScreenCatalog::instance().open(number, host());
    auto *s = qobject_cast<RegisterScreen *>(w);
    if (!s)
        delete w;
    if (s)
        s->setAttribute(Qt::WA_DeleteOnClose, false);
    return std::unique_ptr<RegisterScreen>(s);
}

QLineEdit *line(QWidget *s, const QString &caption)
{
    return qobject_cast<QLineEdit *>(editorByCaption(s, caption));
}

void type(QWidget *s, const QString &caption, const QString &text)
{
    QLineEdit *e = line(s, caption);
    QVERIFY2(e, qPrintable(caption));
    e->clear();
    QTest::keyClicks(e, text);
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
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
