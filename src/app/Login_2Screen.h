#pragma once
#include "db/Session.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The login window: a work unit, one of its users and the password. A
// successful login replaces the session record as a whole, runs the main
// window's menu configuration and closes the window. "Sair" ends the program.
class Login_2Screen : public QDialog {
    Q_OBJECT
public:
    // `configureMenu` is the main window's menu configuration.
    explicit Login_2Screen(std::function<void()> configureMenu, QWidget *parent = nullptr);

    // Fills the unit list (done when the window is first shown).
    void loadUnits();

    QComboBox *unitList() const { return m_unidade; }
    QComboBox *userList() const { return m_usuario; }
    QLineEdit *passwordBox() const { return m_senha; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *exitButton() const { return m_sair; }
    QLabel *userPanel() const { return m_panelUsuario; }
    QLabel *profilePanel() const { return m_panelPerfil; }

    // Picks a unit or user of the lists by key; false when it is not listed.
    bool pickUnit(int idUnidade);
    bool pickUser(int idUsuario);

signals:
    void loggedIn();

public slots:
    void confirm();   // "&OK"
    void exitProgram(); // "&Sair"

protected:
    void showEvent(QShowEvent *event) override;
    // The window has no close button; Escape does not close it either.
    void reject() override {}

private:
    void unitPicked(int index);
    void userPicked(int index);

    std::function<void()> m_configureMenu;
    QComboBox *m_unidade;
    QComboBox *m_usuario;
    QLineEdit *m_senha;
    QPushButton *m_ok;
    QPushButton *m_sair;
    QLabel *m_panelUsuario;
    QLabel *m_panelPerfil;
    bool m_unitsLoaded = false;
};
