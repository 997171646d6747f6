#pragma once
#include "app/MenuRegistry.h"
#include "ui/MarcacaoAtendimento.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;
class Login_2Screen;

// The main window: a multiple-document frame holding every screen as a child
// window, the main menu with its permission gate and a status bar of three
// panels.
class MenuPrincipalScreen : public QMainWindow {
    Q_OBJECT
public:
    explicit MenuPrincipalScreen(QWidget *parent = nullptr);
    ~MenuPrincipalScreen() override;

    // actConfiguraMenu: enables the entries the session's profile may reach.
    // An incomplete session or any failure ends the program.
    void configureMenu();

    // Runs what a menu entry does; returns the screen opened as a child
    // window, if any.
    QWidget *trigger(const Menu::Entry &entry);
    // Opens a catalog screen: a new instance each time, flags applied,
    // shown as a child window that is freed when closed.
    QWidget *openScreen(const Menu::Entry &entry);
    // "005 - &Trocar de Usuário...": a new login window, not modal.
    Login_2Screen *changeUser();

    QAction *menuAction(const QString &objectName) const;
    QList<QAction *> entryActions() const { return m_actions; }
    QMdiArea *mdiArea() const { return m_mdi; }
    QLabel *statusPanel(int index) const;
    // What the status bar says about the day's copy of the database (a
    // failure, or one under way); empty hides it.
    void setBackupNotice(const QString &text);
    QLabel *backupNotice() const { return m_backup; }

    TMarcacaoAtendimento &marcacao() { return m_marcacao; }

protected:
    void showEvent(QShowEvent *event) override;
    // The close box asks as "Sair" does while a screen holds unsaved work.
    void closeEvent(QCloseEvent *event) override;
    // Hints of the menu entries go to the third panel, leaving the unit and
    // the user in sight.
    bool event(QEvent *event) override;

private:
    void buildMenu();
    void closeAll();
    void tile(Qt::Orientation orientation);
    void arrangeMinimized();
    void enableAll();

    QMdiArea *m_mdi;
    QList<QAction *> m_actions; // every entry, with its tag in property "tag"
    QLabel *m_panels[3];
    QLabel *m_backup;
    QAction *m_actConfiguraMenu;
    TMarcacaoAtendimento m_marcacao;
    bool m_shownOnce = false;
};
