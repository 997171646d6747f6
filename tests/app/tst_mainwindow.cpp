// The main window: menu tree, permission gate on the menu and on opening
// screens, change of user with screens open, window commands.
#include "AppSeed.h"
#include "app/Login_2Screen.h"
#include "app/MenuPrincipalScreen.h"
#include "app/MenuRegistry.h"
#include "app/PermissionGate.h"
#include "app/ProgramExit.h"
#include "app/ScreenWiring.h"
#include "app/SobreScreen.h"
#include "app/TracaSenhaScreen.h"
#include "db/Session.h"
#include "support/RecordingPreview.h"
#include "support/RecordingServices.h"
#include "db/Sql.h"
#include "scheduling/SchedulingHooks.h"
#include "support/TestDatabase.h"
#include "ui/MarcacaoAtendimento.h"
#include "ui/ScreenCatalog.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

// Stands in for a register screen: the actions and buttons the gate names.
class GateScreen : public QWidget {
public:
    explicit GateScreen(QWidget *parent) : QWidget(parent)
    {
        for (const char *name : {"actAppend", "actEdit", "actDelete", "actPrint", "actInformation",
                                 "actAnimalNovo", "actAnimalAlterar", "actAnimalExcluir"}) {
            auto *a = new QAction(QString::fromLatin1(name), this);
            a->setObjectName(QString::fromLatin1(name));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        findChild<QAction *>(QStringLiteral("actInformation"))->setVisible(false);
        QAction *del = findChild<QAction *>(QStringLiteral("actDelete"));
        del->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        connect(del, &QAction::triggered, this, [this] { ++deletes; });
        for (const char *name : {"bmpIncluir", "bmpExcluir", "bmpTransferir", "bmpAlterar", "bmpGravar", "bmpImprimir"}) {
            auto *b = new QPushButton(QString::fromLatin1(name), this);
            b->setObjectName(QString::fromLatin1(name));
        }
        setFocusPolicy(Qt::StrongFocus);
        resize(300, 200);
    }
    int deletes = 0;
};

bool hidden(QWidget *screen, const QString &name)
{
    QObject *o = screen->findChild<QObject *>(name);
    if (auto *a = qobject_cast<QAction *>(o))
        return !a->isVisible() && !a->isEnabled() && a->property("zapoRefused").toBool();
    if (auto *w = qobject_cast<QWidget *>(o))
        return w->isHidden() && !w->isEnabled() && w->property("zapoRefused").toBool();
    return false;
}

QStringList enabledEntries(MenuPrincipalScreen &w, bool withTagMinusOne = false)
{
    QStringList l;
    for (QAction *a : w.entryActions())
        if (a->isEnabled() && !a->isSeparator() && (withTagMinusOne || a->property("tag").toInt() != -1))
            l << a->objectName();
    return l;
}

void setSession(const QString &perfil)
{
    TUsuarioLogado s;
    s.IdUsuario = QStringLiteral("5");
    s.IdPerfil = perfil;
    s.IdUnidadeTrabalho = QStringLiteral("3");
    s.NomeUsuario = QStringLiteral("ANA");
    s.Login = QStringLiteral("ana");
    s.NomeUnidade = QStringLiteral("Centro");
    s.NomePerfil = QStringLiteral("Atendente");
    usuarioLogado() = s;
}

void seedGate(Connection &c)
{
    using namespace AppSeed;
    unit(c, 3, QStringLiteral("Centro"));
    profile(c, 7, QStringLiteral("Atendente"));
    profile(c, 1000, QStringLiteral("Administrador"));
    for (int id : {1, 5, 6, 8, 12, 20, 21})
        form(c, id, id);
    form(c, 41, 0);
}

void maybeSave(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZAPO_SHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QList<int> exits;

private slots:
    void initTestCase()
    {
        registerAllScreens();
        for (int n : {1, 6, 8, 12, 21})
            ScreenCatalog::instance().add(n, [](QWidget *p) -> QWidget * { return new GateScreen(p); });
    }
    void init()
    {
        exits.clear();
        ProgramExit::setHandler([this](int code) { exits << code; });
    }
    void cleanup() { ProgramExit::setHandler(nullptr); }

    void menuTreeInDisplayOrder()
    {
        MenuPrincipalScreen w;
        QCOMPARE(w.windowTitle(), QStringLiteral("ZAPO - Sistema de Identificação e Esterilização Animal"));
        QStringList tops;
        for (QAction *a : w.menuBar()->actions())
            tops << a->text();
        QCOMPARE(tops, (QStringList{QStringLiteral("&Sistema"), QStringLiteral("&Cadastros"), QStringLiteral("&Operacional"),
                                    QStringLiteral("&Relatórios"), QStringLiteral("&Utilitário"), QStringLiteral("&Janelas"),
                                    QStringLiteral("&Ajuda")}));
        auto texts = [&w](const QString &menu) {
            QStringList l;
            for (QAction *a : w.findChild<QMenu *>(menu)->actions())
                l << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return l;
        };
        QCOMPARE(texts(QStringLiteral("mnuSistema")),
                 (QStringList{QStringLiteral("001 - &Unidade de trabalho..."), QStringLiteral("002 - &Perfil de usuário..."),
                              QStringLiteral("003 - &Usuário..."), QStringLiteral("-"), QStringLiteral("004 - Trocar &senha..."),
                              QStringLiteral("005 - &Trocar de Usuário..."), QStringLiteral("-"), QStringLiteral("&Sair")}));
        QCOMPARE(texts(QStringLiteral("mnuCadastros")),
                 (QStringList{QStringLiteral("006 - &Cadastrar Proprietário/Animal..."), QStringLiteral("007 - &Profissional..."),
                              QStringLiteral("008 - &Atendimento particular..."), QStringLiteral("-"), QStringLiteral("Tabela"),
                              QStringLiteral("48 - Mapa disponibilidade"), QStringLiteral("054 - &Feriados municipais..."),
                              QStringLiteral("061 - &Unificar proprietários...")}));
        const QStringList tabela = texts(QStringLiteral("mnuTabela"));
        QCOMPARE(tabela.size(), 15);
        QCOMPARE(tabela.first(), QStringLiteral("009 - &Grupo de animais..."));
        QCOMPARE(tabela.last(), QStringLiteral("050-Tabelas auxiliares (Rolvex)"));
        QCOMPARE(texts(QStringLiteral("mnuRelatorios")).size(), 28);
        QCOMPARE(texts(QStringLiteral("mnuRelatorios")).last(), QStringLiteral("053 - &Ocupação do programa..."));
        QCOMPARE(texts(QStringLiteral("mnuUtilitario")).size(), 6);
        QCOMPARE(texts(QStringLiteral("mnuJanelas")).size(), 7);
        QCOMPARE(texts(QStringLiteral("mnuAjuda")), (QStringList{QStringLiteral("&Sistema..."), QStringLiteral("&Manual do sistema")}));
        // The lone ampersand is doubled so that the menu shows it.
        QCOMPARE(w.menuAction(QStringLiteral("mnuRel049"))->text(), QStringLiteral("049 - Proprietário && Animal..."));
        QCOMPARE(w.menuAction(QStringLiteral("mnu004"))->text(), QStringLiteral("004 - Trocar &senha..."));
        QCOMPARE(w.menuAction(QStringLiteral("mnu012"))->statusTip(), QStringLiteral("Cadastro de tamanho do pelo do animal."));
        QCOMPARE(w.statusBar()->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^stbPainel"))).size(), 3);
        // Every entry's object name is unique, so the gate and the tests find each one.
        QSet<QString> names;
        for (const Menu::Entry &e : Menu::entries())
            if (!e.objectName.isEmpty())
                QVERIFY2(!names.contains(e.objectName) && (names.insert(e.objectName), true), qPrintable(e.objectName));
    }

    void gateEnablesWhatTheRowsAllow_data() { addEngineRows(); }
    void gateEnablesWhatTheRowsAllow()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        Connection &c = t->main();
        seedGate(c);
        RecordingMessages msg;
        MenuPrincipalScreen w;

        // No rows: only the entries that are never disabled.
        setSession(QStringLiteral("7"));
        w.configureMenu();
        QCOMPARE(enabledEntries(w), QStringList());
        QVERIFY(w.menuAction(QStringLiteral("mnuSair"))->isEnabled());
        QVERIFY(w.menuAction(QStringLiteral("mnuSobre"))->isEnabled());
        QVERIFY(w.menuAction(QStringLiteral("mnuCascata"))->isEnabled());
        QVERIFY(w.findChild<QMenu *>(QStringLiteral("mnuRelatorios"))->menuAction()->isEnabled());

        // One row, joining the form of tag 12; its view flag is not consulted.
        AppSeed::permission(c, 7, 12, QStringLiteral("NNNNN"));
        w.configureMenu();
        QCOMPARE(enabledEntries(w), QStringList{QStringLiteral("mnu012")});

        // A permitted form without a tag enables the untagged entries,
        // never the manual.
        AppSeed::permission(c, 7, 41);
        w.configureMenu();
        QCOMPARE(enabledEntries(w), (QStringList{QStringLiteral("mnu012"), QStringLiteral("mnu041"), QStringLiteral("mnuRel049"),
                                                 QStringLiteral("mnuRel050"), QStringLiteral("mnu051"), QStringLiteral("mnu052"),
                                                 QStringLiteral("mnu060")}));
        QCOMPARE(w.statusPanel(0)->text(), QStringLiteral("Usuário logado: 5 - ANA(Atendente)"));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Unidade: 3 - Centro"));
        QVERIFY(w.statusPanel(2)->text().isEmpty());

        // The full-access profile: everything but the manual, status bar as it was.
        setSession(QStringLiteral("1000"));
        w.statusPanel(0)->setText(QStringLiteral("antes"));
        w.configureMenu();
        int disabled = 0;
        for (QAction *a : w.entryActions())
            if (!a->isSeparator() && !a->isEnabled())
                ++disabled;
        QCOMPARE(disabled, 1);
        QVERIFY(!w.menuAction(QStringLiteral("mnuManual"))->isEnabled());
        QVERIFY(w.menuAction(QStringLiteral("mnu060"))->isEnabled());
        QCOMPARE(w.statusPanel(0)->text(), QStringLiteral("antes"));
        QVERIFY(msg.shown.isEmpty());
        QVERIFY(exits.isEmpty());
        maybeSave(&w, QStringLiteral("main-1000.png"));
    }

    void incompleteSessionOrFailureEndsTheProgram_data() { addEngineRows(); }
    void incompleteSessionOrFailureEndsTheProgram()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        seedGate(t->main());
        RecordingMessages msg;
        MenuPrincipalScreen w;
        setSession(QStringLiteral("7"));
        usuarioLogado().Login = QStringLiteral("  ");
        w.configureMenu();
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(msg.shown.first().kind, QStringLiteral("error"));
        QCOMPARE(msg.last(), QStringLiteral("Erro de autenticação de usuário.\rTente logar novamente."));
        QCOMPARE(exits, QList<int>{1});

        setSession(QStringLiteral("sete"));
        w.configureMenu();
        QCOMPARE(msg.shown.size(), 2);
        QCOMPARE(msg.last(), QStringLiteral("Erro de autenticação de usuário.\rTente logar novamente."));
        QCOMPARE(exits, (QList<int>{1, 1}));
    }

