// Leaving with unsaved work: "Sair", the main window's close box and
// "Fechar todas" ask once while a screen is inserting or editing; Não
// leaves every screen as it was, typed text included; Sim goes without a
// second question. Nothing is asked when nothing is pending.
#include "AppSeed.h"
#include "app/MenuPrincipalScreen.h"
#include "app/ProgramExit.h"
#include "app/ScreenWiring.h"
#include "db/Session.h"
#include "support/RecordingServices.h"
#include "support/TestDatabase.h"
#include "ui/ScreenCatalog.h"
#include "ui/UnsavedWork.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

namespace {

const QString Question = QStringLiteral("Existem alterações não gravadas. Deseja realmente sair?");

QWidget *open(MenuPrincipalScreen &w, int number)
{
    QWidget *screen = ScreenCatalog::instance().open(number, &w);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = w.mdiArea()->addSubWindow(screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    return screen;
}

// A species half typed on screen 010.
QLineEdit *startTyping(QWidget *screen)
{
    screen->findChild<QAction *>(QStringLiteral("actAppend"))->trigger();
    auto *nome = screen->findChild<QLineEdit *>(QStringLiteral("dbeNome"));
    nome->setText(QStringLiteral("FELINA"));
    return nome;
}

} // namespace

class TestLeaving : public QObject {
    Q_OBJECT
    QList<int> exits;

private slots:
    void initTestCase() { registerAllScreens(); }
    void init()
    {
        exits.clear();
        ProgramExit::setHandler([this](int code) { exits << code; });
        TUsuarioLogado s;
        s.IdUsuario = QStringLiteral("5");
        s.IdPerfil = QStringLiteral("1000"); // every menu entry enabled
        s.IdUnidadeTrabalho = QStringLiteral("3");
        s.NomeUsuario = QStringLiteral("ANA");
        s.Login = QStringLiteral("ana");
        usuarioLogado() = s;
    }
    void cleanup() { ProgramExit::setHandler(nullptr); }

    void askedOnceAndNaoKeepsAll_data() { addEngineRows(); }
    void askedOnceAndNaoKeepsAll()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msg;
        MenuPrincipalScreen w;
        w.show();
        QPointer<QWidget> browsing = open(w, 12);
        QPointer<QWidget> typing = open(w, 10);
        QVERIFY(!UnsavedWork::pending(w.mdiArea()));
        QLineEdit *nome = startTyping(typing);
        QVERIFY(UnsavedWork::pending(w.mdiArea()));

        // Não, three ways.
        msg.answers = {false, false, false};
        w.menuAction(QStringLiteral("mnuSair"))->trigger();
        QVERIFY(!w.close());
        w.menuAction(QStringLiteral("mnuFechar"))->trigger();
        QCOMPARE(msg.texts(), (QStringList{Question, Question, Question}));
        QCOMPARE(exits, QList<int>{});
        QVERIFY(w.isVisible());
        QVERIFY(browsing && typing);
        QCOMPARE(w.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(nome->text(), QStringLiteral("FELINA"));
        QVERIFY(typing->findChild<QAction *>(QStringLiteral("actPost"))->isEnabled());

        // Sim on "Fechar todas": every window goes, no other question.
        msg.clear();
        msg.answers = {true};
        w.menuAction(QStringLiteral("mnuFechar"))->trigger();
        QTRY_COMPARE(w.mdiArea()->subWindowList().size(), 0);
        QCOMPARE(msg.texts(), QStringList{Question});

        // Sim on "Sair" ends the program.
        startTyping(open(w, 10));
        msg.clear();
        msg.answers = {true};
        w.menuAction(QStringLiteral("mnuSair"))->trigger();
        QCOMPARE(exits, QList<int>{0});
        QCOMPARE(msg.texts(), QStringList{Question});
    }

    void nothingPendingNothingAsked_data() { addEngineRows(); }
    void nothingPendingNothingAsked()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msg;
        MenuPrincipalScreen w;
        w.show();
        QWidget *s = open(w, 10);
        startTyping(s);
        // Cancelled: nothing left to lose.
        s->findChild<QAction *>(QStringLiteral("actCancel"))->trigger();
        w.menuAction(QStringLiteral("mnuSair"))->trigger();
        QCOMPARE(exits, QList<int>{0});
        QVERIFY(w.close());
        QCOMPARE(msg.texts(), QStringList{});
    }
};

QTEST_MAIN(TestLeaving)
#include "tst_leaving.moc"
