#pragma once
#include <QWidget>

class QLineEdit;
class QPushButton;

// "004 - Troca de senha.": the logged-in user changes their own password.
// The current password is checked against the stored digest and the new
// digest replaces it, so the next login asks for the new password.
class TracaSenhaScreen : public QWidget {
    Q_OBJECT
public:
    explicit TracaSenhaScreen(QWidget *parent = nullptr);

    QLineEdit *currentBox() const { return m_atual; }
    QLineEdit *newBox() const { return m_nova; }
    QLineEdit *confirmationBox() const { return m_confirma; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancelar; }

public slots:
    void confirm(); // "&OK"

private:
    QLineEdit *m_atual;
    QLineEdit *m_nova;
    QLineEdit *m_confirma;
    QPushButton *m_ok;
    QPushButton *m_cancelar;
};
