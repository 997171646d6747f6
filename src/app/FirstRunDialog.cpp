#include "app/FirstRunDialog.h"
#include "app/Accounts.h"
#include "ui/FocusFlow.h"
#include "app/Product.h"
#include "db/DbError.h"
#include "db/PasswordDigest.h"
#include "ui/Services.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FirstRunDialog::FirstRunDialog(Connection &c, QWidget *parent) : QDialog(parent), m_c(c)
{
    setObjectName(QStringLiteral("frmPrimeiroAcesso"));
    setWindowTitle(Product::title());
    auto *intro = new QLabel(QStringLiteral("Nenhum usuário cadastrado ainda.\n"
                                            "Informe a unidade de trabalho e o administrador do sistema."));
    intro->setWordWrap(true);

    auto box = [](const QString &name, bool secret) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        if (secret)
            e->setEchoMode(QLineEdit::Password);
        return e;
    };
    m_unidade = box(QStringLiteral("edtUnidade"), false);
    m_nome = box(QStringLiteral("edtNome"), false);
    m_login = box(QStringLiteral("edtLogin"), false);
    m_senha = box(QStringLiteral("edtSenha"), true);
    m_confirma = box(QStringLiteral("edtConfirmaSenha"), true);
    m_unidade->setMaxLength(100);
    m_nome->setMaxLength(50);
    m_login->setMaxLength(50);

    auto *form = new QFormLayout;
    for (auto [caption, e] : {std::pair{QStringLiteral("Unidade de trabalho:"), m_unidade},
                              std::pair{QStringLiteral("Nome do administrador:"), m_nome},
                              std::pair{QStringLiteral("Login:"), m_login},
                              std::pair{QStringLiteral("Senha:"), m_senha},
                              std::pair{QStringLiteral("Confirma senha:"), m_confirma}}) {
        auto *label = new QLabel(caption);
        label->setBuddy(e);
        e->setAccessibleName(caption);
        form->addRow(label, e);
    }

    auto *ok = new QPushButton(QStringLiteral("&OK"));
    ok->setObjectName(QStringLiteral("bmpOK"));
    ok->setAutoDefault(false);
    auto *sair = new QPushButton(QStringLiteral("&Sair"));
    sair->setObjectName(QStringLiteral("bmpSair"));
    sair->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(sair);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &FirstRunDialog::confirm);
    connect(sair, &QPushButton::clicked, this, &QDialog::reject);
    // Enter walks the fields and presses the button it reaches.
    FocusFlow::watchBelow(this);
}

void FirstRunDialog::confirm()
{
    Messages &msg = Services::messages();
    if (PasswordDigest::trimmed(m_senha->text()) != PasswordDigest::trimmed(m_confirma->text())) {
        msg.information(QStringLiteral("A confirmação da senha não confere com a nova senha."), this);
        return;
    }
    NewUser u;
    u.unitName = m_unidade->text();
    u.name = m_nome->text();
    u.login = m_login->text();
    u.password = m_senha->text();
    try {
        addUserAccount(m_c, u);
    } catch (const DbError &e) {
        msg.information(e.text(), this);
        return;
    }
    accept();
}
