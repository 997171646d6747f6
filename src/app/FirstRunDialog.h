#pragma once
#include <QDialog>

class Connection;
class QLineEdit;

// A fresh installation has nobody to log in: this asks for the first work
// unit and the administrator (full-access profile) and creates both.
class FirstRunDialog : public QDialog {
    Q_OBJECT
public:
    explicit FirstRunDialog(Connection &c, QWidget *parent = nullptr);

    QLineEdit *unitBox() const { return m_unidade; }
    QLineEdit *nameBox() const { return m_nome; }
    QLineEdit *loginBox() const { return m_login; }
    QLineEdit *passwordBox() const { return m_senha; }
    QLineEdit *confirmationBox() const { return m_confirma; }

public slots:
    void confirm();

private:
    Connection &m_c;
    QLineEdit *m_unidade;
    QLineEdit *m_nome;
    QLineEdit *m_login;
    QLineEdit *m_senha;
    QLineEdit *m_confirma;
};