    void exitAskedBeforeTheEventLoopStillEndsIt()
    {
        // A failure while the main window is first shown asks for the exit
        // before the application's loop runs: the loop must end at once.
        ProgramExit::setHandler(nullptr);
        ProgramExit::request(1);
        QTimer giveUp; // stopped when the test ends, whatever happened
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
        giveUp.start(5000);
        QCOMPARE(QCoreApplication::exec(), 1);
        QVERIFY(ProgramExit::requested());
    }

    void statusBarAfterStartUp_data() { addEngineRows(); }
    void statusBarAfterStartUp()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        seedGate(t->main());
        setSession(QStringLiteral("7"));
        MenuPrincipalScreen w;
        w.show();
        QCOMPARE(w.statusPanel(0)->text(), QStringLiteral("Unidade logada: Centro"));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("ANA - Atendente"));
        QCOMPARE(w.statusPanel(0)->alignment(), Qt::AlignCenter);
        QVERIFY(!w.menuAction(QStringLiteral("mnu001"))->isEnabled());
        // The hand-over record is the main window's while it lives.
        QCOMPARE(&marcacaoAtendimento(), &w.marcacao());
        QCOMPARE(w.marcacao().Origem, 0);
        // A menu hint leaves the unit and the user in sight.
        w.menuAction(QStringLiteral("mnu004"))->showStatusText(&w);
        QVERIFY(w.statusPanel(0)->isVisible());
        QCOMPARE(w.statusPanel(0)->text(), QStringLiteral("Unidade logada: Centro"));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("ANA - Atendente"));
        QCOMPARE(w.statusPanel(2)->text(), QStringLiteral("Troca senha do usuário."));
        maybeSave(&w, QStringLiteral("main-ordinary.png"));
    }

    void openingAppliesTheProfileFlags_data() { addEngineRows(); }
    void openingAppliesTheProfileFlags()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        Connection &c = t->main();
        seedGate(c);
        RecordingMessages msg;
        setSession(QStringLiteral("7"));
        MenuPrincipalScreen w;
        auto open = [&w](const QString &name) {
            for (int i = 0; i < Menu::entries().size(); ++i)
                if (Menu::entries().at(i).objectName == name)
                    return w.openScreen(Menu::entries().at(i));
            return static_cast<QWidget *>(nullptr);
        };

        // No row: every right.
        QWidget *s = open(QStringLiteral("mnu001"));
        QVERIFY(s);
        for (const char *n : {"actAppend", "actEdit", "actDelete", "actPrint"})
            QVERIFY(!hidden(s, QString::fromLatin1(n)));

        // May insert, may not delete.
        AppSeed::permission(c, 7, 1, QStringLiteral("SSSNS"));
        s = open(QStringLiteral("mnu001"));
        QVERIFY(hidden(s, QStringLiteral("actDelete")));
        QVERIFY(!hidden(s, QStringLiteral("actAppend")));
        QVERIFY(!hidden(s, QStringLiteral("actEdit")));
        QVERIFY(!hidden(s, QStringLiteral("actPrint")));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 2); // a new instance each time

        // 008 reads the flags of id 5, not 8.
        AppSeed::permission(c, 7, 8, QStringLiteral("SNNNN"));
        AppSeed::permission(c, 7, 5, QStringLiteral("SSSNS"));
        s = open(QStringLiteral("mnu008"));
        QVERIFY(hidden(s, QStringLiteral("bmpExcluir")));
        QVERIFY(!hidden(s, QStringLiteral("bmpIncluir")));

        // 021 reads the flags of id 20.
        AppSeed::permission(c, 7, 20, QStringLiteral("SNSSS"));
        s = open(QStringLiteral("mnu021"));
        QVERIFY(hidden(s, QStringLiteral("bmpTransferir")));

        // 006: both toolbars, and the information action shows with a row.
        AppSeed::permission(c, 7, 6, QStringLiteral("SNSSN"));
        s = open(QStringLiteral("mnu006"));
        QVERIFY(hidden(s, QStringLiteral("actAppend")));
        QVERIFY(hidden(s, QStringLiteral("actAnimalNovo")));
        QVERIFY(hidden(s, QStringLiteral("actPrint")));
        QVERIFY(!hidden(s, QStringLiteral("actAnimalExcluir")));
        QVERIFY(s->findChild<QAction *>(QStringLiteral("actInformation"))->isVisible());

        // Not built yet: nothing opens (any entry the catalog lacks).
        const int before = int(w.mdiArea()->subWindowList().size());
        QString unbuilt;
        for (const Menu::Entry &e : Menu::entries())
            if (e.kind == Menu::Kind::Screen && e.screen > 0 && !ScreenCatalog::instance().has(e.screen)) {
                unbuilt = e.objectName;
                break;
            }
        if (!unbuilt.isEmpty()) {
            QVERIFY(!open(unbuilt));
            QCOMPARE(int(w.mdiArea()->subWindowList().size()), before);
            QVERIFY(msg.shown.isEmpty());
        }

        // A failing permission query: the error box, and no screen.
        usuarioLogado().IdPerfil = QStringLiteral("x");
        QVERIFY(!open(QStringLiteral("mnu001")));
        QCOMPARE(msg.shown.size(), 1);
        QCOMPARE(msg.shown.first().kind, QStringLiteral("error"));
        QCOMPARE(int(w.mdiArea()->subWindowList().size()), before);
    }

    void refusedActionDoesNotAnswerItsShortcut_data() { addEngineRows(); }
    void refusedActionDoesNotAnswerItsShortcut()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        Connection &c = t->main();
        seedGate(c);
        setSession(QStringLiteral("7"));
        MenuPrincipalScreen w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const Menu::Entry *e001 = nullptr;
        for (const Menu::Entry &e : Menu::entries())
            if (e.objectName == QLatin1String("mnu001"))
                e001 = &e;

        // Allowed: Ctrl+Delete deletes (so the check below means something).
        auto *allowed = static_cast<GateScreen *>(w.openScreen(*e001));
        allowed->setFocus();
        QTest::keyClick(allowed, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(allowed->deletes, 1);

        AppSeed::permission(c, 7, 1, QStringLiteral("SSSNS"));
        auto *refused = static_cast<GateScreen *>(w.openScreen(*e001));
        refused->setFocus();
        QTest::keyClick(refused, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(refused->deletes, 0);
        // Triggered directly, a disabled action does nothing either.
        refused->findChild<QAction *>(QStringLiteral("actDelete"))->trigger();
        QCOMPARE(refused->deletes, 0);
    }

    void closedScreensAreFreedAndWindowCommandsWork_data() { addEngineRows(); }
    void closedScreensAreFreedAndWindowCommandsWork()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        seedGate(t->main());
        setSession(QStringLiteral("1000"));
        MenuPrincipalScreen w;
        w.show();
        w.menuAction(QStringLiteral("mnu004"))->trigger();
        w.menuAction(QStringLiteral("mnu004"))->trigger();
        maybeSave(&w, QStringLiteral("main-004.png"));
        w.menuAction(QStringLiteral("mnuSobre"))->trigger();
        QCOMPARE(w.mdiArea()->subWindowList().size(), 3);
        auto *sobre = qobject_cast<SobreScreen *>(w.mdiArea()->activeSubWindow()->widget());
        QVERIFY(sobre);
        QCOMPARE(sobre->serverLabel()->text(), SobreScreen::serverLine(t->main().parameterText()));

        // The change of password opens without window buttons.
        auto *trocaFrame = qobject_cast<QMdiSubWindow *>(w.findChild<TracaSenhaScreen *>()->parentWidget());
        QVERIFY(trocaFrame);
        QVERIFY(!(trocaFrame->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(trocaFrame->windowFlags() & Qt::CustomizeWindowHint);
        for (const char *cmd : {"mnuCascata", "mnuHorizontal", "mnuVertical", "mnuMinimizar", "mnuRestaurar"})
            w.menuAction(QString::fromLatin1(cmd))->trigger();
        for (QMdiSubWindow *sw : w.mdiArea()->subWindowList())
            QVERIFY(sw->isMinimized());

        // "Cancelar" closes the screen and its frame goes with it.
        auto *troca = w.findChild<TracaSenhaScreen *>();
        QPointer<QWidget> guard(troca);
        QPointer<QMdiSubWindow> frame(qobject_cast<QMdiSubWindow *>(troca->parentWidget()));
        QTest::mouseClick(troca->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!guard);
        QTRY_VERIFY(!frame);
        QCOMPARE(w.mdiArea()->subWindowList().size(), 2);

        // "Fechar todas" closes every child window, not only the active one.
        w.mdiArea()->setActiveSubWindow(w.mdiArea()->subWindowList().first());
        w.menuAction(QStringLiteral("mnuFechar"))->trigger();
        QTRY_COMPARE(w.mdiArea()->subWindowList().size(), 0);

        w.menuAction(QStringLiteral("mnuSair"))->trigger();
        QCOMPARE(exits, QList<int>{0});
    }

    void changeOfUserKeepsOpenScreens_data() { addEngineRows(); }
    void changeOfUserKeepsOpenScreens()
    {
        ZAPO_TEST_DB(t);
        APP_NEEDS_TABLES(t);
        Connection &c = t->main();
        seedGate(c);
        AppSeed::User u;
        u.nome = QStringLiteral("Ana");
        u.login = QStringLiteral("ana");
        u.password = QStringLiteral("Segredo1");
        u.unidade = 3;
        u.perfil = 7;
        const int ana = AppSeed::user(c, u);
        AppSeed::permission(c, 7, 12);
        RecordingMessages msg;
        setSession(QStringLiteral("1000"));
        MenuPrincipalScreen w;
        w.show();
        w.menuAction(QStringLiteral("mnu001"))->trigger();
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QVERIFY(w.menuAction(QStringLiteral("mnu001"))->isEnabled());

        w.menuAction(QStringLiteral("mnu005"))->trigger();
        Login_2Screen *login = w.findChild<Login_2Screen *>();
        QVERIFY(login);
        QVERIFY(login->isVisible());
        QVERIFY(!login->isModal());
        // Until it succeeds the session stays.
        QCOMPARE(usuarioLogado().IdPerfil, QStringLiteral("1000"));
        QVERIFY(login->pickUnit(3));
        QVERIFY(login->pickUser(ana));
        login->passwordBox()->setText(QStringLiteral("Segredo1"));
        QTest::mouseClick(login->okButton(), Qt::LeftButton);
        QVERIFY(msg.shown.isEmpty());
        QVERIFY(!login->isVisible());
        QCOMPARE(usuarioLogado().IdUsuario, QString::number(ana));
        QCOMPARE(enabledEntries(w), QStringList{QStringLiteral("mnu012")});
        QCOMPARE(w.statusPanel(0)->text(), QStringLiteral("Usuário logado: %1 - ANA(Atendente)").arg(ana));
        QCOMPARE(w.statusPanel(1)->text(), QStringLiteral("Unidade: 3 - Centro"));
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        maybeSave(&w, QStringLiteral("main-after-change.png"));
    }

    // The attendance screen prints the prescription through a hook the
    // application fills: the text printed is the one the screen holds, not
    // the stored one, and the attendance's owner is read from the database.
    void prescriptionHookPrintsTheTextShown_data() { addEngineRows(); }
    void prescriptionHookPrintsTheTextShown()
    {
        ZAPO_TEST_DB(t);
        RecordingMessages msgs;
        RecordingPreview preview;
        Sql::exec(t->main(), QStringLiteral("insert into atendimento (Id_Atendimento, Data_Hora_Atendimento) values (77, :d)"),
                  {{QStringLiteral("d"), QDateTime(QDate(2026, 3, 4), QTime(9, 30))}});
        const auto &print = SchedulingHooks::prescriptionPrinter();
        QVERIFY(print);
        print(nullptr, 77, QStringLiteral("TOMAR 1,5 COMPRIMIDO AO DIA (não salvo)"));
        QVERIFY2(msgs.shown.isEmpty(), qPrintable(msgs.texts().join(QLatin1Char('|'))));
        QCOMPARE(preview.shown.size(), 1);
        const QString all = preview.last().allTexts().join(QLatin1Char('\n'));
        QVERIFY2(all.contains(QStringLiteral("TOMAR 1,5 COMPRIMIDO AO DIA (não salvo)")), qPrintable(all));
        QVERIFY(all.contains(QStringLiteral("Receituário")));
    }

    void serverLineTakesSeventeenCharacters()
    {
        QCOMPARE(SobreScreen::serverLine(QStringLiteral("DATABASE NAME=zapo\nSERVER NAME=servidor-muito-longo-de-nome\nUSER NAME=u")),
                 QStringLiteral("Servidor ZAPO: servidor-muito-lo"));
        QCOMPARE(SobreScreen::serverLine(QStringLiteral("DATABASE NAME=zapo\nSERVER NAME=srv\nUSER NAME=zapo")),
                 QStringLiteral("Servidor ZAPO: srv")); // not the next line's start
        QCOMPARE(SobreScreen::serverLine(QStringLiteral("SERVER NAME=srv\r\nUSER NAME=zapo")), QStringLiteral("Servidor ZAPO: srv"));
        QCOMPARE(SobreScreen::serverLine(QStringLiteral("SERVER NAME=ab")), QStringLiteral("Servidor ZAPO: ab"));
        QCOMPARE(SobreScreen::serverLine(QStringLiteral("DATABASE NAME=zapo\nUSER NAME=zapo")), QStringLiteral("Servidor ZAPO: "));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
