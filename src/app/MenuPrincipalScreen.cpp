#include "app/MenuPrincipalScreen.h"
#include "app/Login_2Screen.h"
#include "app/PermissionGate.h"
#include "app/ProgramExit.h"
#include "app/Product.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Session.h"
#include "ui/FocusFlow.h"
#include "ui/MainMenuHook.h"
#include "ui/ScreenCatalog.h"
#include "ui/ScreenMnemonics.h"
#include "ui/Services.h"
#include "ui/UnsavedWork.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QStatusTipEvent>
#include <QStatusBar>
#include <map>

namespace {

const char *TagProperty = "tag";
const char *EntryProperty = "menuEntry"; // index into Menu::entries()
const char *NoCommandProperty = "zapoNoCommand";

// An ampersand standing alone ("Proprietário & Animal") is meant as the
// sign itself, not as the mark of the next letter's shortcut.
QString menuText(QString caption)
{
    static const QRegularExpression alone(QStringLiteral("&(?=\\s|$)"));
    return caption.replace(alone, QStringLiteral("&&"));
}

} // namespace

MenuPrincipalScreen::MenuPrincipalScreen(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMenuPrincipal"));
    setWindowTitle(Product::title());
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    ScreenMnemonics::install(m_mdi);

    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("stbPainel%1").arg(i));
        m_panels[i]->setAlignment(Qt::AlignCenter);
        statusBar()->addWidget(m_panels[i], i < 2 ? 2 : 1);
    }
    m_backup = new QLabel(this);
    m_backup->setObjectName(QStringLiteral("stbCopiaSeguranca"));
    statusBar()->addPermanentWidget(m_backup);
    m_backup->hide();

    m_actConfiguraMenu = new QAction(QStringLiteral("Configura menu"), this);
    m_actConfiguraMenu->setObjectName(QStringLiteral("actConfiguraMenu"));
    connect(m_actConfiguraMenu, &QAction::triggered, this, &MenuPrincipalScreen::configureMenu);
    addAction(m_actConfiguraMenu);

    buildMenu();
    setMarcacaoAtendimentoHolder(&m_marcacao);
    MainMenuHook::setActionFinder([this](const QString &name) { return menuAction(name); });
    MainMenuHook::setScreenOpener([this](int number) -> QWidget * {
        for (const Menu::Entry &e : Menu::entries())
            if (e.kind == Menu::Kind::Screen && e.screen == number)
                return openScreen(e);
        return nullptr;
    });
}

MenuPrincipalScreen::~MenuPrincipalScreen()
{
    if (&marcacaoAtendimento() == &m_marcacao)
        setMarcacaoAtendimentoHolder(nullptr);
    MainMenuHook::setActionFinder({});
    MainMenuHook::setScreenOpener({});
}

void MenuPrincipalScreen::buildMenu()
{
    std::map<QString, QMenu *> menus;
    const QList<Menu::Entry> &all = Menu::entries();
    for (int i = 0; i < all.size(); ++i) {
        const Menu::Entry &e = all.at(i);
        QAction *a = nullptr;
        switch (e.kind) {
        case Menu::Kind::TopMenu: {
            QMenu *m = menuBar()->addMenu(e.caption);
            m->setObjectName(e.objectName);
            menus[e.caption] = m;
            a = m->menuAction();
            break;
        }
        case Menu::Kind::SubMenu: {
            QMenu *m = menus.at(e.parent)->addMenu(e.caption);
            m->setObjectName(e.objectName);
            menus[e.caption] = m;
            a = m->menuAction();
            break;
        }
        case Menu::Kind::Separator:
            a = menus.at(e.parent)->addSeparator();
            break;
        default:
            a = menus.at(e.parent)->addAction(menuText(e.caption));
            a->setObjectName(e.objectName);
            if (!e.hint.isEmpty()) {
                a->setStatusTip(e.hint);
                a->setToolTip(e.hint);
            }
            connect(a, &QAction::triggered, this, [this, i] { trigger(Menu::entries().at(i)); });
            break;
        }
        a->setProperty(TagProperty, e.tag);
        a->setProperty(EntryProperty, i);
        if (e.kind == Menu::Kind::NoCommand) {
            a->setProperty(NoCommandProperty, true);
            a->setEnabled(false);
        }
        m_actions << a;
    }
}

