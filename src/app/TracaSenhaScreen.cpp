#include "app/TracaSenhaScreen.h"
#include "ui/FocusFlow.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/PasswordDigest.h"
#include "db/Session.h"
#include "db/Sql.h"
#include "db/Transaction.h"
#include "ui/Services.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TracaSenhaScreen::TracaSenhaScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmTracaSenha"));
    setWindowTitle(QStringLiteral("004 - Troca de senha."));
    setProperty("noWindowButtons", true);
    setProperty("centred", true);
    // Letters keep the case typed: the login compares passwords with their
    // case, so a password must be stored exactly as the user will type it.
    auto makeBox = [this](const QString &name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        e->setEchoMode(QLineEdit::Password);
        return e;
    };
    m_atual = makeBox(QStringLiteral("mkeSenhaAtual"));
    m_nova = makeBox(QStringLiteral("mkeSenhaNova"));
    m_confirma = makeBox(QStringLiteral("mkeConfirmaSenhaNova"));

    auto *grid = new QGridLayout;
    int row = 0;
    for (auto [caption, box] : {std::pair{QStringLiteral("Senha atual:"), m_atual},
                                std::pair{QStringLiteral("Senha nova:"), m_nova},
                                std::pair{QStringLiteral("Confirma senha nova:"), m_confirma}}) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(box);
        box->setAccessibleName(caption);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("bmpOk"));
    m_cancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_cancelar->setObjectName(QStringLiteral("bmpCancelar"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancelar);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);


    connect(m_ok, &QPushButton::clicked, this, &TracaSenhaScreen::confirm);
    connect(m_cancelar, &QPushButton::clicked, this, &QWidget::close);
    // Enter walks the fields and presses the button it reaches.
    FocusFlow::watchBelow(this);
}

void TracaSenhaScreen::confirm()
{
    Messages &msg = Services::messages();
    const QString atual = PasswordDigest::trimmed(m_atual->text());
    const QString nova = PasswordDigest::trimmed(m_nova->text());
    const QString confirma = PasswordDigest::trimmed(m_confirma->text());
    if (atual.isEmpty()) {
        msg.information(QStringLiteral("Falta digitar a senha atual."), this);
        return;
    }
    if (nova.isEmpty()) {
        msg.information(QStringLiteral("Falta digitar a senha nova."), this);
        return;
    }
    if (confirma.isEmpty()) {
        msg.information(QStringLiteral("Falta digitar a confirmação da nova senha."), this);
        return;
    }
    if (confirma != nova) {
        msg.information(QStringLiteral("A confirmação da senha não confere com a nova senha."), this);
        return;
    }
    if (!PasswordDigest::acceptable(nova)) {
        msg.information(PasswordDigest::unacceptableMessage(), this);
        return;
    }

    const QString oldDigest = PasswordDigest::of(atual); // empty for an impossible password
    try {
        Connection &c = mainConnection();
        const QVariantMap who{{QStringLiteral("usuario"), usuarioLogado().IdUsuario.toInt()},
                              {QStringLiteral("atual"), oldDigest}};
        if (oldDigest.isEmpty()
            || Sql::scalar(c, QStringLiteral("select id_usuario from usuario where id_usuario = :usuario and senha_crip = :atual"),
                           who).isNull()) {
            msg.information(QStringLiteral("Senha atual não confere."), this);
            return;
        }
        Transaction tx(c);
        QVariantMap params = who;
        params.insert(QStringLiteral("nova"), PasswordDigest::of(nova));
        QSqlQuery q = Sql::exec(c, QStringLiteral("update usuario set senha_crip = :nova where id_usuario = :usuario and senha_crip = :atual"),
                                params);
        // Someone changed it in between: nothing was saved, say so.
        if (q.numRowsAffected() != 1)
            throw DbError(QStringLiteral("Senha atual não confere."));
        q.finish();
        tx.commit();
    } catch (const DbError &e) {
        msg.error(e.text(), this);
        return;
    }
    msg.information(QStringLiteral("Operação realizada com sucesso!"), this);
}
