// "Consultar" of the users' screen: it lists the owners' web accounts as
// well, and a picked one must show its row; altering it keeps its web block,
// deleting it frees its owner.
#include "access/AccessScreens.h"
#include "db/DataModule.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "support/RecordingServices.h"
#include "support/ScreenDriving.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"
#include "ui/register/PagedQueryModel.h"
#include "ui/register/RegisterScreen.h"
#include "ui/register/SearchWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

int count(const QString &sql)
{
    return Sql::scalar(mainConnection(), sql).toInt();
}

QString text(const QString &sql)
{
    return Sql::text(Sql::scalar(mainConnection(), sql));
}

} // namespace

class TestUserSearch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerAccessScreens(ScreenCatalog::instance()); }
    void init()
    {
        usuarioLogado() = TUsuarioLogado{};
        usuarioLogado().IdUsuario = QStringLiteral("3");
    }

    void consultarShowsAWebAccount_data() { addEngineRows(); }
    void consultarShowsAWebAccount()
    {
        ZAPO_TEST_DB(t);
        Connection &c = t->main();
        Sql::exec(c, QStringLiteral("insert into usuario (Nome, Login, Bloqueado, Inativo) values ('JOANA STAFF', 'JOANA', 'NAO', 'NAO')"));
        Sql::exec(c, QStringLiteral("insert into proprietario (Nome) values ('PEDRO DONO')"));
        const int owner = count(QStringLiteral("select max(Id_Proprietario) from proprietario"));
        Sql::exec(c, QStringLiteral("insert into usuario (Nome, Login, Bloqueado, Inativo, Id_proprietario) values "
                                    "('PEDRO DONO', 'PEDRO@EXEMPLO.COM', 'WEB', 'NAO', :o)"),
                  {{QStringLiteral("o"), owner}});
        const int web = count(QStringLiteral("select max(Id_Usuario) from usuario"));
        Sql::exec(c, QStringLiteral("update proprietario set id_usu_web = :w where Id_Proprietario = :o"),
                  {{QStringLiteral("w"), web}, {QStringLiteral("o"), owner}});

        RecordingMessages msgs;
        auto s = openRegisterScreen(3);
        QVERIFY(s);
        s->show();
        s->search();
        auto *w = s->findChild<SearchWindow *>();
        QVERIFY(w);
        w->criterion()->setCurrentIndex(1);
        w->textBox()->setText(QStringLiteral("PEDRO"));
        QVERIFY(w->runSearch());
        QCOMPARE(w->model()->rowCount(), 1);
        w->grid()->setCurrentIndex(w->model()->index(0, 0));
        w->ok();
        QCOMPARE(s->model()->rowCount(), 1);
        QCOMPARE(s->model()->key(0).toInt(), web);

        // An alteration that leaves the box alone keeps the web block.
        s->edit();
        QVERIFY(typeInto(s.get(), QStringLiteral("Login:"), QStringLiteral("PEDRO2@EXEMPLO.COM")));
        QVERIFY(s->post());
        QCOMPARE(text(QStringLiteral("select Bloqueado from usuario where Login = 'PEDRO2@EXEMPLO.COM'")), QStringLiteral("WEB"));

        // Atualizar goes back to the staff only.
        s->refresh();
        QCOMPARE(s->model()->rowCount(), 1);
        QVERIFY(s->model()->key(0).toInt() != web);

        // Deleting the web account leaves its owner without one.
        s->showKey(web);
        QCOMPARE(s->model()->rowCount(), 1);
        msgs.answers = {true};
        QVERIFY(s->remove());
        QCOMPARE(count(QStringLiteral("select count(*) from usuario where Id_proprietario is not null")), 0);
        QCOMPARE(count(QStringLiteral("select count(*) from proprietario where id_usu_web is not null")), 0);
    }
};

QTEST_MAIN(TestUserSearch)
#include "tst_usersearch.moc"