QAction *MenuPrincipalScreen::menuAction(const QString &objectName) const
{
    for (QAction *a : m_actions)
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void MenuPrincipalScreen::setBackupNotice(const QString &text)
{
    m_backup->setText(text);
    m_backup->setToolTip(text);
    // A failure stands out: the clerk should tell whoever keeps the server.
    m_backup->setStyleSheet(text.contains(QStringLiteral("falhou")) ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
    m_backup->setVisible(!text.isEmpty());
}

QLabel *MenuPrincipalScreen::statusPanel(int index) const
{
    return index >= 0 && index < 3 ? m_panels[index] : nullptr;
}

void MenuPrincipalScreen::enableAll()
{
    for (QAction *a : std::as_const(m_actions))
        a->setEnabled(!a->property(NoCommandProperty).toBool());
}

void MenuPrincipalScreen::configureMenu()
{
    const TUsuarioLogado &s = usuarioLogado();
    if (s.IdPerfil == PermissionGate::fullAccessProfile()) {
        enableAll();
        return;
    }
    try {
        for (const QString *f : {&s.IdUsuario, &s.IdPerfil, &s.IdUnidadeTrabalho, &s.NomeUsuario, &s.Login})
            if (f->trimmed().isEmpty())
                throw DbError(QStringLiteral("Sessão incompleta."));
        const QSet<int> tags = PermissionGate::permittedTags(mainConnection(), s.IdPerfil);
        for (QAction *a : std::as_const(m_actions)) {
            const int tag = a->property(TagProperty).toInt();
            if (tag == -1)
                continue;
            a->setEnabled(tags.contains(tag) && !a->property(NoCommandProperty).toBool());
        }
        m_panels[0]->setText(QStringLiteral("Usuário logado: ") + s.IdUsuario + QStringLiteral(" - ") + s.NomeUsuario
                             + QStringLiteral("(") + s.NomePerfil + QStringLiteral(")"));
        m_panels[1]->setText(QStringLiteral("Unidade: ") + s.IdUnidadeTrabalho + QStringLiteral(" - ") + s.NomeUnidade);
    } catch (const std::exception &) {
        Services::messages().error(QStringLiteral("Erro de autenticação de usuário.\rTente logar novamente."), this);
        ProgramExit::request(1);
    }
}

bool MenuPrincipalScreen::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        m_panels[2]->setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MenuPrincipalScreen::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    configureMenu();
    const TUsuarioLogado &s = usuarioLogado();
    m_panels[0]->setText(QStringLiteral("Unidade logada: ") + s.NomeUnidade);
    m_panels[1]->setText(s.NomeUsuario + QStringLiteral(" - ") + s.NomePerfil);
}

QWidget *MenuPrincipalScreen::trigger(const Menu::Entry &e)
{
    switch (e.kind) {
    case Menu::Kind::Screen:
        return openScreen(e);
    case Menu::Kind::ChangeUser:
        changeUser();
        break;
    case Menu::Kind::Quit:
        // Leaving ends every screen at once: a half-typed record would be
        // lost without a word.
        if (UnsavedWork::confirmLeaving(m_mdi, this))
            ProgramExit::request(0);
        break;
    case Menu::Kind::Cascade:
        m_mdi->cascadeSubWindows();
        break;
    case Menu::Kind::TileHorizontal:
        tile(Qt::Horizontal);
        break;
    case Menu::Kind::TileVertical:
        tile(Qt::Vertical);
        break;
    case Menu::Kind::MinimizeAll:
        for (QMdiSubWindow *w : m_mdi->subWindowList())
            w->showMinimized();
        break;
    case Menu::Kind::ArrangeMinimized:
        arrangeMinimized();
        break;
    case Menu::Kind::CloseAll:
        closeAll();
        break;
    default:
        break;
    }
    return nullptr;
}

void MenuPrincipalScreen::closeEvent(QCloseEvent *event)
{
    if (!UnsavedWork::confirmLeaving(m_mdi, this)) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MenuPrincipalScreen::closeAll()
{
    // Every window, as the command says, after one question for all the
    // unsaved work: Sim gives up the records being typed (those screens
    // close without asking again), Não leaves everything as it was.
    if (!UnsavedWork::confirmLeaving(m_mdi, this))
        return;
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        if (UnsavedWork::pending(w))
            delete w;
    m_mdi->closeAllSubWindows();
}

QWidget *MenuPrincipalScreen::openScreen(const Menu::Entry &e)
{
    const ScreenCatalog &catalog = ScreenCatalog::instance();
    if (!catalog.has(e.screen))
        return nullptr; // not built yet
    QWidget *screen = nullptr;
    try {
        screen = catalog.open(e.screen, this);
        if (!screen)
            return nullptr; // a report or dialog that did its work itself
        if (e.permissionId != 0) {
            const PermissionGate::ScreenFlags flags =
                PermissionGate::readFlags(mainConnection(), usuarioLogado().IdPerfil, e.permissionId);
            PermissionGate::apply(screen, flags, e.refusals);
        }
    } catch (const DbError &err) {
        delete screen;
        Services::messages().error(err.text(), this);
        return nullptr;
    }
    screen->setAttribute(Qt::WA_DeleteOnClose);
    // A screen may ask for a frame without window buttons and to open in
    // the middle of the frame (dynamic properties, so screens need not know
    // the main window).
    Qt::WindowFlags frame = Qt::SubWindow;
    if (screen->property("noWindowButtons").toBool())
        frame |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    QMdiSubWindow *sub = m_mdi->addSubWindow(screen, frame);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (screen->property("centred").toBool()) {
        sub->adjustSize();
        const QRect area = m_mdi->viewport()->rect();
        sub->move(qMax(0, (area.width() - sub->width()) / 2), qMax(0, (area.height() - sub->height()) / 2));
    }
    // A screen that closes itself takes its frame along.
    connect(screen, &QObject::destroyed, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
    sub->show();
    screen->show();
    // Tiling or shrinking never squeezes a form below what its labels and
    // fields need (known once shown): a frame smaller than that shows part
    // of the form, never labels run together. The frame itself stays free
    // to shrink to an icon.
    screen->setMinimumSize(screen->minimumSizeHint());
    m_mdi->setActiveSubWindow(sub);
    // Enter walks through every opened window's fields and presses its
    // buttons, whichever way the screen was built.
    FocusFlow::watchBelow(screen);
    // The clerk types into the window just opened, not into the one behind.
    FocusFlow::focusFirst(screen);
    return screen;
}

Login_2Screen *MenuPrincipalScreen::changeUser()
{
    auto *login = new Login_2Screen([this] { configureMenu(); }, this);
    login->setModal(false);
    login->show();
    return login;
}

void MenuPrincipalScreen::tile(Qt::Orientation orientation)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        if (w->isVisible() && !w->isMinimized())
            windows << w;
    if (windows.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows.at(i);
        if (w->isMaximized())
            w->showNormal();
        if (orientation == Qt::Horizontal) { // one above the other, each as wide as the frame
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else { // side by side
            const int wd = area.width() / n;
            w->setGeometry(i * wd, 0, wd, area.height());
        }
    }
}

void MenuPrincipalScreen::arrangeMinimized()
{
    const QRect area = m_mdi->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        if (x > 0 && x + s.width() > area.width()) {
            x = 0;
            y -= s.height();
        }
        w->move(x, y - s.height() + 1);
        x += s.width();
    }
}
